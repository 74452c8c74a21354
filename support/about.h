#pragma once
// The version box: the program's name and version, the maker's web page
// and mail address (a click opens the browser or starts a mail), and two
// buttons that copy the addresses to the clipboard.
#include <QDialog>

class QLabel;
class QPushButton;

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* owner = nullptr);

    // Creates the box, shows it modally and releases it.
    static void showModal(QWidget* owner);

    // The address labels: their captions are the addresses themselves.
    QString webAddress() const;
    QString mailAddress() const;

    void UrlClick();
    void MailClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shared by both copy buttons: the sender's "tag" property says which
    // address (1 the web page, 2 the mail address) goes to the clipboard.
    void ButtonClick();

    QLabel* programIcon_;
    QLabel* label1_;
    QLabel* version_;
    QLabel* url_;
    QLabel* mail_;
    QPushButton* button1_;
    QPushButton* button2_;
    QPushButton* okButton_;
};
