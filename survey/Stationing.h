// Stations along a solved curve and the deflection table to stake it out.
//
// A station is a distance along the line in length units, written NN+NN.NN: the hundreds
// before the '+', the rest (two digits, a point, two decimals) after it. 2096.239 is
// 20+96.24. The PC lies one tangent length back from the PI; the PT one curve length on
// from the PC, where the curve length is the arc length for arc stationing (highway
// practice) or the railroad pseudo-length Lrr for chord stationing (railroad practice, the
// curve measured in 100-unit chords).
//
// Accepted station texts (ParseStation), with their values:
//   2550          plain number                          2550
//   2550.25       plain number with decimals            2550.25
//   25+50         hundreds '+' two digits               2550
//   25+50.00      ... with decimals                     2550
//   0+07.5        leading zero hundreds                 7.5
//   -1+50         negative: behind station 0+00         -150
// Refused: "" "12+3x" "25+5" (one digit after '+') "25+500" "+50" "25+" "25+50." ".5"
// "2550." "1e3" "25 + 50" "inf" "0x10" "--5", and any text whose value is not finite.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"

namespace bendwise {

enum class Stationing {
    Arc,    // PT = PC + L arc; deflections from the arc length
    Chord,  // PT = PC + Lrr; deflections from the chord-definition degree
};

// "arc" or "chord".
const char* StationingName(Stationing mode);

// Reads a station text of the forms above into length units. Returns false, leaving
// `station` unchanged, for anything else.
bool ParseStation(std::string_view text, double& station);

// Reads a stakeout interval: a decimal number read whole, as a length typed into a field
// is (" 50", "12.5", "1e2"), finite and greater than 0. Returns false, leaving `interval`
// unchanged, for "", "0", "-5", "50 ft", "inf" and the like.
bool ParseInterval(std::string_view text, double& interval);

// NN+NN.NN of a station, rounded to hundredths of a unit before it is split, so the carry
// reaches the hundreds: 1299.996 -> "13+00.00" (never "12+100.00"), 7.5 -> "0+07.50",
// -150 -> "-1+50.00", -0.001 -> "0+00.00". Not finite -> "undefined". With more
// `decimals` (0 to 9) the same to that many places: 3 -> "0+07.500".
std::string FormatStation(double station, int decimals = 2);

// The decimals that keep stakes of `interval` apart in print: 2, or as many as the
// interval needs below a hundredth (0.005 -> 3, 0.0001 -> 4), at most 9.
int StationDecimals(double interval);

// PI, PC and PT of the current curve.
struct CurveStations {
    Stationing mode = Stationing::Arc;
    double pi = 0.0;
    double pc = 0.0;      // PI - T
    double pt = 0.0;      // PC + length
    double length = 0.0;  // L arc or Lrr, by the mode
    // False when the tangents have no finite PI ahead of the curve (Delta of 180 degrees
    // or more, or a tangent that is not a finite positive length), or, for chord
    // stationing, when Lrr is undefined (radius below 50): PC and PT are then not numbers.
    bool defined = false;
};

// Stations of `record` with its PI at `piStation`.
CurveStations ComputeStations(const CCurveRecord& record, double piStation, Stationing mode);

// Stations of `record` with its PC at `pcStation`: the PT one curve length on, the PI one
// tangent on (not a number from 180 degrees on, where there is no PI). So a curve of any
// Delta up to 360 degrees is stationed, and `defined` needs only a finite curve length.
CurveStations ComputeStationsFromPc(const CCurveRecord& record, double pcStation, Stationing mode);

// One line of the deflection table, lengths in length units and angles in decimal degrees.
struct StakeoutRow {
    double station = 0.0;
    double distance = 0.0;    // from the PC along the curve (arc, or pseudo-length for chord)
    double deflection = 0.0;  // angle at the PC from the back tangent, towards the curve
    double chord = 0.0;       // straight distance PC to this point
    double subChord = 0.0;    // straight distance from the previous point (0 at the PC)
};

// Most rows a table may have; a shorter interval is refused.
constexpr double kMaxStakeoutRows = 100000;

// The deflection table from the PC: the PC, every full multiple of `interval` between PC
// and PT (a multiple that would print as the PC's or the PT's own station, that is within
// half a hundredth of it, is that point and is not repeated), and the PT.
//
// Deflection of a point at distance d from the PC, with S the curve length (L arc or Lrr):
//   (d / S) x (Delta / 2)
// For arc stationing that is half the central angle d / R of the arc from the PC; for chord
// stationing, since Lrr = 100 x Delta / Dc, it is d x Dc / 200, half the chord-definition
// degree per 100 units of pseudo-length. Written as a ratio so the PT row gets exactly
// Delta / 2. Chords: 2 R sin(deflection) from the PC, 2 R sin(deflection - previous
// deflection) from the previous point; with chord stationing a full station's sub-chord is
// 2 R sin(Dc / 2) = 100.
//
// Returns false with `reason` set when the stations are undefined, the interval is not a
// finite positive length, or the table would exceed kMaxStakeoutRows rows.
bool BuildStakeout(const CCurveRecord& record, const CurveStations& stations, double interval,
                   std::vector<StakeoutRow>& rows, std::string& reason);

}  // namespace bendwise
