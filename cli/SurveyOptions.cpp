#include "cli/SurveyOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "survey/CurveDiagram.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {}  // namespace

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
        if (!ParseInterval(value, interval)) {
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
