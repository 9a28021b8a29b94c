// The command line's reading of numbers and of cash-flow files: any bytes are
// either read as numbers or refused with one line that shows them escaped.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cash_flow_input.h"
#include "cli/usage_error.h"

namespace {

void Check(bool holds) {
    if (!holds) std::abort();
}

// One printable line: no control character of the input got through.
void CheckMessage(const std::string& message) {
    Check(!message.empty());
    for (char c : message) Check(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const double value = valmora::cli::ParseNumber(text, "--p1");
        Check(std::isfinite(value));
    } catch (const valmora::cli::UsageError& e) { CheckMessage(e.what()); }

    std::istringstream file(text);
    try {
        const std::vector<double> flows = valmora::cli::ReadCashFlows({}, "-", file);
        Check(flows.size() >= 2 && flows.size() <= 32767);
        for (double v : flows) Check(std::isfinite(v));
    } catch (const valmora::cli::UsageError& e) { CheckMessage(e.what()); }
    return 0;
}
