#pragma once
// A modal seam for tests: records every message box, answers them with a
// chosen button, and hands every modal window to a script that plays the
// user's part and returns the window's result.
#include <QDialog>
#include <QStringList>

#include <deque>
#include <functional>

#include "app/ModalSeam.h"

class TestSeam : public ModalSeam {
public:
    TestSeam() { setModalSeam(this); }
    ~TestSeam() override { setModalSeam(nullptr); }

    struct Message {
        QString caption;
        QString text;
        Icon icon;
    };
    std::vector<Message> messages;
    // Answer to the next message boxes, first in first out; Ok/Yes by default.
    std::deque<QMessageBox::StandardButton> answers;

    // Scripts for the next modal windows, first in first out. A window with
    // no script left is rejected.
    std::deque<std::function<int(QDialog*)>> dialogs;
    QStringList dialogNames; // object names of the windows shown, in order

    std::deque<QStringList> pictureChoices;
    std::deque<QString> folderChoices;
    int beeps = 0;

    QMessageBox::StandardButton message(QWidget*, const QString& caption, const QString& text, Icon icon,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        messages.push_back({caption, text, icon});
        if (!answers.empty()) {
            const auto a = answers.front();
            answers.pop_front();
            return a;
        }
        if (buttons & QMessageBox::Ok)
            return QMessageBox::Ok;
        if (buttons & QMessageBox::Yes)
            return QMessageBox::Yes;
        return defaultButton;
    }

    int execDialog(QDialog* dialog) override
    {
        dialogNames << dialog->objectName();
        if (dialogs.empty())
            return QDialog::Rejected;
        auto script = std::move(dialogs.front());
        dialogs.pop_front();
        dialog->show();
        const int result = script(dialog);
        dialog->hide();
        return result;
    }

    QStringList openPictures(QWidget*, const QString&) override
    {
        if (pictureChoices.empty())
            return {};
        QStringList c = pictureChoices.front();
        pictureChoices.pop_front();
        return c;
    }

    QString pickFolder(QWidget*, const QString&, const QString&) override
    {
        if (folderChoices.empty())
            return {};
        QString c = folderChoices.front();
        folderChoices.pop_front();
        return c;
    }

    // Answers to the next font dialogs (font and text colour) and colour
    // dialogs, first in first out; a dialog with no answer left is
    // cancelled.
    struct FontChoice {
        QFont font;
        QColor colour;
    };
    std::deque<FontChoice> fontChoices;
    std::deque<QColor> colourChoices;
    int fontDialogs = 0;
    QColor lastPresetColour; // the text colour the last font dialog was preset with

    bool chooseFont(QWidget*, QFont& font, QColor& colour) override
    {
        ++fontDialogs;
        lastPresetColour = colour;
        if (fontChoices.empty())
            return false;
        font = fontChoices.front().font;
        colour = fontChoices.front().colour;
        fontChoices.pop_front();
        return true;
    }
    bool chooseColour(QWidget*, QColor& colour) override
    {
        if (colourChoices.empty())
            return false;
        colour = colourChoices.front();
        colourChoices.pop_front();
        return true;
    }
    void beep() override { ++beeps; }

    QStringList messageTexts() const
    {
        QStringList out;
        for (const Message& m : messages)
            out << m.text;
        return out;
    }
};
