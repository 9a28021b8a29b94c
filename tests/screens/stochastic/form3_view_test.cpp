// The stochastic screen's series grid after a run of a long series: its fixed
// cells stay in view while the rest scrolls.
#include <QApplication>

#include "form3_driver.h"

using namespace valmora;
using valmora::testing::CellShows;
using valmora::testing::Click;
using valmora::testing::Form3Driver;

class Form3ViewTest : public QObject {
    Q_OBJECT

private slots:
    void fixedCellsStayWhileTheSeriesScrolls() {
        Form3Driver d;
        d.UniformOnTabOne("-4096", "4096", 72);
        d.ChooseNotSaving();
        d.f->HScroll1->setValue(1);
        Click(d.f->Command4);
        QCOMPARE(d.h.dialogs.Texts().last(), QString("Simulation Complete"));

        ui::Grid* g = d.f->MSHFlexGrid1;
        QVERIFY(!CellShows(g, 1, 72));
        valmora::testing::ScrollToEnd(g->horizontalScrollBar());
        QVERIFY(CellShows(g, 1, 72));
        QVERIFY(!CellShows(g, 1, 1));
        // The headings and the investment with the derivative's first
        // coefficient stay where they were.
        for (int row = 0; row < 3; ++row) QVERIFY(CellShows(g, row, 0));
        QVERIFY(CellShows(g, 0, 72));
        QCOMPARE(g->Text(0, 72), QString("72"));
        QVERIFY(!g->Text(1, 72).isEmpty());
    }
};

QTEST_MAIN(Form3ViewTest)
#include "form3_view_test.moc"
