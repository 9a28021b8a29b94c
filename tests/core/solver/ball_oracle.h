// Ball arithmetic (Arb) oracles for tests: roots to many bits, project
// balances at a root and at a rate, present values and their signs, each
// with enough precision that its ball is far narrower than any tolerance a
// test asserts.
#pragma once

#include <arb.h>
#include <arb_poly.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

namespace valmora::testing {

// An arb_t that clears itself.
class Ball {
public:
    Ball() { arb_init(v_); }
    explicit Ball(double d) : Ball() { arb_set_d(v_, d); }
    ~Ball() { arb_clear(v_); }
    Ball(const Ball&) = delete;
    Ball& operator=(const Ball&) = delete;
    arb_ptr get() { return v_; }
    arb_srcptr get() const { return v_; }
    double Mid() const { return arf_get_d(arb_midref(v_), ARF_RND_NEAR); }
    double Radius() const { return mag_get_d(arb_radref(v_)); }
    // -1, +1 when the ball lies below or above 0, else 0.
    int Sign() const { return arb_is_positive(v_) ? 1 : (arb_is_negative(v_) ? -1 : 0); }

private:
    arb_t v_;
};

// Bits that keep a recursion over n periods at a growth of |g| exact to far
// below a double's rounding: |g|^n times the largest payment fits with 128
// bits to spare.
inline slong BitsFor(std::span<const double> payments, double g) {
    const double n = static_cast<double>(payments.size());
    double most = 1;
    for (double p : payments) most = std::max(most, std::fabs(p));
    return static_cast<slong>(192 + n * std::max(0.0, std::log2(std::fabs(g))) + std::log2(most) + std::log2(n + 1));
}

// F(x) = sum P_j x^j as an arb polynomial.
class BallSeries {
public:
    explicit BallSeries(std::span<const double> payments) : n_(static_cast<slong>(payments.size()) - 1) {
        arb_poly_init(f_);
        for (slong j = 0; j <= n_; ++j) {
            Ball c(payments[static_cast<std::size_t>(j)]);
            arb_poly_set_coeff_arb(f_, j, c.get());
        }
    }
    ~BallSeries() { arb_poly_clear(f_); }
    BallSeries(const BallSeries&) = delete;
    BallSeries& operator=(const BallSeries&) = delete;

    // The root of F nearest x0 (a simple one), by Newton's method on the
    // balls' midpoints at prec bits: an exact point within about 2^-prec
    // (relative) of it.
    void Root(double x0, slong prec, Ball& x) const {
        arb_set_d(x.get(), x0);
        Ball fx, dfx, step;
        for (int i = 0; i < 200; ++i) {
            arb_poly_evaluate2(fx.get(), dfx.get(), f_, x.get(), prec);
            arb_div(step.get(), fx.get(), dfx.get(), prec);
            arb_get_mid_arb(step.get(), step.get());
            arb_sub(x.get(), x.get(), step.get(), prec);
            arb_get_mid_arb(x.get(), x.get());
            if (arf_is_zero(arb_midref(step.get()))) break;
            // Converged when the step is below 2^-(prec - 8) of x.
            if (arf_cmpabs_2exp_si(arb_midref(step.get()), arf_abs_bound_lt_2exp_si(arb_midref(x.get())) - prec + 8) <
                0)
                break;
        }
    }

private:
    slong n_;
    arb_poly_t f_;
};

// The balances PB(0)..PB(N) by the forward recursion at the growth g, in
// balls of prec bits.
inline std::vector<double> ForwardBalances(std::span<const double> payments, const Ball& g, slong prec,
                                           double* widest = nullptr) {
    std::vector<double> pb;
    Ball s(payments[0]);
    double radius = 0;
    for (std::size_t t = 0; t < payments.size(); ++t) {
        if (t > 0) {
            arb_mul(s.get(), s.get(), g.get(), prec);
            Ball p(payments[t]);
            arb_add(s.get(), s.get(), p.get(), prec);
        }
        pb.push_back(s.Mid());
        radius = std::max(radius, s.Radius());
    }
    if (widest) *widest = radius;
    return pb;
}

// The balances of the root of F nearest the listed rate (m periods a year):
// the forward recursion at that root, which ends within `widest` of 0; and
// the root's growth 1 + i, rounded.
struct RootBalances {
    std::vector<double> pb;
    double widest = 0;  // the widest ball of the recursion
    double growth = 0;
    double offset = 0;  // |1 + i at the root - the double listedRate / m + 1|, to many bits
};

inline RootBalances BalancesAtRoot(std::span<const double> payments, double listedRate, int m) {
    const double g0 = listedRate / m + 1.0;
    const slong prec = BitsFor(payments, g0);
    Ball x, g, one(1.0);
    BallSeries(payments).Root(1.0 / g0, prec, x);
    arb_div(g.get(), one.get(), x.get(), prec);
    RootBalances out;
    out.pb = ForwardBalances(payments, g, prec, &out.widest);
    out.growth = g.Mid();
    Ball listed(g0);
    arb_sub(listed.get(), g.get(), listed.get(), prec);
    out.offset = std::fabs(listed.Mid()) + listed.Radius();
    return out;
}

// -sum_(j > t) P_j g^(t - j) for t = 0..N at the double g, by the backward
// recursion in balls (exact to far below a double's rounding).
inline std::vector<double> TailsAt(std::span<const double> payments, double g) {
    const slong prec = 256 + static_cast<slong>(BitsFor(payments, 1 / g));
    std::vector<double> out(payments.size());
    Ball s, gb(g);
    for (std::size_t t = payments.size() - 1; t-- > 0;) {
        Ball p(payments[t + 1]);
        arb_sub(s.get(), s.get(), p.get(), prec);
        arb_div(s.get(), s.get(), gb.get(), prec);
        out[t] = s.Mid();
    }
    return out;
}

// The balances at the double g = rate / m + 1 itself, to many bits.
inline std::vector<double> BalancesAtRate(std::span<const double> payments, double rate, int m) {
    const Ball g(rate / m + 1.0);
    return ForwardBalances(payments, g, BitsFor(payments, rate / m + 1.0));
}

// NPV at the listed rate R (m periods a year), d = 1/(1 + R/m) exactly,
// as a ball of at least prec bits.
inline void PresentValue(std::span<const double> payments, double listedRate, int m, slong prec, Ball& out) {
    Ball r(listedRate), mm(static_cast<double>(m)), d, one(1.0);
    arb_div(r.get(), r.get(), mm.get(), prec);
    arb_add(d.get(), one.get(), r.get(), prec);
    arb_div(d.get(), one.get(), d.get(), prec);
    arb_zero(out.get());
    for (std::size_t t = payments.size(); t-- > 0;) {
        arb_mul(out.get(), out.get(), d.get(), prec);
        Ball p(payments[t]);
        arb_add(out.get(), out.get(), p.get(), prec);
    }
}

// The exact sign of NPV at the listed rate R: -1, 0 (for 0 itself or when
// 4096 bits cannot tell) or +1.
inline int PresentValueSign(std::span<const double> payments, double listedRate, int m) {
    Ball v;
    for (slong prec = 256; prec <= 4096; prec *= 2) {
        PresentValue(payments, listedRate, m, prec, v);
        if (v.Sign() != 0) return v.Sign();
    }
    return 0;
}

}  // namespace valmora::testing
