#include "cli/SurveyOptions.h"

#include <cerrno>
#include <cmath>
#include <cstring>

#include "report/FileWrite.h"
#include "survey/CurveDiagram.h"
#include "survey/JsonWriter.h"
#include "text/NumberText.h"

namespace bendwise {

SurveyOptionKind KindOfSurveyOption(std::string_view name) {
    if (name == "--describe" || name == "--json") return SurveyOptionKind::Flag;
    if (name == "--svg" || name == "--unit" || name == "--pi-station" || name == "--stationing" ||
        name == "--stakeout") {
        return SurveyOptionKind::Valued;
    }
    return SurveyOptionKind::NotSurvey;
}

bool SetSurveyOption(std::string_view name, std::string_view value, SurveyOptions& options,
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
        if (!IsValidUtf8(value)) {
            reason = "--unit: the word is not valid UTF-8";
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

bool CheckSurveyOptions(const SurveyOptions& options, std::string& reason) {
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

SurveyRequest RequestOf(const SurveyOptions& options) {
    SurveyRequest request;
    request.describe = options.describe;
    request.unit = options.unit;
    request.piStation = options.piStation;
    request.stationing = options.stationing.value_or(Stationing::Arc);
    request.stakeoutInterval = options.stakeoutInterval;
    return request;
}

std::vector<OutputFile> FilesWritten(const SurveyOptions& options) {
    std::vector<OutputFile> files;
    if (options.svgPath) files.push_back({"--svg", *options.svgPath});
    return files;
}

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string_view what,
                     std::string& reason) {
    const int error = ReplaceFile(path, bytes);
    if (error == 0) return true;
    reason.assign("cannot write ").append(what).append(" '").append(path).append("': ");
    reason.append(error == EWOULDBLOCK ? "the file is in use by another program"
                                       : std::strerror(error));
    return false;
}

bool WriteCurveSvg(const std::string& path, const CCurveRecord& record, std::string& reason) {
    return WriteOutputFile(path, BuildCurveSvg(record), "SVG file", reason);
}

}  // namespace bendwise
