// How the grid reads: its cells in the palette's colours with every mark
// readable, a grid the user picks a row from, the headings assistive
// technology reads, and columns as wide as their texts.
#include <QAccessible>
#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "palettes.h"
#include "screen_harness.h"
#include "ui/contrast.h"
#include "ui/grid.h"
#include "ui/twips.h"

using valmora::testing::CellBackground;
using valmora::ui::ContrastRatio;
using valmora::ui::Grid;

namespace {

QColor CellText(const Grid* grid, int row, int col) { return grid->item(row, col)->foreground().color(); }

// The IRR grid as the deterministic screen has it: a heading row, the rate
// numbers in the fixed column, three rates.
struct RateGrid {
    RateGrid() {
        window.resize(valmora::ui::TwipsSize(6000, 3000));
        before = new QLineEdit(&window);
        grid = new Grid(&window);
        valmora::ui::Place(grid, 240, 720, 1815, 1215);
        after = new QLineEdit(&window);
        before->move(0, 200);
        QWidget::setTabOrder(before, grid);
        QWidget::setTabOrder(grid, after);
        grid->SetRows(4);
        grid->SetText(0, 0, " # ");
        grid->SetText(0, 1, "Value");
        for (int r = 1; r <= 3; ++r) {
            grid->SetText(r, 0, QString::number(r));
            grid->SetText(r, 1, QString::number(0.4 - 0.1 * r));
        }
        grid->SetCurrentCellColor(QColor(0, 0, 255));
        grid->SetPicking(true);
        grid->SetCurrent(0, 0);
        // A click on a rate's number picks its rate, as on the screen.
        QObject::connect(grid, &Grid::Click, grid, [this](int row, int) {
            if (row >= 1) grid->SetCurrent(row, 1);
        });
        window.show();
    }

    void ClickCell(int row, int col) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, col)).center());
    }

    // Rows whose rate cell is drawn in the picked colour.
    QList<int> BlueRows() const {
        QList<int> rows;
        for (int r = 1; r < grid->Rows(); ++r)
            if (CellBackground(grid, r, 1) == QColor(0, 0, 255)) rows << r;
        return rows;
    }

    // True when the cell shows the keyboard's frame: its inner edge in the
    // highlight colour.
    bool Framed(int row, int col) const {
        const QImage shot = grid->viewport()->grab().toImage();
        const QRect cell = grid->visualRect(grid->model()->index(row, col));
        const QColor highlight = grid->palette().color(QPalette::Active, QPalette::Highlight);
        return shot.pixelColor(cell.center().x(), cell.top() + 1) == highlight &&
               shot.pixelColor(cell.left() + 1, cell.center().y()) == highlight;
    }

    QWidget window;
    QLineEdit* before;
    Grid* grid;
    QLineEdit* after;
};

}  // namespace

class GridReadingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { valmora::testing::PrepareApplication(); }

    void cellsTakeThePaletteAndMarksRead_data() {
        QTest::addColumn<QPalette>("palette");
        QTest::newRow("light") << valmora::testing::LightPalette();
        QTest::newRow("dark") << valmora::testing::DarkPalette();
    }
    void cellsTakeThePaletteAndMarksRead() {
        QFETCH(QPalette, palette);
        QWidget window;
        auto* grid = new Grid(&window);
        grid->SetCols(4);
        grid->SetText(0, 1, "1");
        grid->SetText(1, 1, "500");
        grid->SetCurrentCellColor(QColor(255, 255, 128));
        grid->SetCurrent(1, 2);
        grid->SetCellColor(1, 3, QColor(255, 255, 0));
        window.show();
        // The palette changes under a grid already shown, as a desktop theme does.
        const valmora::testing::PaletteInUse inUse(palette);
        struct Case {
            const char* name;
            int row;
            int col;
            QColor back;
            QColor text;  // invalid: any text colour that reads
        };
        const Case cases[] = {
            {"a scrollable cell", 1, 1, palette.color(QPalette::Base), palette.color(QPalette::Text)},
            {"a heading", 0, 1, palette.color(QPalette::Button), palette.color(QPalette::ButtonText)},
            {"the current cell", 1, 2, QColor(255, 255, 128), QColor()},
            {"a marked cell", 1, 3, QColor(255, 255, 0), QColor()},
        };
        for (const Case& c : cases) {
            QVERIFY2(CellBackground(grid, c.row, c.col) == c.back,
                     qPrintable(QString(c.name) + " " + CellBackground(grid, c.row, c.col).name()));
            // The current cell's own colour is not a mark.
            if (c.col != 2) QVERIFY2(grid->CellColor(c.row, c.col) == c.back, c.name);
            if (c.text.isValid()) QVERIFY2(CellText(grid, c.row, c.col) == c.text, c.name);
            QVERIFY2(ContrastRatio(CellText(grid, c.row, c.col), c.back) >= 4.5, c.name);
        }
        // White paints the mark away: the cell is the palette's again.
        grid->SetCellColor(1, 3, QColor(255, 255, 255));
        QCOMPARE(CellBackground(grid, 1, 3), palette.color(QPalette::Base));
        QCOMPARE(CellText(grid, 1, 3), palette.color(QPalette::Text));
    }

    void focusByTheProgramOrTabMakesTheFirstRateCurrentUnpicked_data() {
        QTest::addColumn<int>("reason");
        QTest::newRow("after a search") << int(Qt::OtherFocusReason);
        QTest::newRow("by Tab") << int(Qt::TabFocusReason);
        QTest::newRow("by Shift+Tab") << int(Qt::BacktabFocusReason);
    }
    void focusByTheProgramOrTabMakesTheFirstRateCurrentUnpicked() {
        QFETCH(int, reason);
        RateGrid g;
        QVERIFY(QTest::qWaitForWindowActive(&g.window));
        QSignalSpy entered(g.grid, &Grid::EnterCell);
        if (reason == Qt::OtherFocusReason) {
            g.grid->setFocus();
        } else {
            QLineEdit* from = reason == Qt::TabFocusReason ? g.before : g.after;
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Tab, reason == Qt::TabFocusReason ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QVERIFY(g.grid->hasFocus());
        QCOMPARE(g.grid->Row(), 1);
        QCOMPARE(g.grid->Col(), 1);
        QCOMPARE(entered.size(), 0);
        // Current, framed, and not picked.
        QCOMPARE(g.BlueRows(), QList<int>());
        QVERIFY(g.Framed(1, 1));
        QVERIFY(!g.Framed(2, 1));
        // Enter picks it at once.
        QSignalSpy keys(g.grid, &Grid::KeyPress);
        QTest::keyClick(g.grid, Qt::Key_Return);
        QCOMPARE(keys.size(), 1);
        QCOMPARE(g.BlueRows(), QList<int>({1}));
        QVERIFY(g.grid->IsPicked(1, 1));
        QVERIFY(!g.Framed(1, 1));
    }

    void arrowsMoveWithoutPickingAndTheKeysPick() {
        RateGrid g;
        QVERIFY(QTest::qWaitForWindowActive(&g.window));
        g.grid->setFocus();
        struct Step {
            const char* name;
            Qt::Key key;
            int current;
            QList<int> blue;
            int framed;  // 0: none
        };
        const Step steps[] = {
            {"Down moves, nothing picked", Qt::Key_Down, 2, {}, 2},
            {"Space picks", Qt::Key_Space, 2, {2}, 0},
            {"Down again: the pick stays", Qt::Key_Down, 3, {2}, 3},
            {"Up over the picked rate", Qt::Key_Up, 2, {2}, 0},
            {"Up to the first", Qt::Key_Up, 1, {2}, 1},
            {"Enter picks the first", Qt::Key_Enter, 1, {1}, 0},
        };
        for (const Step& s : steps) {
            QTest::keyClick(g.grid, s.key);
            QVERIFY2(g.grid->Row() == s.current, s.name);
            QVERIFY2(g.BlueRows() == s.blue, s.name);
            if (s.framed) QVERIFY2(g.Framed(s.framed, 1), s.name);
        }
        // The frame shows only while the grid has the focus.
        QTest::keyClick(g.grid, Qt::Key_Down);
        QVERIFY(g.Framed(2, 1));
        g.after->setFocus();
        QVERIFY(!g.Framed(2, 1));
    }

    void clicksPickAndTheProgramUnpicks() {
        RateGrid g;
        QVERIFY(QTest::qWaitForWindowActive(&g.window));
        g.ClickCell(2, 1);
        QCOMPARE(g.BlueRows(), QList<int>({2}));
        // The rate's number picks the rate beside it.
        g.ClickCell(3, 0);
        QCOMPARE(g.BlueRows(), QList<int>({3}));
        QCOMPARE(g.grid->Col(), 1);
        // A heading picks nothing and leaves the pick.
        g.ClickCell(0, 1);
        QCOMPARE(g.BlueRows(), QList<int>({3}));
        // The program moving the current cell away leaves nothing picked.
        g.grid->SetCurrent(3, 1);
        QCOMPARE(g.BlueRows(), QList<int>({3}));
        g.grid->SetCurrent(0, 0);
        QCOMPARE(g.BlueRows(), QList<int>());
        // Rows cut away take their pick with them.
        g.ClickCell(3, 1);
        g.grid->SetRows(3);
        g.grid->SetRows(4);
        QCOMPARE(g.BlueRows(), QList<int>());
    }

    void headingsAreReadWithTheCells() {
        RateGrid g;
        g.grid->SetRowHeadings({"", "First rate"});
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(g.grid);
        QVERIFY(table && table->tableInterface());
        struct Case {
            int row;
            int col;
            const char* name;
            const char* column;
            const char* rowHeading;
        };
        const Case cases[] = {
            {1, 1, "0.3", "Value", "First rate"},
            {2, 1, "0.2", "Value", "2"},
            {3, 0, "3", "#", "3"},
        };
        for (const Case& c : cases) {
            QAccessibleInterface* cell = table->tableInterface()->cellAt(c.row, c.col);
            QVERIFY(cell && cell->tableCellInterface());
            QCOMPARE(cell->text(QAccessible::Name), QString(c.name));
            const QList<QAccessibleInterface*> columns = cell->tableCellInterface()->columnHeaderCells();
            const QList<QAccessibleInterface*> rows = cell->tableCellInterface()->rowHeaderCells();
            QCOMPARE(columns.size(), 1);
            QCOMPARE(rows.size(), 1);
            QCOMPARE(columns[0]->text(QAccessible::Name), QString(c.column));
            QCOMPARE(rows[0]->text(QAccessible::Name), QString(c.rowHeading));
        }
        // A heading written later is read too.
        g.grid->SetText(0, 1, "IRR");
        QAccessibleInterface* cell = table->tableInterface()->cellAt(2, 1);
        QCOMPARE(cell->tableCellInterface()->columnHeaderCells()[0]->text(QAccessible::Name), QString("IRR"));
    }

    void columnsGivenAWidthFitTheirTexts() {
        QWidget window;
        auto* grid = new Grid(&window);
        valmora::ui::Place(grid, 0, 0, 6000, 1200);
        grid->SetRows(3);
        grid->SetCols(3);
        const int asked = valmora::ui::Twips(600);
        grid->SetColWidthTwips(1, 600);
        QCOMPARE(grid->columnWidth(1), asked);
        grid->SetText(1, 1, "0.1");
        QCOMPARE(grid->columnWidth(1), asked);  // a short text keeps the width asked for
        grid->SetText(2, 1, "-0.987654321012");
        const int wide = grid->fontMetrics().horizontalAdvance("-0.987654321012");
        QVERIFY(grid->columnWidth(1) > wide);
        // A larger font widens the column again.
        QFont big = grid->font();
        big.setPointSizeF(16);
        grid->setFont(big);
        QVERIFY(grid->columnWidth(1) > QFontMetrics(big).horizontalAdvance("-0.987654321012"));
        // A column the program gave no width keeps the default: its text shows its start.
        grid->SetText(1, 2, "-0.987654321012");
        QCOMPARE(grid->columnWidth(2), valmora::ui::Twips(960));
    }
};

QTEST_MAIN(GridReadingTest)
#include "grid_reading_test.moc"
