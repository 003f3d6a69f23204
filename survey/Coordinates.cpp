#include "survey/Coordinates.h"

#include <charconv>
#include <cmath>
#include <utility>

#include "math/Trig.h"
#include "text/CharConv.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

bool Finite(const NorthEast& p) {
    return std::isfinite(p.northing) && std::isfinite(p.easting);
}

// `from` plus `distance` at `azimuth` degrees; k is the record's degrees per radian.
NorthEast Offset(const NorthEast& from, double distance, double azimuth, double k) {
    return {from.northing + distance * math::Cos(azimuth / k),
            from.easting + distance * math::Sin(azimuth / k)};
}

double Side(const CCurveRecord& record) {
    return record.m_left ? -1.0 : 1.0;
}

}  // namespace

const char* const kNoPiNote = "a Delta of 180 degrees or more has no PI";

bool ParseCoordinate(std::string_view text, double& value) {
    double read = 0.0;
    if (text.empty() || text.find_first_of(" \t\n\r\v\f") != std::string_view::npos ||
        ReadDecimalPrefix(text, read) != text.size() || !std::isfinite(read)) {
        return false;
    }
    value = read;
    return true;
}

bool ParseOffsetList(std::string_view text, std::vector<double>& offsets) {
    const auto trim = [](std::string_view part) {
        const std::size_t first = part.find_first_not_of(" \t");
        if (first == std::string_view::npos) return std::string_view();
        return part.substr(first, part.find_last_not_of(" \t") - first + 1);
    };
    std::vector<double> read;
    for (;;) {
        const std::size_t comma = text.find(',');
        double offset = 0;
        if (!ParseCoordinate(trim(text.substr(0, comma)), offset)) return false;
        read.push_back(offset);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    offsets = std::move(read);
    return true;
}

std::string CoordinateText(double value) {
    // A finite double has at most 309 integer digits.
    char buf[400];
    const auto result = ToChars(buf, buf + sizeof buf, value, std::chars_format::fixed, 4);
    std::string text(buf, static_cast<std::size_t>(result.ptr - buf));
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

std::vector<NamedPoint> NamedPoints(const CurvePoints& points) {
    return {{"PC", "pc", points.pc},
            {"PI", "pi", points.pi},
            {"PT", "pt", points.pt},
            {"RP", "rp", points.rp},
            {"MPC", "mpc", points.mpc}};
}

bool HasFinitePi(const CCurveRecord& record) {
    return record.m_delta < 180 && std::isfinite(record.m_tangent) && record.m_tangent >= 0;
}

NorthEast PointAtDeflection(const CCurveRecord& record, const NorthEast& pc, double deflection) {
    const double k = record.m_degPerRad;
    return Offset(pc, (2 * record.m_radius) * math::Sin(deflection / k),
                  record.m_inboundAz + Side(record) * deflection, k);
}

CurvePoints PlaceCurve(const CCurveRecord& record, const KnownPosition& known) {
    CurvePoints p;
    p.given = known;
    const double k = record.m_degPerRad;
    const double inbound = record.m_inboundAz;
    const bool finitePi = HasFinitePi(record);
    if (known.point == KnownPoint::Pi && !finitePi) {
        p.error = std::string(kNoPiNote) + " to place the curve from";
        return p;
    }
    p.pc = known.point == KnownPoint::Pi ? Offset(known.at, record.m_tangent, inbound + 180, k)
                                         : known.at;
    p.pt = PointAtDeflection(record, p.pc, record.m_delta / 2);
    p.mpc = PointAtDeflection(record, p.pc, record.m_delta / 4);
    p.rp = Offset(p.pc, record.m_radius, inbound + Side(record) * 90, k);
    if (finitePi)
        p.pi =
            known.point == KnownPoint::Pi ? known.at : Offset(p.pc, record.m_tangent, inbound, k);
    if (!Finite(p.pc) || !Finite(p.pt) || !Finite(p.mpc) || !Finite(p.rp) ||
        (p.pi && !Finite(*p.pi))) {
        p.error = "the curve's coordinates are not all finite numbers";
    }
    return p;
}

}  // namespace bendwise
