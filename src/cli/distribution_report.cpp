#include "cli/distribution_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <thread>

#include "core/solver/number_format.h"
#include "core/statistics/fits.h"
#include "core/statistics/histogram.h"
#include "core/statistics/ks_bootstrap.h"

namespace valmora::cli {
namespace {

constexpr int kBarWidth = 40;

std::string Number(double v) {
    if (!std::isfinite(v)) return "too large to compute";
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", v == 0.0 ? 0.0 : v);  // never "-0"
    return text;
}

// The fits of the IRRs with their bootstrap p-values, on every processor.
FitReport FitsWithPValues(std::span<const double> irrs, int resamples) {
    FitReport fits = FitDistributions(irrs);
    if (resamples > 0) {
        BootstrapSettings settings;
        settings.resamples = resamples;
        settings.threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
        BootstrapPValues(fits, settings);
    }
    return fits;
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

void PrintDistribution(std::span<const double> irrs, int resamples, std::ostream& out) {
    PrintHistogram(irrs, out);
    const FitReport fits = FitsWithPValues(irrs, resamples);
    if (!fits.ranked.empty()) {
        out << "\nFits ranked by AIC (lowest first)";
        if (resamples > 0)
            out << "; p-values from " << resamples << (resamples == 1 ? " resample" : " resamples")
                << " of a parametric bootstrap of the KS distance";
        out << ":\n";
    }
    std::vector<std::string> params;
    std::size_t width = 0;
    for (const DistributionFit& fit : fits.ranked) {
        std::string text;
        for (const FitParameter& p : fit.params) text += (text.empty() ? "" : ", ") + p.name + " = " + Number(p.value);
        width = std::max(width, text.size());
        params.push_back(std::move(text));
    }
    for (std::size_t k = 0; k < fits.ranked.size(); ++k) {
        const DistributionFit& fit = fits.ranked[k];
        out << "  " << k + 1 << ". " << Padded(FamilyName(fit.family), 9, false) << "  "
            << Padded(params[k], width, false) << "  AIC " << Padded(Number(fit.aic), 11) << "  KS "
            << Padded(Number(fit.ks), 9) << "  p " << (fit.pValue ? Number(*fit.pValue) : "-");
        if (fit.pValue && fit.resamples != resamples) out << " (" << fit.resamples << " resamples refitted)";
        out << "\n";
    }
    if (fits.ranked.empty()) out << "\n";
    for (const DistributionFit& fit : fits.ranked)
        if (!fit.note.empty()) out << "  " << FamilyName(fit.family) << ": " << fit.note << "\n";
    for (const SkippedFit& s : fits.skipped) out << "  " << FamilyName(s.family) << " not fitted: " << s.reason << "\n";
    for (const std::string& note : fits.notes) out << "  " << note << "\n";
    if (const std::string none = NoLawFitsSentence(fits); !none.empty()) out << none << "\n";
    if (!fits.ranked.empty())
        out << "  (lognormal: log(1 + IRR) is normal(mu, sigma); gamma and weibull: of 1 + IRR; logistic: location\n"
               "  mu, scale s; student_t: location mu, scale sigma, nu degrees of freedom)\n";
}

void AddDistributionJson(std::span<const double> irrs, int resamples, nlohmann::ordered_json& j) {
    const Histogram h = MakeHistogram(irrs);
    j["histogram"] = {{"edges", h.edges}, {"counts", h.counts}};
    const FitReport fits = FitsWithPValues(irrs, resamples);
    auto ranked = nlohmann::ordered_json::array();
    for (const DistributionFit& fit : fits.ranked) {
        nlohmann::ordered_json params = nlohmann::ordered_json::object();
        for (const FitParameter& p : fit.params) params[p.name] = p.value;
        nlohmann::ordered_json entry = {{"name", FamilyName(fit.family)},
                                        {"params", params},
                                        {"aic", fit.aic},
                                        {"ks", fit.ks},
                                        {"p_value", fit.pValue ? nlohmann::ordered_json(*fit.pValue) : nullptr},
                                        {"resamples", fit.resamples}};
        if (!fit.note.empty()) entry["note"] = fit.note;
        ranked.push_back(std::move(entry));
    }
    j["fits"] = std::move(ranked);
    auto skipped = nlohmann::ordered_json::array();
    for (const SkippedFit& s : fits.skipped) skipped.push_back({{"name", FamilyName(s.family)}, {"reason", s.reason}});
    j["not_fitted"] = std::move(skipped);
}

}  // namespace valmora::cli
