// The simulation settings the benchmarks draw their series from: n normal
// payments (mean 400, SD 400) after an investment of 1000.
#pragma once

#include "core/simulation/simulation_settings.h"

namespace valmora {

inline SimulationSettings NormalPayments(int n) {
    SimulationSettings settings;
    settings.distribution = Distribution::Normal;
    settings.param1 = 400;
    settings.param2 = 400;
    settings.investment = 1000;
    settings.payments = n;
    settings.allowNegativePayments = true;
    return settings;
}

}  // namespace valmora
