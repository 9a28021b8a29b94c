#include "core/dated/exact_zero.h"

#include <flint/fmpz.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <vector>

namespace valmora::detail {

namespace {

// The exact numbers may grow to about this many bits before the answer is
// left Unknown.
constexpr std::int64_t kMaxBits = std::int64_t{1} << 23;

class Integer {
public:
    Integer() { fmpz_init(x_); }
    ~Integer() { fmpz_clear(x_); }
    Integer(const Integer&) = delete;
    Integer& operator=(const Integer&) = delete;
    fmpz* get() { return x_; }
    const fmpz* get() const { return x_; }

private:
    fmpz_t x_;
};

// base^e, exactly.
void ExactPower(arf_t out, const arf_t base, std::int64_t e) {
    Float b, r;
    arf_set(b.get(), base);
    arf_one(r.get());
    for (; e > 0; e >>= 1) {
        if (e & 1) arf_mul(r.get(), r.get(), b.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
        if (e > 1) arf_mul(b.get(), b.get(), b.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
    }
    arf_set(out, r.get());
}

struct Term {
    Float c;
    std::int64_t n = 0;  // exponent in y
};

// The largest b dividing dp for which q = m 2^ex is a perfect b-th power;
// root receives m^(1/b).
std::int64_t LargestPower(std::int64_t dp, const fmpz* m, const fmpz* ex, fmpz* root) {
    Integer check;
    const auto bits = static_cast<std::int64_t>(fmpz_bits(m));
    for (std::int64_t b = dp; b >= 1; --b) {
        if (dp % b != 0 || fmpz_fdiv_ui(ex, static_cast<ulong>(b)) != 0) continue;
        if (!fmpz_is_one(m) && b >= bits) continue;  // m > 1 is no b-th power when 2^b > m
        fmpz_root(root, m, static_cast<slong>(b));
        fmpz_pow_ui(check.get(), root, static_cast<ulong>(b));
        if (fmpz_equal(check.get(), m)) return b;
    }
    fmpz_set(root, m);
    return 1;
}

}  // namespace

Exactly IsExactlyZero(const ExpSum& h, const arf_t q, int derivative) {
    const std::int64_t d = h.Denominator();
    std::vector<Term> terms;
    for (slong i = 0; i < h.Size(); ++i) {
        const std::int64_t e = h.Exponents()[static_cast<std::size_t>(i)];
        Term t;
        arf_set(t.c.get(), arb_midref(h.Coef(i)));  // exact: the sums have radius 0
        for (int j = 0; j < derivative; ++j)
            arf_mul_si(t.c.get(), t.c.get(), static_cast<slong>(e + j * d), ARF_PREC_EXACT, ARF_RND_DOWN);
        if (arf_is_zero(t.c.get())) continue;
        t.n = e;
        terms.push_back(t);
    }
    if (terms.empty()) return Exactly::Zero;
    if (terms.size() == 1) return Exactly::NotZero;
    const std::int64_t e0 = terms.front().n;
    std::int64_t g = 0;
    for (Term& t : terms) {
        t.n -= e0;
        g = std::gcd(g, t.n);
    }
    const std::int64_t common = std::gcd(g, d);
    const std::int64_t gp = g / common;  // y = q^(-gp / dp)
    const std::int64_t dp = d / common;
    for (Term& t : terms) t.n /= g;

    Integer m, ex, root, shift;
    arf_get_fmpz_2exp(m.get(), ex.get(), q);
    const std::int64_t b = LargestPower(dp, m.get(), ex.get(), root.get());
    const std::int64_t k = dp / b;  // y^k = 1 / cp
    // cp = (m^(1/b) 2^(ex/b))^gp.
    const std::int64_t rootBits = static_cast<std::int64_t>(fmpz_bits(root.get()));
    std::int64_t maxL = 0;
    for (const Term& t : terms) maxL = std::max(maxL, t.n / k);
    if (rootBits > 1 && (rootBits * gp > kMaxBits || rootBits * gp * maxL > kMaxBits)) return Exactly::Unknown;
    Float cp;
    Integer power;
    fmpz_pow_ui(power.get(), root.get(), static_cast<ulong>(gp));
    fmpz_divexact_si(shift.get(), ex.get(), static_cast<slong>(b));
    fmpz_mul_si(shift.get(), shift.get(), static_cast<slong>(gp));
    arf_set_fmpz_2exp(cp.get(), power.get(), shift.get());

    // Per residue class, sum c_i cp^(L - l_i) by Horner's rule in
    // increasing l_i (the terms are in increasing n, so also in l).
    std::map<std::int64_t, std::vector<const Term*>> classes;
    for (const Term& t : terms) classes[t.n % k].push_back(&t);
    Float sum, step;
    for (const auto& [residue, members] : classes) {
        arf_zero(sum.get());
        std::int64_t prev = members.front()->n / k;
        for (const Term* t : members) {
            const std::int64_t l = t->n / k;
            ExactPower(step.get(), cp.get(), l - prev);
            arf_mul(sum.get(), sum.get(), step.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
            arf_add(sum.get(), sum.get(), t->c.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
            prev = l;
        }
        if (!arf_is_zero(sum.get())) return Exactly::NotZero;
    }
    return Exactly::Zero;
}

}  // namespace valmora::detail
