#include "text/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace bendwise {
namespace {

// Longest text any conversion here produces: a fixed-point double of 1.8e308 has 309
// integer digits, plus sign, point and three decimals.
constexpr std::size_t kBufferSize = 512;

// The exact rounding behind printf's "%.Nf" and "%.Ne", done in integers: a finite double
// is m x 2^e exactly (m below 2^53), so value x 10^k is the fraction N / D of two integers
// and its nearest integer, ties to even, is what printf prints as digits. glibc's printf
// and std::to_chars with a precision both round the exact binary value this way.
// Returns false when the result would not fit in 64 bits, leaving it to std::to_chars.
__extension__ typedef unsigned __int128 Wide;

constexpr std::uint64_t kPow10[] = {1ULL,
                                    10ULL,
                                    100ULL,
                                    1000ULL,
                                    10000ULL,
                                    100000ULL,
                                    1000000ULL,
                                    10000000ULL,
                                    100000000ULL,
                                    1000000000ULL,
                                    10000000000ULL,
                                    100000000000ULL,
                                    1000000000000ULL,
                                    10000000000000ULL,
                                    100000000000000ULL,
                                    1000000000000000ULL,
                                    10000000000000000ULL,
                                    100000000000000000ULL,
                                    1000000000000000000ULL};
constexpr int kMaxPow10 = 18;

int BitLength(Wide x) {
    const auto high = static_cast<std::uint64_t>(x >> 64);
    if (high != 0) return 128 - __builtin_clzll(high);
    const auto low = static_cast<std::uint64_t>(x);
    return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// |value| x 10^k rounded to the nearest integer, ties to even, for finite `value` and
// -18 <= k <= 18.
bool RoundScaled(double value, int k, std::uint64_t& result) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : fraction | (1ULL << 52);
    const int e = biased == 0 ? -1074 : biased - 1075;

    Wide n = m;
    Wide q = 0;
    if (k >= 0) {
        n *= kPow10[k];  // below 2^113
        if (e >= 0) {
            if (BitLength(n) + e > 127) return false;
            q = n << e;
        } else if (-e > 120) {
            q = 0;  // N below 2^113 is less than half of 2^-e
        } else {
            // Dividing by a power of two: the remainder is the low bits.
            const int shift = -e;
            q = n >> shift;
            const Wide rest = n - (q << shift);
            const Wide half = static_cast<Wide>(1) << (shift - 1);
            if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        }
    } else {
        Wide d = kPow10[-k];
        if (e >= 0) {
            if (BitLength(n) + e > 127) return false;
            n <<= e;
        } else if (BitLength(d) - e > 126) {
            // D x 2^-e exceeds 2^126 while N stays below 2^53: the value is below one half.
            result = 0;
            return true;
        } else {
            d <<= -e;
        }
        q = n / d;
        const Wide twiceRest = (n - q * d) * 2;  // below 2^127
        if (twiceRest > d || (twiceRest == d && (q & 1) != 0)) ++q;
    }
    if (q >> 64) return false;
    result = static_cast<std::uint64_t>(q);
    return true;
}

// Writes the decimal digits of `q`, at least `minDigits` of them (leading zeros), and
// returns how many were written.
std::size_t PrintDigits(char* buf, std::uint64_t q, std::size_t minDigits) {
    char reversed[24];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + q % 10);
        q /= 10;
    } while (q != 0);
    while (count < minDigits) reversed[count++] = '0';
    for (std::size_t i = 0; i < count; ++i) buf[i] = reversed[count - 1 - i];
    return count;
}

// "%.{precision}f" without padding. Non-finite values print as printf does: inf, -inf,
// nan, -nan (through std::to_chars, like every value too large for 64-bit digits).
std::size_t PrintFixed(char* buf, double value, int precision) {
    std::uint64_t q = 0;
    if (std::isfinite(value) && RoundScaled(value, precision, q)) {
        std::size_t length = 0;
        if (std::signbit(value)) buf[length++] = '-';  // also -0.000, as printf writes
        const auto decimals = static_cast<std::size_t>(precision);
        char digits[24];
        const std::size_t count = PrintDigits(digits, q, decimals + 1);
        std::memcpy(buf + length, digits, count - decimals);
        length += count - decimals;
        if (decimals > 0) {
            buf[length++] = '.';
            std::memcpy(buf + length, digits + count - decimals, decimals);
            length += decimals;
        }
        return length;
    }
    auto result = std::to_chars(buf, buf + kBufferSize, value, std::chars_format::fixed, precision);
    return static_cast<std::size_t>(result.ptr - buf);
}

// "%.7e" for 100000 <= value < 1e18, with the three-digit exponent of the display.
// Returns 0 for any other value.
std::size_t PrintScientific7(char* buf, double value) {
    if (!(value >= 1e5 && value < 1e18)) return 0;
    // The decimal exponent: floor(log10) corrected against exact powers of ten.
    int exponent = static_cast<int>(std::floor(std::log10(value)));
    if (exponent < kMaxPow10 && value >= static_cast<double>(kPow10[exponent + 1])) ++exponent;
    if (value < static_cast<double>(kPow10[exponent])) --exponent;
    std::uint64_t q = 0;
    if (!RoundScaled(value, 7 - exponent, q)) return 0;
    if (q == kPow10[8]) {  // 9.99999995e+n and up round to 1.0000000e+(n+1)
        q = kPow10[7];
        ++exponent;
    }
    char digits[24];
    PrintDigits(digits, q, 8);
    std::size_t length = 0;
    buf[length++] = digits[0];
    buf[length++] = '.';
    std::memcpy(buf + length, digits + 1, 7);
    length += 7;
    buf[length++] = 'e';
    buf[length++] = '+';
    length += PrintDigits(buf + length, static_cast<std::uint64_t>(exponent), 3);
    return length;
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes `text` right-aligned in `width` columns (printf's "%Nf" padding) at `line` +
// `used`; returns the new end.
std::size_t AppendPadded(char* line, std::size_t used, const char* text, std::size_t length,
                         std::size_t width) {
    if (length < width) {
        std::memset(line + used, ' ', width - length);
        used += width - length;
    }
    std::memcpy(line + used, text, length);
    return used + length;
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
    if (const std::size_t length = PrintScientific7(buf, value); length != 0) {
        out.assign(buf, length);
        return;
    }
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

    // "%4.0f %02.0f%5.1f", put together in one buffer and assigned once.
    char buf[kBufferSize];
    char line[3 * kBufferSize + 8];
    std::size_t used = AppendPadded(line, 0, buf, PrintFixed(buf, wholeDegrees, 0), 4);
    line[used++] = ' ';
    const std::size_t length = PrintFixed(buf, minutes, 0);
    if (length < 2 && IsDigit(buf[0])) line[used++] = '0';  // '0' flag: zero padding
    std::memcpy(line + used, buf, length);
    used += length;
    used = AppendPadded(line, used, buf, PrintFixed(buf, seconds, 1), 5);
    out.assign(line, used);
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
