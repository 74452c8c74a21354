#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvarin"));
    QLabel label(QStringLiteral("Tolvarin"));
    label.show();
    return app.exec();
}
