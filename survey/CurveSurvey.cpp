#include "survey/CurveSurvey.h"

#include <string_view>

#include "survey/JsonWriter.h"
#include "survey/LegalDescription.h"
#include "survey/StakeoutTable.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Labels of the extra lines are padded like those of the report block.
constexpr std::size_t kLabelWidth = 13;

void AppendCell(std::string& out, std::string_view text) {
    out.append(text);
    out.append(text.size() < kLabelWidth ? kLabelWidth - text.size() : 1, ' ');
}

void AppendLabelled(std::string& out, std::string_view label, std::string_view value) {
    AppendCell(out, label);
    out.append(value).push_back('\n');
}

std::string Dms(double degrees) {
    std::string text;
    FormatDms(degrees, text);
    TrimLeft(text);
    return text;
}

// Every double of the record, under the command-line names of their fields.
struct ValueInfo {
    const char* name;
    double CCurveRecord::*member;
};
constexpr ValueInfo kValues[] = {
    {"radius", &CCurveRecord::m_radius},
    {"degree-arc", &CCurveRecord::m_degreeArc},
    {"degree-chord", &CCurveRecord::m_degreeChord},
    {"larc", &CCurveRecord::m_lengthArc},
    {"lrr", &CCurveRecord::m_lengthRR},
    {"chord", &CCurveRecord::m_chord},
    {"tangent", &CCurveRecord::m_tangent},
    {"delta", &CCurveRecord::m_delta},
    {"inbound-az", &CCurveRecord::m_inboundAz},
    {"chord-az", &CCurveRecord::m_chordAz},
    {"outbound-az", &CCurveRecord::m_outboundAz},
    {"external", &CCurveRecord::m_external},
    {"mid-ordinate", &CCurveRecord::m_midOrdinate},
    {"delta-x", &CCurveRecord::m_deltaX},
    {"delta-y", &CCurveRecord::m_deltaY},
    {"circle-area", &CCurveRecord::m_circleArea},
    {"sector-area", &CCurveRecord::m_sectorArea},
    {"segment-area", &CCurveRecord::m_segmentArea},
    {"fillet-area", &CCurveRecord::m_filletArea},
};

const char* TurnName(const CCurveRecord& record) {
    return record.m_left ? "left" : "right";
}

}  // namespace

CurveSurvey SurveyCurve(const CCurveRecord& record, const SurveyRequest& request) {
    CurveSurvey survey;
    if (request.describe) survey.description = DescribeCurve(record, request.unit);
    if (!request.piStation) return survey;
    survey.stations = ComputeStations(record, *request.piStation, request.stationing);
    if (!request.stakeoutInterval) return survey;
    Stakeout stakeout;
    stakeout.interval = *request.stakeoutInterval;
    std::string reason;
    if (!BuildStakeout(record, *survey.stations, stakeout.interval, stakeout.rows, reason)) {
        stakeout.error = reason;
    }
    survey.stakeout = std::move(stakeout);
    return survey;
}

std::string SurveyText(const CCurveRecord& record, const CurveSurvey& survey) {
    std::string out;
    if (survey.description) out.append(*survey.description).push_back('\n');
    if (!survey.stations) return out;

    const CurveStations& stations = *survey.stations;
    AppendLabelled(out, "Stationing", StationingName(stations.mode));
    AppendLabelled(out, "PI", FormatStation(stations.pi));
    AppendLabelled(out, "PC", FormatStation(stations.pc));
    AppendLabelled(out, "PT", FormatStation(stations.pt));
    if (!survey.stakeout) return out;

    const Stakeout& stakeout = *survey.stakeout;
    if (stakeout.error) {
        AppendLabelled(out, "Stakeout", "none: " + *stakeout.error);
        return out;
    }
    AppendLabelled(out, "Stakeout", StakeoutCaption(record, stakeout));
    // Padded cells, the last one as it is.
    const auto& headings = StakeoutHeadings();
    for (std::size_t i = 0; i + 1 < headings.size(); ++i) AppendCell(out, headings[i]);
    out.append(headings.back()).push_back('\n');
    for (const StakeoutRow& row : stakeout.rows) {
        const StakeoutCells cells = StakeoutRowCells(row);
        for (std::size_t i = 0; i + 1 < cells.size(); ++i) AppendCell(out, cells[i]);
        out.append(cells.back()).push_back('\n');
    }
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
    for (const ValueInfo& value : kValues) {
        json.Key(value.name);
        json.Number(record.*value.member);
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
        for (const StakeoutRow& row : stakeout.rows) {
            json.BeginObject();
            json.Key("station");
            json.Number(row.station);
            json.Key("station-text");
            json.String(FormatStation(row.station));
            json.Key("distance");
            json.Number(row.distance);
            json.Key("deflection");
            json.Number(row.deflection);
            json.Key("deflection-text");
            json.String(Dms(row.deflection));
            json.Key("chord");
            json.Number(row.chord);
            json.Key("sub-chord");
            json.Number(row.subChord);
            json.EndObject();
        }
        json.EndArray();
        json.EndObject();
    }
    json.EndObject();
    return json.Text() + "\n";
}

}  // namespace bendwise
