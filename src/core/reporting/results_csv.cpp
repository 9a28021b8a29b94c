#include "core/reporting/results_csv.h"

#include <vector>

#include "core/solver/number_format.h"
#include "core/solver/project_balances.h"
#include "core/solver/search_notes.h"

namespace valmora {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string SeriesCsv(std::span<const double> flows) {
    std::string out;
    for (const double flow : flows) out += ShortestText(flow) + "\n";
    return out;
}

std::string ResultsCsv(const CashFlowAnalysis& analysis, const SearchSettings& settings, const RootSearch& search) {
    const int m = settings.periodsPerYear;
    const std::vector<double>& flows = analysis.coefficients;
    std::vector<Balances> balances;
    for (std::size_t r = 0; r < search.rates.size(); ++r)
        balances.push_back(ListedRateBalances(flows, analysis.maxRoots, search, r, m));

    std::string out = "period,cash flow";
    for (std::size_t r = 0; r < balances.size(); ++r) out += ",PB at IRR " + std::to_string(r + 1);
    out += "\n";
    for (std::size_t k = 0; k < flows.size(); ++k) {
        out += std::to_string(k) + "," + ShortestText(flows[k]);
        for (const Balances& b : balances) out += "," + (k < b.pb.size() ? ShortestText(b.pb[k]) : std::string());
        out += "\n";
    }

    out += std::string("\nIRR,") + (m > 1 ? "rate (API)" : "rate") + ",type of investment\n";
    for (std::size_t r = 0; r < balances.size(); ++r)
        out += std::to_string(r + 1) + "," + ShortestText(search.rates[r]) + "," +
               CsvField(std::string(ClassificationText(balances[r].type))) + "\n";
    if (search.rates.empty()) out += ",No IRR was found in the searched range.,\n";

    const std::vector<std::string> notes = SearchNotes(analysis, settings, search);
    if (!notes.empty()) {
        out += "\nnote\n";
        for (const std::string& note : notes) out += CsvField(note) + "\n";
    }
    return out;
}

}  // namespace valmora
