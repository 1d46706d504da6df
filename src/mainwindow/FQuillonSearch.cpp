// The search panel above the file list and the search for matching files.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "controls/MySpeedButton.h"
#include "controls/MyThemedPanel.h"
#include "mainwindow/EventHook.h"
#include "mainwindow/FileListModel.h"
#include "controls/Guarded.h"
#include "common/ColumnCatalogue.h"
#include "common/FieldLists.h"

#include "platform/Prompt.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>

namespace {

constexpr int SearchDelayMs = 500;
// The panel's place in the client area's layout when docked: right under
// the title bar, above the list.
constexpr int DockedLayoutIndex = 1;

// The widget lies inside the panel, also inside a pop-up the panel opened
// (the field list of its combo box is a window of its own).
bool IsInside(const QWidget* panel, const QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (widget == panel)
            return true;
    return false;
}

QBoxLayout* ClientLayout(QWidget* client)
{
    return static_cast<QBoxLayout*>(client->layout());
}

QLabel* NewLabel(QWidget* parent, const char* caption)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QToolButton* NewActionButton(QWidget* parent, QAction* action, Qt::ToolButtonStyle style)
{
    auto* button = new TMySpeedButton(parent);
    button->setObjectName(QStringLiteral("but") + action->objectName());
    button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setToolButtonStyle(style);
    button->setFocusPolicy(Qt::NoFocus);
    // A button outside a tool bar shows whether its action is visible or not.
    button->setVisible(action->isVisible());
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setVisible(action->isVisible()); });
    return button;
}

// Docked, the panel is a bar of the window like the title bars; floating
// over the list, it is a sunken panel of its own.
void DockedLook(TMyThemedPanel& panel)
{
    panel.SetTheme(TThemeType::ttRebar);
    panel.SetThemePartID(6);
    panel.setFrameStyle(QFrame::NoFrame);
}

void FloatingLook(TMyThemedPanel& panel)
{
    panel.SetTheme(TThemeType::ttNone);
    panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

// The floating panel lies right under the title bar, as wide as it.
void PlaceUnder(QWidget& panel, const QWidget& titleBar)
{
    panel.setGeometry(titleBar.x(), titleBar.geometry().bottom() + 1, titleBar.width(), panel.sizeHint().height());
}

}

QWidget* TFQuillon::BuildSearchPanel()
{
    auto* panel = new TMyThemedPanel(PanClient);
    PanSuchen = panel;
    panel->setObjectName(QStringLiteral("PanSuchen"));
    panel->setAutoFillBackground(true);
    panel->setVisible(false);
    DockedLook(*panel);

    ESearchText = new QLineEdit(panel);
    ESearchText->setObjectName(QStringLiteral("ESearchText"));
    ESearchText->setClearButtonEnabled(true);
    ESearchText->setMinimumWidth(120);
    BoxSearchField = new QComboBox(panel);
    BoxSearchField->setObjectName(QStringLiteral("BoxSearchField"));
    BoxSearchField->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    BoxSearchField->addItem(QStringLiteral("%SearchInAllFields"));
    // The fields' captions as language keys, translated with the window.
    for (const QString& id : SearchFields())
        if (const TSpalte* column = FindColumn(id))
            BoxSearchField->addItem(QLatin1Char('%') + QLatin1String(column->CaptionKey), id);
    BoxSearchField->setCurrentIndex(0);
    RBtSearchFromTop = new QRadioButton(QStringLiteral("%SearchToBottom"), panel);
    RBtSearchFromTop->setObjectName(QStringLiteral("RBtSearchFromTop"));
    RBtSearchFromTop->setChecked(true);
    RBtSearchFromBottom = new QRadioButton(QStringLiteral("%SearchToTop"), panel);
    RBtSearchFromBottom->setObjectName(QStringLiteral("RBtSearchFromBottom"));

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 2, 2, 2);
    layout->setSpacing(4);
    layout->addWidget(NewLabel(panel, "%SearchFor"));
    layout->addWidget(ESearchText, 1);
    layout->addWidget(NewLabel(panel, "%SearchIn"));
    layout->addWidget(BoxSearchField);
    layout->addSpacing(6);
    layout->addWidget(NewLabel(panel, "%SearchDirection"));
    layout->addWidget(RBtSearchFromTop);
    layout->addWidget(RBtSearchFromBottom);
    // The buttons of the search, pin and close actions follow when the
    // actions exist (BindSearchActions).

    TimerSearch = new QTimer(this);
    TimerSearch->setObjectName(QStringLiteral("TimerSearch"));
    TimerSearch->setSingleShot(true);
    TimerSearch->setInterval(SearchDelayMs);
    connect(TimerSearch, &QTimer::timeout, this, [this] { RunGuarded(this, [this] { ApplySearch(); }); });
    // Every change of field or text starts the delay again.
    const auto restart = [this] { TimerSearch->start(); };
    connect(ESearchText, &QLineEdit::textChanged, TimerSearch, restart);
    connect(BoxSearchField, &QComboBox::currentIndexChanged, TimerSearch, restart);

    // Enter in the panel searches and Esc closes it when it floats: the
    // window's key preview (FQuillonKeys.cpp).

    // The floating panel keeps to the title bar's width.
    PanClient->installEventFilter(new TEventHook(panel, [this](QObject*, QEvent* event) {
        if (event->type() == QEvent::Resize && !IsSearchPanelDocked() && IsSearchPanelShown())
            QTimer::singleShot(0, PanSuchen, [this] { PlaceUnder(*PanSuchen, *PanMP3Titel); });
        return false;
    }));
    return panel;
}

void TFQuillon::BindSearchActions()
{
    const auto toggleDocked = [this] { ActShowSearchExecute(); };
    BindAction(QStringLiteral("ActShowSearch"), toggleDocked, {},
               [this] { return IsSearchPanelDocked() && IsSearchPanelShown(); });
    BindAction(QStringLiteral("ActShowSearchKreuz"), toggleDocked);
    BindAction(QStringLiteral("ActShowSearchPin"), toggleDocked);
    BindAction(QStringLiteral("ActShowSearchDropDown"), [this] { ActShowSearchDropDownExecute(); }, {},
               [this] { return !IsSearchPanelDocked() && IsSearchPanelShown(); });
    BindAction(QStringLiteral("ActSearch"), [this] { ActSearchExecute(); });
    auto* layout = static_cast<QBoxLayout*>(PanSuchen->layout());
    layout->addWidget(NewActionButton(PanSuchen, Action(QStringLiteral("ActSearch")), Qt::ToolButtonTextBesideIcon));
    layout->addStretch(0);
    for (const char* name : {"ActShowSearchPin", "ActShowSearchKreuz"})
        layout->addWidget(NewActionButton(PanSuchen, Action(QString::fromLatin1(name)), Qt::ToolButtonIconOnly));
    butShowSearch->setDefaultAction(Action(QStringLiteral("ActShowSearchDropDown")));
    butShowSearch->setObjectName(QStringLiteral("butShowSearch"));

    // A floating panel hides when the focus leaves it for another control of
    // the program; its own pop-ups are inside it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        if (!now || !IsInside(PanSuchen, old) || IsInside(PanSuchen, now))
            return;
        QTimer::singleShot(0, PanSuchen, [this] {
            if (IsSearchPanelDocked() || !IsSearchPanelShown() || IsInside(PanSuchen, QApplication::focusWidget()))
                return;
            RunGuarded(this, [this] { HideSearchPanel(); });
            UpdateActions();
        });
    });
    UpdateSearchActions();
}

bool TFQuillon::IsSearchPanelDocked() const
{
    return ClientLayout(PanClient)->indexOf(PanSuchen) >= 0;
}

bool TFQuillon::IsSearchPanelShown() const
{
    return !PanSuchen->isHidden();
}

void TFQuillon::UpdateSearchActions()
{
    const bool docked = IsSearchPanelDocked();
    const bool shown = IsSearchPanelShown();
    QAction* dropDown = Action(QStringLiteral("ActShowSearchDropDown"));
    dropDown->setVisible(!(docked && shown));
    dropDown->setChecked(!docked && shown);
    Action(QStringLiteral("ActShowSearchKreuz"))->setVisible(docked);
    Action(QStringLiteral("ActShowSearchPin"))->setVisible(!docked);
    Action(QStringLiteral("ActShowSearch"))->setChecked(docked && shown);
    // The title bar's button shows while the panel is hidden or floats.
    butShowSearch->setVisible(dropDown->isVisible());
    LayoutTitleBar();
}

void TFQuillon::ApplySearch()
{
    TimerSearch->stop();
    m_searchConfig.Text = ESearchText->text().toLower();
    m_searchConfig.FieldID = BoxSearchField->currentData().toString();
    QFont bold = LVFiles->font();
    bold.setBold(true);
    const bool marking = IsSearchPanelShown() && !m_searchConfig.Text.isEmpty();
    m_listModel->SetSearch(marking ? &m_searchConfig : nullptr, bold);
    RefreshVisibleRows();
}

void TFQuillon::HideSearchPanel()
{
    const bool hadFocus = IsInside(PanSuchen, QApplication::focusWidget());
    PanSuchen->hide();
    if (hadFocus && LVFiles->isEnabled())
        LVFiles->setFocus();
    ApplySearch();
    UpdateSearchActions();
}

void TFQuillon::ActShowSearchExecute()
{
    const bool show = !(IsSearchPanelShown() && IsSearchPanelDocked());
    if (show) {
        if (!IsSearchPanelDocked())
            ClientLayout(PanClient)->insertWidget(DockedLayoutIndex, PanSuchen);
        DockedLook(*PanSuchen);
        PanSuchen->show();
        if (ESearchText->isEnabled())
            ESearchText->setFocus();
    } else {
        PanSuchen->hide();
        if (LVFiles->isEnabled())
            LVFiles->setFocus();
    }
    ApplySearch();
    UpdateSearchActions();
}

void TFQuillon::ActShowSearchDropDownExecute()
{
    if (!IsSearchPanelShown()) {
        ClientLayout(PanClient)->removeWidget(PanSuchen);
        FloatingLook(*PanSuchen);
        PlaceUnder(*PanSuchen, *PanMP3Titel);
        PanSuchen->raise();
        PanSuchen->show();
        ESearchText->setFocus();
    } else if (IsSearchPanelDocked()) {
        CurrentPrompt()->Beep();
    } else {
        HideSearchPanel();
    }
    ApplySearch();
    UpdateSearchActions();
}

void TFQuillon::ActSearchExecute()
{
    ApplySearch();
    const TMP3SearchConfig& config = m_searchConfig;
    if (m_entries.empty() || config.Text.isEmpty()) {
        CurrentPrompt()->Beep();
        return;
    }
    // Another field or text than last time starts again.
    const bool changed =
        !m_lastSearch || m_lastSearch->FieldID != config.FieldID || m_lastSearch->Text != config.Text;
    m_lastSearch = TLastSearch{config.FieldID, config.Text};
    ESearchText->setModified(false);

    const int last = static_cast<int>(m_entries.size()) - 1;
    const bool down = RBtSearchFromTop->isChecked();
    const int step = down ? 1 : -1;
    const int selected = LVFiles->FirstSelectedRow();
    // Searching on starts next to the selected file, or where the direction
    // starts when none is selected; past either end there is nothing left.
    const int start = changed || selected < 0 ? (down ? 0 : last) : selected + step;
    int found = -1;
    for (int row = start; row >= 0 && row <= last; row += step) {
        if (m_entries[static_cast<size_t>(row)]->MatchesSearch(config)) {
            found = row;
            break;
        }
    }
    if (found >= 0) {
        const QModelIndex index = m_listModel->index(found, 0);
        LVFiles->selectionModel()->setCurrentIndex(index,
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        LVFiles->scrollTo(index);
    } else {
        CurrentPrompt()->Beep();
    }
    if (!IsSearchPanelDocked() && IsSearchPanelShown())
        HideSearchPanel();
}
