// Independent checks of dated roots: XNPV's sign at a rate by a formula of
// its own (Arb's rational powers at high precision, every flow as given,
// none merged), the spreadsheets' Newton XIRR, random series, and a check
// of every certificate a result carries.
#pragma once

#include <arb.h>
#include <flint/fmpq.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

#include "core/dated/calendar.h"
#include "core/dated/xirr.h"

namespace valmora::testing {

// XNPV's sign at the exact rate r + extra / 2 (so that the midpoint of
// two doubles is exact): -1 or +1, 0 when 2048 bits cannot tell (a root).
inline int HighPrecisionSign(const std::vector<DatedFlow>& flows, DayCount dayCount, double r, double extra = 0) {
    std::int64_t d0 = flows.front().day;
    for (const auto& f : flows) d0 = std::min(d0, f.day);
    int sign = 0;
    arb_t base, term, sum;
    arf_t amount;
    fmpq_t y;
    arb_init(base);
    arb_init(term);
    arb_init(sum);
    arf_init(amount);
    fmpq_init(y);
    for (slong prec = 512; prec <= 2048 && sign == 0; prec *= 2) {
        arb_set_d(base, extra);
        arb_mul_2exp_si(base, base, -1);
        arb_set_d(term, r);
        arb_add(base, base, term, ARF_PREC_EXACT);
        arb_add_ui(base, base, 1, ARF_PREC_EXACT);
        arb_zero(sum);
        for (const auto& f : flows) {
            if (dayCount == DayCount::Actual365) {
                fmpq_set_si(y, -(f.day - d0), 365);
            } else {
                const DaySplit s = SplitDays(d0, f.day);
                fmpq_set_si(y, -(366 * s.common + 365 * s.leap), 133590);
            }
            arb_pow_fmpq(term, base, y, prec);
            arf_set_d(amount, f.amount);
            arb_mul_arf(term, term, amount, prec);
            arb_add(sum, sum, term, prec);
        }
        if (arb_is_positive(sum)) sign = 1;
        if (arb_is_negative(sum)) sign = -1;
    }
    fmpq_clear(y);
    arf_clear(amount);
    arb_clear(base);
    arb_clear(term);
    arb_clear(sum);
    return sign;
}

// The spreadsheets' XIRR: Newton's method on XNPV from a guess, at most
// 100 steps, until a step is below 1e-10; nothing when it fails.
inline std::optional<double> NewtonXirr(const std::vector<DatedFlow>& flows, double guess = 0.1) {
    std::int64_t d0 = flows.front().day;
    for (const auto& f : flows) d0 = std::min(d0, f.day);
    double r = guess;
    for (int step = 0; step < 100; ++step) {
        double v = 0, dv = 0;
        for (const auto& f : flows) {
            const double y = static_cast<double>(f.day - d0) / 365.0;
            const double p = std::pow(1.0 + r, -y);
            v += f.amount * p;
            dv -= y * f.amount * p / (1.0 + r);
        }
        const double next = r - v / dv;
        if (!std::isfinite(next) || next <= -1.0) return std::nullopt;
        if (std::fabs(next - r) < 1e-10) return next;
        r = next;
    }
    return std::nullopt;
}

// A series of n flows over `years`: an investment on day 0, then calls in
// the first third and distributions after (a fund), or amounts of random
// sign. Amounts in cents.
inline std::vector<DatedFlow> RandomSeries(std::mt19937_64& rng, int n, int years, bool randomSigns) {
    std::uniform_int_distribution<int> day(1, years * 365);
    std::normal_distribution<double> z(0.0, 1.0);
    std::vector<DatedFlow> f{{0, -1000.0}};
    for (int i = 1; i < n; ++i) {
        const int d = day(rng);
        const double frac = static_cast<double>(d) / (years * 365);
        const double a =
            randomSigns ? 100 * z(rng) : (frac < 0.3 ? -100 * std::fabs(z(rng)) : 60 * std::exp(0.5 * z(rng)));
        f.push_back({d, std::round(a * 100) / 100});
    }
    return f;
}

// Checks every certificate of `result` against the independent signs:
// brackets of neighbouring doubles with opposite signs and the nearer one
// chosen, roots in order within the bounds, Descartes' count and parity,
// and on a grid of t across the bounds every sign change of XNPV owned by
// a listed root or an undecided stretch.
inline void CheckCertificates(const std::vector<DatedFlow>& flows, DayCount dayCount, const XirrResult& r,
                              int grid = 64) {
    ASSERT_EQ(r.status, XirrStatus::Ok);
    int multiplicities = 0;
    double previous = -INFINITY;
    for (const XirrRoot& root : r.roots) {
        SCOPED_TRACE(::testing::Message() << "root " << root.rate);
        EXPECT_LE(root.rateLo, root.rate);
        EXPECT_LE(root.rate, root.rateHi);
        EXPECT_LE(root.logLo, root.logHi);
        EXPECT_GT(root.logLo, previous);
        previous = root.logHi;
        EXPECT_GE(root.logLo, r.logLower);
        EXPECT_LE(root.logHi, r.logUpper);
        multiplicities += root.multiplicity;
        if (!root.nearest || root.rateLo <= -1.0 || std::isinf(root.rateHi)) continue;
        const int lo = HighPrecisionSign(flows, dayCount, root.rateLo);
        const int hi = HighPrecisionSign(flows, dayCount, root.rateHi);
        if (root.rateLo == root.rateHi) {
            EXPECT_EQ(lo, 0) << "an exact root";
            continue;
        }
        EXPECT_EQ(std::nextafter(root.rateLo, INFINITY), root.rateHi) << "neighbouring doubles";
        if (root.touching) continue;
        ASSERT_NE(lo, 0);
        ASSERT_EQ(lo, -hi) << "a sign change across the bracket";
        const int mid = HighPrecisionSign(flows, dayCount, root.rateLo, root.rateHi - root.rateLo);
        if (mid != 0) { EXPECT_EQ(root.rate, mid == lo ? root.rateHi : root.rateLo) << "the nearer double"; }
    }
    EXPECT_LE(multiplicities, r.signChanges);
    if (r.AllDecided()) { EXPECT_EQ((r.signChanges - multiplicities) % 2, 0); }
    if (!r.bounded || grid == 0) return;
    // The sign at grid points of t (as rates, where doubles tell them
    // apart); between two points of opposite sign a root must be listed or
    // left undecided.
    std::vector<double> ts;
    for (int k = 0; k <= grid; ++k) ts.push_back(r.logLower + (r.logUpper - r.logLower) * k / grid);
    int lastSign = 0;
    double lastT = 0;
    for (double t : ts) {
        const double rate = std::expm1(t);
        if (!(rate > -1.0) || !std::isfinite(rate)) continue;
        const int s = HighPrecisionSign(flows, dayCount, rate);
        if (s == 0) continue;
        if (lastSign != 0 && s != lastSign) {
            const double lt = std::log1p(std::expm1(lastT)), ht = std::log1p(rate);
            bool owned = false;
            for (const auto& root : r.roots) owned = owned || (root.logHi >= lt - 1e-9 && root.logLo <= ht + 1e-9);
            for (const auto& u : r.notDecided) owned = owned || (u.logHi >= lt - 1e-9 && u.logLo <= ht + 1e-9);
            EXPECT_TRUE(owned) << "a sign change between t = " << lastT << " and " << t;
        }
        lastSign = s;
        lastT = t;
    }
}

}  // namespace valmora::testing
