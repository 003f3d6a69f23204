#include "survey/FieldWork.h"

#include <algorithm>
#include <cmath>

#include "math/Trig.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

constexpr std::size_t kLabelWidth = 13;

// The record's degrees per radian (180 / pi with the engine's pi): the same double.
constexpr double kDegPerRad = 180 / 3.141592653589793;

const char* FitName(PointsFit fit) {
    switch (fit) {
        case PointsFit::RadiusPoint:
            return "PC, RP, PT";
        case PointsFit::TangentPoints:
            return "PC, PI, PT";
        case PointsFit::ThreePoints:
            break;
    }
    return "PC, point on arc, PT";
}

const char* FitKey(PointsFit fit) {
    switch (fit) {
        case PointsFit::RadiusPoint:
            return "inverse";
        case PointsFit::TangentPoints:
            return "pc-pi-pt";
        case PointsFit::ThreePoints:
            break;
    }
    return "three-points";
}

const char* HeldText(PointsFit fit) {
    switch (fit) {
        case PointsFit::RadiusPoint:
            return "PC and RP; the PT's radius compared";
        case PointsFit::TangentPoints:
            return "PC and back tangent; R from the mean tangent";
        case PointsFit::ThreePoints:
            break;
    }
    return "the circle through the three points";
}

std::string NorthEastText(const NorthEast& at) {
    return CoordinateText(at.northing) + " " + CoordinateText(at.easting);
}

void WriteError(JsonWriter& json, const std::optional<std::string>& error) {
    json.Key("error");
    if (error) {
        json.String(*error);
    } else {
        json.Null();
    }
}

// A row of cells, the last one as it is.
void AppendRow(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) AppendCell(out, cells[i]);
    out.append(cells.back()).push_back('\n');
}

}  // namespace

void WriteNorthEastMembers(JsonWriter& json, const NorthEast& at) {
    json.Key("northing");
    json.Number(at.northing);
    json.Key("easting");
    json.Number(at.easting);
}

void WriteNorthEast(JsonWriter& json, const char* key, const NorthEast& at) {
    json.Key(key);
    json.BeginObject();
    WriteNorthEastMembers(json, at);
    json.EndObject();
}

void AppendCell(std::string& out, std::string_view text) {
    out.append(text);
    out.append(text.size() < kLabelWidth ? kLabelWidth - text.size() : 1, ' ');
}

void AppendLabelled(std::string& out, std::string_view label, std::string_view value) {
    AppendCell(out, label);
    out.append(value).push_back('\n');
}

PointsInverse SolvePoints(const PointsRequest& request) {
    PointsInverse inverse;
    inverse.request = request;
    const NorthEast& pc = request.first;
    const NorthEast& pt = request.third;
    switch (request.fit) {
        case PointsFit::ThreePoints: {
            const ThreePointCurve found = CurveFromArcPoints(pc, request.second, pt);
            inverse.refusal = found.refusal;
            inverse.curve = found.curve;
            break;
        }
        case PointsFit::RadiusPoint: {
            const RadiusPointCurve found =
                CurveFromRadiusPoint(pc, request.second, pt, request.major, request.tolerance);
            inverse.refusal = found.refusal;
            inverse.curve = found.curve;
            inverse.firstLength = found.radiusPc;
            inverse.secondLength = found.radiusPt;
            inverse.misclosure = found.misclosure;
            break;
        }
        case PointsFit::TangentPoints: {
            const TangentPointCurve found =
                CurveFromTangentPoints(pc, request.second, pt, request.tolerance);
            inverse.refusal = found.refusal;
            inverse.curve = found.curve;
            inverse.firstLength = found.backTangent;
            inverse.secondLength = found.aheadTangent;
            inverse.misclosure = found.misclosure;
            break;
        }
    }
    if (inverse.refusal) return inverse;
    const CurveEntries& curve = inverse.curve;
    inverse.chord = HorizontalDistance(pc, pt);
    inverse.chordAz = InverseAzimuth(pc, pt);
    inverse.arcLength = curve.radius * (curve.delta / kDegPerRad);
    if (curve.delta < 180) inverse.tangent = curve.radius * math::Tan(curve.delta / 2 / kDegPerRad);
    return inverse;
}

FieldWork ComputeFieldWork(const CCurveRecord& record, const FieldWorkRequest& request,
                           const CurvePoints* points, const CurveStations* stations,
                           const std::vector<StakeoutRow>* rows,
                           const std::vector<NorthEast>* positions) {
    FieldWork work;
    if (request.fromPoints) work.inverse = SolvePoints(*request.fromPoints);
    const bool placed = points != nullptr && !points->error;
    const std::string notPlaced =
        points != nullptr && points->error ? *points->error : "the curve is not placed";

    if (!request.stationOffsets.empty()) {
        if (!placed) {
            work.stationOffsetError = notPlaced;
        } else if (stations == nullptr || !stations->defined) {
            work.stationOffsetError = "the curve has no PC station to measure from";
        } else {
            const PlacedCurve curve = PlacedFromRecord(record, points->pc, stations->pc);
            // Arc stations from the PC; with chord stationing the curve's share is scaled
            // to the pseudo-length, and the ahead tangent runs on from the PT's station.
            const double arc = curve.radius * (curve.delta / kDegPerRad);
            for (const NorthEast& at : request.stationOffsets) {
                StationOffset found = StationAndOffset(curve, at);
                if (stations->mode == Stationing::Chord) {
                    if (found.element == Element::Curve) {
                        found.station =
                            stations->pc + (found.station - stations->pc) / arc * stations->length;
                    } else if (found.element == Element::AheadTangent) {
                        found.station = stations->pt + (found.station - (stations->pc + arc));
                    }
                }
                work.stationOffsets.push_back({at, found});
            }
        }
    }

    if (!request.offsets.empty()) {
        if (!placed) {
            work.offsetsError = notPlaced;
        } else if (rows == nullptr || rows->empty()) {
            work.offsetsError = "there is no stakeout table to offset";
        } else {
            const PlacedCurve curve =
                PlacedFromRecord(record, points->pc, stations != nullptr ? stations->pc : 0.0);
            work.offsets = OffsetStakeout(curve, *rows, request.offsets);
        }
    }

    if (request.instrument && request.backsight) {
        if (!placed) {
            work.setupError = notPlaced;
        } else {
            SetupTable table;
            table.instrument = *request.instrument;
            table.backsight = *request.backsight;
            std::vector<NorthEast> targets;
            for (const NamedPoint& point : NamedPoints(*points)) {
                if (!point.at) continue;
                table.names.emplace_back(point.name);
                targets.push_back(*point.at);
            }
            if (rows != nullptr && positions != nullptr) {
                for (std::size_t i = 0; i < rows->size() && i < positions->size(); ++i) {
                    table.names.push_back(FormatStation((*rows)[i].station));
                    targets.push_back((*positions)[i]);
                }
            }
            for (const OffsetLine& line : work.offsets) {
                for (const OffsetStake& stake : line.stakes) {
                    table.names.push_back(FormatStation(stake.station) + " " +
                                          FixedString(line.offset));
                    targets.push_back(stake.at);
                }
            }
            table.shots = SetupShots(table.instrument, table.backsight, targets);
            if (table.shots.refusal) {
                work.setupError = table.shots.refusal;
            } else {
                work.setup = std::move(table);
            }
        }
    }
    return work;
}

void AppendInverseText(std::string& out, const PointsInverse& inverse) {
    AppendLabelled(out, "Inverse", FitName(inverse.request.fit));
    if (inverse.refusal) {
        AppendLabelled(out, "Refused", *inverse.refusal);
        return;
    }
    const CurveEntries& curve = inverse.curve;
    switch (inverse.request.fit) {
        case PointsFit::RadiusPoint:
            AppendLabelled(out, "Radius PC", FixedString(inverse.firstLength));
            AppendLabelled(out, "Radius PT", FixedString(inverse.secondLength));
            break;
        case PointsFit::TangentPoints:
            AppendLabelled(out, "Back tangent", FixedString(inverse.firstLength));
            AppendLabelled(out, "Ahead tangent", FixedString(inverse.secondLength));
            break;
        case PointsFit::ThreePoints:
            break;
    }
    if (inverse.request.fit != PointsFit::ThreePoints) {
        AppendLabelled(out, "Misclosure", CoordinateText(inverse.misclosure));
        AppendLabelled(out, "Tolerance", CoordinateText(inverse.request.tolerance));
    }
    AppendLabelled(out, "Radius", FixedString(curve.radius));
    AppendLabelled(out, "Delta", DmsString(curve.delta));
    AppendLabelled(out, "Turn", curve.left ? "left" : "right");
    AppendLabelled(out, "Inbound Az", DmsString(curve.inboundAz));
    AppendLabelled(out, "Chord", FixedString(inverse.chord));
    AppendLabelled(out, "Chord Az", DmsString(inverse.chordAz));
    AppendLabelled(out, "Arc length", FixedString(inverse.arcLength));
    AppendLabelled(
        out, "Tangent",
        inverse.tangent ? FixedString(*inverse.tangent) : std::string("none: ") + kNoPiNote);
    AppendLabelled(out, "Held", HeldText(inverse.request.fit));
}

void AppendFieldWorkText(std::string& out, const FieldWork& work) {
    if (work.stationOffsetError) {
        AppendLabelled(out, "Station/offset", "none: " + *work.stationOffsetError);
    } else if (!work.stationOffsets.empty()) {
        AppendLabelled(out, "Station/offset", "(offset: left -, right +)");
        AppendRow(out, {"Northing", "Easting", "Station", "Offset", "On"});
        for (const PointStation& point : work.stationOffsets) {
            AppendRow(out, {CoordinateText(point.at.northing), CoordinateText(point.at.easting),
                            FormatStation(point.found.station), CoordinateText(point.found.offset),
                            ElementName(point.found.element)});
        }
    }
    if (work.offsetsError) AppendLabelled(out, "Offsets", "none: " + *work.offsetsError);
    for (const OffsetLine& line : work.offsets) {
        if (line.refusal) {
            AppendLabelled(out, "Offset", FixedString(line.offset) + " none: " + *line.refusal);
            continue;
        }
        AppendLabelled(out, "Offset",
                       FixedString(line.offset) + " (radius " + FixedString(line.radius) + ")");
        AppendRow(out, {"Station", "Northing", "Easting", "Chord"});
        for (const OffsetStake& stake : line.stakes) {
            AppendRow(out,
                      {FormatStation(stake.station), CoordinateText(stake.at.northing),
                       CoordinateText(stake.at.easting), FixedString(stake.chordFromPrevious)});
        }
    }
    if (work.setupError) AppendLabelled(out, "Setup", "none: " + *work.setupError);
    if (!work.setup) return;
    const SetupTable& setup = *work.setup;
    AppendLabelled(out, "Setup",
                   "instrument " + NorthEastText(setup.instrument) + ", backsight " +
                       NorthEastText(setup.backsight));
    AppendLabelled(out, "Backsight Az",
                   DmsString(setup.shots.backsightAz) + ", distance " +
                       FixedString(setup.shots.backsightDistance));
    // The names of offset stakes ("10+00.00 -5.000") are longer than a cell: the first
    // column is as wide as its longest name and a blank.
    std::size_t width = kLabelWidth;
    for (const std::string& name : setup.names) width = std::max(width, name.size() + 1);
    const auto row = [&out, width](const std::string& name, std::vector<std::string> cells) {
        out.append(name).append(width - name.size(), ' ');
        AppendRow(out, cells);
    };
    row("Point", {"Azimuth", "Angle right", "Distance"});
    for (std::size_t i = 0; i < setup.shots.shots.size(); ++i) {
        const SetupShot& shot = setup.shots.shots[i];
        row(setup.names[i],
            {DmsString(shot.azimuth), DmsString(shot.angleRight), FixedString(shot.distance)});
    }
}

void WriteFieldWorkJson(JsonWriter& json, const FieldWork& work) {
    if (work.inverse) {
        const PointsInverse& inverse = *work.inverse;
        json.Key("inverse");
        json.BeginObject();
        json.Key("fit");
        json.String(FitKey(inverse.request.fit));
        WriteError(json, inverse.refusal);
        if (!inverse.refusal) {
            const CurveEntries& curve = inverse.curve;
            const struct {
                const char* key;
                double value;
            } numbers[] = {{"radius", curve.radius},        {"delta", curve.delta},
                           {"inbound-az", curve.inboundAz}, {"chord", inverse.chord},
                           {"chord-az", inverse.chordAz},   {"arc-length", inverse.arcLength}};
            for (const auto& number : numbers) {
                json.Key(number.key);
                json.Number(number.value);
            }
            json.Key("tangent");
            if (inverse.tangent) {
                json.Number(*inverse.tangent);
            } else {
                json.Null();
            }
            json.Key("left");
            json.Bool(curve.left);
            WriteNorthEast(json, "pc", curve.pc);
            if (inverse.request.fit != PointsFit::ThreePoints) {
                const bool radii = inverse.request.fit == PointsFit::RadiusPoint;
                json.Key(radii ? "radius-pc" : "back-tangent");
                json.Number(inverse.firstLength);
                json.Key(radii ? "radius-pt" : "ahead-tangent");
                json.Number(inverse.secondLength);
                json.Key("misclosure");
                json.Number(inverse.misclosure);
                json.Key("tolerance");
                json.Number(inverse.request.tolerance);
            }
            json.Key("held");
            json.String(HeldText(inverse.request.fit));
        }
        json.EndObject();
    }
    if (work.stationOffsetError || !work.stationOffsets.empty()) {
        json.Key("stationOffset");
        json.BeginObject();
        WriteError(json, work.stationOffsetError);
        json.Key("points");
        json.BeginArray();
        for (const PointStation& point : work.stationOffsets) {
            json.BeginObject();
            WriteNorthEastMembers(json, point.at);
            json.Key("station");
            json.Number(point.found.station);
            json.Key("station-text");
            json.String(FormatStation(point.found.station));
            json.Key("offset");
            json.Number(point.found.offset);
            json.Key("element");
            json.String(ElementName(point.found.element));
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    if (work.offsetsError || !work.offsets.empty()) {
        json.Key("offsets");
        json.BeginObject();
        WriteError(json, work.offsetsError);
        json.Key("lines");
        json.BeginArray();
        for (const OffsetLine& line : work.offsets) {
            json.BeginObject();
            json.Key("offset");
            json.Number(line.offset);
            json.Key("radius");
            json.Number(line.radius);
            WriteError(json, line.refusal);
            json.Key("stakes");
            json.BeginArray();
            for (const OffsetStake& stake : line.stakes) {
                json.BeginObject();
                json.Key("station");
                json.Number(stake.station);
                json.Key("station-text");
                json.String(FormatStation(stake.station));
                WriteNorthEastMembers(json, stake.at);
                json.Key("chord");
                json.Number(stake.chordFromPrevious);
                json.EndObject();
            }
            json.EndArray();
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    if (work.setupError || work.setup) {
        json.Key("setup");
        json.BeginObject();
        WriteError(json, work.setupError);
        if (work.setup) {
            const SetupTable& setup = *work.setup;
            WriteNorthEast(json, "instrument", setup.instrument);
            WriteNorthEast(json, "backsight", setup.backsight);
            json.Key("backsight-az");
            json.Number(setup.shots.backsightAz);
            json.Key("backsight-distance");
            json.Number(setup.shots.backsightDistance);
            json.Key("shots");
            json.BeginArray();
            for (std::size_t i = 0; i < setup.shots.shots.size(); ++i) {
                const SetupShot& shot = setup.shots.shots[i];
                json.BeginObject();
                json.Key("name");
                json.String(setup.names[i]);
                json.Key("azimuth");
                json.Number(shot.azimuth);
                json.Key("azimuth-text");
                json.String(DmsString(shot.azimuth));
                json.Key("angle-right");
                json.Number(shot.angleRight);
                json.Key("angle-right-text");
                json.String(DmsString(shot.angleRight));
                json.Key("distance");
                json.Number(shot.distance);
                json.EndObject();
            }
            json.EndArray();
        }
        json.EndObject();
    }
}

}  // namespace bendwise
