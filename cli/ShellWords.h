// Splitting one line of a batch file into words, the way a POSIX shell splits a command
// line before it runs it, without any of the shell's expansions or operators.
//
// Legal lines and the words they give (each word in <>):
//   radius=1000 delta=30            <radius=1000> <delta=30>
//   inbound-az='N 45 30 15 E'       <inbound-az=N 45 30 15 E>
//   delta="12 30 15"  larc=100      <delta=12 30 15> <larc=100>
//   delta=12\ 30\ 15                <delta=12 30 15>        (backslash quotes one character)
//   delta="45 30' 15\""             <delta=45 30' 15">      (\" \\ \$ \` inside "..." only)
//   delta="a\b"                     <delta=a\b>             (other backslashes in "..." stay)
//   radius=                         <radius=>               (an empty text is a word part)
//   ''                              <>                      (an empty quoted word is a word)
//   larc=100 # a note               <larc=100>              (# starting a word: comment)
//   larc=1#2                        <larc=1#2>              (# inside a word is a character)
//   blank or empty line, # comment  no words
// Illegal lines (the function returns false and says why):
//   delta='12 30                    "unterminated single quote"
//   delta="12 30                    "unterminated double quote"
//   larc=100\                       "backslash at end of line"
// Word separators are blank, tab and line feed. A backslash before a line feed (outside
// single quotes) removes both, as a shell's line continuation does. Nothing else is
// special: ; | & < > ( ) $ ` * ? ~ are ordinary characters here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bendwise {

// Splits `line` into `words` (replacing what the vector held; its strings are reused to
// save allocations). Returns true on success. On a malformed line returns false, sets
// `error` to a short reason and leaves `words` unspecified.
bool SplitShellWords(std::string_view line, std::vector<std::string>& words, std::string& error);

}  // namespace bendwise
