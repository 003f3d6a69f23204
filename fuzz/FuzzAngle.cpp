// Angle entry: ReadAngleText with the packed option on and off, ParseAngle on the raw
// bytes (also past its 79-character limit) and NextToken with separator sets of the
// input's own choosing.
//
// Checked: a text accepted by ReadAngleText gives a finite angle; a refused one leaves the
// angle untouched; upper-casing the text changes nothing; ParseAngle refuses every text over 79
// characters without touching it; NextToken's words are non-empty, hold no separator, come in order
// from the text and together hold every non-separator character of it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "text/AngleText.h"

namespace {

using namespace bendwise;

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "angle invariant failed: %s\n", what);
    std::abort();
}

// A sentinel no parse can produce: not a number with a payload, compared by bits.
double Sentinel() {
    std::uint64_t bits = 0x7FF8DEADBEEF0001ull;
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

bool IsSentinel(double d) {
    double s = Sentinel();
    return std::memcmp(&d, &s, sizeof d) == 0;
}

void CheckReadAngleText(const std::string& text, bool packed) {
    double angle = Sentinel();
    const AngleRead result = ReadAngleText(text, packed, angle);
    if (result == AngleRead::Ok) {
        if (!std::isfinite(angle)) Fail("accepted angle is not finite");
    } else if (!IsSentinel(angle)) {
        Fail("refused text changed the angle");
    }
    // Letter case never matters: the parser upper-cases, and 'e' and 'E' both start an
    // exponent.
    std::string upper = text;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    double upperAngle = Sentinel();
    if (ReadAngleText(upper, packed, upperAngle) != result ||
        std::memcmp(&upperAngle, &angle, sizeof angle) != 0) {
        Fail("upper-cased text reads differently");
    }
}

void CheckParseAngle(const std::uint8_t* data, std::size_t size) {
    std::vector<char> buffer(data, data + size);
    buffer.push_back('\0');
    const std::size_t length = std::strlen(buffer.data());
    double angle = Sentinel();
    const int rc = ParseAngle(angle, buffer.data());
    if (rc != 0 && rc != 2) Fail("ParseAngle returned neither 0 nor 2");
    if (rc == 2 && !IsSentinel(angle)) Fail("ParseAngle failed but changed the angle");
    if (length > kMaxAngleText && rc != 2) Fail("ParseAngle took a text over 79 characters");
}

void CheckNextToken(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return;
    // The first byte chooses the separators: bits pick from a set of candidates.
    static const char kCandidates[] = "-,; \t\n\r.";
    std::string separators;
    for (int b = 0; b < 8; ++b) {
        if (data[0] & (1 << b)) separators.push_back(kCandidates[b]);
    }
    std::string typed(reinterpret_cast<const char*>(data + 1), size - 1);
    typed = typed.substr(0, std::strlen(typed.c_str()));  // C text: up to a NUL
    std::vector<char> buffer(typed.begin(), typed.end());
    buffer.push_back('\0');

    auto isSeparator = [&](char c) { return separators.find(c) != std::string::npos; };
    std::string joined;
    for (char c : typed) {
        if (!isSeparator(c)) joined.push_back(c);
    }

    std::string words;
    char* position = nullptr;
    const char* last = nullptr;
    for (char* word = NextToken(buffer.data(), separators.c_str(), position); word != nullptr;
         word = NextToken(nullptr, separators.c_str(), position)) {
        if (word < buffer.data() || word >= buffer.data() + buffer.size())
            Fail("word outside text");
        if (last != nullptr && word <= last) Fail("words out of order");
        if (*word == '\0') Fail("empty word");
        for (const char* c = word; *c != '\0'; ++c) {
            if (isSeparator(*c)) Fail("separator inside a word");
        }
        words += word;
        last = word;
    }
    if (position != nullptr) Fail("position not null after the last word");
    if (NextToken(nullptr, separators.c_str(), position) != nullptr) Fail("word after the end");
    if (words != joined) Fail("words lost or added characters");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReadAngleText(text, true);
    CheckReadAngleText(text, false);
    CheckParseAngle(data, size);
    CheckNextToken(data, size);
    return 0;
}
