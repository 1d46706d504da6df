// The tool bar and its layout codes.
#include "mainwindow/FQuillon.h"

#include "dialogs/FormButtons.h"
#include "common/ToolbarButtons.h"

#include <QAction>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

TStringArray TFQuillon::GetToolbarCodes() const
{
    TStringArray codes;
    for (const auto& [item, action] : m_toolItems) {
        if (!action) {
            codes.append(QString::fromLatin1(ToolbarSeparatorCode));
            continue;
        }
        const TSymbolleistenButton* row = FindToolbarButtonByAction(action->objectName());
        codes.append(row ? QString::fromLatin1(row->Code) : QString());
    }
    return codes;
}

void TFQuillon::SetToolbarCodes(const TStringArray& codes)
{
    for (const auto& item : m_toolItems)
        delete item.first; // a widget action deletes its button with it
    m_toolItems.clear();
    for (const QString& code : codes) {
        if (code == QLatin1String(ToolbarSeparatorCode)) {
            m_toolItems.emplace_back(ToolBar1->addSeparator(), nullptr);
            continue;
        }
        const TSymbolleistenButton* row = FindToolbarButton(code);
        QAction* action = row ? Action(QString::fromLatin1(row->ActionName)) : nullptr;
        if (!action)
            continue; // unknown code or missing action: no button
        auto* button = new QToolButton(ToolBar1);
        button->setDefaultAction(action);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(ToolBar1->iconSize());
        if (QMenu* popup = *row->PopupName ? PopupMenu(QString::fromLatin1(row->PopupName)) : nullptr) {
            button->setMenu(popup);
            button->setPopupMode(row->Style == tbsDropDown ? QToolButton::MenuButtonPopup
                                                           : QToolButton::InstantPopup);
        }
        m_toolItems.emplace_back(ToolBar1->addWidget(button), action);
    }
}

void TFQuillon::ActSymbolleisteAnpassenExecute()
{
    TStringArray codes = GetToolbarCodes();
    TFormButtons dialog(this);
    if (dialog.Execute(codes, [this](const QString& name) { return Action(name); }))
        SetToolbarCodes(codes);
}
