#include "core/solver/exact_roots.h"

#include "core/solver/ball_polynomial.h"
#include "core/solver/exact_data.h"
#include "core/solver/moebius_transform.h"

#include <flint/fmpz.h>
#include <flint/fmpz_poly.h>
#include <flint/nmod_poly.h>

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

long CeilDiv(long a, long b) {  // b > 0
    return a >= 0 ? (a + b - 1) / b : -((-a) / b);
}

// The sign of p(m 2^e), m an integer, by Horner's scheme on integers:
// 2^(-e n) p(m 2^e) = sum p_k m^k 2^(-e (n - k)) when e < 0.
int SignAtDyadic(const fmpz_poly_t p, const fmpz_t m, long e) {
    const slong len = fmpz_poly_length(p);
    if (len == 0) return 0;
    fmpz_t acc, x, t;
    fmpz_init(acc);
    fmpz_init(x);
    fmpz_init(t);
    fmpz_set(acc, p->coeffs + len - 1);
    if (e >= 0) {
        fmpz_mul_2exp(x, m, static_cast<ulong>(e));
        for (slong k = len - 2; k >= 0; --k) {
            fmpz_mul(acc, acc, x);
            fmpz_add(acc, acc, p->coeffs + k);
        }
    } else {
        const ulong s = static_cast<ulong>(-e);
        for (slong k = len - 2; k >= 0; --k) {
            fmpz_mul(acc, acc, m);
            if (!fmpz_is_zero(p->coeffs + k)) {
                fmpz_mul_2exp(t, p->coeffs + k, s * static_cast<ulong>(len - 1 - k));
                fmpz_add(acc, acc, t);
            }
        }
    }
    const int sign = fmpz_sgn(acc);
    fmpz_clear(acc);
    fmpz_clear(x);
    fmpz_clear(t);
    return sign;
}

int SignAtDouble(const fmpz_poly_t p, double x) {
    fmpz_t m;
    fmpz_init(m);
    long e = 0;
    Dyadic(x, m, e);
    const int sign = SignAtDyadic(p, m, e);
    fmpz_clear(m);
    return sign;
}

// True when f (degree >= 1) is proven squarefree: a repeated factor of f
// would divide f and f' also modulo a prime that keeps the degree.
bool SquarefreeModPrime(const fmpz_poly_t f) {
    if (fmpz_poly_degree(f) < 1) return false;
    constexpr mp_limb_t kPrime = 0xffffffffffffffc5ULL;  // 2^64 - 59
    nmod_poly_t fp, dp, gp;
    nmod_poly_init(fp, kPrime);
    nmod_poly_init(dp, kPrime);
    nmod_poly_init(gp, kPrime);
    fmpz_poly_get_nmod_poly(fp, f);
    bool proven = false;
    if (nmod_poly_degree(fp) == fmpz_poly_degree(f)) {
        nmod_poly_derivative(dp, fp);
        if (!nmod_poly_is_zero(dp)) {
            nmod_poly_gcd(gp, fp, dp);
            proven = nmod_poly_degree(gp) == 0;
        }
    }
    nmod_poly_clear(fp);
    nmod_poly_clear(dp);
    nmod_poly_clear(gp);
    return proven;
}

// The double halfway between lo and hi in the order of their bit patterns
// (both >= 0), so that bisection takes at most 64 steps.
double MidBits(double lo, double hi) {
    const auto l = std::bit_cast<std::uint64_t>(lo);
    const auto h = std::bit_cast<std::uint64_t>(hi);
    return std::bit_cast<double>(l + (h - l) / 2);
}

// The double in [lo, hi] with the fewest significant bits, 0 < lo <= hi:
// the smallest multiple of 2^k in the range for the largest k that has one.
double ShortIn(double lo, double hi) {
    for (int k = std::ilogb(hi);; --k) {
        double q = std::ceil(std::ldexp(lo, -k));
        if (q == 0.0) q = 1.0;  // lo / 2^k underflowed below 1
        const double c = std::ldexp(q, k);
        if (c <= hi || k <= -1074) return c;
    }
}

// Vincent-Collins-Akritas bisection over the nodes (l, r] that meet (a, b]:
// a node with no sign variation holds no root, one with a single variation
// holds one, whose side of a or b the sign of g there tells; others split.
class Walker {
public:
    Walker(const detail::ExactData& d, double a, double b, std::vector<ExactPolynomial::Piece>* pieces)
        : d_(d), moebius_(d), a_(a), b_(b), pieces_(pieces) {}

    int Run() {
        const double w = b_ - a_;
        const double below = a_ - w;
        const double l = below <= 0.0 ? 0.0 : ShortIn(below, a_);
        const double above = std::min(b_ + w, std::numeric_limits<double>::max());
        const double r = ShortIn(b_, above);
        Node(l, r);
        return count_;
    }

private:
    void Emit(double from, double to, int count) {
        count_ += count;
        if (pieces_ != nullptr) pieces_->push_back({from, to, count});
    }

    // The only root of (l, r) lies at or below x, l < x < r.
    bool RootAtOrBelow(double x, double l, double r, int signBelowR) const {
        if (x >= r) return true;
        if (x <= l) return false;
        const int s = d_.SignG(x);
        return s == 0 || s == signBelowR;
    }

    double SplitPoint(double l, double r) const {
        if (l == 0.0 || r > 4 * l) {
            const long er = std::ilogb(r);
            const long el = l == 0.0 ? std::max(d_.lowExp, -1074L) : std::ilogb(l);
            const long mid = (el + er) >> 1;
            const double c = std::ldexp(1.0, static_cast<int>(std::clamp(mid, -1074L, 1023L)));
            if (c > l && c < r) return c;
        }
        const double w = r - l;
        const double lo = l + w / 4, hi = r - w / 4;
        if (lo > l && lo <= hi && hi < r) return ShortIn(lo, hi);
        const double c = MidBits(l, r);
        if (c > l && c < r) return c;
        return std::nan("");
    }

    // The one root of (l, r), where g has the sign s just below r: emitted
    // where it lies in (a, b].
    void OneRoot(double l, double r, int s) {
        const bool hit = RootAtOrBelow(b_, l, r, s) && !RootAtOrBelow(a_, l, r, s);
        if (hit) Emit(std::max(l, a_), std::min(r, b_), 1);
    }

    // The node settled from g's Taylor expansion at its midpoint (see
    // BallPolynomial::Certify): no root; monotone, so the signs at the ends
    // count its root; or convex, so that at most two roots lie there,
    // found on either side of the extremum, which bisection on the sign of
    // g' finds. A few evaluations of degree n, where the transform of a
    // small node costs n^2 operations on numbers of n times its depth in
    // bits. False when this cannot tell; the transform decides then.
    bool Local(double l, double r) {
        if (!(l > 0.0)) return false;
        const BallPolynomial& g = d_.GBall();
        const BallPolynomial::Local cert = g.Certify(l, r);
        if (cert.noRoot) return true;
        if (!cert.monotone && cert.convex == 0) return false;
        const int sl = g.SignAt(l), sr = g.SignAt(r);
        if (sl == 0 || sr == 0) {
            // A root at an end: at r it is this node's, at l its left
            // neighbour's; with g monotone there is no other.
            if (!cert.monotone) return false;
            if (sr == 0 && a_ < r && r <= b_) Emit(std::max(l, a_), r, 1);
            return true;
        }
        if (sl != sr) {
            OneRoot(l, r, sr);  // exactly one, monotone or convex
            return true;
        }
        if (cert.monotone) return true;
        // s g is convex: with g of the sign -s at both ends it stays below
        // its chord, without a root.
        const int s = cert.convex;
        if (sl != s) return true;
        const int dl = g.DerivativeSignAt(l), dr = g.DerivativeSignAt(r);
        if (dl == 0 || dr == 0) return false;
        if (dl == dr) return true;  // g monotone after all, same signs: none
        double lo = l, hi = r;
        for (;;) {
            const double mid = MidBits(lo, hi);
            if (mid <= lo || mid >= hi) break;
            const int dm = g.DerivativeSignAt(mid);
            if (dm == 0) {
                lo = hi = mid;
                break;
            }
            if (dm == dl) lo = mid;
            else hi = mid;
        }
        // The extremum lies in [lo, hi]. Where g has the other sign at lo
        // or hi, one root lies on either side of that point.
        const int glo = g.SignAt(lo), ghi = g.SignAt(hi);
        if (glo == 0 || ghi == 0) return false;
        if (glo == -s || ghi == -s) {
            const double m = glo == -s ? lo : hi;
            OneRoot(l, m, -s);
            OneRoot(m, r, sr);
            return true;
        }
        return lo < hi && g.StaysOfSign(lo, hi, s);
    }

    void Node(double l, double r) {
        if (l == 0.0 && r <= std::ldexp(1.0, static_cast<int>(std::clamp(d_.lowExp, -1075L, 1024L)))) return;
        if (Local(l, r)) return;
        const detail::NodeTest t = moebius_.Test(l, r);
        const bool rIn = a_ < r && r <= b_;
        const int atR = t.rootAtR && rIn ? 1 : 0;
        if (t.variations == 0) {
            if (atR) Emit(std::max(l, a_), r, 1);
            return;
        }
        if (t.variations == 1 && (atR == 0 || pieces_ == nullptr)) {
            const bool hit = RootAtOrBelow(b_, l, r, t.signBelowR) && !RootAtOrBelow(a_, l, r, t.signBelowR);
            if (hit) Emit(std::max(l, a_), std::min(r, b_), 1);
            if (atR) Emit(std::max(l, a_), r, 1);
            return;
        }
        const double c = SplitPoint(l, r);
        if (std::isnan(c)) {
            // l and r are neighbouring doubles, so (l, r) lies inside (a, b).
            const int inside = t.variations == 1 ? 1 : moebius_.SturmCount();
            if (inside + atR > 0) Emit(l, r, inside + atR);
            return;
        }
        if (c > a_ && l < b_) Node(l, c);
        if (c < b_ && r > a_) Node(c, r);
    }

    const detail::ExactData& d_;
    detail::Moebius moebius_;
    double a_, b_;
    std::vector<ExactPolynomial::Piece>* pieces_;
    int count_ = 0;
};

}  // namespace

ExactPolynomial::ExactPolynomial(std::span<const double> coef) : d_(std::make_unique<detail::ExactData>()) {
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
    fmpz_poly_t& f = d_->f;
    fmpz_poly_fit_length(f, static_cast<slong>(coef.size()));
    for (std::size_t k = 0; k < coef.size(); ++k) {
        if (coef[k] == 0.0) continue;
        long e = 0;
        Dyadic(coef[k], m, e);
        fmpz_mul_2exp(m, m, static_cast<unsigned long>(e - emin));
        fmpz_poly_set_coeff_fmpz(f, static_cast<slong>(k), m);
    }
    fmpz_clear(m);
    // g = f / gcd(f, f'): the same roots, each simple. Mostly f is
    // squarefree already, which f and f' coprime modulo a prime not
    // dividing the leading coefficient prove cheaply.
    if (SquarefreeModPrime(f)) {
        fmpz_poly_primitive_part(d_->g, f);
    } else {
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
    }

    const fmpz_poly_t& g = d_->g;
    d_->n = fmpz_poly_degree(g);
    d_->bits.resize(static_cast<std::size_t>(d_->n + 1));
    d_->val.resize(static_cast<std::size_t>(d_->n + 1));
    long first = -1;
    for (long k = 0; k <= d_->n; ++k) {
        const fmpz* c = g->coeffs + k;
        if (fmpz_is_zero(c)) continue;
        if (first < 0) first = k;
        d_->bits[static_cast<std::size_t>(k)] = static_cast<long>(fmpz_bits(c));
        d_->val[static_cast<std::size_t>(k)] = static_cast<long>(fmpz_val2(c));
    }
    // Fujiwara's bound on 1/x for the nonzero roots: |1/x| <= 2 max_k
    // |g_k / g_first|^(1 / (k - first)), and |g_k / g_first| < 2^(bits_k -
    // bits_first + 1).
    long q = std::numeric_limits<long>::min();
    for (long k = first + 1; k <= d_->n; ++k) {
        const long bk = d_->bits[static_cast<std::size_t>(k)];
        if (bk == 0) continue;
        q = std::max(q, CeilDiv(bk - d_->bits[static_cast<std::size_t>(first)] + 1, k - first));
    }
    d_->lowExp = q == std::numeric_limits<long>::min() ? 2000 : -2 - q;
}

ExactPolynomial::~ExactPolynomial() = default;

bool ExactPolynomial::IsZero() const { return d_->zero; }


int ExactPolynomial::SignAt(double x) const {
    if (d_->zero) return 0;
    return d_->SignF(x);
}

namespace {

// No double lies above the largest one: (a, inf] counts as (a, max].
double Finite(double b) { return std::min(b, std::numeric_limits<double>::max()); }

}  // namespace

int ExactPolynomial::CountIn(double a, double b) const {
    b = Finite(b);
    if (d_->zero || d_->n <= 0 || !(a < b)) return 0;
    Walker walker(*d_, a, b, nullptr);
    return walker.Run();
}

int ExactPolynomial::CountInBySturm(double a, double b) const {
    b = Finite(b);
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
    long count = detail::PositiveRootsSturm(p);
    fmpz_poly_clear(p);
    fmpz_poly_clear(lin);
    fmpz_clear(A);
    fmpz_clear(B);
    fmpz_clear(W);
    if (SignAtDouble(d_->g, b) == 0) ++count;
    return static_cast<int>(count);
}

std::vector<ExactPolynomial::Piece> ExactPolynomial::Isolate(double a, double b) const {
    std::vector<Piece> out;
    b = Finite(b);
    if (d_->zero || d_->n <= 0 || !(a < b)) return out;
    Walker walker(*d_, a, b, &out);
    walker.Run();
    return out;
}

bool ExactPolynomial::RootAtOrBelow(const Piece& piece, double x) const {
    if (x >= piece.to) return true;
    if (x <= piece.from) return false;
    // The squarefree part changes sign at its simple root r: it has the
    // sign it has at `to` everywhere in (r, to].
    const int atTo = d_->SignG(piece.to);
    if (atTo == 0) return false;  // r = to, above x
    const int atX = d_->SignG(x);
    return atX == 0 || atX == atTo;
}

std::vector<ExactPolynomial::Placed> ExactPolynomial::Place(const std::vector<double>& cuts) const {
    std::vector<Placed> out;
    if (cuts.size() < 2) return out;
    for (const Piece& piece : Isolate(cuts.front(), cuts.back())) {
        // The first cut at or above `to`: the piece's roots lie in the
        // interval ending there, unless a cut inside the piece comes first.
        auto at = std::lower_bound(cuts.begin(), cuts.end(), piece.to);
        if (at == cuts.end()) --at;
        for (auto c = std::upper_bound(cuts.begin(), cuts.end(), piece.from); c < at; ++c) {
            // A cut inside (from, to): only a piece of one root spans a
            // double, and exact signs tell which side of the cut it lies.
            if (RootAtOrBelow(piece, *c)) {
                at = c;
                break;
            }
        }
        const auto i = static_cast<std::size_t>(at - cuts.begin());
        if (i < 1) continue;
        out.push_back({{std::max(piece.from, cuts[i - 1]), std::min(piece.to, cuts[i]), piece.count}, i - 1});
    }
    return out;
}

std::vector<int> ExactPolynomial::CountEach(const std::vector<double>& cuts) const {
    std::vector<int> counts(cuts.size() > 1 ? cuts.size() - 1 : 0, 0);
    for (const Placed& p : Place(cuts)) counts[p.interval] += p.piece.count;
    return counts;
}

double ExactPolynomial::Refine(double a, double b, double* loOut, double* hiOut) const {
    const int sb = d_->SignG(b);
    if (loOut != nullptr) *loOut = std::nextafter(b, 0.0);
    if (hiOut != nullptr) *hiOut = b;
    if (sb == 0) return b;
    // The root is simple and alone in (a, b]: g has the sign of g(b) above
    // it and the other one below it.
    double lo = a, hi = b;
    for (;;) {
        const double mid = MidBits(lo, hi);
        if (mid <= lo || mid >= hi) break;
        const int s = d_->SignG(mid);
        if (s == 0) {
            if (loOut != nullptr) *loOut = std::nextafter(mid, 0.0);
            if (hiOut != nullptr) *hiOut = mid;
            return mid;
        }
        if (s == sb) hi = mid;
        else lo = mid;
    }
    if (loOut != nullptr) *loOut = lo;
    if (hiOut != nullptr) *hiOut = hi;
    if (lo == 0.0) return 0.0;
    // The nearer of the neighbours lo and hi: the sign at their exact
    // midpoint tells; a tie goes to the even one.
    const int s = d_->SignGAtMidpoint(lo, hi);
    if (s == 0) return (std::bit_cast<std::uint64_t>(lo) & 1) == 0 ? lo : hi;
    return s == sb ? lo : hi;
}

}  // namespace valmora

namespace valmora {

std::vector<ExactPolynomial::Root> ExactPolynomial::Roots(double a, double b) const {
    std::vector<Root> out;
    for (const Piece& piece : Isolate(a, b)) out.push_back(RootOf(piece));
    return out;
}

ExactPolynomial::Root ExactPolynomial::RootOf(const Piece& piece) const {
    // The sign of f just above x: at x, or at the next doubles when f is 0
    // there (the next root lies at least that far away but for roots
    // closer than a double, which are counted together).
    auto signAbove = [&](double x) {
        for (int i = 0; i < 4; ++i) {
            const int s = SignAt(x);
            if (s != 0) return s;
            x = std::nextafter(x, std::numeric_limits<double>::infinity());
        }
        return 0;
    };
    Root r{piece.to, std::nextafter(piece.to, 0.0), piece.to, piece.count, false};
    if (piece.count == 1) r.x = Refine(piece.from, piece.to, &r.lo, &r.hi);
    // Across the root f keeps its sign exactly where its multiplicity is
    // even.
    r.changes = signAbove(r.lo) != signAbove(r.hi);
    return r;
}

}  // namespace valmora
