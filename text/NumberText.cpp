#include "text/NumberText.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <system_error>

#include "text/CharConv.h"

namespace bendwise {
namespace {

// Longest text any conversion here produces: a fixed-point double of 1.8e308 has 309
// integer digits, plus sign, point and three decimals.
constexpr std::size_t kBufferSize = 512;

// The exact rounding behind printf's "%.Nf" and "%.Ne", done in integers: a finite double
// is m x 2^e exactly (m below 2^53), so value x 10^k is the fraction N / D of two integers
// and its nearest integer, ties to even, is what printf prints as digits. glibc's printf
// and std::to_chars with a precision both round the exact binary value this way.
// Anything whose digits do not fit in 64 bits is left to std::to_chars.
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

// RoundScaled for m x 2^e beyond its common case, in 128 bits.
bool RoundScaledWide(std::uint64_t m, int e, int k, std::uint64_t& result) {
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

// |value| x 10^k rounded to the nearest integer, ties to even, for finite `value` and
// -18 <= k <= 18. Returns false when the result does not fit in 64 bits. Inline for its
// common case, which every display text takes.
inline bool RoundScaled(double value, int k, std::uint64_t& result) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((1ULL << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : fraction | (1ULL << 52);
    const int e = biased == 0 ? -1074 : biased - 1075;

    if (k >= 0 && k <= 3 && e < 0) {
        // The common case, every length below 2^52: N = m x 10^k stays below 2^63, and
        // dividing by 2^-e leaves the remainder in the low bits.
        const std::uint64_t n = m * kPow10[k];
        const int shift = -e;
        if (shift >= 64) {
            result = 0;  // N below 2^63 is less than half of 2^-e
            return true;
        }
        std::uint64_t q = n >> shift;
        const std::uint64_t rest = n & ((1ULL << shift) - 1);
        const std::uint64_t half = 1ULL << (shift - 1);
        if (rest > half || (rest == half && (q & 1) != 0)) ++q;
        result = q;
        return true;
    }
    if (k < 0 && e < 0 && 64 - __builtin_clzll(kPow10[-k]) - e < 64) {
        // The exponent form of an area (7 - k digits of a number of 100,000 and more, with
        // a fraction): N = m, D = 10^-k x 2^-e, both in 64 bits, so is twice the remainder.
        const std::uint64_t d = kPow10[-k] << -e;
        std::uint64_t q = m / d;
        const std::uint64_t twiceRest = (m - q * d) * 2;
        if (twiceRest > d || (twiceRest == d && (q & 1) != 0)) ++q;
        result = q;
        return true;
    }
    return RoundScaledWide(m, e, k, result);
}

// "00" to "99": digits go out two at a time, one division for both.
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the digits of `q` backwards, ending just before `end`, with at least `minDigits`
// of them (leading zeros); returns where they start.
char* PutDigitsBefore(char* end, std::uint64_t q, int minDigits) {
    char* p = end;
    while (q >= 100) {
        const std::uint64_t pair = q % 100;
        q /= 100;
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * pair, 2);
        minDigits -= 2;
    }
    if (q >= 10) {
        p -= 2;
        std::memcpy(p, kDigitPairs + 2 * q, 2);
        minDigits -= 2;
    } else {
        *--p = static_cast<char>('0' + q);
        --minDigits;
    }
    while (minDigits > 0) {
        *--p = '0';
        --minDigits;
    }
    return p;
}

// out = text, for the display texts rebuilt forty times a batch line: assign() takes the
// library's general path for text that may lie inside `out`. A text no longer than the
// one it replaces is copied over it and cut (inline); a longer one is appended.
void SetText(std::string& out, std::string_view text) {
    if (text.size() <= out.size()) {
        std::memcpy(&out[0], text.data(), text.size());
        out.erase(text.size());
    } else {
        out.clear();
        out.append(text.data(), text.size());
    }
}

// "%.{precision}f" without padding, written into `buf` (kBufferSize characters); returns
// the text, which may start anywhere in `buf`. Non-finite values print as printf does:
// inf, -inf, nan, -nan (through std::to_chars, like every value too large for 64-bit
// digits).
std::string_view PrintFixed(char* buf, double value, int precision) {
    std::uint64_t q = 0;
    if (std::isfinite(value) && RoundScaled(value, precision, q)) {
        // Built from the end: decimals, point, integer digits, sign.
        char* const end = buf + kBufferSize;
        char* p = end;
        if (precision > 0) {
            p = PutDigitsBefore(p, q % kPow10[precision], precision);
            *--p = '.';
            q /= kPow10[precision];
        }
        p = PutDigitsBefore(p, q, 1);
        if (std::signbit(value)) *--p = '-';  // also -0.000, as printf writes
        return {p, static_cast<std::size_t>(end - p)};
    }
    auto result = ToChars(buf, buf + kBufferSize, value, std::chars_format::fixed, precision);
    return {buf, static_cast<std::size_t>(result.ptr - buf)};
}

// "%.7e" for 100000 <= value < 1e18, with the three-digit exponent of the display.
// Returns an empty text for any other value.
std::string_view PrintScientific7(char* buf, double value) {
    if (!(value >= 1e5 && value < 1e18)) return {};
    // The decimal exponent: the number of digits of the integer part, less one.
    const auto whole = static_cast<std::uint64_t>(value);
    int exponent = 5;
    while (exponent < kMaxPow10 && whole >= kPow10[exponent + 1]) ++exponent;
    std::uint64_t q = 0;
    if (!RoundScaled(value, 7 - exponent, q)) return {};
    if (q == kPow10[8]) {  // 9.99999995e+n and up round to 1.0000000e+(n+1)
        q = kPow10[7];
        ++exponent;
    }
    char* const end = buf + kBufferSize;
    char* p = PutDigitsBefore(end, static_cast<std::uint64_t>(exponent), 3);
    *--p = '+';
    *--p = 'e';
    p = PutDigitsBefore(p, q % kPow10[7], 7);
    *--p = '.';
    *--p = static_cast<char>('0' + q / kPow10[7]);
    return {p, static_cast<std::size_t>(end - p)};
}

bool IsWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Writes `text` right-aligned in `width` columns (printf's "%Nf" padding) at `line` +
// `used`; returns the new end.
std::size_t AppendPadded(char* line, std::size_t used, std::string_view text, std::size_t width) {
    for (std::size_t i = text.size(); i < width; ++i) line[used++] = ' ';
    for (char c : text) line[used++] = c;
    return used;
}

}  // namespace

void TrimLeft(std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && IsWhite(text[start])) ++start;
    if (start == 0) return;
    // Moved down and cut: erase(0, n) is a library call, erase(n) is inline.
    const std::size_t length = text.size() - start;
    std::memmove(&text[0], text.data() + start, length);
    text.erase(length);
}

void TrimRight(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhite(text[end - 1])) --end;
    text.resize(end);
}

void FormatFixed(double value, std::string& out) {
    char buf[kBufferSize];
    SetText(out, PrintFixed(buf, value, 3));
}

void FormatLength(double value, std::string& out) {
    // The exponent form starts at 100000 exactly, tested on the signed value.
    if (!(value >= 100000.0)) {
        FormatFixed(value, out);
        return;
    }
    char buf[kBufferSize];
    if (const std::string_view text = PrintScientific7(buf, value); !text.empty()) {
        SetText(out, text);
        return;
    }
    auto result = ToChars(buf, buf + kBufferSize, value, std::chars_format::scientific, 7);
    out.assign(buf, static_cast<std::size_t>(result.ptr - buf));
    // printf writes at least two exponent digits; the display always shows three.
    std::size_t e = out.find('e');
    if (e != std::string::npos && out.size() - e == 4) out.insert(e + 2, 1, '0');
}

namespace {

// Room for any "%4.0f %02.0f%5.1f" of the degree, minute and second steps.
struct DmsBuffer {
    char digits[kBufferSize];
    char line[3 * kBufferSize + 8];
};

// The text FormatDms shows, padded, somewhere in `b`.
std::string_view PrintDms(DmsBuffer& b, double degrees) {
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

    // The usual case, degrees 0..999999999 with minutes and seconds in range: the three
    // numbers are printed straight into the 12 characters. Anything else (huge or
    // negative degrees, not a number) goes the general way below.
    if (!std::signbit(wholeDegrees) && wholeDegrees < 1e9 && minutes >= 0 && minutes < 60 &&
        seconds >= 0 && seconds < 100) {
        const auto d = static_cast<std::uint64_t>(wholeDegrees);
        const auto m = static_cast<unsigned>(minutes);
        std::uint64_t tenths = 0;  // "%.1f" of the seconds: at most 1000
        if (static_cast<double>(d) == wholeDegrees && static_cast<double>(m) == minutes &&
            RoundScaled(seconds, 1, tenths)) {
            // Blanks first, then from the end: "%5.1f" of the seconds (0.0 to 100.0),
            // the minutes, a blank, and "%4.0f" of the degrees (up to nine digits).
            char* const text = b.line;
            std::memset(text, ' ', 32);
            char* const end = text + 32;
            const auto whole = static_cast<unsigned>(tenths / 10);
            end[-1] = static_cast<char>('0' + tenths % 10);
            end[-2] = '.';
            end[-3] = static_cast<char>('0' + whole % 10);
            if (whole >= 10) end[-4] = static_cast<char>('0' + whole / 10 % 10);
            if (whole >= 100) end[-5] = '1';
            end[-6] = static_cast<char>('0' + m % 10);
            end[-7] = static_cast<char>('0' + m / 10);
            char* const degreesEnd = end - 8;
            char* p = PutDigitsBefore(degreesEnd, d, 1);
            if (p > degreesEnd - 4) p = degreesEnd - 4;
            return {p, static_cast<std::size_t>(end - p)};
        }
    }

    // "%4.0f %02.0f%5.1f", put together in one buffer and assigned once.
    char* const buf = b.digits;
    char* const line = b.line;
    std::size_t used = AppendPadded(line, 0, PrintFixed(buf, wholeDegrees, 0), 4);
    line[used++] = ' ';
    const std::string_view minutesText = PrintFixed(buf, minutes, 0);
    if (minutesText.size() < 2 && IsDigit(minutesText[0])) line[used++] = '0';  // '0' flag
    used = AppendPadded(line, used, minutesText, 0);
    used = AppendPadded(line, used, PrintFixed(buf, seconds, 1), 5);
    return {line, used};
}

}  // namespace

void FormatDms(double degrees, std::string& out) {
    DmsBuffer buffer;
    SetText(out, PrintDms(buffer, degrees));
}

void FormatDmsTrimmed(double degrees, std::string& out) {
    DmsBuffer buffer;
    std::string_view text = PrintDms(buffer, degrees);
    while (!text.empty() && IsWhite(text.front())) text.remove_prefix(1);
    SetText(out, text);
}

std::string FixedString(double value) {
    std::string text;
    FormatFixed(value, text);
    return text;
}

std::string DmsString(double degrees) {
    std::string text;
    FormatDmsTrimmed(degrees, text);
    return text;
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
    auto result = FromChars(text.data() + mantissaStart, text.data() + end, magnitude);
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

bool ReadWholeNumber(std::string_view text, double& value) {
    while (!text.empty() && IsWhite(text.back())) text.remove_suffix(1);
    const std::size_t used = ReadDecimalPrefix(text, value);
    if (used != 0 && used == text.size()) return true;
    value = 0.0;
    return false;
}

}  // namespace bendwise
