#include "core/simulation/seed.h"

#include "core/simulation/limits.h"

namespace valmora {

std::optional<std::uint64_t> ParseSeed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    if (text.size() > std::to_string(kLargestSeed).size()) return std::nullopt;
    std::uint64_t seed = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        seed = seed * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (seed > kLargestSeed) return std::nullopt;
    return seed;
}

std::string SeedRefusal(std::string_view text) {
    constexpr std::size_t kMostShown = 40;
    std::string shown(text.substr(0, kMostShown));
    if (text.size() > kMostShown) shown += "...";
    return "'" + shown + "' is not a seed: a seed is a whole number from 0 to " + std::to_string(kLargestSeed) +
           " in digits only";
}

}  // namespace valmora
