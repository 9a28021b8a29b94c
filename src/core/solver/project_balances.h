// Project balances of a listed rate and the classification of the investment.
#pragma once

#include <span>
#include <string_view>
#include <vector>

namespace valmora {

// How an investment is classified from its project balances.
enum class InvestmentType { None, SimplePure, NonsimplePure, NonsimpleMixed };

struct Balances {
    bool computed = false;   // false: no payments, or fewer than one period per year
    double rate = 0;         // the listed rate the balances are computed at
    std::vector<double> pb;  // PB(0)..PB(N)
    InvestmentType type = InvestmentType::None;
};

// The balances PB(0)..PB(N) of the series P0..PN at the rate per period
// rate / periodsPerYear, and the classification: a series with one sign
// change (maxRoots == 1) is a simple investment.
Balances ProjectBalances(std::span<const double> payments, int maxRoots, double rate, int periodsPerYear);

// "Simple, pure investment", "Nonsimple, pure", "Nonsimple, mixed", or ""
// when nothing was classified.
std::string_view ClassificationText(InvestmentType type);

}  // namespace valmora
