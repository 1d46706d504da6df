#pragma once

#include "localisation/LanguageRes.h"

#include <QIcon>
#include <QStyledItemDelegate>

// Draws one row of the language list: a picture in front of built-in
// languages, the language's own name and, from the middle on, its English
// name; struck out when the file was made for another program version.
class TLanguageItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // rows must outlive the delegate; each item's user data is its row index.
    TLanguageItemDelegate(const TLanguageResList& rows, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    static constexpr int RowHeight = 18;
    static constexpr int ImageSize = 16;

private:
    const TLanguageRes* RowOf(const QModelIndex& index) const;

    const TLanguageResList& m_rows;
    QIcon m_builtInImage;
};
