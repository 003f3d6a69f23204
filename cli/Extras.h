// What bendwise-cli writes beyond the report block: the curve diagram (--svg), the legal
// description (--describe, --unit), PI, PC and PT stations (--pi-station, --stationing),
// the stakeout table (--stakeout) and the whole curve as JSON (--json).
//
// main() hands every option this module knows to SetExtrasOption while it reads the
// command line, calls CheckExtrasOptions once before anything is solved or written (so a
// bad value stops the run with nothing written), and for every curve it emits calls
// ExtrasText or CurveJson and WriteCurveSvg. Everything is computed from the solved record,
// the same values the window shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/Stationing.h"
#include "solver/Curve.h"

namespace bendwise {

struct ExtrasOptions {
    std::optional<std::string> svgPath;
    bool describe = false;
    std::string unit = "feet";
    std::optional<double> piStation;
    std::optional<Stationing> stationing;  // arc when not given
    std::optional<double> stakeoutInterval;
    bool json = false;
};

enum class ExtrasOptionKind {
    NotExtras,  // not an option of this module
    Flag,       // --describe, --json
    Valued,     // --svg FILE, --unit WORD, --pi-station STA, --stationing arc|chord,
                // --stakeout INTERVAL
};
ExtrasOptionKind KindOfExtrasOption(std::string_view name);

// Stores option `name` with its value (ignored for a flag). On a bad value returns false
// with a one-line `reason`, e.g. "--pi-station: '12+3x' is not a station (25+50,
// 25+50.00 or 2550)", "--stakeout: the interval must be a positive length, not '0'".
bool SetExtrasOption(std::string_view name, std::string_view value, ExtrasOptions& options,
                     std::string& reason);

// Checks what depends on more than one option: --stakeout and --stationing need
// --pi-station. Returns false with a one-line `reason`.
bool CheckExtrasOptions(const ExtrasOptions& options, std::string& reason);

// The SVG file for the curve of batch line `line`: the line number goes before the last
// extension ("curve.svg", 3 -> "curve-3.svg"; "out/plan", 12 -> "out/plan-12"). Outside a
// batch (`line` 0) the path as given.
std::string SvgPathForLine(const std::string& path, long line);

// The lines printed after the block (or the --fields lines) for the current curve: the
// description, the stations, the stakeout table, in that order, as far as asked for.
// Empty when none is asked for.
std::string ExtrasText(const CCurveRecord& record, const ExtrasOptions& options);

// One line of JSON (ending in a line feed) for the current curve: "values" (every number
// of the record at full precision, left, acres, packed), "texts" (the twenty display
// texts), "pair", and where asked for "description", "stations" and "stakeout". `line`
// is the batch line number, written as "line" when it is not 0.
std::string CurveJson(const CCurveRecord& record, const CCurveMemory& memory,
                      const ExtrasOptions& options, long line);

// Writes the diagram of `record` to `path` (created or emptied). Returns false with a
// one-line `reason` when the file could not be written completely; no partial file is
// left behind.
bool WriteCurveSvg(const std::string& path, const CCurveRecord& record, std::string& reason);

}  // namespace bendwise
