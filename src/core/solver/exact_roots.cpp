#include "core/solver/exact_roots.h"

#include <flint/fmpq.h>
#include <flint/fmpz.h>
#include <flint/fmpz_poly.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace valmora {
namespace {

// x = m 2^e with m an integer (x finite).
void Dyadic(double x, fmpz_t m, long& e) {
    if (x == 0.0) {
        fmpz_zero(m);
        e = 0;
        return;
    }
    int exp = 0;
    const double frac = std::frexp(x, &exp);  // x = frac 2^exp, 0.5 <= |frac| < 1
    fmpz_set_si(m, static_cast<long>(std::ldexp(frac, 53)));
    e = exp - 53;
}

void ToFmpq(fmpq_t q, double x) {
    fmpz_t m;
    fmpz_init(m);
    long e = 0;
    Dyadic(x, m, e);
    if (e >= 0) {
        fmpz_mul_2exp(fmpq_numref(q), m, static_cast<unsigned long>(e));
        fmpz_one(fmpq_denref(q));
    } else {
        fmpz_set(fmpq_numref(q), m);
        fmpz_one(fmpq_denref(q));
        fmpz_mul_2exp(fmpq_denref(q), fmpq_denref(q), static_cast<unsigned long>(-e));
    }
    fmpq_canonicalise(q);
    fmpz_clear(m);
}

// Positive roots of the squarefree p, by Sturm sequences.
long PositiveRoots(fmpz_poly_t p) {
    // Roots at 0 are not positive: divide them out.
    long zeros = 0;
    while (zeros < fmpz_poly_length(p) && fmpz_is_zero(p->coeffs + zeros)) ++zeros;
    fmpz_poly_shift_right(p, p, zeros);
    const long deg = fmpz_poly_degree(p);
    if (deg <= 0) return 0;
    if (deg == 1) return fmpz_sgn(p->coeffs + 0) != fmpz_sgn(p->coeffs + 1) ? 1 : 0;
    slong neg = 0, pos = 0;
    _fmpz_poly_num_real_roots_sturm(&neg, &pos, p->coeffs, fmpz_poly_length(p));
    return pos;
}

}  // namespace

struct ExactPolynomial::Data {
    fmpz_poly_t g;  // the squarefree part of f scaled to integers
    bool zero = false;
};

ExactPolynomial::ExactPolynomial(std::span<const double> coef) : d_(new Data) {
    fmpz_poly_init(d_->g);
    long emin = std::numeric_limits<long>::max();
    fmpz_t m;
    fmpz_init(m);
    for (double c : coef) {
        if (c == 0.0) continue;
        long e = 0;
        Dyadic(c, m, e);
        emin = std::min(emin, e);
    }
    if (emin == std::numeric_limits<long>::max()) {
        d_->zero = true;
        fmpz_clear(m);
        return;
    }
    fmpz_poly_t f;
    fmpz_poly_init2(f, static_cast<slong>(coef.size()));
    for (std::size_t k = 0; k < coef.size(); ++k) {
        if (coef[k] == 0.0) continue;
        long e = 0;
        Dyadic(coef[k], m, e);
        fmpz_mul_2exp(m, m, static_cast<unsigned long>(e - emin));
        fmpz_poly_set_coeff_fmpz(f, static_cast<slong>(k), m);
    }
    fmpz_clear(m);
    // g = f / gcd(f, f'): the same roots, each simple.
    fmpz_poly_t df, gcd;
    fmpz_poly_init(df);
    fmpz_poly_init(gcd);
    fmpz_poly_derivative(df, f);
    if (fmpz_poly_is_zero(df)) {
        fmpz_poly_set(d_->g, f);
    } else {
        fmpz_poly_gcd(gcd, f, df);
        fmpz_poly_div(d_->g, f, gcd);
    }
    fmpz_poly_primitive_part(d_->g, d_->g);
    fmpz_poly_clear(df);
    fmpz_poly_clear(gcd);
    fmpz_poly_clear(f);
}

ExactPolynomial::~ExactPolynomial() {
    fmpz_poly_clear(d_->g);
    delete d_;
}

bool ExactPolynomial::IsZero() const { return d_->zero; }

int ExactPolynomial::SignAt(double x) const {
    if (d_->zero) return 0;
    fmpq_t q, r;
    fmpq_init(q);
    fmpq_init(r);
    ToFmpq(q, x);
    fmpz_poly_evaluate_fmpq(r, d_->g, q);
    const int s = fmpq_sgn(r);
    fmpq_clear(q);
    fmpq_clear(r);
    return s;
}

int ExactPolynomial::CountIn(double a, double b) const {
    if (d_->zero || !(a < b)) return 0;
    // a = A / 2^s and b = B / 2^s with integers A and B.
    fmpz_t A, B, W;
    fmpz_init(A);
    fmpz_init(B);
    fmpz_init(W);
    long ea = 0, eb = 0;
    Dyadic(a, A, ea);
    Dyadic(b, B, eb);
    if (a == 0.0) ea = eb;
    const long s = std::max({-ea, -eb, 0L});
    fmpz_mul_2exp(A, A, static_cast<unsigned long>(ea + s));
    fmpz_mul_2exp(B, B, static_cast<unsigned long>(eb + s));
    const slong deg = fmpz_poly_degree(d_->g);
    fmpz_poly_t p, lin;
    fmpz_poly_init(p);
    fmpz_poly_init(lin);
    // p(z) = 2^(s deg) g(z / 2^s), then p(A + w), then w = (B - A) y.
    fmpz_poly_set(p, d_->g);
    for (slong k = 0; k <= deg; ++k)
        fmpz_mul_2exp(p->coeffs + k, p->coeffs + k, static_cast<unsigned long>(s * (deg - k)));
    fmpz_poly_taylor_shift(p, p, A);
    fmpz_sub(W, B, A);
    fmpz_poly_set_coeff_fmpz(lin, 1, W);
    fmpz_poly_compose(p, p, lin);
    // y = 1 / (1 + t): (1 + t)^deg p(1 / (1 + t)) has its positive roots
    // exactly where p has roots in (0, 1).
    fmpz_poly_reverse(p, p, deg + 1);
    fmpz_one(W);
    fmpz_poly_taylor_shift(p, p, W);
    long count = PositiveRoots(p);
    fmpz_poly_clear(p);
    fmpz_poly_clear(lin);
    fmpz_clear(A);
    fmpz_clear(B);
    fmpz_clear(W);
    if (SignAt(b) == 0) ++count;
    return static_cast<int>(count);
}

namespace {

// The double halfway between lo and hi in the order of their bit patterns
// (both >= 0), so that bisection takes at most 64 steps.
double MidBits(double lo, double hi) {
    const auto l = std::bit_cast<std::uint64_t>(lo);
    const auto h = std::bit_cast<std::uint64_t>(hi);
    return std::bit_cast<double>(l + (h - l) / 2);
}

}  // namespace

std::vector<ExactPolynomial::Piece> ExactPolynomial::Isolate(double a, double b) const {
    std::vector<Piece> out;
    struct Job {
        double from, to;
        int count;
    };
    std::vector<Job> stack{{a, b, CountIn(a, b)}};
    while (!stack.empty()) {
        Job j = stack.back();
        stack.pop_back();
        if (j.count == 0) continue;
        const double mid = MidBits(j.from, j.to);
        if (j.count == 1 || mid <= j.from || mid >= j.to) {
            out.push_back({j.from, j.to, j.count});
            continue;
        }
        const int left = CountIn(j.from, mid);
        stack.push_back({mid, j.to, j.count - left});  // right half after the left one
        stack.push_back({j.from, mid, left});
    }
    return out;
}

double ExactPolynomial::Refine(double a, double b) const {
    const int sb = SignAt(b);
    if (sb == 0) return b;
    double lo = a, hi = b;
    for (;;) {
        const double mid = MidBits(lo, hi);
        if (mid <= lo || mid >= hi) break;
        const int s = SignAt(mid);
        if (s == 0) return mid;
        if (s == sb) hi = mid;
        else lo = mid;
    }
    if (lo == 0.0) return 0.0;
    if (SignAt(lo) == 0) return hi;  // lo is another root, left out of (a, b]
    // The nearer of lo and hi: compare |g| there exactly.
    fmpq_t q, rl, rh;
    fmpq_init(q);
    fmpq_init(rl);
    fmpq_init(rh);
    ToFmpq(q, lo);
    fmpz_poly_evaluate_fmpq(rl, d_->g, q);
    ToFmpq(q, hi);
    fmpz_poly_evaluate_fmpq(rh, d_->g, q);
    fmpq_abs(rl, rl);
    fmpq_abs(rh, rh);
    const bool lower = fmpq_cmp(rl, rh) < 0;
    fmpq_clear(q);
    fmpq_clear(rl);
    fmpq_clear(rh);
    return lower ? lo : hi;
}

}  // namespace valmora
