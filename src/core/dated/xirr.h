// Every XIRR of dated cash flows, each one certified.
//
// What it promises. XNPV(r) = sum of P_i (1 + r)^(-y_i), y_i the year
// fraction from the earliest date d0 to the i-th date (dated_series.h:
// flows of one date added, actual/365 or actual/actual). An XIRR is every
// r > -1 with XNPV(r) = 0. FindXirrs lists every one of them, or names the
// stretch of rates where it could not decide and why; nothing else. Each
// listed rate is the double nearest its root, proved so (or marked where
// the work ran out first), with its multiplicity where exact arithmetic
// settles it, and whether XNPV changes sign there.
//
// How it is certified. In t = ln(1 + r) the present value is the
// exponential sum h(t) = sum of c_i exp(-tau_i t) (exp_sum.h), evaluated
// in ball arithmetic, so every inequality below is proved, not estimated:
//   - Descartes' rule for exponential sums: h has at most V real roots,
//     counted with multiplicity, V the sign changes of the c_i in date
//     order. Once V are found the search ends; V = 0 means none.
//   - Bounds: for t beyond T_hi the first flow outweighs every flow of
//     the other sign, for t below T_lo the last one does (the root of a
//     one-sign-change sum, certified by its sign), so every root lies in
//     (T_lo, T_hi); these give the bounds on the rate.
//   - Bisection of [T_lo, T_hi]: an interval is cleared when one term
//     outweighs all of the other sign on it, or when a Taylor expansion of
//     g = e^(R t / D) h (the same roots) with a bounded remainder shows
//     g != 0; it holds exactly one root when g' != 0 on it and h changes
//     sign across it (or g'' != 0 and h changes sign: at most two roots by
//     Rolle, and an odd number). Signs at the ends are exact: h vanishes at
//     no double t but 0 (Lindemann-Weierstrass: the exponentials of
//     distinct algebraic numbers, here the rationals -tau_i t, are linearly
//     independent over the algebraic numbers), and at t = 0 it is the
//     exact sum of the amounts.
//   - The nearest double: the root's rate is bracketed between two
//     neighbouring doubles by the exact signs of XNPV there, and the sign
//     at their midpoint picks the nearer one. Where a sign is 0 exactly
//     (the rate is a root), exact integer arithmetic proves it
//     (exact_zero.h).
//   - A touching root (XNPV keeps its sign) is listed only when proved: a
//     double rate where XNPV and its derivatives vanish exactly up to the
//     order Rolle allows there. Otherwise an interval too short for doubles
//     to divide, where h and h' may both vanish, is "not decided": a
//     touching root, two roots closer than doubles tell apart, or none.
//
// What it costs. One certified evaluation of h costs O(n) for n dated
// flows (dates, after merging): one or two multiplications per flow, in
// balls of 64 or 128 bits, about 0.1 to 0.2 microseconds a flow, plus
// tables of about 2 sqrt(E_last) powers; the span enters only there (the
// dense polynomial in (1 + r)^(-1/365) would have one term per day of it).
// A search takes a handful of evaluations per bisection level where roots
// or large values of h lie, a few more for the bounds, and three or four
// exact signs per root; Newton's guesses run in doubles. Roots close
// together cost more levels (about 60 to tell a touching root from a
// close pair), and where the terms cancel heavily a term-by-term expansion
// of order 11. Measured (bench/xirr_bench.cpp, CPU time): 100 flows over
// 10 years 0.2 ms (a fund) to 1 ms (amounts of random sign), 1,000 flows
// over 30 years 5 to 25 ms; 10,000 flows over 50 years 40 to 500 ms. The
// work is bounded (kXirrWorkBudget, under a second): what is left when it
// runs out is reported not decided, with the count Descartes still allows.
#pragma once

#include <cstdint>
#include <vector>

#include "core/dated/dated_series.h"

namespace valmora {

// Work one search may do, in flows evaluated times 64-bit words of
// precision (about 15 to 40 ns each): under a second of CPU.
inline constexpr std::uint64_t kXirrWorkBudget = 25'000'000;

enum class XirrStatus {
    Ok,
    NotPrepared,  // the series was refused (its DatedStatus says why)
    EveryRate,    // every date's flows add up to 0: XNPV is 0 at every rate
};

// One root, certified.
struct XirrRoot {
    double rate = 0;  // the double nearest to the root (-1 where 1 + r < 2^-54; +inf above the doubles)
    // rate is proved nearest; false where the work ran out first, or two
    // roots lie within one step of doubles: the root is then only known to
    // lie in [rateLo, rateHi].
    bool nearest = true;
    double rateLo = 0;  // the root lies in [rateLo, rateHi]: neighbouring doubles
    double rateHi = 0;  // (equal when the root is a double)
    double logLo = 0;   // and t = ln(1 + r) in [logLo, logHi]
    double logHi = 0;
    int multiplicity = 1;   // proved: 1 for a crossing root found by its sign change
    bool touching = false;  // XNPV keeps its sign across it (even multiplicity)
};

enum class NotDecidedReason {
    Budget,   // the work ran out first
    Cluster,  // h and h' may both vanish within one step of doubles
};

// A stretch where roots may lie undecided.
struct XirrNotDecided {
    double logLo = 0, logHi = 0;    // t = ln(1 + r) in [logLo, logHi]
    double rateLo = 0, rateHi = 0;  // the same as rates (rounded outward)
    int atLeast = 0;                // roots certainly there (1 where XNPV changes sign across it)
    int atMost = -1;                // at most this many, with multiplicity (-1: only Descartes' bound)
    NotDecidedReason reason = NotDecidedReason::Budget;
};

struct XirrResult {
    XirrStatus status = XirrStatus::NotPrepared;
    DayCount dayCount = DayCount::Actual365;
    // Sign changes of the dates' sums in date order (zeros left out): at
    // most this many roots, counted with multiplicity.
    int signChanges = 0;
    std::vector<XirrRoot> roots;  // in increasing rate
    std::vector<XirrNotDecided> notDecided;
    // Every root lies strictly between the bounds (only when signChanges >
    // 0): as t = ln(1 + r), and as rates rounded outward (upperBound +inf
    // when above the doubles, lowerBound -1 when 1 + r rounds to 0).
    bool bounded = false;
    double logLower = 0, logUpper = 0;
    double lowerBound = 0, upperBound = 0;
    std::uint64_t work = 0;  // the work done, as kXirrWorkBudget counts it

    // Every root listed, each nearest proved.
    bool AllDecided() const;
    // The distinct roots: all of them when AllDecided.
    int RootsInRange() const { return static_cast<int>(roots.size()); }
};

// Every XIRR of the series. Never throws, never takes more than the work
// budget (plus one evaluation).
XirrResult FindXirrs(const DatedSeries& series, std::uint64_t workBudget = kXirrWorkBudget);

}  // namespace valmora
