#include "controls/QtPrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Acts on the message box as soon as it is shown.
void OnceBoxShows(std::function<void(QMessageBox&)> act)
{
    QTimer::singleShot(0, [act] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        act(*box);
    });
}

// The title of the next dialog shown, which is then cancelled.
void TitleOfNextDialog(QString& title)
{
    QTimer::singleShot(0, [&title] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        dialog->reject();
    });
}

TEST(QtPrompt, ACaptionTitlesItsDialogAsPlainText)
{
    TQtPrompt prompt;
    QString title;
    TitleOfNextDialog(title);
    EXPECT_EQ(prompt.Input(nullptr, QStringLiteral("&New Page..."), QStringLiteral("Name:"), QString()), std::nullopt);
    EXPECT_EQ(title, QStringLiteral("New Page"));
    TitleOfNextDialog(title);
    EXPECT_EQ(prompt.OpenFile(nullptr, QStringLiteral("Choose a &file..."), QString(), QString()), std::nullopt);
    EXPECT_EQ(title, QStringLiteral("Choose a file"));
}

TEST(QtPrompt, BoxesShowTheChosenButtonsAndAnswerTheOnePressed)
{
    TQtPrompt prompt;
    QStringList shown;
    OnceBoxShows([&](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            shown << button->text();
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.text(), QStringLiteral("a.mp3\nb.mp3\n"));
        EXPECT_TRUE(box.detailedText().isEmpty()) << "a short text is shown whole";
        box.button(QMessageBox::YesToAll)->click();
    });
    EXPECT_EQ(prompt.Ask(nullptr, TPromptIcon::Error, QStringLiteral("a.mp3\n\rb.mp3\n\r"), pbYes | pbNo | pbAll | pbCancel),
              pbAll);
    EXPECT_EQ(shown.size(), 4);

    OnceBoxShows([](QMessageBox& box) { box.reject(); });
    EXPECT_EQ(prompt.Ask(nullptr, TPromptIcon::Warning, QStringLiteral("x"), pbYes | pbNo | pbCancel), pbCancel);

    // Named answers give the answer's index and the for-all box.
    const QStringList answers{QStringLiteral("Replace"), QStringLiteral("Skip"), QStringLiteral("R&&B"),
                              QStringLiteral("Cancel")};
    OnceBoxShows([](QMessageBox& box) {
        ASSERT_NE(box.checkBox(), nullptr);
        box.checkBox()->setChecked(true);
        box.buttons().at(1)->click();
    });
    TPromptChoice choice = prompt.Choose(nullptr, TPromptIcon::Question, QStringLiteral("taken"), answers, 3,
                                         QStringLiteral("For all"));
    EXPECT_EQ(choice.Answer, 1);
    EXPECT_TRUE(choice.ForAll);
    OnceBoxShows([](QMessageBox& box) {
        EXPECT_EQ(box.checkBox(), nullptr);
        box.reject();
    });
    choice = prompt.Choose(nullptr, TPromptIcon::Question, QStringLiteral("taken"), answers, 3, QString());
    EXPECT_EQ(choice.Answer, 3);
    EXPECT_FALSE(choice.ForAll);
}

TEST(QtPrompt, AListOfThousandsOfFilesKeepsTheBoxAndItsButtonsOnTheScreen)
{
    TQtPrompt prompt;
    QString text = QStringLiteral("The following files could not be copied:");
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("\n\r%1 track.mp3 (No space left on device)").arg(i, 5, 10, QLatin1Char('0'));
    text += QStringLiteral("\nTry again?");
    OnceBoxShows([](QMessageBox& box) {
        const QStringList lines = box.text().split(QLatin1Char('\n'));
        EXPECT_LE(lines.size(), 24);
        EXPECT_EQ(lines.first(), QStringLiteral("The following files could not be copied:"));
        EXPECT_EQ(lines.at(1), QStringLiteral("00000 track.mp3 (No space left on device)"));
        EXPECT_EQ(lines.last(), QStringLiteral("Try again?"));
        EXPECT_TRUE(lines.contains(QStringLiteral("\u2026")));
        // Every name is still there, under the details.
        EXPECT_TRUE(box.detailedText().contains(QStringLiteral("\n02500 track.mp3 (No space left on device)\n")));
        EXPECT_LT(box.sizeHint().height(), 700);
        box.button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(prompt.Ask(nullptr, TPromptIcon::Error, text, pbYes | pbNo), pbYes);

    // Details given by the caller lie under the box's details; a long word
    // wraps like any other text.
    const QString word(300, QLatin1Char('x'));
    OnceBoxShows([&](QMessageBox& box) {
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.text().remove(QChar(0x200B)), QStringLiteral("short ") + word);
        EXPECT_EQ(box.detailedText(), QStringLiteral("the whole long text"));
        EXPECT_LT(box.sizeHint().width(), 700);
        box.button(QMessageBox::Ok)->click();
    });
    prompt.ErrorWithDetails(nullptr, QStringLiteral("short ") + word, QStringLiteral("the whole long text"));
}

}
