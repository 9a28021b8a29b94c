#include "core/dated/dated_series.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/dated/calendar.h"
#include "core/dated/dated_terms.h"

namespace valmora {

namespace {

// 365 * 366: the denominator of actual/actual year fractions.
constexpr std::int64_t kActualActualDenominator = 133'590;

// E for the day `day` counted from d0: year fraction E / D.
std::int64_t Numerator(DayCount dayCount, std::int64_t d0, std::int64_t day) {
    if (dayCount == DayCount::Actual365) return day - d0;
    const DaySplit s = SplitDays(d0, day);
    return 366 * s.common + 365 * s.leap;
}

// The first status the flows earn, with the index of the flow it names.
DatedStatus Check(std::span<const DatedFlow> flows, std::size_t& bad) {
    if (flows.empty()) return DatedStatus::NoFlows;
    if (flows.size() > kMaxDatedFlows) return DatedStatus::TooManyFlows;
    for (std::size_t i = 0; i < flows.size(); ++i) {
        bad = i;
        if (!std::isfinite(flows[i].amount)) return DatedStatus::NotFinite;
        if (flows[i].day > kMaxDayNumber || flows[i].day < -kMaxDayNumber) return DatedStatus::DayOutOfRange;
    }
    bad = 0;
    const auto [lo, hi] = std::minmax_element(flows.begin(), flows.end(),
                                              [](const DatedFlow& a, const DatedFlow& b) { return a.day < b.day; });
    if (hi->day - lo->day > kMaxDatedSpanDays) return DatedStatus::SpanTooLong;
    return DatedStatus::Ok;
}

}  // namespace

std::string_view DayCountName(DayCount dayCount) {
    return dayCount == DayCount::Actual365 ? "actual/365" : "actual/actual (ISDA)";
}

DatedSeries PrepareDatedSeries(std::span<const DatedFlow> flows, DayCount dayCount) {
    DatedSeries s;
    s.dayCount = dayCount;
    s.status = Check(flows, s.badFlow);
    if (!s.Ok()) return s;

    std::vector<std::size_t> order(flows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return flows[a].day < flows[b].day; });

    // Dates and exact sums.
    std::vector<detail::Float> sums;
    for (std::size_t k : order) {
        const DatedFlow& f = flows[k];
        if (s.flows.empty() || s.flows.back().day != f.day) {
            s.flows.push_back({f.day, 0.0, false, 0, 0.0});
            sums.emplace_back();
        }
        MergedFlow& m = s.flows.back();
        ++m.count;
        detail::Float a;
        arf_set_d(a.get(), f.amount);
        arf_add(sums.back().get(), sums.back().get(), a.get(), ARF_PREC_EXACT, ARF_RND_DOWN);
    }

    auto terms = std::make_shared<detail::DatedTerms>();
    const auto n = static_cast<slong>(s.flows.size());
    terms->sums = detail::BallVector(n);
    terms->exponents.resize(s.flows.size());
    const std::int64_t d0 = s.flows.front().day;
    std::int64_t common = dayCount == DayCount::Actual365 ? 365 : kActualActualDenominator;
    for (std::size_t i = 0; i < s.flows.size(); ++i) {
        terms->exponents[i] = Numerator(dayCount, d0, s.flows[i].day);
        common = std::gcd(common, terms->exponents[i]);
    }
    terms->denominator = (dayCount == DayCount::Actual365 ? 365 : kActualActualDenominator) / common;
    for (std::size_t i = 0; i < s.flows.size(); ++i) {
        MergedFlow& m = s.flows[i];
        const auto k = static_cast<slong>(i);
        arb_set_arf(terms->sums[k], sums[i].get());
        m.amount = arf_get_d(sums[i].get(), ARF_RND_NEAR);
        detail::Float back;
        arf_set_d(back.get(), m.amount);
        m.rounded = !std::isfinite(m.amount) || !arf_equal(back.get(), sums[i].get());
        terms->exponents[i] /= common;
        m.years = static_cast<double>(terms->exponents[i]) / static_cast<double>(terms->denominator);
        s.sameDay = s.sameDay || m.count > 1;
    }
    s.terms = std::move(terms);
    return s;
}

double Xnpv(const DatedSeries& series, double rate) {
    if (!series.Ok() || !std::isfinite(rate) || !(rate > -1.0)) return std::nan("");
    const detail::DatedTerms& t = *series.terms;
    detail::Ball log, term, sum;
    detail::Float lo, hi;
    // More bits until the sum's ball rounds to one double; where it lies on
    // the midpoint of two doubles to 2^-4096, the midpoint's rounding.
    double value = 0.0;
    for (slong prec = 128; prec <= 4096; prec *= 2) {
        arb_set_d(log.get(), rate);
        arb_log1p(log.get(), log.get(), prec);
        arb_zero(sum.get());
        for (slong i = 0; i < t.sums.size(); ++i) {
            arb_mul_si(term.get(), log.get(), -t.exponents[static_cast<std::size_t>(i)], prec);
            arb_div_si(term.get(), term.get(), t.denominator, prec);
            arb_exp(term.get(), term.get(), prec);
            arb_addmul(sum.get(), term.get(), t.sums[i], prec);
        }
        arb_get_lbound_arf(lo.get(), sum.get(), prec);
        arb_get_ubound_arf(hi.get(), sum.get(), prec);
        value = arf_get_d(arb_midref(sum.get()), ARF_RND_NEAR);
        if (arf_get_d(lo.get(), ARF_RND_NEAR) == arf_get_d(hi.get(), ARF_RND_NEAR)) break;
    }
    return value == 0.0 ? 0.0 : value;
}

}  // namespace valmora
