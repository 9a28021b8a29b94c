#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "core/statistics/kernel_density.h"
#include "statistics/statistics_samples.h"

namespace valmora {
namespace {

TEST(KernelDensity, SilvermanBandwidth) {
    std::vector<double> v;
    for (int k = 1; k <= 100; ++k) v.push_back(k);
    // sd = sqrt(100 * 101 / 12) is below IQR / 1.34 = 49.5 / 1.34.
    const KernelDensity kde(v);
    ASSERT_TRUE(kde.Valid());
    EXPECT_NEAR(kde.Bandwidth(), 0.9 * std::sqrt(100.0 * 101 / 12) * std::pow(100.0, -0.2), 1e-12);

    // A long tail: the IQR decides. 1..8 and 1000: IQR 4, sd far larger.
    const KernelDensity tail(std::vector<double>{1, 2, 3, 4, 5, 6, 7, 8, 1000});
    EXPECT_NEAR(tail.Bandwidth(), 0.9 * (4.0 / 1.34) * std::pow(9.0, -0.2), 1e-12);
}

TEST(KernelDensity, IntegratesToOne) {
    const std::vector<double> v = samples::Lognormal(0.0, 0.5, 3000, 8);
    const KernelDensity kde(v);
    const double lo = -1.5, hi = 12.0, step = 0.001;
    double area = 0;
    for (double x = lo; x < hi; x += step) area += kde(x + step / 2) * step;
    EXPECT_NEAR(area, 1.0, 1e-3);
}

TEST(KernelDensity, NeedsTwoDifferentValuesAndASpreadThatIsANumber) {
    const double big = std::numeric_limits<double>::max();
    for (const std::vector<double>& v :
         {std::vector<double>{}, {0.2}, {0.2, 0.2}, {0.2, 0.2 + 1e-16}, {-big, big, -big, big}}) {
        const KernelDensity kde(v);
        EXPECT_FALSE(kde.Valid());
        EXPECT_EQ(kde(0.2), 0.0);
    }
    EXPECT_TRUE(KernelDensity(std::vector<double>{1e300, 2e300, 4e300}).Valid());
}

}  // namespace
}  // namespace valmora
