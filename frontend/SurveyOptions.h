// The options of bendwise-cli that reach the survey library: the curve diagram (--svg),
// the legal description (--describe, --unit), PI, PC and PT stations (--pi-station,
// --stationing), the stakeout table (--stakeout), the whole curve as JSON (--json), and
// coordinates (--pc or --pi) with their files (--points, --first-point, --landxml, --dxf).
//
// bendwise-cli's main() and the web page's binding both read them here (the page by the
// same option names). main() hands every option this module knows to SetSurveyOption while it reads
// the command line, calls CheckSurveyOptions once before anything is solved or written (so a bad
// value stops the run with nothing written), and for every curve it emits computes
// SurveyCurve(record, RequestOf(options)) once, renders it with SurveyText or CurveJson,
// and writes each of SurveyFiles(...) with WriteOutputFile, the one function that writes
// a file of this module. FilesWritten lists every file the options name, so that main()
// can refuse one file named in two roles before anything is written.
//
// Accepted N,E values of --pc and --pi (northing, comma, easting; plain decimal numbers):
//   5000,2000   5000.25,2000.5   -120.5,0   1e5,2e5
// Refused: "5000" "5000," ",2000" "5000;2000" "5000,2000,10" "5000 ,2000" "N5000,E2000"
// "inf,0" "1e400,0".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"
#include "survey/CurveSurvey.h"
#include "survey/FieldWork.h"
#include "survey/Stationing.h"

namespace bendwise {

struct SurveyOptions {
    std::optional<std::string> svgPath;
    bool describe = false;
    std::string unit = "feet";
    std::optional<double> piStation;
    std::optional<Stationing> stationing;  // arc when not given
    std::optional<double> stakeoutInterval;
    std::string stakeoutIntervalText;  // as typed
    bool json = false;
    std::optional<NorthEast> pc;  // --pc N,E
    std::optional<NorthEast> pi;  // --pi N,E
    std::optional<std::string> pointsPath;
    std::optional<std::string> landXmlPath;
    std::optional<std::string> dxfPath;
    std::optional<long> firstPoint;  // 1 when not given
    bool restartNumbers = false;     // --restart-numbers: each batch file from firstPoint
    // A curve from surveyed points (--three-points, --inverse, --pc-pi-pt): it sets the
    // curve (EntriesOfCurve) and places it at its PC. --major and --tolerance go with it.
    std::optional<PointsRequest> fromPoints;
    bool major = false;
    std::optional<double> tolerance;
    std::optional<double> pcStation;        // --pc-station, instead of --pi-station
    std::optional<double> spiralLength;     // --spiral LS
    std::vector<NorthEast> stationOffsets;  // --station-offset, each one given
    std::vector<double> offsets;            // --offsets D[,D...]
    std::optional<NorthEast> setup;         // --setup (the instrument) ...
    std::optional<NorthEast> backsight;     // ... and --backsight
};

// The curve-from-points request of the options with --major and --tolerance applied, or
// none.
std::optional<PointsRequest> PointsRequestOf(const SurveyOptions& options);

// One entry of the command line or of a window's field, as typed: "radius" and "1000.25".
struct TypedEntry {
    std::string name;
    std::string text;
};

// The entries that make the calculator the curve found from points, in the order a
// person would type them: packed=off (the angles are typed as decimal degrees), radius,
// delta, inbound-az, left=on|off, packed=on again. Each number is written with as many
// decimals as the field's 16 characters hold ("1000", "29.9999999999999"), so the curve
// is what typing those texts gives, the report block included.
std::vector<TypedEntry> EntriesOfCurve(const CurveEntries& curve);

// Stores option `name` with its value (ignored for a flag). On a bad value returns false
// with a one-line `reason`, e.g. "--pi-station: '12+3x' is not a station (25+50,
// 25+50.00 or 2550)", "--stakeout: the interval must be a positive length, not '0'",
// "--pc: '5000' is not a northing and easting (N,E such as 5000,2000.5)".
// "--unit: the word is not valid UTF-8" (the word goes into JSON, which must be UTF-8).
bool SetSurveyOption(std::string_view name, std::string_view value, SurveyOptions& options,
                     std::string& reason);

// Puts option `name` back as if it had not been given (the page's emptied control); false
// for a name that is no survey option.
bool ClearSurveyOption(std::string_view name, SurveyOptions& options);

// Checks what depends on more than one option: --stakeout and --stationing need
// --pi-station; --pc and --pi exclude each other; --points, --landxml and --dxf need one
// of them; --first-point needs --points or --landxml. Returns false with a one-line
// `reason`.
bool CheckSurveyOptions(const SurveyOptions& options, std::string& reason);

// The file for the curve of batch line `line` (the SVG and every other file): the line
// number goes before the last extension ("curve.svg", 3 -> "curve-3.svg"; "out/plan", 12
// -> "out/plan-12"). Outside a batch (`line` 0) the path as given.
std::string SvgPathForLine(const std::string& path, long line);

// What SurveyCurve is to compute for these options.
SurveyRequest RequestOf(const SurveyOptions& options);

// True when the options add nothing to a curve's output: no text, no JSON, no file.
bool PrintsNothingPerCurve(const SurveyOptions& options);

// One file to write for a curve: where, what kind ("SVG", "points", "LandXML", "DXF",
// the word of the messages) and its bytes.
struct SurveyFile {
    std::string path;
    std::string_view kind;
    std::string bytes;
};

// The files the options ask for, for `record` of batch line `line` (0 outside a batch)
// with its `survey`: the SVG, the points, the LandXML and the DXF file, in that order. A
// file that needs coordinates is left out when the curve could not be placed; `skipped`
// then says which and why, e.g. "not written: c-3.txt, c-3.dxf: a Delta of 180 degrees
// or more has no PI to place the curve from" (empty when nothing was left out). The
// LandXML file carries the local date and time of the call.
std::vector<SurveyFile> SurveyFiles(const SurveyOptions& options, const CCurveRecord& record,
                                    const CurveSurvey& survey, long line, std::string& skipped);

// A file the options will write: the option that names it and the path given. In a batch
// every curve writes its own file, named SvgPathForLine(path, line).
struct OutputFile {
    std::string option;  // "--svg"
    std::string path;
};
std::vector<OutputFile> FilesWritten(const SurveyOptions& options);

// Writes `bytes` to `path`, replacing the file in one step (report/FileWrite.h): a regular
// or missing file holds afterwards the new bytes whole or, on failure, what it held before;
// a device or FIFO is written in place; nothing is ever removed. On failure returns false
// with a one-line `reason` naming the file by its `kind`: "cannot write SVG file 'a/c.svg':
// No such file or directory". A file in a folder the user may not write is written over in
// place; it returns true with a `reason` that says so (empty after any other success).
bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string_view kind,
                     std::string& reason);

}  // namespace bendwise
