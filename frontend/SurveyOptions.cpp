#include "frontend/SurveyOptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "frontend/ExportFormats.h"
#include "report/FileWrite.h"
#include "solver/Fields.h"
#include "survey/ExchangeFiles.h"
#include "survey/JsonWriter.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Reads "N,E" as described in the header.
bool ParseNorthEast(std::string_view text, NorthEast& at) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    NorthEast read;
    if (!ParseCoordinate(text.substr(0, comma), read.northing) ||
        !ParseCoordinate(text.substr(comma + 1), read.easting)) {
        return false;
    }
    at = read;
    return true;
}

// Reads three N,E one blank apart ("5000,2000 5100,2050 5150,2150").
bool ParseThreePoints(std::string_view text, NorthEast (&points)[3]) {
    for (std::size_t i = 0; i < 3; ++i) {
        const std::size_t blank = i < 2 ? text.find(' ') : text.size();
        if (blank == std::string_view::npos || !ParseNorthEast(text.substr(0, blank), points[i])) {
            return false;
        }
        text.remove_prefix(i < 2 ? blank + 1 : blank);
    }
    return true;
}

// The option that asks for each kind of curve from points.
const char* PointsOption(PointsFit fit) {
    switch (fit) {
        case PointsFit::RadiusPoint:
            return "--inverse";
        case PointsFit::TangentPoints:
            return "--pc-pi-pt";
        case PointsFit::ThreePoints:
            break;
    }
    return "--three-points";
}

// A number typed into a field of 16 characters: fixed, with as many decimals as fit, the
// trailing zeros dropped.
std::string FieldNumberText(double value) {
    char text[64];
    for (int decimals = 15; decimals >= 0; --decimals) {
        const int size = std::snprintf(text, sizeof text, "%.*f", decimals, value);
        if (size > 0 && size <= kFieldCharacters) break;
    }
    std::string out(text);
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    return out;
}

// Most digits of a point number: collectors take up to nine.
constexpr long kLargestFirstPoint = 999999999;

}  // namespace

bool SetSurveyOption(std::string_view name, std::string_view value, SurveyOptions& options,
                     std::string& reason) {
    const std::string quoted = "'" + std::string(value) + "'";
    if (name == "--describe") {
        options.describe = true;
    } else if (name == "--json") {
        options.json = true;
    } else if (const ExportFormat* file = FindExportOption(name)) {
        if (!file->available) {
            reason = "--landxml: this build writes no LandXML (it has no XML writer)";
            return false;
        }
        if (value.empty()) {
            reason = std::string(name) + " needs a FILE";
            return false;
        }
        options.*file->path = std::string(value);
    } else if (name == "--pc" || name == "--pi") {
        NorthEast at;
        if (!ParseNorthEast(value, at)) {
            reason = std::string(name) + ": " + quoted +
                     " is not a northing and easting (N,E such as 5000,2000.5)";
            return false;
        }
        (name == "--pc" ? options.pc : options.pi) = at;
    } else if (name == "--first-point") {
        long number = 0;
        bool digits = !value.empty() && value.size() <= 9;
        for (char c : value) {
            digits = digits && c >= '0' && c <= '9';
            if (digits) number = number * 10 + (c - '0');
        }
        if (!digits || number < 1 || number > kLargestFirstPoint) {
            reason = "--first-point: " + quoted +
                     " is not a point number (a whole number from 1 to 999999999)";
            return false;
        }
        options.firstPoint = number;
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
    } else if (name == "--three-points" || name == "--inverse" || name == "--pc-pi-pt") {
        const PointsFit fit = name == "--inverse"    ? PointsFit::RadiusPoint
                              : name == "--pc-pi-pt" ? PointsFit::TangentPoints
                                                     : PointsFit::ThreePoints;
        NorthEast points[3];
        if (!ParseThreePoints(value, points)) {
            reason = std::string(name) + ": " + quoted +
                     " is not three points (N,E N,E N,E such as 5000,2000 5100,2050 "
                     "5150,2150)";
            return false;
        }
        if (options.fromPoints) {
            reason = "only one of --three-points, --inverse and --pc-pi-pt";
            return false;
        }
        options.fromPoints = PointsRequest{fit, points[0], points[1], points[2]};
    } else if (name == "--spiral") {
        double length = 0;
        if (!ParseInterval(value, length)) {
            reason = "--spiral: the spiral length must be a positive length, not " + quoted;
            return false;
        }
        options.spiralLength = length;
    } else if (name == "--major") {
        options.major = true;
    } else if (name == "--restart-numbers") {
        options.restartNumbers = true;
    } else if (name == "--tolerance") {
        double tolerance = 0;
        if (!ParseInterval(value, tolerance)) {
            reason =
                "--tolerance: the misclosure tolerance must be a positive length, not " + quoted;
            return false;
        }
        options.tolerance = tolerance;
    } else if (name == "--pc-station") {
        double station = 0;
        if (!ParseStation(value, station)) {
            reason = "--pc-station: " + quoted + " is not a station (25+50, 25+50.00 or 2550)";
            return false;
        }
        options.pcStation = station;
    } else if (name == "--station-offset" || name == "--setup" || name == "--backsight") {
        NorthEast at;
        if (!ParseNorthEast(value, at)) {
            reason = std::string(name) + ": " + quoted +
                     " is not a northing and easting (N,E such as 5000,2000.5)";
            return false;
        }
        if (name == "--station-offset") {
            options.stationOffsets.push_back(at);
        } else {
            (name == "--setup" ? options.setup : options.backsight) = at;
        }
    } else if (name == "--offsets") {
        if (!ParseOffsetList(value, options.offsets)) {
            reason = "--offsets: " + quoted +
                     " is not a list of offsets (D[,D...] such as -5,5; negative is left)";
            return false;
        }
    } else if (name == "--stakeout") {
        double interval = 0;
        if (!ParseInterval(value, interval)) {
            reason = "--stakeout: the interval must be a positive length, not " + quoted;
            return false;
        }
        options.stakeoutInterval = interval;
        options.stakeoutIntervalText = std::string(value);
        TrimLeft(options.stakeoutIntervalText);
        TrimRight(options.stakeoutIntervalText);
    } else {
        reason = "unknown option '" + std::string(name) + "'";
        return false;
    }
    return true;
}

bool ClearSurveyOption(std::string_view name, SurveyOptions& options) {
    const SurveyOptions none;
    if (name == "--describe") {
        options.describe = none.describe;
    } else if (name == "--json") {
        options.json = none.json;
    } else if (const ExportFormat* file = FindExportOption(name)) {
        options.*file->path = none.*file->path;
    } else if (name == "--pc" || name == "--pi") {
        (name == "--pc" ? options.pc : options.pi).reset();
    } else if (name == "--first-point") {
        options.firstPoint.reset();
    } else if (name == "--unit") {
        options.unit = none.unit;
    } else if (name == "--pi-station") {
        options.piStation.reset();
    } else if (name == "--stationing") {
        options.stationing.reset();
    } else if (name == "--stakeout") {
        options.stakeoutInterval.reset();
        options.stakeoutIntervalText.clear();
    } else if (name == "--three-points" || name == "--inverse" || name == "--pc-pi-pt") {
        options.fromPoints.reset();
    } else if (name == "--spiral") {
        options.spiralLength.reset();
    } else if (name == "--major") {
        options.major = none.major;
    } else if (name == "--restart-numbers") {
        options.restartNumbers = none.restartNumbers;
    } else if (name == "--tolerance") {
        options.tolerance.reset();
    } else if (name == "--pc-station") {
        options.pcStation.reset();
    } else if (name == "--station-offset") {
        options.stationOffsets.clear();
    } else if (name == "--offsets") {
        options.offsets.clear();
    } else if (name == "--setup" || name == "--backsight") {
        (name == "--setup" ? options.setup : options.backsight).reset();
    } else {
        return false;
    }
    return true;
}

bool CheckSurveyOptions(const SurveyOptions& options, std::string& reason) {
    if (options.pc && options.pi) {
        reason = "--pc and --pi cannot be given together: the curve is placed from one point";
        return false;
    }
    const bool placed = options.pc || options.pi || options.fromPoints;
    const bool stationed = options.piStation || options.pcStation;
    const char* const kPlaced = "--pc, --pi or a curve from points";
    if (options.fromPoints && (options.pc || options.pi)) {
        reason = std::string(PointsOption(options.fromPoints->fit)) +
                 " places the curve at its PC: --pc and --pi cannot be given with it";
        return false;
    }
    if (options.major &&
        !(options.fromPoints && options.fromPoints->fit == PointsFit::RadiusPoint)) {
        reason = "--major needs --inverse";
        return false;
    }
    if (options.tolerance &&
        !(options.fromPoints && options.fromPoints->fit != PointsFit::ThreePoints)) {
        reason = "--tolerance needs --inverse or --pc-pi-pt";
        return false;
    }
    if (options.piStation && options.pcStation) {
        reason = "--pi-station and --pc-station cannot be given together";
        return false;
    }
    if (!options.stationOffsets.empty() && !(placed && stationed)) {
        reason =
            std::string("--station-offset needs ") + kPlaced + ", and --pi-station or --pc-station";
        return false;
    }
    if (!options.offsets.empty() && !(placed && options.stakeoutInterval)) {
        reason = std::string("--offsets needs --stakeout and ") + kPlaced;
        return false;
    }
    if (options.setup.has_value() != options.backsight.has_value()) {
        reason = options.setup ? "--setup needs --backsight" : "--backsight needs --setup";
        return false;
    }
    if (options.setup && !placed) {
        reason = std::string("--setup needs ") + kPlaced;
        return false;
    }
    for (const ExportFormat& file : ExportFormats()) {
        if (file.needsPlace && options.*file.path && !placed) {
            reason = std::string(file.option) + " needs --pc or --pi to place the curve";
            return false;
        }
    }
    if (options.restartNumbers && !options.pointsPath && !options.landXmlPath) {
        reason = "--restart-numbers needs --points or --landxml";
        return false;
    }
    if (options.firstPoint && !options.pointsPath && !options.landXmlPath) {
        reason = "--first-point needs --points or --landxml";
        return false;
    }
    if (stationed) return true;
    if (options.stakeoutInterval) {
        reason = "--stakeout needs --pi-station or --pc-station to know where the curve lies";
        return false;
    }
    if (options.stationing) {
        reason = "--stationing needs --pi-station or --pc-station";
        return false;
    }
    return true;
}

std::optional<PointsRequest> PointsRequestOf(const SurveyOptions& options) {
    if (!options.fromPoints) return std::nullopt;
    PointsRequest request = *options.fromPoints;
    request.major = options.major;
    request.tolerance = options.tolerance.value_or(kDefaultMisclosure);
    return request;
}

std::vector<TypedEntry> EntriesOfCurve(const CurveEntries& curve) {
    return {{"packed", "off"},
            {"radius", FieldNumberText(curve.radius)},
            {"delta", FieldNumberText(curve.delta)},
            {"inbound-az", FieldNumberText(curve.inboundAz)},
            {"left", curve.left ? "on" : "off"},
            {"packed", "on"}};
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
    request.stakeoutIntervalText = options.stakeoutIntervalText;
    if (options.pc) request.known = KnownPosition{KnownPoint::Pc, *options.pc};
    if (options.pi) request.known = KnownPosition{KnownPoint::Pi, *options.pi};
    request.pcStation = options.pcStation;
    request.spiralLength = options.spiralLength;
    FieldWorkRequest& work = request.fieldWork;
    work.fromPoints = PointsRequestOf(options);
    if (work.fromPoints) {
        // The curve from points is placed at its own PC once the points make one.
        const PointsInverse inverse = SolvePoints(*work.fromPoints);
        if (!inverse.refusal) request.known = KnownPosition{KnownPoint::Pc, inverse.curve.pc};
    }
    work.stationOffsets = options.stationOffsets;
    work.offsets = options.offsets;
    work.instrument = options.setup;
    work.backsight = options.backsight;
    request.firstPoint = options.firstPoint.value_or(1);
    return request;
}

bool PrintsNothingPerCurve(const SurveyOptions& options) {
    // SurveyText prints the description, the stations (with the table) and the points.
    const SurveyRequest request = RequestOf(options);
    return !options.json && !request.describe && !request.piStation && !request.pcStation &&
           !request.known && !request.fieldWork.fromPoints && !request.spiralLength &&
           FilesWritten(options).empty();
}

std::vector<SurveyFile> SurveyFiles(const SurveyOptions& options, const CCurveRecord& record,
                                    const CurveSurvey& survey, long line, std::string& skipped) {
    std::vector<SurveyFile> files;
    std::string notWritten;
    const bool placed = IsPlaced(survey);
    // The coordinate files list every stake: without the stakeout asked for they would
    // look complete and lack them.
    const bool stakesMissing = survey.stakeout && survey.stakeout->intervalRefused;
    // A point number past the largest a collector takes would be cut or wrapped there.
    const long count = static_cast<long>(NumberedPoints(survey).size());
    const bool numbersPass = count > 0 && survey.firstPoint > kLargestFirstPoint - (count - 1);
    std::string unnumbered;
    for (const ExportFormat& file : ExportFormats()) {
        const std::optional<std::string>& path = options.*file.path;
        if (!path) continue;
        const std::string lined = SvgPathForLine(*path, line);
        if (file.needsPlace && (!placed || stakesMissing)) {
            notWritten.append(notWritten.empty() ? "" : ", ").append(lined);
        } else if (file.numbered && numbersPass) {
            unnumbered.append(unnumbered.empty() ? "" : ", ").append(lined);
        } else {
            files.push_back({lined, file.kind,
                             file.render({record, survey, IsMetricUnit(options.unit),
                                          IsUsSurveyFootUnit(options.unit)})});
        }
    }
    skipped.clear();
    if (!notWritten.empty()) {
        const std::optional<std::string>& error =
            survey.points ? survey.points->error : std::nullopt;
        skipped = "not written: " + notWritten + ": " +
                  (!placed ? error.value_or("the curve is not placed")
                           : "the stakeout asked for could not be made");
    }
    if (!unnumbered.empty()) {
        skipped.append(skipped.empty() ? "" : "; ")
            .append("not written: " + unnumbered + ": its " + std::to_string(count) +
                    " points numbered from " + std::to_string(survey.firstPoint) +
                    " would pass 999999999");
    }
    return files;
}

std::vector<OutputFile> FilesWritten(const SurveyOptions& options) {
    std::vector<OutputFile> files;
    for (const ExportFormat& file : ExportFormats()) {
        if (const std::optional<std::string>& path = options.*file.path) {
            files.push_back({std::string(file.option), *path});
        }
    }
    return files;
}

bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string_view kind,
                     std::string& reason) {
    bool inPlace = false;
    const int error = ReplaceFile(path, bytes, &inPlace);
    reason.clear();
    if (error == 0) {
        if (inPlace) {
            reason.assign(kind).append(" file '").append(path).append(
                "' is in a folder you may not write: it was written over in place, not "
                "replaced in one step");
        }
        return true;
    }
    reason.assign("cannot write ").append(kind).append(" file '").append(path).append("': ");
    reason.append(error == EWOULDBLOCK ? "the file is in use by another program"
                                       : std::strerror(error));
    return false;
}

}  // namespace bendwise
