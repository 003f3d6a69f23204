#include "survey/LegalDescription.h"

#include <cmath>
#include <cstdint>

#include "text/CharConv.h"

namespace bendwise {
namespace {

constexpr double kSecondsPerCircle = 360.0 * 3600.0;

// 2^53: up to here a whole number of seconds is an exact double and converts exactly to
// an integer.
constexpr double kExactSeconds = 9007199254740992.0;

// D°MM'SS" of whole `degrees` (a double holding an integer, printed in full) and
// `seconds` (a whole number below 3600).
std::string DegreesMinutesSeconds(double degrees, unsigned seconds) {
    const unsigned minutes = seconds / 60;
    seconds %= 60;
    char buf[400];
    const auto result = ToChars(buf, buf + sizeof buf, degrees, std::chars_format::fixed, 0);
    std::string out(buf, static_cast<std::size_t>(result.ptr - buf));
    out.append("\u00B0");
    out.push_back(static_cast<char>('0' + minutes / 10));
    out.push_back(static_cast<char>('0' + minutes % 10));
    out.push_back('\'');
    out.push_back(static_cast<char>('0' + seconds / 10));
    out.push_back(static_cast<char>('0' + seconds % 10));
    out.push_back('"');
    return out;
}

// A whole, non-negative number of seconds below kExactSeconds as D°MM'SS", split in
// integers.
std::string SplitSeconds(double totalSeconds) {
    const auto total = static_cast<std::uint64_t>(totalSeconds);
    return DegreesMinutesSeconds(static_cast<double>(total / 3600),
                                 static_cast<unsigned>(total % 3600));
}

}  // namespace

std::string FormatDmsSeconds(double degrees) {
    if (!std::isfinite(degrees)) return "undefined";
    const double magnitude = std::fabs(degrees);
    // One rounding, of the whole angle in seconds: rounding the seconds alone after the
    // split would turn 29°59'59.7" into 29°59'60".
    const double total = std::round(magnitude * 3600);
    const char* sign = degrees < 0 && total != 0 ? "-" : "";
    if (total < kExactSeconds) return sign + SplitSeconds(total);
    // From 2.5e12 degrees on the product no longer holds whole seconds one by one (and past
    // 5e304 it overflows): the whole degrees and their fraction are split first, both
    // exactly, and only the fraction becomes seconds.
    double whole = std::floor(magnitude);
    double seconds = std::round((magnitude - whole) * 3600);
    if (seconds >= 3600) {
        whole += 1;
        seconds = 0;
    }
    return sign + DegreesMinutesSeconds(whole, static_cast<unsigned>(seconds));
}

std::string QuadrantBearing(double azimuth) {
    if (!std::isfinite(azimuth)) return "undefined";
    // Whole seconds of the azimuth, reduced to one turn. Up to 2^53 seconds the product is
    // rounded once and reduced exactly. Beyond, the azimuth is reduced modulo 360 first
    // (fmod is exact): 5e304 x 3600 would overflow to infinity, and a product past 2^53
    // has lost the seconds anyway.
    const double seconds = azimuth * 3600;
    double total = std::fabs(seconds) < kExactSeconds ? std::round(seconds)
                                                      : std::round(std::fmod(azimuth, 360) * 3600);
    total = std::fmod(total, kSecondsPerCircle);
    if (total < 0) total += kSecondsPerCircle;
    constexpr double kQuarter = 90 * 3600.0;
    if (total <= kQuarter) return "N " + SplitSeconds(total) + " E";
    if (total <= 2 * kQuarter) return "S " + SplitSeconds(2 * kQuarter - total) + " E";
    if (total < 3 * kQuarter) return "S " + SplitSeconds(total - 2 * kQuarter) + " W";
    return "N " + SplitSeconds(4 * kQuarter - total) + " W";
}

std::string FormatDescriptionLength(double length) {
    if (!std::isfinite(length)) return "undefined";
    char buf[400];
    const auto result = ToChars(buf, buf + sizeof buf, length, std::chars_format::fixed, 2);
    return std::string(buf, static_cast<std::size_t>(result.ptr - buf));
}

std::string DescribeCurve(const CCurveRecord& record, std::string_view unit) {
    const std::string unitWord(unit);
    std::string out = "a curve to the ";
    out.append(record.m_left ? "left" : "right");
    out.append(" having a radius of ").append(FormatDescriptionLength(record.m_radius));
    out.append(" ").append(unitWord);
    out.append(", a central angle of ").append(FormatDmsSeconds(record.m_delta));
    out.append(", an arc length of ").append(FormatDescriptionLength(record.m_lengthArc));
    out.append(" ").append(unitWord);
    out.append(", and a long chord bearing ").append(QuadrantBearing(record.m_chordAz));
    out.append(", ").append(FormatDescriptionLength(record.m_chord)).append(" ").append(unitWord);
    return out;
}

}  // namespace bendwise
