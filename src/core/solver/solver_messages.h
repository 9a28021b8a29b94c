// What the screens and the command line tell the user about the solver's
// own limits.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "core/solver/cash_flow_analysis.h"
#include "core/solver/root_search.h"

namespace valmora {

// Why a series could not be analysed, in a short sentence.
std::string AnalysisProblemText(AnalysisStatus status);

// A rate for a message, as "0.0####" shows it where the x = 1 / (1 + rate /
// periods) it stands for is true to 1E-04, relative; with up to 15
// significant digits where it is not (-0.9999975, not "-1.0").
// Finite rates only.
std::string RateText(double rate, int periodsPerYear);

// Rates for one sentence, all in one style: all as "0.0####" where that is
// true to 1E-04 for each, otherwise all with up to 15 significant digits.
std::vector<std::string> RateTexts(std::span<const double> rates, int periodsPerYear);

// Where a root lies whose rate no number can hold: "x = ..." or "x rounds
// to 0".
std::string NearZeroText(double x);

// Roots the scan bracketed whose rate no number can hold: counted, not
// listed. One sentence, empty when there are none.
std::string UnlistedRootsText(const RootSearch& search);

// For a scan that stopped early at x = lastX: where and why, and which rates
// were not searched. Empty for a complete scan.
std::string IncompleteScanText(ScanStop stop, double lastX, int periodsPerYear);

}  // namespace valmora
