// The deflection table as cells of text: one formatting for the command-line text, the
// stations window's table, its clipboard copy and its CSV file.
#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "survey/CurveSurvey.h"

namespace bendwise {

constexpr std::size_t kStakeoutColumns = 5;
using StakeoutCells = std::array<std::string, kStakeoutColumns>;

// "Station", "Distance", "Deflection", "Chord", "Sub-chord".
const std::array<const char*, kStakeoutColumns>& StakeoutHeadings();

// One row as printed: the station NN+NN.NN, the distance and both chords with three
// decimals, the deflection as degrees, minutes and seconds without leading blanks
// ("2 51 53.2").
StakeoutCells StakeoutRowCells(const StakeoutRow& row);

// What the table is: "every 100.000, deflections right from the back tangent at the PC".
std::string StakeoutCaption(const CCurveRecord& record, const Stakeout& stakeout);

// The headings and every row, cells separated by `separator` (',' for a CSV file, '\t'
// for a spreadsheet paste), each line ended by '\n'. No cell holds a separator, a quote or
// a line break, so none is quoted. Empty when the table has an error.
std::string StakeoutDelimited(const Stakeout& stakeout, char separator);

}  // namespace bendwise
