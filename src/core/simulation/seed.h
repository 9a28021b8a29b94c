// The seed of a reproducible run, as the screen and the command line read it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace valmora {

// The seed `text` names: decimal digits only, blanks around them allowed,
// from 0 to kLargestSeed. Nothing else ("1e3", "+5", "5.0", "") is a seed.
std::optional<std::uint64_t> ParseSeed(std::string_view text);

// Why `text` is not a seed: "'1e3' is not a seed: a seed is a whole number
// from 0 to 9007199254740991 in digits only".
std::string SeedRefusal(std::string_view text);

}  // namespace valmora
