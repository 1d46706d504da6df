#pragma once

#include <QDialog>

class QAction;
class QTreeWidget;
class TNameValueCollection;

// The organiser of the favourite folders: the user renames favourites in
// place and deletes them; nothing changes until OK.
class TFormFavorites : public QDialog {
    Q_OBJECT
public:
    explicit TFormFavorites(QWidget* parent = nullptr);

    // Shows the organiser on the favourites; on OK applies the new names and
    // the deletions and answers true, otherwise leaves them as they were.
    bool Execute(TNameValueCollection& favorites);

    QTreeWidget* TreeView1 = nullptr;
    QAction* actRename = nullptr;
    QAction* actDelete = nullptr;

private:
    void Fill(const TNameValueCollection& favorites);
    // Each pair whose node is left takes the node's text; the pairs whose
    // nodes were deleted go.
    void Apply(TNameValueCollection& favorites) const;
    void UpdateActionStates();
};
