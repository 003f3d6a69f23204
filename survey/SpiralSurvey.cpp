#include "survey/SpiralSurvey.h"

#include <cmath>

#include "survey/FieldWork.h"
#include "survey/Stationing.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// The elements in the order they print, each with its label and JSON key.
struct SpiralElement {
    const char* label;
    const char* key;
    double SpiralCurve::*member;
    bool angle;
};
constexpr SpiralElement kElements[] = {
    {"Ls", "ls", &SpiralCurve::ls, false},
    {"Rc", "rc", &SpiralCurve::rc, false},
    {"Delta", "delta", &SpiralCurve::delta, true},
    {"Theta s", "theta-s", &SpiralCurve::thetaSDeg, true},
    {"Xs", "xs", &SpiralCurve::xs, false},
    {"Ys", "ys", &SpiralCurve::ys, false},
    {"p", "p", &SpiralCurve::p, false},
    {"k", "k", &SpiralCurve::k, false},
    {"Ts", "ts", &SpiralCurve::ts, false},
    {"Es", "es", &SpiralCurve::es, false},
    {"LT", "lt", &SpiralCurve::lt, false},
    {"ST", "st", &SpiralCurve::st, false},
    {"LC", "lc", &SpiralCurve::lc, false},
    {"SC deflection", "sc-deflection", &SpiralCurve::scDeflection, true},
    {"Delta c", "delta-c", &SpiralCurve::deltaC, true},
    {"Lc", "lc-arc", &SpiralCurve::arcLength, false},
};

std::string ValueText(double value, bool angle) {
    return angle ? DmsString(value) : FixedString(value);
}

}  // namespace

SpiralSurvey SurveySpiral(const CCurveRecord& record, const SpiralRequest& request) {
    SpiralSurvey spiral;
    spiral.curve = ComputeSpiral(record.m_radius, record.m_delta, request.length);
    if (spiral.curve.refusal) return spiral;
    if (request.piStation) spiral.stations = StationSpiral(spiral.curve, *request.piStation);
    if (request.known) {
        const SpiralKnown known =
            request.known->point == KnownPoint::Pi ? SpiralKnown::Pi : SpiralKnown::Ts;
        spiral.points = PlaceSpiral(spiral.curve, known, request.known->at, record.m_inboundAz,
                                    record.m_left != 0);
    }
    if (request.interval && spiral.stations) {
        spiral.stakeoutAsked = true;
        spiral.stationDecimals = StationDecimals(*request.interval);
        std::string reason;
        if (!SpiralStakeout(spiral.curve, *spiral.stations, *request.interval, spiral.stakes,
                            reason)) {
            spiral.stakeoutError = reason;
        } else if (spiral.points && !spiral.points->error) {
            for (const SpiralStake& stake : spiral.stakes) {
                spiral.stakePositions.push_back(StakePosition(spiral.curve, *spiral.points, stake));
            }
        }
    }
    return spiral;
}

void AppendSpiralText(std::string& out, const SpiralSurvey& spiral) {
    if (spiral.curve.refusal) {
        AppendLabelled(out, "Spiral", "none: " + *spiral.curve.refusal);
        return;
    }
    AppendLabelled(out, "Spiral", "clothoid, equal spirals; arc stationing");
    for (const SpiralElement& element : kElements) {
        AppendLabelled(out, element.label, ValueText(spiral.curve.*element.member, element.angle));
    }
    if (spiral.stations) {
        const SpiralStations& s = *spiral.stations;
        const struct {
            const char* name;
            double station;
        } named[] = {{"PI", s.pi}, {"TS", s.ts}, {"SC", s.sc}, {"CS", s.cs}, {"ST", s.st}};
        for (const auto& point : named)
            AppendLabelled(out, point.name, FormatStation(point.station));
    }
    if (spiral.points) {
        const SpiralPoints& p = *spiral.points;
        if (p.error) {
            AppendLabelled(out, "Coordinates", "none: " + *p.error);
        } else {
            AppendCell(out, "Point");
            AppendCell(out, "Northing");
            out.append("Easting\n");
            const struct {
                const char* name;
                const NorthEast& at;
            } named[] = {{"TS", p.ts}, {"SC", p.sc}, {"CC", p.cc},
                         {"CS", p.cs}, {"ST", p.st}, {"PI", p.pi}};
            for (const auto& point : named) {
                AppendCell(out, point.name);
                AppendCell(out, CoordinateText(point.at.northing));
                out.append(CoordinateText(point.at.easting)).push_back('\n');
            }
        }
    }
    if (!spiral.stakeoutAsked) return;
    if (spiral.stakeoutError) {
        AppendLabelled(out, "Stakeout", "none: " + *spiral.stakeoutError);
        return;
    }
    AppendLabelled(out, "Stakeout",
                   "spirals from the TS and back from the ST, the arc from the SC");
    const bool placed = !spiral.stakePositions.empty();
    const std::vector<std::string> headings = {"Station", "Element", "Distance", "Deflection",
                                               "Theta/3", "Chord",   "Northing", "Easting"};
    const std::size_t columns = placed ? headings.size() : headings.size() - 2;
    const auto row = [&out, columns](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i + 1 < columns; ++i) AppendCell(out, cells[i]);
        out.append(cells[columns - 1]).push_back('\n');
    };
    row(headings);
    for (std::size_t i = 0; i < spiral.stakes.size(); ++i) {
        const SpiralStake& stake = spiral.stakes[i];
        std::vector<std::string> cells = {FormatStation(stake.station, spiral.stationDecimals),
                                          SpiralPartName(stake.part),
                                          FixedString(stake.distance),
                                          DmsString(stake.deflection),
                                          DmsString(stake.approxDeflection),
                                          FixedString(stake.chord)};
        if (placed) {
            cells.push_back(CoordinateText(spiral.stakePositions[i].northing));
            cells.push_back(CoordinateText(spiral.stakePositions[i].easting));
        }
        row(cells);
    }
}

void WriteSpiralJson(JsonWriter& json, const SpiralSurvey& spiral) {
    json.Key("spiral");
    json.BeginObject();
    json.Key("error");
    if (spiral.curve.refusal) {
        json.String(*spiral.curve.refusal);
        json.EndObject();
        return;
    }
    json.Null();
    for (const SpiralElement& element : kElements) {
        json.Key(element.key);
        json.Number(spiral.curve.*element.member);
    }
    json.Key("theta-s-radians");
    json.Number(spiral.curve.thetaS);
    if (spiral.stations) {
        const SpiralStations& s = *spiral.stations;
        json.Key("stations");
        json.BeginObject();
        const struct {
            const char* key;
            double station;
        } named[] = {{"pi", s.pi}, {"ts", s.ts}, {"sc", s.sc}, {"cs", s.cs}, {"st", s.st}};
        for (const auto& point : named) {
            json.Key(point.key);
            json.Number(point.station);
        }
        json.EndObject();
    }
    if (spiral.points) {
        const SpiralPoints& p = *spiral.points;
        json.Key("coordinates");
        json.BeginObject();
        json.Key("error");
        if (p.error) {
            json.String(*p.error);
        } else {
            json.Null();
            const struct {
                const char* key;
                const NorthEast& at;
            } named[] = {{"ts", p.ts}, {"sc", p.sc}, {"cc", p.cc},
                         {"cs", p.cs}, {"st", p.st}, {"pi", p.pi}};
            for (const auto& point : named) WriteNorthEast(json, point.key, point.at);
        }
        json.EndObject();
    }
    if (spiral.stakeoutAsked) {
        json.Key("stakeout");
        json.BeginObject();
        json.Key("error");
        if (spiral.stakeoutError) {
            json.String(*spiral.stakeoutError);
        } else {
            json.Null();
        }
        json.Key("rows");
        json.BeginArray();
        for (std::size_t i = 0; i < spiral.stakes.size(); ++i) {
            const SpiralStake& stake = spiral.stakes[i];
            json.BeginObject();
            json.Key("station");
            json.Number(stake.station);
            json.Key("element");
            json.String(SpiralPartName(stake.part));
            const struct {
                const char* key;
                double value;
            } numbers[] = {{"distance", stake.distance},
                           {"x", stake.x},
                           {"y", stake.y},
                           {"deflection", stake.deflection},
                           {"theta-3", stake.approxDeflection},
                           {"chord", stake.chord}};
            for (const auto& number : numbers) {
                json.Key(number.key);
                json.Number(number.value);
            }
            if (i < spiral.stakePositions.size()) {
                WriteNorthEastMembers(json, spiral.stakePositions[i]);
            }
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndObject();
}

}  // namespace bendwise
