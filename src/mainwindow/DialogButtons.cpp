#include "mainwindow/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

#include "platform/Help.h"

TDialogButtons NewOkCancelRow(QDialog& dialog, const char* okName, const char* cancelName)
{
    TDialogButtons buttons;
    buttons.Ok = new QPushButton(QStringLiteral("%OK"), &dialog);
    buttons.Ok->setObjectName(QString::fromLatin1(okName));
    buttons.Ok->setDefault(true);
    buttons.Cancel = new QPushButton(QStringLiteral("%Cancel"), &dialog);
    buttons.Cancel->setObjectName(QString::fromLatin1(cancelName));
    QObject::connect(buttons.Ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(buttons.Cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    buttons.Row = new QHBoxLayout;
    buttons.Row->addStretch(1);
    buttons.Row->addWidget(buttons.Ok);
    buttons.Row->addWidget(buttons.Cancel);
    return buttons;
}

void ConnectHelpButton(QPushButton& button, const char* page)
{
    button.setAutoDefault(false);
    button.setVisible(true);
    QObject::connect(&button, &QPushButton::clicked, &button,
                     [page = QString::fromLatin1(page)] { ShowHelpPage(page); });
}
