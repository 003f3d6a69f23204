#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <system_error>

namespace bendwise {
namespace {

// Longest text any conversion here produces: a fixed-point double of 1.8e308 has 309
// integer digits, plus sign, point and three decimals.
constexpr std::size_t kBufferSize = 512;

// std::to_chars with a precision prints the same digits as glibc's printf with that
// precision (both convert the exact binary value and round to nearest, ties to even), at
// a fraction of the cost. Non-finite values print as printf does: inf, -inf, nan, -nan.
std::size_t PrintFixed(char* buf, double value, int precision) {
    auto result = std::to_chars(buf, buf + kBufferSize, value, std::chars_format::fixed, precision);
    return static_cast<std::size_t>(result.ptr - buf);
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Appends `text` right-aligned in `width` columns (printf's "%Nf" padding).
void AppendPadded(std::string& out, const char* text, std::size_t length, std::size_t width) {
    if (length < width) out.append(width - length, ' ');
    out.append(text, length);
}

}  // namespace

void TrimLeft(std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsWhite(text[start])) ++start;
    text.erase(0, start);
}

void TrimRight(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhite(text[end - 1])) --end;
    text.resize(end);
}

void FormatFixed(double value, std::string& out) {
    char buf[kBufferSize];
    out.assign(buf, PrintFixed(buf, value, 3));
}

void FormatLength(double value, std::string& out) {
    // The exponent form starts at 100000 exactly, tested on the signed value.
    if (!(value >= 100000.0)) {
        FormatFixed(value, out);
        return;
    }
    char buf[kBufferSize];
    auto result = std::to_chars(buf, buf + kBufferSize, value, std::chars_format::scientific, 7);
    out.assign(buf, static_cast<std::size_t>(result.ptr - buf));
    // printf writes at least two exponent digits; the display always shows three.
    std::size_t e = out.find('e');
    if (e != std::string::npos && out.size() - e == 4) out.insert(e + 2, 1, '0');
}

void FormatDms(double degrees, std::string& out) {
    double angle = degrees;
    if (angle < 0) angle = angle + 360;
    // A typed "-0" gives negative zero, which is not below zero and would print as "-0".
    if (angle == 0) angle = 0.0;
    double wholeDegrees = std::floor(angle);
    double minutesFull = (angle - wholeDegrees) * 60;
    double minutes = std::floor(minutesFull);
    double seconds = (minutesFull - minutes) * 60;
    // 59.95 and 59.9 are compared as the doubles nearest to them. The carried seconds lie
    // in (0, 0.05] and so never print as -0.0.
    if (seconds > 59.95) {
        minutes = minutes + 1;
        seconds = (seconds - 60) + 0.05;
    }
    if (minutes > 59.9) {
        wholeDegrees = wholeDegrees + 1;
        minutes = minutes - 60;
    }
    if (wholeDegrees >= 360) wholeDegrees = wholeDegrees - 360;

    // "%4.0f %02.0f%5.1f"
    char buf[kBufferSize];
    out.clear();
    AppendPadded(out, buf, PrintFixed(buf, wholeDegrees, 0), 4);
    out.push_back(' ');
    std::size_t length = PrintFixed(buf, minutes, 0);
    if (length < 2 && IsDigit(buf[0])) out.push_back('0');  // '0' flag: zero padding
    out.append(buf, length);
    AppendPadded(out, buf, PrintFixed(buf, seconds, 1), 5);
}

std::size_t ReadDecimalPrefix(std::string_view text, double& value) {
    value = 0.0;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && IsWhite(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t mantissaStart = i;
    std::size_t digits = 0;
    std::size_t firstNonZero = std::string_view::npos;  // index of the first significant digit
    std::size_t pointAt = std::string_view::npos;
    while (i < n && IsDigit(text[i])) {
        if (text[i] != '0' && firstNonZero == std::string_view::npos) firstNonZero = i;
        ++i;
        ++digits;
    }
    if (i < n && text[i] == '.') {
        pointAt = i;
        ++i;
        while (i < n && IsDigit(text[i])) {
            if (text[i] != '0' && firstNonZero == std::string_view::npos) firstNonZero = i;
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0;
    const std::size_t mantissaEnd = i;
    std::size_t end = i;
    long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) {
            expNegative = text[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(text[j])) {
            while (j < n && IsDigit(text[j])) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
                ++j;
            }
            if (expNegative) exponent = -exponent;
            end = j;
        }
    }

    double magnitude = 0.0;
    auto result = std::from_chars(text.data() + mantissaStart, text.data() + end, magnitude,
                                  std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone when it overflows or underflows; strtod gives
        // an infinity or a zero. The decimal position of the first significant digit
        // tells which of the two it was.
        if (firstNonZero == std::string_view::npos) {
            magnitude = 0.0;
        } else {
            std::size_t intEnd = pointAt == std::string_view::npos ? mantissaEnd : pointAt;
            long position = firstNonZero < intEnd ? static_cast<long>(intEnd - firstNonZero)
                                                  : -static_cast<long>(firstNonZero - intEnd - 1);
            magnitude = position + exponent > 0 ? HUGE_VAL : 0.0;
        }
    }
    value = negative ? -magnitude : magnitude;
    return end;
}

double ReadNumber(std::string_view text) {
    double value = 0.0;
    ReadDecimalPrefix(text, value);
    return value;
}

}  // namespace bendwise
