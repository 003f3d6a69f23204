#include "survey/ExchangeFiles.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "math/Trig.h"
#include "text/CharConv.h"

namespace bendwise {

bool IsPlaced(const CurveSurvey& survey) {
    return survey.points && !survey.points->error;
}

const SpiralSurvey* PlacedSpiral(const CurveSurvey& survey) {
    if (!survey.spiral || survey.spiral->curve.refusal || !survey.spiral->points ||
        survey.spiral->points->error) {
        return nullptr;
    }
    return &*survey.spiral;
}

std::vector<SurveyPoint> NumberedPoints(const CurveSurvey& survey) {
    std::vector<SurveyPoint> list;
    if (!IsPlaced(survey)) return list;
    const CurvePoints& p = *survey.points;
    long number = survey.firstPoint;
    auto add = [&](std::string description, const NorthEast& at, bool station = false) {
        list.push_back({number++, std::move(description), at, station});
    };
    if (const SpiralSurvey* spiral = PlacedSpiral(survey)) {
        const SpiralPoints& s = *spiral->points;
        for (const auto& [name, at] : {std::pair<const char*, const NorthEast&>{"TS", s.ts},
                                       {"SC", s.sc},
                                       {"CC", s.cc},
                                       {"CS", s.cs},
                                       {"ST", s.st},
                                       {"PI", s.pi}}) {
            add(name, at);
        }
        for (std::size_t i = 0; i < spiral->stakePositions.size(); ++i) {
            // The stakes at TS, SC, CS and ST carry those stations exactly.
            const double station = spiral->stakes[i].station;
            const SpiralStations& named = *spiral->stations;
            if (station == named.ts || station == named.sc || station == named.cs ||
                station == named.st) {
                continue;
            }
            add(FormatStation(station, spiral->stationDecimals), spiral->stakePositions[i], true);
        }
        return list;
    }
    for (const NamedPoint& named : NamedPoints(p)) {
        if (named.at) add(named.name, *named.at);
    }
    if (survey.stakeout) {
        const Stakeout& stakeout = *survey.stakeout;
        // The first row is the PC and the last the PT, already numbered above: each point
        // on the ground gets one number.
        for (std::size_t i = 1; i + 1 < stakeout.positions.size(); ++i) {
            add(FormatStation(stakeout.rows[i].station, stakeout.stationDecimals),
                stakeout.positions[i], true);
        }
    }
    return list;
}

std::string PointsFile(const CurveSurvey& survey) {
    std::string out;
    for (const SurveyPoint& point : NumberedPoints(survey)) {
        out.append(std::to_string(point.number)).push_back(',');
        out.append(CoordinateText(point.at.northing)).push_back(',');
        out.append(CoordinateText(point.at.easting)).append(",,");
        out.append(point.description).append("\r\n");
    }
    return out;
}

std::string ExactNumber(double value) {
    if (value == 0) return "0";  // also -0
    char buf[64];
    const auto result = ToChars(buf, buf + sizeof buf, value);
    return std::string(buf, static_cast<std::size_t>(result.ptr - buf));
}

double ReduceDegrees(double degrees) {
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360;
    return a >= 360 ? 0.0 : a;  // -1e-20 + 360 rounds to 360
}

TangentLines TangentsOf(const CCurveRecord& record, const CurvePoints& points) {
    TangentLines lines;
    lines.length = points.pi ? record.m_tangent : record.m_radius;
    const double k = record.m_degPerRad;
    const double back = record.m_inboundAz / k;
    const double ahead = record.m_outboundAz / k;
    lines.backStart = {points.pc.northing - lines.length * math::Cos(back),
                       points.pc.easting - lines.length * math::Sin(back)};
    lines.aheadEnd = {points.pt.northing + lines.length * math::Cos(ahead),
                      points.pt.easting + lines.length * math::Sin(ahead)};
    return lines;
}

namespace {

bool IsOneOf(std::string_view unit, std::initializer_list<const char*> words) {
    std::string lower(unit);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    for (const char* word : words) {
        if (lower == word) return true;
    }
    return false;
}

}  // namespace

bool IsMetricUnit(std::string_view unit) {
    return IsOneOf(unit, {"m", "metre", "metres", "meter", "meters"});
}

bool IsUsSurveyFootUnit(std::string_view unit) {
    return IsOneOf(unit, {"usft", "us-ft", "us ft", "survey ft", "survey foot", "survey feet",
                          "us survey foot", "us survey feet"});
}

}  // namespace bendwise
