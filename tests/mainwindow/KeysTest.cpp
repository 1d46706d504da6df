// The main window's keys, and a field's own undo.

#include "InputPanelTestSupport.h"
#include "RenameTestSupport.h"

#include "support/MutagenReader.h"

#include "frameinput/CustomBuglessCombo.h"
#include "frameinput/ID3v2FrameGenre.h"

#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QShortcut>
#include <QTimer>
#include <QUrl>

namespace {

class KeysTest : public ::testing::Test, public TFilesWindowFixture {
protected:
    TAnsweringPrompt Prompt;

    static QLineEdit* EditOf(TFQuillon& window, const char* id)
    {
        auto* input = qobject_cast<TID3v2FrameEdit*>(InputOf(window, QString::fromLatin1(id)));
        return input ? input->Edit() : nullptr;
    }

    static TID3v2Frame* InputHolding(const QWidget* widget)
    {
        for (QWidget* above = widget ? widget->parentWidget() : nullptr; above; above = above->parentWidget())
            if (auto* input = qobject_cast<TID3v2Frame*>(above))
                return input;
        return nullptr;
    }

    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        QTest::keyClick(focused, static_cast<Qt::Key>(key), modifiers);
    }

    QString TitleByMutagen(const QString& name) const
    {
        return MutagenTexts(ReadWithMutagen(Path(name)), QStringLiteral("TIT2")).join(QLatin1Char('|'));
    }
};

}

TEST_F(KeysTest, EscClosesEveryFloatingPanelAndEnterMovesOnUnlessAListTakesIt)
{
    WriteTitles({QStringLiteral("One"), QStringLiteral("Two")});
    auto window = OpenActive();

    // The floating folder bar and search panel both close (the key comes
    // before the search panel would lose the focus to the folder bar).
    window->Action(QStringLiteral("ActBrowserleiste"))->trigger();
    window->ActShowSearchDropDownExecute();
    window->Action(QStringLiteral("ActBrowserleisteDropDown"))->trigger();
    ASSERT_EQ(window->FolderBarState(), TFQuillon::TPanelState::Floating);
    ASSERT_TRUE(window->IsSearchPanelShown());
    Press(Qt::Key_Escape);
    EXPECT_EQ(window->FolderBarState(), TFQuillon::TPanelState::Hidden);
    EXPECT_FALSE(window->IsSearchPanelShown());
    // The floating input panel too; a docked one stays.
    window->Action(QStringLiteral("ActEingabefeldVerstecken"))->trigger();
    window->Action(QStringLiteral("ActEingabeFeldDropDown"))->trigger();
    ASSERT_EQ(window->InputPanelState(), TFQuillon::TPanelState::Floating);
    Press(Qt::Key_Escape);
    EXPECT_EQ(window->InputPanelState(), TFQuillon::TPanelState::Hidden);
    window->Action(QStringLiteral("ActEingabefeldNachUnten"))->trigger();
    window->LVFiles->setFocus();
    Press(Qt::Key_Escape);
    EXPECT_EQ(window->InputPanelState(), TFQuillon::TPanelState::Docked);

    // Enter in a one-line field goes to the next field of the page.
    SelectListRows(*window, {0});
    QLineEdit* title = EditOf(*window, "TIT2");
    ASSERT_NE(title, nullptr);
    title->setFocus();
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(InputHolding(QApplication::focusWidget()), InputOf(*window, QStringLiteral("TRCK")));
    EXPECT_EQ(title->text(), QStringLiteral("One")) << "moving on changes nothing";

    // Enter in the comment starts a new line.
    window->PagInfos->setCurrentIndex(1);
    auto* comment = qobject_cast<TID3v2FrameComment*>(InputOf(*window, QStringLiteral("COMM")));
    ASSERT_NE(comment, nullptr);
    comment->Memo()->setFocus();
    TypeKeys(comment->Memo(), QStringLiteral("a"));
    Press(Qt::Key_Return);
    EXPECT_EQ(comment->MemoText(), QStringLiteral("a\n"));
    window->PagInfos->setCurrentIndex(0);

    // Enter in the file list is the list's: it plays the file.
    QList<QUrl> opened;
    const TScopedOpener opener([&opened](const QUrl& url, const TOpenFailed&) {
        opened << url;
    });
    window->LVFiles->setFocus();
    Press(Qt::Key_Return);
    EXPECT_EQ(opened, QList<QUrl>({QUrl::fromLocalFile(Path(QStringLiteral("0.mp3")))}));

    // Enter in an open drop-down list is the list's: it picks the entry, and
    // the focus stays in the field.
    auto* genre = qobject_cast<TID3v2FrameGenre*>(InputOf(*window, QStringLiteral("TCON")));
    ASSERT_NE(genre, nullptr);
    TBuglessComboBox* combo = genre->Combo();
    combo->setFocus();
    combo->showPopup();
    ASSERT_TRUE(WaitUntil([combo] { return combo->view()->isVisible(); }));
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Down);
    const QString picked = combo->view()->currentIndex().data().toString();
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_TRUE(WaitUntil([combo] { return !combo->view()->isVisible(); }));
    EXPECT_EQ(combo->currentText(), picked);
    EXPECT_TRUE(genre->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == combo)
        << "the focus stays in the field";
}

TEST_F(KeysTest, DelDeletesFilesOnlyFromTheFileList)
{
    WriteTitles({QStringLiteral("One"), QStringLiteral("Two")});
    auto window = OpenActive();
    SelectListRows(*window, {0});

    QLineEdit* title = EditOf(*window, "TIT2");
    ASSERT_NE(title, nullptr);
    title->setFocus();
    title->setCursorPosition(0);
    Press(Qt::Key_Delete);
    EXPECT_EQ(title->text(), QStringLiteral("ne"));
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_TRUE(Prompt.Asked.isEmpty()) << "a field's Del deletes text, not files";

    // In the list: to the trash, with Shift for good; both ask first.
    window->LVFiles->setFocus();
    Press(Qt::Key_Delete);
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(Prompt.Asked, QStringList({LangFmt("ConfirmTrashFile", {QStringLiteral("0.mp3")}),
                                         LangFmt("ConfirmDeleteFile", {QStringLiteral("0.mp3")})}));
    EXPECT_TRUE(QFile::exists(Path(QStringLiteral("0.mp3")))) << "answered No";

    // Yes: the file goes, and the edit typed before is not written to it.
    Prompt.OnAsk = [](const QString&, TPromptButtons) { return pbYes; };
    Press(Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("0.mp3"))));

}

TEST_F(KeysTest, CtrlNAndCtrlBStepThroughTheListGoingRound)
{
    WriteTitles({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    auto window = OpenActive();
    SelectListRows(*window, {2});
    window->LVFiles->setFocus();
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(SelectedListRows(*window), QList<int>{0}) << "after the last comes the first";
    EXPECT_EQ(EditOf(*window, "TIT2")->text(), QStringLiteral("One"));
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(SelectedListRows(*window), QList<int>{2}) << "before the first comes the last";

    window->LVFiles->selectionModel()->clearSelection();
    Press(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(SelectedListRows(*window), QList<int>{2}) << "with none selected, Ctrl+B takes the last";

    // From a field: the edit is written and the field shows the next file.
    SelectListRows(*window, {0, 1});
    QLineEdit* title = EditOf(*window, "TIT2");
    title->setFocus();
    title->selectAll();
    TypeKeys(title, QStringLiteral("Same"));
    Press(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(SelectedListRows(*window), QList<int>{1}) << "the first selected file's next";
    EXPECT_EQ(QApplication::focusWidget(), title);
    EXPECT_EQ(TitleByMutagen(QStringLiteral("0.mp3")) + TitleByMutagen(QStringLiteral("1.mp3")),
              QStringLiteral("SameSame"));

    // An empty list: the commands are off, and running one only beeps.
    ASSERT_TRUE(QDir().mkpath(Env.PathOf(QStringLiteral("empty"))));
    window->SetTreePath(Env.PathOf(QStringLiteral("empty")));
    ASSERT_TRUE(WaitUntil([&window] { return window->Entries().empty() && !window->IsLoading(); }));
    window->UpdateActions();
    EXPECT_FALSE(window->Action(QStringLiteral("ActNextMP3"))->isEnabled());
    const int beeps = Prompt.Beeps;
    window->ActNextMP3Execute(-1);
    EXPECT_EQ(Prompt.Beeps, beeps + 1);
}

TEST_F(KeysTest, EveryKeyBelongsToOneCommand)
{
    // Every action and shortcut anywhere in the window, several keys to one
    // action included.
    WriteTitles({QStringLiteral("One")});
    auto window = Open();
    QHash<QKeySequence, QObject*> owners;
    const auto claim = [&owners](const QKeySequence& key, QObject* owner) {
        const auto found = owners.constFind(key);
        EXPECT_TRUE(found == owners.constEnd() || *found == owner)
            << key.toString().toStdString() << ": " << owner->objectName().toStdString() << " and "
            << (found == owners.constEnd() ? std::string() : (*found)->objectName().toStdString());
        owners.insert(key, owner);
    };
    for (QAction* action : window->findChildren<QAction*>())
        for (const QKeySequence& key : action->shortcuts())
            claim(key, action);
    for (QShortcut* shortcut : window->findChildren<QShortcut*>())
        for (const QKeySequence& key : shortcut->keys())
            claim(key, shortcut);
    EXPECT_TRUE(owners.contains(QKeySequence(QStringLiteral("Ctrl+N"))));
    // The keys the window previews are no command's.
    for (const char* key : {"Esc", "Return", "Enter", "Del", "Shift+Del"})
        EXPECT_FALSE(owners.contains(QKeySequence(QString::fromLatin1(key)))) << key;
}

TEST_F(KeysTest, AFieldsOwnUndoBackToTheLoadedTextWritesNothing)
{
    WriteTitles({QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")});
    const auto bytes = [this](const char* name) { return Mp3Builder::ReadFile(Path(QString::fromLatin1(name))); };
    const QByteArray one = bytes("0.mp3");
    const QByteArray two = bytes("1.mp3");
    auto window = OpenActive();
    SelectListRows(*window, {0, 1});
    auto* input = qobject_cast<TID3v2FrameEdit*>(InputOf(*window, QStringLiteral("TIT2")));
    ASSERT_NE(input, nullptr);
    ASSERT_TRUE(input->IsDifferent());
    QLineEdit* title = input->Edit();
    ClickBehindText(title);
    // Selects both files and replaces the title with text.
    const auto retype = [&](const QString& text) {
        SelectListRows(*window, {0, 1});
        title->setFocus();
        title->selectAll();
        TypeKeys(title, text);
    };

    // Type "x", take it back with the field's own Ctrl+Z, select another file.
    TypeKeys(title, QStringLiteral("x"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(input->IsDataChanged());
    EXPECT_EQ(window->GetUndoKind(), TFQuillon::ukNothing);
    SelectListRows(*window, {2});
    EXPECT_EQ(bytes("0.mp3"), one) << "not rewritten";
    EXPECT_EQ(bytes("1.mp3"), two);

    // The same after the edit went into the files' entries (commands such as
    // the export or a rename apply the fields first).
    retype(QStringLiteral("y"));
    window->ApplyInputsToSelection();
    Press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->GetUndoKind(), TFQuillon::ukNothing) << "the entries are as read";
    SelectListRows(*window, {2});
    EXPECT_EQ(bytes("0.mp3"), one);
    EXPECT_EQ(bytes("1.mp3"), two);

    // Another field's applied edit stays when the title's is taken back.
    retype(QStringLiteral("y"));
    QLineEdit* artist = EditOf(*window, "TPE1");
    artist->setFocus();
    TypeKeys(artist, QStringLiteral("Band"));
    window->ApplyInputsToSelection();
    title->setFocus();
    Press(Qt::Key_Z, Qt::ControlModifier);
    SelectListRows(*window, {2});
    for (const auto& [name, stored] : {std::pair{"0.mp3", "One"}, std::pair{"1.mp3", "Two"}}) {
        const TMutagenRead read = ReadWithMutagen(Path(QString::fromLatin1(name)));
        EXPECT_EQ(MutagenTexts(read, "TPE1") + MutagenTexts(read, "TIT2"), QStringList({"Band", stored})) << name;
    }

    // Redo is an edit again, written to both.
    retype(QStringLiteral("z"));
    Press(Qt::Key_Z, Qt::ControlModifier);
    Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    SelectListRows(*window, {2});
    EXPECT_EQ(TitleByMutagen(QStringLiteral("0.mp3")) + TitleByMutagen(QStringLiteral("1.mp3")), QStringLiteral("zz"));
}

TEST_F(KeysTest, UndoOfARenameAppliesTheSearch)
{
    WriteTitles({QStringLiteral("One")});
    auto window = OpenActive();
    SelectListRows(*window, {0});
    TEintragdaten& entry = *window->Entries().front();
    ASSERT_TRUE(window->RenameEntry(entry, QStringLiteral("renamed.mp3")));
    window->ActShowSearchExecute();
    window->ESearchText->setText(QStringLiteral("0.MP3"));
    ASSERT_TRUE(window->TimerSearch->isActive());
    window->Action(QStringLiteral("ActUndo"))->trigger();
    EXPECT_EQ(entry.FileName, QStringLiteral("0.mp3"));
    EXPECT_FALSE(window->TimerSearch->isActive());
    EXPECT_EQ(window->SearchConfig().Text, QStringLiteral("0.mp3"));
    const QVariant font = window->LVFiles->model()->data(window->LVFiles->model()->index(0, 1), Qt::FontRole);
    EXPECT_TRUE(font.value<QFont>().bold());
}
