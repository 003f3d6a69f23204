#include "frontend/Switches.h"

#include "frontend/CurveControls.h"

namespace bendwise {
namespace {

const std::array<SwitchInfo, 3> kSwitches = {{
    {"left", IDC_LEFT, [](const CCurveModel& m) { return m.Record().m_left != 0; },
     &CCurveModel::OnLeft},
    {"acres", IDC_ACRES, [](const CCurveModel& m) { return m.Memory().m_acres != 0; },
     &CCurveModel::OnAcres},
    {"packed", IDC_PACKED_DMS, [](const CCurveModel& m) { return m.Record().m_packedDms != 0; },
     &CCurveModel::OnPackedDms},
}};

}  // namespace

const std::array<SwitchInfo, 3>& Switches() {
    return kSwitches;
}

const SwitchInfo* FindSwitch(std::string_view name) {
    for (const SwitchInfo& box : kSwitches) {
        if (name == box.name) return &box;
    }
    return nullptr;
}

void SetSwitch(CCurveModel& model, const SwitchInfo& box, bool on) {
    if (box.isOn(model) != on) (model.*box.click)(on);
}

}  // namespace bendwise
