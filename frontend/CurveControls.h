// The calculator's dialog template as a table: every control with its id, kind, caption,
// rectangle in dialog units and role. The working controls come first, in the control
// order, which is also the tab order; the static texts and frames follow. What a field or
// an indicator is (its control id, label, kind) comes from the field and group tables of
// solver/Fields.h; this table adds only where the window puts it.
#pragma once

#include <vector>

#include "solver/Fields.h"

namespace bendwise {

enum class ControlKind {
    PushButton,
    DefaultButton,  // Close: takes Enter wherever no other push button has the focus
    Indicator,      // disabled radio button showing one group of the current pair
    EntryField,     // edit field read when it loses the focus
    ResultField,    // read-only edit field
    CheckBox,
    StatusLine,  // read-only line saying what the last action did, or why it was refused
    Label,       // static text, lines separated by '\n'
    Frame,       // group frame, captioned or not
};

// Control ids of the working controls that are not fields or indicators.
enum ControlId : int {
    IDC_ABOUT = 1002,
    IDC_CURVE_DIAGRAM = 1008,
    IDC_LENGTH_ILLUSTRATION = 1009,
    IDC_APPEND_TO_FILE = 1010,
    IDC_WRITE_NEW_FILE = 1011,
    IDC_PACKED_DMS = 1012,
    IDC_ALWAYS_ON_TOP = 1013,
    IDC_ACRES = 1014,
    IDC_LEFT = 1052,
    IDC_CLOSE = 1053,
    IDC_STATIONS_STAKEOUT = 1054,
    IDC_STATUS_LINE = 1055,
};

struct ControlRow {
    int id;  // control id; 0 for static texts and frames
    ControlKind kind;
    const char* caption;      // button or check-box caption, label text, frame caption
    int x, y, width, height;  // dialog units
    // Role: the Field for edit fields, the GROUP_ code for indicators, and for a label the
    // control id of the field or check box it names (0 when it names none).
    int role;
    const char* name;  // object name
};

const std::vector<ControlRow>& CurveControls();

// The row of one control id, or null.
const ControlRow* FindControl(int id);

// The calculator's client area and the acceptance box's, in dialog units. The calculator
// is 342 units high down to its bottom button row; a row for "Stations and Stakeout" and
// the status line lie below it.
constexpr int kCurveDlgWidth = 260;
constexpr int kCurveDlgHeight = 372;
constexpr int kAboutDlgWidth = 278;
constexpr int kAboutDlgHeight = 92;

}  // namespace bendwise
