#include "core/solver/solver_messages.h"

#include "core/solver/number_format.h"
#include "core/solver/polynomial.h"
#include "core/solver/text_rules.h"

namespace valmora {

std::string AnalysisProblemText(AnalysisStatus status) {
    switch (status) {
        case AnalysisStatus::Ok: return "";
        case AnalysisStatus::NoPayments: return "Enter the investment and at least one payment.";
        case AnalysisStatus::TooManyPayments: return "At most 32766 payments can be analysed.";
        case AnalysisStatus::NotFinite: return "A payment is too large to compute with.";
        case AnalysisStatus::NoBound:
            return "The payments differ too much in size: no upper bound on the roots can be found.";
    }
    return "";
}

std::string IncompleteScanText(ScanStop stop, double lastX, int periodsPerYear) {
    const char* why = "";
    switch (stop) {
        case ScanStop::None: return "";
        case ScanStop::WorkBudget: why = "the work limit was reached"; break;
        case ScanStop::NotFinite: why = "F(x) became too large"; break;
        case ScanStop::Stalled: why = "x no longer grew by the increment"; break;
    }
    return "The search stopped at x = " + GeneralText(lastX) + " (" + why + "): rates below " +
           FormatRate(RateFromRoot(lastX, periodsPerYear)) + " were not searched.";
}

std::string IncompleteScanText(const Workspace& ws) {
    return IncompleteScanText(ws.ScanStopped, ws.ScanX, ws.PeriodsPerYear);
}

}  // namespace valmora
