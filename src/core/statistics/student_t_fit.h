// The Student t fit: location mu, scale sigma and degrees of freedom nu by
// maximum likelihood, with nu kept from kMinNu to kMaxNu.
//
// The values are centred on their median and scaled by their interquartile
// range; Fisher scoring then climbs the log-likelihood in (mu, log sigma,
// log nu): each step solves with the expected information (positive
// definite, in closed form for the t), is shortened to at most two units in
// log sigma and log nu, and is halved until the likelihood rises enough
// (Armijo). At the end of nu's range the step goes on in mu and sigma alone.
#pragma once

#include <span>

#include "core/statistics/maximum_likelihood.h"

namespace valmora {

// Beyond these the t is a normal or too heavy-tailed to be of use; an
// estimate there carries a note.
inline constexpr double kMinNu = 0.5;
inline constexpr double kMaxNu = 1000;

// Steps of Fisher scoring before the search gives up; an estimate reached
// then carries a note saying it did not converge.
inline constexpr int kStudentTSteps = 500;

LawEstimate EstimateStudentT(std::span<const double> sorted, const Law* start, int maxSteps = kStudentTSteps);

}  // namespace valmora
