// Descartes' rule of signs for one interval of an exact polynomial's
// squarefree part g: the Moebius transform that takes (l, r) to (0, inf),
// built by Taylor shifts on two's complement numbers of a fixed width of
// 64-bit limbs, chosen from bounds on the coefficients' bits so that no
// value on the way overflows it.
#pragma once

#include <flint/fmpz.h>
#include <flint/fmpz_poly.h>
#include <gmp.h>

#include <vector>

namespace valmora::detail {

struct ExactData;

using Limb = mp_limb_t;
constexpr long kLimbBits = 64;
static_assert(sizeof(Limb) * 8 == kLimbBits);

// Positive roots of the squarefree p, by Sturm sequences.
long PositiveRootsSturm(fmpz_poly_t p);

// What Descartes' rule says about the open interval (l, r) for g: the sign
// variations of T(t) = (1 + t)^n G(1 / (1 + t)) with G(y) = g(l + (r - l) y)
// up to a positive factor. 0 variations: no root there; 1: exactly one.
struct NodeTest {
    int variations = 0;  // 0, 1, or 2 for 2 and more
    bool rootAtR = false;
    int signBelowR = 0;  // sign of g just below r
};

class Moebius {
public:
    explicit Moebius(const ExactData& d);
    ~Moebius();
    Moebius(const Moebius&) = delete;
    Moebius& operator=(const Moebius&) = delete;

    // Builds T for (l, r) and counts its sign variations.
    NodeTest Test(double l, double r);

    // Positive roots of the last T built, by Sturm sequences.
    int SturmCount();

private:
    Limb* C(long k) { return buf_.data() + k * width_; }

    int Sign(long k) {
        const Limb* a = buf_.data() + k * width_;
        if (a[width_ - 1] >> (kLimbBits - 1)) return -1;
        return mpn_zero_p(a, width_) ? 0 : 1;
    }

    void ShiftLeft(Limb* a, unsigned long s);
    void Load(Limb* a, const fmpz_t c, long s);
    void TaylorShift(const std::vector<Limb>& c);
    void TaylorShiftNarrow(Limb c, const std::vector<long>& width);
    void Scale(const fmpz_t w);
    void Build(double l, double r);

    const ExactData& d_;
    long width_ = 1;
    std::vector<Limb> buf_;
    std::vector<long> shift_;
    std::vector<long> narrow_;
    std::vector<Limb> limbs_;
    fmpz_t tmp_{};
};

}  // namespace valmora::detail
