// Numbers as the command line writes them: never a negative zero.
#pragma once

#include <nlohmann/json.hpp>

namespace valmora::cli {

// Every -0.0 in `j`, at any depth, as 0.
inline void WithoutNegativeZero(nlohmann::ordered_json& j) {
    if (j.is_number_float()) {
        if (j.get<double>() == 0.0) j = 0.0;
    } else if (j.is_structured()) {
        for (auto& item : j) WithoutNegativeZero(item);
    }
}

}  // namespace valmora::cli
