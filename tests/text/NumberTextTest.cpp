#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "text/NumberText.h"

using namespace bendwise;

namespace {

std::string Length(double v) {
    std::string s = "old";
    FormatLength(v, s);
    return s;
}
std::string Fixed(double v) {
    std::string s = "old";
    FormatFixed(v, s);
    return s;
}
std::string Dms(double v) {
    std::string s = "old";
    FormatDms(v, s);
    return s;
}

struct NumberCase {
    double value;
    const char* text;
};

TEST(FormatLength, WorkedValuesAndSwitchToExponentAt100000) {
    const NumberCase cases[] = {
        {5729.577951, "5729.578"},
        {99999.9994, "99999.999"},
        {99999.9999, "100000.000"},
        {100000, "1.0000000e+005"},
        {3141592.653589793, "3.1415927e+006"},
        {-123456.789, "-123456.789"},
        {-250000, "-250000.000"},
        {0.0004, "0.000"},
        {-0.0004, "-0.000"},
        {1e300, "1.0000000e+300"},
        {0.0625, "0.062"},  // exact halfway: glibc rounds to even
    };
    for (const auto& c : cases) EXPECT_EQ(Length(c.value), c.text) << c.value;
}

TEST(FormatFixed, NeverSwitchesToExponent) {
    EXPECT_EQ(Fixed(1e20), "100000000000000000000.000");
    EXPECT_EQ(Fixed(523.5987755982987), "523.599");
    EXPECT_EQ(Fixed(-0.0), "-0.000");
}

TEST(FormatDms, WorkedValuesUntrimmed) {
    const NumberCase cases[] = {
        {1.0, "   1 00  0.0"},
        {12.5825, "  12 34 57.0"},
        {-0.5, " 359 30  0.0"},
        {359.99999, "   0 00  0.0"},
        {29.999986, "  29 59 59.9"},
        {360.0, "   0 00  0.0"},
        {0.5 / 3600, "   0 00  0.5"},
        {375, "  15 00  0.0"},
        {-15, " 345 00  0.0"},
        {30.0, "  30 00  0.0"},
        {5.729577951308233, "   5 43 46.5"},
        {1.0 / 64, "   0 00 56.2"},          // seconds exactly 56.25: glibc rounds to even
        {45 - 0.04 / 3600, "  45 00  0.0"},  // within 0.05 s below a whole degree
    };
    for (const auto& c : cases) EXPECT_EQ(Dms(c.value), c.text) << c.value;
}

// ---- glibc printf as the reference for the fast conversions ----

std::string Printf(const char* format, double v) {
    char buf[512];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// glibc writes "e+05": the display form has three exponent digits.
std::string WidenExponent(std::string s) {
    const auto e = s.find('e');
    if (e != std::string::npos && s.size() - e == 4) s.insert(e + 2, "0");
    return s;
}

std::string LeftTrimmed(std::string s) {
    return s.erase(0, s.find_first_not_of(' '));
}

std::string ReferenceLength(double v) {
    return LeftTrimmed(v >= 100000 ? WidenExponent(Printf("%15.7e", v)) : Printf("%15.3f", v));
}

// The degrees-minutes-seconds steps with printf doing the final conversion.
std::string ReferenceDms(double a) {
    if (a < 0) a += 360;
    double d = std::floor(a);
    const double minutesFull = (a - d) * 60;
    double m = std::floor(minutesFull);
    double s = (minutesFull - m) * 60;
    if (s > 59.95) {
        m = m + 1;
        s = (s - 60) + 0.05;
    }
    if (m > 59.9) {
        d = d + 1;
        m = m - 60;
    }
    if (d >= 360) d -= 360;
    char buf[512];
    std::snprintf(buf, sizeof buf, "%4.0f %02.0f%5.1f", d, m, s);
    return buf;
}

TEST(NumberFormatting, SameDigitsAsGlibcPrintf) {
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto next = [&](int kind) -> double {
        switch (kind) {
            case 0: {  // any finite bit pattern: tiny, huge, subnormal, negative zero
                double v;
                do {
                    const std::uint64_t bits = rng();
                    std::memcpy(&v, &bits, sizeof v);
                } while (!std::isfinite(v));
                return v;
            }
            case 1:
                return (unit(rng) - 0.3) * std::pow(10.0, static_cast<int>(rng() % 16));
            case 2:
                return static_cast<double>(rng() % 200000) +
                       static_cast<double>(2 * (rng() % 8) + 1) / 16;
            case 3:
                return static_cast<double>(rng() % 100000000 * 10 + 5) * std::pow(10.0, rng() % 8);
            case 4:
                return static_cast<double>(static_cast<std::int64_t>(rng() % 92160) - 23040) / 64;
            case 5:
                return (unit(rng) - 0.25) * 1000;
            default:
                return std::nextafter(100000.0, (rng() & 1) ? 0.0 : 1e6);
        }
    };
    int mismatches = 0;
    for (int i = 0; i < 300000 && mismatches < 10; ++i) {
        const double v = next(i % 7);
        const std::string length = Length(v), fixed = Fixed(v);
        if (length != ReferenceLength(v) || fixed != LeftTrimmed(Printf("%15.3f", v))) {
            ++mismatches;
            ADD_FAILURE() << Printf("%.17g", v) << ": " << length << " / " << fixed;
        }
        if (std::fabs(v) < 1e6 && Dms(v) != ReferenceDms(v)) {
            ++mismatches;
            ADD_FAILURE() << Printf("%.17g", v) << ": " << Dms(v) << " vs " << ReferenceDms(v);
        }
        // The trimmed form, written over a longer and a shorter text than its own.
        for (const char* before : {"1234567890123456", ""}) {
            std::string trimmed = before;
            FormatDmsTrimmed(v, trimmed);
            if (std::fabs(v) < 1e6 && trimmed != LeftTrimmed(ReferenceDms(v))) {
                ++mismatches;
                ADD_FAILURE() << Printf("%.17g", v) << ": '" << trimmed << "'";
            }
        }
    }
    EXPECT_EQ(Length(-0.0), "-0.000");
}

// ---- reading decimal numbers ----

struct ReadCase {
    const char* text;
    double value;
    std::size_t used;
};

TEST(ReadDecimalPrefix, DecimalFormsOnly) {
    const double inf = std::numeric_limits<double>::infinity();
    const ReadCase cases[] = {
        {"12ABC", 12, 2},     {"1e", 1, 1},
        {"0X10", 0, 1},       {"inf", 0, 0},
        {"nan", 0, 0},        {"infinity", 0, 0},
        {"", 0, 0},           {"abc", 0, 0},
        {"-", 0, 0},          {".", 0, 0},
        {"+.e1", 0, 0},       {".5", 0.5, 2},
        {"5.", 5, 2},         {"  -12.5x", -12.5, 7},
        {"1.5e+3x", 1500, 6}, {"12-30", 12, 2},
        {"1e400", inf, 5},    {"-1e400", -inf, 6},
        {"1e-400", 0, 6},     {"\t+7", 7, 3},
        {"0.1", 0.1, 3},      {"123456789012345678901234567890", 1.2345678901234568e29, 30},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(ReadDecimalPrefix(c.text, value), c.used) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

// A typed length is the whole text or nothing: what the prefix reader would cut off
// ("1000,5" as 1000) is refused.
TEST(ReadWholeNumber, TheWholeTrimmedTextOrNothing) {
    const struct {
        const char* text;
        bool number;
        double value;
    } cases[] = {
        {"  100.000 \t", true, 100}, {"2e13", true, 2e13}, {"-5", true, -5},
        {"1e400", true, HUGE_VAL},   {"1000,5", false, 0}, {"1 000", false, 0},
        {"12abc", false, 0},         {"", false, 0},       {"   ", false, 0},
        {"0x10", false, 0},          {"inf", false, 0},    {"1e", false, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(ReadWholeNumber(c.text, value), c.number) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

}  // namespace
