#include "cli/npv_profile_csv.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <ostream>

#include "cli/usage_error.h"
#include "core/solver/npv_profile.h"
#include "core/solver/number_format.h"

namespace valmora::cli {
void WriteNpvProfileCsv(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                        std::ostream& out) {
    out << "rate,npv\n";
    for (const ProfilePoint& p : MakeNpvProfile(flows, rates, periodsPerYear).points)
        out << ShortestText(p.rate) << "," << ShortestText(p.npv) << "\n";
}

void SaveNpvProfileCsv(std::span<const double> flows, std::span<const double> rates, int periodsPerYear,
                       const std::string& path) {
    errno = 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) WriteNpvProfileCsv(flows, rates, periodsPerYear, file);
    if (file) file.flush();
    if (!file)
        throw UsageError("--profile: cannot write the file '" + Shown(path) + "'" +
                         (errno ? std::string(": ") + std::strerror(errno) : std::string()));
}

}  // namespace valmora::cli
