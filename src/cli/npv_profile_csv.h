// valmora-cli irr --profile: the points of the NPV profile as CSV.
#pragma once

#include <iosfwd>
#include <span>
#include <string>

namespace valmora::cli {

// "rate,npv" and one line per point of the profile of `flows` with the listed
// `rates` (rate per period times `periodsPerYear`), numbers written so that
// they read back exactly.
void WriteNpvProfileCsv(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                        std::ostream& out);

// Writes it to the file `path`; throws UsageError naming the file when it
// cannot be written.
void SaveNpvProfileCsv(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                       const std::string& path);

}  // namespace valmora::cli
