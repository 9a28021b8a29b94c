#include "core/solver/solver_messages.h"

#include <cmath>
#include <optional>
#include <vector>

#include "core/solver/limits.h"
#include "core/solver/number_format.h"
#include "core/solver/polynomial.h"
#include "core/solver/text_rules.h"

namespace valmora {

std::string AnalysisProblemText(AnalysisStatus status) {
    switch (status) {
        case AnalysisStatus::Ok: return "";
        case AnalysisStatus::NoPayments: return "Enter the investment and at least one payment.";
        case AnalysisStatus::TooManyPayments:
            return "At most " + std::to_string(kMaxPayments) + " payments can be analysed.";
        case AnalysisStatus::NotFinite: return "A payment is too large to compute with.";
        case AnalysisStatus::NoBound:
            return "The payments differ too much in size: no upper bound on the roots can be found.";
    }
    return "";
}

namespace {

// x = 1 / (1 + rate / periods) read off the shown rate stays within 1E-04
// of the true one, relative.
bool Close(double shown, double value) { return std::fabs(shown - value) <= 1e-4 * std::fabs(value); }

}  // namespace

std::string RateText(double rate, int periodsPerYear) {
    const std::string rounded = FormatRate(rate);
    const std::optional<double> shown = FiniteNumber(rounded);
    const double m = static_cast<double>(periodsPerYear);
    if (shown && Close(1.0 + *shown / m, 1.0 + rate / m)) return rounded;
    return GeneralText(rate);
}

std::vector<std::string> RateTexts(std::span<const double> rates, int periodsPerYear) {
    std::vector<std::string> texts;
    bool rounded = true;
    for (double rate : rates) {
        texts.push_back(RateText(rate, periodsPerYear));
        rounded = rounded && texts.back() == FormatRate(rate);
    }
    if (!rounded)
        for (std::size_t k = 0; k < rates.size(); ++k) texts[k] = GeneralText(rates[k]);
    return texts;
}

std::string IncompleteScanText(ScanStop stop, double lastX, int periodsPerYear) {
    const char* why = "";
    switch (stop) {
        case ScanStop::None: return "";
        case ScanStop::WorkBudget: why = "the work limit was reached"; break;
        case ScanStop::NotFinite: why = "F(x) became too large"; break;
        case ScanStop::Stalled: why = "x no longer grew by the increment"; break;
    }
    const std::string where = "The search stopped at x = " + GeneralText(lastX) + " (" + why + "): ";
    const double rate = RateFromRoot(lastX, periodsPerYear);
    // Rates above the largest double are all that lie below such an x.
    if (!std::isfinite(rate)) return where + "no rate that a number can hold was searched.";
    return where + "rates below " + RateText(rate, periodsPerYear) + " were not searched.";
}

std::string NearZeroText(double x) { return x > 0 ? "x = " + GeneralText(x) : "x rounds to 0"; }

std::string UnlistedRootsText(const RootSearch& search) {
    // The brackets the census found empty are no roots: said apart.
    std::vector<double> roots, noise;
    const auto& counts = search.census.unlistedBracketRoots;
    for (std::size_t i = 0; i < search.unlisted.size(); ++i)
        (i < counts.size() && counts[i] == 0 ? noise : roots).push_back(search.unlisted[i]);
    auto where = [](const std::vector<double>& xs) {
        std::string text;
        for (std::size_t i = 0; i < xs.size(); ++i) text += (i == 0 ? "" : "; ") + NearZeroText(xs[i]);
        return text;
    };
    std::string text;
    const std::size_t n = roots.size();
    if (n == 1)
        text = "1 root lies so near x = 0 that its rate is too large for a number (" + where(roots) +
               "): it is not listed.";
    else if (n > 1)
        text = std::to_string(n) + " roots lie so near x = 0 that their rates are too large for a number (" +
               where(roots) + "): they are not listed.";
    if (!noise.empty())
        text += std::string(text.empty() ? "" : " ") + "Rounding makes F(x) change sign so near x = 0 that no rate " +
                "can hold it (" + where(noise) + "), but the series as typed has no root there.";
    return text;
}

}  // namespace valmora
