#include "report/Report.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace bendwise {
namespace {

constexpr std::size_t kLeftColumn = 32;  // the right column starts in column 33
constexpr std::size_t kLabelWidth = 13;  // every value starts in column 14 of its column

// Seven pairs of a hyphen and a blank; with the one-blank right text the separator line is
// 33 characters and its line feed.
constexpr const char* kSeparator = "- - - - - - - ";

// The nine data lines: label and field of the left column, then of the right column.
struct ReportLine {
    std::string_view leftLabel;
    Field left;
    std::string_view rightLabel;
    Field right;
};
constexpr ReportLine kLines[] = {
    {"Radius", Field::Radius, "Larc", Field::LengthArc},
    {"Degree arc", Field::DegreeArc, "Lrr", Field::LengthRR},
    {"Degree RR", Field::DegreeChord, "Chord", Field::Chord},
    {"Delta/2", Field::HalfDelta, "Tangent", Field::Tangent},
    {"Delta", Field::Delta, "Inbound Az", Field::InboundAz},
    {"External", Field::External, "Chord Az", Field::ChordAz},
    {"MidOrdinate", Field::MidOrdinate, "Outward Az", Field::OutboundAz},
    {"Circle Area", Field::CircleArea, "Sector Area", Field::SectorArea},
    {"Segment Area", Field::SegmentArea, "Fillet Area", Field::FilletArea},
};

// Width of a label with its value: the label padded to kLabelWidth (a longer one is kept
// whole), then the value.
std::size_t LabelledWidth(std::string_view label, const std::string& value) {
    return std::max(label.size(), kLabelWidth) + value.size();
}

// Writes `label` and `value` at `at` in a line already filled with blanks; returns the
// end of the value.
char* PutLabelled(char* at, std::string_view label, const std::string& value) {
    std::memcpy(at, label.data(), label.size());
    at += std::max(label.size(), kLabelWidth);
    std::memcpy(at, value.data(), value.size());
    return at + value.size();
}

// The separator line (kSeparator in the left column, then one blank) at `at` in blanks;
// returns the end of the line.
char* PutSeparatorLine(char* at) {
    const std::string_view separator = kSeparator;
    std::memcpy(at, separator.data(), separator.size());
    at += kLeftColumn + 1;  // the right text is the one blank already there
    *at++ = '\n';
    return at;
}

}  // namespace

// Each line is a left text padded to kLeftColumn (a longer one kept whole, with no blank
// after it), the right text, a line feed. The block is measured first and written into
// one blank-filled string, since a batch rebuilds it for every curve.
std::string BuildReportBlock(const CCurveRecord& r) {
    std::size_t size = 2 * (kLeftColumn + 2);  // the two separator lines
    for (const ReportLine& line : kLines) {
        size += std::max(LabelledWidth(line.leftLabel, r.Text(line.left)), kLeftColumn) +
                LabelledWidth(line.rightLabel, r.Text(line.right)) + 1;
    }
    std::string block(size, ' ');
    char* at = PutSeparatorLine(&block[0]);
    for (const ReportLine& line : kLines) {
        char* const start = at;
        at = PutLabelled(at, line.leftLabel, r.Text(line.left));
        at = std::max(at, start + kLeftColumn);
        at = PutLabelled(at, line.rightLabel, r.Text(line.right));
        *at++ = '\n';
    }
    PutSeparatorLine(at);
    return block;
}

}  // namespace bendwise
