// Floating-point std::to_chars and std::from_chars on every toolchain Bendwise builds with.
//
// libstdc++ (the native builds) has the C++17 floating-point overloads; the libc++ of
// Debian's emscripten (the web edition) has only the integer ones. There the C library does
// the same work in the C locale, the only locale a WebAssembly program has: printf's %.*f,
// %.*e and %.*g convert the exact binary value and round it as to_chars with a precision
// does, and strtod is correctly rounded. The web edition's output corpus, compared byte
// for byte with the native build's, holds both ways to the same characters.
#pragma once

#include <charconv>
#include <system_error>

#if defined(__EMSCRIPTEN__)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#endif

namespace bendwise {

// std::to_chars(first, last, value, format, precision) for fixed, scientific and general.
inline std::to_chars_result ToChars(char* first, char* last, double value, std::chars_format format,
                                    int precision) {
#if defined(__EMSCRIPTEN__)
    const char* pattern = format == std::chars_format::fixed        ? "%.*f"
                          : format == std::chars_format::scientific ? "%.*e"
                                                                    : "%.*g";
    const auto room = static_cast<std::size_t>(last - first);
    const int written = std::snprintf(first, room, pattern, precision, value);
    // snprintf also needs room for its terminating NUL, so it may refuse one character
    // sooner than to_chars would; every caller's buffer is far larger than its numbers.
    if (written < 0 || static_cast<std::size_t>(written) >= room) {
        return {last, std::errc::value_too_large};
    }
    return {first + written, std::errc{}};
#else
    return std::to_chars(first, last, value, format, precision);
#endif
}

// std::to_chars(first, last, value): the shortest digits that read back as `value`, written
// fixed or in scientific notation (e+NN), whichever is shorter, fixed on a tie.
// Under emscripten the digits are those of the first %.*e precision that reads back: the
// correctly rounded shortest digits, which is what to_chars gives but where a shorter
// string that is not the nearest also reads back (near a power of two), then it is longer.
// A whole number written fixed has its exact digits, as libstdc++ writes it.
inline std::to_chars_result ToChars(char* first, char* last, double value) {
#if defined(__EMSCRIPTEN__)
    if (!std::isfinite(value)) return ToChars(first, last, value, std::chars_format::general, 6);
    char sci[40];
    int precision = 0;
    for (; precision < 17; ++precision) {
        std::snprintf(sci, sizeof sci, "%.*e", precision, value);
        if (std::strtod(sci, nullptr) == value) break;
    }
    std::snprintf(sci, sizeof sci, "%.*e", precision, value);
    // sci is [-]d[.ddd]e(+|-)XX: take its digits and exponent.
    std::string text(sci);
    const std::size_t e = text.find('e');
    const bool negative = text[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
        if (text[i] != '.') digits.push_back(text[i]);
    }
    const int exponent = std::atoi(text.c_str() + e + 1);
    // The fixed form of the same digits.
    std::string fixed = negative ? "-" : "";
    const int count = static_cast<int>(digits.size());
    if (exponent < 0) {
        fixed.append("0.").append(static_cast<std::size_t>(-exponent - 1), '0').append(digits);
    } else if (exponent + 1 >= count) {
        // A whole number: libstdc++ writes its exact digits (408280983829884224, not the
        // shortest digits padded with zeros, 408280983829884200), as %.0f does.
        char whole[320];
        std::snprintf(whole, sizeof whole, "%.0f", value);
        fixed = whole;
    } else {
        fixed.append(digits, 0, static_cast<std::size_t>(exponent + 1))
            .append(".")
            .append(digits, static_cast<std::size_t>(exponent + 1), std::string::npos);
    }
    const std::string& chosen = fixed.size() <= text.size() ? fixed : text;
    if (chosen.size() > static_cast<std::size_t>(last - first)) {
        return {last, std::errc::value_too_large};
    }
    std::copy(chosen.begin(), chosen.end(), first);
    return {first + chosen.size(), std::errc{}};
#else
    return std::to_chars(first, last, value);
#endif
}

// std::from_chars(first, last, value, std::chars_format::general): on overflow, and on
// underflow to zero of a nonzero number, result_out_of_range with `value` unchanged.
inline std::from_chars_result FromChars(const char* first, const char* last, double& value) {
#if defined(__EMSCRIPTEN__)
    const std::string text(first, last);  // strtod needs the terminating NUL
    char* end = nullptr;
    const double read = std::strtod(text.c_str(), &end);
    const char* const stop = first + (end - text.c_str());
    if (stop == first) return {first, std::errc::invalid_argument};
    bool nonzero = false;
    for (const char* p = first; p != stop && *p != 'e' && *p != 'E'; ++p) {
        nonzero = nonzero || (*p >= '1' && *p <= '9');
    }
    if (std::isinf(read) || (read == 0.0 && nonzero)) {
        return {stop, std::errc::result_out_of_range};
    }
    value = read;
    return {stop, std::errc{}};
#else
    return std::from_chars(first, last, value, std::chars_format::general);
#endif
}

}  // namespace bendwise
