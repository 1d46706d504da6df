#pragma once

#include "common/LayoutArrays.h"

#include <QDialog>

#include <memory>
#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TMyThemedPanel;
class TUpDownEdit;

// One column while the chooser runs: its ID and width. A column keeps its
// object when it moves between the two lists, and with it its width.
struct TSpaltenID {
    QString ID;
    int Width = 0;
};

// The column chooser: an ordered choice of columns out of the column
// catalogue, with a width per column (the file list) or a tick per column
// (the export's links). Callers pass three parallel arrays and get them back
// on OK.
class TFormSpalten : public QDialog {
    Q_OBJECT
public:
    // Images of the list entries.
    enum TImage { imColumn = 0, imUnticked = 1, imTicked = 2 };

    explicit TFormSpalten(QWidget* parent = nullptr);
    ~TFormSpalten() override;

    // Shows the chooser. In: ids the chosen columns in order, widths[i] and
    // ticks[i] their width and tick (missing widths: the catalogue's
    // default; missing ticks: not ticked). info is shown above the lists (an
    // empty text hides it); showWidths shows the width field; tickMode the
    // ticks. On OK the three arrays are replaced by one entry per chosen
    // column in order (ticks all false outside tick mode) and the result is
    // true; on Cancel they stay as they were.
    bool Execute(const QString& info, bool showWidths, bool tickMode, TStringArray& ids, TWordArray& widths,
                 TBoolArray& ticks);

    // Fills both lists: the available ones in catalogue order, the chosen ones
    // as given (IDs the catalogue does not hold are left out).
    void FillTrees(const TStringArray& ids, const TWordArray& widths, const TBoolArray& ticks);

    void ActHinzufuegenExecute();
    void ActEntfernenExecute();
    void ActNachObenExecute();
    void ActNachUntenExecute();
    void ActZuruecksetztenExecute();
    // Toggles the tick of the selected chosen column (tick mode only).
    void ToggleTick();

    QTreeWidget* TreeView1 = nullptr; // available columns
    QTreeWidget* TreeView2 = nullptr; // chosen columns
    QWidget* PanBreiten = nullptr;
    TUpDownEdit* EBreite = nullptr;
    QWidget* PanHinweis = nullptr;
    QLabel* labHinweis = nullptr;
    QAction* ActHinzufuegen = nullptr;
    QAction* ActEntfernen = nullptr;
    QAction* ActNachOben = nullptr;
    QAction* ActNachUnten = nullptr;
    QAction* ActZuruecksetzten = nullptr;

    // The column of an entry of either list.
    TSpaltenID* ColumnOf(const QTreeWidgetItem* item) const;
    static int ImageOf(const QTreeWidgetItem* item);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildWindow();
    QTreeWidget* NewTree(const QString& heading, QWidget*& box);
    QTreeWidgetItem* NewItem(TSpaltenID* column, int image) const;
    void SetImage(QTreeWidgetItem* item, int image) const;
    // The width field follows the chosen list's selection, storing the width
    // it showed into its column first.
    void TreeView2Change();
    void UpdateActions();
    // Moves the selected chosen entry to a new row.
    void MoveChosen(int to);

    std::vector<std::unique_ptr<TSpaltenID>> m_columns;
    TSpaltenID* m_widthColumn = nullptr;
    bool m_tickMode = false;
    bool m_filling = false;
};
