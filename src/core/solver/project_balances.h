// Project balances of a listed rate and the classification of the investment.
//
// The balances of P0..PN at the rate i per period (g = 1 + i) are defined by
// the forward recursion PB(0) = P0, PB(t) = PB(t - 1) g + Pt. Run as written
// in doubles it multiplies every rounding by |g|^t. Here it runs only in the
// direction that damps its errors, in double-word arithmetic
// (double_double.h) so that terms that cancel keep their digits:
//   - at a rate (BalancesAt::Rate): forward, each PB(t) within
//     u |PB(t)| + 4t u^2 sum_(j <= t) |Pj| |g|^(t - j) of the recursion at
//     the double g (u = 2^-53, to first order);
//   - at a root (BalancesAt::Root): the balances of the root the listed rate
//     stands for, where PB(N) = 0. For |g| > 1 backward from PB(N) = 0,
//     PB(t) = (PB(t + 1) - P(t+1)) / g, that is
//     PB(t) = -sum_(j > t) Pj g^(t - j), within
//     u |PB(t)| + 5(N - t) u^2 sum_(j > t) |Pj| |g|^(t - j); for |g| <= 1
//     forward as above. PB(0) = P0 and PB(N) = 0 exactly.
// At the double nearest a root the forward recursion need not end near 0:
// PB(N) = g^N F(1/g), and g^N may exceed 1/u (an IRR of 200 % over 40
// periods: PB(40) = -1000 at the rate 2.0, where F = -1000/3^40). So the
// balances of a root are taken at the root: computed at the listed rate they
// differ from the root's by the listed rate's own error, which the damped
// direction never multiplies by |g|^t. What the listed rate leaves
// unbalanced, g F(1/g) backward or the forward PB(N), is the one mismatch
// between successive balances, in the first step or the last (decision.h
// bounds what it does to a verdict).
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace valmora {

// How an investment is classified from its project balances.
enum class InvestmentType { None, SimplePure, NonsimplePure, NonsimpleMixed };

// Balances at the rate as given, or at the root a listed rate stands for.
enum class BalancesAt { Rate, Root };

struct Balances {
    bool computed = false;  // false: no payments, or fewer than one period per year
    double rate = 0;        // the listed rate the balances are computed at
    BalancesAt at = BalancesAt::Rate;
    std::vector<double> pb;  // PB(0)..PB(N)
    InvestmentType type = InvestmentType::None;
};

// The balances PB(0)..PB(N) of the series P0..PN at the rate per period
// rate / periodsPerYear (g = rate / periodsPerYear + 1, rounded once), and
// the classification: a series with one sign change (maxRoots == 1) is a
// simple investment.
Balances ProjectBalances(std::span<const double> payments, int maxRoots, double rate, int periodsPerYear,
                         BalancesAt at = BalancesAt::Rate);

struct RootSearch;  // root_search.h

// The balances of the listed rate search.rates[index]: of the root it
// stands for, or at the rate itself where the census found no root in its
// grid step (rounding alone made F change sign there).
Balances ListedRateBalances(std::span<const double> payments, int maxRoots, const RootSearch& search, std::size_t index,
                            int periodsPerYear);

// "Simple, pure investment", "Nonsimple, pure", "Nonsimple, mixed", or ""
// when nothing was classified.
std::string_view ClassificationText(InvestmentType type);

}  // namespace valmora
