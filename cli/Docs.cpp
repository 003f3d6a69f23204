// bendwise-cli-docs: writes bendwise-cli's documentation from the option table at build time
// (frontend/CliOptions.h), so that the manual page and the completion cannot drift from
// the program:
//   bendwise-cli-docs help                   --help, for packaging/help-to-man.awk
//   bendwise-cli-docs version                --version
//   bendwise-cli-docs completion TEMPLATE    TEMPLATE with @FIELDS@, @SWITCHES@, @OPTIONS@,
//                                            @FILE_OPTIONS@, @VALUE_OPTIONS@ and @CHOICES@
//                                            replaced by the word lists
// Not installed.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>

#include "bendwise/Version.h"
#include "frontend/CliOptions.h"

int main(int argc, char** argv) {
    using bendwise::CompletionWords;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (argc == 2 && mode == "help") {
        std::cout << bendwise::CliHelpText();
    } else if (argc == 2 && mode == "version") {
        std::cout << "bendwise-cli " << bendwise::kVersion << "\n";
    } else if (argc == 3 && mode == "completion") {
        std::ifstream in(argv[2]);
        std::stringstream read;
        read << in.rdbuf();
        if (!in) {
            std::fprintf(stderr, "bendwise-cli-docs: cannot read %s\n", argv[2]);
            return 1;
        }
        std::string text = read.str();
        const CompletionWords words = bendwise::CliCompletionWords();
        const std::pair<const char*, const std::string*> fills[] = {
            {"@FIELDS@", &words.fields},
            {"@SWITCHES@", &words.switches},
            {"@OPTIONS@", &words.options},
            {"@FILE_OPTIONS@", &words.fileOptions},
            {"@VALUE_OPTIONS@", &words.valueOptions},
            {"@CHOICES@", &words.choices},
        };
        for (const auto& [mark, value] : fills) {
            const std::size_t at = text.find(mark);
            if (at == std::string::npos) {
                std::fprintf(stderr, "bendwise-cli-docs: %s has no %s\n", argv[2], mark);
                return 1;
            }
            text.replace(at, std::string(mark).size(), *value);
        }
        std::cout << text;
    } else {
        std::fputs("usage: bendwise-cli-docs help | version | completion TEMPLATE\n", stderr);
        return 2;
    }
    return std::cout.flush() ? 0 : 1;
}
