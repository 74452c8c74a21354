#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "data/PlantTable.h"
#include "edit/input.h"
#include "edit/names.h"
#include "platform/cp932.h"
#include "support/testseam.h"

namespace {

void typeText(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

} // namespace

// ---------------------------------------------------------------- name rules

TEST(SpeciesName, BlanksAndControlCharactersAreTrimmedAtBothEnds)
{
    EXPECT_EQ(trimSpeciesName(QStringLiteral(" \t\u3000ハコベ \r\n\u3000")), QStringLiteral("ハコベ"));
    // Blanks inside stay.
    EXPECT_EQ(trimSpeciesName(QStringLiteral("  ハル　ジオン ")), QStringLiteral("ハル　ジオン"));

    const NameCheck blank = checkSpeciesName(QStringLiteral(" \u3000\t "));
    EXPECT_TRUE(blank.empty());
    EXPECT_FALSE(blank.refused());
    EXPECT_EQ(blank.stored, QString());

    const NameCheck ok = checkSpeciesName(QStringLiteral("\u3000ハコベ "));
    EXPECT_FALSE(ok.refused());
    EXPECT_FALSE(ok.cut);
    EXPECT_EQ(ok.stored, QStringLiteral("ハコベ"));
    EXPECT_EQ(ok.message, QString());
}

TEST(SpeciesName, CharactersTheFilesCannotHoldAreRefused)
{
    const struct {
        QString text;
        NameFault fault;
    } refused[] = {
        {QStringLiteral("ハコベ,ミドリ"), NameFault::Comma},
        {QStringLiteral("ハコベ/ミドリ"), NameFault::PathSeparator},
        {QStringLiteral("../ハコベ"), NameFault::PathSeparator},
        {QStringLiteral("ハコベ\\01"), NameFault::PathSeparator},
        {QStringLiteral("ハコ\tベ"), NameFault::ControlCharacter},
        {QStringLiteral("ハコ\nベ"), NameFault::ControlCharacter},
        {QString(QStringLiteral("ハコ")) + QChar(0) + QStringLiteral("ベ"), NameFault::ControlCharacter},
        {QStringLiteral("ハコベ\U0001F33C"), NameFault::NotCp932}, // an emoji (two UTF-16 units)
        {QStringLiteral("ハコベ¥"), NameFault::NotCp932},          // the yen sign does not come back as itself
        {QStringLiteral("한국"), NameFault::NotCp932},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.text.toStdString());
        const NameCheck check = checkSpeciesName(r.text);
        EXPECT_TRUE(check.refused());
        EXPECT_EQ(check.fault, r.fault);
        EXPECT_FALSE(check.message.isEmpty());
    }
    // The message names the character that cannot be written.
    EXPECT_TRUE(checkSpeciesName(QStringLiteral("ハコベ\U0001F33C")).message.contains(QStringLiteral("\U0001F33C")));
    // A character the dialog's font may have no glyph for is named by its code too.
    EXPECT_TRUE(checkSpeciesName(QStringLiteral("ハコベ\U0001F33C")).message.contains(QStringLiteral("U+1F33C")));
    EXPECT_TRUE(checkSpeciesName(QStringLiteral("\U00020BB7野家")).message.contains(QStringLiteral("「\U00020BB7」（U+20BB7）")));

    // Full-width look-alikes are ordinary cp932 characters.
    for (const QString& fine : {QStringLiteral("ハコベ，ミドリ"), QStringLiteral("ハコベ／ミドリ"),
                                QStringLiteral("ハコベ￥"), QStringLiteral("ABCｱｲｳ-1")}) {
        SCOPED_TRACE(fine.toStdString());
        EXPECT_FALSE(checkSpeciesName(fine).refused());
    }
    // What a Linux input method types for ～ and its kin is taken as the
    // character of the same look that cp932 holds.
    const NameCheck wave = checkSpeciesName(QStringLiteral("ヤブ〜カンゾウ−2"));
    EXPECT_FALSE(wave.refused());
    EXPECT_EQ(wave.stored, QStringLiteral("ヤブ～カンゾウ－2"));
    EXPECT_TRUE(checkSpeciesName(QStringLiteral("ヤブ〜カンゾウ－2"), {wave.stored}).refused());
}

TEST(SpeciesName, NamesOverFiftyBytesAreCutBetweenCharacters)
{
    const QString exact = QString(25, QChar(0x3042)); // 25 x "あ" = 50 bytes
    NameCheck check = checkSpeciesName(exact);
    EXPECT_FALSE(check.cut);
    EXPECT_EQ(check.stored, exact);

    check = checkSpeciesName(exact + QStringLiteral("い"));
    EXPECT_FALSE(check.refused());
    EXPECT_TRUE(check.cut);
    EXPECT_EQ(check.stored, exact);
    EXPECT_TRUE(check.message.contains(exact));

    // A double-byte character across the limit is left out whole.
    check = checkSpeciesName(QString(49, QLatin1Char('a')) + QStringLiteral("あ"));
    EXPECT_EQ(check.stored, QString(49, QLatin1Char('a')));
    EXPECT_EQ(cp932::byteLength(check.stored), 49);

    // A cut that ends in a blank loses the blank too, as a reload would.
    check = checkSpeciesName(QString(24, QChar(0x3042)) + QStringLiteral("\u3000ノハナ"));
    EXPECT_EQ(check.stored, QString(24, QChar(0x3042)));
    EXPECT_EQ(check.stored, storedName(check.stored));
}

TEST(SpeciesName, ANameKeptAsAnotherSpeciesNameIsRefused)
{
    const QStringList taken = {QStringLiteral("スミレ"), QStringLiteral("Viola"), QString(25, QChar(0x3042))};
    EXPECT_EQ(checkSpeciesName(QStringLiteral(" スミレ "), taken).fault, NameFault::AlreadyUsed);
    EXPECT_EQ(checkSpeciesName(QStringLiteral("VIOLA"), taken).fault, NameFault::AlreadyUsed);
    // Different as typed, the same once cut to 50 bytes.
    EXPECT_EQ(checkSpeciesName(QString(26, QChar(0x3042)), taken).fault, NameFault::AlreadyUsed);
    EXPECT_FALSE(checkSpeciesName(QStringLiteral("ニオイスミレ"), taken).refused());
}

// ---------------------------------------------------------------- the dialog

TEST(NameInput, SitsBelowAndRightOfTheListWindow)
{
    QWidget listWindow;
    listWindow.move(200, 150);
    TfInput input(&listWindow);
    EXPECT_EQ(input.windowTitle(), QStringLiteral("種名入力"));
    EXPECT_EQ(input.pos(), QPoint(320, 225));
}

TEST(NameInput, ARefusedNameIsExplainedAndTheInputStaysOpen)
{
    TestSeam seam;
    bool open = false;
    QString kept;
    seam.dialogs.push_back([&](QDialog* dialog) {
        auto* input = qobject_cast<TfInput*>(dialog);
        typeText(input->edit(), QStringLiteral("ハコベ,1"));
        QTest::mouseClick(input->okButton(), Qt::LeftButton);
        open = input->isVisible();
        kept = input->edit()->text();
        // Corrected, it goes through.
        input->edit()->setText(QStringLiteral(" ハコベ "));
        QTest::keyClick(input->edit(), Qt::Key_Return);
        return input->result();
    });
    TfInput input;
    EXPECT_EQ(modal().execDialog(&input), QDialog::Accepted);
    EXPECT_TRUE(open);
    EXPECT_EQ(kept, QStringLiteral("ハコベ,1"));
    ASSERT_EQ(seam.messages.size(), 1u);
    EXPECT_EQ(seam.messages[0].icon, ModalSeam::Icon::Error);
    EXPECT_EQ(input.name(), QStringLiteral("ハコベ"));
}

TEST(NameInput, ALongNameIsCutOnlyWhenTheUserAgrees)
{
    TestSeam seam;
    const QString longName = QString(30, QChar(0x30CF)); // 30 x "ハ"
    seam.answers = {QMessageBox::Cancel, QMessageBox::Ok};
    bool openAfterCancel = false;
    seam.dialogs.push_back([&](QDialog* dialog) {
        auto* input = qobject_cast<TfInput*>(dialog);
        input->edit()->setText(longName);
        QTest::mouseClick(input->okButton(), Qt::LeftButton);
        openAfterCancel = input->isVisible();
        QTest::mouseClick(input->okButton(), Qt::LeftButton);
        return input->result();
    });
    TfInput input;
    EXPECT_EQ(modal().execDialog(&input), QDialog::Accepted);
    EXPECT_TRUE(openAfterCancel);
    ASSERT_EQ(seam.messages.size(), 2u);
    EXPECT_EQ(seam.messages[0].icon, ModalSeam::Icon::Question);
    EXPECT_EQ(input.name(), QString(25, QChar(0x30CF)));
}
