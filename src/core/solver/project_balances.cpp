#include "core/solver/project_balances.h"

#include <cmath>

namespace valmora {

Balances ProjectBalances(std::span<const double> payments, int maxRoots, double rate, int periodsPerYear) {
    Balances b;
    if (payments.size() < 2 || periodsPerYear < 1) return b;
    const int n = static_cast<int>(payments.size()) - 1;
    b.computed = true;
    b.rate = rate;
    const double growth = rate / periodsPerYear + 1.0;

    // PB(n) = sum of Pk * (1 + i)^(n - k) for k = 0..n, each power computed
    // directly as the original program did (Horner's rule would round
    // differently); the powers are the same for every n, so compute them once.
    std::vector<double> power(static_cast<std::size_t>(n) + 1);
    for (int d = 0; d <= n; ++d) power[d] = std::pow(growth, d);

    b.pb.assign(static_cast<std::size_t>(n) + 1, 0.0);
    for (int period = 0; period <= n; ++period) {
        double sum = 0.0;
        for (int k = 0; k <= period; ++k) sum = payments[k] * power[period - k] + sum;
        b.pb[period] = sum;
    }

    // A simple investment is pure. Otherwise the investment is mixed when two
    // successive balances PB(n - 1), PB(n), n < N, have strictly opposite signs.
    if (maxRoots == 1) {
        b.type = InvestmentType::SimplePure;
        return b;
    }
    b.type = InvestmentType::NonsimplePure;
    for (int j = 1; j < n; ++j) {
        const double before = b.pb[j - 1];
        const double after = b.pb[j];
        if ((after > 0 && before < 0) || (after < 0 && before > 0)) {
            b.type = InvestmentType::NonsimpleMixed;
            break;
        }
    }
    return b;
}

std::string_view ClassificationText(InvestmentType type) {
    switch (type) {
        case InvestmentType::SimplePure: return "Simple, pure investment";
        case InvestmentType::NonsimplePure: return "Nonsimple, pure";
        case InvestmentType::NonsimpleMixed: return "Nonsimple, mixed";
        case InvestmentType::None: break;
    }
    return "";
}

}  // namespace valmora
