#include "core/decision/decision.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "core/solver/double_double.h"
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

constexpr double kUnit = 0x1p-53;    // unit roundoff
constexpr double kTiny = 0x1p-1074;  // the smallest subnormal

// The discounted mismatches of the balances pb against the recursion at g,
// E = sum e_t d^t with e_0 = P_0 - B(0) and e_t = g B(t-1) + P_t - B(t),
// each e_t summed in double words (within 6 u^2 of the magnitudes it adds)
// and rounded once; and sum |e_t| d^t.
struct Mismatches {
    double sum = 0;
    double magnitude = 0;
};

Mismatches MismatchesOf(std::span<const double> flows, std::span<const double> pb, double g, double d) {
    Mismatches m;
    for (std::size_t t = pb.size(); t-- > 0;) {
        double e = flows[t] - pb[t];
        if (t > 0) {
            const DoubleDouble product = TwoProd(g, pb[t - 1]);
            e = PlusDouble(PlusDouble(TwoSum(product.hi, flows[t]), -pb[t]), product.lo).Value();
        }
        m.sum = m.sum * d + e;
        m.magnitude = m.magnitude * d + std::fabs(e);
    }
    return m;
}

// The bound of decision.h on |NPV(R) - f * stream PV| for the root's
// balances pb at the listed rate k, with f = (k - R)/(M + R) as computed.
double IdentityBound(std::span<const double> flows, std::span<const double> pb, double listedIrr, double listedHurdle,
                     int periodsPerYear, double f, double streamPv) {
    const double m = periodsPerYear;
    const double g = listedIrr / m + 1.0;  // as ProjectBalances has it
    const double d = DiscountFactor(listedHurdle, periodsPerYear);
    const double n = static_cast<double>(flows.size() - 1);
    const Mismatches e = MismatchesOf(flows, pb, g, d);
    const double scale = DiscountedMagnitude(flows, d);
    const double all = DiscountedMagnitude(pb, d);
    const double stream = DiscountedMagnitude(pb.first(pb.size() - 1), d);
    const double i = listedIrr / m, r = listedHurdle / m;
    const double fromG = 1.01 * kUnit * std::fabs(g) * d * (4 + std::fabs(i) / std::fabs(g) + std::fabs(r) * d);
    const double rounding = std::fabs(e.sum) + (2 * n + 4) * kUnit * (scale + e.magnitude) +
                            (2 * n + 2) * kUnit * (std::fabs(f) + fromG) * stream +
                            (4.04 * kUnit * std::fabs(f) + fromG) * std::fabs(streamPv) +
                            (pb.back() != 0 ? std::fabs(pb.back()) * std::pow(d, n) : 0.0) +
                            8 * kUnit * kUnit * ((1 + std::fabs(g) * d) * all + scale);
    const double underflow = 16 * (n + 1) * kTiny * std::pow(std::max(1.0, d), n);
    return 1.01 * rounding + underflow;
}

// The reading's verdict is NPV's, and the bound shows it must be.
bool IsCertain(const IrrReading& reading, const Decision& decision, double scale) {
    if (reading.verdict != decision.verdict) return false;
    if (decision.verdict == Verdict::Indifferent)
        return std::fabs(decision.npv) + reading.identityBound <= kDecisionTie * scale;
    return reading.identityBound < std::fabs(decision.npv);
}

// A positive amount rounded up to two significant digits, as a sentence
// shows a bound: 0.42, 1.3E-07.
std::string BoundText(double value) {
    if (!(value > 0) || !std::isfinite(value)) return GeneralText(value);
    const double unit = std::pow(10.0, std::floor(std::log10(value)) - 1);
    return GeneralText(std::ceil(value / unit * (1 - 0x1p-50)) * unit);
}

// The sentence naming the readings that are not certain, with the widest
// of their bounds; "" when every reading is certain.
std::string UncertainReadings(const Decision& decision) {
    if (decision.uncertain == 0) return "";
    std::vector<std::string> names;
    double widest = 0;
    for (std::size_t k = 0; k < decision.irrs.size(); ++k) {
        if (decision.irrs[k].certain) continue;
        names.push_back(std::to_string(k + 1));
        widest = std::max(widest, decision.irrs[k].identityBound);
    }
    if (decision.irrs.size() == 1)
        return " Its IRR's reading is uncertain: its balances give NPV only to within " + BoundText(widest) + ".";
    if (names.size() == 1)
        return " The reading of IRR " + names[0] + " is uncertain: its balances give NPV only to within " +
               BoundText(widest) + ".";
    std::string list;
    for (std::size_t k = 0; k < names.size(); ++k)
        list += (k == 0 ? "" : (k + 1 == names.size() ? " and " : ", ")) + names[k];
    return " The readings of IRRs " + list + " are uncertain: their balances give NPV only to within " +
           BoundText(widest) + " at most.";
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
    const Balances b = ProjectBalances(flows, 0, listedIrr, periodsPerYear, BalancesAt::Root);
    if (!b.computed) return reading;
    const std::span<const double> stream(b.pb.data(), b.pb.size() - 1);  // PB(0)..PB(N-1)
    const double d = DiscountFactor(listedHurdle, periodsPerYear);
    reading.streamPv = StreamPresentValue(b.pb, listedHurdle, periodsPerYear);
    const double f = (listedIrr - listedHurdle) / (periodsPerYear + listedHurdle);
    reading.identityBound = IdentityBound(flows, b.pb, listedIrr, listedHurdle, periodsPerYear, f, reading.streamPv);
    if (CountsAsZero(reading.streamPv, DiscountedMagnitude(stream, d))) {
        reading.stream = StreamKind::Balanced;
        reading.verdict = Verdict::Indifferent;
        return reading;
    }
    reading.stream = reading.streamPv > 0 ? StreamKind::NetInvestment : StreamKind::NetBorrowing;
    // NPV(R) by the identity: positive exactly when k > R for a net
    // investment, k < R for a net borrowing.
    reading.verdict = VerdictOfValue(f * reading.streamPv, DiscountedMagnitude(flows, d));
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
    const double scale = DiscountedMagnitude(flows, DiscountFactor(rates.hurdle, m));
    for (double irr : irrs) {
        IrrReading& reading = decision.irrs.emplace_back(ReadIrr(flows, irr, rates.hurdle, m));
        if (reading.verdict == decision.verdict) ++decision.agreeing;
        reading.certain = IsCertain(reading, decision, scale);
        if (!reading.certain) ++decision.uncertain;
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
        s +=
            decision.agreeing == 1 ? " Its IRR agrees, " + reading + "." : " Its IRR, " + reading + ", does not agree.";
    else if (decision.agreeing == count)
        s += " Each of its " + std::to_string(count) + " IRRs agrees, " + reading + ".";
    else
        s += " Only " + std::to_string(decision.agreeing) + " of its " + std::to_string(count) + " IRRs agree, " +
             reading + ".";
    return s + UncertainReadings(decision);
}

std::string UncertaintyText(const IrrReading& reading) {
    if (reading.certain) return "";
    return "uncertain: its balances give NPV only to within " + BoundText(reading.identityBound);
}

}  // namespace valmora
