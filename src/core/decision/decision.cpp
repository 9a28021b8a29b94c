#include "core/decision/decision.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/solver/npv_profile.h"
#include "core/solver/number_format.h"
#include "core/solver/project_balances.h"
#include "core/solver/text_rules.h"

namespace valmora {
namespace {

// 1/(1 + rate per period), the discount factor of one period.
double DiscountFactor(double listedRate, int periodsPerYear) { return 1.0 / (1.0 + listedRate / periodsPerYear); }

// Sum of |values[t]| d^t: the scale against which their discounted sum
// counts as 0.
double DiscountedMagnitude(std::span<const double> values, double d) {
    double sum = 0;
    for (auto it = values.rbegin(); it != values.rend(); ++it) sum = sum * d + std::fabs(*it);
    return sum;
}

bool CountsAsZero(double value, double scale) { return std::fabs(value) <= kDecisionTie * scale; }

// log of the sum of exp(terms), without overflow; -infinity for no terms.
double LogSumExp(const std::vector<double>& terms) {
    if (terms.empty()) return -std::numeric_limits<double>::infinity();
    const double top = *std::max_element(terms.begin(), terms.end());
    double sum = 0;
    for (double t : terms) sum += std::exp(t - top);
    return top + std::log(sum);
}

// A listed rate in percent, as the sentence shows it: "15 %", "1.25 %".
std::string Percent(double listedRate) { return FormatMean(listedRate * 100) + " %"; }

// An amount as the sentence shows it: in cents, or in exponent form where
// the cents would be a row of digits no one reads (1E+20).
std::string Amount(double value) { return std::fabs(value) < 1E15 ? FormatBalance(value) : GeneralText(value); }

Verdict VerdictOfValue(double value, double scale) {
    if (CountsAsZero(value, scale)) return Verdict::Indifferent;
    return value > 0 ? Verdict::Accept : Verdict::Reject;
}

}  // namespace

std::string RateRefusal(double listedRate, int periodsPerYear) {
    if (!std::isfinite(listedRate)) return "the rate must be a finite number";
    if (periodsPerYear < 1) return "there must be at least one period per year";
    if (listedRate / periodsPerYear > -1.0) return "";
    if (periodsPerYear == 1) return "the rate must be above -100 % (got " + Percent(listedRate) + ")";
    return "the annual rate must be above " + Percent(-periodsPerYear) + ", -100 % a period (got " +
           Percent(listedRate) + ")";
}

std::string CheckDecisionRates(const DecisionRates& rates) {
    const struct {
        const char* name;
        double rate;
    } named[] = {{"hurdle rate", rates.hurdle}, {"finance rate", rates.finance}, {"reinvestment rate", rates.reinvest}};
    for (const auto& [name, rate] : named) {
        std::string refusal = RateRefusal(rate, rates.periodsPerYear);
        if (!refusal.empty()) return std::string(name) + ": " + refusal;
    }
    return "";
}

double NetPresentValue(std::span<const double> flows, double listedRate, int periodsPerYear) {
    return PresentValue(flows, listedRate / periodsPerYear);
}

ModifiedIrr Mirr(std::span<const double> flows, const DecisionRates& rates) {
    ModifiedIrr m;
    const int n = static_cast<int>(flows.size()) - 1;
    if (n < 1) {
        m.refusal = "MIRR needs at least one payment after P0";
        return m;
    }
    // In logarithms, so that neither sum overflows nor underflows over many
    // periods: log FV_G of the positive flows at time N, log PV_F of the
    // negative ones at time 0.
    const double logFinance = std::log1p(rates.finance / rates.periodsPerYear);
    const double logReinvest = std::log1p(rates.reinvest / rates.periodsPerYear);
    std::vector<double> positive, negative;
    for (int t = 0; t <= n; ++t) {
        const double p = flows[t];
        if (p > 0) positive.push_back(std::log(p) + (n - t) * logReinvest);
        if (p < 0) negative.push_back(std::log(-p) - t * logFinance);
    }
    if (positive.empty() || negative.empty()) {
        m.refusal = "MIRR needs both a negative and a positive cash flow";
        return m;
    }
    const double perPeriod = std::expm1((LogSumExp(positive) - LogSumExp(negative)) / n);
    const double listed = perPeriod * rates.periodsPerYear;
    if (!std::isfinite(listed)) {
        m.refusal = "MIRR is too large for a number";
        return m;
    }
    m.rate = listed;
    return m;
}

std::optional<int> Payback(std::span<const double> flows) {
    double sum = flows.empty() ? 0 : flows[0];
    for (std::size_t t = 1; t < flows.size(); ++t) {
        sum += flows[t];
        if (sum >= 0) return static_cast<int>(t);
    }
    return std::nullopt;
}

std::optional<int> DiscountedPayback(std::span<const double> flows, double listedRate, int periodsPerYear) {
    const double d = DiscountFactor(listedRate, periodsPerYear);
    double sum = flows.empty() ? 0 : flows[0];
    double factor = 1;
    for (std::size_t t = 1; t < flows.size(); ++t) {
        factor *= d;
        sum += flows[t] * factor;
        if (sum >= 0) return static_cast<int>(t);
    }
    return std::nullopt;
}

std::string_view VerdictText(Verdict verdict) {
    switch (verdict) {
        case Verdict::Accept: return "accept";
        case Verdict::Reject: return "reject";
        case Verdict::Indifferent: break;
    }
    return "indifferent";
}

std::string_view StreamText(StreamKind kind) {
    switch (kind) {
        case StreamKind::NetInvestment: return "net investment";
        case StreamKind::NetBorrowing: return "net borrowing";
        case StreamKind::Balanced: break;
    }
    return "balanced";
}

double StreamPresentValue(std::span<const double> pb, double listedHurdle, int periodsPerYear) {
    if (pb.size() < 2) return 0;
    const double d = DiscountFactor(listedHurdle, periodsPerYear);
    double sum = 0;
    for (std::size_t t = pb.size() - 1; t-- > 0;) sum = sum * d - pb[t];
    return sum;
}

IrrReading ReadIrr(std::span<const double> flows, double listedIrr, double listedHurdle, int periodsPerYear) {
    IrrReading reading;
    reading.irr = listedIrr;
    const Balances b = ProjectBalances(flows, 0, listedIrr, periodsPerYear);
    if (!b.computed) return reading;
    const std::span<const double> stream(b.pb.data(), b.pb.size() - 1);  // PB(0)..PB(N-1)
    const double d = DiscountFactor(listedHurdle, periodsPerYear);
    reading.streamPv = StreamPresentValue(b.pb, listedHurdle, periodsPerYear);
    if (CountsAsZero(reading.streamPv, DiscountedMagnitude(stream, d))) {
        reading.stream = StreamKind::Balanced;
        reading.verdict = Verdict::Indifferent;
        return reading;
    }
    reading.stream = reading.streamPv > 0 ? StreamKind::NetInvestment : StreamKind::NetBorrowing;
    // NPV(R) by the identity: positive exactly when k > R for a net
    // investment, k < R for a net borrowing.
    const double value = (listedIrr - listedHurdle) / (periodsPerYear + listedHurdle) * reading.streamPv;
    reading.verdict = VerdictOfValue(value, DiscountedMagnitude(flows, d));
    return reading;
}

Decision Decide(std::span<const double> flows, std::span<const double> irrs, const DecisionRates& rates) {
    if (const std::string problem = CheckDecisionRates(rates); !problem.empty()) throw std::invalid_argument(problem);
    const int m = rates.periodsPerYear;
    Decision decision;
    decision.rates = rates;
    decision.npv = NetPresentValue(flows, rates.hurdle, m);
    decision.verdict = VerdictOfValue(decision.npv, DiscountedMagnitude(flows, DiscountFactor(rates.hurdle, m)));
    decision.mirr = Mirr(flows, rates);
    decision.payback = Payback(flows);
    decision.discountedPayback = DiscountedPayback(flows, rates.hurdle, m);
    for (double irr : irrs) {
        decision.irrs.push_back(ReadIrr(flows, irr, rates.hurdle, m));
        if (decision.irrs.back().verdict == decision.verdict) ++decision.agreeing;
    }
    return decision;
}

std::string DecisionSentence(const Decision& decision) {
    const DecisionRates& r = decision.rates;
    std::string s = r.periodsPerYear == 1 ? "At a hurdle rate of " + Percent(r.hurdle)
                                          : "At an annual hurdle rate of " + Percent(r.hurdle) + " (" +
                                                Percent(r.hurdle / r.periodsPerYear) + " a period)";
    s += " the project is worth " + Amount(decision.npv) + " today: " + std::string(VerdictText(decision.verdict));
    if (decision.verdict == Verdict::Indifferent) s += " (the hurdle rate is itself an IRR)";
    s += ".";
    const int count = static_cast<int>(decision.irrs.size());
    const std::string reading = "read as the return on its own investment stream";
    if (count == 0) return s + " No IRR was found, so NPV alone decides.";
    if (count == 1)
        return s + (decision.agreeing == 1 ? " Its IRR agrees, " + reading + "."
                                           : " Its IRR, " + reading + ", does not agree.");
    if (decision.agreeing == count)
        return s + " Each of its " + std::to_string(count) + " IRRs agrees, " + reading + ".";
    return s + " Only " + std::to_string(decision.agreeing) + " of its " + std::to_string(count) + " IRRs agree, " +
           reading + ".";
}

}  // namespace valmora
