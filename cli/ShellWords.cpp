#include "cli/ShellWords.h"

namespace bendwise {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// Inside double quotes a backslash escapes only these; before anything else it is kept.
bool EscapableInDoubleQuotes(char c) {
    return c == '$' || c == '`' || c == '"' || c == '\\' || c == '\n';
}

}  // namespace

bool SplitShellWords(std::string_view line, std::vector<std::string>& words, std::string& error) {
    std::size_t count = 0;  // words completed so far; words[0..count) are valid
    bool inWord = false;    // a word has started (possibly empty, as '' starts one)
    std::string* word = nullptr;

    auto startWord = [&]() {
        if (inWord) return;
        inWord = true;
        if (count < words.size()) {
            word = &words[count];
            word->clear();
        } else {
            words.emplace_back();
            word = &words.back();
        }
    };
    auto endWord = [&]() {
        if (!inWord) return;
        inWord = false;
        ++count;
    };

    const std::size_t n = line.size();
    std::size_t i = 0;
    while (i < n) {
        const char c = line[i];
        if (IsBlank(c)) {
            endWord();
            ++i;
        } else if (c == '#' && !inWord) {
            break;  // a comment runs to the end of the line
        } else if (c == '\\') {
            if (i + 1 >= n) {
                error = "backslash at end of line";
                return false;
            }
            if (line[i + 1] != '\n') {  // backslash-newline is a line continuation: dropped
                startWord();
                word->push_back(line[i + 1]);
            }
            i += 2;
        } else if (c == '\'') {
            startWord();
            const std::size_t close = line.find('\'', i + 1);
            if (close == std::string_view::npos) {
                error = "unterminated single quote";
                return false;
            }
            word->append(line.data() + i + 1, close - i - 1);
            i = close + 1;
        } else if (c == '"') {
            startWord();
            ++i;
            for (;;) {
                if (i >= n) {
                    error = "unterminated double quote";
                    return false;
                }
                const char d = line[i];
                if (d == '"') {
                    ++i;
                    break;
                }
                if (d == '\\' && i + 1 < n && EscapableInDoubleQuotes(line[i + 1])) {
                    if (line[i + 1] != '\n') word->push_back(line[i + 1]);
                    i += 2;
                } else {
                    word->push_back(d);
                    ++i;
                }
            }
        } else {
            // A run of ordinary characters in one append.
            startWord();
            std::size_t j = i + 1;
            while (j < n && !IsBlank(line[j]) && line[j] != '\\' && line[j] != '\'' &&
                   line[j] != '"') {
                ++j;
            }
            word->append(line.data() + i, j - i);
            i = j;
        }
    }
    endWord();
    words.resize(count);
    return true;
}

}  // namespace bendwise
