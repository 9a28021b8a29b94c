// Deciding on a project at a hurdle rate R (the cost of capital): its NPV,
// MIRR and payback periods, and how each IRR, read as the return on its own
// investment stream, gives the verdict NPV gives.
//
// The investment stream of an IRR k is the project balances at k with the
// money invested counted positive: I_t = -PB(t), t = 0..N-1. With the rates
// per period i = k/M and r = R/M (M periods per year) and d = 1/(1 + r),
// the series' balances satisfy, at any rate i,
//     NPV(r) = PB(N) d^N + (i - r)/(1 + r) * sum I_t d^t,
// and PB(N) = 0 at an IRR, so that, in listed rates,
//     NPV(R) = (k - R)/(M + R) * stream PV,   stream PV = sum I_t d^t.
// A stream whose present value is positive is a net investment: the project
// is worth taking exactly when k > R. A negative one is a net borrowing:
// exactly when k < R.
//
// The balances of an IRR are those of the root it stands for
// (project_balances.h): PB(N) = 0, so that the identity holds for them up
// to what the listed rate leaves unbalanced and to rounding. For balances
// B(0)..B(N) at the double g = 1 + k/M, any d, and the mismatches
// e_0 = P_0 - B(0), e_t = g B(t-1) + P_t - B(t), exactly
//     NPV(r) = B(N) d^N + (g d - 1) stream PV + E,   E = sum e_t d^t,
// and at the root's balances only the step the listed rate leaves
// unbalanced has a mismatch (g F(1/g) or the forward PB(N)). Each reading
// states a bound on |NPV(R) - (k - R)/(M + R) * stream PV| as computed:
//     1.01 [ |E| + (2N + 4) u (sum |P_t| d^t + sum |e_t| d^t)
//            + (2N + 2) u (|f| + D) sum_(t<N) |B(t)| d^t
//            + (4.04 u |f| + D) |stream PV| + |B(N)| d^N
//            + 8 u^2 ((1 + |g| d) sum |B(t)| d^t + sum |P_t| d^t) ]
//     + 16 (N + 1) 2^-1074 max(1, d)^N,
// u = 2^-53, f = (k - R)/(M + R) as computed, and D = 1.01 u |g| d
// (4 + |i|/|g| + |r| d) the distance of f from g d - 1 that rounding g and
// d makes: the first line E's and NPV's own Horner rounding, the second the
// stream PV's, the third the rounding of f and of the product, and the last
// underflow. Where |NPV(R)| exceeds the bound the reading's value has NPV's
// sign and the verdict is certain to be NPV's; where it does not, the
// reading says so (certain = false).
//
// Ties. NPV(R) = 0 makes the project indifferent, and every IRR with it:
// the one equal to R by its factor k - R, each other one by a stream PV of 0
// (its stream is then "balanced"). Computed values are never exactly 0
// there, so a value counts as 0 within kDecisionTie times the sum of the
// magnitudes it adds up: NPV(R), and an IRR's value by the identity,
// (k - R)/(M + R) * stream PV, within kDecisionTie * sum |P_t| d^t; a stream
// PV within kDecisionTie * sum |I_t| d^t. An IRR is indifferent when its
// value by the identity or its stream PV counts as 0.
//
// Rates are listed rates, as the IRRs are: per period, or with M periods per
// year annual rates, M times the rate per period. No Qt.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace valmora {

// Relative size below which a value of a decision counts as 0.
inline constexpr double kDecisionTie = 1E-9;

// The rates a decision takes, as listed rates.
struct DecisionRates {
    double hurdle = 0;    // R, the cost of capital
    double finance = 0;   // F, at which MIRR discounts the negative flows to time 0
    double reinvest = 0;  // G, at which MIRR compounds the positive flows to time N
    int periodsPerYear = 1;
};

// What is wrong with a listed rate for a decision, or "" when nothing is: it
// must be finite and above -100 % a period.
std::string RateRefusal(double listedRate, int periodsPerYear);

// "" when every rate of `rates` passes RateRefusal and there is at least one
// period per year; otherwise what is wrong, naming the rate.
std::string CheckDecisionRates(const DecisionRates& rates);

// P0 + P1 d + ... + PN d^N, d = 1/(1 + listedRate/M).
double NetPresentValue(std::span<const double> flows, double listedRate, int periodsPerYear);

// The modified IRR: (FV_G(positive flows) / PV_F(-negative flows))^(1/N) - 1
// per period, listed as the rates are (times M). Refused, with a message,
// when the series has no negative or no positive flow.
struct ModifiedIrr {
    std::optional<double> rate;
    std::string refusal;  // "" when there is a rate
};
ModifiedIrr Mirr(std::span<const double> flows, const DecisionRates& rates);

// The first period t >= 1 at which P0 + ... + Pt >= 0; none when there is
// no such period.
std::optional<int> Payback(std::span<const double> flows);
// The same with each Pt discounted to time 0 at the listed rate.
std::optional<int> DiscountedPayback(std::span<const double> flows, double listedRate, int periodsPerYear);

enum class Verdict { Accept, Reject, Indifferent };
enum class StreamKind { NetInvestment, NetBorrowing, Balanced };

// "accept", "reject", "indifferent".
std::string_view VerdictText(Verdict verdict);
// "net investment", "net borrowing", "balanced".
std::string_view StreamText(StreamKind kind);

// The present value at the hurdle rate of the investment stream of the
// balances PB(0)..PB(N) (at any rate): sum of -PB(t) d^t for t = 0..N-1.
double StreamPresentValue(std::span<const double> pb, double listedHurdle, int periodsPerYear);

// One IRR read as the return on its own investment stream.
struct IrrReading {
    double irr = 0;       // the listed rate
    double streamPv = 0;  // its stream's present value at R
    StreamKind stream = StreamKind::Balanced;
    Verdict verdict = Verdict::Indifferent;
    // |NPV(R) - (k - R)/(M + R) * streamPv|, NPV as NetPresentValue
    // computes it, is at most this.
    double identityBound = 0;
    // The verdict is NPV's and the bound shows it must be: NPV(R) lies
    // farther than identityBound from 0 (or, for an indifferent NPV, within
    // the tie with the bound added). Set by Decide.
    bool certain = true;
};

// The reading of the IRR `listedIrr` of `flows` at the hurdle rate, with the
// balances of the root the rate stands for.
IrrReading ReadIrr(std::span<const double> flows, double listedIrr, double listedHurdle, int periodsPerYear);

struct Decision {
    DecisionRates rates;
    double npv = 0;                          // at R
    Verdict verdict = Verdict::Indifferent;  // NPV's
    ModifiedIrr mirr;
    std::optional<int> payback;
    std::optional<int> discountedPayback;  // at R
    std::vector<IrrReading> irrs;          // in the order given
    int agreeing = 0;                      // IRRs whose verdict is NPV's
    int uncertain = 0;                     // IRRs whose reading is not certain
};

// The decision on `flows` (P0..PN, N >= 1) with the listed IRRs `irrs`, at
// rates that pass CheckDecisionRates (std::invalid_argument otherwise).
Decision Decide(std::span<const double> flows, std::span<const double> irrs, const DecisionRates& rates);

// The decision in one plain sentence: "At a hurdle rate of 15 % the project
// is worth 12.34 today: accept. Each of its 3 IRRs agrees, read as the
// return on its own investment stream." Readings that are not certain are
// named after it, with how far their balances leave NPV open.
std::string DecisionSentence(const Decision& decision);

// What a reading that is not certain says beside its verdict: "uncertain:
// its balances give NPV only to within 0.42"; "" for a certain one.
std::string UncertaintyText(const IrrReading& reading);

}  // namespace valmora
