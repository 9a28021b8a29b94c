#include "core/solver/root_location.h"

#include <cmath>

#include "core/solver/polynomial.h"

namespace valmora {
namespace {

class Scanner {
public:
    Scanner(Workspace& ws, std::uint64_t budget)
        : ws_(ws), terms_(Degree(ws) + 1), budget_(budget) {}

    ScanResult Run();

private:
    double F(double x) {
        work_ += static_cast<std::uint64_t>(terms_);
        return EvalTerms(ws_.PolyCoef, terms_, x);
    }
    double DF(double x) {
        work_ += static_cast<std::uint64_t>(terms_ - 1);
        return EvalTerms(ws_.DerivCoef, terms_ - 1, x);
    }
    bool Newton(double lo, double hi);
    void Bisect(double lo, double hi, double fLo);

    Workspace& ws_;
    const int terms_;
    const std::uint64_t budget_;
    std::uint64_t work_ = 0;
};

// Newton's method from the right end of the bracket [lo, hi]. True when it
// converged to a positive point inside the bracket widened by the tolerance;
// NewtonX then holds the root.
bool Scanner::Newton(double lo, double hi) {
    const double tol = ws_.Tolerance;
    ws_.NewtonXOld = hi;
    ws_.NewtonX = 9999.0;
    ws_.StepFlag = 0;
    for (int step = 0;; ++step) {
        if (ws_.StepFlag > 0 && std::fabs(ws_.NewtonX - ws_.NewtonXOld) <= tol) {
            double x = ws_.NewtonX;
            return x > 0.0 && x >= lo - tol && x <= hi + tol;
        }
        if (step == kMaxNewtonSteps) return false;
        if (ws_.StepFlag > 0) ws_.NewtonXOld = ws_.NewtonX;
        ws_.NewtonF = F(ws_.NewtonXOld);
        ws_.NewtonFSaved = ws_.NewtonF;
        ws_.NewtonDF = DF(ws_.NewtonXOld);
        if (ws_.NewtonDF == 0.0 || !std::isfinite(ws_.NewtonDF) || !std::isfinite(ws_.NewtonFSaved))
            return false;
        ws_.NewtonX = ws_.NewtonXOld - ws_.NewtonFSaved / ws_.NewtonDF;
        if (!std::isfinite(ws_.NewtonX)) return false;
        ws_.StepFlag = 1;
    }
}

// Bisection of the bracket [lo, hi], where f(lo) has the sign of fLo and
// f(hi) the opposite one, down to the tolerance or until it cannot shrink;
// NewtonX receives the root.
void Scanner::Bisect(double lo, double hi, double fLo) {
    for (;;) {
        double mid = lo + (hi - lo) / 2.0;
        if (hi - lo <= ws_.Tolerance || mid <= lo || mid >= hi) break;
        double fMid = F(mid);
        if (fMid == 0.0 || !std::isfinite(fMid)) {
            lo = hi = mid;
            break;
        }
        if ((fMid < 0.0) == (fLo < 0.0)) lo = mid;
        else hi = mid;
    }
    ws_.NewtonX = lo + (hi - lo) / 2.0;
}

ScanResult Scanner::Run() {
    ws_.RootCount = 0;
    ws_.IrrList.assign(1, 0.0);
    ws_.ScanStopped = ScanStop::None;
    ws_.ScanX = 0.0;
    ws_.ScanF = F(0.0);
    ws_.ScanFPrev = ws_.ScanF;

    ScanStop stop = ScanStop::None;
    while (ws_.ScanX <= ws_.UpperBound && ws_.RootCount < ws_.MaxRoots) {
        if (work_ >= budget_) { stop = ScanStop::WorkBudget; break; }
        const double prevX = ws_.ScanX;
        const double nextX = prevX + ws_.Increment;
        if (nextX == prevX) { stop = ScanStop::Stalled; break; }
        ws_.ScanX = nextX;
        ws_.ScanF = F(ws_.ScanX);
        ws_.ScanFCur = ws_.ScanF;
        if (!std::isfinite(ws_.ScanFCur)) { stop = ScanStop::NotFinite; break; }
        if ((ws_.ScanFCur > 0 && ws_.ScanFPrev < 0) || (ws_.ScanFCur < 0 && ws_.ScanFPrev > 0)) {
            if (!Newton(prevX, ws_.ScanX)) Bisect(prevX, ws_.ScanX, ws_.ScanFPrev);
            const double rate = RateFromRoot(ws_.NewtonX, ws_.PeriodsPerYear);
            if (!std::isfinite(rate)) { stop = ScanStop::NotFinite; break; }
            ++ws_.RootCount;
            ws_.IrrList.push_back(rate);
        }
        ws_.ScanFPrev = ws_.ScanFCur;
    }
    ws_.ScanStopped = stop;
    return {stop == ScanStop::None ? ScanStatus::Complete : ScanStatus::Incomplete, stop};
}

}  // namespace

ScanResult LocateRoots(Workspace& ws, std::uint64_t workBudget) {
    const int n = Degree(ws);
    if (n < 1 || ws.DerivCoef.size() != ws.PolyCoef.size()) return {ScanStatus::NotAnalysed};
    if (!(ws.Increment > 0.0) || !std::isfinite(ws.Increment)) return {ScanStatus::BadIncrement};
    if (!(ws.Tolerance >= 0.0) || !std::isfinite(ws.Tolerance)) return {ScanStatus::BadTolerance};
    if (ws.PeriodsPerYear < 1) return {ScanStatus::BadPeriods};
    return Scanner(ws, workBudget).Run();
}

}  // namespace valmora
