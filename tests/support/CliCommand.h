// The bendwise-cli the end-to-end tests run: the one built with them, or the command in
// BENDWISE_CLI_COMMAND, split at blanks ("node /path/build-web/bendwise-cli.mjs" runs the
// same tests against the WebAssembly build).
#pragma once

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace bendwise::test {

inline std::vector<std::string> CliCommand() {
    const char* command = std::getenv("BENDWISE_CLI_COMMAND");
    if (command == nullptr || *command == '\0') return {BENDWISE_CLI};
    std::vector<std::string> words;
    std::istringstream in(command);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// False when the bendwise-cli under test was built without an XML writer and refuses
// --landxml (the WebAssembly build); its runner sets BENDWISE_CLI_WITHOUT_LANDXML.
inline bool CliWritesLandXml() {
    const char* without = std::getenv("BENDWISE_CLI_WITHOUT_LANDXML");
    return without == nullptr || *without == '\0';
}

// False when the bendwise-cli under test refuses --append because it cannot lock a file (the
// WebAssembly build on Node); its runner sets BENDWISE_CLI_WITHOUT_APPEND.
inline bool CliAppends() {
    const char* without = std::getenv("BENDWISE_CLI_WITHOUT_APPEND");
    return without == nullptr || *without == '\0';
}

// What such a build says to --append, after "bendwise-cli: ".
constexpr const char* kAppendRefused =
    "--append needs a file lock, which this build cannot take; use --output, or the native "
    "bendwise-cli\n";

}  // namespace bendwise::test
