#include "core/solver/project_balances.h"

#include <algorithm>
#include <cmath>

#include "core/solver/double_double.h"
#include "core/solver/root_search.h"

namespace valmora {
namespace {

// One step of a recursion in double words; where a value overflows the
// double words would turn it into NaN, so from there on the step is plain.
DoubleDouble Finite(DoubleDouble next, double plain) {
    return std::isfinite(next.hi) ? next : DoubleDouble{plain, 0.0};
}

DoubleDouble Forward(DoubleDouble pb, double growth, double payment) {
    return Finite(PlusDouble(TimesDouble(pb, growth), payment), pb.hi * growth + payment);
}

DoubleDouble Backward(DoubleDouble pb, double growth, double payment) {
    return Finite(DivDouble(PlusDouble(pb, -payment), growth), (pb.hi - payment) / growth);
}

}  // namespace

Balances ProjectBalances(std::span<const double> payments, int maxRoots, double rate, int periodsPerYear,
                         BalancesAt at) {
    Balances b;
    if (payments.size() < 2 || periodsPerYear < 1) return b;
    const int n = static_cast<int>(payments.size()) - 1;
    b.computed = true;
    b.rate = rate;
    b.at = at;
    const double growth = rate / periodsPerYear + 1.0;

    b.pb.assign(static_cast<std::size_t>(n) + 1, 0.0);
    b.pb[0] = payments[0];
    if (at == BalancesAt::Root && std::fabs(growth) > 1.0) {
        DoubleDouble pb;  // PB(N) = 0
        for (int t = n - 1; t >= 1; --t) {
            pb = Backward(pb, growth, payments[t + 1]);
            b.pb[t] = pb.Value();
        }
    } else {
        DoubleDouble pb{payments[0], 0.0};
        for (int t = 1; t <= n; ++t) {
            pb = Forward(pb, growth, payments[t]);
            b.pb[t] = pb.Value();
        }
        if (at == BalancesAt::Root) b.pb[n] = 0.0;
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

Balances ListedRateBalances(std::span<const double> payments, int maxRoots, const RootSearch& search, std::size_t index,
                            int periodsPerYear) {
    const std::vector<std::size_t> notRoots = search.census.NotRoots();
    const bool root = std::find(notRoots.begin(), notRoots.end(), index) == notRoots.end();
    return ProjectBalances(payments, maxRoots, search.rates.at(index), periodsPerYear,
                           root ? BalancesAt::Root : BalancesAt::Rate);
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
