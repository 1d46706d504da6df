#pragma once

#include "tagengine/Eintragdaten.h"

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>
#include <QList>

// The text of one catalogue column for an entry; empty outside the catalogue.
QString GetCellText(const TEintragdaten& entry, int catalogueIndex);
// The cell as the list shows it: a file or folder name that is not valid
// UTF-8 is marked ("NameNotValidUTF8").
QString GetShownCellText(const TEintragdaten& entry, int catalogueIndex);
// The mark of a name that is not valid UTF-8, appended to the name.
QString NameNotValidUTF8Mark();

// Row images of the file list (indexes into the tool-button image list):
// riUnsupported marks a tag that is not read or not read whole, so that the
// file's tags cannot be changed.
enum TRowImage { riNormal = 0, riTemplate = 1, riReadFailed = 23, riUnsupported = 43 };
TRowImage RowImageOf(const TEintragdaten& entry, const TEintragdaten* templateEntry);

// The file list's data: column 0 is a fixed icon column, every further column
// a row of the column catalogue. The entries are the main window's; the model
// shows as many rows as it is told (an owner-data list: it keeps no data of
// its own and computes each cell when the view asks).
class TFileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int IconColumnWidth = 20;

    explicit TFileListModel(const TEintragdatenList& entries, QObject* parent = nullptr);

    void SetRowCount(int count);
    int RowCount() const { return m_rowCount; }

    // Catalogue indexes of the columns after the icon column.
    void SetColumns(const QList<int>& catalogueIndexes);
    const QList<int>& Columns() const { return m_columns; }
    // The catalogue index of a model column; -1 for the icon column.
    int ColumnTag(int column) const;

    void SetTemplateEntry(const TEintragdaten* entry) { m_template = entry; }
    // Rows of entries that match the search are drawn in bold (a copy of the
    // view's font); nullptr: none. The config is the caller's and must live
    // as long as it is set.
    void SetSearch(const TMP3SearchConfig* config, const QFont& bold);
    void SetRowImages(QList<QIcon> images) { m_images = std::move(images); }

    // Repaints rows first..last.
    void RefreshRows(int first, int last);
    // Captions again (after a language change).
    void RefreshHeader();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    const TEintragdaten* EntryAt(int row) const;
    Qt::Alignment AlignmentOf(int column) const;

    const TEintragdatenList& m_entries;
    int m_rowCount = 0;
    QList<int> m_columns;
    const TEintragdaten* m_template = nullptr;
    const TMP3SearchConfig* m_search = nullptr;
    QFont m_bold;
    QList<QIcon> m_images;
};
