// One scan's problem and what it finds: the series and settings a scan
// needs, the grid steps it leaves open, its outcome. Shared by the fast
// scan's pieces and the census.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "core/solver/root_search.h"

namespace valmora {

// What one scan needs: f's coefficients c_0..c_n, f' as k c_k for
// k = 1..n (index k - 1), and the search settings.
struct ScanProblem {
    std::span<const double> coef;
    std::span<const double> deriv;
    double upperBound = 0.0;
    double increment = 0.0;
    double tolerance = 0.0;
    int periodsPerYear = 1;
    int maxRoots = 0;
    std::uint64_t workBudget = 0;
};

// One step of the grid, (from, to], that no bulk bound covered: the signs of
// the reference value at both ends (0 for an exact zero) and whether each
// sign is certain for f itself (not only for its rounded value).
struct OpenStep {
    double from = 0.0;
    double to = 0.0;
    int fromSign = 0;
    int toSign = 0;
    bool fromCertain = false;
    bool toCertain = false;
    bool listed = false;  // a sign change whose root was listed (or counted unlisted)
    // For a listed step: the index of its rate in `rates`, or -1 - i for
    // unlisted root i.
    int entry = 0;
    // Beyond the point where the per-term sum stopped being finite the scan
    // decides f's own signs (true_signs.h): the step's signs are then f's
    // (fromCertain tells for its left end, which may be the last point
    // before), and P and Q below are those of TrueSigns, not of the split.
    bool trueSigns = false;
    // P and Q (see split_polynomial.h) at both ends, as computed.
    double fromP = 0.0, fromQ = 0.0, toP = 0.0, toQ = 0.0;
};

// The open steps of one scan in increasing x: the first few inside the
// object, so that a typical scan allocates nothing for them.
class OpenSteps {
public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    void clear() {
        size_ = 0;
        more_.clear();
    }
    void push_back(const OpenStep& st) {
        if (size_ < kInline) inline_[size_] = st;
        else more_.push_back(st);
        ++size_;
    }
    const OpenStep& operator[](std::size_t i) const { return i < kInline ? inline_[i] : more_[i - kInline]; }

    class const_iterator {
    public:
        const_iterator(const OpenSteps* s, std::size_t i) : s_(s), i_(i) {}
        const OpenStep& operator*() const { return (*s_)[i_]; }
        const OpenStep* operator->() const { return &(*s_)[i_]; }
        const_iterator& operator++() {
            ++i_;
            return *this;
        }
        bool operator==(const const_iterator& o) const { return i_ == o.i_; }
        bool operator!=(const const_iterator& o) const { return i_ != o.i_; }

    private:
        const OpenSteps* s_;
        std::size_t i_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size_}; }

private:
    static constexpr std::size_t kInline = 8;
    OpenStep inline_[kInline];
    std::vector<OpenStep> more_;
    std::size_t size_ = 0;
};

struct ScanOutcome {
    std::vector<double> rates;              // in the order found
    std::vector<double> roots;              // the refined x of each listed rate
    std::vector<double> unlisted;           // bracketed roots whose rate is no finite double
    std::vector<Bracket> brackets;          // the grid step of each listed rate
    std::vector<Bracket> unlistedBrackets;  // the same for each unlisted root
    // Where the per-term scan stops (its last point: where its sum is not
    // finite, or where its work is used up), from where on this scan
    // decided f's own signs; 0 when it does not stop early.
    double trueSignsFrom = 0.0;
    ScanStop perTermStop = ScanStop::None;  // why it stops there
    ScanStop stop = ScanStop::None;
    double stopX = 0.0;  // the last point reached (where it stopped, if it did)
    // (0, coveredTo] is covered: every step there either kept its sign by
    // the bulk bounds or is one of `open`.
    double coveredTo = 0.0;
    OpenSteps open;
    std::uint64_t work = 0;  // work done (see kScanWorkBudget)
    // The exact polynomial, when the scan isolated roots to go on (for the
    // census to use as well).
    std::shared_ptr<const ExactPolynomial> exact;
};

}  // namespace valmora
