// What assistive technology reads: every window's accessibility tree holds
// no control a user works with (a box, spinner, scroll bar, grid, button,
// option, check box, list, tab or slider) without a name; boxes are named by
// the labels beside them, not by the frame around them; grids read their
// headings with each cell.
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include <algorithm>

#include "screen_tour.h"
#include "screens/deterministic/npv_profile_window.h"
#include "screens/common/chart_view.h"

using namespace valmora;
using valmora::testing::ScreenHarness;

namespace {

bool Interactive(QAccessible::Role role) {
    constexpr QAccessible::Role roles[] = {
        QAccessible::EditableText, QAccessible::SpinBox,     QAccessible::ScrollBar, QAccessible::Table,
        QAccessible::Button,       QAccessible::RadioButton, QAccessible::CheckBox,  QAccessible::ComboBox,
        QAccessible::PageTab,      QAccessible::Slider,
    };
    return std::find(std::begin(roles), std::end(roles), role) != std::end(roles);
}

QString Where(QAccessibleInterface* a) {
    QStringList path;
    for (QObject* o = a->object(); o; o = o->parent()) {
        path.prepend(o->metaObject()->className());
        if (o->isWidgetType() && static_cast<QWidget*>(o)->isWindow()) break;
    }
    return QString("%1 (role 0x%2)").arg(path.join(" > ")).arg(int(a->role()), 0, 16);
}

// The interactive controls under `a` that have no name.
void Unnamed(QAccessibleInterface* a, QStringList& found, int depth = 0) {
    if (!a || depth > 50 || a->state().invisible) return;
    if (Interactive(a->role()) && a->text(QAccessible::Name).trimmed().isEmpty()) found << Where(a);
    // A grid's cells are read by their texts and headings.
    if (a->role() == QAccessible::Table) return;
    for (int i = 0; i < a->childCount(); ++i) Unnamed(a->child(i), found, depth + 1);
}

const testing::tour::Stop& StopNamed(const QString& name) {
    static const std::vector<testing::tour::Stop> stops = testing::tour::Stops();
    return *std::find_if(stops.begin(), stops.end(), [&](const auto& s) { return name == s.name; });
}

}  // namespace

class AccessibleNamesTest : public QObject {
    Q_OBJECT

private slots:
    void noControlWithoutAName_data() {
        QTest::addColumn<int>("stop");
        const auto stops = testing::tour::Stops();
        for (int i = 0; i < static_cast<int>(stops.size()); ++i) QTest::addRow("%s", stops[i].name) << i;
    }
    void noControlWithoutAName() {
        QFETCH(int, stop);
        ScreenHarness h;
        testing::tour::Stops()[stop].show(h);
        h.Settle();
        QStringList unnamed;
        int checked = 0;
        for (QWidget* window : testing::tour::ShownWindows()) {
            QAccessibleInterface* root = QAccessible::queryAccessibleInterface(window);
            QVERIFY(root);
            Unnamed(root, unnamed);
            ++checked;
        }
        QVERIFY(checked > 0);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join("\n")));
    }

    // The names that matter most, where a control would otherwise read as its
    // frame or not at all.
    void namesFromTheLabels() {
        struct Case {
            const char* stop;
            const char* control;
            std::function<QObject*(ScreenHarness&)> find;
            QString name;
            QAccessible::Role role;
        };
        auto f1 = [](ScreenHarness& h) -> Form1& { return h.screens.Get<Form1>(); };
        auto f3 = [](ScreenHarness& h) -> Form3& { return h.screens.Get<Form3>(); };
        const Case cases[] = {
            {"deterministic", "investment", [&](ScreenHarness& h) { return f1(h).Text1; },
             "Initial investment  =  ", QAccessible::EditableText},
            {"deterministic", "payments spinner", [&](ScreenHarness& h) { return f1(h).UpDown1; },
             "Number of payments = ", QAccessible::SpinBox},
            {"deterministic", "periods spinner", [&](ScreenHarness& h) { return f1(h).UpDown2; },
             "Compunding / payment periods per year = ", QAccessible::SpinBox},
            {"deterministic", "increment", [&](ScreenHarness& h) { return f1(h).Text4; },
             "Increment = ", QAccessible::EditableText},
            {"deterministic", "tolerance", [&](ScreenHarness& h) { return f1(h).Text5; }, "Newton's Method tolerance",
             QAccessible::EditableText},
            {"deterministic", "maximum roots", [&](ScreenHarness& h) { return f1(h).Text3; },
             "Maximum # of positive real roots =  ", QAccessible::EditableText},
            {"deterministic", "upper bound", [&](ScreenHarness& h) { return f1(h).Text6; },
             "Upper Bound on root(s) for F(x) where x = 1/(1 + i )", QAccessible::EditableText},
            {"deterministic", "payment grid", [&](ScreenHarness& h) { return f1(h).MSHFlexGrid1; }, "Payment array",
             QAccessible::Table},
            {"deterministic", "derivative grid", [&](ScreenHarness& h) { return f1(h).MSHFlexGrid3; }, "1st derivative",
             QAccessible::Table},
            {"deterministic", "IRR grid", [&](ScreenHarness& h) { return f1(h).MSHFlexGrid2; }, "IRR(s)",
             QAccessible::Table},
            {"deterministic", "balances grid", [&](ScreenHarness& h) { return f1(h).MSHFlexGrid4; }, "Project balances",
             QAccessible::Table},
            {"stochastic set-up", "mean", [&](ScreenHarness& h) { return f3(h).Text3; }, "Mean",
             QAccessible::EditableText},
            {"stochastic set-up", "standard deviation", [&](ScreenHarness& h) { return f3(h).Text4; },
             "Standard Derviation", QAccessible::EditableText},
            {"stochastic set-up", "payments bar", [&](ScreenHarness& h) { return f3(h).HScroll2; },
             "Number of equally spaced payments (Pn)", QAccessible::ScrollBar},
            {"stochastic set-up", "periods spinner", [&](ScreenHarness& h) { return f3(h).UpDown2; },
             "Number of payment/compounding periods per year =  ", QAccessible::SpinBox},
            {"stochastic, ready to run", "simulations bar", [&](ScreenHarness& h) { return f3(h).HScroll1; },
             "Number of simulations", QAccessible::ScrollBar},
            {"stochastic, ready to run", "increment", [&](ScreenHarness& h) { return f3(h).Text9; },
             "Increment = ", QAccessible::EditableText},
            {"stochastic, ready to run", "tolerance", [&](ScreenHarness& h) { return f3(h).Text10; },
             "Tolerance = ", QAccessible::EditableText},
            {"NPV profile and decision", "chart",
             [&](ScreenHarness& h) { return f1(h).findChild<NpvProfileWindow*>()->ChartView; }, "NPV profile",
             QAccessible::NoRole},
        };
        for (const Case& c : cases) {
            ScreenHarness h;
            StopNamed(c.stop).show(h);
            QObject* control = c.find(h);
            QVERIFY2(control, c.control);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(a, c.control);
            QVERIFY2(a->text(QAccessible::Name) == c.name,
                     qPrintable(QString("%1: %2").arg(c.control, a->text(QAccessible::Name))));
            if (c.role != QAccessible::NoRole) QVERIFY2(a->role() == c.role, c.control);
        }
    }

    // A spinner reads its value and range, and says when it changes.
    void theSpinnerReadsItsValue() {
        ScreenHarness h;
        h.screens.Show(ScreenId::Form1);
        Form1& f = h.screens.Get<Form1>();
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.UpDown1);
        QVERIFY(a && a->valueInterface());
        QCOMPARE(a->valueInterface()->currentValue().toInt(), 1);
        QCOMPARE(a->valueInterface()->minimumValue().toInt(), 1);
        QCOMPARE(a->valueInterface()->maximumValue().toInt(), kMostScreenPayments);
        QTest::mouseClick(f.UpDown1->UpButton(), Qt::LeftButton);
        QCOMPARE(a->text(QAccessible::Value), QString("2"));
        a->valueInterface()->setCurrentValue(5);
        QCOMPARE(f.Text2->text(), QString("5"));
        QCOMPARE(f.MSHFlexGrid1->Cols(), 6);
    }

    // The cells of the IRR and balances grids are read with their headings.
    void gridCellsReadTheirHeadings() {
        ScreenHarness h;
        StopNamed("deterministic, a rate picked").show(h);
        Form1& f = h.screens.Get<Form1>();
        struct Case {
            ui::Grid* grid;
            int row;
            int col;
            const char* text;
            const char* column;
            const char* rowHeading;
        };
        const Case cases[] = {
            {f.MSHFlexGrid2, 2, 1, "0.2", "Value", "2"},
            {f.MSHFlexGrid4, 3, 1, "-1430.00", "PB(n)", "2"},
            {f.MSHFlexGrid1, 1, 2, "-4310", "2", "Cash flow"},
            {f.MSHFlexGrid3, 1, 1, "-8620", "1", "Coefficient"},
        };
        for (const Case& c : cases) {
            QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(c.grid)->tableInterface();
            QVERIFY(table);
            QAccessibleInterface* cell = table->cellAt(c.row, c.col);
            QVERIFY(cell && cell->tableCellInterface());
            QCOMPARE(cell->text(QAccessible::Name), QString(c.text));
            QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
                     QString(c.column));
            QCOMPARE(cell->tableCellInterface()->rowHeaderCells().value(0)->text(QAccessible::Name),
                     QString(c.rowHeading));
        }
    }
};

QTEST_MAIN(AccessibleNamesTest)
#include "accessible_names_test.moc"
