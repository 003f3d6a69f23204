#include "text/AngleText.h"

#include <cmath>
#include <cstring>
#include <string_view>
#include <vector>

#include "text/NumberText.h"
#include "text/Utf8.h"

namespace bendwise {
namespace {

// Word separators. Two '-' in the first word switch to the extended set so that 12-30-15
// splits at the dashes; one '-' is a sign and stays inside the word.
constexpr const char* kBasicSeparators = ",; \t\n\r";
constexpr const char* kExtendedSeparators = "-,; \t\n\r";

bool IsSeparator(char c, const char* separators) {
    return c != '\0' && std::strchr(separators, c) != nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

char* NextToken(char* text, const char* separators, char*& position) {
    if (text != nullptr) position = text;
    if (position == nullptr) return nullptr;
    char* p = position;
    while (IsSeparator(*p, separators)) ++p;
    if (*p == '\0') {
        position = nullptr;
        return nullptr;
    }
    char* word = p;
    while (*p != '\0' && !IsSeparator(*p, separators)) ++p;
    if (*p == '\0') {
        position = nullptr;
    } else {
        *p = '\0';
        position = p + 1;
    }
    return word;
}

AngleRead ParseAngleText(double& angle, char* text, bool packed, std::string* why) {
    auto refuse = [why](AngleRead read, std::string reason) {
        if (why != nullptr) *why = std::move(reason);
        return read;
    };
    constexpr AngleRead kBad = AngleRead::NotInterpreted;
    if (std::strlen(text) > kMaxAngleText) return refuse(kBad, "longer than 79 characters");

    // The words as typed, for the reasons: upper-casing moves no character.
    const std::string typed = text;
    auto quoted = [&](const char* word) {
        return '"' + typed.substr(static_cast<std::size_t>(word - text), std::strlen(word)) + '"';
    };

    int sign = 1;
    bool bearing = false;
    double degrees = 0.0;  // accumulator: a bearing from S starts at 180
    const char* separators = kBasicSeparators;

    char* rest = text;
    while (IsSeparator(*rest, kBasicSeparators)) ++rest;
    for (char* c = rest; *c != '\0'; ++c) {
        if (*c >= 'a' && *c <= 'z') *c = static_cast<char>(*c - 'a' + 'A');
    }
    if (*rest == 'N' || *rest == 'S') {
        bearing = true;
        if (*rest == 'S') {
            sign = -sign;
            degrees = 180.0;
        }
        ++rest;
    }

    // Count the minus signs of the first word on a copy, leaving the text whole. One is a
    // sign; two are separators (12-30-15); the '-' of an exponent (1E-5) is neither.
    char copy[kMaxAngleText + 1];
    std::strcpy(copy, rest);
    char* position = nullptr;
    const char* first = NextToken(copy, kBasicSeparators, position);
    if (first == nullptr) return refuse(kBad, bearing ? "no angle after the N or S" : "no angle");
    int minusSigns = 0;
    for (const char* c = first; *c != '\0'; ++c) {
        const bool exponent =
            c > first && c[-1] == 'E' && c - 1 > first && (IsDigit(c[-2]) || c[-2] == '.');
        minusSigns += *c == '-' && !exponent;
    }
    if (minusSigns == 1) {
        sign = -sign;
    } else if (minusSigns == 2) {
        separators = kExtendedSeparators;  // two signs cancel: they are separators
    } else if (minusSigns >= 3) {
        return refuse(kBad, "three or more '-' in the first word");
    }

    // Degrees, minutes and seconds, then for a bearing its letter; nothing more.
    constexpr int kMaxWords = 5;
    char* words[kMaxWords];
    int count = 0;
    for (char* word = NextToken(rest, separators, position); word != nullptr;
         word = NextToken(nullptr, separators, position)) {
        if (count == kMaxWords) return refuse(kBad, "more words than an angle has");
        words[count++] = word;
    }
    if (count == 0) return refuse(kBad, "no angle");
    if (bearing) {
        char* last = words[count - 1];
        const std::size_t length = std::strlen(last);
        char letter = '\0';
        if (std::strcmp(last, "E") == 0 || std::strcmp(last, "EAST") == 0 ||
            std::strcmp(last, "W") == 0 || std::strcmp(last, "WEST") == 0) {
            letter = last[0];
            --count;
        } else if (length > 1 && (last[length - 1] == 'E' || last[length - 1] == 'W')) {
            letter = last[length - 1];
            last[length - 1] = '\0';
        } else {
            return refuse(kBad, "a bearing from N or S ends in E or W");
        }
        if (count == 0) return refuse(kBad, "no angle between the bearing letters");
        if (letter == 'W') sign = -sign;
    }
    if (count > 3) return refuse(kBad, "more than degrees, minutes and seconds");

    // Packed DDD.MMSSs: a lone number with a point holds degrees, minutes and seconds.
    std::string packedWords[3];
    if (packed && count == 1 && separators == kBasicSeparators &&
        std::strchr(words[0], '.') != nullptr) {
        const std::string number = words[0];
        const std::size_t point = number.find('.');
        if (number.size() - point < 5) {
            return refuse(AngleRead::NotPacked,
                          "packed DD.MMSS needs four digits after the point; clear \"Take "
                          "packed\" for decimal degrees");
        }
        std::string degreesPart = number.substr(0, point);
        // Our rule: nothing before the point (or only a sign) means 0 degrees, so .3456
        // is 0 deg 34 min 56 sec rather than 34 deg 56 min.
        if (degreesPart.empty() || degreesPart == "-" || degreesPart == "+") degreesPart += '0';
        packedWords[0] = degreesPart;
        packedWords[1] = number.substr(point + 1, 2);
        packedWords[2] = number.substr(point + 3, 2) + '.' + number.substr(point + 5);
    }

    double values[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < 3 && (i < count || !packedWords[0].empty()); ++i) {
        const std::string_view word =
            packedWords[0].empty() ? std::string_view(words[i]) : std::string_view(packedWords[i]);
        if (word.empty() || ReadDecimalPrefix(word, values[i]) != word.size()) {
            return refuse(
                kBad, (packedWords[0].empty() ? quoted(words[i]) : '"' + std::string(word) + '"') +
                          " is not a number");
        }
    }
    degrees += std::fabs(values[0]);
    const double minutes = values[1];
    const double seconds = values[2];

    double result = sign * ((minutes / 60 + degrees) + seconds / 3600);
    if (!std::isfinite(result)) return refuse(kBad, "too large for an angle");
    // One wrap in each direction only: -400 gives -40 and 800 gives 440.
    if (result < 0) result = result + 360;
    if (result > 360) result = result - 360;
    angle = result;
    return AngleRead::Ok;
}

int ParseAngle(double& angle, char* text) {
    return ParseAngleText(angle, text, false, nullptr) == AngleRead::Ok ? 0 : 2;
}

namespace {

// The marks typed or pasted around the numbers, as UTF-8 sequences: each ends a word.
constexpr const char* kMarks[] = {
    "\xC2\xB0",      // degree sign
    "\xC2\xBA",      // masculine ordinal, typed for the degree sign on many keyboards
    "\xE2\x80\xB2",  // prime (minutes)
    "\xE2\x80\xB3",  // double prime (seconds)
    "\xE2\x80\x99",  // right single quotation mark, what editors make of an apostrophe
    "\xE2\x80\x9D",  // right double quotation mark
};

}  // namespace

AngleRead ReadAngleText(std::string text, bool packed, double& angle, std::string* why) {
    TrimLeft(text);
    TrimRight(text);
    if (text.find(',') != std::string::npos) {
        if (why != nullptr) {
            *why =
                "a comma is not read in an angle (use a point for decimals, blanks between "
                "degrees, minutes and seconds)";
        }
        return AngleRead::NotInterpreted;
    }

    // The marks end a word instead of vanishing: 45°30'15" is 45 30 15, not 453015.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, i);
        const std::string_view character(text.data() + i, length);
        bool mark = false;
        if (length == 1) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            mark = c == '"' || c == '\'' || c == 0xB0 || c == 0xBA;  // Latin-1 degree, ordinal
        } else {
            for (const char* m : kMarks) mark = mark || character == m;
        }
        if (mark) {
            cleaned.push_back(' ');
        } else {
            cleaned.append(character);
        }
        i += length;
    }
    TrimRight(cleaned);

    std::vector<char> buffer(cleaned.begin(), cleaned.end());
    buffer.push_back('\0');
    double parsed = 0.0;
    const AngleRead read = ParseAngleText(parsed, buffer.data(), packed, why);
    if (read == AngleRead::Ok) angle = parsed;
    return read;
}

}  // namespace bendwise
