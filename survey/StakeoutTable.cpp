#include "survey/StakeoutTable.h"

#include "survey/Coordinates.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// No cell needs quoting: stations, numbers, coordinates and angles hold only digits, '+',
// '-', '.', blanks and "undefined".
template <typename Cells>
void AppendLine(std::string& out, const Cells& cells, char separator) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out.push_back(separator);
        out.append(cells[i]);
    }
    out.push_back('\n');
}

}  // namespace

StakeoutCells StakeoutHeadings(const Stakeout& stakeout) {
    StakeoutCells headings = {"Station", "Distance", "Deflection", "Chord", "Sub-chord"};
    if (!stakeout.positions.empty()) headings.insert(headings.end(), {"Northing", "Easting"});
    return headings;
}

StakeoutCells StakeoutRowCells(const Stakeout& stakeout, std::size_t index) {
    const StakeoutRow& row = stakeout.rows[index];
    StakeoutCells cells = {FormatStation(row.station, stakeout.stationDecimals),
                           FixedString(row.distance), DmsString(row.deflection),
                           FixedString(row.chord), FixedString(row.subChord)};
    if (!stakeout.positions.empty()) {
        cells.push_back(CoordinateText(stakeout.positions[index].northing));
        cells.push_back(CoordinateText(stakeout.positions[index].easting));
    }
    return cells;
}

std::string StakeoutCaption(const CCurveRecord& record, const Stakeout& stakeout) {
    const std::string interval =
        stakeout.intervalText.empty() ? FixedString(stakeout.interval) : stakeout.intervalText;
    return "every " + interval + ", deflections " + (record.m_left ? "left" : "right") +
           " from the back tangent at the PC";
}

std::string StakeoutDelimited(const Stakeout& stakeout, char separator) {
    std::string out;
    if (stakeout.error) return out;
    AppendLine(out, StakeoutHeadings(stakeout), separator);
    for (std::size_t row = 0; row < stakeout.rows.size(); ++row) {
        AppendLine(out, StakeoutRowCells(stakeout, row), separator);
    }
    return out;
}

}  // namespace bendwise
