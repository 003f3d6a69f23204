#include "survey/StakeoutTable.h"

#include "text/NumberText.h"

namespace bendwise {
namespace {

std::string Fixed(double value) {
    std::string text;
    FormatFixed(value, text);
    return text;
}

std::string Dms(double degrees) {
    std::string text;
    FormatDms(degrees, text);
    TrimLeft(text);
    return text;
}

// No cell needs quoting: stations, numbers and angles hold only digits, '+', '-', '.',
// blanks and "undefined".
template <typename Cells>
void AppendLine(std::string& out, const Cells& cells, char separator) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out.push_back(separator);
        out.append(cells[i]);
    }
    out.push_back('\n');
}

}  // namespace

const std::array<const char*, kStakeoutColumns>& StakeoutHeadings() {
    static const std::array<const char*, kStakeoutColumns> kHeadings = {
        "Station", "Distance", "Deflection", "Chord", "Sub-chord"};
    return kHeadings;
}

StakeoutCells StakeoutRowCells(const StakeoutRow& row) {
    return {FormatStation(row.station), Fixed(row.distance), Dms(row.deflection), Fixed(row.chord),
            Fixed(row.subChord)};
}

std::string StakeoutCaption(const CCurveRecord& record, const Stakeout& stakeout) {
    return "every " + Fixed(stakeout.interval) + ", deflections " +
           (record.m_left ? "left" : "right") + " from the back tangent at the PC";
}

std::string StakeoutDelimited(const Stakeout& stakeout, char separator) {
    std::string out;
    if (stakeout.error) return out;
    AppendLine(out, StakeoutHeadings(), separator);
    for (const StakeoutRow& row : stakeout.rows) AppendLine(out, StakeoutRowCells(row), separator);
    return out;
}

}  // namespace bendwise
