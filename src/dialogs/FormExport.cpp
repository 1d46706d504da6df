#include "dialogs/FormExport.h"

#include "controls/GroupBoxXP2.h"
#include "controls/MyThemedPanel.h"
#include "export/DataModuleExport.h"
#include "export/ExportSettings.h"
#include "export/TemplateFiles.h"
#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FormSpalten.h"
#include "common/SettingsBounds.h"
#include "controls/Guarded.h"
#include "common/ColumnCatalogue.h"
#include "common/FieldLists.h"
#include "common/StringObject.h"
#include "platform/Prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int SelectionBarWidth = 121;
constexpr int PictureSize = 32;

struct TPageItem {
    const char* CaptionKey;
    const char* TitleKey;
    const char* ThemeIcon;
    QStyle::StandardPixmap Fallback;
};

const TPageItem PageItems[TFormExport::PageCount] = {
    {"ExportIconHTML", "PageHTMLTitle", "text-html", QStyle::SP_FileIcon},
    {"ExportIconOwnHTML", "PageOwnHTMLTitle", "text-x-generic-template", QStyle::SP_FileDialogContentsView},
    {"ExportIconPlaylist", "PagePlaylistTitle", "audio-x-mpegurl", QStyle::SP_MediaPlay},
    {"ExportIconExcel", "PageExcelTitle", "x-office-spreadsheet", QStyle::SP_FileDialogDetailedView},
};

// A failure's message with the cause the export found, in one box.
QString WithReason(const QString& message, const QString& reason)
{
    return reason.isEmpty() ? message : message + QStringLiteral("\n\n") + reason;
}

QLabel* InfoLabel(const char* key, QWidget* parent)
{
    auto* label = new QLabel(QStringLiteral("%") + QLatin1String(key), parent);
    label->setWordWrap(true);
    return label;
}

template <typename T> T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QCheckBox* CheckBox(const char* name, const char* key, QWidget* parent)
{
    return Named(new QCheckBox(QStringLiteral("%") + QLatin1String(key), parent), name);
}

QRadioButton* RadioButton(const char* name, const char* key, QWidget* parent)
{
    return Named(new QRadioButton(QStringLiteral("%") + QLatin1String(key), parent), name);
}

TGroupBoxXP2* GroupBox(const char* key, QWidget* parent)
{
    return new TGroupBoxXP2(QStringLiteral("%") + QLatin1String(key), parent);
}

QPlainTextEdit* ColumnsMemo(const char* name, QWidget* parent)
{
    auto* memo = Named(new QPlainTextEdit(parent), name);
    memo->setReadOnly(true);
    memo->setMaximumHeight(60);
    return memo;
}

// A page: its info text on top, then its boxes, then room.
QVBoxLayout* PageLayout(QWidget* page, const char* infoKey)
{
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(InfoLabel(infoKey, page));
    return layout;
}

// The choice of columns of pages 1 and 4: like the list, or own ones.
QWidget* ColumnsBox(QWidget* page, QRadioButton*& likeList, QRadioButton*& own, QPlainTextEdit*& memo,
                    QPushButton*& choose, const char* prefix)
{
    auto* box = GroupBox("ColumnsGroupBox", page);
    likeList = RadioButton(qPrintable(QStringLiteral("RB%1Spalten1").arg(QLatin1String(prefix))),
                           "ColumnsLikeMainList", box);
    own = RadioButton(qPrintable(QStringLiteral("RB%1Spalten2").arg(QLatin1String(prefix))), "ColumnsOwn", box);
    memo = ColumnsMemo(qPrintable(QStringLiteral("MAndereSpalten%1").arg(QLatin1String(prefix))), box);
    choose = new QPushButton(QStringLiteral("%SelectOwnColumns"), box);
    likeList->setChecked(true);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(choose);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(likeList);
    layout->addWidget(own);
    layout->addWidget(memo);
    layout->addLayout(buttonRow);
    return box;
}

// The template list: its last entry, which asks for a file, shows so each
// time the list drops down (a chosen file's path stands there meanwhile).
class TTemplateCombo : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        if (count() > 0)
            setItemText(count() - 1, ChooseText());
        QComboBox::showPopup();
    }
    static QString ChooseText() { return QStringLiteral("   ") + Lang(QStringLiteral("SelectHTMLFile")); }
};

QString WithExtension(const QString& path, const QString& extension)
{
    return QFileInfo(path).suffix().isEmpty() ? path + QLatin1Char('.') + extension : path;
}

}

TFormExport::TFormExport(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormExport"));
    setWindowTitle(QStringLiteral("%WindowExportTitle"));
    BuildWindow();
    TranslateComponentTree(this);
    FillSelectionBar();
    FillTemplateList();
    FillGroupFields();
    SelectPage(pgHTML);
    UpdateGroupingControls();
}

TFormExport::~TFormExport() = default;

void TFormExport::BuildWindow()
{
    auto* selectionTitle = new QLabel(QStringLiteral("%ExportSelectionTitle"), this);
    LVAuswahl = Named(DialogParts::NewPageSelector(this, SelectionBarWidth, PictureSize), "LVAuswahl");
    connect(LVAuswahl, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            SelectPage(row);
    });
    auto* left = new QVBoxLayout;
    left->addWidget(selectionTitle);
    left->addWidget(LVAuswahl, 1);

    PanTitel = Named(DialogParts::NewPageTitle(this), "PanTitel");
    PanClient = Named(new QStackedWidget(this), "PanClient");
    PanClient->addWidget(BuildHTMLPage());
    PanClient->addWidget(BuildOwnHTMLPage());
    PanClient->addWidget(BuildPlaylistPage());
    PanClient->addWidget(BuildExcelPage());
    ButHelp = Named(new QPushButton(QStringLiteral("%Help"), this), "ButHelp");
    DialogParts::ConnectHelpButton(*ButHelp, "export.htm");
    const DialogParts::TDialogButtons buttons = DialogParts::NewOkCancelRow(this, ButHelp, "ButOK", "ButCancel");
    ButOK = buttons.Ok;
    ButCancel = buttons.Cancel;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(DialogParts::NewPagedBody(left, PanTitel, PanClient), 1);
    layout->addLayout(buttons.Row);
    resize(607, 463);
}

QWidget* TFormExport::BuildHTMLPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page, "PageHTMLInfo");
    layout->addWidget(ColumnsBox(page, RBHTMLSpalten1, RBHTMLSpalten2, MAndereSpaltenHTML, ButHTMLSpalten, "HTML"));
    connect(ButHTMLSpalten, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { ChooseOwnHTMLColumns(); }); });

    auto* grouping = GroupBox("GroupingGroupBox", page);
    CBHTMLGrouping = CheckBox("CBHTMLGrouping", "GroupField", grouping);
    BoxGroupField = Named(new QComboBox(grouping), "BoxGroupField");
    CBHTMLManyFiles = CheckBox("CBHTMLManyFiles", "GroupInNewFile", grouping);
    connect(CBHTMLGrouping, &QCheckBox::toggled, this, [this] { UpdateGroupingControls(); });
    auto* groupRow = new QHBoxLayout;
    groupRow->addWidget(CBHTMLGrouping);
    groupRow->addWidget(BoxGroupField, 1);
    auto* groupLayout = new QVBoxLayout(grouping);
    groupLayout->addLayout(groupRow);
    groupLayout->addWidget(CBHTMLManyFiles);
    layout->addWidget(grouping);

    auto* folders = GroupBox("FolderGroupBox", page);
    CBHTMLRelDir = CheckBox("CBHTMLRelDir", "RelativeFolderNames", folders);
    CBHTMLRelLinks = CheckBox("CBHTMLRelLinks", "RelativeMp3Links", folders);
    auto* folderLayout = new QVBoxLayout(folders);
    folderLayout->addWidget(CBHTMLRelDir);
    folderLayout->addWidget(CBHTMLRelLinks);
    layout->addWidget(folders);

    ButSaveTemplate = Named(new QPushButton(QStringLiteral("%SaveAsHTMLPattern"), page), "ButSaveTemplate");
    connect(ButSaveTemplate, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { SaveTemplateClick(); }); });
    auto* saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    saveRow->addWidget(ButSaveTemplate);
    layout->addLayout(saveRow);
    layout->addStretch(1);
    return page;
}

QWidget* TFormExport::BuildOwnHTMLPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page, "PageOwnHTMLInfo");
    auto* file = GroupBox("HTMLFileGroupBox", page);
    EHTMLVorlagen = Named(new TTemplateCombo(file), "EHTMLVorlagen");
    EHTMLVorlagen->setEditable(true);
    EHTMLVorlagen->setInsertPolicy(QComboBox::NoInsert);
    connect(EHTMLVorlagen, &QComboBox::activated, this, [this](int index) {
        if (index == EHTMLVorlagen->count() - 1)
            RunGuarded(this, [this] { LastTemplateEntryActivated(); });
    });
    auto* fileLayout = new QVBoxLayout(file);
    fileLayout->addWidget(EHTMLVorlagen);
    fileLayout->addWidget(InfoLabel("HowCreateHTMLFile", file));
    layout->addWidget(file);

    auto* folders = GroupBox("FolderGroupBox", page);
    CBHTMLVRelDir = CheckBox("CBHTMLVRelDir", "RelativeFolderNames", folders);
    CBHTMLVRelLinks = CheckBox("CBHTMLVRelLinks", "RelativeMp3Links", folders);
    auto* folderLayout = new QVBoxLayout(folders);
    folderLayout->addWidget(CBHTMLVRelDir);
    folderLayout->addWidget(CBHTMLVRelLinks);
    layout->addWidget(folders);
    layout->addStretch(1);
    return page;
}

QWidget* TFormExport::BuildPlaylistPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page, "PagePlaylistInfo");
    auto* contents = GroupBox("PagePlaylistSelectionGroupBox", page);
    RBPlaylistAlle = RadioButton("RBPlaylistAlle", "PlaylistAllFiles", contents);
    RBPlaylistMarkiert = RadioButton("RBPlaylistMarkiert", "PlaylistSelectedFiles", contents);
    RBPlaylistAlle->setChecked(true);
    CBPlaylistAddInfos = CheckBox("CBPlaylistAddInfos", "AddTimeAndTitle", contents);
    CBPlaylistAddInfos->setChecked(true);
    auto* contentsLayout = new QVBoxLayout(contents);
    contentsLayout->addWidget(InfoLabel("PlaylistWhichFiles", contents));
    contentsLayout->addWidget(RBPlaylistAlle);
    contentsLayout->addWidget(RBPlaylistMarkiert);
    contentsLayout->addSpacing(8);
    contentsLayout->addWidget(CBPlaylistAddInfos);
    contentsLayout->addWidget(InfoLabel("AddTimeAndTitleInfo", contents));
    layout->addWidget(contents);

    auto* folders = GroupBox("FolderGroupBox", page);
    CBPlaylistRelLinks = CheckBox("CBPlaylistRelLinks", "RelativeFolderNames", folders);
    auto* folderLayout = new QVBoxLayout(folders);
    folderLayout->addWidget(CBPlaylistRelLinks);
    layout->addWidget(folders);
    layout->addStretch(1);
    return page;
}

QWidget* TFormExport::BuildExcelPage()
{
    auto* page = new QWidget(this);
    QVBoxLayout* layout = PageLayout(page, "PageExcelInfo");
    layout->addWidget(
        ColumnsBox(page, RBExcelSpalten1, RBExcelSpalten2, MAndereSpaltenExcel, ButExcelSpalten, "Excel"));
    connect(ButExcelSpalten, &QPushButton::clicked, this,
            [this] { RunGuarded(this, [this] { ChooseOwnExcelColumns(); }); });
    layout->addStretch(1);
    return page;
}

void TFormExport::FillSelectionBar()
{
    LVAuswahl->clear();
    for (const TPageItem& item : PageItems) {
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(item.ThemeIcon));
        if (icon.isNull())
            icon = style()->standardIcon(item.Fallback);
        auto* entry = new QListWidgetItem(icon, Lang(QString::fromLatin1(item.CaptionKey)), LVAuswahl);
        entry->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
}

void TFormExport::FillGroupFields()
{
    BoxGroupField->clear();
    for (const QString& id : ExportGroupFields())
        if (const TSpalte* column = FindColumn(id))
            BoxGroupField->addItem(ColumnCaption(*column), QVariant::fromValue(TStringObject(id)));
    const int artist = BoxGroupField->findData(QVariant::fromValue(TStringObject(QStringLiteral("TPE1"))));
    BoxGroupField->setCurrentIndex(qMax(0, artist));
}

void TFormExport::FillTemplateList()
{
    EHTMLVorlagen->clear();
    EHTMLVorlagen->clearEditText();
    EHTMLVorlagen->addItems(ListTemplateFiles());
    EHTMLVorlagen->addItem(TTemplateCombo::ChooseText());
    EHTMLVorlagen->setCurrentIndex(-1);
    EHTMLVorlagen->clearEditText();
}

// The box also reports its last entry as chosen when the user leaves it (a
// click on OK) or presses Enter while its text is the file chosen before,
// which that entry holds by then: that is no request for another file.
void TFormExport::LastTemplateEntryActivated()
{
    const int last = EHTMLVorlagen->count() - 1;
    if (EHTMLVorlagen->itemText(last) == TTemplateCombo::ChooseText()) {
        ChooseTemplateFile();
        return;
    }
    const QString text = EHTMLVorlagen->currentText();
    EHTMLVorlagen->setCurrentIndex(-1);
    EHTMLVorlagen->setEditText(text);
}

void TFormExport::ChooseTemplateFile()
{
    const int last = EHTMLVorlagen->count() - 1;
    EHTMLVorlagen->clearEditText();
    const std::optional<QString> path =
        CurrentPrompt()->OpenFile(this, Lang(QStringLiteral("SelectHTMLFile")), UserTemplateFolder(),
                                  Lang(QStringLiteral("ExportOpenHtmlTemplateFilter")));
    m_chosenTemplate = path.value_or(QString());
    if (path)
        EHTMLVorlagen->setItemText(last, *path);
    // The combo box writes the chosen entry's text once this returns; the
    // chosen file's path follows it.
    QTimer::singleShot(100, this, [this] {
        EHTMLVorlagen->setCurrentIndex(-1);
        EHTMLVorlagen->setEditText(m_chosenTemplate);
    });
}

void TFormExport::SelectPage(int page)
{
    if (page < 0 || page >= PageCount)
        return;
    PanClient->setCurrentIndex(page);
    PanTitel->SetCaption(Lang(QString::fromLatin1(PageItems[page].TitleKey)));
    m_lastExport = page;
    if (LVAuswahl->currentRow() != page)
        LVAuswahl->setCurrentRow(page);
}

void TFormExport::UpdateGroupingControls()
{
    const bool grouping = CBHTMLGrouping->isChecked();
    BoxGroupField->setEnabled(grouping);
    CBHTMLManyFiles->setEnabled(grouping);
}

void TFormExport::ShowOwnColumns(QPlainTextEdit* memo, const TStringArray& ids, const TBoolArray& links)
{
    QStringList captions;
    for (qsizetype i = 0; i < ids.size(); ++i) {
        const TSpalte* column = FindColumn(ids.at(i));
        if (!column)
            continue;
        const bool linked = i < links.size() && links.at(i);
        captions << ColumnCaption(*column) + (linked ? QStringLiteral(" (Link)") : QString());
    }
    memo->setPlainText(captions.join(QStringLiteral("; ")));
}

bool TFormExport::Execute(const QString& baseFolder, const TEintragdatenList& files, const TStringArray& mainColumns)
{
    m_files = &files;
    m_baseFolder = baseFolder;
    m_mainColumns = mainColumns;
    m_lastExport = 0;
    LoadExportSettings();
    const bool exported = CurrentPrompt()->RunModal(*this) == QDialog::Accepted;
    if (exported)
        SaveExportSettings();
    return exported;
}

void TFormExport::LoadExportSettings()
{
    TExportSettings settings;
    TExportSettings::Load(settings);
    // Each column once, as the chooser makes them: a stored list of any
    // length makes no longer export.
    const TStringArray htmlColumns = settings.HTMLColumns.value_or(m_mainColumns);
    const QList<qsizetype> htmlPlaces = ShownColumnPlaces(htmlColumns);
    m_htmlColumns = ItemsAtPlaces(htmlColumns, htmlPlaces);
    m_htmlLinks = settings.HTMLColumns ? ItemsAtPlaces(settings.HTMLColumnsLink, htmlPlaces) : TBoolArray();
    const TStringArray excelColumns = settings.ExcelColumns.value_or(m_mainColumns);
    m_excelColumns = ItemsAtPlaces(excelColumns, ShownColumnPlaces(excelColumns));
    m_excelFlags.clear();
    ShowOwnColumns(MAndereSpaltenHTML, m_htmlColumns, m_htmlLinks);
    ShowOwnColumns(MAndereSpaltenExcel, m_excelColumns, {});

    (settings.HTMLNoOwnCol ? RBHTMLSpalten2 : RBHTMLSpalten1)->setChecked(true);
    CBHTMLRelDir->setChecked(settings.HTMLRelDir);
    CBHTMLRelLinks->setChecked(settings.HTMLRelLinks);
    CBHTMLGrouping->setChecked(settings.HTMLGrouping);
    CBHTMLManyFiles->setChecked(settings.HTMLManyFiles);
    const int field = BoxGroupField->findData(QVariant::fromValue(TStringObject(settings.HTMLGroupField)));
    if (field >= 0)
        BoxGroupField->setCurrentIndex(field);
    EHTMLVorlagen->setEditText(settings.HTMLVLastFile);
    CBHTMLVRelDir->setChecked(settings.HTMLVRelDir);
    CBHTMLVRelLinks->setChecked(settings.HTMLVRelLinks);
    (settings.PlaylistAll ? RBPlaylistAlle : RBPlaylistMarkiert)->setChecked(true);
    CBPlaylistAddInfos->setChecked(settings.PlaylistAddInfos);
    CBPlaylistRelLinks->setChecked(settings.PlaylistRelLinks);
    (settings.ExcelNoOwnCol ? RBExcelSpalten2 : RBExcelSpalten1)->setChecked(true);
    if (settings.LastExport >= 0 && settings.LastExport < LVAuswahl->count())
        SelectPage(settings.LastExport);
    UpdateGroupingControls();
}

void TFormExport::SaveExportSettings() const
{
    TExportSettings settings;
    settings.HTMLColumns = m_htmlColumns;
    settings.HTMLColumnsLink = m_htmlLinks;
    settings.HTMLNoOwnCol = RBHTMLSpalten2->isChecked();
    settings.HTMLRelDir = CBHTMLRelDir->isChecked();
    settings.HTMLRelLinks = CBHTMLRelLinks->isChecked();
    settings.HTMLGrouping = CBHTMLGrouping->isChecked();
    settings.HTMLManyFiles = CBHTMLManyFiles->isChecked();
    settings.HTMLGroupField = BoxGroupField->currentData().value<TStringObject>().Value;
    settings.HTMLVLastFile = EHTMLVorlagen->currentText();
    settings.HTMLVRelDir = CBHTMLVRelDir->isChecked();
    settings.HTMLVRelLinks = CBHTMLVRelLinks->isChecked();
    settings.PlaylistAll = RBPlaylistAlle->isChecked();
    settings.PlaylistAddInfos = CBPlaylistAddInfos->isChecked();
    settings.PlaylistRelLinks = CBPlaylistRelLinks->isChecked();
    settings.ExcelColumns = m_excelColumns;
    settings.ExcelNoOwnCol = RBExcelSpalten2->isChecked();
    settings.LastExport = m_lastExport;
    TExportSettings::Save(settings);
}

void TFormExport::ChooseOwnHTMLColumns()
{
    TWordArray widths;
    TFormSpalten chooser(this);
    if (!chooser.Execute(Lang(QStringLiteral("ExportSelectColumnsLink")), false, true, m_htmlColumns, widths,
                         m_htmlLinks))
        return;
    ShowOwnColumns(MAndereSpaltenHTML, m_htmlColumns, m_htmlLinks);
    RBHTMLSpalten2->setChecked(true);
}

void TFormExport::ChooseOwnExcelColumns()
{
    TWordArray widths;
    TFormSpalten chooser(this);
    if (!chooser.Execute(QString(), false, false, m_excelColumns, widths, m_excelFlags))
        return;
    ShowOwnColumns(MAndereSpaltenExcel, m_excelColumns, {});
    RBExcelSpalten2->setChecked(true);
}

std::optional<QString> TFormExport::AskOutputFile(const QString& filterKey, const QString& extension,
                                                  const QString& folder)
{
    const std::optional<QString> path =
        CurrentPrompt()->SaveFile(this, windowTitle(), folder, Lang(filterKey));
    if (!path)
        return std::nullopt;
    return WithExtension(*path, extension);
}

void TFormExport::BuiltInChoices(TStringArray& ids, TBoolArray& links, QString& groupField, bool& manyFiles) const
{
    groupField = CBHTMLGrouping->isChecked() && BoxGroupField->currentIndex() >= 0
                     ? BoxGroupField->currentData().value<TStringObject>().Value
                     : QString();
    manyFiles = !groupField.isEmpty() && CBHTMLManyFiles->isChecked();
    if (RBHTMLSpalten1->isChecked()) {
        ids = m_mainColumns;
        links.clear();
    } else {
        ids = m_htmlColumns;
        links = m_htmlLinks;
    }
}

quint8 TFormExport::RunExport(TDataModuleExport& module, int page, bool& ran)
{
    ran = false;
    const QString htmlFilter = QStringLiteral("ExportSaveHtmlTemplateFilter");
    switch (page) {
    case pgHTML: {
        const std::optional<QString> output = AskOutputFile(htmlFilter, QStringLiteral("htm"), m_baseFolder);
        if (!output)
            return erCancelled;
        module.OutputFile = *output;
        module.RelativeFolders = CBHTMLRelDir->isChecked();
        module.RelativeLinks = CBHTMLRelLinks->isChecked();
        TStringArray ids;
        TBoolArray links;
        QString groupField;
        bool manyFiles = false;
        BuiltInChoices(ids, links, groupField, manyFiles);
        ran = true;
        return module.ExportWithBuiltInTemplate(m_baseFolder, ids, links, groupField, manyFiles);
    }
    case pgOwnHTML: {
        const QString templateFile = FindTemplateFile(EHTMLVorlagen->currentText().trimmed());
        if (templateFile.isEmpty()) {
            CurrentPrompt()->Error(this, Lang(QStringLiteral("ErrorHTMLNotFound")));
            return erCancelled;
        }
        const QString templateText = ReadTemplateFile(templateFile);
        const std::optional<QString> output = AskOutputFile(htmlFilter, QStringLiteral("htm"), m_baseFolder);
        if (!output)
            return erCancelled;
        module.OutputFile = *output;
        module.TemplateFile = templateFile;
        module.RelativeFolders = CBHTMLVRelDir->isChecked();
        module.RelativeLinks = CBHTMLVRelLinks->isChecked();
        ran = true;
        return module.ExportWithTemplate(m_baseFolder, templateText);
    }
    case pgPlaylist: {
        const std::optional<QString> output =
            AskOutputFile(QStringLiteral("ExportPlaylistHtmlTemplateFilter"), QStringLiteral("m3u"), m_baseFolder);
        if (!output)
            return erCancelled;
        module.OutputFile = *output;
        module.RelativeLinks = CBPlaylistRelLinks->isChecked();
        ran = true;
        return module.ExportPlaylist(m_baseFolder, CBPlaylistAddInfos->isChecked(), RBPlaylistMarkiert->isChecked());
    }
    default:
        ran = true;
        return module.ExportToExcel(RBExcelSpalten1->isChecked() ? m_mainColumns : m_excelColumns);
    }
}

void TFormExport::ButOKClick()
{
    TDataModuleExport module;
    module.Files = m_files;
    module.Owner = this;
    bool ran = false;
    const quint8 result = RunExport(module, m_lastExport, ran);
    if (result == erError)
        CurrentPrompt()->Error(this, WithReason(Lang(QStringLiteral("ErrorExport")), module.FailureReason));
    else if (result == erDone && ran)
        QDialog::accept();
}

void TFormExport::accept()
{
    RunGuarded(this, [this] { ButOKClick(); });
}

void TFormExport::SaveTemplateClick()
{
    const QString folder = UserTemplateFolder();
    QDir().mkpath(folder);
    const std::optional<QString> output =
        AskOutputFile(QStringLiteral("ExportSaveHtmlTemplateFilter"), QStringLiteral("htm"), folder + QLatin1Char('/'));
    if (output) {
        TDataModuleExport module;
        module.Files = m_files;
        module.Owner = this;
        module.OutputFile = *output;
        TStringArray ids;
        TBoolArray links;
        QString groupField;
        bool manyFiles = false;
        BuiltInChoices(ids, links, groupField, manyFiles);
        if (module.SaveDefaultTemplate(ids, links, groupField, manyFiles) == erError)
            CurrentPrompt()->Error(this, WithReason(Lang(QStringLiteral("ErrorSavingPattern")), module.FailureReason));
    }
    const QString chosen = EHTMLVorlagen->currentText();
    FillTemplateList();
    EHTMLVorlagen->setEditText(chosen);
}
