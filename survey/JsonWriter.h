// A small JSON writer for one line of output: objects, arrays, strings and numbers, with
// the commas placed by the writer.
//
// Numbers are written with 17 significant digits, enough to read back the same double
// ("%.17g" in the C locale, whatever the process locale): 523.59877559829874, 1000,
// 1e-25, 0.10000000000000001. JSON has no infinity or not-a-number: those are written null.
// Strings are UTF-8 as given, with '"', '\\' and control characters escaped; a byte that
// is not part of well-formed UTF-8 is written as \ufffd, so the output is always valid.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bendwise {

// The JSON text of a number as described above.
std::string JsonNumber(double value);

// The JSON text of a string, quotes included.
std::string JsonString(std::string_view text);

// True when `text` is well-formed UTF-8: no stray continuation byte, no truncated,
// overlong or surrogate sequence, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

class JsonWriter {
  public:
    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next member; call inside an object before every value.
    void Key(std::string_view key);
    void String(std::string_view text);
    void Number(double value);
    void Bool(bool value);
    void Null();

    const std::string& Text() const { return m_text; }

  private:
    void BeforeValue();

    std::string m_text;
    std::vector<bool> m_first;  // per open container: no member written yet
    bool m_afterKey = false;
};

}  // namespace bendwise
