// The table of typed entries in tests/cli/data/entry_forms.tsv: what each typed text shows,
// and what the message box and the status line say, for the engine, bendwise-cli (native
// and on Node) and the window to check against the same rows.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace bendwise::test {

struct EntryForm {
    std::string before;  // one entry typed first, FIELD=TEXT, or empty
    std::string field;   // the field's command-line name
    bool packed = false;
    std::string typed;
    std::string shown;    // the field's text afterwards
    std::string message;  // the last message box, or empty
    std::string reason;   // the status line's reason, or empty
};

inline std::vector<EntryForm> ReadEntryForms(const std::string& path) {
    std::vector<EntryForm> rows;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            cells.push_back(line.substr(start, tab - start));
        cells.push_back(line.substr(start));
        if (cells.size() != 7) continue;  // a malformed row shows up as a short table
        rows.push_back(
            {cells[0], cells[1], cells[2] == "on", cells[3], cells[4], cells[5], cells[6]});
    }
    return rows;
}

}  // namespace bendwise::test
