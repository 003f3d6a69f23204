#include "text/AngleText.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "text/NumberText.h"

namespace bendwise {
namespace {

// Word separators. Two '-' in the first word switch to the extended set so that 12-30-15
// splits at the dashes; one '-' is a sign and stays inside the word.
constexpr const char* kBasicSeparators = ",; \t\n\r";
constexpr const char* kExtendedSeparators = "-,; \t\n\r";

bool IsSeparator(char c, const char* separators) {
    return c != '\0' && std::strchr(separators, c) != nullptr;
}

// A number at the start of a word, as "%lf" reads it: decimal forms only, the rest of the
// word ignored ("12ABC" is 12, "0X10" is 0, "INF" is no number).
bool ReadWordNumber(const char* word, double& value) {
    return ReadDecimalPrefix(word, value) != 0;
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

int ParseAngle(double& angle, char* text) {
    constexpr int kFailure = 2;
    if (std::strlen(text) > kMaxAngleText) return kFailure;

    int sign = 1;
    bool bearing = false;
    double degrees = 0.0;  // accumulator: a bearing from S starts at 180
    double minutes = 0.0;
    double seconds = 0.0;
    char letter = '\0';
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

    // Count the minus signs of the first word on a copy, leaving the text whole.
    char copy[kMaxAngleText + 1];
    std::strcpy(copy, rest);
    char* position = nullptr;
    const char* first = NextToken(copy, kBasicSeparators, position);
    if (first == nullptr) return kFailure;
    int minusSigns = 0;
    for (const char* c = first; *c != '\0'; ++c) minusSigns += *c == '-';
    if (minusSigns == 1) {
        sign = -sign;
    } else if (minusSigns == 2) {
        separators = kExtendedSeparators;  // two signs cancel: they are separators
    } else if (minusSigns >= 3) {
        return kFailure;
    }

    char* word = NextToken(rest, separators, position);
    double value = 0.0;
    if (word == nullptr || !ReadWordNumber(word, value)) return kFailure;
    degrees += std::fabs(value);

    bool haveSeconds = false;
    word = NextToken(nullptr, separators, position);
    if (word != nullptr) {
        if (!ReadWordNumber(word, minutes)) return kFailure;
        word = NextToken(nullptr, separators, position);
        if (word != nullptr) {
            haveSeconds = true;
            if (bearing) {
                std::size_t length = std::strlen(word);
                char last = word[length - 1];
                if (last == 'E' || last == 'W') {
                    letter = last;
                    word[length - 1] = '\0';
                } else {
                    letter = '\0';
                }
            }
            if (!ReadWordNumber(word, seconds)) return kFailure;
        }
    }

    if (bearing) {
        if (!haveSeconds) return kFailure;
        if (letter == '\0') {
            const char* next = NextToken(nullptr, separators, position);
            if (next == nullptr) return kFailure;
            letter = next[0];
        }
        if (letter == 'W') {
            sign = -sign;
        } else if (letter != 'E') {
            return kFailure;
        }
    }

    double result = sign * ((minutes / 60 + degrees) + seconds / 3600);
    // One wrap in each direction only: -400 gives -40 and 800 gives 440.
    if (result < 0) result = result + 360;
    if (result > 360) result = result - 360;
    angle = result;
    return 0;
}

AngleRead ReadAngleText(std::string text, bool packed, double& angle) {
    TrimLeft(text);
    TrimRight(text);

    // Delete the marks people type or paste around the numbers: 45°30'15" becomes 453015.
    std::string cleaned;
    cleaned.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xB0) {
            ++i;  // the degree sign in UTF-8
            continue;
        }
        if (c == 0xB0 || c == ',' || c == '"' || c == '\'') continue;
        cleaned.push_back(text[i]);
    }

    std::size_t point = cleaned.find('.');
    if (packed && point != std::string::npos && cleaned.find(' ') == std::string::npos &&
        cleaned.find('-', 1) == std::string::npos) {
        if (cleaned.size() - point < 5) return AngleRead::NotPacked;
        std::string degreesPart = cleaned.substr(0, point);
        // Our rule: nothing before the point (or only a sign) means 0 degrees, so .3456
        // is 0 deg 34 min 56 sec rather than 34 deg 56 min.
        if (degreesPart.empty() || degreesPart == "-") degreesPart += '0';
        cleaned = degreesPart + ' ' + cleaned.substr(point + 1, 2) + ' ' +
                  cleaned.substr(point + 3, 2) + '.' + cleaned.substr(point + 5);
    }
    TrimRight(cleaned);

    std::vector<char> buffer(cleaned.begin(), cleaned.end());
    buffer.push_back('\0');
    double parsed = 0.0;
    if (ParseAngle(parsed, buffer.data()) != 0 || !std::isfinite(parsed)) {
        return AngleRead::NotInterpreted;
    }
    angle = parsed;
    return AngleRead::Ok;
}

}  // namespace bendwise
