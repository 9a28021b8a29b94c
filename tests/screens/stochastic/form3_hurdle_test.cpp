// The stochastic screen's hurdle rate: each simulation's NPV at it, said after
// the run as valmora-cli simulate --rate says it.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/cli.h"
#include "core/solver/number_format.h"
#include "form3_driver.h"
#include "screens/stochastic/irr_distribution_view.h"

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
        QCOMPARE(
            cli::Run({"valmora-cli", "simulate", "--dist", "uniform", "--p1", "-1500", "--p2", "1500", "--payments",
                      "3", "--sims", "60", "--seed", "42", "--rate", "0.1", "--json", "--resamples", "0"},
                     in, out, err),
            0);
        const auto j = nlohmann::json::parse(out.str());
        const long negative = std::lround(j["npv"]["p_negative"].get<double>() * 60);
        const long withIrr = j["with_irr"].get<long>();
        const long below = std::lround(j["p_irr_below_rate"].get<double>() * static_cast<double>(withIrr));
        const QString expected = "At the hurdle rate 0.1: mean NPV " +
                                 QString::fromStdString(FormatBalance(j["npv"]["mean"].get<double>())) +
                                 "; NPV < 0 in " + QString::number(negative) +
                                 " of 60 simulations; kept IRR below "
                                 "the rate in " +
                                 QString::number(below) + " of " + QString::number(withIrr) + ".";
        const QStringList texts = d.h.dialogs.Texts();
        QVERIFY2(texts.size() >= 2 && texts.last().endsWith(expected), qPrintable(texts.join(" | ")));
    }

    void theDistributionWindowShowsTheNpvsToo() {
        Form3Driver d;
        d.UniformOnTabOne("-1500", "1500", 3);
        d.ChooseNotSaving();
        d.f->HScroll1->setValue(60);
        Retype(d.f->Text15, "0.1");
        Click(d.f->Command4);
        Click(d.f->Command7);
        auto* v = d.f->findChild<IrrDistributionView*>();
        QVERIFY(v && v->Values->isEnabled());
        QCOMPARE(v->Values->currentText(), QString("Kept IRRs"));
        const long irrs = v->CurrentHistogram().Total();
        QVERIFY(!v->CurrentFits().ranked.empty());
        v->Values->setCurrentIndex(1);
        // Every simulation has an NPV, with or without an IRR; no law is fitted to them.
        QCOMPARE(v->CurrentHistogram().Total(), 60);
        QVERIFY(irrs <= 60);
        QVERIFY(v->CurrentFits().ranked.empty());
        QVERIFY(v->FitVerdict->text().contains("The laws are fitted to the kept IRRs"));
        // A run without a hurdle rate has no NPVs to show.
        Retype(d.f->Text15, "");
        Click(d.f->Command4);
        QVERIFY(!v->Values->isEnabled());
        QCOMPARE(v->Values->currentText(), QString("Kept IRRs"));
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
