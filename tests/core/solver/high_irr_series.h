// Conventional series with high IRRs over many periods, and a few with
// several IRRs: where balances run forward lose every digit.
#pragma once

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "solver/series_from_roots.h"

namespace valmora::testing {

struct NamedSeries {
    std::string name;
    std::vector<double> flows;
};

// -1000 then 40 payments of 2000: an IRR just below 200 %.
inline std::vector<double> TwoHundredPercent() {
    std::vector<double> flows(41, 2000.0);
    flows[0] = -1000;
    return flows;
}

// An investment followed by n drawn payments, the investment the payments'
// present value at `rate` rounded to cents: an IRR near `rate`.
inline std::vector<double> Conventional(int n, double rate, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> payment(100, 3000);
    std::vector<double> flows(static_cast<std::size_t>(n) + 1);
    double pv = 0, discount = 1;
    for (int t = 1; t <= n; ++t) {
        flows[static_cast<std::size_t>(t)] = std::round(payment(gen) * 100) / 100;
        discount /= 1 + rate;
        pv += flows[static_cast<std::size_t>(t)] * discount;
    }
    flows[0] = -std::round(pv * 100) / 100;
    return flows;
}

inline std::vector<NamedSeries> HighIrrCorpus() {
    std::vector<NamedSeries> out = {{"200 % over 40", TwoHundredPercent()}};
    struct Kind {
        int n;
        double rate;
    };
    const Kind kinds[] = {{118, 0.18}, {40, 2.0}, {60, 8.43}, {30, 19.42}, {300, 0.5},
                          {700, 0.25}, {25, 50},  {120, 0.9}, {60, -0.3},  {200, -0.05}};
    unsigned seed = 29;
    for (const Kind& k : kinds)
        for (int draw = 0; draw < 3; ++draw)
            out.push_back(
                {std::to_string(k.n) + " periods near " + std::to_string(k.rate) + " #" + std::to_string(draw),
                 Conventional(k.n, k.rate, ++seed)});
    // Several IRRs, high ones among them, over 40 to 60 periods: three roots
    // times a factor with positive coefficients (no positive roots).
    const std::vector<std::vector<double>> roots = {{1 / 3.0, 1 / 1.5, 1 / 1.1}, {0.1, 0.4, 1.25}, {0.05, 0.5}};
    for (std::size_t r = 0; r < roots.size(); ++r) {
        std::vector<double> rest(38 + 10 * r);
        std::mt19937 gen(static_cast<unsigned>(r + 7));
        std::uniform_real_distribution<double> coef(0.5, 1.5);
        for (double& c : rest) c = coef(gen);
        out.push_back({"several IRRs #" + std::to_string(r), FromRoots(roots[r], rest)});
    }
    return out;
}

}  // namespace valmora::testing
