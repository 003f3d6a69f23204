// Number entry: ReadDecimalPrefix and ReadWholeNumber against a reference.
//
// The reference scans the decimal grammar itself (white space, sign, digits with one
// optional point and at least one digit, optional exponent with at least one digit) and
// hands exactly that prefix to strtod, which on a pure decimal text is the correctly
// rounded conversion (overflow to an infinity of the sign, underflow towards zero).
// Checked: the same length, the same double bit for bit, never a hexadecimal, infinity or
// not-a-number reading. The display forms are cross-checked against printf as well.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "text/NumberText.h"

namespace {

using namespace bendwise;

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "number invariant failed: %s on \"%s\"\n", what, text.c_str());
    std::abort();
}

bool White(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest decimal number at the start of `t`, 0 when there is none.
std::size_t ReferenceLength(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && White(t[i])) ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && Digit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && Digit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        if (j < t.size() && Digit(t[j])) {
            while (j < t.size() && Digit(t[j])) ++j;
            i = j;
        }
    }
    return i;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

void CheckFormats(double value) {
    char buf[1024];
    std::string text;
    // Fixed form: "%15.3f" with the leading blanks removed.
    std::snprintf(buf, sizeof buf, "%15.3f", value);
    std::string expected = buf;
    TrimLeft(expected);
    FormatFixed(value, text);
    if (text != expected) Fail("FormatFixed differs from printf", text + " vs " + expected);
    FormatLength(value, text);
    if (value >= 100000.0) {
        // "%15.7e" with a three-digit exponent.
        std::snprintf(buf, sizeof buf, "%15.7e", value);
        expected = buf;
        TrimLeft(expected);
        const std::size_t e = expected.find('e');
        if (e != std::string::npos && expected.size() - e == 4) expected.insert(e + 2, 1, '0');
    }
    if (text != expected) Fail("FormatLength differs from printf", text + " vs " + expected);
    if (std::isfinite(value) && std::fabs(value) < 1e15) {
        FormatDms(value, text);
        if (text.find("nan") != std::string::npos || text.find("inf") != std::string::npos) {
            Fail("FormatDms shows a non-finite number", text);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);

    double value = 1.0;
    const std::size_t used = ReadDecimalPrefix(text, value);
    const std::size_t expectedLength = ReferenceLength(text);
    if (used != expectedLength) Fail("prefix length differs from the decimal grammar", text);
    if (used == 0) {
        if (!SameBits(value, 0.0)) Fail("no number but value is not +0", text);
    } else {
        const std::string prefix = text.substr(0, used);
        const double reference = std::strtod(prefix.c_str(), nullptr);
        if (!SameBits(value, reference)) Fail("value differs from strtod", text);
    }
    if (std::isnan(value)) Fail("read a not-a-number", text);
    // A whole number is exactly a prefix that, white space aside, leaves nothing over.
    double whole = 1.0;
    std::size_t end = text.size();
    while (end > used && std::strchr(" \t\n\v\f\r", text[end - 1]) != nullptr &&
           text[end - 1] != '\0')
        --end;
    const bool isWhole = used != 0 && end == used;
    if (ReadWholeNumber(text, whole) != isWhole) Fail("ReadWholeNumber takes another text", text);
    if (!SameBits(whole, isWhole ? value : 0.0)) Fail("ReadWholeNumber's value differs", text);

    CheckFormats(value);
    // Any double at all, NaN and infinities included, straight from the bytes.
    if (size >= 8) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        CheckFormats(raw);
    }
    return 0;
}
