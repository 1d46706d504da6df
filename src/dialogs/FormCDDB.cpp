// The CD database lookup wizard: the window, its page mechanics, the search
// type page and the two search pages.
#include "dialogs/FormCDDB.h"

#include "dialogs/CDDBFailureMessage.h"
#include "dialogs/DialogParts.h"
#include "controls/Guarded.h"
#include "platform/ProgramVersion.h"
#include "common/SettingsKey.h"

#include "cddb/CDDBSearch.h"
#include "cddb/DiscIDCalculator.h"
#include "cddb/ServerText.h"
#include "platform/UserInputBlocker.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "platform/Prompt.h"
#include "platform/Registry.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

const QString ClientName = QStringLiteral("Quillon");
constexpr int CdIndexRole = Qt::UserRole;

QLabel* WrappedLabel(const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setWordWrap(true);
    return label;
}

// A radio button with an explanation indented below it.
QWidget* RadioWithNote(QRadioButton* radio, QWidget* note, QWidget* parent)
{
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(radio);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(24);
    indented->addWidget(note, 1);
    layout->addLayout(indented);
    return box;
}

// A page's status line, "Status:" and the label that shows the search's
// phase, added to the page's layout.
QLabel* AddStatusLine(QVBoxLayout* layout, const char* name, QWidget* page)
{
    auto* status = new QLabel(page);
    status->setObjectName(QString::fromLatin1(name));
    status->setTextFormat(Qt::PlainText);
    auto* line = new QHBoxLayout;
    line->addWidget(new QLabel(QStringLiteral("%freedbPage2Status"), page));
    line->addWidget(status, 1);
    layout->addLayout(line);
    return status;
}

QString SearchTypeKey()
{
    return ProgramSettingsSubkey(QStringLiteral("CDDBWindow"));
}

void ShowSearchError(QWidget* parent, const TCDDBSearchError& error)
{
    switch (error.Kind) {
    case TCDDBSearchError::RequestFailed:
        CurrentPrompt()->Error(parent, CDDBFailureMessage(error.Failure, error.ServerLine));
        break;
    case TCDDBSearchError::EmptyResponse:
        CurrentPrompt()->Error(parent, Lang(QStringLiteral("freedbPage2EmptyResponse")));
        break;
    case TCDDBSearchError::ServerError: {
        const TServerText line = TServerText::Of(error.ServerLine);
        CurrentPrompt()->ErrorWithDetails(parent, LangFmt(QStringLiteral("freedbPage2ServerError"), {line.Shown}),
                                          line.Details);
        break;
    }
    case TCDDBSearchError::Cancelled:
    case TCDDBSearchError::None:
        break;
    }
}

QString PhaseText(TCDDBSearchPhase phase)
{
    switch (phase) {
    case TCDDBSearchPhase::QueryCDs:
        return Lang(QStringLiteral("freedbPage2StateQuery"));
    case TCDDBSearchPhase::ReadTracks:
        return Lang(QStringLiteral("freedbPage2StateQuery2"));
    case TCDDBSearchPhase::Finished:
        return Lang(QStringLiteral("freedbPage2StateFinished"));
    case TCDDBSearchPhase::Failed:
        return Lang(QStringLiteral("freedbPage2StateFailed"));
    case TCDDBSearchPhase::Cancelled:
        break;
    }
    return Lang(QStringLiteral("freedbPage2StateCanceled"));
}

}

struct TFormCDDB::TPageRow {
    int Id;
    const char* TitleKey;
    const char* TextKey;
    const char* NextKey;
};

const TFormCDDB::TPageRow* TFormCDDB::FindPage(int pageId)
{
    static const TPageRow pages[] = {
        {1, "freedbPage1Titel", "freedbPage1TitelText", "Next"},
        {3, "freedbPage2Titel", "freedbPage2TitelText", "Next"},
        {2, "freedbPage3Titel", "freedbPage3TitelText", "Finish"},
        {4, "freedbPage2Titel", "freedbPage2TitelText", "Next"},
        {5, "freedbPage3Titel", "freedbPage3TitelText", "Finish"},
    };
    for (const TPageRow& row : pages)
        if (row.Id == pageId)
            return &row;
    return nullptr;
}

TFormCDDB::TFormCDDB(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormCDDB"));
    setWindowTitle(QStringLiteral("%freedbWindowCaption"));
    resize(640, 500);
    BuildWindow();
    TranslateComponentTree(this);
    LoadSearchType();
}

TFormCDDB::~TFormCDDB() = default;

void TFormCDDB::BuildWindow()
{
    ActWeiter = new QAction(QStringLiteral("%Next"), this);
    ActWeiter->setObjectName(QStringLiteral("ActWeiter"));
    connect(ActWeiter, &QAction::triggered, this, [this] { RunGuarded(this, [this] { ActWeiterExecute(); }); });
    ActZurueck = new QAction(QStringLiteral("%Back"), this);
    ActZurueck->setObjectName(QStringLiteral("ActZurueck"));
    connect(ActZurueck, &QAction::triggered, this, [this] { RunGuarded(this, [this] { ActZurueckExecute(); }); });

    PanClient = new QStackedWidget(this);
    PanClient->setObjectName(QStringLiteral("PanClient"));
    const auto addSheet = [this](QWidget* sheet, int pageId, const char* name) {
        sheet->setObjectName(QString::fromLatin1(name));
        sheet->setProperty("Tag", pageId);
        PanClient->addWidget(sheet);
    };
    addSheet(BuildDrivePage(), 1, "TabSheet1");
    addSheet(BuildSuggestionPage(), 2, "TabSheet2");
    addSheet(BuildFoundCDsPage(), 3, "TabSheet3");
    addSheet(BuildReportPage(), 4, "TabSheet4");
    addSheet(BuildPossibilitiesPage(), 5, "TabSheet5");

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    auto* bottomLine = new QFrame(this);
    bottomLine->setFrameShape(QFrame::HLine);
    bottomLine->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildHeader());
    layout->addWidget(line);
    auto* client = new QVBoxLayout;
    client->setContentsMargins(12, 10, 12, 10);
    client->addWidget(PanClient, 1);
    layout->addLayout(client, 1);
    layout->addWidget(bottomLine);
    layout->addWidget(BuildButtons());
}

QWidget* TFormCDDB::BuildHeader()
{
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("PanTitel"));
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    header->setPalette(palette);

    LblTitel = new QLabel(header);
    LblTitel->setObjectName(QStringLiteral("LblTitel"));
    LblTitel->setTextFormat(Qt::PlainText);
    QFont bold = LblTitel->font();
    bold.setBold(true);
    LblTitel->setFont(bold);
    LblText = new QLabel(header);
    LblText->setObjectName(QStringLiteral("LblText"));
    LblText->setTextFormat(Qt::PlainText);
    LblText->setWordWrap(true);

    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->addWidget(LblTitel);
    auto* indented = new QHBoxLayout;
    indented->addSpacing(16);
    indented->addWidget(LblText, 1);
    layout->addLayout(indented);
    return header;
}

QWidget* TFormCDDB::BuildButtons()
{
    auto* panel = new QWidget(this);
    const auto button = [panel](const char* caption, const char* name) {
        auto* b = new QPushButton(QString::fromLatin1(caption), panel);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    Button1 = button("%Help", "Button1");
    DialogParts::ConnectHelpButton(*Button1, "cddb.htm");
    ButZurueck = button("%Back", "ButZurueck");
    connect(ButZurueck, &QPushButton::clicked, ActZurueck, &QAction::trigger);
    ButWeiter = button("%Next", "ButWeiter");
    ButWeiter->setDefault(true);
    connect(ButWeiter, &QPushButton::clicked, ActWeiter, &QAction::trigger);
    // The buttons follow their actions' enabled state.
    connect(ActZurueck, &QAction::changed, ButZurueck, [this] { ButZurueck->setEnabled(ActZurueck->isEnabled()); });
    connect(ActWeiter, &QAction::changed, ButWeiter, [this] { ButWeiter->setEnabled(ActWeiter->isEnabled()); });
    Button4 = button("%Cancel", "Button4");
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });

    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(12, 8, 12, 10);
    layout->addWidget(Button1);
    layout->addStretch(1);
    layout->addWidget(ButZurueck);
    layout->addWidget(ButWeiter);
    layout->addSpacing(8);
    layout->addWidget(Button4);
    return panel;
}

QWidget* TFormCDDB::BuildDrivePage()
{
    auto* page = new QWidget(this);
    RadioButton1 = new QRadioButton(QStringLiteral("%freedbPage1SearchByCD"), page);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("%freedbPage1SearchByCDDB1"), page);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton3 = new QRadioButton(QStringLiteral("%freedbPage1SearchByMP3s"), page);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    // The buttons sit in boxes of their own: one group keeps one checked.
    auto* searchType = new QButtonGroup(page);
    for (QRadioButton* radio : {RadioButton1, RadioButton2, RadioButton3})
        searchType->addButton(radio);
    BoxCDDrives = new QComboBox(page);
    BoxCDDrives->setObjectName(QStringLiteral("BoxCDDrives"));
    BoxCDDrives->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    BoxCDDrives->setMinimumContentsLength(24);

    auto* drive = new QWidget(page);
    auto* driveLayout = new QHBoxLayout(drive);
    driveLayout->setContentsMargins(0, 0, 0, 0);
    auto* driveLabel = new QLabel(QStringLiteral("%freedbPage1SearchByCDDisk"), drive);
    driveLabel->setBuddy(BoxCDDrives);
    driveLayout->addWidget(driveLabel);
    driveLayout->addWidget(BoxCDDrives);
    driveLayout->addStretch(1);
    connect(RadioButton1, &QRadioButton::toggled, drive, &QWidget::setEnabled);

    auto* group = new QGroupBox(QStringLiteral("%freedbPage1TypeOfSearch"), page);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setSpacing(10);
    groupLayout->addWidget(RadioWithNote(RadioButton1, drive, group));
    groupLayout->addWidget(
        RadioWithNote(RadioButton3, WrappedLabel(QStringLiteral("%freedbPage1SearchByMP3sInfo"), group), group));
    groupLayout->addWidget(
        RadioWithNote(RadioButton2, WrappedLabel(QStringLiteral("%freedbPage1SearchByCDDB2"), group), group));

    QVBoxLayout* layout = NewPageLayout(page, "freedbPage1Text1");
    layout->addWidget(WrappedLabel(QStringLiteral("%freedbPage1Text2"), page));
    layout->addSpacing(6);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QVBoxLayout* TFormCDDB::NewPageLayout(QWidget* page, const char* textKey)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(WrappedLabel(QLatin1Char('%') + QString::fromLatin1(textKey), page));
    return layout;
}

QWidget* TFormCDDB::BuildFoundCDsPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = NewPageLayout(page, "freedbPage2Text");
    lblNetStatus = AddStatusLine(layout, "lblNetStatus", page);
    TVCddb = new QTreeWidget(page);
    TVCddb->setObjectName(QStringLiteral("TVCddb"));
    TVCddb->setHeaderHidden(true);
    TVCddb->setColumnCount(1);
    PanCDDBNichtsGefunden = new QLabel(QStringLiteral("%freedbPage2NothingFound"), page);
    PanCDDBNichtsGefunden->setObjectName(QStringLiteral("PanCDDBNichtsGefunden"));
    PanCDDBNichtsGefunden->setAlignment(Qt::AlignCenter);
    PanCDDBNichtsGefunden->setWordWrap(true);
    PanCDDBNichtsGefunden->setFrameShape(QFrame::StyledPanel);
    PanCDDBNichtsGefunden->setMinimumHeight(48);
    PanCDDBNichtsGefunden->setVisible(false);
    layout->addWidget(new QLabel(QStringLiteral("%freedbPage2FoundCDs"), page));
    layout->addWidget(TVCddb, 1);
    layout->addWidget(PanCDDBNichtsGefunden);
    return page;
}

QWidget* TFormCDDB::BuildReportPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = NewPageLayout(page, "freedbPage2Text2");
    lblNetStatusID3 = AddStatusLine(layout, "lblNetStatusID3", page);
    MmoSuchBericht = new QPlainTextEdit(page);
    MmoSuchBericht->setObjectName(QStringLiteral("MmoSuchBericht"));
    MmoSuchBericht->setReadOnly(true);
    MmoSuchBericht->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(new QLabel(QStringLiteral("%freedbPage2Report"), page));
    layout->addWidget(MmoSuchBericht, 1);
    return page;
}

bool TFormCDDB::Execute(TEintragdatenList& entries, const QString& server, bool useNative, int proxyPort,
                        const QString& proxyHost, const QString& user, const QString& cgiPath, int port)
{
    m_entries = &entries;
    m_server = server;
    m_port = port;
    m_cgiPath = cgiPath;
    m_user = user;
    m_proxy = {proxyHost, proxyPort};
    m_calculator = std::make_unique<TDiscIDCalculator>(useNative);
    SetPage(1);
    const bool ok = CurrentPrompt()->RunModal(*this) == QDialog::Accepted;
    if (ok)
        SaveSearchType();
    m_calculator.reset();
    return ok;
}

// --- Page mechanics ---

void TFormCDDB::SetPage(int pageId)
{
    const TPageRow* row = FindPage(pageId);
    if (!row)
        return;
    ActWeiter->setEnabled(true);
    LblTitel->setText(Lang(QString::fromLatin1(row->TitleKey)));
    LblText->setText(Lang(QString::fromLatin1(row->TextKey)));
    ButWeiter->setText(Lang(QString::fromLatin1(row->NextKey)));
    ShowPage(pageId);
    m_currentPage = pageId;
    ActZurueck->setEnabled(!m_history.empty());
    UpdateRowActions();
    switch (pageId) {
    case 1:
        ShowDrivePage();
        break;
    case 2:
        ShowSuggestionPage();
        break;
    case 3:
        ShowFoundCDsPage();
        break;
    case 4:
        ShowReportPage();
        break;
    case 5:
        ShowPossibilitiesPage();
        break;
    default:
        break;
    }
    UpdateRowActions();
}

void TFormCDDB::ShowPage(int pageId)
{
    for (int i = 0; i < PanClient->count(); ++i) {
        QWidget* sheet = PanClient->widget(i);
        if (sheet->property("Tag").toInt() == pageId)
            PanClient->setCurrentWidget(sheet);
    }
}

int TFormCDDB::NextStep()
{
    switch (m_currentPage) {
    case 1:
        return DrivePageNext();
    case 2:
        return SuggestionPageFinish();
    case 3:
        return FoundCDsPageNext();
    case 4:
        return ReportPageNext();
    case 5:
        return PossibilitiesPageFinish();
    default:
        return m_currentPage;
    }
}

void TFormCDDB::ActWeiterExecute()
{
    if (m_searching || !ActWeiter->isEnabled())
        return;
    const int next = NextStep();
    if (next == FinishPage) {
        accept();
        return;
    }
    if (next == m_currentPage)
        return;
    m_history.push_back(m_currentPage);
    SetPage(next);
}

void TFormCDDB::ActZurueckExecute()
{
    if (m_searching || m_history.empty())
        return;
    const int previous = m_history.back();
    m_history.pop_back();
    SetPage(previous);
}

void TFormCDDB::Button4Click()
{
    reject();
}

void TFormCDDB::reject()
{
    if (m_searching) {
        CancelSearch();
        return;
    }
    QDialog::reject();
}

void TFormCDDB::closeEvent(QCloseEvent* event)
{
    if (m_searching) {
        CancelSearch();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

// The search ends at once; the wizard closes as soon as it has.
void TFormCDDB::CancelSearch()
{
    m_cancelRequested = true;
    if (m_http)
        m_http->Abort();
}

bool TFormCDDB::IsCancelInput(QObject* receiver, QEvent* event) const
{
    const QWindow* window = windowHandle();
    const bool toWindow = receiver == this || (window && receiver == window);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // A press gives the focus to what it hits, before any filter: only a
        // press on Cancel gets that far.
        if (toWindow)
            return childAt(static_cast<QMouseEvent*>(event)->position().toPoint()) == Button4;
        return receiver == Button4;
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        return toWindow || receiver == Button4;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride: {
        const auto* widget = qobject_cast<const QWidget*>(receiver);
        return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape &&
               (toWindow || (widget && isAncestorOf(widget)));
    }
    case QEvent::Close:
        return toWindow;
    default:
        return false;
    }
}

int TFormCDDB::Refuse(const QString& key, bool information)
{
    if (information)
        CurrentPrompt()->Information(this, Lang(key));
    else
        CurrentPrompt()->Error(this, Lang(key));
    return m_currentPage;
}

// --- Search type ---

void TFormCDDB::LoadSearchType()
{
    QString type;
    TRegistry reg;
    if (reg.OpenKey(SearchTypeKey(), false))
        type = reg.ReadString(QStringLiteral("SearchType")).value_or(QString()).toLower();
    if (type == QLatin1String("mp3"))
        RadioButton3->setChecked(true);
    else if (type == QLatin1String("tag"))
        RadioButton2->setChecked(true);
    else
        RadioButton1->setChecked(true);
}

void TFormCDDB::SaveSearchType() const
{
    QString type;
    if (RadioButton1->isChecked())
        type = QStringLiteral("cd");
    else if (RadioButton3->isChecked())
        type = QStringLiteral("mp3");
    else if (RadioButton2->isChecked())
        type = QStringLiteral("tag");
    TRegistry reg;
    if (!reg.OpenKey(SearchTypeKey(), true))
        return;
    reg.WriteString(QStringLiteral("SearchType"), type);
    reg.Flush();
}

// --- Page 1: search type and drive ---

void TFormCDDB::ShowDrivePage()
{
    if (m_firstPageFilled)
        return;
    m_firstPageFilled = true;
    BoxCDDrives->clear();
    m_calculator->RefreshDrives();
    for (int i = 0; i < m_calculator->DriveCount(); ++i)
        BoxCDDrives->addItem(m_calculator->GetDrive(i)->Name, i);
    if (BoxCDDrives->count() > 0) {
        BoxCDDrives->setCurrentIndex(0);
        return;
    }
    // Without a CD drive only the two searches by the files are offered.
    if (RadioButton1->isChecked())
        RadioButton3->setChecked(true);
    RadioButton1->setEnabled(false);
}

int TFormCDDB::DrivePageNext()
{
    if (RadioButton1->isChecked())
        return DrivePageNextCD();
    if (RadioButton2->isChecked())
        return DrivePageNextTag();
    if (RadioButton3->isChecked())
        return DrivePageNextMP3();
    return m_currentPage;
}

int TFormCDDB::DrivePageNextCD()
{
    const TDrive* drive = m_calculator->GetDrive(BoxCDDrives->currentData().isValid()
                                                     ? BoxCDDrives->currentData().toInt()
                                                     : -1);
    if (!drive) {
        CurrentPrompt()->Beep();
        return m_currentPage;
    }
    m_calculator->ReadToc(*drive);
    if (!m_calculator->TocValid)
        return Refuse(QStringLiteral("freedbPage1NoCD"));
    QString discId;
    QString query;
    TDiscIDCalculator::CalcDiscId(m_calculator->Toc, discId, query);
    m_queries = {query};
    m_rows = CollectRows(*m_entries);
    SortRows(m_rows);
    while (int(m_rows.size()) < m_calculator->TrackCount)
        m_rows.push_back(PaddingRow(query));
    m_searchMode = smCD;
    return 3;
}

int TFormCDDB::DrivePageNextTag()
{
    CollectMcdiRows(*m_entries, m_rows, m_queries);
    if (m_rows.empty())
        return Refuse(QStringLiteral("freedbPage1NoCDDBInfo"));
    m_searchMode = smTag;
    return 4;
}

int TFormCDDB::DrivePageNextMP3()
{
    m_rows = CollectRows(*m_entries);
    if (int(m_rows.size()) > TCdToc::MaxTracks)
        return Refuse(QStringLiteral("freedbPage1TooManyMP3s"));
    if (m_rows.empty())
        return Refuse(QStringLiteral("freedbPage1NoMP3Selected"));
    SortRows(m_rows);
    TCdToc toc;
    if (!BuildTocFromLengths(m_rows, toc))
        return Refuse(QStringLiteral("freedbPage1TooManyMP3s"));
    QString discId;
    QString query;
    TDiscIDCalculator::CalcDiscId(toc, discId, query);
    if (query.isEmpty())
        return Refuse(QStringLiteral("freedbPage1TooManyMP3s"));
    m_queries = {query};
    m_searchMode = smMP3;
    return 3;
}

// --- The CD search ---

bool TFormCDDB::RunSearch(QLabel* status)
{
    const QScopedValueRollback searching(m_searching, true);
    m_chosenCd = nullptr;
    TmyFreedbHttp http(m_server, m_port, m_cgiPath, ClientName, QString::fromLatin1(ProgramVersion), m_user);
    http.SetProxy(m_proxy);
    http.SetInputPass([this](QObject* receiver, QEvent* event) { return IsCancelInput(receiver, event); });
    const QScopedValueRollback running(m_http, &http);
    TCDDBSearchError error;
    // Nothing can be taken back while the search runs; Cancel ends it.
    ActZurueck->setEnabled(false);
    const bool found = QueryAndReadCDs(http, m_queries, m_cds, error, [status, &http](TCDDBSearchPhase phase) {
        status->setText(PhaseText(phase));
        TUserInputBlocker::ProcessEventsWithoutInput(http.InputPass());
    });
    ActZurueck->setEnabled(!m_history.empty());
    if (std::exchange(m_cancelRequested, false)) {
        QDialog::reject();
        return false;
    }
    if (!found)
        ShowSearchError(this, error);
    else
        ShowSearchNotes(status, error);
    return found;
}

// What a successful search left out or cut, in its status line.
void TFormCDDB::ShowSearchNotes(QLabel* status, const TCDDBSearchError& error) const
{
    QStringList notes;
    if (error.MatchesLeftOut > 0 || error.LeftOutUncounted)
        notes << LangFmt(QString::fromLatin1(error.LeftOutUncounted ? "freedbPage2MoreMatchesUncounted"
                                                                    : "freedbPage2MoreMatches"),
                         {qint64(m_cds.size()) + error.MatchesLeftOut, qint64(m_cds.size())});
    if (std::any_of(m_cds.begin(), m_cds.end(), [](const auto& cd) { return cd->TextCut; }))
        notes << LangFmt(QStringLiteral("freedbPage2TextsCut"), {qint64(TServerText::MaxValueChars)});
    if (!notes.isEmpty())
        status->setText(notes.join(QLatin1Char(' ')));
}

// --- Page 3: found CDs ---

void TFormCDDB::ShowFoundCDsPage()
{
    ActWeiter->setEnabled(false);
    m_cds.clear();
    TVCddb->clear();
    PanCDDBNichtsGefunden->setVisible(false);
    if (!RunSearch(lblNetStatus)) {
        PanCDDBNichtsGefunden->setVisible(true);
        return;
    }
    PanCDDBNichtsGefunden->setVisible(m_cds.empty());
    for (size_t i = 0; i < m_cds.size(); ++i) {
        const TCDDBCD& cd = *m_cds[i];
        auto* node = new QTreeWidgetItem(TVCddb, {cd.Caption()});
        node->setData(0, CdIndexRole, qint32(i));
        for (const TCDDBCDTrack& track : cd.Tracks) {
            auto* child = new QTreeWidgetItem(node, {TrackCaption(track)});
            child->setData(0, CdIndexRole, qint32(i));
        }
    }
    if (TVCddb->topLevelItemCount() > 0) {
        TVCddb->setCurrentItem(TVCddb->topLevelItem(0));
        ActWeiter->setEnabled(true);
    }
}

int TFormCDDB::FoundCDsPageNext()
{
    QTreeWidgetItem* node = TVCddb->currentItem();
    if (node && !node->isSelected())
        node = nullptr;
    const int index = node ? node->data(0, CdIndexRole).toInt() : -1;
    if (index < 0 || size_t(index) >= m_cds.size())
        return Refuse(QStringLiteral("freedbPage1NeedCD"), true);
    m_chosenCd = m_cds[size_t(index)].get();
    return 2;
}

// --- Page 4: search report ---

void TFormCDDB::ShowReportPage()
{
    ActWeiter->setEnabled(false);
    m_cds.clear();
    MmoSuchBericht->clear();
    if (!RunSearch(lblNetStatusID3)) {
        MmoSuchBericht->setPlainText(Lang(QStringLiteral("freedbPage2Report5")));
        return;
    }
    QStringList lines;
    lines << LangFmt(QStringLiteral("freedbPage2Report1"), {qint64(m_rows.size()), qint64(m_queries.size())})
          << LangFmt(QStringLiteral("freedbPage2Report2"), {qint64(m_cds.size())}) << QString()
          << Lang(QStringLiteral("freedbPage2Report3"));
    for (const auto& cd : m_cds) {
        lines << QStringLiteral("    ") + cd->Caption();
        lines << QStringLiteral("         ") + LangFmt(QStringLiteral("freedbPage2Report4"), {cd->TrackCount()});
    }
    MmoSuchBericht->setPlainText(lines.join(QLatin1Char('\n')));
    ActWeiter->setEnabled(true);
    ButWeiter->setFocus();
}

int TFormCDDB::ReportPageNext()
{
    if (m_cds.empty())
        return Refuse(QStringLiteral("freedbPage2CantGoOn"), true);
    return 5;
}
