// The deterministic screen's series and results as CSV files.
#pragma once

#include <span>
#include <string>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_search.h"
#include "core/solver/search_settings.h"

namespace valmora {

// One cash flow a line, P0 first, each the shortest decimal that reads back
// as the same double: the file `valmora-cli irr --file` reads.
std::string SeriesCsv(std::span<const double> flows);

// A CSV field, quoted when it holds a delimiter, a quote or a line break.
std::string CsvField(const std::string& text);

// The series with the project balances at every listed rate (one column a
// rate), then the rates with their classifications, then the notes on the
// search (missed roots, rates that stand for no root), each block under its
// own header line and after a blank line. Numbers to full precision.
std::string ResultsCsv(const CashFlowAnalysis& analysis, const SearchSettings& settings, const RootSearch& search);

}  // namespace valmora
