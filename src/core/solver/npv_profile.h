// The NPV profile of a cash-flow series: its present value f as a function
// of the rate i (with x = 1/(1 + i)), over a range that shows every listed
// IRR with a margin, sampled densely near each of them, and the values of f
// it is best shown over.
#pragma once

#include <span>
#include <vector>

namespace valmora {

// Rates here are listed rates: the rate per period times the periods per
// year (the annual rate, API, when that is more than 1).
struct RateInterval {
    double low = 0;
    double high = 0;
};

struct ProfilePoint {
    double rate = 0;
    double npv = 0;
    double error = 0;  // a bound on the rounding error in npv
};

struct NpvProfile {
    RateInterval range;
    std::vector<ProfilePoint> points;  // strictly increasing in rate, within range
};

// P0 + P1 x + ... + PN x^N at x = 1/(1 + i), for the rate per period i > -1.
double PresentValue(std::span<const double> flows, double ratePerPeriod);
// A bound on the rounding error in PresentValue: (2N + 2) units of
// roundoff times |P0| + |P1| x + ... + |PN| x^N.
double PresentValueError(std::span<const double> flows, double ratePerPeriod);

// The rates shown: every finite listed rate and every interval, with a margin
// of a quarter of their spread (at least 5 % + a tenth of their size per
// period) on both sides, never reaching a rate per period of -1. Without any
// rate, -50 % to 100 % per period.
RateInterval ProfileRange(std::span<const double> rates, int periodsPerYear,
                          std::span<const RateInterval> intervals = {});

// `samples` evenly spaced points over ProfileRange, plus the listed rates
// themselves and points crowding towards each of them.
NpvProfile MakeNpvProfile(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                          std::span<const RateInterval> intervals = {}, int samples = 400);

// The present values a profile is shown over.
struct ValueWindow {
    double low = 0;
    double high = 0;
    bool cutLow = false;   // the profile goes below low
    bool cutHigh = false;  // the profile goes above high
};

// The values of f to show the profile over: from its lowest point to its
// highest (0 always among them) with a margin, unless far larger values
// would flatten the curve where it matters: near each of the `marks` (listed
// rates, roots) in range f must rise or fall by a good share of the values
// shown, or near each point where it changes sign when no mark is in range;
// where it never does, the central half of the range sets the scale. Values
// beyond are cut off, but those shown never shrink below the rounding error
// near the marks: the noise of rounding would look like a curve.
ValueWindow ProfileValues(std::span<const ProfilePoint> points, std::span<const double> marks);

}  // namespace valmora
