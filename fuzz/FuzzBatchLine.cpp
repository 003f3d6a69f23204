// Batch-line splitting: SplitShellWords on any line.
//
// Checked: a refused line gives a reason; the words of an accepted line, each quoted the
// safest way a shell knows (in single quotes, a quote itself written '\''), joined by
// blanks and split again, give the same words; a line of plain characters (no quote,
// backslash or '#') splits exactly at blanks, tabs and line feeds.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/ShellWords.h"

namespace {

using namespace bendwise;

[[noreturn]] void Fail(const char* what, const std::string& line) {
    std::fprintf(stderr, "batch-line invariant failed: %s on \"%s\"\n", what, line.c_str());
    std::abort();
}

std::string Quote(const std::string& word) {
    std::string out = "'";
    for (char c : word) {
        if (c == '\'') {
            out += "'\\''";
        } else {
            out += c;
        }
    }
    return out + "'";
}

bool IsPlain(const std::string& line) {
    for (char c : line) {
        if (c == '\'' || c == '"' || c == '\\' || c == '#') return false;
    }
    return true;
}

std::vector<std::string> SplitAtBlanks(const std::string& line) {
    std::vector<std::string> out;
    std::string word;
    bool inWord = false;
    for (char c : line) {
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) out.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) out.push_back(word);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1024) return 0;
    const std::string line(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> words;
    std::string error;
    if (!SplitShellWords(line, words, error)) {
        if (error.empty()) Fail("refused without a reason", line);
        return 0;
    }
    if (IsPlain(line) && words != SplitAtBlanks(line)) Fail("plain line split differently", line);

    std::string requoted;
    for (const std::string& word : words) {
        if (!requoted.empty()) requoted += ' ';
        requoted += Quote(word);
    }
    std::vector<std::string> again;
    if (!SplitShellWords(requoted, again, error)) Fail("re-quoted line refused", line);
    if (again != words) Fail("re-quoted words differ", line);
    return 0;
}
