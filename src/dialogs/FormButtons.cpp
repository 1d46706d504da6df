#include "dialogs/FormButtons.h"

#include "controls/Accelerators.h"
#include "controls/LayoutList.h"
#include "dialogs/DialogParts.h"
#include "common/SettingsBounds.h"
#include "common/ToolbarButtons.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QHBoxLayout>
#include <QIcon>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The text of a separator item, the same in every language.
const char* const SeparatorText = "Trennzeichen";
// An item's data: its row of the button table, or this for a separator.
constexpr int SeparatorRow = -1;

int RowOf(const QListWidgetItem* item)
{
    return item->data(Qt::UserRole).toInt();
}

QListWidgetItem* CopyOf(const QListWidgetItem* item)
{
    return new QListWidgetItem(*item);
}

void Beep()
{
    CurrentPrompt()->Beep();
}

// Whether the available item may go into the used list: a button always
// (it stands in one list only), a separator while the tool bar has fewer than
// it shows (MaxToolbarSeparators).
bool RoomFor(const QListWidgetItem* available, const QListWidget& used)
{
    if (!available)
        return false;
    if (RowOf(available) != SeparatorRow)
        return true;
    int separators = 0;
    for (int i = 0; i < used.count(); ++i)
        separators += RowOf(used.item(i)) == SeparatorRow ? 1 : 0;
    return separators < MaxToolbarSeparators;
}

}

TFormButtons::TFormButtons(QWidget* parent) : QDialog(parent)
{
    using namespace DialogParts;
    setObjectName(QStringLiteral("FormButtons"));
    setWindowTitle(QStringLiteral("%WindowTitleToolButtons"));
    TreeView1 = new TLayoutList(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView2 = new TLayoutList(this);
    TreeView2->setObjectName(QStringLiteral("TreeView2"));
    for (TLayoutList* list : {TreeView1, TreeView2})
        list->setIconSize(QSize(16, 16));
    ButHinzufuegen = NewButton(this, "ActHinzufuegen", "%AddToCurrent");
    ButEntfernen = NewButton(this, "ActEntfernen", "%DeleteFromCurrent");
    ButNachOben = NewButton(this, "ActNachOben", "%MoveUp");
    ButNachUnten = NewButton(this, "ActNachUnten", "%MoveDown");
    ButZuruecksetzen = NewButton(this, "ActZuruecksetzen", "%ResetCustomizedSettings");

    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(ButHinzufuegen);
    middle->addWidget(ButEntfernen);
    middle->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(ButNachOben);
    right->addWidget(ButNachUnten);
    right->addStretch(1);
    right->addWidget(ButZuruecksetzen);

    auto* lists = new QHBoxLayout;
    lists->addWidget(HeadedList(this, QStringLiteral("%AvailableToolButtons"), TreeView1), 1);
    lists->addLayout(middle);
    lists->addWidget(HeadedList(this, QStringLiteral("%CurrentToolbuttons"), TreeView2), 1);
    lists->addLayout(right);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(NewOkCancelRow(this).Row);
    resize(640, 460);

    connect(ButHinzufuegen, &QPushButton::clicked, this, [this] { ActHinzufuegenExecute(); });
    connect(ButEntfernen, &QPushButton::clicked, this, [this] { ActEntfernenExecute(); });
    connect(ButNachOben, &QPushButton::clicked, this, [this] { ActNachObenExecute(); });
    connect(ButNachUnten, &QPushButton::clicked, this, [this] { ActNachUntenExecute(); });
    connect(ButZuruecksetzen, &QPushButton::clicked, this, [this] { ActZuruecksetzenExecute(); });
    connect(TreeView1, &TLayoutList::SelectionMoved, this, [this] { UpdateActions(); });
    connect(TreeView2, &TLayoutList::SelectionMoved, this, [this] { UpdateActions(); });
    connect(TreeView1, &QListWidget::itemDoubleClicked, this, [this] { ActHinzufuegenExecute(); });
    connect(TreeView2, &QListWidget::itemDoubleClicked, this, [this] { ActEntfernenExecute(); });
    TranslateComponentTree(this);
    UpdateActions();
}

bool TFormButtons::Execute(TStringArray& codes, TActionLookup actions)
{
    m_actions = std::move(actions);
    FillTrees(codes);
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    codes = UsedCodes();
    return true;
}

QListWidgetItem* TFormButtons::NewButtonItem(int row) const
{
    const TSymbolleistenButton& button = ToolbarButtons[static_cast<size_t>(row)];
    QAction* action = m_actions ? m_actions(QString::fromLatin1(button.ActionName)) : nullptr;
    if (!action)
        return nullptr;
    auto* item = new QListWidgetItem(action->icon(), PlainCaption(action->text()));
    item->setData(Qt::UserRole, row);
    return item;
}

QListWidgetItem* TFormButtons::NewSeparatorItem() const
{
    // No picture, but its room, so that the texts line up.
    QPixmap blank(TreeView1->iconSize());
    blank.fill(Qt::transparent);
    auto* item = new QListWidgetItem(QIcon(blank), QString::fromLatin1(SeparatorText));
    item->setData(Qt::UserRole, SeparatorRow);
    return item;
}

void TFormButtons::FillTrees(const TStringArray& codes)
{
    TreeView1->clear();
    TreeView2->clear();
    for (const QString& code : codes) {
        if (code == QLatin1String(ToolbarSeparatorCode)) {
            TreeView2->addItem(NewSeparatorItem());
            continue;
        }
        for (int row = 0; row < ToolbarButtonCount; ++row)
            if (code == QLatin1String(ToolbarButtons[static_cast<size_t>(row)].Code))
                if (QListWidgetItem* item = NewButtonItem(row))
                    TreeView2->addItem(item);
    }
    TreeView1->addItem(NewSeparatorItem());
    for (int row = 0; row < ToolbarButtonCount; ++row)
        if (!codes.contains(QLatin1String(ToolbarButtons[static_cast<size_t>(row)].Code)))
            if (QListWidgetItem* item = NewButtonItem(row))
                TreeView1->addItem(item);
    // Every caption whole, in either list: a button moves between them. (The
    // undo command's caption names a file; a long name is cut, not the screen.)
    const int widest = std::min(std::max(TreeView1->sizeHintForColumn(0), TreeView2->sizeHintForColumn(0)),
                                fontMetrics().averageCharWidth() * 48);
    for (TLayoutList* list : {TreeView1, TreeView2})
        list->setMinimumWidth(widest + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width());
    UpdateActions();
}

TStringArray TFormButtons::UsedCodes() const
{
    TStringArray codes;
    for (int i = 0; i < TreeView2->count(); ++i) {
        const int row = RowOf(TreeView2->item(i));
        codes << (row == SeparatorRow ? QString::fromLatin1(ToolbarSeparatorCode)
                                      : QString::fromLatin1(ToolbarButtons[static_cast<size_t>(row)].Code));
    }
    return codes;
}

void TFormButtons::ActHinzufuegenExecute()
{
    QListWidgetItem* available = TreeView1->SelectedItem();
    if (!RoomFor(available, *TreeView2)) {
        Beep();
        return;
    }
    const int selected = TreeView2->SelectedRow();
    QListWidgetItem* copy = CopyOf(available);
    TreeView2->insertItem(selected < 0 ? TreeView2->count() : selected + 1, copy);
    TreeView2->SelectItem(copy);
    // The separator stays available: separators can be added again.
    if (RowOf(available) != SeparatorRow)
        delete TreeView1->takeItem(TreeView1->row(available));
    UpdateActions();
}

void TFormButtons::ActEntfernenExecute()
{
    QListWidgetItem* used = TreeView2->SelectedItem();
    if (!used) {
        Beep();
        return;
    }
    const int row = RowOf(used);
    if (row != SeparatorRow) {
        // Back into table order, below the separator item.
        int position = TreeView1->count();
        for (int i = 0; i < TreeView1->count(); ++i) {
            const int other = RowOf(TreeView1->item(i));
            if (other != SeparatorRow && other > row) {
                position = i;
                break;
            }
        }
        QListWidgetItem* copy = CopyOf(used);
        TreeView1->insertItem(position, copy);
        TreeView1->SelectItem(copy);
    }
    delete TreeView2->takeItem(TreeView2->row(used));
    UpdateActions();
}

void TFormButtons::ActNachObenExecute()
{
    if (!TreeView2->SelectedItem())
        Beep();
    TreeView2->MoveSelected(-1);
    UpdateActions();
}

void TFormButtons::ActNachUntenExecute()
{
    if (!TreeView2->SelectedItem())
        Beep();
    TreeView2->MoveSelected(+1);
    UpdateActions();
}

void TFormButtons::ActZuruecksetzenExecute()
{
    FillTrees(DefaultToolbar());
}

void TFormButtons::UpdateActions()
{
    ButHinzufuegen->setEnabled(RoomFor(TreeView1->SelectedItem(), *TreeView2));
    ButEntfernen->setEnabled(TreeView2->SelectedItem() != nullptr);
    ButNachOben->setEnabled(TreeView2->CanMoveSelected(-1));
    ButNachUnten->setEnabled(TreeView2->CanMoveSelected(+1));
}
