// The about commands of the main window: the update check closed while its
// request hangs, the about box and the home page; and the file properties.

#include "InputPanelTestSupport.h"

#include "dialogs/FormInfo.h"
#include "dialogs/FormUpdateTestSupport.h"
#include "platform/ProgramVersion.h"

#include "localisation/MultiLanguage.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QToolButton>

TEST_F(AboutUpdateTest, ARequestThatHangsEndsByTimeOutCloseOrReloadWithoutALateAnswer)
{
    const auto requestsFor = [this] { return Server.Requests().filter(QStringLiteral("/hang/")).size(); };
    // The server holds each request for half a minute; without a time-out
    // of their own, the requests here stay open meanwhile.
    const int noTimeoutMs = 60 * 60 * 1000;
    {
        // A reload cancels the request running, without an error, and starts
        // one more.
        const TScopedEndpoint endpoint(Server.Site(QStringLiteral("hang")), noTimeoutMs);
        TFormUpdate form;
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() == 1; }));
        QTest::mouseClick(form.SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() == 2; }));
        EXPECT_TRUE(form.IsLoading());
        EXPECT_TRUE(Env.Prompt.Errors.isEmpty());
    }
    {
        // Time-out: one error, and none once the request is gone.
        const TScopedEndpoint endpoint(Server.Site(QStringLiteral("hang")), 700);
        TFormUpdate form;
        EXPECT_TRUE(WaitUntil([&] { return !form.IsLoading(); }));
        EXPECT_TRUE(WaitUntilNoRequestIsLeft(form));
        ASSERT_EQ(Env.Prompt.Errors.size(), 1);
        EXPECT_TRUE(Env.Prompt.Errors[0].contains(LangFmt("UpdatePageTimeout", {QStringLiteral("1")})));
    }
    // Closed while the request hangs: no answer and no error afterwards.
    Env.Prompt.Errors.clear();
    auto window = OpenWindowAt(Env.Folder());
    const TScopedEndpoint endpoint(Server.Site(QStringLiteral("hang")), noTimeoutMs);
    const qsizetype before = requestsFor();
    Env.Prompt.OnModal = [&](QDialog& dialog) {
        EXPECT_TRUE(WaitUntil([&] { return requestsFor() > before; }));
        auto& form = dynamic_cast<TFormUpdate&>(dialog);
        EXPECT_TRUE(form.IsLoading());
        form.ButClose->click();
        EXPECT_FALSE(form.IsLoading());
        EXPECT_TRUE(WaitUntilNoRequestIsLeft(form));
        return form.result();
    };
    window->Action(QStringLiteral("ActUpdate"))->trigger();
    EXPECT_TRUE(Env.Prompt.Errors.isEmpty());
}

TEST_F(AboutUpdateTest, TheAboutBoxShowsTheVersionOpensItsLinksAndMoves)
{
    auto window = OpenWindowAt(Env.Folder());
    bool shown = false;
    Env.Prompt.OnModal = [this, &shown](QDialog& dialog) {
        auto& info = dynamic_cast<TFormInfo&>(dialog);
        shown = true;
        // Titled with the menu's caption "&Über Quillon...", as plain text.
        EXPECT_EQ(info.windowTitle(), QString::fromUtf8("Über Quillon"));
        EXPECT_EQ(info.labVersion->text(), QStringLiteral("Version: 3.14"));
        EXPECT_EQ(info.labVersion->textFormat(), Qt::PlainText);
        info.show();
        QTest::mouseClick(info.PaintBox2, Qt::LeftButton);
        QTest::mouseClick(info.PaintBox3, Qt::LeftButton);
        EXPECT_EQ(Opened, QList<QUrl>({QUrl(QStringLiteral("mailto:") + QLatin1String(ProgramContactAddress)),
                                       QUrl(QString::fromLatin1(ProgramWebSite))}));
        // Dragged where the window system cannot move it, it follows the pointer.
        const QPoint before = info.pos();
        QTest::mousePress(info.Image1, Qt::LeftButton, {}, QPoint(100, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(130, 140), info.Image1->mapToGlobal(QPointF(130, 140)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(info.Image1, &move);
        QTest::mouseRelease(info.Image1, Qt::LeftButton, {}, QPoint(130, 140));
        EXPECT_EQ(info.pos(), before + QPoint(30, 40));
        QTest::keyClick(&info, Qt::Key_Return);
        EXPECT_FALSE(info.isVisible());
        return info.result();
    };
    window->Action(QStringLiteral("ActInfo"))->trigger();
    EXPECT_TRUE(shown);

    Opened.clear();
    window->Action(QStringLiteral("ActHomepage"))->trigger();
    EXPECT_EQ(Opened, QList<QUrl>({QUrl(QString::fromLatin1(ProgramWebSite))}));
}

TEST_F(AboutUpdateTest, FilePropertiesShowTheFileInformationPage)
{
    ASSERT_TRUE(WriteMp3WithFrames(Env.PathOf(QStringLiteral("a.mp3")), {{"TIT2", Text("A")}}));
    auto window = OpenWindowAt(Env.Folder());
    window->SetInputPanelPosition(TInputPanelPos::Hidden);
    window->Action(QStringLiteral("ActFileProperties"))->trigger();
    EXPECT_EQ(window->InputPanelPosition(), TInputPanelPos::Bottom);
    EXPECT_EQ(window->PagInfos->currentWidget(), window->TabDateiinfos);

    window->LVFiles->selectionModel()->clearSelection();
    window->ActFilePropertiesExecute();
    EXPECT_EQ(Env.Prompt.Beeps, 1);
}
