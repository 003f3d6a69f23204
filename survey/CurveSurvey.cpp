#include "survey/CurveSurvey.h"

#include <cmath>
#include <string_view>

#include "solver/Fields.h"
#include "survey/JsonWriter.h"
#include "survey/LegalDescription.h"
#include "survey/StakeoutTable.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

const char* TurnName(const CCurveRecord& record) {
    return record.m_left ? "left" : "right";
}

// The points table: "Point Northing Easting", one line a point; "none: REASON" instead
// when the curve could not be placed.
void AppendPoints(std::string& out, const CurvePoints& points) {
    if (points.error) {
        AppendLabelled(out, "Coordinates", "none: " + *points.error);
        return;
    }
    AppendCell(out, "Point");
    AppendCell(out, "Northing");
    out.append("Easting\n");
    for (const NamedPoint& point : NamedPoints(points)) {
        if (!point.at) {
            AppendLabelled(out, point.name, std::string("none: ") + kNoPiNote);
            continue;
        }
        AppendCell(out, point.name);
        AppendCell(out, CoordinateText(point.at->northing));
        out.append(CoordinateText(point.at->easting)).push_back('\n');
    }
}

// The stakeout table under its caption, or why there is none.
void AppendStakeout(std::string& out, const CCurveRecord& record, const Stakeout& stakeout) {
    if (stakeout.error) {
        AppendLabelled(out, "Stakeout", "none: " + *stakeout.error);
        return;
    }
    AppendLabelled(out, "Stakeout", StakeoutCaption(record, stakeout));
    // Padded cells, the last one as it is.
    const StakeoutCells headings = StakeoutHeadings(stakeout);
    for (std::size_t i = 0; i + 1 < headings.size(); ++i) AppendCell(out, headings[i]);
    out.append(headings.back()).push_back('\n');
    for (std::size_t row = 0; row < stakeout.rows.size(); ++row) {
        const StakeoutCells cells = StakeoutRowCells(stakeout, row);
        for (std::size_t i = 0; i + 1 < cells.size(); ++i) AppendCell(out, cells[i]);
        out.append(cells.back()).push_back('\n');
    }
}

}  // namespace

CurveSurvey SurveyCurve(const CCurveRecord& record, const SurveyRequest& request) {
    CurveSurvey survey;
    survey.firstPoint = request.firstPoint;
    survey.unit = request.unit;
    if (request.describe) survey.description = DescribeCurve(record, request.unit);
    if (request.known) survey.points = PlaceCurve(record, *request.known);
    if (request.piStation) {
        survey.stations = ComputeStations(record, *request.piStation, request.stationing);
    } else if (request.pcStation) {
        survey.stations = ComputeStationsFromPc(record, *request.pcStation, request.stationing);
    }
    if (survey.stations && request.stakeoutInterval) {
        Stakeout stakeout;
        stakeout.interval = *request.stakeoutInterval;
        stakeout.intervalText = request.stakeoutIntervalText;
        stakeout.stationDecimals = StationDecimals(stakeout.interval);
        std::string reason;
        if (!BuildStakeout(record, *survey.stations, stakeout.interval, stakeout.rows, reason)) {
            stakeout.error = reason;
            stakeout.intervalRefused = survey.stations->defined;
        }
        if (survey.points && !survey.points->error) {
            for (const StakeoutRow& row : stakeout.rows) {
                stakeout.positions.push_back(
                    PointAtDeflection(record, survey.points->pc, row.deflection));
            }
        }
        survey.stakeout = std::move(stakeout);
    }
    const Stakeout* stakeout = survey.stakeout ? &*survey.stakeout : nullptr;
    survey.fieldWork = ComputeFieldWork(
        record, request.fieldWork, survey.points ? &*survey.points : nullptr,
        survey.stations ? &*survey.stations : nullptr, stakeout ? &stakeout->rows : nullptr,
        stakeout ? &stakeout->positions : nullptr);
    if (request.spiralLength) {
        SpiralRequest spiral;
        spiral.length = *request.spiralLength;
        spiral.piStation = request.piStation;
        spiral.interval = request.stakeoutInterval;
        spiral.known = request.known;
        survey.spiral = SurveySpiral(record, spiral);
    }
    return survey;
}

std::string SurveyText(const CCurveRecord& record, const CurveSurvey& survey) {
    std::string out;
    if (survey.fieldWork.inverse) AppendInverseText(out, *survey.fieldWork.inverse);
    if (survey.spiral) AppendSpiralText(out, *survey.spiral);
    if (survey.description) out.append(*survey.description).push_back('\n');
    if (survey.stations) {
        const CurveStations& stations = *survey.stations;
        AppendLabelled(out, "Stationing", StationingName(stations.mode));
        AppendLabelled(out, "PI",
                       std::isnan(stations.pi) && stations.defined
                           ? std::string("none: ") + kNoPiNote
                           : FormatStation(stations.pi));
        AppendLabelled(out, "PC", FormatStation(stations.pc));
        AppendLabelled(out, "PT", FormatStation(stations.pt));
    }
    if (survey.points) AppendPoints(out, *survey.points);
    if (survey.stakeout) AppendStakeout(out, record, *survey.stakeout);
    AppendFieldWorkText(out, survey.fieldWork);
    return out;
}

std::string CurveJson(const CCurveRecord& record, const CCurveMemory& memory,
                      const CurveSurvey& survey, long line) {
    JsonWriter json;
    json.BeginObject();
    if (line != 0) {
        json.Key("line");
        json.Number(static_cast<double>(line));
    }
    json.Key("values");
    json.BeginObject();
    // Every field that shows a record value of its own (not Delta/2, half of Delta).
    for (const FieldInfo& info : Fields()) {
        if (info.scale != 1) continue;
        json.Key(info.name);
        json.Number(record.*info.member);
    }
    json.Key("left");
    json.Bool(record.m_left != 0);
    json.Key("acres");
    json.Bool(memory.m_acres != 0);
    json.Key("packed");
    json.Bool(record.m_packedDms != 0);
    json.EndObject();

    json.Key("texts");
    json.BeginObject();
    for (const FieldInfo& info : Fields()) {
        json.Key(info.name);
        json.String(record.Text(info.field));
    }
    json.EndObject();

    json.Key("pair");
    json.BeginObject();
    json.Key("last");
    json.String(GroupName(memory.m_lastGroup));
    json.Key("previous");
    json.String(GroupName(memory.m_prevGroup));
    json.EndObject();

    if (survey.description) {
        json.Key("description");
        json.String(*survey.description);
    }
    if (survey.stations) {
        const CurveStations& stations = *survey.stations;
        json.Key("stations");
        json.BeginObject();
        json.Key("stationing");
        json.String(StationingName(stations.mode));
        json.Key("defined");
        json.Bool(stations.defined);
        const struct {
            const char* name;
            const char* textName;
            double value;
        } points[] = {{"pi", "pi-text", stations.pi},
                      {"pc", "pc-text", stations.pc},
                      {"pt", "pt-text", stations.pt}};
        for (const auto& point : points) {
            json.Key(point.name);
            json.Number(point.value);
            json.Key(point.textName);
            json.String(FormatStation(point.value));
        }
        json.Key("length");
        json.Number(stations.length);
        json.EndObject();
    }
    if (survey.points) {
        const CurvePoints& points = *survey.points;
        json.Key("coordinates");
        json.BeginObject();
        json.Key("given");
        json.String(points.given.point == KnownPoint::Pi ? "pi" : "pc");
        json.Key("error");
        if (points.error) {
            json.String(*points.error);
        } else {
            json.Null();
        }
        for (const NamedPoint& point : NamedPoints(points)) {
            if (point.at && !points.error) {
                WriteNorthEast(json, point.key, *point.at);
            } else {
                json.Key(point.key);
                json.Null();
            }
        }
        json.EndObject();
    }
    if (survey.stakeout) {
        const Stakeout& stakeout = *survey.stakeout;
        json.Key("stakeout");
        json.BeginObject();
        json.Key("interval");
        json.Number(stakeout.interval);
        json.Key("turn");
        json.String(TurnName(record));
        json.Key("error");
        if (stakeout.error) {
            json.String(*stakeout.error);
        } else {
            json.Null();
        }
        json.Key("rows");
        json.BeginArray();
        for (std::size_t i = 0; i < stakeout.rows.size(); ++i) {
            const StakeoutRow& row = stakeout.rows[i];
            json.BeginObject();
            json.Key("station");
            json.Number(row.station);
            json.Key("station-text");
            json.String(FormatStation(row.station, stakeout.stationDecimals));
            json.Key("distance");
            json.Number(row.distance);
            json.Key("deflection");
            json.Number(row.deflection);
            json.Key("deflection-text");
            json.String(DmsString(row.deflection));
            json.Key("chord");
            json.Number(row.chord);
            json.Key("sub-chord");
            json.Number(row.subChord);
            if (i < stakeout.positions.size()) WriteNorthEastMembers(json, stakeout.positions[i]);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    WriteFieldWorkJson(json, survey.fieldWork);
    if (survey.spiral) WriteSpiralJson(json, *survey.spiral);
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace bendwise
