#include "core/decision/decision.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/project_balances.h"
#include "core/solver/root_location.h"
#include "core/solver/npv_profile.h"
#include "solver/ball_oracle.h"
#include "solver/high_irr_series.h"
#include "solver/series_from_roots.h"

// Named apart from the other test files compiled in the same unit.
namespace valmora::decision_tests {
namespace {

using Flows = std::vector<double>;

const Flows kSimple = {-1000, 500, 500, 500};
// IRRs of 10 %, 20 % and 30 %: -1000 (y - 1.1)(y - 1.2)(y - 1.3), y = 1 + i.
const Flows kThreeIrrs = {-1000, 3600, -4310, 1716};
const Flows kThreeIrrsBorrowed = {1000, -3600, 4310, -1716};
const Flows kBorrowing = {1000, -1100};

DecisionRates At(double rate, int periods = 1) { return {rate, rate, rate, periods}; }

// The IRRs the root search lists for `flows`.
std::vector<double> FoundIrrs(const Flows& flows, int periods = 1) {
    const CashFlowAnalysis a = AnalyseCashFlows(flows);
    EXPECT_TRUE(a.Ok());
    SearchSettings settings;
    settings.periodsPerYear = periods;
    return LocateRoots(a, settings).rates;
}

TEST(Decision, HandWorkedValues) {
    struct Case {
        Flows flows;
        DecisionRates rates;
        double npv;
        double mirr;
        std::optional<int> payback;
        std::optional<int> discountedPayback;
        Verdict verdict;
    };
    // NPV and MIRR worked by hand: for the simple investment at 10 %,
    // -1000 + 500/1.1 + 500/1.21 + 500/1.331 and (605 + 550 + 500)/1000 to
    // the power 1/3; for the three IRRs, -1000 (0.05)(-0.05)(-0.15)/1.15^3
    // and 1000 (0.15)(0.05)(0.05)/1.25^3.
    const Case cases[] = {
        {kSimple, At(0.1), 243.42599549211099, std::cbrt(1.655) - 1, 2, 3, Verdict::Accept},
        {kSimple, {0.1, 0.08, 0.12, 1}, 243.42599549211099, 0.19048023363706212, 2, 3, Verdict::Accept},
        {kSimple, At(0.3), -91.943559399180701, std::cbrt(1.995) - 1, 2, std::nullopt, Verdict::Reject},
        {kThreeIrrs, At(0.15), -0.375 / (1.15 * 1.15 * 1.15), 0.14997780693966778, 1, 1, Verdict::Reject},
        {kThreeIrrs, At(0.25), 0.375 / (1.25 * 1.25 * 1.25), 0.25002128529101664, 1, 1, Verdict::Accept},
        {kThreeIrrsBorrowed, At(0.15), 0.375 / (1.15 * 1.15 * 1.15), 0.150022193488629, 2, 2, Verdict::Accept},
        // Borrowing 1000 at 10 %: worth it exactly when capital costs more.
        {kBorrowing, At(0.05), 1000 - 1100 / 1.05, 1050 / (1100 / 1.05) - 1, std::nullopt, std::nullopt,
         Verdict::Reject},
        {kBorrowing, At(0.15), 1000 - 1100 / 1.15, 1150 / (1100 / 1.15) - 1, std::nullopt, 1, Verdict::Accept},
        // Monthly: annual rates, 5 % and 1 % a month.
        {{-1000, 1100}, At(0.6, 12), -1000 + 1100 / 1.05, 1.2, 1, 1, Verdict::Accept},
        {kSimple,
         {0.12, 0.12, 0.12, 12},
         -1000 + 500 / 1.01 + 500 / 1.0201 + 500 / 1.030301,
         12 * (std::cbrt((500 * 1.0201 + 500 * 1.01 + 500) / 1000) - 1),
         2,
         3,
         Verdict::Accept},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.flows) + " at " + std::to_string(c.rates.hurdle));
        const Decision d = Decide(c.flows, {}, c.rates);
        EXPECT_NEAR(d.npv, c.npv, 1e-9 * (1 + std::fabs(c.npv)));
        ASSERT_TRUE(d.mirr.rate.has_value()) << d.mirr.refusal;
        EXPECT_NEAR(*d.mirr.rate, c.mirr, 1e-12);
        EXPECT_EQ(d.payback, c.payback);
        EXPECT_EQ(d.discountedPayback, c.discountedPayback);
        EXPECT_EQ(d.verdict, c.verdict);
    }
}

TEST(Decision, EachOfThreeIrrsGivesTheVerdictOfNpv) {
    struct Reading {
        double irr;
        double streamPv;  // 1000 - PB(1)/(1 + R) - PB(2)/(1 + R)^2 with PB(1), PB(2) at the IRR
        StreamKind stream;
    };
    struct Case {
        Flows flows;
        double hurdle;
        Verdict verdict;
        std::vector<Reading> readings;  // as the scan lists the IRRs: the highest first
    };
    const Case cases[] = {
        {kThreeIrrs,
         0.15,
         Verdict::Reject,
         {{0.3, 1000 - 2300 / 1.15 + 1320 / 1.3225, StreamKind::NetBorrowing},
          {0.2, 1000 - 2400 / 1.15 + 1430 / 1.3225, StreamKind::NetBorrowing},
          {0.1, 1000 - 2500 / 1.15 + 1560 / 1.3225, StreamKind::NetInvestment}}},
        {kThreeIrrs,
         0.25,
         Verdict::Accept,
         {{0.3, 4.8, StreamKind::NetInvestment},
          {0.2, -4.8, StreamKind::NetBorrowing},
          {0.1, -1.6, StreamKind::NetBorrowing}}},
        // The same flows the other way round: every stream and verdict turns.
        {kThreeIrrsBorrowed,
         0.15,
         Verdict::Accept,
         {{0.3, -(1000 - 2300 / 1.15 + 1320 / 1.3225), StreamKind::NetInvestment},
          {0.2, -(1000 - 2400 / 1.15 + 1430 / 1.3225), StreamKind::NetInvestment},
          {0.1, -(1000 - 2500 / 1.15 + 1560 / 1.3225), StreamKind::NetBorrowing}}},
        {kBorrowing, 0.05, Verdict::Reject, {{0.1, -1000, StreamKind::NetBorrowing}}},
        {kBorrowing, 0.15, Verdict::Accept, {{0.1, -1000, StreamKind::NetBorrowing}}},
        {kSimple, 0.1, Verdict::Accept, {{0.23375, 1000 + 733.75 / 1.1 + 405.27 / 1.21, StreamKind::NetInvestment}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.flows) + " at " + std::to_string(c.hurdle));
        const std::vector<double> irrs = FoundIrrs(c.flows);
        ASSERT_EQ(irrs.size(), c.readings.size());
        const Decision d = Decide(c.flows, irrs, At(c.hurdle));
        EXPECT_EQ(d.verdict, c.verdict);
        EXPECT_EQ(d.agreeing, static_cast<int>(irrs.size()));
        ASSERT_EQ(d.irrs.size(), c.readings.size());
        for (std::size_t k = 0; k < c.readings.size(); ++k) {
            const Reading& want = c.readings[k];
            const IrrReading& got = d.irrs[k];
            EXPECT_NEAR(got.irr, want.irr, 5e-6);
            EXPECT_NEAR(got.streamPv, want.streamPv, 0.01);  // the simple one's balances are rounded to cents
            EXPECT_EQ(got.stream, want.stream);
            EXPECT_EQ(got.verdict, c.verdict);
        }
    }
}

TEST(Decision, AHurdleRateThatIsAnIrrIsIndifferent) {
    // At 20 %: NPV(R) = 0. The IRR of 20 % equals R; the streams of 10 % and
    // 30 % have a present value of 0 at 20 %.
    const Decision d = Decide(kThreeIrrs, FoundIrrs(kThreeIrrs), At(0.2));
    EXPECT_EQ(d.verdict, Verdict::Indifferent);
    ASSERT_EQ(d.irrs.size(), 3u);
    const StreamKind streams[] = {StreamKind::Balanced, StreamKind::NetBorrowing,
                                  StreamKind::Balanced};  // 30, 20, 10 %
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(d.irrs[k].stream, streams[k]) << k;
        EXPECT_EQ(d.irrs[k].verdict, Verdict::Indifferent) << k;
    }
    EXPECT_NEAR(d.irrs[1].streamPv, 1000 - 2400 / 1.2 + 1430 / 1.44, 1e-9);
    EXPECT_EQ(d.agreeing, 3);
    // A simple one at its own IRR.
    const Decision simple = Decide(kBorrowing, FoundIrrs(kBorrowing), At(0.1));
    EXPECT_EQ(simple.verdict, Verdict::Indifferent);
    EXPECT_EQ(simple.irrs.at(0).verdict, Verdict::Indifferent);
    EXPECT_EQ(simple.irrs.at(0).stream, StreamKind::NetBorrowing);
}

TEST(Decision, MirrNeedsBothSignsOfFlows) {
    const Flows cases[] = {{-1000, -500}, {1000, 500, 0}, {0, 0}, {0, 500, 500}, {0, -1}};
    for (const Flows& flows : cases) {
        const ModifiedIrr m = Mirr(flows, At(0.1));
        EXPECT_FALSE(m.rate.has_value()) << ::testing::PrintToString(flows);
        EXPECT_EQ(m.refusal, "MIRR needs both a negative and a positive cash flow");
    }
    // Zeros are no flows of either sign: -1000 0 0 1331 is 10 % whatever F and G are.
    const ModifiedIrr m = Mirr(Flows{-1000, 0, 0, 1331}, {0.05, 0.5, 0.9, 1});
    ASSERT_TRUE(m.rate.has_value());
    EXPECT_NEAR(*m.rate, 0.1, 1e-14);
    // Many periods at a high rate: no overflow of (1 + G)^N.
    Flows longSeries(32767, 1000.0);
    longSeries[0] = -1000;
    const ModifiedIrr far = Mirr(longSeries, At(0.5));
    ASSERT_TRUE(far.rate.has_value()) << far.refusal;
    EXPECT_NEAR(*far.rate, 0.5, 1e-3);
}

TEST(Decision, RatesAtOrBelowMinusOneHundredPercentAPeriodAreRefused) {
    struct Case {
        double rate;
        int periods;
        std::string refusal;  // "" when accepted
    };
    const Case cases[] = {
        {-0.99, 1, ""},
        {0, 1, ""},
        {1e6, 1, ""},
        {-1, 1, "the rate must be above -100 % (got -100 %)"},
        {-1.5, 1, "the rate must be above -100 % (got -150 %)"},
        {-11.9, 12, ""},
        {-12, 12, "the annual rate must be above -1200 %, -100 % a period (got -1200 %)"},
        {NAN, 1, "the rate must be a finite number"},
        {INFINITY, 1, "the rate must be a finite number"},
    };
    for (const Case& c : cases) EXPECT_EQ(RateRefusal(c.rate, c.periods), c.refusal) << c.rate;
    EXPECT_EQ(CheckDecisionRates({0.1, 0.1, 0.1, 1}), "");
    EXPECT_EQ(CheckDecisionRates({0.1, -2, 0.1, 1}), "finance rate: the rate must be above -100 % (got -200 %)");
    EXPECT_EQ(CheckDecisionRates({0.1, 0.1, -1, 1}), "reinvestment rate: the rate must be above -100 % (got -100 %)");
    EXPECT_EQ(CheckDecisionRates({-1, 0.1, 0.1, 1}), "hurdle rate: the rate must be above -100 % (got -100 %)");
    EXPECT_THROW(Decide(kSimple, {}, {-1, 0, 0, 1}), std::invalid_argument);
}

TEST(Decision, PaybackIsTheFirstPeriodTheCumulativeFlowReachesZero) {
    struct Case {
        Flows flows;
        std::optional<int> payback;
    };
    const Case cases[] = {
        {{-1000, 500, 500}, 2},           // exactly 0
        {{-1000, 1500, -2000, 3000}, 1},  // the first time, though it falls again
        {{-1000, 400, 400}, std::nullopt},
        {{1000, -1100}, std::nullopt},  // period 0 does not count
        {{0, 0}, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Payback(c.flows), c.payback) << ::testing::PrintToString(c.flows);
        EXPECT_EQ(DiscountedPayback(c.flows, 0, 1), c.payback) << ::testing::PrintToString(c.flows);
    }
    // Discounting delays it: -1000 600 600 pays back in period 2 at 10 %
    // (545.45 + 495.87), not at 15 % (521.74 + 453.69).
    EXPECT_EQ(DiscountedPayback(Flows{-1000, 600, 600}, 0.1, 1), 2);
    EXPECT_EQ(DiscountedPayback(Flows{-1000, 600, 600}, 0.15, 1), std::nullopt);
    EXPECT_EQ(DiscountedPayback(Flows{-1000, 600, 600}, 1.8, 12), std::nullopt);  // 15 % a month
}

TEST(Decision, OneSentence) {
    struct Case {
        Flows flows;
        DecisionRates rates;
        std::string sentence;
    };
    const Case cases[] = {
        {kThreeIrrs, At(0.25),
         "At a hurdle rate of 25 % the project is worth 0.19 today: accept. Each of its 3 IRRs agrees, read as the "
         "return on its own investment stream."},
        {kThreeIrrs, At(0.15),
         "At a hurdle rate of 15 % the project is worth -0.25 today: reject. Each of its 3 IRRs agrees, read as the "
         "return on its own investment stream."},
        {kThreeIrrs, At(0.2),
         "At a hurdle rate of 20 % the project is worth 0.00 today: indifferent (the hurdle rate is itself an IRR). "
         "Each of its 3 IRRs agrees, read as the return on its own investment stream."},
        {kSimple, At(0.1),
         "At a hurdle rate of 10 % the project is worth 243.43 today: accept. Its IRR agrees, read as the return on "
         "its own investment stream."},
        {{-1000, -500},
         At(0.1),
         "At a hurdle rate of 10 % the project is worth -1454.55 today: reject. No IRR was found, so NPV alone "
         "decides."},
        {{-1e300, 1e300},
         At(0.5),
         "At a hurdle rate of 50 % the project is worth -3.33333333333333E+299 today: reject. Its IRR agrees, read "
         "as the return on its own investment stream."},
        {{-1000, 1100},
         At(0.15, 12),
         "At an annual hurdle rate of 15 % (1.25 % a period) the project is worth 86.42 today: accept. Its IRR "
         "agrees, read as the return on its own investment stream."},
    };
    for (const Case& c : cases) {
        const Decision d = Decide(c.flows, FoundIrrs(c.flows, c.rates.periodsPerYear), c.rates);
        EXPECT_EQ(DecisionSentence(d), c.sentence);
    }
    // Readings that disagree (a rate that is no IRR) are counted.
    Decision d = Decide(kThreeIrrs, std::vector<double>{0.1, 0.2, 0.3}, At(0.25));
    d.agreeing = 2;
    EXPECT_EQ(DecisionSentence(d),
              "At a hurdle rate of 25 % the project is worth 0.19 today: accept. Only 2 of its 3 IRRs agree, read as "
              "the return on its own investment stream.");
}

// NPV(r) = PB(N) d^N + (i - r)/(1 + r) * sum -PB(t) d^t at any rate i, with
// the balances at i and d = 1/(1 + r), rates per period.
TEST(DecisionIdentity, HoldsAtAnyRateWithTheLastBalance) {
    std::mt19937 gen(20240611);
    std::uniform_real_distribution<double> flow(-2000, 2000), rate(-0.5, 1.5);
    for (int trial = 0; trial < 200; ++trial) {
        Flows flows(2 + trial % 9);
        for (double& p : flows) p = flow(gen);
        const int m = trial % 3 == 0 ? 12 : 1;
        const double i = rate(gen), r = rate(gen);
        const Balances b = ProjectBalances(flows, 0, i * m, m);
        const double d = 1 / (1 + r);
        const double npv = NetPresentValue(flows, r * m, m);
        const double identity = b.pb.back() * std::pow(d, static_cast<double>(flows.size() - 1)) +
                                (i - r) / (1 + r) * StreamPresentValue(b.pb, r * m, m);
        double scale = 0;
        for (std::size_t t = 0; t < flows.size(); ++t) scale += std::fabs(b.pb[t]) * std::pow(d, t);
        EXPECT_NEAR(identity, npv, 1e-12 * scale) << trial;
    }
}

// Series of 2 to 4 chosen IRRs, times a factor without positive roots:
// every verdict is the sign of NPV(R), and in listed rates
// NPV(R) = (k - R)/(M + R) * stream PV for every IRR k.
TEST(DecisionIdentity, EveryIrrAgreesWithNpvOnSeriesOfSeveralIrrs) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> unit(0, 1);
    int checked = 0;
    for (int trial = 0; trial < 300; ++trial) {
        // Rates per period from -40 % to 150 %, at least 0.05 apart in x.
        const int count = 2 + trial % 3;
        std::vector<double> xs;
        while (static_cast<int>(xs.size()) < count) {
            const double x = 1 / (1 + (-0.4 + 1.9 * unit(gen)));
            bool apart = true;
            for (double other : xs) apart = apart && std::fabs(other - x) >= 0.05;
            if (apart) xs.push_back(x);
        }
        std::vector<double> rest = {1.0};
        for (int k = trial % 4; k > 0; --k) rest = valmora::testing::FromRoots({-(0.5 + unit(gen))}, rest, 1.0);
        const Flows flows = valmora::testing::FromRoots(xs, rest, unit(gen) < 0.5 ? -1000.0 : 1000.0);
        const int m = std::vector<int>{1, 4, 12}[trial % 3];
        const std::vector<double> irrs = FoundIrrs(flows, m);
        ASSERT_EQ(irrs.size(), xs.size()) << trial;

        // A hurdle rate at least 0.02 in x from every IRR.
        double hurdleX = 0;
        for (bool apart = false; !apart;) {
            hurdleX = 1 / (1 + (-0.3 + 1.6 * unit(gen)));
            apart = true;
            for (double x : xs) apart = apart && std::fabs(x - hurdleX) >= 0.02;
        }
        const double hurdle = m * (1 / hurdleX - 1);
        const Decision d = Decide(flows, irrs, At(hurdle, m));
        ASSERT_NE(d.verdict, Verdict::Indifferent) << trial;
        EXPECT_EQ(d.verdict, d.npv > 0 ? Verdict::Accept : Verdict::Reject);
        EXPECT_EQ(d.agreeing, count) << trial;
        for (const IrrReading& reading : d.irrs) {
            EXPECT_EQ(reading.verdict, d.verdict) << trial;
            EXPECT_NE(reading.stream, StreamKind::Balanced) << trial;
            const double byIdentity = (reading.irr - hurdle) / (m + hurdle) * reading.streamPv;
            EXPECT_NEAR(byIdentity / d.npv, 1.0, 1e-9) << trial << " at IRR " << reading.irr;
            // Accepted exactly when k > R for a net investment, k < R for a net borrowing.
            const bool above = reading.irr > hurdle;
            const bool investment = reading.stream == StreamKind::NetInvestment;
            EXPECT_EQ(reading.verdict == Verdict::Accept, above == investment) << trial;
            ++checked;
        }
    }
    EXPECT_GT(checked, 800);
}

// -1000 then 40 payments of 2000, IRR just below 200 %, at 10 %: the
// balances of the root give the stream PV the identity gives,
// NPV (1 + R)/(k - R) = 18558.10 * 1.1/1.9, a net investment: accept.
TEST(DecisionOracle, TwoHundredPercentOverFortyPeriods) {
    const Flows flows = testing::TwoHundredPercent();
    const Decision d = Decide(flows, FoundIrrs(flows), At(0.1));
    ASSERT_EQ(d.irrs.size(), 1u);
    EXPECT_EQ(d.verdict, Verdict::Accept);
    const IrrReading& reading = d.irrs[0];
    EXPECT_NEAR(reading.streamPv, 10744.16, 0.005);
    EXPECT_NEAR(reading.streamPv, d.npv * 1.1 / 1.9, 1e-9 * d.npv);
    EXPECT_EQ(reading.stream, StreamKind::NetInvestment);
    EXPECT_EQ(reading.verdict, Verdict::Accept);
    EXPECT_TRUE(reading.certain);
    EXPECT_LT(reading.identityBound, 1e-9);
    EXPECT_EQ(d.agreeing, 1);
    EXPECT_EQ(DecisionSentence(d),
              "At a hurdle rate of 10 % the project is worth 18558.10 today: accept. Its IRR agrees, read as the "
              "return on its own investment stream.");
}

// Every reading of every listed IRR of series with high IRRs over many
// periods, at hurdle rates below, between and above them: certain, with
// the verdict NPV's exact sign gives, and the identity within its bound.
TEST(DecisionOracle, EveryReadingIsCertainAndNpvsOnHighIrrSeries) {
    int readings = 0;
    for (const testing::NamedSeries& series : testing::HighIrrCorpus()) {
        SCOPED_TRACE(series.name);
        const std::vector<double> irrs = FoundIrrs(series.flows);
        for (double hurdle : {-0.25, 0.05, 0.15, 1.2, 25.0}) {
            SCOPED_TRACE("at " + std::to_string(hurdle));
            const int exact = testing::PresentValueSign(series.flows, hurdle, 1);
            ASSERT_NE(exact, 0);
            const Decision d = Decide(series.flows, irrs, At(hurdle));
            EXPECT_EQ(d.verdict, exact > 0 ? Verdict::Accept : Verdict::Reject);
            EXPECT_EQ(d.agreeing, static_cast<int>(irrs.size()));
            EXPECT_EQ(d.uncertain, 0);
            for (const IrrReading& reading : d.irrs) {
                EXPECT_TRUE(reading.certain) << reading.irr;
                EXPECT_EQ(reading.verdict, d.verdict) << reading.irr;
                const double f = (reading.irr - hurdle) / (1 + hurdle);
                EXPECT_LE(std::fabs(d.npv - f * reading.streamPv), reading.identityBound) << reading.irr;
                ++readings;
            }
        }
    }
    EXPECT_GE(readings, 150);
}

// Rates off the roots by a relative 1e-12 to 1e-3: the identity still holds
// within each reading's bound (what the rate leaves of the series' value
// counted in it), and a reading whose bound reaches NPV says so instead of
// claiming a verdict. Where one is certain its verdict is NPV's exact one.
TEST(DecisionOracle, RatesOffTheirRootsStateHowFarTheyCanBeTrusted) {
    int uncertain = 0, certain = 0;
    std::vector<testing::NamedSeries> corpus = testing::HighIrrCorpus();
    corpus.push_back({"three IRRs", kThreeIrrs});
    for (const testing::NamedSeries& series : corpus) {
        SCOPED_TRACE(series.name);
        for (double irr : FoundIrrs(series.flows)) {
            for (double off : {1e-12, 1e-9, 1e-6, 1e-3}) {
                const double rate = irr * (1 + off);
                for (double hurdle : {0.05, 0.15, irr * (1 - 1e-4), irr * (1 + 1e-4)}) {
                    const int exact = testing::PresentValueSign(series.flows, hurdle, 1);
                    const Decision d = Decide(series.flows, std::vector<double>{rate}, At(hurdle));
                    const IrrReading& reading = d.irrs.at(0);
                    const double f = (rate - hurdle) / (1 + hurdle);
                    EXPECT_LE(std::fabs(d.npv - f * reading.streamPv), reading.identityBound)
                        << rate << " at " << hurdle;
                    if (!reading.certain) {
                        ++uncertain;
                        EXPECT_FALSE(UncertaintyText(reading).empty());
                        continue;
                    }
                    ++certain;
                    EXPECT_EQ(reading.verdict, d.verdict) << rate << " at " << hurdle;
                    if (d.verdict != Verdict::Indifferent) {
                        EXPECT_EQ(reading.verdict, exact > 0 ? Verdict::Accept : Verdict::Reject);
                    }
                }
            }
        }
    }
    EXPECT_GT(uncertain, 20);
    EXPECT_GT(certain, 200);
}

// A reading that is not certain is named in the sentence, and says so
// beside its verdict.
TEST(Decision, UncertainReadingsAreNamed) {
    // 33 % for 30 %: what it leaves of the series' value, about 0.4, is
    // larger than NPV at 25 %, 0.19.
    const Decision one = Decide(kThreeIrrs, std::vector<double>{0.33, 0.2, 0.1}, At(0.25));
    ASSERT_FALSE(one.irrs[0].certain);
    EXPECT_TRUE(one.irrs[1].certain);
    EXPECT_TRUE(one.irrs[2].certain);
    EXPECT_EQ(one.uncertain, 1);
    const std::string bound = UncertaintyText(one.irrs[0]);
    EXPECT_EQ(bound.rfind("uncertain: its balances give NPV only to within ", 0), 0u) << bound;
    EXPECT_TRUE(UncertaintyText(one.irrs[1]).empty());
    const std::string sentence = DecisionSentence(one);
    EXPECT_NE(sentence.find(" The reading of IRR 1 is uncertain: its balances give NPV only to within "),
              std::string::npos)
        << sentence;
    const Decision two = Decide(kThreeIrrs, std::vector<double>{0.33, 0.2, 0.13}, At(0.25));
    EXPECT_EQ(two.uncertain, 2);
    EXPECT_NE(DecisionSentence(two).find(" The readings of IRRs 1 and 3 are uncertain: their balances give NPV only "
                                         "to within "),
              std::string::npos)
        << DecisionSentence(two);
    const Decision alone = Decide(kSimple, std::vector<double>{0.24}, At(0.2337));
    ASSERT_EQ(alone.uncertain, 1);
    EXPECT_NE(DecisionSentence(alone).find(" Its IRR's reading is uncertain: its balances give NPV only to within "),
              std::string::npos)
        << DecisionSentence(alone);
}

}  // namespace
}  // namespace valmora::decision_tests
