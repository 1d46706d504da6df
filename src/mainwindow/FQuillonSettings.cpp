// Reading, writing and applying the main window's settings.
#include "mainwindow/FQuillon.h"

#include "controls/MyListView.h"
#include "mainwindow/MessageLists.h"
#include "mainwindow/WindowPlacement.h"

#include "frameinput/ID3v2Frame.h"
#include "localisation/MultiLanguage.h"
#include "platform/NativePath.h"
#include "platform/Prompt.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QSplitter>

#include <utility>

void TFQuillon::LoadSettings()
{
    TMainSettings stored;
    stored.Record = m_settings;
    stored.FolderBarWidth = m_folderBarWidth;
    TSettingsStore::Load(stored);
    ApplyLoadedSettings(stored);
}

void TFQuillon::ApplyLoadedSettings(const TMainSettings& s)
{
    m_startFolder = s.FirstDir;
    m_folderBarWidth = s.FolderBarWidth;
    Splitter1->setSizes({m_folderBarWidth, std::max(width() - m_folderBarWidth, 100)});
    SetFolderBarVisible(s.FolderBarVisible);
    if (s.SearchVisible)
        ActShowSearchExecute();
    SetInputPanelPosition(s.InputPanel);
    if (!s.WindowPlacement || !ApplyWindowPlacement(*s.WindowPlacement))
        ApplyFirstPlacement();
    m_settings = s.Record;
    m_sortColumn = s.SortColumn;
    m_sortDirection = s.SortDirection;
    m_includeSubfolders = s.ChildFolders;
    m_caseConversionRenames = s.CaseConversionRenames;
    if (s.ToolbarCodes)
        SetToolbarCodes(*s.ToolbarCodes);
    if (s.ColumnCodes)
        SetColumns(*s.ColumnCodes, s.ColumnWidths);
    m_copyHistory = s.CopyHistory;
    m_moveHistory = s.MoveHistory;
    m_favorites.Clear();
    m_favorites.SetCommaText(s.Favorites);
    if (s.InputPages)
        ApplyInputPages(*s.InputPages);
    for (int i = 0; i < s.Presets.Count(); ++i)
        m_fileNamePresets.Add(s.Presets.Names().at(i), s.Presets.Patterns().at(i));
    m_leftOutSettings = s.LeftOut;
}

void TFQuillon::TellLeftOutSettings()
{
    const QStringList lines = std::exchange(m_leftOutSettings, TLeftOutSettings()).Lines();
    if (!lines.isEmpty())
        CurrentPrompt()->Information(this, LangFmt("SettingsLeftOut", {NamesPrecededByBreak(lines)}));
}

TMainSettings TFQuillon::CollectSettings() const
{
    TMainSettings s;
    s.Record = m_settings;
    s.FirstDir = ShownPath(TreePath());
    s.FolderBarWidth = m_folderBarWidth;
    s.FolderBarVisible = FolderBarVisible();
    s.SearchVisible = IsSearchPanelShown();
    s.InputPanel = InputPanelPosition();
    s.WindowPlacement = WindowPlacementBytes();
    s.SortColumn = m_sortColumn;
    s.SortDirection = m_sortDirection;
    s.ChildFolders = m_includeSubfolders;
    s.CaseConversionRenames = m_caseConversionRenames;
    s.ToolbarCodes = GetToolbarCodes();
    TStringArray codes;
    GetColumns(codes, s.ColumnWidths);
    s.ColumnCodes = codes;
    s.CopyHistory = m_copyHistory;
    s.MoveHistory = m_moveHistory;
    s.Favorites = m_favorites.GetCommaText();
    s.InputPages = InputPages();
    s.Presets = m_fileNamePresets;
    return s;
}

void TFQuillon::SaveSettings()
{
    if (m_resetRequested)
        TSettingsStore::Reset();
    else
        TSettingsStore::Save(CollectSettings());
}

namespace {

// The available areas of the screens, the primary screen's first.
QList<QRect> AvailableScreenAreas()
{
    QList<QRect> areas;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary)
        areas << primary->availableGeometry();
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen != primary)
            areas << screen->availableGeometry();
    return areas;
}

}

bool TFQuillon::ApplyWindowPlacement(const QByteArray& bytes)
{
    const auto placement = TWindowPlacement::Decode(bytes);
    if (!placement)
        return false;
    setGeometry(FitToScreens(placement->Normal, AvailableScreenAreas()));
    if (placement->ShowCmd == TWindowPlacement::ShowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    return true;
}

void TFQuillon::ApplyFirstPlacement()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // Three quarters of the screen, centred: room for the columns' captions
    // and the inputs' labels from the first start on.
    const QRect available = screen->availableGeometry();
    QRect placement(QPoint(), available.size() * 3 / 4);
    placement.moveCenter(available.center());
    setGeometry(placement);
}

void TFQuillon::FitWindowToScreen()
{
    // The texts of a language may ask for more room than the screen has (a
    // long caption in the menu bar or on a tab): the window keeps to its
    // screen and the contents make do, so that no window is ever saved, and
    // opened again, larger than the screen. Its frame (once shown) counts.
    layout()->activate();
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                           frame.bottom() - client.bottom());
    const QRect fitted = FitToScreens(frame, AvailableScreenAreas()).marginsRemoved(margins);
    const QSize least = minimumSize();
    if (least.width() > fitted.width() || least.height() > fitted.height())
        setMinimumSize(least.boundedTo(fitted.size()));
    setGeometry(fitted);
}

QByteArray TFQuillon::WindowPlacementBytes() const
{
    TWindowPlacement placement;
    placement.Normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    if (isMaximized())
        placement.ShowCmd = TWindowPlacement::ShowMaximized;
    else if (isMinimized())
        placement.ShowCmd = TWindowPlacement::ShowMinimized;
    return placement.Encode();
}

void TFQuillon::ApplySettings()
{
    ID3v2Reader1.NeverChangeDate = m_settings.NeverChangeDate;
    ID3v2Reader1.ReadID3v2 = m_settings.ReadID3v2;
    ID3v2Reader1.WriteID3v1 = m_settings.WriteID3v1;
    ID3v2Reader1.WriteID3v2 = m_settings.WriteID3v2;
    ID3v2Reader1.WriteID3Version = m_settings.ID3v2Version == 3 ? wivID3v2_3 : wivID3v2_4;
    ID3v2Reader1.UseUnsynchronisation = m_settings.Unsync;
    ID3v2Reader1.MinID3v2Size = m_settings.MinSize;
    ID3v2Reader1.MinID3v2Padding = m_settings.MinPad;
    ID3v2Reader1.MaxID3v2Padding = m_settings.MaxPad;
    ID3v2Reader1.IgnoreWriteProtect = m_settings.NoWriteProtect;
    for (TID3v2Frame* input : m_templateInputs)
        input->SetUseID3Version(GetWriterVersion());
    ID3FilenameParser.NumberDecimals = m_settings.Decimals;
    // The inputs are made again for the version to edit.
    ApplyInputPages(InputPages());
}

TID3Versions TFQuillon::GetWriterVersion() const
{
    if (!m_settings.WriteID3v2)
        return ivID3v1;
    return m_settings.ID3v2Version == 3 ? ivID3v2_3 : ivID3v2_4;
}
