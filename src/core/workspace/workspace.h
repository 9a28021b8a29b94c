// The evaluation workspace: the one store of state the screens share, with
// every variable under its own name. The solver and the simulation run take
// values and return values; core/workspace/workspace_mirror.h fills the
// workspace from them, one step at a time.
//
// Coefficient arrays are used from index 1: index k + 1 holds the coefficient
// of x^k, index 0 is allocated and never used. Every element reads as 0 until
// it is assigned. Loop counters and per-step scratch sums are local to the
// procedures that use them; only state that outlives a procedure or that a
// screen shows lives here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/solver/project_balances.h"
#include "core/solver/root_search.h"

namespace valmora {

struct Workspace {
    // Login dialog.
    std::string LoginUserName;
    std::string LoginPassword;
    std::string PasswordPrompt;

    // Cash-flow analysis: PolyCoef(k + 1) = Pk, DerivCoef(k) = k * Pk,
    // SynthDiv rows 1 (sign-normalised coefficients, x^N first) and 2 (the
    // bottom row of the division by the bound). Row 0 is never used.
    std::vector<double> PolyCoef;
    std::vector<double> DerivCoef;
    std::vector<double> SynthDiv[3];

    // Rates listed by the latest scan, slots 1..RootCount.
    std::vector<double> IrrList;
    // Project balances of the chosen rate: ProjBalance(n + 1) = PB(n).
    std::vector<double> ProjBalance;

    double UpperBound = 0;
    std::int16_t PeriodsPerYear = 0;
    std::int16_t NumPayments = 0;
    std::int16_t SimNumPayments = 0;
    double SimInvestment = 0;
    std::int16_t SelRow = 0;
    std::int16_t SelCol = 0;
    std::string CellText;
    std::string KeyChar;
    int MaxRoots = 0;

    // Result of the latest root location: the last x scanned, the number of
    // rates listed.
    double ScanX = 0;
    int RootCount = 0;
    // Set when the latest scan stopped early; ScanX then holds the point
    // where it stopped and nothing beyond it was searched.
    ScanStop ScanStopped = ScanStop::None;
    // Intervals of x where the latest scan missed roots, in increasing x.
    std::vector<MissedRoots> MissedIntervals;

    double Increment = 0;
    double Tolerance = 0;
    std::int16_t NumSimulations = 0;

    // Project balances and simulation results.
    double ChosenRate = 0;
    InvestmentType Classification = InvestmentType::None;
    double MeanIrr = 0;
    double PrevMeanIrr = 0;

    // Simulation settings.
    double DistParam1 = 0;
    double DistParam2 = 0;
    double DistParam3 = 0;
    std::int16_t DistType = 0;
    std::string OutputPath;
    std::int16_t SaveToFile = 0;
    std::int16_t AllowNegPayments = 0;
    std::int16_t IrrChoice = 0;
    bool NotifyOtherIrr = false;

    // Answer of the last exit confirmation (true for Yes).
    bool Answer = false;
};

// N of the series held in PolyCoef (0 when nothing has been analysed).
inline int Degree(const Workspace& ws) {
    return ws.PolyCoef.size() >= 2 ? static_cast<int>(ws.PolyCoef.size()) - 2 : 0;
}

}  // namespace valmora
