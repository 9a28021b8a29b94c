#include "core/statistics/student_t_fit.h"

#include <boost/math/special_functions/digamma.hpp>
#include <boost/math/special_functions/gamma.hpp>
#include <boost/math/special_functions/trigamma.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/statistics/summary.h"

namespace valmora {
namespace {

namespace bm = boost::math;

using Quiet =
    bm::policies::policy<bm::policies::domain_error<bm::policies::ignore_error>,
                         bm::policies::overflow_error<bm::policies::ignore_error>, bm::policies::promote_double<false>>;

const double kLowC = std::log(kMinNu);
const double kHighC = std::log(kMaxNu);

// A point of the search, on the centred and scaled values: location mu,
// sigma = e^b, nu = e^c.
struct Point {
    double mu = 0, b = 0, c = 0;
};

// The log-likelihood and its gradient in (mu, b, c).
struct Slope {
    double l = -INFINITY, mu = 0, b = 0, c = 0;
};

Slope Evaluate(const std::vector<double>& y, const Point& p) {
    const double n = static_cast<double>(y.size());
    const double sigma = std::exp(p.b), nu = std::exp(p.c);
    double sumLog = 0, sumZr = 0, sumQr = 0;  // of log(1 + q), z/(1 + q), q/(1 + q), q = z^2/nu
    for (double yi : y) {
        const double z = (yi - p.mu) / sigma;
        const double a = std::abs(z);
        if (a > 1e150) {  // q overflows; z/(1 + q) is 0 and q/(1 + q) is 1 to rounding
            sumLog += 2 * std::log(a) - p.c;
            sumQr += 1;
            continue;
        }
        const double q = z * z / nu;
        const double r = 1 / (1 + q);
        sumLog += std::log1p(q);
        sumZr += z * r;
        sumQr += q * r;
    }
    Slope s;
    const double logGammaStep = -std::log(bm::tgamma_delta_ratio(nu / 2, 0.5, Quiet()));
    s.l = n * (logGammaStep - 0.5 * std::log(nu * M_PI) - p.b) - (nu + 1) / 2 * sumLog;
    s.mu = (nu + 1) / (nu * sigma) * sumZr;
    s.b = -n + (nu + 1) * sumQr;
    const double dNu = n / 2 * (bm::digamma((nu + 1) / 2, Quiet()) - bm::digamma(nu / 2, Quiet()) - 1 / nu) -
                       sumLog / 2 + (nu + 1) / (2 * nu) * sumQr;
    s.c = nu * dNu;
    return s;
}

bool AtLow(double c) { return c <= kLowC + 1e-12; }
bool AtHigh(double c) { return c >= kHighC - 1e-12; }

}  // namespace

LawEstimate EstimateStudentT(std::span<const double> sorted, const Law* start, int maxSteps) {
    const FitFamily family = FitFamily::StudentT;
    const double centre = SortedQuantile(sorted, 0.5);
    const double robust = (SortedQuantile(sorted, 0.75) / 2 - SortedQuantile(sorted, 0.25) / 2) / (1.349 / 2);
    const double sd = MeanAndStandardDeviation(sorted, 0).sd;
    if (!std::isfinite(sd)) return {{family, {}}, kSpreadTooLarge, {}};
    // The scale keeps every centred value within 1e100 scales.
    const double farthest = std::max(centre / 2 - sorted.front() / 2, sorted.back() / 2 - centre / 2);
    double scale = robust > 0 ? robust : sd;
    scale = std::max(scale, farthest / 0.5e100);
    if (!(scale > 0)) return {{family, {}}, "the likelihood could not be maximised", {}};
    std::vector<double> y(sorted.size());
    for (std::size_t i = 0; i < y.size(); ++i) y[i] = (sorted[i] / 2 - centre / 2) / (scale / 2);
    const double n = static_cast<double>(y.size());
    // The spread of the bulk of the values, in scales.
    const double bulk = robust > 0 ? robust / scale : sd / scale;

    Point p{0, std::log(bulk), std::log(10.0)};
    if (start && start->p[1] > 0 && start->p[2] > 0) {
        p.mu = (start->p[0] / 2 - centre / 2) / (scale / 2);
        p.b = std::log(start->p[1] / scale);
        p.c = std::clamp(std::log(start->p[2]), kLowC, kHighC);
    }
    Slope s = Evaluate(y, p);
    if (!std::isfinite(s.l)) return {{family, {}}, "the likelihood could not be maximised", {}};
    bool converged = false;  // stopped by a test of convergence, not by running out of steps
    for (int step = 0; step < maxSteps; ++step) {
        // The expected information of n values, in (mu, b, c); mu apart.
        const double nu = std::exp(p.c), sigma = std::exp(p.b);
        const double iMu = n * (nu + 1) / ((nu + 3) * sigma * sigma);
        const double iBb = n * 2 * nu / (nu + 3);
        const double iBc = -n * 2 * nu / ((nu + 1) * (nu + 3));
        const double iCc = n * nu * nu *
                           ((bm::trigamma(nu / 2, Quiet()) - bm::trigamma((nu + 1) / 2, Quiet())) / 4 -
                            (nu + 5) / (2 * nu * (nu + 1) * (nu + 3)));
        Point d{s.mu / iMu, 0, 0};
        const double det = iBb * iCc - iBc * iBc;
        bool nuFixed = !(det > 0);
        if (!nuFixed) {
            d.b = (iCc * s.b - iBc * s.c) / det;
            d.c = (iBb * s.c - iBc * s.b) / det;
            nuFixed = (AtHigh(p.c) && d.c > 0) || (AtLow(p.c) && d.c < 0);
        }
        if (nuFixed) {
            d.b = s.b / iBb;
            d.c = 0;
        }
        const double decrement = s.mu * d.mu + s.b * d.b + s.c * d.c;
        if (!(decrement >= 0) || decrement < 1e-12 * n) {
            converged = true;
            break;
        }
        // At most two units in log sigma and log nu, and two sigmas in mu, a step.
        const double shorten =
            std::min({1.0, 2 / std::abs(d.b), 2 / std::abs(d.c), 2 * std::max(sigma, bulk) / std::abs(d.mu)});
        bool moved = false;
        for (double t = shorten; t > 1e-12; t /= 2) {
            const Point next{p.mu + t * d.mu, p.b + t * d.b, std::clamp(p.c + t * d.c, kLowC, kHighC)};
            const Slope ns = Evaluate(y, next);
            const double rise = s.mu * (next.mu - p.mu) + s.b * (next.b - p.b) + s.c * (next.c - p.c);
            if (ns.l >= s.l + 1e-4 * rise && ns.l >= s.l) {
                p = next;
                s = ns;
                moved = true;
                break;
            }
        }
        if (!moved) {  // no step rises: at the maximum to rounding
            converged = true;
            break;
        }
        // Sigma shrinking without end: a value repeated often enough makes
        // the likelihood unbounded.
        if (p.b < std::log(bulk) - std::log(1e8))
            return {{family, {}}, "too many IRRs are equal: the likelihood grows without end as sigma shrinks", {}};
    }
    LawEstimate e;
    e.law = {family, {centre + scale * p.mu, scale * std::exp(p.b), std::exp(p.c)}};
    if (AtHigh(p.c)) {
        e.law.p[2] = kMaxNu;
        e.note = "nu reached 1000, the largest tried: the tails are no heavier than a normal's";
    } else if (AtLow(p.c)) {
        e.law.p[2] = kMinNu;
        e.note = "nu reached 0.5, the smallest tried";
    }
    if (!converged) {
        const std::string stopped = "the fit did not converge in " + std::to_string(maxSteps) +
                                    " steps: the estimate is the last one reached, not a maximum of the likelihood";
        e.note = e.note.empty() ? stopped : e.note + "; " + stopped;
    }
    return e;
}

}  // namespace valmora
