#include "dialogs/FormEingabefelder.h"

#include "controls/Accelerators.h"
#include "controls/GroupBoxXP2.h"
#include "controls/LayoutList.h"
#include "dialogs/DialogParts.h"
#include "common/SettingsBounds.h"
#include "common/StoredNames.h"

#include "frameinput/ID3v2Frame.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCatalogue.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int IdRole = Qt::UserRole;
constexpr int CatalogueRole = Qt::UserRole + 1;

// The frame's row in the frame catalogue; -1 when it has none.
int CatalogueRow(const QString& id)
{
    const TID3FrameName* row = FindFrameName(id);
    return row ? static_cast<int>(row - ID3FrameNames.data()) : -1;
}

QString IdOf(const QListWidgetItem* item)
{
    return item->data(IdRole).toString();
}

QStringList IdsOf(const TLayoutList* list)
{
    QStringList ids;
    for (int i = 0; i < list->count(); ++i)
        ids << IdOf(list->item(i));
    return ids;
}

void Beep()
{
    CurrentPrompt()->Beep();
}

// The row to select once the item at row went: the one that took its place,
// else the one before.
void SelectNear(TLayoutList* list, int row)
{
    if (list->count() > 0)
        list->SelectItem(list->item(std::min(row, list->count() - 1)));
}

}

TFormEingabefelder::TFormEingabefelder(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormEingabefelder"));
    setWindowTitle(QStringLiteral("%WindowTitleFields"));
    TVLinks = new TLayoutList(this);
    TVLinks->setObjectName(QStringLiteral("TVLinks"));

    auto* description = new TGroupBoxXP2(QStringLiteral("%FieldDescription"), this);
    LBeschreibung = DialogParts::NewTextLabel(description, QString());
    LBeschreibung->setObjectName(QStringLiteral("LBeschreibung"));
    LBeschreibung->setMinimumHeight(LBeschreibung->fontMetrics().lineSpacing() * 3);
    LBeschreibung->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    (new QVBoxLayout(description))->addWidget(LBeschreibung);

    auto* lists = new QHBoxLayout;
    lists->addWidget(DialogParts::HeadedList(this, QStringLiteral("%AvailableFields"), TVLinks), 1);
    lists->addWidget(BuildButtons());
    lists->addWidget(BuildPagesArea(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(description);
    layout->addLayout(DialogParts::NewOkCancelRow(this, ButZuruecksetzen).Row);
    resize(760, 520);

    connect(TCSeiten, &QTabBar::currentChanged, this, [this] { TCSeitenChange(); });
    for (TLayoutList* list : {TVLinks, TVRechts}) {
        connect(list, &TLayoutList::SelectionMoved, this, [this, list] { TVLinksChange(list); });
        connect(list, &TLayoutList::itemPressed, this, [this, list] { TVLinksChange(list); });
    }
    connect(TVLinks, &QListWidget::itemDoubleClicked, this, [this] { ActHinzufuegenExecute(); });
    connect(TVRechts, &QListWidget::itemDoubleClicked, this, [this] { ActEntfernenExecute(); });
    const std::pair<QPushButton*, void (TFormEingabefelder::*)()> handlers[] = {
        {ButHinzufuegen, &TFormEingabefelder::ActHinzufuegenExecute},
        {ButEntfernen, &TFormEingabefelder::ActEntfernenExecute},
        {ButNachOben, &TFormEingabefelder::ActNachObenExecute},
        {ButNachUnten, &TFormEingabefelder::ActNachUntenExecute},
        {ButNeueSeite, &TFormEingabefelder::ActNeueSeiteExecute},
        {ButSeiteLoeschen, &TFormEingabefelder::ActSeiteLoeschenExecute},
        {ButSeiteUmbenennen, &TFormEingabefelder::ActSeiteUmbenennenExecute},
        {ButZuruecksetzen, &TFormEingabefelder::ActZuruecksetzenExecute},
    };
    for (const auto& [button, handler] : handlers)
        connect(button, &QPushButton::clicked, this, [this, handler = handler] { (this->*handler)(); });
    TranslateComponentTree(this);
    UpdateActions();
}

QWidget* TFormEingabefelder::BuildButtons()
{
    using DialogParts::NewButton;
    auto* column = new QWidget(this);
    ButHinzufuegen = NewButton(column, "ActHinzufuegen", "%AddToCurrent");
    ButEntfernen = NewButton(column, "ActEntfernen", "%DeleteFromCurrent");
    ButNachOben = NewButton(column, "ActNachOben", "%MoveUp");
    ButNachUnten = NewButton(column, "ActNachUnten", "%MoveDown");
    ButNeueSeite = NewButton(column, "ActNeueSeite", "%NewPage");
    ButSeiteLoeschen = NewButton(column, "ActSeiteLoeschen", "%DeletePage");
    ButSeiteUmbenennen = NewButton(column, "ActSeiteUmbenennen", "%RenamePage");
    ButZuruecksetzen = NewButton(this, "ActZuruecksetzen", "%ResetCustomizedSettings");
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addStretch(1);
    layout->addWidget(ButHinzufuegen);
    layout->addWidget(ButEntfernen);
    layout->addSpacing(12);
    layout->addWidget(ButNachOben);
    layout->addWidget(ButNachUnten);
    layout->addStretch(1);
    layout->addWidget(ButNeueSeite);
    layout->addWidget(ButSeiteUmbenennen);
    layout->addWidget(ButSeiteLoeschen);
    return column;
}

QWidget* TFormEingabefelder::BuildPagesArea()
{
    auto* area = new QWidget(this);
    TCSeiten = new QTabBar(area);
    TCSeiten->setObjectName(QStringLiteral("TCSeiten"));
    TCSeiten->setExpanding(false);
    TCSeiten->setUsesScrollButtons(true);
    TCSeiten->setDrawBase(false);
    TVRechts = new TLayoutList(area);
    TVRechts->setObjectName(QStringLiteral("TVRechts"));
    PNichts = new QLabel(QStringLiteral("%UnchangeablePage"), area);
    PNichts->setObjectName(QStringLiteral("PNichts"));
    PNichts->setTextFormat(Qt::PlainText);
    PNichts->setAlignment(Qt::AlignCenter);
    PNichts->setWordWrap(true);
    PNichts->setFrameShape(QFrame::StyledPanel);
    PanSeite = new QStackedWidget(area);
    PanSeite->addWidget(DialogParts::HeadedList(PanSeite, QStringLiteral("%CurrentFields"), TVRechts));
    PanSeite->addWidget(PNichts);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(TCSeiten);
    layout->addWidget(PanSeite, 1);
    return area;
}

bool TFormEingabefelder::Execute(const std::vector<TID3v2Frame*>& inputs, TEingabeSeiten& pages)
{
    m_handled.clear();
    for (const TID3v2Frame* input : inputs)
        for (const QString& id : input->FrameIDs())
            m_handled.insert(id);
    FillPages(pages);
    const bool accepted = CurrentPrompt()->RunModal(*this) == QDialog::Accepted;
    TCSeitenChange();
    if (!accepted)
        return false;
    pages.Clear();
    for (int i = 0; i < m_pages.Count(); ++i)
        pages.Add(m_pages.Items(i).Title).FrameIDs = m_pages.Items(i).FrameIDs;
    return true;
}

void TFormEingabefelder::InsertPageTab(int index, const QString& title)
{
    const QSignalBlocker quiet(TCSeiten);
    TCSeiten->insertTab(index, LiteralCaption(title));
}

void TFormEingabefelder::ChooseTab(int index)
{
    const QSignalBlocker quiet(TCSeiten);
    TCSeiten->setCurrentIndex(index);
}

bool TFormEingabefelder::PageTabChosen() const
{
    const int index = TCSeiten->currentIndex();
    return index >= 0 && index < TCSeiten->count() - 1;
}

void TFormEingabefelder::FillPages(const TEingabeSeiten& pages)
{
    {
        const QSignalBlocker quiet(TCSeiten);
        while (TCSeiten->count() > 0)
            TCSeiten->removeTab(0);
    }
    m_pages.Clear();
    QSet<QString> used;
    for (int i = 0; i < pages.Count(); ++i) {
        const TEingabeSeite& page = pages.Items(i);
        TEingabeSeite& working = m_pages.Add(ShownName(page.Title));
        for (const QString& id : page.FrameIDs) {
            if (CatalogueRow(id) < 0 || !m_handled.contains(id) || used.contains(id))
                continue;
            used.insert(id);
            working.FrameIDs << id;
        }
        InsertPageTab(i, working.Title);
    }
    InsertPageTab(TCSeiten->count(), Lang("EmptyPage"));
    m_currentPage = -1;
    ChooseTab(0);
    TCSeitenChange();

    TVLinks->clear();
    for (const TID3FrameName& row : ID3FrameNames) {
        const QString id = QString::fromLatin1(row.ID);
        if (m_handled.contains(id) && !used.contains(id))
            TVLinks->addItem(NewFieldItem(id));
    }
    UpdateActions();
}

QListWidgetItem* TFormEingabefelder::NewFieldItem(const QString& id) const
{
    auto* item = new QListWidgetItem(style()->standardIcon(QStyle::SP_FileDialogDetailedView), GetFrameName(id));
    item->setData(IdRole, id);
    item->setData(CatalogueRole, CatalogueRow(id));
    return item;
}

void TFormEingabefelder::ShowPageFields(const QStringList& ids)
{
    TVRechts->clear();
    for (const QString& id : ids)
        if (CatalogueRow(id) >= 0)
            TVRechts->addItem(NewFieldItem(id));
}

void TFormEingabefelder::ShowDescription(const QListWidgetItem* item)
{
    if (!item) {
        LBeschreibung->clear();
        return;
    }
    const QString id = IdOf(item);
    LBeschreibung->setText(GetFrameDescription(id) + QStringLiteral(" [") + id + QLatin1Char(']'));
}

void TFormEingabefelder::TVLinksChange(const TLayoutList* list)
{
    ShowDescription(list->SelectedItem() ? list->SelectedItem() : list->currentItem());
    UpdateActions();
}

void TFormEingabefelder::TCSeitenChange()
{
    if (m_currentPage >= 0 && m_currentPage < m_pages.Count())
        m_pages.Items(m_currentPage).FrameIDs = IdsOf(TVRechts);
    if (PageTabChosen()) {
        m_currentPage = TCSeiten->currentIndex();
        ShowPageFields(m_pages.Items(m_currentPage).FrameIDs);
        PanSeite->setCurrentIndex(0);
    } else {
        m_currentPage = -1;
        TVRechts->clear();
        PanSeite->setCurrentWidget(PNichts);
    }
    UpdateActions();
}

void TFormEingabefelder::ActHinzufuegenExecute()
{
    QListWidgetItem* available = TVLinks->SelectedItem();
    if (!available || !PageTabChosen()) {
        Beep();
        return;
    }
    const int selected = TVRechts->SelectedRow();
    TVRechts->insertItem(selected < 0 ? TVRechts->count() : selected, new QListWidgetItem(*available));
    const int row = TVLinks->row(available);
    delete TVLinks->takeItem(row);
    SelectNear(TVLinks, row);
    UpdateActions();
}

void TFormEingabefelder::ActEntfernenExecute()
{
    QListWidgetItem* used = TVRechts->SelectedItem();
    if (!used) {
        Beep();
        return;
    }
    // Back into catalogue order.
    const int catalogueRow = used->data(CatalogueRole).toInt();
    int position = TVLinks->count();
    for (int i = 0; i < TVLinks->count(); ++i) {
        if (TVLinks->item(i)->data(CatalogueRole).toInt() > catalogueRow) {
            position = i;
            break;
        }
    }
    TVLinks->insertItem(position, new QListWidgetItem(*used));
    const int row = TVRechts->row(used);
    delete TVRechts->takeItem(row);
    SelectNear(TVRechts, row);
    UpdateActions();
}

void TFormEingabefelder::ActNachObenExecute()
{
    if (!TVRechts->MoveSelected(-1) && !TVRechts->SelectedItem())
        Beep();
    UpdateActions();
}

void TFormEingabefelder::ActNachUntenExecute()
{
    if (!TVRechts->MoveSelected(+1) && !TVRechts->SelectedItem())
        Beep();
    UpdateActions();
}

void TFormEingabefelder::ActNeueSeiteExecute()
{
    if (m_pages.Count() >= MaxInputPages) {
        Beep();
        return;
    }
    const auto name =
        CurrentPrompt()->Input(this, Lang("NewPage"), Lang("QuestionNameOfNewPage"), Lang("NewPageTitle"));
    if (!name)
        return;
    TCSeitenChange();
    const int position = std::min(TCSeiten->currentIndex(), TCSeiten->count() - 1);
    InsertPageTab(position, *name);
    m_pages.Insert(position, *name);
    if (m_currentPage >= position)
        ++m_currentPage;
    ChooseTab(position);
    TCSeitenChange();
}

int TFormEingabefelder::PageToChange() const
{
    if (TCSeiten->count() < 2 || !PageTabChosen()) {
        Beep();
        return -1;
    }
    return TCSeiten->currentIndex();
}

void TFormEingabefelder::ActSeiteLoeschenExecute()
{
    const int index = PageToChange();
    if (index < 0)
        return;
    {
        const QSignalBlocker quiet(TCSeiten);
        TCSeiten->removeTab(index);
    }
    m_pages.Delete(index);
    m_currentPage = -1;
    ChooseTab(std::min(index, TCSeiten->count() - 1));
    TCSeitenChange();
}

void TFormEingabefelder::ActSeiteUmbenennenExecute()
{
    const int index = PageToChange();
    if (index < 0)
        return;
    TEingabeSeite& page = m_pages.Items(index);
    const auto name = CurrentPrompt()->Input(this, Lang("RenamePage"), Lang("QuestionNewNameOfPage"), page.Title);
    if (!name)
        return;
    page.Title = *name;
    TCSeiten->setTabText(index, LiteralCaption(*name));
}

void TFormEingabefelder::ActZuruecksetzenExecute()
{
    FillPages(DefaultInputPages());
}

void TFormEingabefelder::UpdateActions()
{
    const bool pageChosen = PageTabChosen();
    ButHinzufuegen->setEnabled(TVLinks->SelectedItem() && pageChosen);
    ButEntfernen->setEnabled(TVRechts->SelectedItem() != nullptr);
    ButNachOben->setEnabled(TVRechts->CanMoveSelected(-1));
    ButNachUnten->setEnabled(TVRechts->CanMoveSelected(+1));
    ButNeueSeite->setEnabled(m_pages.Count() < MaxInputPages);
    ButSeiteLoeschen->setEnabled(TCSeiten->count() >= 2 && pageChosen);
    ButSeiteUmbenennen->setEnabled(TCSeiten->count() >= 2 && pageChosen);
}
