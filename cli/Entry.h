// One ENTRY of the command line or a batch line: FIELD=TEXT or SWITCH=on|off.
#pragma once

#include <string>
#include <string_view>

#include "frontend/Switches.h"
#include "solver/Curve.h"

namespace bendwise::cli {

// One parsed ENTRY: text typed into a field, or a check box set on or off.
struct Entry {
    const SwitchInfo* box = nullptr;  // a check box (frontend/Switches.h), else a field
    Field field = Field::Radius;
    bool on = false;
    std::string text;
};

// Parses FIELD=TEXT, left=on|off, acres=on|off or packed=on|off into `entry` (reusing its
// text's storage). On failure sets `reason` and returns false.
bool ParseEntry(std::string_view word, Entry& entry, std::string& reason);

}  // namespace bendwise::cli
