#include "solver/Curve.h"

namespace bendwise {

const char* GroupName(int group) {
    switch (group) {
        case GROUP_RADIUS:
            return "radius";
        case GROUP_LARC:
            return "larc";
        case GROUP_LRR:
            return "lrr";
        case GROUP_DELTA:
            return "delta";
        case GROUP_CHORD:
            return "chord";
        case GROUP_TANGENT:
            return "tangent";
        default:
            return "none";
    }
}

int IndicatorId(int group) {
    switch (group) {
        case GROUP_RADIUS:
            return 1035;
        case GROUP_LARC:
            return 1040;
        case GROUP_LRR:
            return 1046;
        case GROUP_DELTA:
            return 1042;
        case GROUP_CHORD:
            return 1050;
        case GROUP_TANGENT:
            return 1051;
        default:
            return 0;
    }
}

const std::array<FieldInfo, kFieldCount>& Fields() {
    static const std::array<FieldInfo, kFieldCount> kFields = {{
        {Field::Radius, 1032, "radius", "m_radiusText"},
        {Field::DegreeArc, 1033, "degree-arc", "m_degreeArcText"},
        {Field::DegreeChord, 1034, "degree-chord", "m_degreeChordText"},
        {Field::LengthArc, 1036, "larc", "m_lengthArcText"},
        {Field::LengthRR, 1037, "lrr", "m_lengthRRText"},
        {Field::Chord, 1038, "chord", "m_chordText"},
        {Field::Tangent, 1039, "tangent", "m_tangentText"},
        {Field::Delta, 1041, "delta", "m_deltaText"},
        {Field::HalfDelta, 1045, "half-delta", "m_halfDeltaText"},
        {Field::InboundAz, 1047, "inbound-az", "m_inboundAzText"},
        {Field::ChordAz, 1049, "chord-az", "m_chordAzText"},
        {Field::OutboundAz, 1048, "outbound-az", "m_outboundAzText"},
        {Field::External, 1043, "external", "m_externalText"},
        {Field::MidOrdinate, 1044, "mid-ordinate", "m_midOrdinateText"},
        {Field::DeltaX, 1015, "delta-x", "m_deltaXText"},
        {Field::DeltaY, 1016, "delta-y", "m_deltaYText"},
        {Field::CircleArea, 1004, "circle-area", "m_circleAreaText"},
        {Field::SectorArea, 1005, "sector-area", "m_sectorAreaText"},
        {Field::SegmentArea, 1006, "segment-area", "m_segmentAreaText"},
        {Field::FilletArea, 1007, "fillet-area", "m_filletAreaText"},
    }};
    return kFields;
}

const FieldInfo& InfoOf(Field f) {
    return Fields()[static_cast<int>(f)];
}

bool FieldByName(const std::string& name, Field& out) {
    for (const FieldInfo& info : Fields()) {
        if (name == info.name) {
            out = info.field;
            return true;
        }
    }
    return false;
}

}  // namespace bendwise
