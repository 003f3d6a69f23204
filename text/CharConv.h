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
