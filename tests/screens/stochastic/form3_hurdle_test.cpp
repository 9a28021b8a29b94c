// The stochastic screen's hurdle rate: each simulation's NPV at it, said after
// the run as valmora-cli simulate --rate says it.
#include <QLineEdit>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/cli.h"
#include "core/solver/number_format.h"
#include "form3_driver.h"

using namespace valmora;
using valmora::testing::Click;
using valmora::testing::Form3Driver;
using valmora::testing::Retype;

class Form3HurdleTest : public QObject {
    Q_OBJECT

private slots:
    void theNpvsAtTheHurdleAreThoseOfTheCommandLine() {
        Form3Driver d;
        d.UniformOnTabOne("-1500", "1500", 3);
        d.ChooseNotSaving();
        d.f->HScroll1->setValue(60);
        Retype(d.f->Text14, "42");
        Retype(d.f->Text15, "0.1");
        d.h.dialogs.shown.clear();
        Click(d.f->Command4);

        std::ostringstream out, err;
        std::istringstream in;
        QCOMPARE(cli::Run({"valmora-cli", "simulate", "--dist", "uniform", "--p1", "-1500", "--p2", "1500",
                           "--payments", "3", "--sims", "60", "--seed", "42", "--rate", "0.1", "--json",
                           "--resamples", "0"},
                          in, out, err),
                 0);
        const auto j = nlohmann::json::parse(out.str());
        const long negative = std::lround(j["npv"]["p_negative"].get<double>() * 60);
        const long withIrr = j["with_irr"].get<long>();
        const long below = std::lround(j["p_irr_below_rate"].get<double>() * static_cast<double>(withIrr));
        const QString expected = "At the hurdle rate 0.1: mean NPV " +
                                 QString::fromStdString(FormatBalance(j["npv"]["mean"].get<double>())) +
                                 "; NPV < 0 in " + QString::number(negative) + " of 60 simulations; kept IRR below "
                                 "the rate in " + QString::number(below) + " of " + QString::number(withIrr) + ".";
        const QStringList texts = d.h.dialogs.Texts();
        QVERIFY2(texts.size() >= 2 && texts.last().endsWith(expected), qPrintable(texts.join(" | ")));
    }

    void aRateNoRunCanUseIsRefusedBeforeTheRun() {
        for (const char* bad : {"-", "-2"}) {
            Form3Driver d;
            d.UniformOnTabOne("-1500", "1500", 3);
            d.ChooseNotSaving();
            Retype(d.f->Text15, bad);
            d.h.dialogs.shown.clear();
            Click(d.f->Command4);
            QCOMPARE(d.h.dialogs.shown.size(), 1u);
            QVERIFY(d.h.dialogs.shown[0].text.startsWith("The hurdle rate: "));
            QCOMPARE(d.f->Command4->text(), QString("Begin Simulation(s)"));
        }
    }
};

QTEST_MAIN(Form3HurdleTest)
#include "form3_hurdle_test.moc"
