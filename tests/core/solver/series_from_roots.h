// Cash-flow series built from known roots, for tests of the root search.
#pragma once

#include <cstddef>
#include <vector>

namespace valmora::testing {

// Coefficients c_0..c_n of scale * prod (x - r) * rest(x); exact when the
// roots are dyadic with few bits.
inline std::vector<double> FromRoots(const std::vector<double>& roots, std::vector<double> rest = {1.0},
                                     double scale = 1000.0) {
    std::vector<double> c = std::move(rest);
    for (double r : roots) {
        std::vector<double> next(c.size() + 1, 0.0);
        for (std::size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= r * c[k];
        }
        c = next;
    }
    for (double& v : c) v *= scale;
    return c;
}

}  // namespace valmora::testing
