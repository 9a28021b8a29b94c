#include "core/solver/npv_profile.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace valmora {
namespace {

// Points placed on each side of a listed rate, closer together near it.
constexpr int kCrowdPoints = 24;

}  // namespace

double PresentValue(std::span<const double> flows, double ratePerPeriod) {
    const double x = 1.0 / (1.0 + ratePerPeriod);
    double sum = 0;
    for (auto it = flows.rbegin(); it != flows.rend(); ++it) sum = sum * x + *it;
    return sum;
}

double PresentValueError(std::span<const double> flows, double ratePerPeriod) {
    const double x = std::abs(1.0 / (1.0 + ratePerPeriod));
    double sum = 0;
    for (auto it = flows.rbegin(); it != flows.rend(); ++it) sum = sum * x + std::abs(*it);
    const double units = 2.0 * static_cast<double>(flows.size()) + 2;
    return units * std::numeric_limits<double>::epsilon() / 2 * sum;
}

namespace {

// A step of 1, 2 or 5 times a power of ten: the rate of point k is
// k * digit * 10^power, computed so that it is the double nearest that decimal.
struct GridStep {
    long long digit = 1;
    int power = 0;
    double Value() const { return At(1); }
    double At(long long k) const {
        const double whole = static_cast<double>(k * digit);
        return power < 0 ? whole / std::pow(10.0, -power) : whole * std::pow(10.0, power);
    }
};

// The largest such step not above `wanted` (powers of ten from 1E-15 to
// 1E+15), so that a range gets at least the points asked for.
GridStep StepFor(double wanted) {
    GridStep step;
    if (!(wanted > 0) || !std::isfinite(wanted)) return step;
    step.power = std::clamp(static_cast<int>(std::floor(std::log10(wanted))), -15, 15);
    for (const long long digit : {5LL, 2LL, 1LL}) {
        step.digit = digit;
        if (step.Value() <= wanted) break;
    }
    return step;
}

// `x` to 9 significant digits, the double nearest that decimal: points near
// a listed rate print as 0.0975960, never 0.09759600000000003.
double Decimal(double x) {
    if (!std::isfinite(x) || x == 0.0) return x;
    const double scale = std::pow(10.0, 8 - static_cast<int>(std::floor(std::log10(std::abs(x)))));
    const double digits = std::round(x * scale);
    return scale >= 1 ? digits / scale : digits * (1 / scale);
}

}  // namespace

RateInterval ProfileRange(std::span<const double> rates, int periodsPerYear, std::span<const RateInterval> intervals) {
    const double m = std::max(periodsPerYear, 1);
    std::vector<double> anchors;  // per period
    for (double r : rates)
        if (std::isfinite(r) && r / m > -1) anchors.push_back(r / m);
    for (const RateInterval& iv : intervals)
        for (double r : {iv.low, iv.high})
            if (std::isfinite(r)) anchors.push_back(std::max(r / m, -1.0));
    if (anchors.empty()) return {-0.5 * m, 1.0 * m};

    const auto [lo, hi] = std::minmax_element(anchors.begin(), anchors.end());
    const double margin = std::max(0.25 * (*hi - *lo), 0.05 + 0.1 * std::max(std::abs(*lo), std::abs(*hi)));
    double low = *lo - margin;
    if (low <= -1) low = -1 + (1 + *lo) / 2;
    if (!(low > -1)) low = std::nextafter(-1.0, 0.0);
    return {low * m, (*hi + margin) * m};
}

NpvProfile MakeNpvProfile(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                          std::span<const RateInterval> intervals, int samples) {
    const double m = std::max(periodsPerYear, 1);
    NpvProfile profile;
    samples = std::max(samples, 2);
    const RateInterval range = ProfileRange(rates, periodsPerYear, intervals);
    // The points of the range fall on whole multiples of a step of 1, 2 or 5
    // times a power of ten, each the nearest number to its decimal (0.03,
    // never 0.030000000000000637); the range widens to the steps around it,
    // but not down to a rate of -100 % a period.
    const GridStep step = StepFor((range.high - range.low) / samples);
    std::vector<double> at;
    constexpr double kMostSteps = 1E15;  // whole numbers of steps stay exact
    if (std::max(std::abs(range.low), std::abs(range.high)) / step.Value() < kMostSteps) {
        long long first = static_cast<long long>(std::floor(range.low / step.Value()));
        if (!(step.At(first) / m > -1)) ++first;
        const long long last = static_cast<long long>(std::ceil(range.high / step.Value()));
        profile.range = {std::min(step.At(first), range.low), std::max(step.At(last), range.high)};
        if (profile.range.low < step.At(first)) at.push_back(profile.range.low);
        for (long long k = first; k <= last; ++k) at.push_back(step.At(k));
    } else {
        // A range too narrow for its rates: equal parts of it.
        profile.range = range;
        for (int k = 0; k <= samples; ++k) at.push_back(range.low + (range.high - range.low) * k / samples);
        at.back() = range.high;
    }
    const double low = profile.range.low, high = profile.range.high;
    const double width = high - low;

    std::vector<double> listed;
    for (double r : rates)
        if (std::isfinite(r) && r >= low && r <= high) listed.push_back(r);
    std::sort(listed.begin(), listed.end());
    for (std::size_t j = 0; j < listed.size(); ++j) {
        const double r = listed[j];
        // Crowd within 2 % of the range, and within half the gap to a neighbouring rate.
        double reach = 0.02 * width;
        if (j > 0 && listed[j] > listed[j - 1]) reach = std::min(reach, 0.5 * (listed[j] - listed[j - 1]));
        if (j + 1 < listed.size() && listed[j + 1] > listed[j])
            reach = std::min(reach, 0.5 * (listed[j + 1] - listed[j]));
        at.push_back(r);
        for (int k = 1; k <= kCrowdPoints; ++k) {
            const double step =
                reach * (static_cast<double>(k) / kCrowdPoints) * (static_cast<double>(k) / kCrowdPoints);
            for (double p : {Decimal(r - step), Decimal(r + step)})
                if (p >= low && p <= high) at.push_back(p);
        }
    }
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());

    profile.points.reserve(at.size());
    for (double rate : at)
        profile.points.push_back({rate, PresentValue(flows, rate / m), PresentValueError(flows, rate / m)});
    return profile;
}

namespace {

// Near a mark: within this share of the range's width on either side.
constexpr double kNearMark = 0.05;
// Values shown reach at most this many times f's largest size near the
// mark where it stays smallest ...
constexpr double kMarkScale = 10;
// ... or, where f never changes sign, this many times its largest size over
// the range's central half.
constexpr double kCentralScale = 4;
// Nothing is cut off unless the profile reaches beyond twice that.
constexpr double kCutFactor = 2;

// The largest size of f the view must keep the curve's shape within: near
// the marks in range, or near where the points change sign when none is,
// never below the rounding error there; or over the central half of the
// range.
double ShapeScale(std::span<const ProfilePoint> points, std::span<const double> marks) {
    const double from = points.front().rate, to = points.back().rate, width = to - from;
    std::vector<double> near;
    for (double r : marks)
        if (r >= from && r <= to) near.push_back(r);
    if (near.empty())
        for (std::size_t k = 1; k < points.size(); ++k)
            if ((points[k - 1].npv < 0 && points[k].npv > 0) || (points[k - 1].npv > 0 && points[k].npv < 0))
                near.push_back(points[k].rate);
    double smallest = HUGE_VAL, noise = 0;
    for (double r : near) {
        double size = 0;
        for (const ProfilePoint& p : points) {
            if (!(std::abs(p.rate - r) <= kNearMark * width && std::isfinite(p.npv))) continue;
            size = std::max(size, std::abs(p.npv));
            noise = std::max(noise, p.error);
        }
        if (size > 0) smallest = std::min(smallest, size);
    }
    if (smallest < HUGE_VAL) return std::max(kMarkScale * smallest, noise);
    double central = 0;
    for (const ProfilePoint& p : points)
        if (p.rate >= from + width / 4 && p.rate <= to - width / 4 && std::isfinite(p.npv))
            central = std::max(central, std::abs(p.npv));
    return central > 0 ? kCentralScale * central : HUGE_VAL;
}

}  // namespace

ValueWindow ProfileValues(std::span<const ProfilePoint> points, std::span<const double> marks) {
    ValueWindow w;
    bool any = false;
    for (const ProfilePoint& p : points) {
        if (std::isnan(p.npv)) continue;
        w.cutLow = w.cutLow || p.npv == -HUGE_VAL;
        w.cutHigh = w.cutHigh || p.npv == HUGE_VAL;
        if (!std::isfinite(p.npv)) continue;
        w.low = std::min(w.low, p.npv);
        w.high = std::max(w.high, p.npv);
        any = true;
    }
    if (any) {
        const double scale = ShapeScale(points, marks);
        if (scale > 0 && std::max(-w.low, w.high) > kCutFactor * scale) {
            if (w.low < -scale) w = {-scale, w.high, true, w.cutHigh};
            if (w.high > scale) w = {w.low, scale, w.cutLow, true};
        }
    }
    const double pad = 0.05 * w.high - 0.05 * w.low;  // never above the largest double
    if (pad > 0) {
        w.low -= pad;
        w.high += pad;
    } else {
        w.low = -1;  // f is 0 throughout
        w.high = 1;
    }
    return w;
}

}  // namespace valmora
