// The folder bar and the input panel: docked, floating just below the title
// bar, or hidden.
#include "mainwindow/FQuillon.h"

#include "controls/IconTheme.h"

#include "platform/Prompt.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

namespace {

QToolButton* PanelButton(QWidget* parent, const char* name, QAction* action)
{
    auto* button = parent->findChild<QToolButton*>(QString::fromLatin1(name));
    if (!button) {
        button = new QToolButton(parent);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setIconSize(QSize(12, 12));
    }
    button->setDefaultAction(action);
    return button;
}

void SetRaised(QWidget* panel, bool raised)
{
    if (auto* frame = qobject_cast<QFrame*>(panel)) {
        frame->setFrameStyle(raised ? QFrame::Panel | QFrame::Raised : QFrame::NoFrame);
        frame->setLineWidth(raised ? 2 : 0);
    }
}

}

void TFQuillon::BindPanelActions()
{
    const auto folderBarDocked = [this] { return m_folderBarState == TPanelState::Docked; };
    for (const char* name : {"ActBrowserleiste", "ActBrowserleisteKreuz", "ActBrowserleistePin"})
        BindAction(QString::fromLatin1(name), [this] { ActBrowserleisteExecute(); });
    BindAction(QStringLiteral("ActBrowserleiste"), nullptr, {}, folderBarDocked);
    BindAction(QStringLiteral("ActBrowserleisteDropDown"), [this] { ActBrowserleisteDropDownExecute(); }, {},
               [this] { return m_folderBarState == TPanelState::Floating; });

    const auto inputAt = [this](bool top) {
        return m_inputPanelState == TPanelState::Docked && m_inputPanelTop == top;
    };
    for (const char* name : {"ActEingabeFeldKreuz", "ActEingabefeldVerstecken"})
        BindAction(QString::fromLatin1(name), [this] { ActEingabefeldVersteckenExecute(); });
    BindAction(QStringLiteral("ActEingabefeldVerstecken"), nullptr, {},
               [this] { return m_inputPanelState == TPanelState::Hidden; });
    BindAction(QStringLiteral("ActEingabeFeldKreuz"), nullptr, {},
               [this] { return m_inputPanelState == TPanelState::Docked; });
    for (const char* name : {"ActEingabefeldNachOben", "ActEingabefeldNachOben2", "ActEingabefeldPin"})
        BindAction(QString::fromLatin1(name), [this] { DockInputPanel(true); });
    for (const char* name : {"ActEingabefeldNachUnten", "ActEingabefeldNachUnten2"})
        BindAction(QString::fromLatin1(name), [this] { DockInputPanel(false); });
    BindAction(QStringLiteral("ActEingabefeldNachOben"), nullptr, {}, [inputAt] { return inputAt(true); });
    BindAction(QStringLiteral("ActEingabefeldNachUnten"), nullptr, {}, [inputAt] { return inputAt(false); });
    // The panel is at the top, at the bottom or hidden (or floats: none of
    // them): the menu shows them as one choice.
    auto* inputPlaces = new QActionGroup(this);
    inputPlaces->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (const char* name : {"ActEingabefeldNachOben", "ActEingabefeldNachUnten", "ActEingabefeldVerstecken"})
        inputPlaces->addAction(Action(QString::fromLatin1(name)));
    BindAction(QStringLiteral("ActEingabeFeldDropDown"), [this] { ActEingabeFeldDropDownExecute(); }, {},
               [this] { return m_inputPanelState == TPanelState::Floating; });

    // The panels' own buttons, and the title bar's buttons that bring a
    // hidden panel back floating.
    const std::pair<const char*, QStyle::StandardPixmap> folderButtons[] = {
        {"ActBrowserleistePin", QStyle::SP_TitleBarNormalButton},
        {"ActBrowserleisteKreuz", QStyle::SP_TitleBarCloseButton}};
    for (const auto& [name, icon] : folderButtons)
        Action(QString::fromLatin1(name))->setIcon(CommandPicture(style()->standardIcon(icon)));
    PanelButton(PanLeft, "butFolderBarPin", Action(QStringLiteral("ActBrowserleistePin")));
    PanelButton(PanLeft, "butFolderBarCross", Action(QStringLiteral("ActBrowserleisteKreuz")));
    auto* corner = new QWidget(PagInfos);
    corner->setObjectName(QStringLiteral("PanID3Buttons"));
    auto* cornerLayout = new QHBoxLayout(corner);
    cornerLayout->setContentsMargins(0, 0, 2, 0);
    cornerLayout->setSpacing(0);
    const std::pair<const char*, QStyle::StandardPixmap> inputButtons[] = {
        {"ActEingabefeldNachOben2", QStyle::SP_ArrowUp},
        {"ActEingabefeldNachUnten2", QStyle::SP_ArrowDown},
        {"ActEingabefeldPin", QStyle::SP_TitleBarNormalButton},
        {"ActEingabeFeldKreuz", QStyle::SP_TitleBarCloseButton}};
    for (const auto& [name, icon] : inputButtons) {
        QAction* action = Action(QString::fromLatin1(name));
        action->setIcon(CommandPicture(style()->standardIcon(icon)));
        cornerLayout->addWidget(PanelButton(corner, name, action));
    }
    PagInfos->setCornerWidget(corner, Qt::TopRightCorner);
    butShowFolders->setDefaultAction(Action(QStringLiteral("ActBrowserleisteDropDown")));
    butShowID3->setDefaultAction(Action(QStringLiteral("ActEingabeFeldDropDown")));

    // Esc closes a floating panel: the window's key preview (FQuillonKeys.cpp).
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { PanelFocusChanged(now); });
    SetFolderBarState(m_folderBarState);
    SetInputPanelState(m_inputPanelState, m_inputPanelTop);
}

void TFQuillon::PanelFocusChanged(QWidget* now)
{
    // A floating panel closes when the focus goes elsewhere in the window.
    if (!now || now->window() != this)
        return;
    if (m_folderBarState == TPanelState::Floating && !PanLeft->isAncestorOf(now) && now != PanLeft)
        SetFolderBarState(TPanelState::Hidden);
    if (m_inputPanelState == TPanelState::Floating && !PanID3->isAncestorOf(now) && now != PanID3)
        SetInputPanelState(TPanelState::Hidden, m_inputPanelTop);
}

void TFQuillon::SetFolderBarState(TPanelState state)
{
    m_folderBarState = state;
    if (state == TPanelState::Hidden) {
        PanLeft->hide();
    } else if (state == TPanelState::Docked) {
        if (PanLeft->parent() != Splitter1) {
            Splitter1->insertWidget(0, PanLeft);
            Splitter1->setSizes({m_folderBarWidth, std::max(Splitter1->width() - m_folderBarWidth, 100)});
        }
        SetRaised(PanLeft, false);
        PanLeft->show();
    } else {
        if (PanLeft->parent() == Splitter1)
            PanLeft->setParent(this);
        SetRaised(PanLeft, true);
        PlaceFloatingPanels();
        PanLeft->show();
        PanLeft->raise();
        if (ShellTreeView1->isVisibleTo(this))
            ShellTreeView1->setFocus();
    }
    if (QAction* pin = Action(QStringLiteral("ActBrowserleistePin")))
        pin->setVisible(state == TPanelState::Floating);
    if (QAction* cross = Action(QStringLiteral("ActBrowserleisteKreuz")))
        cross->setVisible(state == TPanelState::Docked);
    if (QAction* dropDown = Action(QStringLiteral("ActBrowserleisteDropDown")))
        dropDown->setVisible(state != TPanelState::Docked);
    for (const char* name : {"butFolderBarPin", "butFolderBarCross"})
        if (auto* button = PanLeft->findChild<QToolButton*>(QString::fromLatin1(name)))
            button->setVisible(button->defaultAction() && button->defaultAction()->isVisible());
    butShowFolders->setVisible(state != TPanelState::Docked);
    UpdateActions();
}

void TFQuillon::SetInputPanelState(TPanelState state, bool top)
{
    m_inputPanelState = state;
    m_inputPanelTop = top;
    SetRaised(PanID3, state == TPanelState::Floating);
    if (state == TPanelState::Hidden) {
        PanID3->hide();
    } else if (state == TPanelState::Docked) {
        SplitterID3->insertWidget(top ? 0 : 1, PanID3);
        PanID3->show();
    } else {
        if (PanID3->parent() == SplitterID3) {
            PanID3->resize(PanID3->width(), std::max(PanID3->height(), PanID3->sizeHint().height()));
            PanID3->setParent(PanClient);
        }
        PanID3->setAutoFillBackground(true);
        PlaceFloatingPanels();
        PanID3->show();
        PanID3->raise();
        PanID3->setFocus();
        if (QWidget* next = PanID3->nextInFocusChain(); next && PanID3->isAncestorOf(next))
            next->setFocus();
    }
    const auto setVisible = [this](const char* name, bool visible) {
        if (QAction* action = Action(QString::fromLatin1(name)))
            action->setVisible(visible);
    };
    const bool docked = state == TPanelState::Docked;
    setVisible("ActEingabefeldNachOben2", docked && !top);
    setVisible("ActEingabefeldNachUnten2", docked && top);
    setVisible("ActEingabefeldPin", state == TPanelState::Floating);
    setVisible("ActEingabeFeldKreuz", docked);
    setVisible("ActEingabeFeldDropDown", !docked);
    if (QWidget* corner = PagInfos->cornerWidget(Qt::TopRightCorner))
        for (auto* button : corner->findChildren<QToolButton*>())
            button->setVisible(button->defaultAction() && button->defaultAction()->isVisible());
    butShowID3->setVisible(!docked);
    UpdateActions();
}

void TFQuillon::PlaceFloatingPanels()
{
    // Just below the title bar, over the list.
    if (m_folderBarState == TPanelState::Floating) {
        const QPoint topLeft = PanMP3Titel->mapTo(this, QPoint(0, PanMP3Titel->height()));
        const int bottom = height() - (StatusBar1 && StatusBar1->isVisible() ? StatusBar1->height() : 0);
        PanLeft->setGeometry(topLeft.x(), topLeft.y(), m_folderBarWidth, std::max(bottom - topLeft.y(), 50));
    }
    if (m_inputPanelState == TPanelState::Floating) {
        const QPoint topLeft = PanMP3Titel->mapTo(PanClient, QPoint(0, PanMP3Titel->height()));
        const int height = std::min(std::max(PanID3->height(), PanID3->sizeHint().height()),
                                    std::max(PanClient->height() - topLeft.y(), 50));
        PanID3->setGeometry(topLeft.x(), topLeft.y(), PanMP3Titel->width(), height);
    }
}

void TFQuillon::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    PlaceFloatingPanels();
}

void TFQuillon::SetFolderBarVisible(bool visible)
{
    SetFolderBarState(visible ? TPanelState::Docked : TPanelState::Hidden);
}

bool TFQuillon::FolderBarVisible() const
{
    return m_folderBarState != TPanelState::Hidden;
}

void TFQuillon::SetInputPanelPosition(TInputPanelPos position)
{
    if (position == TInputPanelPos::Hidden)
        SetInputPanelState(TPanelState::Hidden, m_inputPanelTop);
    else
        SetInputPanelState(TPanelState::Docked, position == TInputPanelPos::Top);
}

TInputPanelPos TFQuillon::InputPanelPosition() const
{
    if (m_inputPanelState == TPanelState::Hidden)
        return TInputPanelPos::Hidden;
    // A floating panel is aligned nowhere: it counts as not at the top.
    return m_inputPanelState == TPanelState::Docked && m_inputPanelTop ? TInputPanelPos::Top
                                                                       : TInputPanelPos::Bottom;
}

void TFQuillon::ActBrowserleisteExecute()
{
    const bool dockedAndVisible = m_folderBarState == TPanelState::Docked;
    SetFolderBarState(dockedAndVisible ? TPanelState::Hidden : TPanelState::Docked);
}

void TFQuillon::ActBrowserleisteDropDownExecute()
{
    switch (m_folderBarState) {
    case TPanelState::Hidden:
        SetFolderBarState(TPanelState::Floating);
        break;
    case TPanelState::Docked:
        CurrentPrompt()->Beep();
        break;
    case TPanelState::Floating:
        SetFolderBarState(TPanelState::Hidden);
        break;
    }
    LayoutTitleBar();
}

void TFQuillon::ActEingabefeldVersteckenExecute()
{
    SetInputPanelState(TPanelState::Hidden, m_inputPanelTop);
}

void TFQuillon::DockInputPanel(bool top)
{
    SetInputPanelState(TPanelState::Docked, top);
}

void TFQuillon::ActEingabeFeldDropDownExecute()
{
    switch (m_inputPanelState) {
    case TPanelState::Hidden:
        SetInputPanelState(TPanelState::Floating, m_inputPanelTop);
        break;
    case TPanelState::Docked:
        CurrentPrompt()->Beep();
        break;
    case TPanelState::Floating:
        SetInputPanelState(TPanelState::Hidden, m_inputPanelTop);
        break;
    }
    LayoutTitleBar();
}
