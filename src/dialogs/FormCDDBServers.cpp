#include "dialogs/FormCDDBServers.h"

#include "dialogs/CDDBFailureMessage.h"

#include "controls/Guarded.h"
#include "common/DefaultCDDBServers.h"
#include "platform/ProgramVersion.h"

#include "cddb/CDDBServerList.h"
#include "cddb/ServerText.h"
#include "platform/UserInputBlocker.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

TFormCDDBServers::TFormCDDBServers(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormCDDBServers"));
    setWindowTitle(QStringLiteral("%WindowFreedbTitle"));

    auto* picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));
    LblInfo = new QLabel(QStringLiteral("%WindowFreedbInfo"), this);
    LblInfo->setObjectName(QStringLiteral("LblInfo"));
    LblInfo->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(LblInfo, 1);

    lblNetStatus = new QLabel(this);
    lblNetStatus->setObjectName(QStringLiteral("lblNetStatus"));
    lblNetStatus->setTextFormat(Qt::PlainText);
    auto* status = new QHBoxLayout;
    status->addWidget(new QLabel(QStringLiteral("%WindowFreedbState"), this));
    status->addWidget(lblNetStatus, 1);

    Button1 = new QPushButton(QStringLiteral("%Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(status);
    layout->addStretch(1);
    layout->addLayout(bottom);
    resize(420, 170);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, [this] { RunGuarded(this, [this] { Timer1Timer(); }); });

    TranslateComponentTree(this);
}

bool TFormCDDBServers::Execute(QStringList& list, const TCDDBProxy& proxy)
{
    m_proxy = proxy;
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    list = m_result;
    return true;
}

void TFormCDDBServers::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Timer1->start();
}

void TFormCDDBServers::Button1Click()
{
    if (m_finished) {
        done(QDialog::Accepted);
        return;
    }
    m_cancel = true;
}

void TFormCDDBServers::reject()
{
    Button1Click();
}

void TFormCDDBServers::closeEvent(QCloseEvent* event)
{
    Button1Click();
    event->ignore();
}

void TFormCDDBServers::ShowStatus(const QString& key)
{
    lblNetStatus->setText(Lang(key));
    TUserInputBlocker::ProcessEventsWithoutInput();
}

void TFormCDDBServers::Timer1Timer()
{
    Timer1->stop();
    m_result.clear();
    ShowStatus(QStringLiteral("freedbStateQuery"));
    Fetch();
}

void TFormCDDBServers::Fetch()
{
    const TCDDBServerAddress server = PublicCDDBServer();
    TmyFreedbHttp http(server.Host, server.Port, server.CgiPath, QStringLiteral("Quillon"),
                       QString::fromLatin1(ProgramVersion), QString());
    http.SetProxy(m_proxy);
    if (m_cancel) {
        done(QDialog::Rejected);
        return;
    }
    // A running request cannot be cancelled.
    Button1->setEnabled(false);
    const auto fail = [this](const QString& message, const QString& details = QString()) {
        CurrentPrompt()->ErrorWithDetails(this, message, details);
        done(QDialog::Rejected);
    };
    TSitesReplyReader sites;
    try {
        http.Request(QStringLiteral("sites"), [&sites](const QString& line) { return sites.Take(line); });
    } catch (const TFreedbConnectionError& failure) {
        fail(CDDBFailureMessage(failure.Kind(), failure.Detail()));
        return;
    }
    if (sites.LineCount() == 0) {
        fail(Lang(QStringLiteral("freedbPage2EmptyResponse")));
        return;
    }
    QString serverText;
    if (!sites.Finish(m_result, serverText)) {
        const TServerText shown = TServerText::Of(serverText);
        fail(LangFmt(QStringLiteral("freedbError"), {shown.Shown}), shown.Details);
        return;
    }
    if (sites.IsCut()) {
        ShowCut();
        return;
    }
    ShowStatus(QStringLiteral("freedbStateEnd"));
    done(QDialog::Accepted);
}

// The list was cut: the window stays until the user has read so.
void TFormCDDBServers::ShowCut()
{
    m_finished = true;
    LblInfo->setText(Lang(QStringLiteral("WindowFreedbInfoLoaded")));
    lblNetStatus->setText(LangFmt(QStringLiteral("freedbServerListCut"), {qint64(m_result.size())}));
    Button1->setText(Lang(QStringLiteral("OK")));
    Button1->setEnabled(true);
    Button1->setDefault(true);
    Button1->setFocus();
}
