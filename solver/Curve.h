// The curve record, the entry groups and the curve memory.
//
// Units: lengths in the user's own unit (the constants assume feet: the degree of curve is
// defined over 100 units of arc or chord, an acre is 43,560 square units); areas in square
// units; every angle in decimal degrees. Azimuths run clockwise from north (+Y towards +X)
// and are not reduced to 0..360 in the record, only in their texts.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace bendwise {

// One-bit codes of the six entry groups. The current pair is the last two distinct groups
// entered; because the codes are distinct single bits their sum identifies the pair.
// 0 means "no new entry" (a refusal, a check box, a new inbound azimuth, the first solve).
constexpr int GROUP_RADIUS = 1;
constexpr int GROUP_LARC = 2;
constexpr int GROUP_LRR = 4;
constexpr int GROUP_DELTA = 8;
constexpr int GROUP_CHORD = 16;
constexpr int GROUP_TANGENT = 32;

// The remembered curve. Owned by the application, it outlives every dialog; each
// recalculation writes the defining values back. Never stored on disk: every run starts
// from these defaults (radius + arc length of a 1-degree arc-definition curve).
class CCurveMemory {
  public:
    CCurveMemory() = default;
    virtual ~CCurveMemory() = default;

    double m_radius = 5729.577951;  // radius of a 1-degree arc-definition curve, 6 decimals
    double m_lengthArc = 100.0;
    double m_delta = 9999.0;  // replaced by the first solve (the start pair is R + L)
    double m_inboundAz = 0.0;
    std::int32_t m_left = 0;
    std::int32_t m_acres = 0;  // areas shown in acres; read here, never copied to a dialog
    std::int32_t m_packedDms = 1;
    std::int32_t m_prevGroup = GROUP_LARC;
    std::int32_t m_lastGroup = GROUP_RADIUS;
};

// The twenty fields that show a display text, the ten that take typed entries first. What
// each one is (name, label, group, kind, record member) is in one table, solver/Fields.h.
enum class Field : int {
    Radius,
    DegreeArc,
    DegreeChord,
    LengthArc,
    LengthRR,
    Chord,
    Tangent,
    Delta,
    HalfDelta,
    InboundAz,
    ChordAz,
    OutboundAz,
    External,
    MidOrdinate,
    DeltaX,
    DeltaY,
    CircleArea,
    SectorArea,
    SegmentArea,
    FilletArea,
};
constexpr int kFieldCount = 20;
constexpr int kEntryFieldCount = 10;

// The whole state of the one curve on screen. Plain data: the entry rules decide what a
// typed value stores, the solver and the derivation (solver/Solve.h, solver/Derive.h) fill
// in the rest and rebuild every text.
struct CCurveRecord {
    double m_pi = 0.0;         // 3.141592653589793, set at initialisation
    double m_degPerRad = 0.0;  // 180 / m_pi computed at run time: 57.29577951308232

    double m_radius = 0.0;
    double m_degreeArc = 0.0;    // central angle of 100 units of arc (highway definition)
    double m_degreeChord = 0.0;  // central angle of a 100-unit chord (railroad definition)
    double m_lengthArc = 0.0;
    double m_lengthRR = 0.0;  // railroad pseudo-length: 100 x Delta / degree (chord)
    double m_chord = 0.0;
    double m_tangent = 0.0;
    double m_delta = 0.0;
    double m_inboundAz = 0.0;
    double m_chordAz = 0.0;
    double m_outboundAz = 0.0;
    double m_deltaX = 0.0;  // east component of the long chord
    double m_deltaY = 0.0;  // north component of the long chord
    double m_external = 0.0;
    double m_midOrdinate = 0.0;
    double m_circleArea = 0.0;   // square units, also when acres are shown
    double m_segmentArea = 0.0;  // kept from the last curve below 180 degrees
    double m_sectorArea = 0.0;
    double m_filletArea = 0.0;

    int m_left = 0;
    int m_packedDms = 0;
    int m_forceReread = 0;  // set by Enter: the next handler re-reads an unchanged text
    int m_alwaysOnTop = 0;

    // One display text per field, indexed by Field.
    std::array<std::string, kFieldCount> m_texts;

    std::string& Text(Field f) { return m_texts[static_cast<int>(f)]; }
    const std::string& Text(Field f) const { return m_texts[static_cast<int>(f)]; }
};

}  // namespace bendwise
