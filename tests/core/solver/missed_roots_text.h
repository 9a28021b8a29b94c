// The sentences about missed roots as one text, a line each, for tests.
#pragma once

#include <string>

#include "core/solver/missed_roots.h"

namespace valmora::testing {

inline std::string MissedRootsText(const CashFlowAnalysis& analysis, const SearchSettings& settings,
                                   const RootSearch& search) {
    std::string text;
    for (const std::string& sentence : MissedRootsSentences(analysis, settings, search))
        text += (text.empty() ? "" : "\n") + sentence;
    return text;
}

}  // namespace valmora::testing
