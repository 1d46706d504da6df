// The lookup wizard's result pages: the chosen CD's tracks against the files
// (page 2), the CDs found for each file (page 5), their row actions and what
// Finish writes.
#include "dialogs/FormCDDB.h"

#include "controls/Guarded.h"
#include "controls/ImageLists.h"
#include "controls/OwnerDataModel.h"
#include "common/ColumnCatalogue.h"

#include "cddb/DiscIDCalculator.h"
#include "controls/FileMimeData.h"
#include "controls/IconTheme.h"
#include "localisation/MultiLanguage.h"
#include "platform/Opener.h"
#include "platform/Prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>
#include <numeric>

namespace {

// Presses closer than this to the list's left edge hit the check mark.
constexpr int CheckMarkWidth = 20;

QString CatalogueCaption(const char* id)
{
    const TSpalte* column = FindColumn(QString::fromLatin1(id));
    return column ? ColumnCaption(*column) : QString();
}

QToolButton* SpeedButton(QAction* action, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setDefaultAction(action);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setAutoRaise(true);
    button->setIconSize(QSize(20, 20));
    return button;
}

// A list with its speed buttons in a column on the right.
QWidget* ListWithButtons(QTreeView* list, std::initializer_list<QAction*> actions, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list, 1);
    auto* buttons = new QVBoxLayout;
    for (QAction* action : actions) {
        if (action)
            buttons->addWidget(SpeedButton(action, box));
        else
            buttons->addSpacing(10);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    return box;
}

QWidget* CheckBoxPanel(QCheckBox* box, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    layout->addStretch(1);
    return panel;
}

}

QTreeView* TFormCDDB::NewRowList(const QString& name, const QString& popupName, std::initializer_list<QAction*> popup)
{
    auto* list = new QTreeView(this);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    list->header()->setStretchLastSection(false);
    list->installEventFilter(this);
    list->viewport()->installEventFilter(this);
    auto* model = new TOwnerDataModel(list);
    list->setModel(model);
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateRowActions(); });
    connect(list, &QTreeView::doubleClicked, this, [this] { RunGuarded(this, [this] { ActPlayExecute(); }); });
    auto* menu = new QMenu(list);
    menu->setObjectName(popupName);
    for (QAction* action : popup) {
        if (action)
            menu->addAction(action);
        else
            menu->addSeparator();
    }
    connect(list, &QWidget::customContextMenuRequested, menu,
            [list, menu](const QPoint& pos) { menu->popup(list->viewport()->mapToGlobal(pos)); });
    return list;
}

QWidget* TFormCDDB::BuildSuggestionPage()
{
    const auto action = [this](const char* caption, const char* name, std::function<void()> run) {
        const QString objectName = QString::fromLatin1(name);
        const QIcon picture = CommandPicture(ImageLists::CommandIcon(objectName));
        auto* a = new QAction(picture, QString::fromLatin1(caption), this);
        a->setObjectName(objectName);
        connect(a, &QAction::triggered, this, [this, run = std::move(run)] { RunGuarded(this, run); });
        return a;
    };
    ActNachOben = action("%freedbPage3MoveUp", "ActNachOben", [this] { ActNachObenExecute(); });
    ActNachUnten = action("%freedbPage3MoveDown", "ActNachUnten", [this] { ActNachUntenExecute(); });
    ActPlay = action("%freedbPage3Play", "ActPlay", [this] { ActPlayExecute(); });
    ActPlay->setShortcut(QKeySequence(QStringLiteral("Ctrl+P")));
    addAction(ActPlay);
    ActNaechsteMoeglichkeit =
        action("%freedbPage3NextSuggestion", "ActNaechsteMoeglichkeit", [this] { ActMoeglichkeitExecute(1); });
    ActVorherigeMoeglichkeit =
        action("%freedbPage3PrevSuggestion", "ActVorherigeMoeglichkeit", [this] { ActMoeglichkeitExecute(-1); });

    auto* page = new QWidget(this);
    LVFiles = NewRowList(QStringLiteral("LVFiles"), QStringLiteral("PopSortierung"),
                         {ActNachOben, ActNachUnten, nullptr, ActPlay});
    m_suggestionModel = static_cast<TOwnerDataModel*>(LVFiles->model());

    CBExchangeArtistAndTitle = new QCheckBox(QStringLiteral("%freedbPage3SwitchArtistAndTitle"), page);
    CBExchangeArtistAndTitle->setObjectName(QStringLiteral("CBExchangeArtistAndTitle"));
    connect(CBExchangeArtistAndTitle, &QCheckBox::clicked, this, [this] { m_suggestionModel->RefreshAll(); });
    PanExchange = CheckBoxPanel(CBExchangeArtistAndTitle, page);
    CBSaveCDDBInfo = new QCheckBox(QStringLiteral("%freedbPage3SaveCDDBInfo"), page);
    CBSaveCDDBInfo->setObjectName(QStringLiteral("CBSaveCDDBInfo"));
    CBSaveCDDBInfo->setChecked(true);
    PanSaveCDDBInfo = CheckBoxPanel(CBSaveCDDBInfo, page);

    QVBoxLayout* layout = NewPageLayout(page, "freedbPage3Text1");
    layout->addWidget(new QLabel(QStringLiteral("%freedbPage3Suggestion"), page));
    layout->addWidget(ListWithButtons(LVFiles, {ActNachOben, ActNachUnten, nullptr, ActPlay}, page), 1);
    layout->addWidget(PanExchange);
    layout->addWidget(PanSaveCDDBInfo);
    return page;
}

QWidget* TFormCDDB::BuildPossibilitiesPage()
{
    auto* page = new QWidget(this);
    LVFiles2 = NewRowList(QStringLiteral("LVFiles2"), QStringLiteral("PopLVFiles2"),
                          {ActNaechsteMoeglichkeit, ActVorherigeMoeglichkeit});
    m_possibilityModel = static_cast<TOwnerDataModel*>(LVFiles2->model());

    QVBoxLayout* layout = NewPageLayout(page, "freedbPageText2");
    layout->addWidget(
        ListWithButtons(LVFiles2, {ActVorherigeMoeglichkeit, ActNaechsteMoeglichkeit, nullptr, ActPlay}, page), 1);
    return page;
}

// --- Lists ---

QTreeView* TFormCDDB::CurrentRowList() const
{
    if (m_currentPage == 2)
        return LVFiles;
    if (m_currentPage == 5)
        return LVFiles2;
    return nullptr;
}

TOwnerDataModel* TFormCDDB::CurrentRowModel() const
{
    QTreeView* list = CurrentRowList();
    return list ? static_cast<TOwnerDataModel*>(list->model()) : nullptr;
}

int TFormCDDB::SelectedRow() const
{
    QTreeView* list = CurrentRowList();
    if (!list)
        return -1;
    const QModelIndexList rows = list->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TFormCDDB::SelectRow(int row)
{
    QTreeView* list = CurrentRowList();
    if (!list || row < 0 || row >= list->model()->rowCount())
        return;
    const QModelIndex index = list->model()->index(row, 0);
    list->selectionModel()->setCurrentIndex(index,
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollTo(index);
}

void TFormCDDB::SetColumnWidths(QTreeView* list)
{
    // The columns share the list's whole width in these proportions: no
    // room is left empty while a title is cut.
    static const std::vector<int> suggestionShares{15, 25, 25, 25};   // track, file, artist, title
    static const std::vector<int> possibilityShares{25, 15, 25, 25};  // file, possibility, artist, title
    const std::vector<int>& shares = list == LVFiles ? suggestionShares : possibilityShares;
    const int total = std::accumulate(shares.begin(), shares.end(), 0);
    const int width = list->viewport()->width();
    int sharesSoFar = 0;
    int left = 0;
    for (size_t i = 0; i < shares.size(); ++i) {
        sharesSoFar += shares[i];
        const int right = int(std::lround(double(width) * sharesSoFar / total));
        list->setColumnWidth(int(i), right - left);
        left = right;
    }
}

bool TFormCDDB::eventFilter(QObject* watched, QEvent* event)
{
    if (LVFiles2 && watched == LVFiles2->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)) {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (pos.x() < CheckMarkWidth) {
            const QModelIndex index = LVFiles2->indexAt(pos);
            RunGuarded(this, [&] { LVFiles2Press(pos.x(), index.isValid() ? index.row() : -1); });
            // The list still selects the row, but a double click there only
            // toggles and does not play.
            return event->type() == QEvent::MouseButtonDblClick;
        }
    } else if (watched == LVFiles2 && event->type() == QEvent::KeyPress &&
               static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && SelectedRow() >= 0) {
        RunGuarded(this, [this] { LVFiles2Press(0, SelectedRow()); });
        return true;
    } else if (event->type() == QEvent::Resize) {
        // Also when a scroll bar comes or goes and the rows get narrower.
        for (QTreeView* list : {LVFiles, LVFiles2})
            if (list && watched == list->viewport())
                SetColumnWidths(list);
    }
    return QDialog::eventFilter(watched, event);
}

// --- Page 2: the chosen CD's tracks against the files ---

QString TFormCDDB::SuggestionText(int row, int column) const
{
    if (!m_chosenCd || row < 0 || size_t(row) >= m_rows.size())
        return QString();
    const TCDDBMP3& file = m_rows[size_t(row)];
    const QString fileName = file.Entry ? file.Entry->FileName : QString();
    const bool exchange = CBExchangeArtistAndTitle->isChecked();
    if (row >= m_chosenCd->TrackCount()) {
        switch (column) {
        case 0:
            return QStringLiteral("-");
        case 1:
            return fileName;
        case 2:
            return Lang(QStringLiteral("freedbPage3NoChange"));
        default:
            return QString();
        }
    }
    switch (column) {
    case 0:
        return QString::number(row + 1);
    case 1:
        return fileName;
    case 2:
        return SuggestedArtist(*m_chosenCd, row, exchange);
    case 3:
        return SuggestedTitle(*m_chosenCd, row, exchange);
    default:
        return QString();
    }
}

void TFormCDDB::ShowSuggestionPage()
{
    m_suggestionModel->Reset({}, 0, {});
    const QStringList captions{Lang(QStringLiteral("freedbPage3CDTrack")), CatalogueCaption("*FIN"),
                               CatalogueCaption("TPE1"), CatalogueCaption("TIT2")};
    m_suggestionModel->Reset(captions, int(m_rows.size()),
                             [this](int row, int column) { return SuggestionText(row, column); });
    SetColumnWidths(LVFiles);
    PanSaveCDDBInfo->setVisible(m_searchMode == smCD);
    PanExchange->setVisible(m_chosenCd && m_chosenCd->TrackCount() > 0 && m_chosenCd->Tracks.front().HasArtist);
    m_suggestionModel->RefreshAll();
}

int TFormCDDB::SuggestionPageFinish()
{
    if (!m_chosenCd)
        return m_currentPage;
    QByteArray mcdi;
    if (m_searchMode == smCD && CBSaveCDDBInfo->isChecked() && m_calculator && m_calculator->TocValid)
        mcdi = m_calculator->Toc.Head(m_calculator->TrackCount);
    WriteSuggestion(*m_chosenCd, m_rows, CBExchangeArtistAndTitle->isChecked(), mcdi);
    return FinishPage;
}

// --- Page 5: the CDs found for each file ---

QString TFormCDDB::PossibilityCellText(int row, int column) const
{
    if (row < 0 || size_t(row) >= m_rows.size())
        return QString();
    const TCDDBMP3& file = m_rows[size_t(row)];
    switch (column) {
    case 0:
        return file.Entry ? file.Entry->FileName : QString();
    case 1:
        return PossibilityText(file, m_cds);
    default:
        break;
    }
    const TCDDBCDTrack* track = TrackOfRow(file, m_cds);
    if (!track)
        return QString();
    if (column == 2)
        return track->HasArtist ? track->Artist : CdOfRow(file, m_cds)->Artist;
    return column == 3 ? track->Title : QString();
}

void TFormCDDB::ShowPossibilitiesPage()
{
    m_possibilityModel->Reset({}, 0, {});
    MatchPossibilities(m_rows, m_cds);
    const QStringList captions{CatalogueCaption("*FIN"), Lang(QStringLiteral("freedbPagePossibility")),
                               CatalogueCaption("TPE1"), CatalogueCaption("TIT2")};
    m_possibilityModel->Reset(
        captions, int(m_rows.size()), [this](int row, int column) { return PossibilityCellText(row, column); },
        [this](int row) { return size_t(row) < m_rows.size() && m_rows[size_t(row)].Checked; });
    SetColumnWidths(LVFiles2);
    m_possibilityModel->RefreshAll();
}

int TFormCDDB::PossibilitiesPageFinish()
{
    WritePossibilities(m_rows, m_cds);
    return FinishPage;
}

void TFormCDDB::LVFiles2Press(int x, int row)
{
    if (m_currentPage != 5 || x >= CheckMarkWidth)
        return;
    if (row < 0 || size_t(row) >= m_rows.size()) {
        CurrentPrompt()->Beep();
        return;
    }
    m_rows[size_t(row)].Checked = !m_rows[size_t(row)].Checked;
    m_possibilityModel->RefreshRows(row, row);
}

// --- Row actions ---

void TFormCDDB::UpdateRowActions()
{
    const int row = SelectedRow();
    const int count = int(m_rows.size());
    const bool onSuggestion = m_currentPage == 2 && row >= 0;
    const bool onPossibility = m_currentPage == 5 && row >= 0;
    ActNachOben->setEnabled(onSuggestion && row > 0);
    ActNachUnten->setEnabled(onSuggestion && row < count - 1);
    ActPlay->setEnabled((onSuggestion || onPossibility) && row < count && m_rows[size_t(row)].Entry);
    ActNaechsteMoeglichkeit->setEnabled(onPossibility);
    ActVorherigeMoeglichkeit->setEnabled(onPossibility);
}

void TFormCDDB::MoveRow(int from, int to)
{
    std::swap(m_rows[size_t(from)], m_rows[size_t(to)]);
    m_suggestionModel->RefreshRows(from, to);
    SelectRow(to);
    LVFiles->setFocus();
}

void TFormCDDB::ActNachObenExecute()
{
    const int row = SelectedRow();
    if (m_currentPage != 2 || row < 1 || row > int(m_rows.size()) - 1) {
        CurrentPrompt()->Beep();
        return;
    }
    MoveRow(row, row - 1);
}

void TFormCDDB::ActNachUntenExecute()
{
    const int row = SelectedRow();
    if (m_currentPage != 2 || row < 0 || row > int(m_rows.size()) - 2) {
        CurrentPrompt()->Beep();
        return;
    }
    MoveRow(row, row + 1);
}

void TFormCDDB::ActPlayExecute()
{
    const int row = SelectedRow();
    const TEintragdaten* entry = row >= 0 && size_t(row) < m_rows.size() ? m_rows[size_t(row)].Entry : nullptr;
    if (entry)
        OpenWithDesktop(QUrl::fromEncoded(FileMimeData::FileUri(entry->NativePath())));
    else
        CurrentPrompt()->Beep();
}

void TFormCDDB::ActMoeglichkeitExecute(int tag)
{
    const int row = SelectedRow();
    if (m_currentPage != 5 || row < 0 || size_t(row) >= m_rows.size() ||
        !StepPossibility(m_rows[size_t(row)], m_cds, tag)) {
        CurrentPrompt()->Beep();
        return;
    }
    m_possibilityModel->RefreshRows(row, row);
}
