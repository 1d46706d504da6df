#include "dialogs/DialogParts.h"

#include "controls/LayoutList.h"
#include "controls/MyThemedPanel.h"
#include "platform/Help.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace DialogParts {

namespace {

// A page selector is this much wider than the cells of its captions.
constexpr int SelectorFrame = 8;

}

QPushButton* NewButton(QWidget* parent, const char* name, const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QLabel* NewTextLabel(QWidget* parent, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

TMyThemedPanel* NewHeading(QWidget* parent, const QString& caption)
{
    auto* heading = new TMyThemedPanel(parent);
    heading->SetTheme(TThemeType::ttExplorerBar);
    heading->SetCaption(caption);
    heading->SetAlignment(Qt::AlignLeft);
    heading->SetBorderWidth(4);
    heading->setFixedHeight(heading->sizeHint().height() + 2);
    return heading;
}

QWidget* HeadedList(QWidget* parent, const QString& heading, TLayoutList* list)
{
    auto* column = new QWidget(parent);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(NewHeading(column, heading));
    list->setParent(column);
    layout->addWidget(list, 1);
    return column;
}

QListWidget* NewPageSelector(QWidget* parent, int width, int iconSize)
{
    auto* selector = new QListWidget(parent);
    selector->setViewMode(QListView::IconMode);
    selector->setFlow(QListView::TopToBottom);
    selector->setMovement(QListView::Static);
    selector->setWrapping(false);
    selector->setIconSize(QSize(iconSize, iconSize));
    selector->setGridSize(QSize(width - SelectorFrame, 70));
    selector->setFixedWidth(width);
    selector->setEditTriggers(QAbstractItemView::NoEditTriggers);
    selector->setSelectionMode(QAbstractItemView::SingleSelection);
    selector->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    selector->viewport()->setCursor(Qt::PointingHandCursor);
    return selector;
}

void FitPageSelector(QListWidget* selector)
{
    const QFontMetrics metrics(selector->font());
    // The item view keeps this much room free on either side of a caption.
    const int margin = selector->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, selector) + 1;
    int widest = 0;
    for (int row = 0; row < selector->count(); ++row)
        for (const QString& line : selector->item(row)->text().split(QLatin1Char('\n')))
            widest = std::max(widest, metrics.horizontalAdvance(line) + 2 * margin);
    const QSize grid = selector->gridSize();
    if (widest <= grid.width())
        return;
    selector->setGridSize(QSize(widest, grid.height()));
    selector->setFixedWidth(widest + SelectorFrame);
}

TMyThemedPanel* NewPageTitle(QWidget* parent)
{
    auto* title = new TMyThemedPanel(parent);
    title->SetTheme(TThemeType::ttRebar);
    title->SetThemePartID(6);
    title->SetAlignment(Qt::AlignLeft);
    title->SetBorderWidth(6);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    title->setMinimumHeight(30);
    return title;
}

QHBoxLayout* NewPagedBody(QLayout* selector, QWidget* title, QWidget* pages)
{
    auto* right = new QVBoxLayout;
    right->addWidget(title);
    right->addWidget(pages, 1);
    auto* body = new QHBoxLayout;
    body->addLayout(selector);
    body->addLayout(right, 1);
    return body;
}

TDialogButtons NewOkCancelRow(QDialog* dialog, QWidget* extra, const char* okName, const char* cancelName)
{
    TDialogButtons buttons;
    buttons.Row = new QHBoxLayout;
    if (extra)
        buttons.Row->addWidget(extra);
    buttons.Row->addStretch(1);
    buttons.Ok = NewButton(dialog, okName, "%OK");
    buttons.Ok->setDefault(true);
    buttons.Cancel = NewButton(dialog, cancelName, "%Cancel");
    QObject::connect(buttons.Ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.Cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    buttons.Row->addWidget(buttons.Ok);
    buttons.Row->addWidget(buttons.Cancel);
    return buttons;
}

void ConnectHelpButton(QPushButton& button, const char* page)
{
    button.setAutoDefault(false);
    button.setVisible(true);
    QObject::connect(&button, &QPushButton::clicked, &button,
                     [page = QString::fromLatin1(page)] { ShowHelpPage(page); });
}

}
