#include "core/solver/exact_powers.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

namespace valmora {
namespace {

struct DoubleDouble {
    double hi;
    double lo;
};

// Dekker's splitting and exact product (no fused multiply-add needed).
inline void Split(double a, double& h, double& l) {
    const double c = 134217729.0 * a;  // 2^27 + 1
    h = c - (c - a);
    l = a - h;
}

inline DoubleDouble Mul(DoubleDouble a, DoubleDouble b) {
    const double p = a.hi * b.hi;
    double ah, al, bh, bl;
    Split(a.hi, ah, al);
    Split(b.hi, bh, bl);
    const double err = ((ah * bh - p) + ah * bl + al * bh) + al * bl;
    const double e = err + (a.hi * b.lo + a.lo * b.hi);
    const double hi = p + e;
    return {hi, e - (hi - p)};
}

// The same with the exact product's error from a fused multiply-add, chosen
// at run time on x86 processors that have one; elsewhere the plain product
// serves (both give the exact error, so the powers are the same).
#if defined(__x86_64__) || defined(__i386__)
#define VALMORA_X86_FMA 1
#endif

#ifdef VALMORA_X86_FMA
__attribute__((target("fma"))) inline DoubleDouble MulFma(DoubleDouble a, DoubleDouble b) {
    const double p = a.hi * b.hi;
    const double err = __builtin_fma(a.hi, b.hi, -p);
    const double e = err + (a.hi * b.lo + a.lo * b.hi);
    const double hi = p + e;
    return {hi, e - (hi - p)};
}
#endif

constexpr double kLow = 0x1p-900;
constexpr double kHigh = 0x1p900;

// True when std::pow gives hi for the exact value hi + lo (hi the nearer
// double): lo is well inside half the spacing on its side.
inline bool Certain(DoubleDouble v) {
    const double a = std::fabs(v.hi);
    if (!(a > kLow && a < kHigh)) return false;
    const auto bits = std::bit_cast<std::uint64_t>(a);
    double ulp = std::bit_cast<double>(bits & 0x7ff0000000000000ULL) * 0x1p-52;
    // Below a power of two the doubles lie twice as close.
    if ((bits & ((std::uint64_t{1} << 52) - 1)) == 0 && (v.lo < 0) == (v.hi > 0)) ulp *= 0.5;
    return std::fabs(v.lo) < 0.45 * ulp;
}

template <DoubleDouble (*Product)(DoubleDouble, DoubleDouble)>
inline void Powers(double x, int n, double* out) {
    if (!(std::fabs(x) > 0.0) || !std::isfinite(x)) {
        for (int k = 0; k <= n; ++k) out[k] = std::pow(x, static_cast<double>(k));
        return;
    }
    out[0] = 1.0;  // x^0 and x^1 are exact: std::pow gives them as they are
    // x^k = x^(k/2) x^(k - k/2): about log2(n) products deep, so the
    // products of one depth run side by side.
    constexpr int kStack = 256;
    DoubleDouble stack[kStack];
    std::vector<DoubleDouble> heap;
    DoubleDouble* v = stack;
    if (n >= kStack) {
        heap.resize(static_cast<std::size_t>(n) + 1);
        v = heap.data();
    }
    v[0] = {1.0, 0.0};
    if (n >= 1) {
        v[1] = {x, 0.0};
        out[1] = x;
    }
    // For 0 < x < 1 the powers fall; from where x^k < 2^-1080 on, 2^5
    // times below half the smallest subnormal, std::pow gives +0 (its error
    // is a fraction of a unit at that scale): no call needed.
    int zeroFrom = n + 1;
    if (x > 0.0 && x < 1.0) {
        const double perPower = -std::log2(x);  // > 0; within a few ulps
        const double k = std::ceil(1080.0 / perPower * (1.0 + 0x1p-40)) + 1.0;
        if (k <= static_cast<double>(n)) zeroFrom = static_cast<int>(k);
    }
    for (int k = 2; k <= n; ++k) {
        if (k >= zeroFrom) {
            out[k] = 0.0;
            continue;
        }
        v[k] = Product(v[k >> 1], v[k - (k >> 1)]);
        out[k] = Certain(v[k]) ? v[k].hi : std::pow(x, static_cast<double>(k));
    }
}

void PowersPlain(double x, int n, double* out) { Powers<Mul>(x, n, out); }

#ifdef VALMORA_X86_FMA
__attribute__((target("fma"), flatten)) void PowersFma(double x, int n, double* out) { Powers<MulFma>(x, n, out); }
const bool kHasFma = __builtin_cpu_supports("fma");
#endif

}  // namespace

void ExactPowers(double x, int n, double* out) {
    if (n < 0) return;
#ifdef VALMORA_X86_FMA
    if (kHasFma) {
        PowersFma(x, n, out);
        return;
    }
#endif
    PowersPlain(x, n, out);
}

}  // namespace valmora
