#include "cli/distribution_report.h"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>

#include "core/solver/number_format.h"
#include "core/statistics/fits.h"
#include "core/statistics/histogram.h"

namespace valmora::cli {
namespace {

constexpr int kBarWidth = 40;

std::string Number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v == 0.0 ? 0.0 : v);  // never "-0"
    return text;
}

std::string Padded(std::string text, std::size_t width, bool right = true) {
    if (text.size() >= width) return text;
    const std::string pad(width - text.size(), ' ');
    return right ? pad + text : text + pad;
}

// The bins of --json, joined in groups of `group` (the last group may be
// smaller), so that every edge shown is one of theirs.
Histogram Joined(const Histogram& bins, std::size_t group) {
    Histogram joined;
    for (std::size_t k = 0; k < bins.counts.size(); k += group) {
        joined.edges.push_back(bins.edges[k]);
        long count = 0;
        for (std::size_t i = k; i < std::min(k + group, bins.counts.size()); ++i) count += bins.counts[i];
        joined.counts.push_back(count);
    }
    if (!bins.edges.empty()) joined.edges.push_back(bins.edges.back());
    return joined;
}

void PrintHistogram(std::span<const double> irrs, std::ostream& out) {
    const Histogram bins = MakeHistogram(irrs);  // as --json gives them
    if (bins.counts.empty()) return;
    // At most kTextHistogramRows rows for a terminal.
    const std::size_t rows = static_cast<std::size_t>(kTextHistogramRows);
    const std::size_t group = (bins.counts.size() + rows - 1) / rows;
    const Histogram h = group > 1 ? Joined(bins, group) : bins;
    out << "\nDistribution of the kept IRRs (" << h.counts.size() << (h.counts.size() == 1 ? " bin" : " bins")
        << " of width " << Number(h.BinWidth());
    if (group > 1)
        out << ", each joining " << group << " of the " << bins.counts.size() << " bins of width "
            << Number(bins.BinWidth()) << " that --json gives";
    out << "):\n";
    const long most = *std::max_element(h.counts.begin(), h.counts.end());
    std::vector<std::string> lows, highs;
    std::size_t width = 0;
    for (std::size_t k = 0; k < h.counts.size(); ++k) {
        lows.push_back(FormatRate(h.edges[k]));
        highs.push_back(FormatRate(h.edges[k + 1]));
        width = std::max({width, lows.back().size(), highs.back().size()});
    }
    for (std::size_t k = 0; k < h.counts.size(); ++k) {
        const long c = h.counts[k];
        auto bar = static_cast<std::size_t>((c * kBarWidth + most - 1) / most);  // any count shows
        out << "  " << Padded(lows[k], width) << " to " << Padded(highs[k], width) << "  "
            << Padded(std::string(bar, '#'), kBarWidth, false) << " " << c << "\n";
    }
}

}  // namespace

void PrintDistribution(std::span<const double> irrs, std::ostream& out) {
    PrintHistogram(irrs, out);
    const FitReport fits = FitDistributions(irrs);
    if (!fits.ranked.empty()) out << "\nFits ranked by AIC (lowest first):\n";
    int rank = 0;
    for (const DistributionFit& fit : fits.ranked) {
        std::string params;
        for (const FitParameter& p : fit.params)
            params += (params.empty() ? "" : ", ") + p.name + " = " + Number(p.value);
        out << "  " << ++rank << ". " << Padded(FamilyName(fit.family), 9, false) << "  " << Padded(params, 36, false)
            << "  AIC " << Padded(Number(fit.aic), 11) << "  KS " << Padded(Number(fit.ks), 11) << "  p "
            << Number(fit.pValue) << "\n";
    }
    if (fits.ranked.empty()) out << "\n";
    for (const SkippedFit& s : fits.skipped) out << "  " << FamilyName(s.family) << " not fitted: " << s.reason << "\n";
    if (!fits.ranked.empty())
        out << "  (lognormal: log(1 + IRR) is normal(mu, sigma); logistic: location mu, scale s)\n";
}

void AddDistributionJson(std::span<const double> irrs, nlohmann::ordered_json& j) {
    const Histogram h = MakeHistogram(irrs);
    j["histogram"] = {{"edges", h.edges}, {"counts", h.counts}};
    const FitReport fits = FitDistributions(irrs);
    auto ranked = nlohmann::ordered_json::array();
    for (const DistributionFit& fit : fits.ranked) {
        nlohmann::ordered_json params = nlohmann::ordered_json::object();
        for (const FitParameter& p : fit.params) params[p.name] = p.value;
        ranked.push_back({{"name", FamilyName(fit.family)},
                          {"params", params},
                          {"aic", fit.aic},
                          {"ks", fit.ks},
                          {"p_value", fit.pValue}});
    }
    j["fits"] = std::move(ranked);
    auto skipped = nlohmann::ordered_json::array();
    for (const SkippedFit& s : fits.skipped) skipped.push_back({{"name", FamilyName(s.family)}, {"reason", s.reason}});
    j["not_fitted"] = std::move(skipped);
}

}  // namespace valmora::cli
