#include "solver/Fields.h"

#include <cmath>

#include "math/Trig.h"

namespace bendwise {
namespace {

using K = FieldKind;
using V = ValueTest;
using Rec = CCurveRecord;

// Half the entry limit for Delta/2, so that the central angle stored never exceeds it.
constexpr double kHalf = 0.5;

constexpr std::array<FieldInfo, kFieldCount> kFields = {{
    {Field::Radius, "radius", "Radius", "Radius", 1032, GROUP_RADIUS, K::Number, &Rec::m_radius, 1,
     kEntryLimit, V::PositiveOrMessage, nullptr, "radius", "Radius", "radius"},
    {Field::DegreeArc, "degree-arc", "Degree curve", "Degree curve\n(Arc or Hiway)", 1033,
     GROUP_RADIUS, K::Angle, &Rec::m_degreeArc, 1, kEntryLimit, V::None, &RadiusOfDegreeArc,
     "degreeArc", "Degree arc", nullptr},
    {Field::DegreeChord, "degree-chord", "Degree (chord)", "Degree (chord)\n* Railroad", 1034,
     GROUP_RADIUS, K::Angle, &Rec::m_degreeChord, 1, kEntryLimit, V::None, &RadiusOfDegreeChord,
     "degreeChord", "Degree RR", nullptr},
    {Field::LengthArc, "larc", "L arc", "L arc", 1036, GROUP_LARC, K::Number, &Rec::m_lengthArc, 1,
     kEntryLimit, V::PositiveOrMessage, nullptr, "lengthArc", "Larc", "length"},
    {Field::LengthRR, "lrr", "Lrr", "  * L railroad\npseudo-Length", 1037, GROUP_LRR, K::Number,
     &Rec::m_lengthRR, 1, kEntryLimit, V::PositiveSoundAfter, nullptr, "lengthRR", "Lrr", nullptr},
    {Field::Chord, "chord", "Chord", "Chord", 1038, GROUP_CHORD, K::Number, &Rec::m_chord, 1,
     kEntryLimit, V::PositiveOrSound, nullptr, "chord", "Chord", "chord"},
    {Field::Tangent, "tangent", "Tangent", "Tangent", 1039, GROUP_TANGENT, K::Number,
     &Rec::m_tangent, 1, kEntryLimit, V::NotNegativeOrSound, nullptr, "tangent", "Tangent",
     "tangent"},
    {Field::Delta, "delta", "Delta angle", "Delta angle", 1041, GROUP_DELTA, K::Angle,
     &Rec::m_delta, 1, kEntryLimit, V::None, nullptr, "delta", "Delta", "delta"},
    {Field::HalfDelta, "half-delta", "Delta/2", "Delta/2\nchord deflection", 1045, GROUP_DELTA,
     K::Angle, &Rec::m_delta, kHalf, kHalf* kEntryLimit, V::None, nullptr, "halfDelta", "Delta/2",
     nullptr},
    // A new inbound azimuth changes no pair and is not clamped.
    {Field::InboundAz, "inbound-az", "Inbound Az", "Inbound Az", 1047, 0, K::Angle,
     &Rec::m_inboundAz, 1, kNoLimit, V::None, nullptr, "inboundAz", "Inbound Az", "dirStart"},
    {Field::ChordAz, "chord-az", "Chord Az", "Chord Az", 1049, 0, K::Result, &Rec::m_chordAz, 1,
     kNoLimit, V::None, nullptr, "chordAz", "Chord Az", nullptr},
    {Field::OutboundAz, "outbound-az", "Outbound Az", "Outbound Az", 1048, 0, K::Result,
     &Rec::m_outboundAz, 1, kNoLimit, V::None, nullptr, "outboundAz", "Outward Az", "dirEnd"},
    {Field::External, "external", "External", "External", 1043, 0, K::Result, &Rec::m_external, 1,
     kNoLimit, V::None, nullptr, "external", "External", "external"},
    {Field::MidOrdinate, "mid-ordinate", "Mid-Ordinate", "Mid-Ordinate", 1044, 0, K::Result,
     &Rec::m_midOrdinate, 1, kNoLimit, V::None, nullptr, "midOrdinate", "MidOrdinate", "midOrd"},
    {Field::DeltaX, "delta-x", "Delta X", "Delta X", 1015, 0, K::Result, &Rec::m_deltaX, 1,
     kNoLimit, V::None, nullptr, "deltaX", nullptr, nullptr},
    {Field::DeltaY, "delta-y", "Delta Y", "Delta Y", 1016, 0, K::Result, &Rec::m_deltaY, 1,
     kNoLimit, V::None, nullptr, "deltaY", nullptr, nullptr},
    {Field::CircleArea, "circle-area", "Circle area", "Circle", 1004, 0, K::Result,
     &Rec::m_circleArea, 1, kNoLimit, V::None, nullptr, "circleArea", "Circle Area", nullptr},
    {Field::SectorArea, "sector-area", "Sector area", "Delta\n  sector", 1005, 0, K::Result,
     &Rec::m_sectorArea, 1, kNoLimit, V::None, nullptr, "sectorArea", "Sector Area", nullptr},
    {Field::SegmentArea, "segment-area", "Segment area", "Segment\noutside\nchord", 1006, 0,
     K::Result, &Rec::m_segmentArea, 1, kNoLimit, V::None, nullptr, "segmentArea", "Segment Area",
     nullptr},
    {Field::FilletArea, "fillet-area", "Fillet area", "Fillet,\n  arc to PI", 1007, 0, K::Result,
     &Rec::m_filletArea, 1, kNoLimit, V::None, nullptr, "filletArea", "Fillet Area", nullptr},
}};

constexpr bool RowsInFieldOrder() {
    for (int i = 0; i < kFieldCount; ++i) {
        if (static_cast<int>(kFields[i].field) != i) return false;
        if ((i < kEntryFieldCount) != (kFields[i].kind != FieldKind::Result)) return false;
    }
    return true;
}
static_assert(RowsInFieldOrder(), "one row per Field, in its order, entry fields first");

}  // namespace

double RadiusOfDegreeArc(double degree, double pi, double /*degPerRad*/) {
    return 18000 / (pi * degree);
}

double RadiusOfDegreeChord(double degree, double /*pi*/, double degPerRad) {
    return 50 / math::Sin(degree / (2 * degPerRad));
}

const std::array<FieldInfo, kFieldCount>& Fields() {
    return kFields;
}

const FieldInfo& InfoOf(Field f) {
    return kFields[static_cast<int>(f)];
}

bool FieldByName(const std::string& name, Field& out) {
    for (const FieldInfo& info : kFields) {
        if (name == info.name) {
            out = info.field;
            return true;
        }
    }
    return false;
}

const GroupInfo* FindGroup(int code) {
    for (const GroupInfo& group : kGroups) {
        if (group.code == code) return &group;
    }
    return nullptr;
}

const char* GroupName(int group) {
    const GroupInfo* info = FindGroup(group);
    return info ? info->name : "none";
}

int IndicatorId(int group) {
    const GroupInfo* info = FindGroup(group);
    return info ? info->indicatorId : 0;
}

}  // namespace bendwise
