// The options of bendwise-cli that reach the survey library: the curve diagram (--svg),
// the legal description (--describe, --unit), PI, PC and PT stations (--pi-station,
// --stationing), the stakeout table (--stakeout) and the whole curve as JSON (--json).
//
// main() hands every option this module knows to SetSurveyOption while it reads the
// command line, calls CheckSurveyOptions once before anything is solved or written (so a
// bad value stops the run with nothing written), and for every curve it emits computes
// SurveyCurve(record, RequestOf(options)) once, renders it with SurveyText or CurveJson,
// and writes the drawing with WriteCurveSvg. Every file these options write goes through
// WriteOutputFile, and is listed by FilesWritten so that main() can refuse one file named
// in two roles before anything is written.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"
#include "survey/CurveSurvey.h"
#include "survey/Stationing.h"

namespace bendwise {

struct SurveyOptions {
    std::optional<std::string> svgPath;
    bool describe = false;
    std::string unit = "feet";
    std::optional<double> piStation;
    std::optional<Stationing> stationing;  // arc when not given
    std::optional<double> stakeoutInterval;
    bool json = false;
};

enum class SurveyOptionKind {
    NotSurvey,  // not an option of this module
    Flag,       // --describe, --json
    Valued,     // --svg FILE, --unit WORD, --pi-station STA, --stationing arc|chord,
                // --stakeout INTERVAL
};
SurveyOptionKind KindOfSurveyOption(std::string_view name);

// Stores option `name` with its value (ignored for a flag). On a bad value returns false
// with a one-line `reason`, e.g. "--pi-station: '12+3x' is not a station (25+50,
// 25+50.00 or 2550)", "--stakeout: the interval must be a positive length, not '0'",
// "--unit: the word is not valid UTF-8" (the word goes into JSON, which must be UTF-8).
bool SetSurveyOption(std::string_view name, std::string_view value, SurveyOptions& options,
                     std::string& reason);

// Checks what depends on more than one option: --stakeout and --stationing need
// --pi-station. Returns false with a one-line `reason`.
bool CheckSurveyOptions(const SurveyOptions& options, std::string& reason);

// The SVG file for the curve of batch line `line`: the line number goes before the last
// extension ("curve.svg", 3 -> "curve-3.svg"; "out/plan", 12 -> "out/plan-12"). Outside a
// batch (`line` 0) the path as given.
std::string SvgPathForLine(const std::string& path, long line);

// What SurveyCurve is to compute for these options.
SurveyRequest RequestOf(const SurveyOptions& options);

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
// with a one-line `reason` naming the file as `what`: "cannot write SVG file 'a/c.svg': No
// such file or directory".
bool WriteOutputFile(const std::string& path, std::string_view bytes, std::string_view what,
                     std::string& reason);

// Writes the diagram of `record` to `path` through WriteOutputFile.
bool WriteCurveSvg(const std::string& path, const CCurveRecord& record, std::string& reason);

}  // namespace bendwise
