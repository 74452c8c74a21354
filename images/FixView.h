#pragma once
// A separate picture window: a copy of the viewer's picture and caption at
// the moment it was made. It does not follow the viewer, has no buttons and
// deletes itself when closed; any number of them may be open.
#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;
class QScrollArea;

class TfFixView : public QWidget {
    Q_OBJECT
public:
    // `fitToPicture`: size the window to the picture (the viewer's fit
    // toggle is released); otherwise it keeps its design size.
    TfFixView(const QString& caption, const QImage& picture, bool fitToPicture, QWidget* parent = nullptr);

    QScrollArea* scrollBox() const { return scrollBox_; }
    QLabel* image() const { return image_; }
    const QImage& picture() const { return picture_; }

private:
    QScrollArea* scrollBox_ = nullptr;
    QLabel* image_ = nullptr;
    QImage picture_;
};
