#include "report/Report.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "solver/Fields.h"

namespace bendwise {
namespace {

constexpr std::size_t kLeftColumn = 32;  // the right column starts in column 33
constexpr std::size_t kLabelWidth = 13;  // every value starts in column 14 of its column

// Seven pairs of a hyphen and a blank; with the one-blank right text the separator line is
// 33 characters and its line feed.
constexpr const char* kSeparator = "- - - - - - - ";

// The nine data lines: the field of the left column, then of the right column; each label
// is the field's report label.
struct ReportLine {
    Field left;
    Field right;
};
constexpr ReportLine kLines[] = {
    {Field::Radius, Field::LengthArc},       {Field::DegreeArc, Field::LengthRR},
    {Field::DegreeChord, Field::Chord},      {Field::HalfDelta, Field::Tangent},
    {Field::Delta, Field::InboundAz},        {Field::External, Field::ChordAz},
    {Field::MidOrdinate, Field::OutboundAz}, {Field::CircleArea, Field::SectorArea},
    {Field::SegmentArea, Field::FilletArea},
};

std::string_view ReportLabel(Field field) {
    return InfoOf(field).reportLabel;
}

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
        size += std::max(LabelledWidth(ReportLabel(line.left), r.Text(line.left)), kLeftColumn) +
                LabelledWidth(ReportLabel(line.right), r.Text(line.right)) + 1;
    }
    std::string block(size, ' ');
    char* at = PutSeparatorLine(&block[0]);
    for (const ReportLine& line : kLines) {
        char* const start = at;
        at = PutLabelled(at, ReportLabel(line.left), r.Text(line.left));
        at = std::max(at, start + kLeftColumn);
        at = PutLabelled(at, ReportLabel(line.right), r.Text(line.right));
        *at++ = '\n';
    }
    PutSeparatorLine(at);
    return block;
}

}  // namespace bendwise
