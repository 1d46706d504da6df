#include "controls/MyListView.h"
#include "support/gui/SingleClickStyle.h"

#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStyleOptionHeader>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Exposes the header's style option of a column.
class TProbeHeader : public TMyHeaderView {
public:
    QStyleOptionHeader OptionOf(int column) const
    {
        QStyleOptionHeader option;
        initStyleOptionForIndex(&option, column);
        return option;
    }
};

std::unique_ptr<QStandardItemModel> Rows(const QStringList& texts, int columns)
{
    auto model = std::make_unique<QStandardItemModel>(static_cast<int>(texts.size()), columns);
    for (int row = 0; row < texts.size(); ++row)
        model->setItem(row, 0, new QStandardItem(texts[row]));
    return model;
}

}

TEST(MyListViewTest, ColumnCaptionsShowSortMarksAndEndInAnEllipsisWhenCut)
{
    auto model = Rows({"a"}, 3);
    TProbeHeader header;
    header.setModel(model.get());
    header.SetColumnImage(1, TMyHeaderView::SortAscendingImage);
    header.SetColumnImage(2, TMyHeaderView::SortDescendingImage);
    EXPECT_EQ(header.OptionOf(0).sortIndicator, QStyleOptionHeader::None);
    EXPECT_EQ(header.OptionOf(1).sortIndicator, QStyleOptionHeader::SortDown);
    EXPECT_EQ(header.OptionOf(2).sortIndicator, QStyleOptionHeader::SortUp);

    // A caption that does not fit ends in an ellipsis.
    model->setHorizontalHeaderLabels({"Track Number Of The Song", "x"});
    header.resizeSection(0, 40);
    EXPECT_TRUE(header.OptionOf(0).text.endsWith(QChar(0x2026))) << header.OptionOf(0).text.toStdString();
    header.resizeSection(0, 400);
    EXPECT_EQ(header.OptionOf(0).text, QStringLiteral("Track Number Of The Song"));
}

TEST(MyListViewTest, TypeAheadAsksTheOwnerAndSelectsTheMatch)
{
    TMyListView view;
    auto model = Rows({"alpha", "beta", "bravo", "charlie"}, 1);
    view.setModel(model.get());
    view.SetFindHandler([&](const QString& text, int start, bool wrap) {
        EXPECT_TRUE(wrap);
        for (int i = 0; i < 4; ++i) {
            const int row = (start + i) % 4;
            if (model->item(row)->text().startsWith(text))
                return row;
        }
        return -1;
    });
    view.setCurrentIndex(model->index(0, 0));
    view.keyboardSearch(QStringLiteral("b"));
    EXPECT_EQ(view.currentIndex().row(), 1);
    view.keyboardSearch(QStringLiteral("r")); // typed on: "br", from the current row
    EXPECT_EQ(view.currentIndex().row(), 2);
    EXPECT_TRUE(view.selectionModel()->isRowSelected(2, QModelIndex()));
}

TEST(MyListViewTest, AMouseClickOnTheHeaderAsksForSorting)
{
    TMyListView view;
    auto model = Rows({"a", "b"}, 3);
    model->setHorizontalHeaderLabels({"Title", "A very long column caption", "Artist"});
    view.setModel(model.get());
    view.resize(400, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));

    QSignalSpy clicked(&view, &TMyListView::ColumnClicked);
    const int x = view.Header()->sectionViewportPosition(2) + view.Header()->sectionSize(2) / 2;
    QTest::mouseClick(view.Header()->viewport(), Qt::LeftButton, {}, QPoint(x, view.Header()->height() / 2));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 2);
}

TEST(MyListViewTest, ADoubleClickOrEnterOpensARowASingleClickSelectsWhateverTheDesktopSays)
{
    TSingleClickStyle style;
    TMyListView view;
    view.setStyle(&style);
    auto model = Rows({"alpha", "beta", "gamma"}, 1);
    view.setModel(model.get());
    view.resize(300, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QSignalSpy opened(&view, &TMyListView::RowOpened);
    QSignalSpy activated(&view, &QAbstractItemView::activated);
    const QModelIndex beta = model->index(1, 0);
    const QPoint onBeta = view.visualRect(beta).center();

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, onBeta);
    EXPECT_EQ(activated.count(), 1) << "the view sees the desktop's single-click setting";
    EXPECT_EQ(opened.count(), 0);
    EXPECT_EQ(view.selectionModel()->selectedRows(), QModelIndexList({beta}));

    // Neither the right button nor a double click below the rows opens one.
    QTest::mouseDClick(view.viewport(), Qt::RightButton, Qt::NoModifier, onBeta);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, view.viewport()->height() - 4));
    EXPECT_EQ(opened.count(), 0);

    QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, onBeta);
    ASSERT_EQ(opened.count(), 1);
    EXPECT_EQ(opened.at(0).at(0).value<QModelIndex>(), beta);

    view.setCurrentIndex(model->index(2, 0));
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClick(&view, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(opened.count(), 3);
    EXPECT_EQ(opened.at(2).at(0).value<QModelIndex>(), model->index(2, 0));
}
