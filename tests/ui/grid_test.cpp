// The grid the screens share: fixed rows and columns stay in place while the
// other cells scroll, cells too narrow for their text offer it as a tool tip,
// and a grid entered by Tab puts its current cell where typing can go.
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "screen_harness.h"
#include "ui/grid.h"
#include "ui/twips.h"

using valmora::ui::Grid;

namespace {

using valmora::testing::CellShows;

// The cell's rectangle in the viewport, empty when it is scrolled away.
QRect CellRect(Grid* g, int row, int col) {
    const QRect rect = g->visualRect(g->model()->index(row, col));
    return rect.intersected(g->viewport()->rect());
}

// True when the whole height of the row shows inside the viewport.
bool RowShows(Grid* g, int row) {
    const QRect rect = g->visualRect(g->model()->index(row, 0));
    return rect.isValid() && rect.top() >= 0 && rect.bottom() <= g->viewport()->rect().bottom();
}

}  // namespace

class GridTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { valmora::testing::PrepareApplication(); }

    void init() {
        window_ = new QWidget;
        window_->resize(valmora::ui::TwipsSize(9000, 3000));
        grid_ = new Grid(window_);
        valmora::ui::Place(grid_, 240, 360, 6255, 855);  // the payment grid's place
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_));
    }

    void cleanup() { delete window_; }

    void headingsStayWhileColumnsScroll() {
        Grid* g = grid_;
        g->SetCols(61);
        for (int k = 0; k <= 60; ++k) g->SetText(0, k, QString::number(k));
        g->SetText(1, 0, "-1000");
        g->SetCurrent(1, 60);
        QVERIFY(g->LeftCol() > 1);
        QVERIFY(CellShows(g, 1, 60));
        // The investment column and the heading row are still where they were.
        QVERIFY(CellShows(g, 1, 0));
        QCOMPARE(CellRect(g, 1, 0).left(), 0);
        QVERIFY(CellShows(g, 0, 60));
        // The columns between are out of view, and the bar says where we are.
        QVERIFY(!CellShows(g, 1, 1));
        QScrollBar* bar = g->horizontalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(bar->value(), g->LeftCol() - 1);

        // The bar's arrow scrolls one column at a time, the fixed one stays.
        const int left = g->LeftCol();
        const QRect arrow(0, 0, bar->height(), bar->height());  // the left arrow
        QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
        QCOMPARE(g->LeftCol(), left - 1);
        QVERIFY(CellShows(g, 1, left - 1));
        QCOMPARE(CellRect(g, 1, 0).left(), 0);
        // A click on a scrolled cell reaches that cell.
        QSignalSpy clicks(g, &Grid::Click);
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, CellRect(g, 1, left - 1).center());
        QCOMPARE(clicks.size(), 1);
        QCOMPARE(clicks[0][1].toInt(), left - 1);

        // Back at a fixed cell: the first columns come back.
        g->SetCurrent(1, 0);
        QCOMPARE(g->LeftCol(), 1);
        QVERIFY(CellShows(g, 1, 1));
        QCOMPARE(bar->value(), 0);
    }

    void headingsStayWhileRowsScroll() {
        Grid* g = grid_;
        valmora::ui::Place(g, 4320, 720, 1815, 1215);  // the IRR grid's place
        g->SetCols(2);
        g->SetRows(6);
        g->SetColWidthTwips(0, 600);
        g->SetColWidthTwips(1, 600);
        g->SetText(0, 0, " # ");
        for (int r = 1; r < 6; ++r) g->SetText(r, 0, QString::number(r));
        g->SetCurrent(5, 1);
        QVERIFY(g->TopRow() > 1);
        QVERIFY(CellShows(g, 5, 1));
        QVERIFY(CellShows(g, 0, 0));
        QCOMPARE(CellRect(g, 0, 0).top(), 0);
        QVERIFY(!CellShows(g, 1, 1));
        QScrollBar* bar = g->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(bar->value(), g->TopRow() - 1);
        // The wheel scrolls back; the heading row never leaves.
        while (g->TopRow() > 1) {
            const int top = g->TopRow();
            QWheelEvent wheel(QPointF(CellRect(g, top, 1).center()), QPointF(), QPoint(), QPoint(0, 120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(g->viewport(), &wheel);
            QVERIFY(g->TopRow() < top);
            QCOMPARE(CellRect(g, 0, 0).top(), 0);
        }
        QVERIFY(CellShows(g, 1, 1));
        QCOMPARE(bar->value(), 0);
        // Rows cut away are not scrolled to.
        g->SetCurrent(5, 1);
        g->SetRows(3);
        QCOMPARE(g->TopRow(), 1);
        QVERIFY(CellShows(g, 2, 1));
    }

    void barsMatchWhatShows() {
        // The balances grid of a long series: the bar starts at the top and
        // its handle is as long as the share of rows in view.
        Grid* g = grid_;
        valmora::ui::Place(g, 6600, 720, 2055, 1215);
        g->SetRows(62);
        g->SetColWidthTwips(0, 800);
        g->SetColWidthTwips(1, 1200);
        for (int r = 0; r < 62; ++r) g->SetText(r, 1, QString::number(r));
        QCoreApplication::processEvents();  // the pending layout of the resized grid
        QScrollBar* bar = g->verticalScrollBar();
        QCOMPARE(g->TopRow(), 1);
        QCOMPARE(bar->value(), 0);
        int shown = 0;
        for (int r = 1; r < 62; ++r) shown += RowShows(g, r);
        QCOMPARE(bar->pageStep(), shown);
        QCOMPARE(bar->maximum(), 61 - shown);
    }

    void narrowCellsOfferTheirWholeText() {
        Grid* g = grid_;
        g->SetCols(3);
        g->SetText(1, 1, "7456.3491234");
        g->SetText(1, 2, "100");
        g->SetText(0, 1, "1");
        QCOMPARE(valmora::testing::CellToolTip(g, 1, 1), QString("7456.3491234"));
        QCOMPARE(valmora::testing::CellToolTip(g, 1, 2), QString());
        QCOMPARE(valmora::testing::CellToolTip(g, 0, 1), QString());
        // A wider column takes the whole text; the tip is then not needed.
        g->SetColWidthTwips(1, 2400);
        QCOMPARE(valmora::testing::CellToolTip(g, 1, 1), QString());
    }

    void tabPutsTheCurrentCellWhereTypingGoes() {
        struct Case {
            const char* name;
            bool enters;
            bool backwards;
            int row;
            int col;
            int fromRow;
            int fromCol;
        };
        const Case cases[] = {
            {"Tab onto a heading", true, false, 1, 1, 0, 2},
            {"Shift+Tab onto the fixed column", true, true, 1, 1, 1, 0},
            {"Tab onto a payment stays there", true, false, 1, 2, 1, 2},
            {"a grid that does not ask for it", false, false, 0, 2, 0, 2},
        };
        for (const Case& c : cases) {
            init();
            auto* before = new QLineEdit(window_);
            auto* after = new QLineEdit(window_);
            QWidget::setTabOrder(before, grid_);
            QWidget::setTabOrder(grid_, after);
            before->show();
            after->show();
            QVERIFY(QTest::qWaitForWindowActive(window_));
            grid_->SetCols(3);
            grid_->SetTabEntersFirstCell(c.enters);
            grid_->SetCurrent(c.fromRow, c.fromCol);
            QSignalSpy entered(grid_, &Grid::EnterCell);
            QLineEdit* from = c.backwards ? after : before;
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Tab, c.backwards ? Qt::ShiftModifier : Qt::NoModifier);
            QVERIFY2(grid_->hasFocus(), c.name);
            QCOMPARE(grid_->Row(), c.row);
            QCOMPARE(grid_->Col(), c.col);
            QCOMPARE(entered.size(), 0);  // a move by the program
            cleanup();
        }
        init();  // for cleanup()
    }

private:
    QWidget* window_ = nullptr;
    Grid* grid_ = nullptr;
};

QTEST_MAIN(GridTest)
#include "grid_test.moc"
