// The deflection table as cells of text: one formatting for the command-line text, the
// stations window's table, its clipboard copy and its CSV file.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "survey/CurveSurvey.h"

namespace bendwise {

using StakeoutCells = std::vector<std::string>;

// "Station", "Distance", "Deflection", "Chord", "Sub-chord", then "Northing" and "Easting"
// when the curve is placed (its rows have positions).
StakeoutCells StakeoutHeadings(const Stakeout& stakeout);

// Row `row` as printed: the station NN+NN.NN, the distance and both chords with three
// decimals, the deflection as degrees, minutes and seconds without leading blanks
// ("2 51 53.2"), and when placed the northing and easting with four decimals.
StakeoutCells StakeoutRowCells(const Stakeout& stakeout, std::size_t row);

// What the table is: "every 100.000, deflections right from the back tangent at the PC".
std::string StakeoutCaption(const CCurveRecord& record, const Stakeout& stakeout);

// The headings and every row, cells separated by `separator` (',' for a CSV file, '\t'
// for a spreadsheet paste), each line ended by '\n'. No cell holds a separator, a quote or
// a line break, so none is quoted. Empty when the table has an error.
std::string StakeoutDelimited(const Stakeout& stakeout, char separator);

}  // namespace bendwise
