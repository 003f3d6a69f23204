// The batch-line splitter: the legal and illegal lines listed in cli/ShellWords.h.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/ShellWords.h"

namespace bendwise {
namespace {

struct SplitCase {
    std::string line;
    std::vector<std::string> words;
};

TEST(ShellWords, SplitsAsAShellDoes) {
    const SplitCase cases[] = {
        {"", {}},
        {"   \t  ", {}},
        {"radius=1000 delta=30", {"radius=1000", "delta=30"}},
        {"  radius=1000\t\tdelta=30  ", {"radius=1000", "delta=30"}},
        {"inbound-az='N 45 30 15 E'", {"inbound-az=N 45 30 15 E"}},
        {"delta=\"12 30 15\"  larc=100", {"delta=12 30 15", "larc=100"}},
        {"delta=12\\ 30\\ 15", {"delta=12 30 15"}},
        // Inside double quotes only \" \\ \$ \` lose their backslash.
        {"delta=\"45 30' 15\\\"\"", {"delta=45 30' 15\""}},
        {"x=\"a\\\\b\\$c\\`d\"", {"x=a\\b$c`d"}},
        {"delta=\"a\\b\"", {"delta=a\\b"}},
        // Inside single quotes nothing is special, not even a backslash.
        {"x='a\\b \"c\"'", {"x=a\\b \"c\""}},
        // Quoted and unquoted parts join into one word.
        {"delta='12 '30\" 15\"", {"delta=12 30 15"}},
        {"radius=", {"radius="}},
        {"''", {""}},
        {"'' \"\"", {"", ""}},
        {"a= ''", {"a=", ""}},
        {"# a comment", {}},
        {"   # indented comment", {}},
        {"larc=100 # a note", {"larc=100"}},
        {"larc=100 #", {"larc=100"}},
        {"larc=1#2", {"larc=1#2"}},
        {"x='#' \\#y", {"x=#", "#y"}},
        // Shell operators and expansions are ordinary characters here.
        {"a=$HOME;b=*|c>d", {"a=$HOME;b=*|c>d"}},
        // A backslash before a line feed is a line continuation.
        {"a=1\\\nb=2", {"a=1b=2"}},
        {"a=\"1\\\n2\"", {"a=12"}},
        {"a=1\nb=2", {"a=1", "b=2"}},
        {"a=\xc2\xb0 b", {"a=\xc2\xb0", "b"}},
    };
    for (const SplitCase& c : cases) {
        std::vector<std::string> words;
        std::string error;
        EXPECT_TRUE(SplitShellWords(c.line, words, error)) << c.line << ": " << error;
        EXPECT_EQ(words, c.words) << c.line;
    }
}

TEST(ShellWords, RefusesUnfinishedLines) {
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"delta='12 30", "unterminated single quote"},
        {"'", "unterminated single quote"},
        {"delta=\"12 30", "unterminated double quote"},
        {"delta=\"12 30\\\"", "unterminated double quote"},
        {"\"abc\\", "unterminated double quote"},
        {"larc=100\\", "backslash at end of line"},
        {"\\", "backslash at end of line"},
        // A comment does not hide a quote that came before it.
        {"a='x # y", "unterminated single quote"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words;
        std::string error;
        EXPECT_FALSE(SplitShellWords(c.line, words, error)) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
    }
}

// The splitter reuses the caller's strings: no character of an earlier, longer line may
// survive into the words of the next one.
TEST(ShellWords, ReusedVectorHoldsOnlyTheNewLine) {
    std::vector<std::string> words;
    std::string error;
    ASSERT_TRUE(SplitShellWords("delta=123456789 larc=100 chord=5", words, error));
    ASSERT_TRUE(SplitShellWords("r=1 ''", words, error));
    EXPECT_EQ(words, (std::vector<std::string>{"r=1", ""}));
    ASSERT_TRUE(SplitShellWords("# nothing", words, error));
    EXPECT_TRUE(words.empty());
}

}  // namespace
}  // namespace bendwise
