#include "core/solver/search_notes.h"

#include "core/solver/missed_roots.h"
#include "core/solver/solver_messages.h"

namespace valmora {
namespace {

// The most rates one sentence names; the rest are counted.
constexpr std::size_t kMostNamed = 8;

}  // namespace

std::string UnlistedRatesSentence(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                  const RootSearch& search) {
    const auto all = AllRootsInRange(analysis, settings, search);
    if (!all) return "";
    std::vector<double> rates;
    std::size_t unnamed = 0;  // roots whose rate no number holds, or beyond the names
    for (const RootInRange& root : *all) {
        if (root.found) continue;
        if (root.rateFinite && rates.size() < kMostNamed) rates.push_back(root.rate);
        else ++unnamed;
    }
    const std::size_t count = rates.size() + unnamed;
    if (count == 0) return "";
    if (rates.empty())
        return count == 1
                   ? "The root the scan did not list has a rate too large for a number."
                   : "The " + std::to_string(count) + " roots the scan did not list have rates too large for a number.";
    const std::vector<std::string> texts = RateTexts(rates, settings.periodsPerYear);
    std::string list;
    for (std::size_t i = 0; i < texts.size(); ++i)
        list += (i == 0 ? "" : (i + 1 == texts.size() && unnamed == 0 ? " and " : ", ")) + texts[i];
    if (unnamed > 0) list += " and " + std::to_string(unnamed) + " more";
    if (count == 1) return "The root the scan did not list lies at the rate " + list + ".";
    return "The " + std::to_string(count) + " roots the scan did not list lie at the rates " + list + ".";
}

std::vector<std::string> SearchNotes(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                     const RootSearch& search) {
    std::vector<std::string> notes;
    const int m = settings.periodsPerYear;
    if (std::string stopped = IncompleteScanText(search.stop, search.lastX, m); !stopped.empty())
        notes.push_back(std::move(stopped));
    if (std::string unlisted = UnlistedRootsText(search); !unlisted.empty()) notes.push_back(std::move(unlisted));
    if (std::string noise = NotRootsSentence(search, m); !noise.empty()) notes.push_back(std::move(noise));
    const std::vector<std::string> missed = MissedRootsSentences(analysis, settings, search);
    notes.insert(notes.end(), missed.begin(), missed.end());
    if (std::string rates = UnlistedRatesSentence(analysis, settings, search); !rates.empty())
        notes.push_back(std::move(rates));
    return notes;
}

}  // namespace valmora
