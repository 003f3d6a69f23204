#include "survey/Stationing.h"

#include <cmath>
#include <limits>

#include "math/Trig.h"
#include "text/CharConv.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Half a hundredth: two stations closer than this print alike.
constexpr double kHalfHundredth = 0.005;

// 2^53: every whole number up to here is a double of its own.
constexpr double kLargestExactCount = 9007199254740992.0;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Straight distance between two points of a circle of radius R whose central angle is
// twice `halfAngle` degrees: (2 x R) x sin(halfAngle / k), as the long chord is computed.
double ChordOfHalfAngle(const CCurveRecord& record, double halfAngle) {
    return (2 * record.m_radius) * math::Sin(halfAngle / record.m_degPerRad);
}

}  // namespace

const char* StationingName(Stationing mode) {
    return mode == Stationing::Chord ? "chord" : "arc";
}

bool ParseStation(std::string_view text, double& station) {
    std::size_t i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;

    // The number is rebuilt without the '+' ("25+50.00" -> "2550.00") and read once, so
    // that it is the double nearest to the decimal value typed.
    std::string number;
    const std::size_t wholeStart = i;
    while (i < text.size() && IsDigit(text[i])) ++i;
    if (i == wholeStart) return false;
    number.assign(text.substr(wholeStart, i - wholeStart));

    if (i < text.size() && text[i] == '+') {
        ++i;
        if (i + 2 > text.size() || !IsDigit(text[i]) || !IsDigit(text[i + 1])) return false;
        number.append(text.substr(i, 2));
        i += 2;
    }
    if (i < text.size() && text[i] == '.') {
        const std::size_t point = i++;
        while (i < text.size() && IsDigit(text[i])) ++i;
        if (i == point + 1) return false;
        number.append(text.substr(point, i - point));
    }
    if (i != text.size()) return false;

    double value = 0.0;
    if (ReadDecimalPrefix(number, value) != number.size() || !std::isfinite(value)) return false;
    station = negative ? -value : value;
    return true;
}

bool ParseInterval(std::string_view text, double& interval) {
    double value = 0;
    const std::size_t used = ReadDecimalPrefix(text, value);
    if (used == 0 || used != text.size() || !std::isfinite(value) || !(value > 0)) return false;
    interval = value;
    return true;
}

std::string FormatStation(double station, int decimals) {
    if (!std::isfinite(station)) return "undefined";
    decimals = decimals < 0 ? 0 : decimals > 9 ? 9 : decimals;
    // The exact binary value rounded to `decimals` (ties to even), then split, so a carry
    // from the last place reaches the hundreds. A finite double has at most 309 integer
    // digits.
    char buf[400];
    const auto result =
        ToChars(buf, buf + sizeof buf, std::fabs(station), std::chars_format::fixed, decimals);
    const std::string digits(buf, static_cast<std::size_t>(result.ptr - buf));
    const std::size_t fraction = decimals > 0 ? static_cast<std::size_t>(decimals) + 1 : 0;
    const std::size_t point = digits.size() - fraction;
    std::string whole = digits.substr(0, point);
    if (whole.size() < 3) whole.insert(0, 3 - whole.size(), '0');

    // A value that rounds to zero shows no sign.
    const bool negative = station < 0 && digits.find_first_not_of("0.") != std::string::npos;
    std::string out = negative ? "-" : "";
    out.append(whole, 0, whole.size() - 2);
    out.push_back('+');
    out.append(whole, whole.size() - 2, 2);
    out.append(digits, point, fraction);
    return out;
}

int StationDecimals(double interval) {
    int decimals = 2;
    double scale = 100;  // 10^decimals, exact
    while (decimals < 9 && interval * scale < 1) {
        ++decimals;
        scale *= 10;
    }
    return decimals;
}

CurveStations ComputeStations(const CCurveRecord& record, double piStation, Stationing mode) {
    CurveStations s;
    s.mode = mode;
    s.pi = piStation;
    s.length = mode == Stationing::Chord ? record.m_lengthRR : record.m_lengthArc;
    const double tangent = record.m_tangent;
    // From 180 degrees on, tan(Delta / 2) is huge or negative: the tangents meet behind
    // the curve or not at all, and there is no PI to station from.
    const bool finitePi = record.m_delta < 180 && std::isfinite(tangent) && tangent >= 0;
    s.pc = piStation - tangent;
    s.pt = s.pc + s.length;
    s.defined = finitePi && std::isfinite(s.length) && std::isfinite(s.pc) && std::isfinite(s.pt);
    if (!s.defined) {
        s.pc = std::numeric_limits<double>::quiet_NaN();
        s.pt = s.pc;
    }
    return s;
}

CurveStations ComputeStationsFromPc(const CCurveRecord& record, double pcStation, Stationing mode) {
    CurveStations s;
    s.mode = mode;
    s.length = mode == Stationing::Chord ? record.m_lengthRR : record.m_lengthArc;
    const double tangent = record.m_tangent;
    const bool finitePi = record.m_delta < 180 && std::isfinite(tangent) && tangent >= 0;
    s.pc = pcStation;
    s.pt = s.pc + s.length;
    s.pi = finitePi ? s.pc + tangent : std::numeric_limits<double>::quiet_NaN();
    s.defined = std::isfinite(s.length) && std::isfinite(s.pc) && std::isfinite(s.pt);
    if (!s.defined) {
        s.pc = std::numeric_limits<double>::quiet_NaN();
        s.pt = s.pc;
    }
    return s;
}

bool BuildStakeout(const CCurveRecord& record, const CurveStations& stations, double interval,
                   std::vector<StakeoutRow>& rows, std::string& reason) {
    rows.clear();
    if (!stations.defined) {
        reason = "the curve has no PC and PT stations to stake out from";
        return false;
    }
    if (!(interval > 0) || !std::isfinite(interval)) {
        reason = "the stakeout interval must be a positive length";
        return false;
    }
    const double pc = stations.pc;
    const double pt = stations.pt;
    const double first = std::ceil(pc / interval);
    const double last = std::floor(pt / interval);
    if (last - first + 3 > kMaxStakeoutRows) {
        reason = "a stakeout interval this short gives more than 100000 points";
        return false;
    }
    // Multiples are counted in doubles; past 2^53 consecutive counts are no longer
    // distinct doubles, and the stations would repeat.
    if (std::fabs(first) > kLargestExactCount || std::fabs(last) > kLargestExactCount) {
        reason = "the stations are too large for this stakeout interval";
        return false;
    }

    const double halfDelta = record.m_delta / 2;
    const double length = stations.length;
    auto add = [&](double station, double distance) {
        StakeoutRow row;
        row.station = station;
        row.distance = distance;
        row.deflection = distance == 0 ? 0.0 : (distance / length) * halfDelta;
        row.chord = ChordOfHalfAngle(record, row.deflection);
        if (!rows.empty()) {
            row.subChord = ChordOfHalfAngle(record, row.deflection - rows.back().deflection);
        }
        rows.push_back(row);
    };

    add(pc, 0.0);
    // Half the last printed place: a stake closer than that to the PC or the PT prints as
    // that point's station and is that point.
    double apart = kHalfHundredth;
    for (int d = StationDecimals(interval); d > 2; --d) apart /= 10;
    const long count = static_cast<long>(last - first) + 1;
    for (long i = 0; i < count; ++i) {
        const double station = (first + static_cast<double>(i)) * interval;
        if (station - pc < apart || pt - station < apart) continue;
        add(station, station - pc);
    }
    add(pt, length);
    return true;
}

}  // namespace bendwise
