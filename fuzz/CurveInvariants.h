// What must hold after every step of any session, whatever was typed: shared by the
// session fuzzer and the window monkey test.
//
//   - no display text shows "nan" or "inf", in any letter case;
//   - the memory's radius, arc length and central angle are finite;
//   - the two pair codes differ and each is one of the six single group bits;
//   - exactly two indicators are checked, those of the pair;
//   - the report block is 11 lines: both separators byte for byte, and nine data lines
//     made of their two labels and the display texts, padded as the report writer pads.
#pragma once

#include <array>
#include <cmath>
#include <string>

#include "report/Report.h"
#include "solver/Curve.h"
#include "solver/Fields.h"

namespace bendwise::fuzz {

inline bool IsGroupBit(int code) {
    for (int group : kAllGroups) {
        if (code == group) return true;
    }
    return false;
}

// "nan" or "inf" in any letter case, without copying the text.
inline bool ShowsNonFinite(const std::string& text) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        const char a = lower(text[i]), b = lower(text[i + 1]), c = lower(text[i + 2]);
        if ((a == 'n' && b == 'a' && c == 'n') || (a == 'i' && b == 'n' && c == 'f')) return true;
    }
    return false;
}

// Appends the report line the writer must produce for one pair of labelled texts.
inline void AppendExpectedLine(std::string& out, const char* leftLabel, const std::string& leftText,
                               const char* rightLabel, const std::string& rightText) {
    const std::size_t start = out.size();
    out += leftLabel;
    out += leftText;
    if (out.size() - start < 32) out.append(32 - (out.size() - start), ' ');
    out += rightLabel;
    out += rightText;
    out += '\n';
}

// Checks the report block of `record` line by line; returns "" or what is wrong.
inline std::string CheckReportBlock(const CCurveRecord& record) {
    const std::string block = BuildReportBlock(record);
    static const char separator[] = "- - - - - - -                    \n";  // 33 + line feed
    struct Row {
        const char* leftLabel;
        Field left;
        const char* rightLabel;
        Field right;
    };
    static const std::array<Row, 9> kRows = {{
        {"Radius       ", Field::Radius, "Larc         ", Field::LengthArc},
        {"Degree arc   ", Field::DegreeArc, "Lrr          ", Field::LengthRR},
        {"Degree RR    ", Field::DegreeChord, "Chord        ", Field::Chord},
        {"Delta/2      ", Field::HalfDelta, "Tangent      ", Field::Tangent},
        {"Delta        ", Field::Delta, "Inbound Az   ", Field::InboundAz},
        {"External     ", Field::External, "Chord Az     ", Field::ChordAz},
        {"MidOrdinate  ", Field::MidOrdinate, "Outward Az   ", Field::OutboundAz},
        {"Circle Area  ", Field::CircleArea, "Sector Area  ", Field::SectorArea},
        {"Segment Area ", Field::SegmentArea, "Fillet Area  ", Field::FilletArea},
    }};
    std::size_t lines = 0;
    for (char c : block) lines += c == '\n';
    if (lines != 11) return "report block has " + std::to_string(lines) + " lines";
    std::string expected;
    expected.reserve(block.size());
    expected += separator;
    for (const Row& row : kRows) {
        AppendExpectedLine(expected, row.leftLabel, record.Text(row.left), row.rightLabel,
                           record.Text(row.right));
    }
    expected += separator;
    if (block != expected) return "report block differs:\n" + block;
    return "";
}

// `checked` holds the indicator state by group code as the host last saw it.
template <typename IndicatorMap>
std::string CheckInvariants(const CCurveRecord& record, const CCurveMemory& memory,
                            const IndicatorMap& checked) {
    for (int i = 0; i < kFieldCount; ++i) {
        if (ShowsNonFinite(record.m_texts[i])) {
            return std::string("display text ") + Fields()[i].name + " shows \"" +
                   record.m_texts[i] + "\"";
        }
    }
    if (!std::isfinite(memory.m_radius) || !std::isfinite(memory.m_lengthArc) ||
        !std::isfinite(memory.m_delta)) {
        return "memory holds a value that is not finite";
    }
    if (!IsGroupBit(memory.m_lastGroup) || !IsGroupBit(memory.m_prevGroup) ||
        memory.m_lastGroup == memory.m_prevGroup) {
        return "bad pair " + std::to_string(memory.m_prevGroup) + "," +
               std::to_string(memory.m_lastGroup);
    }
    int on = 0;
    for (const auto& [group, state] : checked) {
        if (!state) continue;
        ++on;
        if (group != memory.m_lastGroup && group != memory.m_prevGroup) {
            return "indicator " + std::to_string(group) + " set outside the pair";
        }
    }
    if (on != 2) return std::to_string(on) + " indicators set";
    return CheckReportBlock(record);
}

}  // namespace bendwise::fuzz
