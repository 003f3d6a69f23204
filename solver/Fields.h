// The calculator's twenty fields and six entry groups, each described once.
//
// Every other part reads these tables instead of switching over fields: the entry rules
// (what a field takes, its limit and its value test), the window (control ids, labels,
// indicators), the command line and the web page (field names), the JSON writer (values).
#pragma once

#include <array>
#include <limits>
#include <string>

#include "solver/Curve.h"

namespace bendwise {

enum class FieldKind {
    Number,  // a length typed as a plain decimal number
    Angle,   // an angle typed in any of the angle forms (text/AngleText.h)
    Result,  // read-only
};

// What a number field requires of its value, and how a value that fails is refused.
enum class ValueTest {
    None,                // angle and result fields
    PositiveOrMessage,   // > 0; else sound, "Invalid input", recalculation
    PositiveOrSound,     // > 0; else sound, recalculation
    PositiveSoundAfter,  // > 0; else recalculation, then sound
    NotNegativeOrSound,  // >= 0; else sound, recalculation
};

// An entry field takes at most this many typed characters (a degree sign is one): the
// window's fields, bendwise-cli's FIELD=TEXT and the page's inputs.
constexpr int kFieldCharacters = 16;

// Typed lengths and angles above this are taken as this, so that no product overflows.
constexpr double kEntryLimit = 1e13;
constexpr double kNoLimit = std::numeric_limits<double>::infinity();

// The radius on which 100 units of arc (highway definition), or a chord of 100 units
// (railroad definition), subtend `degree` degrees: 18000 / (pi x D), 50 / sin(D / (2 k)).
double RadiusOfDegreeArc(double degree, double pi, double degPerRad);
double RadiusOfDegreeChord(double degree, double pi, double degPerRad);

struct FieldInfo {
    Field field;
    const char* name;   // command-line and --fields name, JSON key, web page id: "degree-arc"
    const char* words;  // the field named in a sentence: "Degree curve"
    const char* label;  // the label beside it in the window, lines separated by '\n'
    int controlId;      // the edit field's control id in the calculator window
    int group;          // GROUP_ code of a field that takes an entry into a group, else 0
    FieldKind kind;
    // The record value the field shows, times `scale`; an entry stores typed / scale there.
    // Delta/2 shows half of m_delta, and a typed half angle is doubled.
    double CCurveRecord::*member;
    double scale;
    double limit;  // typed values above this are taken as this
    ValueTest test;
    // The two degree fields belong to the radius group: an entry also sets the radius.
    double (*radiusOf)(double degree, double pi, double degPerRad);
    // The field's other spellings, each kept in this row: the window's object name
    // ("outboundAz", what GUI tests and accessibility tools find it by), the label in a report
    // block ("Outward Az"; null for Delta X and Delta Y, which a block leaves out) and the LandXML
    // Curve attribute that carries the value ("dirEnd"; null when the Curve element has none).
    const char* id;
    const char* reportLabel;
    const char* landXml;
};

// All twenty fields, in the order of Field (solver/Curve.h).
const std::array<FieldInfo, kFieldCount>& Fields();
const FieldInfo& InfoOf(Field f);
inline bool IsEntryField(Field f) {
    return static_cast<int>(f) < kEntryFieldCount;
}
// Looks a field up by its command-line name; returns false when there is none.
bool FieldByName(const std::string& name, Field& out);

struct GroupInfo {
    int code;          // GROUP_ code, one bit
    const char* name;  // "radius", "larc", "lrr", "delta", "chord", "tangent"
    Field field;       // the field that names the group in a sentence
    int indicatorId;   // the disabled radio button that shows the group is in the pair
};

// The six groups in indicator order (1035, 1040, 1042, 1046, 1050, 1051): the order in
// which their indicators are cleared and then set.
inline constexpr std::array<GroupInfo, 6> kGroups = {{
    {GROUP_RADIUS, "radius", Field::Radius, 1035},
    {GROUP_LARC, "larc", Field::LengthArc, 1040},
    {GROUP_DELTA, "delta", Field::Delta, 1042},
    {GROUP_LRR, "lrr", Field::LengthRR, 1046},
    {GROUP_CHORD, "chord", Field::Chord, 1050},
    {GROUP_TANGENT, "tangent", Field::Tangent, 1051},
}};

// The codes of kGroups, in its order.
constexpr std::array<int, 6> GroupCodes() {
    std::array<int, 6> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = kGroups[i].code;
    return codes;
}
inline constexpr std::array<int, 6> kAllGroups = GroupCodes();

// The row of a group code, or null for anything else.
const GroupInfo* FindGroup(int code);
// "none" for a code that is no group.
const char* GroupName(int group);
// 0 for a code that is no group.
int IndicatorId(int group);

}  // namespace bendwise
