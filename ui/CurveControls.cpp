#include "ui/CurveControls.h"

namespace bendwise {

namespace {

constexpr int F(Field f) {
    return static_cast<int>(f);
}

using K = ControlKind;

}  // namespace

const std::vector<ControlSpec>& CurveControls() {
    static const std::vector<ControlSpec> kControls = {
        // Working controls, in tab order.
        {IDC_ABOUT, K::PushButton, "About", 146, 1, 50, 14, 0, "about"},
        {IDC_CLOSE, K::DefaultButton, "Close", 203, 1, 50, 14, 0, "close"},
        {1035, K::Indicator, "", 8, 38, 16, 8, GROUP_RADIUS, "radiusIndicator"},
        {1032, K::EntryField, "", 68, 45, 59, 14, F(Field::Radius), "radius"},
        {1033, K::EntryField, "", 68, 64, 59, 14, F(Field::DegreeArc), "degreeArc"},
        {1034, K::EntryField, "", 68, 86, 59, 14, F(Field::DegreeChord), "degreeChord"},
        {1042, K::Indicator, "", 8, 114, 8, 8, GROUP_DELTA, "deltaIndicator"},
        {1045, K::EntryField, "", 71, 122, 62, 14, F(Field::HalfDelta), "halfDelta"},
        {1041, K::EntryField, "", 71, 143, 62, 14, F(Field::Delta), "delta"},
        {1040, K::Indicator, "", 142, 38, 8, 8, GROUP_LARC, "lengthArcIndicator"},
        {1036, K::EntryField, "", 196, 41, 56, 13, F(Field::LengthArc), "lengthArc"},
        {1037, K::EntryField, "", 196, 66, 56, 13, F(Field::LengthRR), "lengthRR"},
        {1046, K::Indicator, "", 142, 62, 8, 8, GROUP_LRR, "lengthRRIndicator"},
        {1050, K::Indicator, "", 142, 90, 8, 8, GROUP_CHORD, "chordIndicator"},
        {1038, K::EntryField, "", 196, 94, 56, 13, F(Field::Chord), "chord"},
        {1051, K::Indicator, "", 142, 118, 8, 8, GROUP_TANGENT, "tangentIndicator"},
        {1039, K::EntryField, "", 196, 118, 56, 12, F(Field::Tangent), "tangent"},
        {1047, K::EntryField, "", 189, 144, 64, 14, F(Field::InboundAz), "inboundAz"},
        {IDC_LEFT, K::CheckBox, "", 177, 168, 9, 9, 0, "left"},
        {1049, K::ResultField, "", 189, 169, 64, 14, F(Field::ChordAz), "chordAz"},
        {1048, K::ResultField, "", 189, 183, 64, 12, F(Field::OutboundAz), "outboundAz"},
        {1043, K::ResultField, "", 49, 168, 66, 14, F(Field::External), "external"},
        {1044, K::ResultField, "", 51, 182, 61, 14, F(Field::MidOrdinate), "midOrdinate"},
        {1015, K::ResultField, "", 51, 196, 60, 14, F(Field::DeltaX), "deltaX"},
        {1016, K::ResultField, "", 189, 197, 64, 14, F(Field::DeltaY), "deltaY"},
        {1004, K::ResultField, "", 48, 256, 73, 12, F(Field::CircleArea), "circleArea"},
        {1005, K::ResultField, "", 180, 256, 73, 14, F(Field::SectorArea), "sectorArea"},
        {1006, K::ResultField, "", 50, 270, 71, 12, F(Field::SegmentArea), "segmentArea"},
        {1007, K::ResultField, "", 182, 270, 71, 14, F(Field::FilletArea), "filletArea"},
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
        {0, K::Label, "Radius", 14, 46, 23, 8, 1032, ""},
        {0, K::Label, "Degree curve\n(Arc or Hiway)", 14, 62, 47, 19, 1033, ""},
        {0, K::Label, "Degree (chord)\n* Railroad", 13, 85, 48, 20, 1034, ""},
        {0, K::Label, "Delta/2\nchord deflection", 15, 122, 55, 24, 1045, ""},
        {0, K::Label, "Delta angle", 16, 146, 37, 8, 1041, ""},
        {0, K::Label, "L arc", 154, 44, 17, 8, 1036, ""},
        {0, K::Label, "  * L railroad\npseudo-Length", 148, 64, 51, 21, 1037, ""},
        {0, K::Label, "Chord", 156, 98, 20, 8, 1038, ""},
        {0, K::Label, "Tangent", 153, 121, 28, 8, 1039, ""},
        {0, K::Label, "Inbound Az", 141, 146, 37, 8, 1047, ""},
        {0, K::Label, "Left", 175, 160, 13, 8, IDC_LEFT, ""},
        {0, K::Label, "Chord Az", 142, 168, 30, 8, 1049, ""},
        {0, K::Label, "Outbound Az", 141, 184, 42, 8, 1048, ""},
        {0, K::Label, "External", 7, 168, 26, 8, 1043, ""},
        {0, K::Label, "Mid-Ordinate", 7, 184, 41, 8, 1044, ""},
        {0, K::Label, "Delta X", 7, 196, 24, 8, 1015, ""},
        {0, K::Label, "Delta Y", 141, 196, 24, 8, 1016, ""},
        // Railroad note.
        {0, K::Label,
         "* Railroad curves have approximations, typically at 0.1 ft level.\n"
         "  Placement of approximation depends on layout order.",
         7, 217, 238, 17, 0, ""},
        // Areas: a captioned frame as heading rule, then the labels.
        {0, K::Frame, "Areas", 7, 236, 184, 9, 0, "areasFrame"},
        {0, K::Label, "Circle", 13, 254, 18, 8, 1004, ""},
        {0, K::Label, "Delta\n  sector", 143, 248, 30, 17, 1005, ""},
        {0, K::Label, "Segment\noutside\nchord", 13, 263, 31, 27, 1006, ""},
        {0, K::Label, "Fillet,\n  arc to PI", 143, 264, 35, 17, 1007, ""},
        // Separator above the bottom row.
        {0, K::Frame, "", 7, 288, 246, 9, 0, "bottomFrame"},
    };
    return kControls;
}

const ControlSpec* FindControl(int id) {
    for (const ControlSpec& control : CurveControls()) {
        if (control.id == id) return &control;
    }
    return nullptr;
}

}  // namespace bendwise
