// Field work around a placed curve: the curve found from surveyed points (its inverse), the
// station and offset of typed points, stakes on offsets and the shots from an instrument
// setup. SurveyCurve (survey/CurveSurvey.h) computes them once into these values; the
// functions at the end render them as text lines and as JSON members.
//
// Units and signs as in survey/FromPoints.h: lengths in the curve's unit, angles in
// decimal degrees, azimuths clockwise from north, offsets negative to the left and
// positive to the right of the direction of stationing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"
#include "survey/Coordinates.h"
#include "survey/FromPoints.h"
#include "survey/JsonWriter.h"
#include "survey/SetupStakeout.h"
#include "survey/Stationing.h"

namespace bendwise {

// Which three points were surveyed.
enum class PointsFit {
    ThreePoints,    // PC, a point on the arc, PT
    RadiusPoint,    // PC, RP, PT
    TangentPoints,  // PC, PI, PT
};

struct PointsRequest {
    PointsFit fit = PointsFit::ThreePoints;
    NorthEast first, second, third;  // in the order of the fit's name
    bool major = false;              // PC, RP, PT: the major arc
    double tolerance = kDefaultMisclosure;
};

// The inverse of the three points: the curve they make, or why they make none, and what a
// surveyor checks beside it. Chord, chord azimuth, arc length and tangent are those of the
// curve as entered (the chord PC to PT as surveyed).
struct PointsInverse {
    PointsRequest request;
    std::optional<std::string> refusal;  // nothing below is meaningful when set
    CurveEntries curve;
    double chord = 0.0;
    double chordAz = 0.0;  // [0, 360)
    double arcLength = 0.0;
    std::optional<double> tangent;  // none from 180 degrees on
    // PC, RP, PT: the radii from the RP and their difference (PT's less PC's).
    // PC, PI, PT: the tangent lengths and their difference (ahead less back).
    double firstLength = 0.0;
    double secondLength = 0.0;
    double misclosure = 0.0;
};
PointsInverse SolvePoints(const PointsRequest& request);

// Station and offset of one typed point.
struct PointStation {
    NorthEast at;
    StationOffset found;
};

// The shots of a setup: one per target, each named ("PC", "PI", ..., a stake's station,
// an offset stake's station and offset).
struct SetupTable {
    NorthEast instrument;
    NorthEast backsight;
    InstrumentSetup shots;
    std::vector<std::string> names;
};

// The station-and-offset, offsets and setup of one curve. `error` says why a part asked
// for could not be made (no placement, no stations, no stakeout table).
struct FieldWork {
    std::optional<PointsInverse> inverse;
    std::vector<PointStation> stationOffsets;
    std::optional<std::string> stationOffsetError;
    std::vector<OffsetLine> offsets;
    std::optional<std::string> offsetsError;
    std::optional<SetupTable> setup;
    std::optional<std::string> setupError;
};

// What to compute besides the curve's own points, stations and stakeout.
struct FieldWorkRequest {
    std::optional<PointsRequest> fromPoints;
    std::vector<NorthEast> stationOffsets;  // typed points
    std::vector<double> offsets;            // stake lines beside the centre line
    std::optional<NorthEast> instrument;    // a setup: both or neither
    std::optional<NorthEast> backsight;
};

// The field work of `record`, placed at `points` (null, or with an error, when it could
// not be placed), stationed by `stations` (null when not asked for) and staked by `rows`
// with their `positions` (null without a stakeout table).
FieldWork ComputeFieldWork(const CCurveRecord& record, const FieldWorkRequest& request,
                           const CurvePoints* points, const CurveStations* stations,
                           const std::vector<StakeoutRow>* rows,
                           const std::vector<NorthEast>* positions);

// The padded cells of the text lines after the report block: a cell is padded to 13
// characters (at least one blank after it), as the block's labels are.
void AppendCell(std::string& out, std::string_view text);
void AppendLabelled(std::string& out, std::string_view label, std::string_view value);

// A point's "northing" and "easting" as members of the JSON object being written, or as an
// object of their own under `key`.
void WriteNorthEastMembers(JsonWriter& json, const NorthEast& at);
void WriteNorthEast(JsonWriter& json, const char* key, const NorthEast& at);

// The "Inverse" lines, printed right after the report block.
void AppendInverseText(std::string& out, const PointsInverse& inverse);
// The station/offset, offsets and setup lines, printed after the stakeout table.
void AppendFieldWorkText(std::string& out, const FieldWork& work);
// The JSON members "inverse", "stationOffset", "offsets" and "setup", as far as present.
void WriteFieldWorkJson(JsonWriter& json, const FieldWork& work);

}  // namespace bendwise
