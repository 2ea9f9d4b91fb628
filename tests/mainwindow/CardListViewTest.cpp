// The card list's own view: lines of one height, placed by number.
#include "mainwindow/CardListView.h"

#include <QScrollBar>
#include <QStringListModel>
#include <QTest>

#include <gtest/gtest.h>

using veltro::mainwindow::CardListView;

namespace {

class CardListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        QStringList lines;
        for (int i = 0; i < 1000; ++i) {
            lines << QStringLiteral("Karte %1").arg(i);
        }
        model_.setStringList(lines);
        view_.setModel(&model_);
        view_.resize(200, 205);
        view_.show();
        QCoreApplication::processEvents();
    }
    [[nodiscard]] int topRow() const { return view_.indexAt(QPoint(5, 1)).row(); }
    [[nodiscard]] int lineHeight() const { return view_.visualRect(model_.index(0)).height(); }
    [[nodiscard]] int wholeLines() const { return view_.viewport()->height() / lineHeight(); }

    QStringListModel model_;
    CardListView view_;
};

TEST_F(CardListViewTest, PlacesEveryLineByItsNumber) {
    const int h = lineHeight();
    ASSERT_GT(h, 0);
    for (const int row : {0, 1, 5, wholeLines() - 1}) {
        const QRect rect = view_.visualRect(model_.index(row));
        EXPECT_EQ(rect.top(), row * h);
        EXPECT_EQ(view_.indexAt(rect.center()).row(), row);
    }
    EXPECT_FALSE(view_.indexAt(QPoint(5, -1)).isValid());
    EXPECT_EQ(view_.verticalScrollBar()->maximum(), 1000 - wholeLines());
}

TEST_F(CardListViewTest, ScrollsAsAskedAndOnlyAsFarAsNeeded) {
    struct Case {
        int row;
        QAbstractItemView::ScrollHint hint;
        int top;
    };
    const int lines = wholeLines();
    for (const Case& c : {Case{500, QAbstractItemView::PositionAtTop, 500},
                          Case{505, QAbstractItemView::EnsureVisible, 500},
                          Case{490, QAbstractItemView::EnsureVisible, 490},
                          Case{600, QAbstractItemView::EnsureVisible, 600 - lines + 1},
                          Case{700, QAbstractItemView::PositionAtBottom, 700 - lines + 1},
                          Case{999, QAbstractItemView::PositionAtTop, 1000 - lines},
                          Case{3, QAbstractItemView::PositionAtCenter, 0}}) {
        view_.scrollTo(model_.index(c.row), c.hint);
        EXPECT_EQ(topRow(), c.top) << c.row << " " << c.hint;
    }
}

TEST_F(CardListViewTest, KeysMoveTheCurrentLine) {
    struct Case {
        Qt::Key key;
        int row;
    };
    view_.setFocus();
    view_.setCurrentIndex(model_.index(10));
    for (const Case& c : {Case{Qt::Key_Down, 11}, Case{Qt::Key_Up, 10},
                          Case{Qt::Key_PageDown, 10 + wholeLines()}, Case{Qt::Key_End, 999},
                          Case{Qt::Key_Down, 999}, Case{Qt::Key_Home, 0}, Case{Qt::Key_Up, 0}}) {
        QTest::keyClick(&view_, c.key);
        EXPECT_EQ(view_.currentIndex().row(), c.row) << c.key;
        const QRect shown = view_.visualRect(view_.currentIndex());
        EXPECT_TRUE(view_.viewport()->rect().contains(shown)) << "scrolled into view";
    }
}

TEST_F(CardListViewTest, AClickSelectsTheLineUnderTheMouse) {
    view_.scrollTo(model_.index(300), QAbstractItemView::PositionAtTop);
    const QRect third = view_.visualRect(model_.index(302));
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(view_.currentIndex().row(), 302);
    EXPECT_TRUE(view_.selectionModel()->isSelected(model_.index(302)));
}

TEST_F(CardListViewTest, AResetStartsAtTheTopWithTheNewLength) {
    view_.scrollTo(model_.index(800), QAbstractItemView::PositionAtTop);
    model_.setStringList({QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(topRow(), 0);
    EXPECT_EQ(view_.verticalScrollBar()->maximum(), 0);
    EXPECT_FALSE(view_.indexAt(QPoint(5, 2 * lineHeight() + 1)).isValid());
}

}  // namespace
