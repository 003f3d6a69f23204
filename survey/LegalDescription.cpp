#include "survey/LegalDescription.h"

#include <cmath>

#include "text/CharConv.h"

namespace bendwise {
namespace {

constexpr double kSecondsPerCircle = 360.0 * 3600.0;

// A whole number of seconds (a double holding an integer) as D°MM'SS".
std::string SplitSeconds(double totalSeconds) {
    const double degrees = std::floor(totalSeconds / 3600);
    const double rest = totalSeconds - degrees * 3600;
    const int minutes = static_cast<int>(rest / 60);
    const int seconds = static_cast<int>(rest - minutes * 60.0);
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

}  // namespace

std::string FormatDmsSeconds(double degrees) {
    if (!std::isfinite(degrees)) return "undefined";
    // One rounding, of the whole angle in seconds: rounding the seconds alone after the
    // split would turn 29°59'59.7" into 29°59'60".
    const double total = std::round(std::fabs(degrees) * 3600);
    return (degrees < 0 && total != 0 ? "-" : "") + SplitSeconds(total);
}

std::string QuadrantBearing(double azimuth) {
    if (!std::isfinite(azimuth)) return "undefined";
    double total = std::fmod(std::round(azimuth * 3600), kSecondsPerCircle);
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
