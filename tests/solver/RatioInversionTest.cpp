#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "solver/RatioInversion.h"

using namespace bendwise;

namespace {

struct RatioCase {
    double r;
    double x;
};  // x to 10 significant digits

void ExpectTenDigits(double actual, double expected, double r) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected)) << "r = " << r;
}

// The true roots, also above r = 0.9 where the 20 fixed-gain steps alone stop short (0.99
// gave 0.2453141322; the root is 0.2453178089). Against MPFR: tests/solver/RatioRootTest.cpp.
TEST(InvertChordRatio, ReferenceValues) {
    const RatioCase cases[] = {
        {0.2, 2.595739080},  {0.5, 1.895494267},   {0.7, 1.410185377},   {0.84, 1.004874832},
        {0.9, 0.7866830720}, {0.95, 0.5519109786}, {0.99, 0.2453178089}, {0.999, 0.07747129032},
    };
    for (const auto& c : cases) ExpectTenDigits(InvertChordRatio(c.r), c.x, c.r);
    EXPECT_DOUBLE_EQ(InvertChordRatio(0), 3.141592653589793);
    EXPECT_EQ(InvertChordRatio(1), 1e-10);  // the start value, left unchanged
}

TEST(InvertTangentRatio, ReferenceValues) {
    const RatioCase cases[] = {
        {1.001, 0.05473942148}, {1.1, 0.5175133871}, {1.4, 0.8998667714}, {1.5, 0.9674026382},
        {2, 1.165561185},       {10, 1.504423312},   {1000, 1.570159449}, {1e10, 1.570796327},
    };
    for (const auto& c : cases) ExpectTenDigits(InvertTangentRatio(c.r), c.x, c.r);
    EXPECT_EQ(InvertTangentRatio(1), 1e-10);
    // No positive root below 1: within 1e-15 of zero, not a failure.
    for (double r : {0.5, 1e-300, 0.1, 0.9, 0.999999})
        EXPECT_NEAR(InvertTangentRatio(r), 0, 1e-15) << r;
    // Our rule for r = 0 (a tangent of 0), where the iterations would divide by zero.
    EXPECT_EQ(InvertTangentRatio(0), 0);
}

TEST(RatioInversion, OutOfRangeOrNotANumberFails) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(kInversionFailed, -999.99);
    for (double r : {-0.0001, 1.0000001, nan, -1e300, 1e300})
        EXPECT_EQ(InvertChordRatio(r), kInversionFailed) << r;
    for (double r : {-0.0001, 2e10, nan, std::nextafter(1e10, 2e10)})
        EXPECT_EQ(InvertTangentRatio(r), kInversionFailed) << r;
}

}  // namespace
