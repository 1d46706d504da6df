// The help menu's home page, update check and about box.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormInfo.h"
#include "dialogs/FormUpdate.h"
#include "platform/ProgramVersion.h"

#include "platform/Opener.h"
#include "platform/Prompt.h"

#include <QUrl>

void TFQuillon::BindAboutActions()
{
    BindAction(QStringLiteral("ActHomepage"), [this] { ActHomepageExecute(); });
    BindAction(QStringLiteral("ActUpdate"), [this] { ActUpdateExecute(); });
    BindAction(QStringLiteral("ActInfo"), [this] { ActInfoExecute(); });
}

void TFQuillon::ActHomepageExecute()
{
    OpenWithDesktop(QUrl(QString::fromLatin1(ProgramWebSite)));
}

void TFQuillon::ActUpdateExecute()
{
    TFormUpdate update(this);
    CurrentPrompt()->RunModal(update);
}

void TFQuillon::ActInfoExecute()
{
    TFormInfo info(this);
    info.Execute();
}
