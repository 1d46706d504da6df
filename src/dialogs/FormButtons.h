#pragma once

#include "common/LayoutArrays.h"

#include <QDialog>

#include <functional>

class QAction;
class QListWidgetItem;
class QPushButton;
class TLayoutList;

// The tool-bar dialog: which tool buttons the main window's tool bar shows,
// in which order, with separators between them. It works on the layout as a
// list of four-character codes ("----" for a separator) and hands back a new
// list on OK.
class TFormButtons : public QDialog {
    Q_OBJECT
public:
    // The main window's action of an object name; nullptr when none.
    using TActionLookup = std::function<QAction*(const QString& name)>;

    explicit TFormButtons(QWidget* parent = nullptr);

    // Shows the dialog on the codes; true when closed with OK, and then codes
    // holds one code per used button in order. On Cancel codes is unchanged.
    // Button texts and pictures come from the actions.
    bool Execute(TStringArray& codes, TActionLookup actions);
    // Fills both lists: the used buttons from the codes (codes without a
    // button or an action are dropped), the available ones in table order
    // below one separator.
    void FillTrees(const TStringArray& codes);
    // The codes of the used list as they stand.
    TStringArray UsedCodes() const;

    void ActHinzufuegenExecute();
    void ActEntfernenExecute();
    void ActNachObenExecute();
    void ActNachUntenExecute();
    void ActZuruecksetzenExecute();
    // Enables the buttons for the selections.
    void UpdateActions();

    TLayoutList* TreeView1 = nullptr; // available buttons
    TLayoutList* TreeView2 = nullptr; // buttons of the tool bar
    QPushButton* ButHinzufuegen = nullptr;
    QPushButton* ButEntfernen = nullptr;
    QPushButton* ButNachOben = nullptr;
    QPushButton* ButNachUnten = nullptr;
    QPushButton* ButZuruecksetzen = nullptr;

private:
    QListWidgetItem* NewButtonItem(int row) const;
    QListWidgetItem* NewSeparatorItem() const;

    TActionLookup m_actions;
};
