#include "cli/Extras.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/CurveDiagram.h"
#include "cli/JsonWriter.h"
#include "cli/LegalDescription.h"
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

std::string Fixed(double value) {
    std::string text;
    FormatFixed(value, text);
    return text;
}

std::string Dms(double degrees) {
    std::string text;
    FormatDms(degrees, text);
    TrimLeft(text);
    return text;
}

Stationing ModeOf(const ExtrasOptions& options) {
    return options.stationing.value_or(Stationing::Arc);
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

}  // namespace

ExtrasOptionKind KindOfExtrasOption(std::string_view name) {
    if (name == "--describe" || name == "--json") return ExtrasOptionKind::Flag;
    if (name == "--svg" || name == "--unit" || name == "--pi-station" || name == "--stationing" ||
        name == "--stakeout") {
        return ExtrasOptionKind::Valued;
    }
    return ExtrasOptionKind::NotExtras;
}

bool SetExtrasOption(std::string_view name, std::string_view value, ExtrasOptions& options,
                     std::string& reason) {
    const std::string quoted = "'" + std::string(value) + "'";
    if (name == "--describe") {
        options.describe = true;
    } else if (name == "--json") {
        options.json = true;
    } else if (name == "--svg") {
        if (value.empty()) {
            reason = "--svg needs a FILE";
            return false;
        }
        options.svgPath = std::string(value);
    } else if (name == "--unit") {
        bool printable = !value.empty();
        for (char c : value) printable = printable && static_cast<unsigned char>(c) >= 0x20;
        if (!printable) {
            reason = "--unit: " + quoted + " is not a word for the length unit";
            return false;
        }
        options.unit = std::string(value);
    } else if (name == "--pi-station") {
        double station = 0;
        if (!ParseStation(value, station)) {
            reason = "--pi-station: " + quoted + " is not a station (25+50, 25+50.00 or 2550)";
            return false;
        }
        options.piStation = station;
    } else if (name == "--stationing") {
        if (value == "arc") {
            options.stationing = Stationing::Arc;
        } else if (value == "chord") {
            options.stationing = Stationing::Chord;
        } else {
            reason = "--stationing takes arc or chord, not " + quoted;
            return false;
        }
    } else if (name == "--stakeout") {
        double interval = 0;
        const std::size_t used = ReadDecimalPrefix(value, interval);
        if (used == 0 || used != value.size() || !std::isfinite(interval) || !(interval > 0)) {
            reason = "--stakeout: the interval must be a positive length, not " + quoted;
            return false;
        }
        options.stakeoutInterval = interval;
    } else {
        reason = "unknown option '" + std::string(name) + "'";
        return false;
    }
    return true;
}

bool CheckExtrasOptions(const ExtrasOptions& options, std::string& reason) {
    if (options.piStation) return true;
    if (options.stakeoutInterval) {
        reason = "--stakeout needs --pi-station to know where the curve lies";
        return false;
    }
    if (options.stationing) {
        reason = "--stationing needs --pi-station";
        return false;
    }
    return true;
}

std::string SvgPathForLine(const std::string& path, long line) {
    if (line == 0) return path;
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    std::size_t dot = path.rfind('.');
    // A dot that starts the name (".svg") or sits in a directory is no extension.
    if (dot == std::string::npos || dot <= nameStart) dot = path.size();
    return path.substr(0, dot) + "-" + std::to_string(line) + path.substr(dot);
}

std::string ExtrasText(const CCurveRecord& record, const ExtrasOptions& options) {
    std::string out;
    if (options.describe) out.append(DescribeCurve(record, options.unit)).push_back('\n');
    if (!options.piStation) return out;

    const CurveStations stations = ComputeStations(record, *options.piStation, ModeOf(options));
    AppendLabelled(out, "Stationing", StationingName(stations.mode));
    AppendLabelled(out, "PI", FormatStation(stations.pi));
    AppendLabelled(out, "PC", FormatStation(stations.pc));
    AppendLabelled(out, "PT", FormatStation(stations.pt));
    if (!options.stakeoutInterval) return out;

    std::vector<StakeoutRow> rows;
    std::string reason;
    if (!BuildStakeout(record, stations, *options.stakeoutInterval, rows, reason)) {
        AppendLabelled(out, "Stakeout", "none: " + reason);
        return out;
    }
    AppendLabelled(out, "Stakeout",
                   "every " + Fixed(*options.stakeoutInterval) + ", deflections " +
                       (record.m_left ? "left" : "right") + " from the back tangent at the PC");
    for (const char* heading : {"Station", "Distance", "Deflection", "Chord"}) {
        AppendCell(out, heading);
    }
    out.append("Sub-chord\n");
    for (const StakeoutRow& row : rows) {
        AppendCell(out, FormatStation(row.station));
        AppendCell(out, Fixed(row.distance));
        AppendCell(out, Dms(row.deflection));
        AppendCell(out, Fixed(row.chord));
        out.append(Fixed(row.subChord)).push_back('\n');
    }
    return out;
}

std::string CurveJson(const CCurveRecord& record, const CCurveMemory& memory,
                      const ExtrasOptions& options, long line) {
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

    if (options.describe) {
        json.Key("description");
        json.String(DescribeCurve(record, options.unit));
    }
    if (options.piStation) {
        const CurveStations stations = ComputeStations(record, *options.piStation, ModeOf(options));
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

        if (options.stakeoutInterval) {
            std::vector<StakeoutRow> rows;
            std::string reason;
            const bool built =
                BuildStakeout(record, stations, *options.stakeoutInterval, rows, reason);
            json.Key("stakeout");
            json.BeginObject();
            json.Key("interval");
            json.Number(*options.stakeoutInterval);
            json.Key("turn");
            json.String(record.m_left ? "left" : "right");
            json.Key("error");
            if (built) {
                json.Null();
            } else {
                json.String(reason);
            }
            json.Key("rows");
            json.BeginArray();
            for (const StakeoutRow& row : rows) {
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
    }
    json.EndObject();
    return json.Text() + "\n";
}

bool WriteCurveSvg(const std::string& path, const CCurveRecord& record, std::string& reason) {
    const std::string svg = BuildCurveSvg(record);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        reason = "cannot write SVG file '" + path + "': " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(svg.data(), 1, svg.size(), file) == svg.size();
    const int writeErrno = errno;
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return true;
    reason = "cannot write SVG file '" + path + "': " + std::strerror(written ? errno : writeErrno);
    std::remove(path.c_str());
    return false;
}

}  // namespace bendwise
