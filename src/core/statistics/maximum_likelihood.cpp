#include "core/statistics/maximum_likelihood.h"

#include <boost/math/special_functions/digamma.hpp>
#include <boost/math/special_functions/trigamma.hpp>
#include <boost/math/tools/toms748_solve.hpp>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "core/statistics/student_t_fit.h"
#include "core/statistics/summary.h"

namespace valmora {
namespace {

namespace bm = boost::math;

constexpr const char* kNoMaximum = "the likelihood could not be maximised";

LawEstimate Failed(FitFamily family, std::string why) { return {{family, {}}, std::move(why), {}}; }

LawEstimate FitNormal(std::span<const double> sorted) {
    const MeanAndSd m = MeanAndStandardDeviation(sorted, 0);
    if (!std::isfinite(m.sd)) return Failed(FitFamily::Normal, kSpreadTooLarge);
    return {{FitFamily::Normal, {m.mean, m.sd}}, {}, {}};
}

LawEstimate FitLognormal(std::span<const double> sorted) {
    std::vector<double> logs(sorted.size());
    std::transform(sorted.begin(), sorted.end(), logs.begin(), [](double v) { return std::log(v); });
    if (NoSpread(logs.front(), logs.back())) return Failed(FitFamily::Lognormal, "every log(1 + IRR) is the same");
    const MeanAndSd m = MeanAndStandardDeviation(logs, 0);
    return {{FitFamily::Lognormal, {m.mean, m.sd}}, {}, {}};
}

// Logistic maximum likelihood. With u = b*y - a (a = mu/s, b = 1/s) the
// log-likelihood sum(log f(u_i)) + n log b is strictly concave, so Newton's
// method with a backtracking line search converges to the one maximum. The
// values are centred and scaled first so that the start is always close.
LawEstimate FitLogistic(std::span<const double> sorted, const Law* start) {
    const double centre = SortedQuantile(sorted, 0.5);
    const double scale = MeanAndStandardDeviation(sorted, 0).sd;
    if (!std::isfinite(scale)) return Failed(FitFamily::Logistic, kSpreadTooLarge);
    if (!(scale > 0)) return Failed(FitFamily::Logistic, kNoMaximum);
    std::vector<double> y(sorted.size());
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = (sorted[i] - centre) / scale;
    const double n = static_cast<double>(y.size());

    // The log-likelihood, its gradient and its Hessian at (a, b), in one pass.
    struct Sums {
        double l, ga, gb, haa, hab, hbb;
    };
    auto evaluate = [&](double a, double b) {
        Sums s{n * std::log(b), 0, n / b, 0, 0, -n / (b * b)};
        for (double yi : y) {
            const double u = b * yi - a;
            const double e = std::exp(-std::abs(u));
            s.l += -std::abs(u) - 2.0 * std::log1p(e);
            const double t = std::copysign((1 - e) / (1 + e), u);  // tanh(u / 2)
            const double w = 2 * e / ((1 + e) * (1 + e));          // (1 - t^2) / 2
            s.ga += t;
            s.gb -= t * yi;
            s.haa -= w;
            s.hab += w * yi;
            s.hbb -= w * yi * yi;
        }
        return s;
    };

    double a = 0, b = M_PI / std::sqrt(3.0);  // a logistic of the sample's SD
    if (start && start->p[1] > 0) {
        b = scale / start->p[1];
        a = b * (start->p[0] - centre) / scale;
    }
    Sums s = evaluate(a, b);
    for (int iter = 0; iter < 200; ++iter) {
        const double det = s.haa * s.hbb - s.hab * s.hab;
        if (!(det > 0)) return Failed(FitFamily::Logistic, kNoMaximum);
        // Newton direction: -H^-1 g.
        const double da = -(s.hbb * s.ga - s.hab * s.gb) / det;
        const double db = -(-s.hab * s.ga + s.haa * s.gb) / det;
        const double decrement = s.ga * da + s.gb * db;  // -g' H^-1 g >= 0
        if (!(decrement >= 0)) return Failed(FitFamily::Logistic, kNoMaximum);
        if (decrement < 1e-24 * n) break;
        // Close to the maximum the likelihood changes by less than its
        // rounding; full Newton steps converge there.
        const bool close = decrement < 1e-8 * n;
        double t = 1.0;
        bool moved = false;
        Sums next{};
        for (int halving = 0; halving < 60 && !moved; ++halving, t /= 2) {
            if (b + t * db <= 0) continue;
            next = evaluate(a + t * da, b + t * db);
            moved = close || next.l >= s.l + 1e-4 * t * decrement;
            if (moved) break;
        }
        if (!moved) break;  // no step improves: at the maximum to rounding
        a += t * da;
        b += t * db;
        s = next;
        if (std::abs(t * da) < 1e-14 * (1 + std::abs(a)) && std::abs(t * db) < 1e-14 * b) break;
    }
    return {{FitFamily::Logistic, {centre + scale * a / b, scale / b}}, {}, {}};
}

// log(a) - digamma(a) and its derivative 1/a - trigamma(a); asymptotic
// series for large a, where the difference of the two would lose digits.
double LogMinusDigamma(double a) {
    if (a < 10) return std::log(a) - bm::digamma(a);
    const double r = 1 / (a * a);
    return 1 / (2 * a) + r * (1.0 / 12 - r * (1.0 / 120 - r * (1.0 / 252 - r * (1.0 / 240 - r / 132))));
}

double LogMinusDigammaSlope(double a) {
    if (a < 10) return 1 / a - bm::trigamma(a);
    const double r = 1 / (a * a);
    return -(r / 2 + (1 / a) * r * (1.0 / 6 - r * (1.0 / 30 - r * (1.0 / 42 - r * (1.0 / 30 - r * 5.0 / 66)))));
}

// Gamma maximum likelihood: scale = mean / shape, and the shape solves
// log(shape) - digamma(shape) = s with s = log(mean) - mean(log) > 0, by
// Minka's Newton iteration in 1/shape from the Choi-Wette start, which
// converges in a few steps from either side.
LawEstimate FitGamma(std::span<const double> sorted) {
    const double largest = sorted.back();
    const double n = static_cast<double>(sorted.size());
    double sum = 0;
    for (double v : sorted) sum += v / largest;
    const double mean = sum / n;  // of the values over the largest
    // s = -mean(log r), r = v / (largest mean), as the mean of the
    // non-negative r - 1 - log r less the mean of r - 1, which rounding
    // leaves near 0: no digits lost when the values are close together. A
    // ratio near 0 has its logarithm from the values' logarithms.
    const double logUnit = std::log(largest) + std::log(mean);
    double gap = 0, drift = 0;
    for (double v : sorted) {
        const double r = v / largest / mean;
        const double logR = r > 0.5 ? std::log1p(r - 1) : r > 1e-300 ? std::log(r) : std::log(v) - logUnit;
        gap += (r - 1) - logR;
        drift += r - 1;
    }
    const double s = gap / n - drift / n;
    if (!(s > 0) || !std::isfinite(s)) return Failed(FitFamily::Gamma, "every 1 + IRR is the same");
    double shape = (3 - s + std::sqrt((s - 3) * (s - 3) + 24 * s)) / (12 * s);
    for (int iter = 0; iter < 100; ++iter) {
        const double next =
            1 / (1 / shape + (LogMinusDigamma(shape) - s) / (shape * shape * LogMinusDigammaSlope(shape)));
        if (!(next > 0) || !std::isfinite(next)) return Failed(FitFamily::Gamma, kNoMaximum);
        const bool settled = std::abs(next - shape) <= 1e-14 * shape;
        shape = next;
        if (settled) break;
    }
    return {{FitFamily::Gamma, {shape, mean * largest / shape}}, {}, {}};
}

// Weibull maximum likelihood: with u = log v - max(log v), the shape k solves
// h(k) = sum(e^(k u) u) / sum(e^(k u)) - 1/k - mean(u) = 0, h rising from
// -infinity to -mean(u) > 0; scale = (mean(v^k))^(1/k). e^(k u) <= 1 cannot
// overflow.
LawEstimate FitWeibull(std::span<const double> sorted, const Law* start) {
    const double n = static_cast<double>(sorted.size());
    const double top = std::log(sorted.back());
    std::vector<double> u(sorted.size());
    double meanU = 0;
    for (std::size_t i = 0; i < u.size(); ++i) {
        u[i] = std::log(sorted[i]) - top;
        meanU += u[i] / n;
    }
    if (NoSpread(u.front() + top, top)) return Failed(FitFamily::Weibull, "every log(1 + IRR) is the same");
    auto sums = [&](double k) {
        double s0 = 0, s1 = 0;
        for (double ui : u) {
            const double w = std::exp(k * ui);
            s0 += w;
            s1 += w * ui;
        }
        return std::pair{s0, s1};
    };
    auto h = [&](double k) {
        const auto [s0, s1] = sums(k);
        return s1 / s0 - 1 / k - meanU;
    };
    // Start from the moments of log v (a Gumbel's SD is pi / (k sqrt 6)), or
    // the law given, then widen to a bracket.
    double low = start && start->p[0] > 0 ? start->p[0] : 1.28 / MeanAndStandardDeviation(u, 0).sd;
    double high = low;
    double hLow = h(low), hHigh = hLow;
    for (int k = 0; k < 200 && hLow > 0; ++k) hLow = h(low /= 2);
    for (int k = 0; k < 200 && hHigh < 0; ++k) hHigh = h(high *= 2);
    if (!(hLow <= 0 && hHigh >= 0)) return Failed(FitFamily::Weibull, kNoMaximum);
    double shape = low;
    if (hLow < 0 && hHigh > 0) {
        std::uintmax_t iterations = 100;
        const auto [a, b] =
            bm::tools::toms748_solve(h, low, high, hLow, hHigh, bm::tools::eps_tolerance<double>(45), iterations);
        shape = a + (b - a) / 2;
    } else if (hHigh == 0) {
        shape = high;
    }
    const double scale = std::exp(top + std::log(sums(shape).first / n) / shape);
    return {{FitFamily::Weibull, {shape, scale}}, {}, {}};
}

}  // namespace

LawEstimate EstimateLaw(FitFamily family, std::span<const double> sorted, const Law* start) {
    LawEstimate e;
    switch (family) {
        case FitFamily::Normal: e = FitNormal(sorted); break;
        case FitFamily::Lognormal: e = FitLognormal(sorted); break;
        case FitFamily::Logistic: e = FitLogistic(sorted, start); break;
        case FitFamily::Gamma: e = FitGamma(sorted); break;
        case FitFamily::Weibull: e = FitWeibull(sorted, start); break;
        case FitFamily::StudentT: e = EstimateStudentT(sorted, start); break;
    }
    if (!e.Ok()) return e;
    // Scales and shapes are positive; locations may be anything finite.
    const bool shapeFirst = family == FitFamily::Gamma || family == FitFamily::Weibull;
    for (int k = 0; k < ParameterCount(family); ++k) {
        const double v = e.law.p[static_cast<std::size_t>(k)];
        if (!std::isfinite(v)) return Failed(family, "its parameters are too large for a number");
        if ((k > 0 || shapeFirst) && !(v > 0)) return Failed(family, kNoMaximum);
    }
    return e;
}

}  // namespace valmora
