// The three check boxes that change the curve, each described once: its name (bendwise-cli's
// left=on|off, the page's control id), its control id in the window, how to read its state
// and how to click it. The CLI, the web binding and the window read this table.
#pragma once

#include <array>
#include <string_view>

#include "session/CurveModel.h"

namespace bendwise {

struct SwitchInfo {
    const char* name;  // "left", "acres", "packed"
    int controlId;     // IDC_LEFT, IDC_ACRES, IDC_PACKED_DMS (frontend/CurveControls.h)
    bool (*isOn)(const CCurveModel& model);
    void (CCurveModel::*click)(bool checked);  // the check-box handler
};

const std::array<SwitchInfo, 3>& Switches();
// The row of a switch name, or null.
const SwitchInfo* FindSwitch(std::string_view name);

// Puts the box in state `on`, clicking it only when it differs (as a person would).
void SetSwitch(CCurveModel& model, const SwitchInfo& box, bool on);

}  // namespace bendwise
