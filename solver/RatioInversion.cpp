#include "solver/RatioInversion.h"

#include <cmath>

#include "math/Trig.h"

namespace bendwise {

double InvertChordRatio(double r) {
    if (r < 0 || r > 1 || std::isnan(r)) return kInversionFailed;
    double x;
    if (r > 0.7) {
        x = std::sqrt(3 * (1 - r) * (1 + r));
    } else {
        x = 3 * (1 - r) * std::sqrt(1 + r);
    }
    if (!(x > 0)) x = 1e-10;  // only at r = 1, where the root is 0
    const double gain = r > 0.84 ? 3.0 : 2.25 + 2 * std::fabs(r - 0.42);
    for (int i = 0; i < 20; ++i) x = x - gain * (r - math::Sin(x) / x);
    return x;
}

double InvertTangentRatio(double r) {
    if (r < 0 || r > 1e10 || std::isnan(r)) return kInversionFailed;
    if (r == 0) return 0.0;
    double x;
    if (r > 1.4) {
        x = 1;
    } else {
        x = std::sqrt(3 * (r - 1));  // not a number below r = 1
    }
    if (!(x > 0)) x = 1e-10;
    for (int i = 0; i < 10; ++i) {
        double t = math::Tan(x);
        x = x + (x - t / r) / (x * t - (r - 1) / r);
    }
    return x;
}

}  // namespace bendwise
