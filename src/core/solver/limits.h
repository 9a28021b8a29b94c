// The largest series and period counts the program takes, wherever they are
// typed (the screens, valmora-cli) and wherever they are checked.
#pragma once

#include <cstdint>
#include <limits>

namespace valmora {

// The screens keep counts in 16-bit whole numbers.
inline constexpr int kLargestCount = std::numeric_limits<std::int16_t>::max();  // 32767

// The most payments N of one series: P0..PN, N + 1 values, is still a count.
inline constexpr int kMaxPayments = kLargestCount - 1;  // 32766

// The most payment/compounding periods per year M.
inline constexpr int kMaxPeriodsPerYear = kLargestCount;  // 32767

}  // namespace valmora
