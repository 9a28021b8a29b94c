#include "core/solver/project_balances.h"

#include <cmath>
#include <vector>

namespace valmora {

bool ComputeProjectBalances(Workspace& ws, int root) {
    const int n = Degree(ws);
    if (root < 1 || root > ws.RootCount || root >= static_cast<int>(ws.IrrList.size()) || n < 1 ||
        ws.PeriodsPerYear < 1)
        return false;

    ws.ChosenRate = ws.IrrList[root];
    const double growth = ws.ChosenRate / ws.PeriodsPerYear + 1.0;

    // PB(n) = sum of Pk * (1 + i)^(n - k) for k = 0..n, each power computed
    // directly; the powers are the same for every n, so compute them once.
    std::vector<double> power(static_cast<std::size_t>(n) + 1);
    for (int d = 0; d <= n; ++d) power[d] = std::pow(growth, d);

    ws.ProjBalance.assign(static_cast<std::size_t>(n) + 2, 0.0);
    for (int period = 0; period <= n; ++period) {
        double sum = 0.0;
        for (int k = 0; k <= period; ++k) sum = ws.PolyCoef[k + 1] * power[period - k] + sum;
        ws.ProjBalance[period + 1] = sum;
    }

    // A simple investment is pure. Otherwise the investment is mixed when two
    // successive balances PB(n - 1), PB(n), n < N, have strictly opposite signs.
    if (ws.MaxRoots == 1) {
        ws.Classification = InvestmentType::SimplePure;
        return true;
    }
    ws.Classification = InvestmentType::NonsimplePure;
    for (int j = 1; j <= n; ++j) {
        double before = ws.ProjBalance[j - 1];
        double after = ws.ProjBalance[j];
        if ((after > 0 && before < 0) || (after < 0 && before > 0)) {
            ws.Classification = InvestmentType::NonsimpleMixed;
            break;
        }
    }
    return true;
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
