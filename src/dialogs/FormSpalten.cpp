#include "dialogs/FormSpalten.h"

#include "controls/UpDownEdit.h"
#include "localisation/ui/ComponentTranslation.h"
#include "dialogs/DialogParts.h"
#include "common/ColumnCatalogue.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int IDRole = Qt::UserRole;
constexpr int ImageRole = Qt::UserRole + 1;
constexpr int ImageSize = 16;
constexpr int MaxWidth = 9999;

// A column symbol, an empty and a ticked box, drawn by the style.
QIcon EntryImage(int image, QStyle* style)
{
    QPixmap pixmap(ImageSize, ImageSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (image == TFormSpalten::imColumn) {
        const QPalette palette = style->standardPalette();
        painter.setPen(palette.color(QPalette::Text));
        painter.setBrush(palette.color(QPalette::Base));
        painter.drawRect(2, 2, ImageSize - 5, ImageSize - 5);
        painter.fillRect(2, 2, ImageSize - 4, 4, palette.color(QPalette::Highlight));
        painter.drawLine(ImageSize / 2, 6, ImageSize / 2, ImageSize - 3);
    } else {
        QStyleOptionButton option;
        option.rect = QRect(0, 0, ImageSize, ImageSize);
        option.state = QStyle::State_Enabled | (image == TFormSpalten::imTicked ? QStyle::State_On : QStyle::State_Off);
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter);
    }
    return QIcon(pixmap);
}

QPushButton* ButtonFor(QAction* action, QWidget* parent)
{
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(QStringLiteral("But") + action->objectName().mid(3));
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
    });
    return button;
}

void Beep()
{
    CurrentPrompt()->Beep();
}

}

TFormSpalten::TFormSpalten(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormSpalten"));
    setWindowTitle(QStringLiteral("%WindowColumnsTitle"));
    BuildWindow();
    TranslateComponentTree(this);
}

TFormSpalten::~TFormSpalten()
{
    // The entries point into the working list: they go first.
    TreeView1->clear();
    TreeView2->clear();
}

QTreeWidget* TFormSpalten::NewTree(const QString& heading, QWidget*& box)
{
    box = new QWidget(this);
    auto* tree = new QTreeWidget(box);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setIconSize(QSize(ImageSize, ImageSize));
    auto* label = new QLabel(heading, box);
    label->setBuddy(tree);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(tree, 1);
    connect(tree, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateActions(); });
    return tree;
}

void TFormSpalten::BuildWindow()
{
    const auto newAction = [this](const char* name, const char* caption, void (TFormSpalten::*execute)()) {
        auto* action = new QAction(QString::fromLatin1(caption), this);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, execute] { (this->*execute)(); });
        return action;
    };
    ActHinzufuegen = newAction("ActHinzufuegen", "%AddToCurrent", &TFormSpalten::ActHinzufuegenExecute);
    ActEntfernen = newAction("ActEntfernen", "%DeleteFromCurrent", &TFormSpalten::ActEntfernenExecute);
    ActNachOben = newAction("ActNachOben", "%MoveUp", &TFormSpalten::ActNachObenExecute);
    ActNachUnten = newAction("ActNachUnten", "%MoveDown", &TFormSpalten::ActNachUntenExecute);
    ActZuruecksetzten =
        newAction("ActZuruecksetzten", "%ResetCustomizedSettings", &TFormSpalten::ActZuruecksetztenExecute);

    PanHinweis = new QWidget(this);
    labHinweis = new QLabel(PanHinweis);
    labHinweis->setWordWrap(true);
    labHinweis->setTextFormat(Qt::PlainText);
    auto* hintLayout = new QVBoxLayout(PanHinweis);
    hintLayout->setContentsMargins(0, 0, 0, 0);
    hintLayout->addWidget(labHinweis);

    QWidget* availableBox = nullptr;
    QWidget* chosenBox = nullptr;
    TreeView1 = NewTree(QStringLiteral("%AvailableColumns"), availableBox);
    TreeView2 = NewTree(QStringLiteral("%CurrentColumns"), chosenBox);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView2->setObjectName(QStringLiteral("TreeView2"));
    // The selection, not the current item: a mouse click moves the current
    // item before it selects it.
    connect(TreeView2, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!m_filling)
            TreeView2Change();
    });
    connect(TreeView1, &QTreeWidget::itemDoubleClicked, this, [this] { ActHinzufuegenExecute(); });
    TreeView2->installEventFilter(this);
    TreeView2->viewport()->installEventFilter(this);

    PanBreiten = new QWidget(chosenBox);
    EBreite = new TUpDownEdit(PanBreiten);
    EBreite->setObjectName(QStringLiteral("EBreite"));
    EBreite->SetDigits(0);
    EBreite->SetRange(0, MaxWidth);
    EBreite->SetIncrement(1);
    auto* widthLabel = new QLabel(QStringLiteral("%ColumnWidth"), PanBreiten);
    widthLabel->setBuddy(EBreite->Edit());
    auto* widthLayout = new QHBoxLayout(PanBreiten);
    widthLayout->setContentsMargins(0, 0, 0, 0);
    widthLayout->addWidget(widthLabel);
    widthLayout->addWidget(EBreite);
    widthLayout->addStretch(1);
    chosenBox->layout()->addWidget(PanBreiten);

    auto* moveButtons = new QVBoxLayout;
    moveButtons->addStretch(1);
    moveButtons->addWidget(ButtonFor(ActHinzufuegen, this));
    moveButtons->addWidget(ButtonFor(ActEntfernen, this));
    moveButtons->addStretch(1);
    auto* orderButtons = new QVBoxLayout;
    orderButtons->addStretch(1);
    orderButtons->addWidget(ButtonFor(ActNachOben, this));
    orderButtons->addWidget(ButtonFor(ActNachUnten, this));
    orderButtons->addStretch(1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(availableBox, 1);
    lists->addLayout(moveButtons);
    lists->addWidget(chosenBox, 1);
    lists->addLayout(orderButtons);

    QHBoxLayout* bottom =
        DialogParts::NewOkCancelRow(this, ButtonFor(ActZuruecksetzten, this), "ButOK", "ButCancel").Row;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PanHinweis);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(560, 420);
}

TSpaltenID* TFormSpalten::ColumnOf(const QTreeWidgetItem* item) const
{
    return item ? reinterpret_cast<TSpaltenID*>(item->data(0, IDRole).value<quintptr>()) : nullptr;
}

int TFormSpalten::ImageOf(const QTreeWidgetItem* item)
{
    return item ? item->data(0, ImageRole).toInt() : -1;
}

void TFormSpalten::SetImage(QTreeWidgetItem* item, int image) const
{
    item->setData(0, ImageRole, image);
    item->setIcon(0, EntryImage(image, style()));
}

QTreeWidgetItem* TFormSpalten::NewItem(TSpaltenID* column, int image) const
{
    auto* item = new QTreeWidgetItem;
    const TSpalte* row = FindColumn(column->ID);
    item->setText(0, row ? ColumnCaption(*row) : column->ID);
    item->setData(0, IDRole, QVariant::fromValue(reinterpret_cast<quintptr>(column)));
    SetImage(item, image);
    return item;
}

bool TFormSpalten::Execute(const QString& info, bool showWidths, bool tickMode, TStringArray& ids,
                           TWordArray& widths, TBoolArray& ticks)
{
    labHinweis->setText(info);
    PanHinweis->setVisible(!info.isEmpty());
    m_tickMode = tickMode;
    PanBreiten->setVisible(showWidths);
    FillTrees(ids, widths, ticks);
    const bool ok = CurrentPrompt()->RunModal(*this) == QDialog::Accepted;
    if (ok) {
        TreeView2Change(); // the width being edited goes into its column
        ids.clear();
        widths.clear();
        ticks.clear();
        for (int i = 0; i < TreeView2->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = TreeView2->topLevelItem(i);
            const TSpaltenID* column = ColumnOf(item);
            ids.append(column->ID);
            widths.append(static_cast<quint16>(qBound(0, column->Width, 0xFFFF)));
            ticks.append(ImageOf(item) == imTicked);
        }
    }
    m_filling = true;
    m_widthColumn = nullptr;
    TreeView1->clear();
    TreeView2->clear();
    m_columns.clear();
    m_filling = false;
    return ok;
}

void TFormSpalten::FillTrees(const TStringArray& ids, const TWordArray& widths, const TBoolArray& ticks)
{
    m_filling = true;
    m_widthColumn = nullptr;
    TreeView1->clear();
    TreeView2->clear();
    m_columns.clear();
    const auto newColumn = [this](const QString& id, int width) {
        m_columns.push_back(std::make_unique<TSpaltenID>(TSpaltenID{id, width}));
        return m_columns.back().get();
    };
    for (const TSpalte& row : ColumnCatalogue) {
        const QString id = QString::fromLatin1(row.ID);
        if (!ids.contains(id))
            TreeView1->addTopLevelItem(NewItem(newColumn(id, row.DefaultWidth), imColumn));
    }
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const TSpalte* row = FindColumn(ids.at(i));
        if (!row)
            continue;
        const int width = i < widths.size() ? widths.at(i) : row->DefaultWidth;
        const int image = !m_tickMode ? imColumn : (i < ticks.size() && ticks.at(i)) ? imTicked : imUnticked;
        TreeView2->addTopLevelItem(NewItem(newColumn(ids.at(i), width), image));
    }
    m_filling = false;
    if (TreeView1->topLevelItemCount() > 0)
        TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
    if (TreeView2->topLevelItemCount() > 0)
        TreeView2->setCurrentItem(TreeView2->topLevelItem(0));
    TreeView2Change();
    UpdateActions();
}

void TFormSpalten::TreeView2Change()
{
    if (m_widthColumn)
        m_widthColumn->Width = EBreite->PositionInt();
    QTreeWidgetItem* selected = TreeView2->selectedItems().value(0);
    m_widthColumn = ColumnOf(selected);
    EBreite->SetPosition(m_widthColumn ? m_widthColumn->Width : 0);
    EBreite->setEnabled(m_widthColumn != nullptr);
}

void TFormSpalten::UpdateActions()
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    const int row = chosen ? TreeView2->indexOfTopLevelItem(chosen) : -1;
    ActHinzufuegen->setEnabled(!TreeView1->selectedItems().isEmpty());
    ActEntfernen->setEnabled(chosen != nullptr);
    ActNachOben->setEnabled(chosen && row > 0);
    ActNachUnten->setEnabled(chosen && row < TreeView2->topLevelItemCount() - 1);
}

void TFormSpalten::ActHinzufuegenExecute()
{
    QTreeWidgetItem* available = TreeView1->selectedItems().value(0);
    if (!available) {
        Beep();
        return;
    }
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    const int at = chosen ? TreeView2->indexOfTopLevelItem(chosen) + 1 : TreeView2->topLevelItemCount();
    QTreeWidgetItem* item = NewItem(ColumnOf(available), m_tickMode ? imUnticked : imColumn);
    TreeView2->insertTopLevelItem(at, item);
    TreeView2->setCurrentItem(item);
    TreeView2->scrollToItem(item);
    delete available;
    UpdateActions();
}

void TFormSpalten::ActEntfernenExecute()
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    if (!chosen) {
        Beep();
        return;
    }
    TSpaltenID* column = ColumnOf(chosen);
    // The available list stays in catalogue order.
    const int position = FindColumnIndex(column->ID);
    int at = TreeView1->topLevelItemCount();
    for (int i = 0; i < TreeView1->topLevelItemCount(); ++i) {
        if (FindColumnIndex(ColumnOf(TreeView1->topLevelItem(i))->ID) > position) {
            at = i;
            break;
        }
    }
    QTreeWidgetItem* item = NewItem(column, imColumn);
    TreeView1->insertTopLevelItem(at, item);
    TreeView1->setCurrentItem(item);
    TreeView1->scrollToItem(item);
    delete chosen;
    UpdateActions();
}

void TFormSpalten::MoveChosen(int to)
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    m_filling = true; // the width field keeps showing this column
    TreeView2->takeTopLevelItem(TreeView2->indexOfTopLevelItem(chosen));
    TreeView2->insertTopLevelItem(to, chosen);
    TreeView2->setCurrentItem(chosen);
    TreeView2->scrollToItem(chosen);
    m_filling = false;
    UpdateActions();
}

void TFormSpalten::ActNachObenExecute()
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    if (!chosen) {
        Beep();
        return;
    }
    const int row = TreeView2->indexOfTopLevelItem(chosen);
    if (row > 0)
        MoveChosen(row - 1);
}

void TFormSpalten::ActNachUntenExecute()
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    if (!chosen) {
        Beep();
        return;
    }
    const int row = TreeView2->indexOfTopLevelItem(chosen);
    if (row < TreeView2->topLevelItemCount() - 1)
        MoveChosen(row + 1);
}

void TFormSpalten::ActZuruecksetztenExecute()
{
    FillTrees(DefaultColumns(), {}, {});
}

void TFormSpalten::ToggleTick()
{
    QTreeWidgetItem* chosen = TreeView2->selectedItems().value(0);
    if (!m_tickMode || !chosen)
        return;
    SetImage(chosen, ImageOf(chosen) == imUnticked ? imTicked : imUnticked);
}

bool TFormSpalten::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == TreeView2 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space) {
        ToggleTick();
        return true;
    }
    if (watched == TreeView2->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // A click on the box of a column ticks or unticks it.
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        QTreeWidgetItem* item = TreeView2->itemAt(pos);
        if (item && item == TreeView2->currentItem() &&
            pos.x() - TreeView2->visualItemRect(item).left() < TreeView2->iconSize().width() + 8)
            ToggleTick();
    }
    return QDialog::eventFilter(watched, event);
}
