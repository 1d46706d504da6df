#pragma once

#include "common/InputPages.h"

#include <QDialog>
#include <QSet>
#include <QString>

#include <vector>

class QLabel;
class QListWidgetItem;
class QPushButton;
class QStackedWidget;
class QTabBar;
class TID3v2Frame;
class TLayoutList;

// The input pages dialog: which pages the input panel has, their titles and
// order, and which frames (one input each) stand on which page in which
// order. Every frame stands on one page at most, and only frames some
// template input handles are offered. Works on a copy of the layout.
class TFormEingabefelder : public QDialog {
    Q_OBJECT
public:
    explicit TFormEingabefelder(QWidget* parent = nullptr);

    // Shows the dialog on the layout; the frames offered are those the
    // template inputs handle. True when closed with OK; then pages is
    // rebuilt from the dialog's pages (titles as shown, so a built-in title
    // comes back in the current language). On Cancel pages is unchanged.
    bool Execute(const std::vector<TID3v2Frame*>& inputs, TEingabeSeiten& pages);

    // Fills the tabs and both lists from a layout. A page keeps only the
    // frames the window can build: known, handled by a template input and
    // on no earlier page (or earlier on the same page).
    void FillPages(const TEingabeSeiten& pages);
    // Shows the frames of a page in the page's list.
    void ShowPageFields(const QStringList& ids);
    // The description of the item's frame; empty without one.
    void ShowDescription(const QListWidgetItem* item);
    // A list's selection changed or was clicked: its field is described.
    void TVLinksChange(const TLayoutList* list);
    // Stores the shown fields into their page, then shows the chosen tab's.
    void TCSeitenChange();

    void ActHinzufuegenExecute();
    void ActEntfernenExecute();
    void ActNachObenExecute();
    void ActNachUntenExecute();
    void ActNeueSeiteExecute();
    void ActSeiteLoeschenExecute();
    void ActSeiteUmbenennenExecute();
    void ActZuruecksetzenExecute();
    void UpdateActions();

    // The working layout: titles as shown, frame IDs as stored at the last
    // tab change.
    const TEingabeSeiten& WorkingPages() const { return m_pages; }
    int CurrentPage() const { return m_currentPage; }

    TLayoutList* TVLinks = nullptr;  // available fields
    TLayoutList* TVRechts = nullptr; // fields of the chosen page
    QTabBar* TCSeiten = nullptr;
    QStackedWidget* PanSeite = nullptr; // the page's fields, or PNichts
    QLabel* PNichts = nullptr;
    QLabel* LBeschreibung = nullptr;
    QPushButton* ButHinzufuegen = nullptr;
    QPushButton* ButEntfernen = nullptr;
    QPushButton* ButNachOben = nullptr;
    QPushButton* ButNachUnten = nullptr;
    QPushButton* ButNeueSeite = nullptr;
    QPushButton* ButSeiteLoeschen = nullptr;
    QPushButton* ButSeiteUmbenennen = nullptr;
    QPushButton* ButZuruecksetzen = nullptr;

private:
    QWidget* BuildPagesArea();
    QWidget* BuildButtons();
    // Whether the chosen tab is a page (not the last, empty tab).
    bool PageTabChosen() const;
    // The chosen page when it may be deleted or renamed (a page tab of at
    // least two tabs); otherwise a beep and -1.
    int PageToChange() const;
    // Chooses a tab without running the change handler.
    void ChooseTab(int index);
    void InsertPageTab(int index, const QString& title);
    QListWidgetItem* NewFieldItem(const QString& id) const;

    QSet<QString> m_handled; // frame IDs the template inputs handle
    TEingabeSeiten m_pages;
    int m_currentPage = -1;
};
