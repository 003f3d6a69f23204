#include "cli/Entry.h"

#include <array>

#include "solver/Fields.h"
#include "text/Utf8.h"

namespace bendwise::cli {

// Parses FIELD=TEXT, left=on|off, acres=on|off or packed=on|off into `entry` (reusing its
// text's storage). On failure sets `reason` and returns false.
bool ParseEntry(std::string_view word, Entry& entry, std::string& reason) {
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        reason.assign("malformed entry '").append(word).append("' (expected FIELD=TEXT)");
        return false;
    }
    const std::string_view name = word.substr(0, equals);
    const std::string_view value = word.substr(equals + 1);

    // The field names measured once: a batch looks up every entry.
    static const std::array<std::string_view, kFieldCount> kFieldNames = [] {
        std::array<std::string_view, kFieldCount> names;
        for (std::size_t i = 0; i < kFieldCount; ++i) names[i] = Fields()[i].name;
        return names;
    }();
    if (const SwitchInfo* box = FindSwitch(name)) {
        if (value != "on" && value != "off") {
            reason.assign("'")
                .append(name)
                .append("' takes on or off, not '")
                .append(value)
                .append("'");
            return false;
        }
        entry.box = box;
        entry.on = value == "on";
        return true;
    }

    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (name != kFieldNames[i]) continue;
        const FieldInfo& info = Fields()[i];
        if (!IsEntryField(info.field)) {
            reason.assign("field '").append(name).append("' is a result and takes no entry");
            return false;
        }
        const std::size_t characters = Utf8Characters(value);
        if (characters > static_cast<std::size_t>(kFieldCharacters)) {
            reason.assign("text for '")
                .append(name)
                .append("' has ")
                .append(std::to_string(characters))
                .append(" characters; a field holds ")
                .append(std::to_string(kFieldCharacters));
            return false;
        }
        entry.box = nullptr;
        entry.field = info.field;
        entry.text.assign(value);
        return true;
    }
    reason.assign("unknown field '").append(name).append("'");
    return false;
}

}  // namespace bendwise::cli
