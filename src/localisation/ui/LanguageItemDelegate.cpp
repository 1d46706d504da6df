#include "localisation/ui/LanguageItemDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

TLanguageItemDelegate::TLanguageItemDelegate(const TLanguageResList& rows, QObject* parent)
    : QStyledItemDelegate(parent), m_rows(rows), m_builtInImage(QApplication::style()->standardIcon(QStyle::SP_ComputerIcon))
{
}

const TLanguageRes* TLanguageItemDelegate::RowOf(const QModelIndex& index) const
{
    if (!index.isValid())
        return nullptr;
    bool ok = false;
    const int row = index.data(Qt::UserRole).toInt(&ok);
    if (!ok || row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}

void TLanguageItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const TLanguageRes* language = RowOf(index);
    if (!language)
        return;
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

    painter->save();
    QFont font = option.font;
    if (!language->IsCurrentVersion())
        font.setStrikeOut(true);
    painter->setFont(font);
    painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));

    const QRect r = option.rect;
    if (language->IsBuiltIn()) {
        const int y = r.top() + (r.height() - ImageSize) / 2;
        m_builtInImage.paint(painter, QRect(r.left() + 2, y, ImageSize, ImageSize));
    }
    const int textLeft = r.left() + ImageSize + 6;
    const int middle = r.left() + (r.width() - (ImageSize + 6)) / 2;
    const QRect first(textLeft, r.top(), qMax(0, middle - textLeft - 4), r.height());
    const QRect second(middle, r.top(), qMax(0, r.right() - middle), r.height());
    painter->drawText(first, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(language->Language, Qt::ElideRight, first.width()));
    painter->drawText(second, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
                      painter->fontMetrics().elidedText(language->LanguageInt, Qt::ElideRight, second.width()));
    painter->restore();
}

QSize TLanguageItemDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QSize size = QStyledItemDelegate::sizeHint(option, index);
    return QSize(size.width(), qMax(RowHeight, option.fontMetrics.height() + 2));
}
