#include "frontend/CurveControls.h"

namespace bendwise {

namespace {

using K = ControlKind;

// A field's edit box: id, kind, role and object name from the field table; the rectangle is
// the window's.
ControlRow FieldRow(Field field, int x, int y, int width, int height) {
    const FieldInfo& info = InfoOf(field);
    const ControlKind kind = info.kind == FieldKind::Result ? K::ResultField : K::EntryField;
    return {info.controlId, kind, "", x, y, width, height, static_cast<int>(field), info.id};
}

// The label beside a field, its text from the field table.
ControlRow LabelRow(Field field, int x, int y, int width, int height) {
    const FieldInfo& info = InfoOf(field);
    return {0, K::Label, info.label, x, y, width, height, info.controlId, ""};
}

// A group's indicator, its id from the group table.
ControlRow IndicatorRow(int group, int x, int y, int width, int height, const char* name) {
    return {IndicatorId(group), K::Indicator, "", x, y, width, height, group, name};
}

}  // namespace

const std::vector<ControlRow>& CurveControls() {
    static const std::vector<ControlRow> kControls = {
        // Working controls, in tab order.
        {IDC_ABOUT, K::PushButton, "About", 146, 1, 50, 14, 0, "about"},
        {IDC_CLOSE, K::DefaultButton, "Close", 203, 1, 50, 14, 0, "close"},
        IndicatorRow(GROUP_RADIUS, 8, 38, 16, 8, "radiusIndicator"),
        FieldRow(Field::Radius, 68, 45, 59, 14),
        FieldRow(Field::DegreeArc, 68, 64, 59, 14),
        FieldRow(Field::DegreeChord, 68, 86, 59, 14),
        IndicatorRow(GROUP_DELTA, 8, 114, 8, 8, "deltaIndicator"),
        FieldRow(Field::HalfDelta, 71, 122, 62, 14),
        FieldRow(Field::Delta, 71, 143, 62, 14),
        IndicatorRow(GROUP_LARC, 142, 38, 8, 8, "lengthArcIndicator"),
        FieldRow(Field::LengthArc, 196, 41, 56, 13),
        FieldRow(Field::LengthRR, 196, 66, 56, 13),
        IndicatorRow(GROUP_LRR, 142, 62, 8, 8, "lengthRRIndicator"),
        IndicatorRow(GROUP_CHORD, 142, 90, 8, 8, "chordIndicator"),
        FieldRow(Field::Chord, 196, 94, 56, 13),
        IndicatorRow(GROUP_TANGENT, 142, 118, 8, 8, "tangentIndicator"),
        FieldRow(Field::Tangent, 196, 118, 56, 12),
        FieldRow(Field::InboundAz, 189, 144, 64, 14),
        {IDC_LEFT, K::CheckBox, "", 177, 168, 9, 9, 0, "left"},
        FieldRow(Field::ChordAz, 189, 169, 64, 14),
        FieldRow(Field::OutboundAz, 189, 183, 64, 12),
        FieldRow(Field::External, 49, 168, 66, 14),
        FieldRow(Field::MidOrdinate, 51, 182, 61, 14),
        FieldRow(Field::DeltaX, 51, 196, 60, 14),
        FieldRow(Field::DeltaY, 189, 197, 64, 14),
        FieldRow(Field::CircleArea, 48, 256, 73, 12),
        FieldRow(Field::SectorArea, 180, 256, 73, 14),
        FieldRow(Field::SegmentArea, 50, 270, 71, 12),
        FieldRow(Field::FilletArea, 182, 270, 71, 14),
        {IDC_PACKED_DMS, K::CheckBox, "Take packed\nDD.MMSSs\n(No DD.ddd)", 7, 295, 59, 27, 0,
         "packedDms"},
        {IDC_CURVE_DIAGRAM, K::PushButton, "Curve Diagram", 7, 321, 86, 14, 0, "curveDiagram"},
        {IDC_LENGTH_ILLUSTRATION, K::PushButton, "Length illustration", 97, 321, 79, 14, 0,
         "lengthIllustration"},
        {IDC_STATIONS_STAKEOUT, K::PushButton, "Stations and Stakeout", 7, 339, 86, 14, 0,
         "stationsStakeout"},
        {IDC_ALWAYS_ON_TOP, K::CheckBox, "Always on top", 89, 303, 60, 10, 0, "alwaysOnTop"},
        {IDC_APPEND_TO_FILE, K::PushButton, "Append to File", 198, 321, 55, 14, 0, "appendToFile"},
        {IDC_WRITE_NEW_FILE, K::PushButton, "Write New File", 198, 305, 55, 14, 0, "writeNewFile"},
        {IDC_ACRES, K::CheckBox, "SqFt-->Acres", 196, 238, 57, 10, 0, "acres"},
        {IDC_STATUS_LINE, K::StatusLine, "", 7, 357, 246, 12, 0, "statusLine"},

        // Instructions.
        {0, K::Label, "Enter one item in each of 2 groups;", 7, 1, 115, 8, 0, ""},
        {0, K::Label, "   the rest are calculated.", 7, 9, 128, 8, 0, ""},
        {0, K::Label, "Poorly determined pairs (Lrr+C or T) not accepted.", 7, 17, 175, 8, 0, ""},
        {0, K::Label, "Angles and Azimuths are in degrees, minutes, seconds.", 7, 25, 194, 8, 0,
         ""},
        // Group frames, one per entry group.
        {0, K::Frame, "", 7, 32, 129, 75, GROUP_RADIUS, "radiusFrame"},
        {0, K::Frame, "", 7, 108, 129, 53, GROUP_DELTA, "deltaFrame"},
        {0, K::Frame, "", 141, 32, 112, 26, GROUP_LARC, "lengthArcFrame"},
        {0, K::Frame, "", 141, 57, 112, 29, GROUP_LRR, "lengthRRFrame"},
        {0, K::Frame, "", 141, 86, 112, 28, GROUP_CHORD, "chordFrame"},
        {0, K::Frame, "", 141, 113, 112, 26, GROUP_TANGENT, "tangentFrame"},
        // Field labels.
        LabelRow(Field::Radius, 14, 46, 23, 8),
        LabelRow(Field::DegreeArc, 14, 62, 47, 19),
        LabelRow(Field::DegreeChord, 13, 85, 48, 20),
        LabelRow(Field::HalfDelta, 15, 122, 55, 24),
        LabelRow(Field::Delta, 16, 146, 37, 8),
        LabelRow(Field::LengthArc, 154, 44, 17, 8),
        LabelRow(Field::LengthRR, 148, 64, 51, 21),
        LabelRow(Field::Chord, 156, 98, 20, 8),
        LabelRow(Field::Tangent, 153, 121, 28, 8),
        LabelRow(Field::InboundAz, 141, 146, 37, 8),
        {0, K::Label, "Left", 175, 160, 13, 8, IDC_LEFT, ""},
        LabelRow(Field::ChordAz, 142, 168, 30, 8),
        LabelRow(Field::OutboundAz, 141, 184, 42, 8),
        LabelRow(Field::External, 7, 168, 26, 8),
        LabelRow(Field::MidOrdinate, 7, 184, 41, 8),
        LabelRow(Field::DeltaX, 7, 196, 24, 8),
        LabelRow(Field::DeltaY, 141, 196, 24, 8),
        // Railroad note.
        {0, K::Label,
         "* Railroad curves have approximations, typically at 0.1 ft level.\n"
         "  Placement of approximation depends on layout order.",
         7, 217, 238, 17, 0, ""},
        // Areas: a captioned frame as heading rule, then the labels.
        {0, K::Frame, "Areas", 7, 236, 184, 9, 0, "areasFrame"},
        LabelRow(Field::CircleArea, 13, 254, 18, 8),
        LabelRow(Field::SectorArea, 143, 248, 30, 17),
        LabelRow(Field::SegmentArea, 13, 263, 31, 27),
        LabelRow(Field::FilletArea, 143, 264, 35, 17),
        // Separator above the bottom row.
        {0, K::Frame, "", 7, 288, 246, 9, 0, "bottomFrame"},
    };
    return kControls;
}

const ControlRow* FindControl(int id) {
    for (const ControlRow& control : CurveControls()) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

}  // namespace bendwise
