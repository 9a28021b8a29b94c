// Maximum-likelihood estimates of the candidate laws from a sample on the
// law's own scale (the IRR, or 1 + IRR for the laws of 1 + IRR):
//   normal, lognormal  closed form;
//   logistic           Newton's method on the concave log-likelihood;
//   gamma              Newton's method on the shape's profile equation
//                      log(shape) - digamma(shape) = log(mean) - mean(log);
//   Weibull            a bracketing root finder (TOMS 748) on the shape's
//                      profile equation, which rises with the shape;
//   Student t          Fisher scoring (student_t_fit.h).
#pragma once

#include <span>
#include <string>

#include "core/statistics/laws.h"

namespace valmora {

struct LawEstimate {
    Law law;
    std::string failure;  // why there is no estimate; empty when there is one
    std::string note;     // about the estimate, e.g. a parameter at the end of its range
    bool Ok() const { return failure.empty(); }
};

// `sorted` holds at least two different values in increasing order, on the
// family's own scale (positive for the laws of 1 + IRR). `start`, when given,
// is a law of the same family near the estimate (a bootstrap resample's
// fitted law); the iterative estimates start there.
LawEstimate EstimateLaw(FitFamily family, std::span<const double> sorted, const Law* start = nullptr);

// Why a fit fails when the values spread too far for their standard deviation
// to be a number.
inline constexpr const char* kSpreadTooLarge =
    "the IRRs spread too far: their standard deviation is too large for a number";

}  // namespace valmora
