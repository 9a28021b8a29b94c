// The text rules: whether a text is a number, its leading value, and the
// general and display forms of numbers, which must read back as numbers.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/solver/number_format.h"
#include "core/solver/text_rules.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

// Every form the program writes of a finite value reads back as a number.
void CheckForms(double value) {
    if (!std::isfinite(value)) {
        (void)valmora::GeneralText(value);
        return;
    }
    const std::string general = valmora::GeneralText(value);
    Check(valmora::IsNumeric(general));
    const double back = valmora::LeadingValue(general);
    // 15 significant digits. Above 1.797693134862315E+308 they round up past
    // the largest double: 1.79769313486232E+308 reads back as infinity.
    const bool roundsPastLargest = std::fabs(value) > 1.797693134862315e308;
    Check(back == value || std::fabs(back - value) <= 1e-14 * std::fabs(value) || std::fabs(value) < 1e-300 ||
          (roundsPastLargest && std::isinf(back)));
    Check(valmora::IsNumeric(valmora::FileNumberText(value)));
    Check(valmora::IsNumeric(valmora::FormatRate(value)));
    Check(valmora::IsNumeric(valmora::FormatMean(value)));
    Check(valmora::IsNumeric(valmora::FormatBalance(value)));
    Check(valmora::IsNumeric(valmora::FormatCoefficient(value)));
    if (const auto whole = valmora::ToInt16(value)) Check(std::fabs(*whole - value) <= 0.5);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const bool numeric = valmora::IsNumeric(text);
    const double leading = valmora::LeadingValue(text);
    const auto finite = valmora::FiniteNumber(text);
    Check(finite.has_value() == (numeric && std::isfinite(leading)));
    if (finite) {
        Check(*finite == leading);
        CheckForms(*finite);
    }
    if (!numeric) Check(!std::isnan(leading));
    if (size == sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        CheckForms(value);
    }
    return 0;
}
