#pragma once
// Every modal moment of the program (message boxes, the open-picture
// dialog, the folder picker, the font and colour dialogs, and our own
// windows shown modally) goes through this one seam. The program uses the
// real dialogs; tests install a seam of their own that answers them, so
// whole operations run headless.
#include <QColor>
#include <QFont>
#include <QMessageBox>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    enum class Icon { None, Information, Warning, Error, Question };

    // A message box; returns the button pressed.
    virtual QMessageBox::StandardButton message(QWidget* parent, const QString& caption, const QString& text,
                                                Icon icon, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
    // Runs one of our own windows modally; returns its result
    // (QDialog::Accepted or QDialog::Rejected).
    virtual int execDialog(QDialog* dialog);
    // The open-picture dialog with multiple selection; empty when cancelled.
    virtual QStringList openPictures(QWidget* parent, const QString& startFolder);
    // A folder picker; empty when cancelled.
    virtual QString pickFolder(QWidget* parent, const QString& caption, const QString& startFolder);
    // The font dialog with its colour box: name, size, style and the text
    // colour, preset with `font` and `colour`; false when cancelled, and
    // then both are left as they were.
    virtual bool chooseFont(QWidget* parent, QFont& font, QColor& colour);
    // The colour dialog; false when cancelled.
    virtual bool chooseColour(QWidget* parent, QColor& colour);
    // A short beep (an invalid entry).
    virtual void beep();
};

// The seam in force. Never null.
ModalSeam& modal();
// Installs `seam` (tests); nullptr restores the real dialogs.
void setModalSeam(ModalSeam* seam);

// Shorthands for the program's message boxes.
void showInformation(QWidget* parent, const QString& text);
void showError(QWidget* parent, const QString& text);
bool askYesNo(QWidget* parent, const QString& text);
