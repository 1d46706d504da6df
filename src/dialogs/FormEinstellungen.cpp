#include "dialogs/FormEinstellungen.h"

#include "controls/Accelerators.h"
#include "controls/GroupBoxXP2.h"
#include "controls/MySpeedButton.h"
#include "controls/MyThemedPanel.h"
#include "controls/ThemeHandles.h"
#include "controls/UpDownEdit.h"
#include "cddb/CDDBServerList.h"
#include "dialogs/DialogParts.h"
#include "dialogs/FormCDDBServers.h"
#include "common/SettingsBounds.h"
#include "common/StringObject.h"

#include "localisation/MultiLanguage.h"
#include "localisation/ui/ComponentTranslation.h"
#include "localisation/ui/FrameLanguage.h"
#include "platform/Help.h"
#include "platform/Prompt.h"
#include "tagengine/FrameCatalogue.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

using DialogParts::NewButton;
using DialogParts::NewTextLabel;

const char* const HelpPage = "settings_allg.htm";
const char* const ShortcutName = "Quillon 3";
const char* const DefaultCDDBUser = "Quillon-User";

// The pages in the order the selector lists them.
enum TSettingsPage { spGeneral, spReadWrite, spCDDB, spSetup, spLanguage };

struct TSelectorItem {
    const char* CaptionKey;
    const char* ThemeIcon;
    QStyle::StandardPixmap StandardIcon;
};

const TSelectorItem SelectorItems[TFormEinstellungen::PageCount] = {
    {"SettingsIconGeneral", "preferences-system", QStyle::SP_FileDialogDetailedView},
    {"SettingsIconReadWrite", "document-save", QStyle::SP_DialogSaveButton},
    {"SettingsIconCDDB", "media-optical", QStyle::SP_DriveCDIcon},
    {"SettingsIconSetup", "system-software-install", QStyle::SP_ComputerIcon},
    {"SettingsIconLanguage", "preferences-desktop-locale", QStyle::SP_MessageBoxInformation},
};

constexpr int SelectorIconSize = 32;
constexpr int SelectorWidth = 112;

// The desktop theme's picture, else the style's.
QIcon ThemeOrStandardIcon(const char* themeName, QStyle::StandardPixmap standard, const QStyle* style)
{
    QIcon icon = QIcon::fromTheme(QString::fromLatin1(themeName));
    return icon.isNull() ? style->standardIcon(standard) : icon;
}

// A page's picture at the selector's size: themes often have it only
// smaller or larger, and a larger one scaled down looks best.
QIcon SelectorIcon(const TSelectorItem& entry, const QStyle* style)
{
    const QPixmap large = ThemeOrStandardIcon(entry.ThemeIcon, entry.StandardIcon, style).pixmap(QSize(48, 48));
    return QIcon(large.scaled(SelectorIconSize, SelectorIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

QLabel* NewCaption(QWidget* parent, const char* caption, QWidget* buddy = nullptr)
{
    auto* label = new QLabel(QString::fromLatin1(caption), parent);
    label->setTextFormat(Qt::PlainText);
    if (buddy)
        label->setBuddy(buddy);
    return label;
}

QCheckBox* NewCheckBox(QWidget* parent, const char* name, const char* caption)
{
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QLineEdit* NewEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QMenu* NewMenu(QWidget* parent, const char* name)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A button whose click drops a menu down below it.
QToolButton* NewMenuButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(QString::fromLatin1(caption));
    button->setArrowType(Qt::DownArrow);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

TUpDownEdit* NewNumberEdit(QWidget* parent, const char* name, int min, int max)
{
    auto* edit = new TUpDownEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->SetDigits(0);
    edit->SetIncrement(1);
    edit->SetRange(min, max);
    return edit;
}

TGroupBoxXP2* NewGroup(QWidget* page, const char* caption)
{
    auto* group = new TGroupBoxXP2(QString::fromLatin1(caption), page);
    page->layout()->addWidget(group);
    return group;
}

// A page: a column of groups from the top.
QWidget* NewPage(QStackedWidget* stack)
{
    auto* page = new QWidget(stack);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    stack->addWidget(page);
    return page;
}

void EndPage(QWidget* page)
{
    static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
}

// A field box: "(nothing)" (not for the folder box), then the placeholders of
// the simple form, each carrying its frame ID.
void FillFieldBox(QComboBox* box, bool withNothing)
{
    if (withNothing)
        box->addItem(Lang("FileNameNoField"), QVariant::fromValue(TStringObject(QString())));
    for (const TFileNamePart& part : FileNameParts)
        if (part.SimpleForm)
            box->addItem(GetFrameName(QString::fromLatin1(part.FrameID)),
                         QVariant::fromValue(TStringObject(QString::fromLatin1(part.FrameID))));
}

QString FrameIdOf(const QComboBox* box)
{
    if (box->currentIndex() < 0)
        return {};
    return box->currentData().value<TStringObject>().Value;
}

QString DoublePercent(const QString& text)
{
    QString doubled = text;
    return doubled.replace(QLatin1Char('%'), QStringLiteral("%%"));
}

// The number of a port edit: its trimmed text as a decimal number, or
// nothing when that is no port.
std::optional<int> PortOf(const QLineEdit* edit)
{
    bool ok = false;
    const qlonglong port = edit->text().trimmed().toLongLong(&ok, 10);
    if (!ok || !IsValidPort(port))
        return std::nullopt;
    return static_cast<int>(port);
}

bool AnsweredYes(QWidget* parent, TPromptIcon icon, const QString& text)
{
    return CurrentPrompt()->Ask(parent, icon, text, pbYes | pbNo) == pbYes;
}

}

TFormEinstellungen::TFormEinstellungen(QWidget* parent)
    : QDialog(parent), m_programPath(QCoreApplication::applicationFilePath())
{
    setObjectName(QStringLiteral("FormEinstellungen"));
    setWindowTitle(QStringLiteral("%WindowSettingsTitle"));

    auto* strip = new QWidget(this);
    BuildSelector(strip);
    PanTitel = DialogParts::NewPageTitle(this);
    PanTitel->setObjectName(QStringLiteral("PanTitel"));
    PanClient = new QStackedWidget(this);
    PanClient->setObjectName(QStringLiteral("PanClient"));
    BuildGeneralPage();
    BuildReadWritePage();
    BuildCDDBPage();
    BuildSetupPage();
    BuildLanguagePage();

    auto* selector = new QVBoxLayout;
    selector->addWidget(strip);
    Button3 = NewButton(this, "Button3", "%Help");
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(DialogParts::NewPagedBody(selector, PanTitel, PanClient), 1);
    layout->addLayout(DialogParts::NewOkCancelRow(this, Button3).Row);

    ConnectHandlers();
    TranslateComponentTree(this);
    // Filled after the translation: their texts are language texts already.
    for (QComboBox* box : {BoxEasy1, BoxEasy2, BoxEasy3})
        FillFieldBox(box, true);
    FillFieldBox(BoxDirName, false);
    // No folder field until a pattern names one (then album is offered).
    BoxDirName->setCurrentIndex(-1);
    for (const TFileNamePart& part : FileNameParts)
        LVPlatzhalter->addItem(QStringLiteral("%") + QLatin1Char(part.Letter) + QStringLiteral(": ") +
                               GetFrameName(QString::fromLatin1(part.FrameID)));
    for (int i = 0; i < PageCount; ++i)
        LVAuswahl->item(i)->setText(Lang(QString::fromLatin1(SelectorItems[i].CaptionKey)));
    DialogParts::FitPageSelector(LVAuswahl);
    m_servers = LoadCDDBServerList();
    LVAuswahlSelectItem(spGeneral);
    ShowSimpleForm(true);
    UpdatePresetButtons();
    resize(720, 560);
}

void TFormEinstellungen::BuildSelector(QWidget* strip)
{
    LVAuswahl = DialogParts::NewPageSelector(strip, SelectorWidth, SelectorIconSize);
    LVAuswahl->setObjectName(QStringLiteral("LVAuswahl"));
    for (const TSelectorItem& entry : SelectorItems) {
        auto* item = new QListWidgetItem(SelectorIcon(entry, style()), QString(), LVAuswahl);
        item->setTextAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    if (VisualStylesInUse())
        LVAuswahl->setFrameShape(QFrame::Box);
    auto* layout = new QVBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(DialogParts::NewHeading(strip, QStringLiteral("%SelectionTitle")));
    layout->addWidget(LVAuswahl, 1);
}

QWidget* TFormEinstellungen::BuildGeneralPage()
{
    QWidget* page = NewPage(PanClient);
    BuildPatternGroup(page);
    TGroupBoxXP2* other = NewGroup(page, "%SettingsOther");
    CbxDateidatum = NewCheckBox(other, "CbxDateidatum", "%NeverChangeDate");
    ETrackNrDecimals = NewNumberEdit(other, "ETrackNrDecimals", MinDecimalsSetting, MaxDecimalsSetting);
    auto* digits = new QHBoxLayout;
    digits->addWidget(NewCaption(other, "%TrackNrDecimals", ETrackNrDecimals));
    digits->addWidget(ETrackNrDecimals);
    digits->addStretch(1);
    auto* layout = new QVBoxLayout(other);
    layout->addWidget(CbxDateidatum);
    layout->addLayout(digits);
    EndPage(page);
    return page;
}

QWidget* TFormEinstellungen::BuildPatternGroup(QWidget* page)
{
    TGroupBoxXP2* group = NewGroup(page, "%FileNameGroupBox");
    ButProfi = NewButton(group, "ButProfi", "%FileNameModeButton2");
    PopVorgaben = NewMenu(group, "PopVorgaben");
    ButVorgaben = NewMenuButton(group, "ButVorgaben", "%FileNameSelect");
    ButAufbauSpeichern = new TMySpeedButton(group);
    ButAufbauSpeichern->setObjectName(QStringLiteral("ButAufbauSpeichern"));
    ButAufbauSpeichern->setToolTip(QStringLiteral("%SaveFileNameHint"));
    ButAufbauSpeichern->setIcon(ThemeOrStandardIcon("document-save", QStyle::SP_DialogSaveButton, style()));
    ButAufbauLoeschen = new TMySpeedButton(group);
    ButAufbauLoeschen->setObjectName(QStringLiteral("ButAufbauLoeschen"));
    ButAufbauLoeschen->setToolTip(QStringLiteral("%DelFileNameHint"));
    ButAufbauLoeschen->setIcon(ThemeOrStandardIcon("edit-delete", QStyle::SP_TrashIcon, style()));

    auto* templates = new QHBoxLayout;
    templates->addWidget(ButProfi);
    templates->addStretch(1);
    templates->addWidget(ButVorgaben);
    templates->addWidget(ButAufbauSpeichern);
    templates->addWidget(ButAufbauLoeschen);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(NewTextLabel(group, QStringLiteral("%FileNameInfo1")));
    layout->addWidget(BuildSimpleForm(group));
    layout->addWidget(BuildFreeTextForm(group));
    layout->addLayout(templates);
    return group;
}

QWidget* TFormEinstellungen::BuildSimpleForm(QWidget* group)
{
    PanEinfach = new QWidget(group);
    PanEinfach->setObjectName(QStringLiteral("PanEinfach"));
    const auto newBox = [this](const char* name) {
        auto* box = new QComboBox(PanEinfach);
        box->setObjectName(QString::fromLatin1(name));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return box;
    };
    BoxEasy1 = newBox("BoxEasy1");
    BoxEasy2 = newBox("BoxEasy2");
    BoxEasy3 = newBox("BoxEasy3");
    BoxDirName = newBox("BoxDirName");
    ETZ1 = NewEdit(PanEinfach, "ETZ1");
    ETZ2 = NewEdit(PanEinfach, "ETZ2");
    for (QLineEdit* edit : {ETZ1, ETZ2})
        edit->setMaximumWidth(70);
    CBxOrderAlbum = NewCheckBox(PanEinfach, "CBxOrderAlbum", "%FolderIsField");

    auto* grid = new QGridLayout;
    const char* const captions[] = {"%FileNamePart1", "%FileNameDivider", "%FileNamePart2", "%FileNameDivider",
                                    "%FileNamePart3"};
    QWidget* const fields[] = {BoxEasy1, ETZ1, BoxEasy2, ETZ2, BoxEasy3};
    for (int column = 0; column < 5; ++column) {
        grid->addWidget(NewCaption(PanEinfach, captions[column], fields[column]), 0, column);
        grid->addWidget(fields[column], 1, column);
        grid->setColumnStretch(column, column % 2 == 0 ? 2 : 1);
    }
    auto* folder = new QHBoxLayout;
    folder->addWidget(CBxOrderAlbum);
    folder->addWidget(BoxDirName);
    folder->addStretch(1);
    auto* layout = new QVBoxLayout(PanEinfach);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewTextLabel(PanEinfach, QStringLiteral("%FileNameInfo2")));
    layout->addLayout(grid);
    layout->addLayout(folder);
    return PanEinfach;
}

QWidget* TFormEinstellungen::BuildFreeTextForm(QWidget* group)
{
    PanProfi = new QWidget(group);
    PanProfi->setObjectName(QStringLiteral("PanProfi"));
    EDateinameAufbau = NewEdit(PanProfi, "EDateinameAufbau");
    LVPlatzhalter = new QListWidget(PanProfi);
    LVPlatzhalter->setObjectName(QStringLiteral("LVPlatzhalter"));
    LVPlatzhalter->setFlow(QListView::TopToBottom);
    LVPlatzhalter->setWrapping(true);
    LVPlatzhalter->setResizeMode(QListView::Adjust);
    LVPlatzhalter->setSelectionMode(QAbstractItemView::NoSelection);
    LVPlatzhalter->setFocusPolicy(Qt::NoFocus);
    LVPlatzhalter->setFixedHeight(LVPlatzhalter->fontMetrics().lineSpacing() * 5 + 12);
    auto* edit = new QHBoxLayout;
    edit->addWidget(NewCaption(PanProfi, "%FileNameSpacer", EDateinameAufbau));
    edit->addWidget(EDateinameAufbau, 1);
    auto* layout = new QVBoxLayout(PanProfi);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewTextLabel(PanProfi, QStringLiteral("%FileNameInfo3")));
    layout->addLayout(edit);
    layout->addWidget(LVPlatzhalter);
    return PanProfi;
}

QWidget* TFormEinstellungen::BuildReadWritePage()
{
    QWidget* page = NewPage(PanClient);
    TGroupBoxXP2* read = NewGroup(page, "%ReadGroupBox");
    CBxReadID3v2 = NewCheckBox(read, "CBxReadID3v2", "%ReadID3v2");
    (new QVBoxLayout(read))->addWidget(CBxReadID3v2);

    TGroupBoxXP2* write = NewGroup(page, "%WriteGroupBox");
    CBxWriteID3v1 = NewCheckBox(write, "CBxWriteID3v1", "%WriteID3v1");
    CBxWriteID3v2 = NewCheckBox(write, "CBxWriteID3v2", "%WriteID3v2");
    BoxID3v2Version = new QComboBox(write);
    BoxID3v2Version->setObjectName(QStringLiteral("BoxID3v2Version"));
    BoxID3v2Version->addItems({QStringLiteral("ID3v2.3"), QStringLiteral("ID3v2.4")});
    CbxUnsyc = NewCheckBox(write, "CbxUnsyc", "%UseUnSync");
    EID3v2Size = NewNumberEdit(write, "EID3v2Size", 0, MaxTagSpaceSetting);
    EID3v2Padding = NewNumberEdit(write, "EID3v2Padding", 0, MaxTagSpaceSetting);
    EID3v2PaddingMax = NewNumberEdit(write, "EID3v2PaddingMax", 0, MaxTagSpaceSetting);
    cbxNoWriteProtect = NewCheckBox(write, "cbxNoWriteProtect", "%NoWriteProtect");

    // The options of the ID3v2 tag, enabled with it.
    auto* version = new QWidget(write);
    version->setObjectName(QStringLiteral("PanID3v2Options"));
    auto* grid = new QGridLayout(version);
    grid->setContentsMargins(20, 0, 0, 0);
    grid->addWidget(NewCaption(version, "%ID3v2Version", BoxID3v2Version), 0, 0);
    grid->addWidget(BoxID3v2Version, 0, 1);
    grid->addWidget(CbxUnsyc, 1, 0, 1, 3);
    const std::pair<const char*, TUpDownEdit*> sizes[] = {
        {"%TagMinSize", EID3v2Size}, {"%PadMinSize", EID3v2Padding}, {"%PadMaxSize", EID3v2PaddingMax}};
    int row = 2;
    for (const auto& [caption, edit] : sizes) {
        grid->addWidget(NewCaption(version, caption, edit), row, 0);
        grid->addWidget(edit, row, 1);
        grid->addWidget(NewCaption(version, "Byte"), row, 2);
        ++row;
    }
    grid->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(write);
    layout->addWidget(CBxWriteID3v1);
    layout->addWidget(CBxWriteID3v2);
    layout->addWidget(version);
    layout->addWidget(cbxNoWriteProtect);
    layout->addWidget(NewTextLabel(write, QStringLiteral("%WriteFieldInfo")));
    EndPage(page);
    return page;
}

QWidget* TFormEinstellungen::BuildCDDBPage()
{
    QWidget* page = NewPage(PanClient);
    TGroupBoxXP2* server = NewGroup(page, "%CDDBGroupBox");
    ECDDBServer = NewEdit(server, "ECDDBServer");
    ECDDBServerPort = NewEdit(server, "ECDDBServerPort");
    ECDDBServerPort->setMaxLength(5);
    ECDDBServerPort->setMaximumWidth(70);
    ECDDBCgiPath = NewEdit(server, "ECDDBCgiPath");
    PopVorgabenCDDB = NewMenu(server, "PopVorgabenCDDB");
    ButServer = NewMenuButton(server, "ButServer", "%CDDBSelect");
    ButServerAktualisieren = NewButton(server, "ButServerAktualisieren", "%CDDBRefresh");
    auto* grid = new QGridLayout;
    grid->addWidget(NewCaption(server, "%CDDBServer", ECDDBServer), 0, 0);
    grid->addWidget(ECDDBServer, 0, 1);
    grid->addWidget(ButServer, 0, 2);
    grid->addWidget(NewCaption(server, "%CDDBServerPort", ECDDBServerPort), 1, 0);
    grid->addWidget(ECDDBServerPort, 1, 1);
    grid->addWidget(ButServerAktualisieren, 1, 2);
    grid->addWidget(NewCaption(server, "%CDDBCgiPath", ECDDBCgiPath), 2, 0);
    grid->addWidget(ECDDBCgiPath, 2, 1);
    grid->setColumnStretch(1, 1);
    auto* serverLayout = new QVBoxLayout(server);
    serverLayout->addWidget(NewTextLabel(server, QStringLiteral("%CDDBInfo")));
    serverLayout->addLayout(grid);

    TGroupBoxXP2* user = NewGroup(page, "%CDDBUsernameGroupBox");
    ECDDBUser = NewEdit(user, "ECDDBUser");
    auto* userRow = new QHBoxLayout;
    userRow->addWidget(NewCaption(user, "%CDDBUserName", ECDDBUser));
    userRow->addWidget(ECDDBUser, 1);
    auto* userLayout = new QVBoxLayout(user);
    userLayout->addWidget(NewTextLabel(user, QStringLiteral("%CDDBUsernameInfo")));
    userLayout->addLayout(userRow);

    TGroupBoxXP2* more = NewGroup(page, "%CDDBMoreGroupBox");
    CBoxProxy = NewCheckBox(more, "CBoxProxy", "%CDDBProxy");
    EProxy = NewEdit(more, "EProxy");
    EProxyPort = NewEdit(more, "EProxyPort");
    EProxyPort->setMaxLength(5);
    EProxyPort->setMaximumWidth(70);
    cbxAlwaysUseNativeNtCdRom = NewCheckBox(more, "cbxAlwaysUseNativeNtCdRom", "%CDDBAlwaysUseNativeNtCdRom");
    // One way of reading CDs exists here; the stored choice is kept for the
    // systems that have two.
    cbxAlwaysUseNativeNtCdRom->setEnabled(false);
    auto* proxyRow = new QHBoxLayout;
    proxyRow->addWidget(CBoxProxy);
    proxyRow->addWidget(EProxy, 1);
    proxyRow->addWidget(NewCaption(more, ":", EProxyPort));
    proxyRow->addWidget(EProxyPort);
    auto* moreLayout = new QVBoxLayout(more);
    moreLayout->addLayout(proxyRow);
    moreLayout->addWidget(cbxAlwaysUseNativeNtCdRom);
    EndPage(page);
    return page;
}

QWidget* TFormEinstellungen::BuildSetupPage()
{
    QWidget* page = NewPage(PanClient);
    TGroupBoxXP2* reset = NewGroup(page, "%ResetGroupBox");
    ButZuruecksetzen = NewButton(reset, "ButZuruecksetzen", "%ResetNow");
    auto* resetRow = new QHBoxLayout;
    resetRow->addStretch(1);
    resetRow->addWidget(ButZuruecksetzen);
    auto* resetLayout = new QVBoxLayout(reset);
    resetLayout->addWidget(NewTextLabel(reset, QStringLiteral("%ResetInfo")));
    resetLayout->addLayout(resetRow);

    TGroupBoxXP2* links = NewGroup(page, "%CreateLinkGroupBox");
    ButLinkStartMenu = NewButton(links, "ButLinkStartMenu", "%CreateLinkNow");
    ButLinkDesktop = NewButton(links, "ButLinkDesktop", "%CreateLinkNow");
    auto* grid = new QGridLayout(links);
    grid->addWidget(NewTextLabel(links, QStringLiteral("%LinkStartmenu")), 0, 0);
    grid->addWidget(ButLinkStartMenu, 0, 1);
    grid->addWidget(NewTextLabel(links, QStringLiteral("%LinkDesktopInfo")), 1, 0);
    grid->addWidget(ButLinkDesktop, 1, 1);
    grid->setColumnStretch(0, 1);
    EndPage(page);
    return page;
}

QWidget* TFormEinstellungen::BuildLanguagePage()
{
    QWidget* page = NewPage(PanClient);
    TGroupBoxXP2* group = NewGroup(page, "%LanguageInfoGroupBox");
    FrameLanguage1 = new TFrameLanguage(group);
    FrameLanguage1->setObjectName(QStringLiteral("FrameLanguage1"));
    // The language chosen here is used from the next start on.
    FrameLanguage1->SetRestartNoteOnChange(true);
    auto* layout = new QVBoxLayout(group);
    layout->addWidget(NewTextLabel(group, QStringLiteral("%LanguageInfo")));
    layout->addWidget(FrameLanguage1, 1);
    static_cast<QVBoxLayout*>(page->layout())->setStretchFactor(group, 1);
    return page;
}

void TFormEinstellungen::ConnectHandlers()
{
    connect(LVAuswahl, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            LVAuswahlSelectItem(row);
    });
    connect(Button3, &QPushButton::clicked, this, [this] { Button3Click(); });
    connect(ButProfi, &QPushButton::clicked, this, [this] { ActDateinameModusExecute(); });
    connect(PopVorgaben, &QMenu::aboutToShow, this, [this] { PopVorgabenPopup(); });
    connect(ButVorgaben, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(ButServer, &QToolButton::clicked, this, [this] { SpeedButton8Click(); });
    connect(ButAufbauSpeichern, &QToolButton::clicked, this, [this] { ActAufbauSpeichernExecute(); });
    connect(ButAufbauLoeschen, &QToolButton::clicked, this, [this] { ActAufbauLoeschenExecute(); });
    // Only the user's changes make the pattern differ from its template.
    for (QComboBox* box : {BoxEasy1, BoxEasy2, BoxEasy3, BoxDirName})
        connect(box, &QComboBox::activated, this, [this] { BoxEasy1Change(); });
    for (QLineEdit* edit : {ETZ1, ETZ2, EDateinameAufbau})
        connect(edit, &QLineEdit::textEdited, this, [this] { BoxEasy1Change(); });
    connect(CBxOrderAlbum, &QCheckBox::clicked, this, [this] {
        CBxOrderAlbumClick();
        BoxEasy1Change();
    });
    connect(CBxWriteID3v2, &QCheckBox::clicked, this, [this] { CBxWriteID3v2Click(); });
    connect(CBxWriteID3v1, &QCheckBox::clicked, this, [this] { CBxWriteID3v1Click(); });
    connect(cbxNoWriteProtect, &QCheckBox::clicked, this, [this] { cbxNoWriteProtectClick(); });
    connect(PopVorgabenCDDB, &QMenu::aboutToShow, this, [this] { PopVorgabenCDDBPopup(); });
    connect(ButServerAktualisieren, &QPushButton::clicked, this, [this] { ActServerAktualisierenExecute(); });
    connect(ButLinkStartMenu, &QPushButton::clicked, this, [this] { ActLinkStartMenuExecute(TShortcutPlace::Applications); });
    connect(ButLinkDesktop, &QPushButton::clicked, this, [this] { ActLinkStartMenuExecute(TShortcutPlace::Desktop); });
    connect(ButZuruecksetzen, &QPushButton::clicked, this, [this] { ActZuruecksetzenExecute(); });
}

bool TFormEinstellungen::Execute(TEinstellungen& settings, TFileNamePresets& presets, bool& resetRequested)
{
    m_resetRequested = false;
    m_presets = presets;
    m_chosenPreset = -1;
    UpdatePresetButtons();
    if (!IsSimplePattern(settings.FileNamePattern))
        ShowSimpleForm(false);
    ShowPatternSimple(settings.FileNamePattern);
    ShowRecord(settings);
    if (!settings.Language.trimmed().isEmpty())
        FrameLanguage1->SelectLanguageEntry(settings.Language, false);
    else
        FrameLanguage1->SelectLanguageEntry(settings.LanguageFile, true);

    if (CurrentPrompt()->RunModal(*this) != QDialog::Accepted)
        return false;
    presets = m_presets;
    TakeRecord(settings);
    SaveCDDBServerList(m_servers);
    if (m_resetRequested)
        resetRequested = true;
    return true;
}

void TFormEinstellungen::ShowRecord(const TEinstellungen& s)
{
    CbxDateidatum->setChecked(s.NeverChangeDate);
    ETrackNrDecimals->SetPositionInt(s.Decimals);
    CBxReadID3v2->setChecked(s.ReadID3v2);
    CBxWriteID3v1->setChecked(s.WriteID3v1);
    CBxWriteID3v2->setChecked(s.WriteID3v2);
    BoxID3v2Version->setCurrentIndex(s.ID3v2Version == 4 ? 1 : 0);
    CbxUnsyc->setChecked(s.Unsync);
    EID3v2Size->SetPositionInt(s.MinSize);
    EID3v2Padding->SetPositionInt(s.MinPad);
    EID3v2PaddingMax->SetPositionInt(s.MaxPad);
    CBxWriteID3v2Click();
    // Set without its handler: no warning on opening.
    cbxNoWriteProtect->setChecked(s.NoWriteProtect);

    ECDDBServer->setText(s.CDDBServer);
    ECDDBServerPort->setText(QString::number(s.CDDBServerPort));
    ECDDBCgiPath->setText(s.CDDBServerCgiPath);
    ECDDBUser->setText(s.CDDBUser);
    CBoxProxy->setChecked(s.UseProxy);
    EProxy->setText(s.Proxy);
    EProxyPort->setText(s.ProxyPort >= 1 ? QString::number(s.ProxyPort) : QString());
    cbxAlwaysUseNativeNtCdRom->setChecked(s.AlwaysUseNativeNtCdRom);
}

void TFormEinstellungen::TakeRecord(TEinstellungen& s) const
{
    s.FileNamePattern = EditedPattern();
    s.NeverChangeDate = CbxDateidatum->isChecked();
    s.Decimals = ETrackNrDecimals->PositionInt();
    s.ReadID3v2 = CBxReadID3v2->isChecked();
    s.WriteID3v1 = CBxWriteID3v1->isChecked();
    s.WriteID3v2 = CBxWriteID3v2->isChecked();
    s.ID3v2Version = BoxID3v2Version->currentIndex() == 1 ? 4 : 3;
    s.Unsync = CbxUnsyc->isChecked();
    s.MinSize = EID3v2Size->PositionInt();
    s.MinPad = EID3v2Padding->PositionInt();
    s.MaxPad = EID3v2PaddingMax->PositionInt();
    s.NoWriteProtect = cbxNoWriteProtect->isChecked();

    const QString server = ECDDBServer->text().trimmed();
    s.CDDBServer = server.isEmpty() ? QString::fromLatin1(PublicCDDBServerHost) : server;
    s.CDDBServerPort = PortOf(ECDDBServerPort).value_or(PublicCDDBServerPort);
    s.CDDBServerCgiPath = ECDDBCgiPath->text().trimmed();
    const QString user = ECDDBUser->text().trimmed();
    s.CDDBUser = user.isEmpty() ? QString::fromLatin1(DefaultCDDBUser) : user;
    s.Proxy = EProxy->text().trimmed();
    s.ProxyPort = PortOf(EProxyPort).value_or(0);
    s.UseProxy = CBoxProxy->isChecked();
    s.AlwaysUseNativeNtCdRom = cbxAlwaysUseNativeNtCdRom->isChecked();
    ClampSettingNumbers(s);

    // A language the user did not pick stays, even one no row matches (a
    // file that is gone), rather than the row guessed for the locale.
    if (FrameLanguage1->UserPicked()) {
        s.Language = FrameLanguage1->LanguageResName();
        s.LanguageFile = FrameLanguage1->LanguageFileName();
    }
}

// --- Pages ---

void TFormEinstellungen::LVAuswahlSelectItem(int item)
{
    if (item < 0 || item >= PageCount)
        return;
    if (LVAuswahl->currentRow() != item) {
        const QSignalBlocker quiet(LVAuswahl);
        LVAuswahl->setCurrentRow(item);
    }
    QString title = LVAuswahl->item(item)->text();
    title.replace(QLatin1Char('\n'), QLatin1Char('/'));
    title.remove(QLatin1Char('\r'));
    PanTitel->SetCaption(title);
    PanClient->setCurrentIndex(item);
}

int TFormEinstellungen::ShownPage() const
{
    return PanClient->currentIndex();
}

void TFormEinstellungen::Button3Click()
{
    ShowHelpPage(QString::fromLatin1(HelpPage));
}

// --- File-name pattern ---

bool TFormEinstellungen::IsSimplePattern(const QString& pattern)
{
    m_parser.SetFilenameConstruct(pattern);
    const int levels = m_parser.GetConstructCount();
    if (levels > 2)
        return false;
    if (levels >= 1) {
        const TFilenameConstruct& name = m_parser.GetConstruct(0);
        int texts = 0;
        for (int i = 0; i < name.GetSeparatorCount(); ++i) {
            const bool outer = i == 0 || i == name.GetSeparatorCount() - 1;
            if (!name.GetSeparator(i).isEmpty() || !outer)
                ++texts;
        }
        if (texts > 2)
            return false;
    }
    for (int level = 0; level < levels; ++level) {
        const TFilenameConstruct& construct = m_parser.GetConstruct(level);
        for (const QString& id : construct.FrameIDs) {
            const auto part = std::find_if(FileNameParts.begin(), FileNameParts.end(), [&id](const TFileNamePart& p) {
                return id == QLatin1String(p.FrameID);
            });
            if (part == FileNameParts.end() || !part->SimpleForm)
                return false;
        }
    }
    if (levels == 2) {
        const TFilenameConstruct& folder = m_parser.GetConstruct(1);
        if (folder.GetFrameIDCount() > 1)
            return false;
        for (const QString& separator : folder.Separators)
            if (!separator.isEmpty())
                return false;
    }
    return true;
}

void TFormEinstellungen::SetFieldBox(QComboBox* box, const QString& frameId)
{
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemData(i).value<TStringObject>().Value == frameId) {
            box->setCurrentIndex(i);
            return;
        }
    }
    box->setCurrentIndex(box == BoxDirName ? -1 : 0);
}

void TFormEinstellungen::ShowPatternSimple(const QString& pattern)
{
    m_parser.SetFilenameConstruct(pattern);
    if (m_parser.GetConstructCount() >= 1) {
        const TFilenameConstruct& name = m_parser.GetConstruct(0);
        const int offset = name.GetSeparator(0).isEmpty() ? 0 : -1;
        const auto field = [&name](int index) {
            return index >= 0 && index < name.GetFrameIDCount() ? name.GetFrameID(index) : QString();
        };
        const auto separator = [&name](int index) {
            return index >= 0 && index < name.GetSeparatorCount() ? name.GetSeparator(index) : QString();
        };
        SetFieldBox(BoxEasy1, field(offset));
        SetFieldBox(BoxEasy2, field(offset + 1));
        SetFieldBox(BoxEasy3, field(offset + 2));
        ETZ1->setText(separator(offset + 1));
        ETZ2->setText(separator(offset + 2));
    }
    bool found = false;
    if (m_parser.GetConstructCount() >= 2) {
        const TFilenameConstruct& folder = m_parser.GetConstruct(1);
        SetFieldBox(BoxDirName, folder.GetFrameIDCount() > 0 ? folder.GetFrameID(0) : QString());
        found = BoxDirName->currentIndex() >= 0;
    }
    if (BoxDirName->currentIndex() < 0)
        SetFieldBox(BoxDirName, QStringLiteral("TALB"));
    CBxOrderAlbum->setChecked(found);
    CBxOrderAlbumClick();
    EDateinameAufbau->setText(pattern);
}

QString TFormEinstellungen::PlaceholderOf(const QComboBox* box) const
{
    const QString id = FrameIdOf(box);
    for (const TFileNamePart& part : FileNameParts)
        if (!id.isEmpty() && id == QLatin1String(part.FrameID))
            return QStringLiteral("%") + QLatin1Char(part.Letter);
    return {};
}

QString TFormEinstellungen::BuildSimplePattern() const
{
    QString pattern;
    if (CBxOrderAlbum->isChecked())
        pattern += PlaceholderOf(BoxDirName) + QLatin1Char('\\');
    pattern += PlaceholderOf(BoxEasy1) + DoublePercent(ETZ1->text()) + PlaceholderOf(BoxEasy2) +
               DoublePercent(ETZ2->text()) + PlaceholderOf(BoxEasy3);
    return pattern;
}

QString TFormEinstellungen::EditedPattern() const
{
    return m_simpleForm ? BuildSimplePattern() : EDateinameAufbau->text();
}

void TFormEinstellungen::ShowSimpleForm(bool simple)
{
    m_simpleForm = simple;
    PanEinfach->setVisible(simple);
    PanProfi->setVisible(!simple);
    ActDateinameModusUpdate();
}

void TFormEinstellungen::ActDateinameModusExecute()
{
    if (m_simpleForm) {
        EDateinameAufbau->setText(BuildSimplePattern());
        ShowSimpleForm(false);
        return;
    }
    const QString pattern = EDateinameAufbau->text();
    if (!IsSimplePattern(pattern)) {
        if (!AnsweredYes(this, TPromptIcon::Warning, Lang("ReallyToSimpleMode")))
            return;
        m_chosenPreset = -1;
        UpdatePresetButtons();
    }
    ShowPatternSimple(pattern);
    ShowSimpleForm(true);
}

void TFormEinstellungen::ActDateinameModusUpdate()
{
    ButProfi->setText(Lang(m_simpleForm ? "FileNameModeButton2" : "FileNameModeButton1"));
}

void TFormEinstellungen::UpdatePresetButtons()
{
    ButAufbauSpeichern->setEnabled(m_presets.Count() < MaxFileNamePresets);
    ButAufbauLoeschen->setEnabled(m_chosenPreset >= 0);
}

void TFormEinstellungen::SpeedButton1Click()
{
    PopVorgaben->popup(ButVorgaben->mapToGlobal(QPoint(0, ButVorgaben->height())));
}

void TFormEinstellungen::PopVorgabenPopup()
{
    PopVorgaben->clear();
    for (int index = 0; index < m_presets.Count(); ++index) {
        QString name;
        QString pattern;
        m_presets.Get(index, name, true, pattern);
        QAction* item = PopVorgaben->addAction(LiteralCaption(name));
        connect(item, &QAction::triggered, this, [this, index] { SelectPreset(index); });
    }
}

void TFormEinstellungen::SelectPreset(int index)
{
    QString name;
    QString pattern;
    if (!m_presets.Get(index, name, false, pattern)) {
        CurrentPrompt()->Beep();
        return;
    }
    if (m_simpleForm && !IsSimplePattern(pattern)) {
        if (!AnsweredYes(this, TPromptIcon::Question, Lang("ReallyToProfiMode")))
            return;
        ShowSimpleForm(false);
    }
    ShowPatternSimple(pattern);
    m_chosenPreset = index;
    UpdatePresetButtons();
}

void TFormEinstellungen::BoxEasy1Change()
{
    m_chosenPreset = -1;
    UpdatePresetButtons();
}

void TFormEinstellungen::ActAufbauSpeichernExecute()
{
    if (m_presets.Count() >= MaxFileNamePresets) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString pattern = EditedPattern();
    m_parser.SetFilenameConstruct(pattern);
    bool allEmpty = false;
    const QString preview = m_parser.BuildFileName(nullptr, allEmpty);
    const auto name =
        CurrentPrompt()->Input(this, Lang("SaveFileNameWindowTitle"), Lang("SaveFileNameWindowText"), preview);
    if (!name)
        return;
    m_presets.Add(*name, pattern);
    m_chosenPreset = m_presets.Count() - 1;
    UpdatePresetButtons();
}

void TFormEinstellungen::ActAufbauLoeschenExecute()
{
    QString name;
    QString pattern;
    if (!m_presets.Get(m_chosenPreset, name, true, pattern)) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString shown = name + QStringLiteral(" (") + pattern + QLatin1Char(')');
    const QString text = LangFmt(QStringLiteral("ReallyDeleteFileName"), {shown});
    if (!AnsweredYes(this, TPromptIcon::Question, text))
        return;
    m_presets.Delete(m_chosenPreset);
    m_chosenPreset = -1;
    UpdatePresetButtons();
}

// --- Reading and writing ---

void TFormEinstellungen::CBxWriteID3v2Click()
{
    const bool v2 = CBxWriteID3v2->isChecked();
    findChild<QWidget*>(QStringLiteral("PanID3v2Options"))->setEnabled(v2);
    if (v2) {
        CBxWriteID3v1->setEnabled(true);
    } else {
        CBxWriteID3v1->setChecked(true);
        CBxWriteID3v1->setEnabled(false);
    }
}

void TFormEinstellungen::CBxWriteID3v1Click()
{
    if (CBxWriteID3v1->isChecked()) {
        CBxWriteID3v2->setEnabled(true);
    } else {
        CBxWriteID3v2->setChecked(true);
        CBxWriteID3v2Click();
        CBxWriteID3v2->setEnabled(false);
    }
}

void TFormEinstellungen::cbxNoWriteProtectClick()
{
    if (cbxNoWriteProtect->isChecked() && !AnsweredYes(this, TPromptIcon::Warning, Lang("NoWriteProtectWarning")))
        cbxNoWriteProtect->setChecked(false);
}

void TFormEinstellungen::CBxOrderAlbumClick()
{
    BoxDirName->setEnabled(CBxOrderAlbum->isChecked());
}

// --- CD database ---

void TFormEinstellungen::PopVorgabenCDDBPopup()
{
    PopVorgabenCDDB->clear();
    for (int index = 0; index < m_servers.size(); ++index) {
        QAction* item = PopVorgabenCDDB->addAction(LiteralCaption(m_servers.at(index)));
        connect(item, &QAction::triggered, this, [this, index] { SelectServer(index); });
    }
}

void TFormEinstellungen::SpeedButton8Click()
{
    PopVorgabenCDDB->popup(ButServer->mapToGlobal(QPoint(0, ButServer->height())));
}

void TFormEinstellungen::SelectServer(int index)
{
    if (index < 0 || index >= m_servers.size()) {
        CurrentPrompt()->Beep();
        return;
    }
    const QString& line = m_servers.at(index);
    const auto server = CDDBServerOfEntry(line);
    if (!server) {
        CurrentPrompt()->Error(this, LangFmt(QStringLiteral("ErrorServerURL"), {line}));
        return;
    }
    ECDDBServer->setText(server->Host);
    ECDDBServerPort->setText(QString::number(server->Port));
    ECDDBCgiPath->setText(server->CgiPath);
}

void TFormEinstellungen::ActServerAktualisierenExecute()
{
    // Fetched through the proxy as it is entered now.
    TCDDBProxy proxy;
    if (CBoxProxy->isChecked()) {
        proxy.Host = EProxy->text().trimmed();
        proxy.Port = PortOf(EProxyPort).value_or(0);
    }
    QStringList servers;
    TFormCDDBServers window(this);
    if (window.Execute(servers, proxy))
        m_servers = servers;
}

// --- Installation ---

void TFormEinstellungen::ActLinkStartMenuExecute(TShortcutPlace place)
{
    if (!WriteDesktopShortcut(ShortcutFolder(place), QString::fromLatin1(ShortcutName), m_programPath))
        CurrentPrompt()->Information(this, Lang("ErrorCreateLink"));
}

void TFormEinstellungen::ActZuruecksetzenExecute()
{
    if (AnsweredYes(this, TPromptIcon::Warning, Lang("ReallyResetAll")))
        m_resetRequested = true;
}
