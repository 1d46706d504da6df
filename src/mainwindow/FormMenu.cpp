#include "mainwindow/FormMenu.h"

#include "mainwindow/FQuillon.h"

#include <QAction>
#include <QMenu>

TFormMenu::TFormMenu(TFQuillon& owner) : m_owner(owner)
{
    m_mainMenu = NewMenu();
    m_mainMenu->setObjectName(QStringLiteral("MainMenu"));

    QMenu* file = AddSubmenu(m_mainMenu, "ActMenuFile", {"ActRenameFile", "-"});
    AddSubmenu(file, "ActCopyFileTo",
               {"ActCopyHistory1", "ActCopyHistory2", "ActCopyHistory3", "ActCopyHistory4", "-",
                "ActCopyFileToSelect"});
    AddSubmenu(file, "ActMoveFileTo",
               {"ActMoveHistory1", "ActMoveHistory2", "ActMoveHistory3", "ActMoveHistory4", "-",
                "ActMoveFileToSelect"});
    Fill(file, {"ActDeleteFile", "-", "ActExport", "-", "ActEinstellungen", "-", "ActBeenden"});

    AddSubmenu(m_mainMenu, "ActMenuEdit",
               {"ActUndo", "-", "EditCut1", "EditCopy1", "EditPaste1", "-", "EditSelectAll1", "-", "ActPrevMP3",
                "ActNextMP3"});

    QMenu* extras = AddSubmenu(m_mainMenu, "ActMenuExtras",
                               {"ActAllesUebernehmen", "ActID3v2ToID3v1", "ActID3FromCDDB", "-",
                                "ActID3FromFilename", "ActFilenameFromID3", "ActAutoTrackNo", "ActReplaceInFrames"});
    AddSubmenu(extras, "ActGrossKleinSchreibung",
               {"ActGrossKleinAuto", "ActGrossKleinOnlyFirst", "-", "ActGrossKleinAllesGross",
                "ActGrossKleinAllesKlein", "-", "ActGrossKleinDateiname"});
    Fill(extras, {"-", "ActAlleFelderLoeschen", "-"});
    AddSubmenu(extras, "ActMenuField",
               {"ActFeldUebernehmen", "ActFrameReadOnly", "-", "ActTXXXChangeDes", "ActWXXXChangeDes", "ActDateTimeGenauer",
                "ActDateTimeUngenauer", "-", "ActDateSetNow", "ActDateFromFileDate", "ActFileDateFromDate",
                "ActCommChangeDesLang", "ActRunURL", "ActKillUnknownData", "-", "ActAddFrame"});
    Fill(extras, {"-", "ActPlay"});

    QMenu* view = AddSubmenu(m_mainMenu, "ActMenuView", {"ActAktuallisieren"});
    AddSubmenu(view, "ActWechselnZu", {"ActDirZurueck", "ActDirVor", "-", "ActAufwaerts"});
    Fill(view, {"ActUnterordner", "-", "ActSymbolleisteAnpassen", "ActSpalten", "-"});
    AddSubmenu(view, "ActEingabefeld",
               {"ActEingabefelder", "-", "ActEingabefeldNachOben", "ActEingabefeldNachUnten",
                "ActEingabefeldVerstecken"});
    Fill(view, {"-", "ActShowSearch", "ActBrowserleiste"});

    m_favorites = AddSubmenu(m_mainMenu, "ActFavorites", {"ActAddToFavorites", "ActOrganizeFavorites", "-"});
    m_favorites->setObjectName(QStringLiteral("muiFavorites"));

    AddSubmenu(m_mainMenu, "ActMenuHelp", {"ActHilfe", "-", "ActHomepage", "ActUpdate", "-", "ActInfo"});
}

TFormMenu::~TFormMenu() = default;

QMenu* TFormMenu::NewMenu()
{
    m_menus.push_back(std::make_unique<QMenu>());
    QMenu* menu = m_menus.back().get();
    // Checked and enabled as things stand whenever it opens.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [this] { m_owner.UpdateActions(); });
    return menu;
}

void TFormMenu::Fill(QMenu* menu, std::initializer_list<const char*> items)
{
    for (const char* name : items) {
        if (QLatin1String(name) == QLatin1String("-"))
            menu->addSeparator();
        else if (QAction* action = m_owner.Action(QString::fromLatin1(name)))
            menu->addAction(action);
    }
}

QMenu* TFormMenu::AddSubmenu(QMenu* into, const char* parentAction, std::initializer_list<const char*> items)
{
    QMenu* submenu = NewMenu();
    Fill(submenu, items);
    if (QAction* action = m_owner.Action(QString::fromLatin1(parentAction))) {
        action->setMenu(submenu);
        into->addAction(action);
    }
    return submenu;
}
