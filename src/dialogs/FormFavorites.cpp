#include "dialogs/FormFavorites.h"

#include "controls/ImageLists.h"
#include "common/NameValueCollection.h"

#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int IndexRole = Qt::UserRole;

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption, int width)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(width);
    return button;
}

// A push button that runs an action and follows its enabled state.
QPushButton* ActionButton(QWidget* parent, const char* name, const char* caption, QAction* action)
{
    QPushButton* button = NewButton(parent, name, caption, 93);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    return button;
}

}

TFormFavorites::TFormFavorites(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormFavorites"));
    setWindowTitle(QStringLiteral("%OrgFavoritesTitle"));

    auto* picture = new QLabel(this);
    picture->setPixmap(ImageLists::ToolButtonImages().at(ImageLists::tiFavorite).pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("%OrgFavoritesText"), this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(text, 1);

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);

    actRename = new QAction(QStringLiteral("%OrgFavoritesRename"), this);
    actRename->setObjectName(QStringLiteral("actRename"));
    actRename->setShortcut(QKeySequence(Qt::Key_F2));
    actRename->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    actDelete = new QAction(QStringLiteral("%OrgFavoritesDelete"), this);
    actDelete->setObjectName(QStringLiteral("actDelete"));
    actDelete->setShortcut(QKeySequence(QKeySequence::Delete));
    actDelete->setShortcutContext(Qt::WidgetShortcut);
    TreeView1->addAction(actRename);
    TreeView1->addAction(actDelete);
    connect(actRename, &QAction::triggered, this, [this] {
        if (QTreeWidgetItem* item = TreeView1->currentItem())
            TreeView1->editItem(item);
    });
    connect(actDelete, &QAction::triggered, this, [this] {
        delete TreeView1->currentItem();
        UpdateActionStates();
    });
    connect(TreeView1, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateActionStates(); });

    auto* commands = new QHBoxLayout;
    commands->addWidget(ActionButton(this, "ButRename", "%OrgFavoritesRename", actRename));
    commands->addWidget(ActionButton(this, "ButDelete", "%OrgFavoritesDelete", actDelete));
    commands->addStretch(1);

    QPushButton* ok = NewButton(this, "ButtonOK", "%OK", 75);
    QPushButton* cancel = NewButton(this, "ButtonCancel", "%Cancel", 75);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(TreeView1, 1);
    layout->addLayout(commands);
    layout->addLayout(buttons);
    TranslateComponentTree(this);
    resize(std::max(273, sizeHint().width()), 320);
    UpdateActionStates();
}

bool TFormFavorites::Execute(TNameValueCollection& favorites)
{
    Fill(favorites);
    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    Apply(favorites);
    return true;
}

void TFormFavorites::Fill(const TNameValueCollection& favorites)
{
    TreeView1->setUpdatesEnabled(false);
    TreeView1->clear();
    const QIcon icon = ImageLists::ToolButtonImages().at(ImageLists::tiFavorite);
    for (int i = 0; i < favorites.Count(); ++i) {
        auto* item = new QTreeWidgetItem(TreeView1, {favorites.Names(i)});
        item->setData(0, IndexRole, i);
        item->setIcon(0, icon);
        item->setToolTip(0, PlainToolTip(favorites.Values(i)));
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    TreeView1->setUpdatesEnabled(true);
    UpdateActionStates();
}

void TFormFavorites::Apply(TNameValueCollection& favorites) const
{
    // What the nodes say about each pair as it was before the dialog.
    std::vector<const QTreeWidgetItem*> nodeOf(static_cast<size_t>(favorites.Count()), nullptr);
    for (int row = 0; row < TreeView1->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = TreeView1->topLevelItem(row);
        const int index = item->data(0, IndexRole).toInt();
        if (index >= 0 && index < favorites.Count())
            nodeOf[static_cast<size_t>(index)] = item;
    }
    // Renamed first, then deleted from the end, so that every index still
    // names its own pair.
    for (size_t i = 0; i < nodeOf.size(); ++i)
        if (nodeOf[i])
            favorites.Rename(static_cast<int>(i), nodeOf[i]->text(0));
    for (size_t i = nodeOf.size(); i-- > 0;)
        if (!nodeOf[i])
            favorites.Delete(static_cast<int>(i));
}

void TFormFavorites::UpdateActionStates()
{
    const bool selected = TreeView1->currentItem() && TreeView1->currentItem()->isSelected();
    actRename->setEnabled(selected);
    actDelete->setEnabled(selected);
}
