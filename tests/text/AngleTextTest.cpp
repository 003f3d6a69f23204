#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "text/AngleText.h"

using namespace bendwise;

namespace {

struct AngleCase {
    bool packed;
    const char* typed;
    AngleRead read;
    double degrees;  // the result, to 10 significant digits (ignored on failure)
};

constexpr AngleRead Ok = AngleRead::Ok;
constexpr AngleRead Bad = AngleRead::NotInterpreted;

// Every form once, read or refused; the words of each refusal are in entry_forms.tsv.
TEST(ReadAngleText, AcceptedFormsAndRefusals) {
    const AngleCase cases[] = {
        {true, "12.3456", Ok, 12.58222222},
        {false, "12.3456", Ok, 12.3456},
        {true, "12.34567", Ok, 12.58241667},
        {true, "123.4567", Ok, 123.7686111},
        {true, "12.345", AngleRead::NotPacked, 0},
        {true, "12", Ok, 12},
        {true, "12 34 56", Ok, 12.58222222},
        {false, "12-34-56", Ok, 12.58222222},
        {false, "12;34;56", Ok, 12.58222222},
        {false, "-12", Ok, 348},
        {false, "-12 30", Ok, 347.5},
        {false, "12-30", Bad, 0},  // one '-' inside a word: no number
        {false, "-12-30", Ok, 12.5},
        {false, "--12", Ok, 12},
        {false, "---12", Bad, 0},
        {false, "--", Bad, 0},
        {false, "12 -30 -15", Ok, 11.49583333},
        {false, "N 45 30 15 E", Ok, 45.50416667},
        {false, "n 45 30 0e", Ok, 45.5},
        {false, "N45-30-00E", Ok, 45.5},
        {false, "N 45 30 00 W", Ok, 314.5},
        {false, "S 45 30 00 E", Ok, 134.5},
        {false, "S 45 30 00 W", Ok, 225.5},
        {true, "S12.3456W", Ok, 192.5822222},
        {false, "N 45 30 E", Ok, 45.5},  // bearings of degrees, or degrees and minutes
        {false, "N45E", Ok, 45},
        {false, "N 45 E", Ok, 45},
        {false, "S 45 W", Ok, 225},
        {false, "N 45 30 15 EAST", Ok, 45.50416667},
        {true, "N 45.3015 E", Ok, 45.50416667},  // a lone packed number in a bearing
        {true, "N 45.5 E", AngleRead::NotPacked, 0},
        {false, "N 45 30 15", Bad, 0},
        {false, "N 45 30 15 E X", Bad, 0},
        {false, "N E", Bad, 0},
        {false, "12 30 15 W", Bad, 0},  // no N or S: the letter is a fifth word
        {false, "12 30 15 5", Bad, 0},
        {false, "45\xB0 30' 15", Ok, 45.50416667},
        {false, "45\xC2\xB0 30' 15", Ok, 45.50416667},
        // The marks end words: degree sign (Latin-1 and UTF-8), ordinal, primes, quotes.
        {false,
         "45\xB0"
         "30'15",
         Ok, 45.50416667},
        {false,
         "45\xC2\xB0"
         "30'15\"",
         Ok, 45.50416667},
        {true,
         "45\xC2\xB0"
         "30'15\"",
         Ok, 45.50416667},
        {false,
         "45\xC2\xBA"
         "30\xE2\x80\xB2"
         "15\xE2\x80\xB3",
         Ok, 45.50416667},
        {false,
         "45\xBA"
         "30\xE2\x80\x99"
         "15\xE2\x80\x9D",
         Ok, 45.50416667},
        {false,
         "N 60\xC2\xB0"
         "00'00\" E",
         Ok, 60},
        {false,
         "N60\xC2\xB0"
         "E",
         Ok, 60},
        // A byte that merely follows another character's lead byte is no mark: U+03B0.
        {false,
         "45\xCE\xB0"
         "30",
         Bad, 0},
        {false, "1,234.5", Bad, 0},  // a comma is refused anywhere
        {false, "12,5", Bad, 0},
        {false, "30x", Bad, 0},
        {false, "360", Ok, 360},
        {false, "-360", Ok, 0},
        {false, "800", Ok, 440},
        {false, "-400", Ok, -40},
        {false, "12 30 15 junk", Bad, 0},
        {false, "12ABC", Bad, 0},
        {false, "1E-5", Ok, 1e-5},  // the exponent's '-' is no sign
        {false, "1E2", Ok, 100},
        {false, "", Bad, 0},
        {false, "   ", Bad, 0},
        {false, "abc", Bad, 0},
        {false, "inf", Bad, 0},
        {false, "nan", Bad, 0},
        {false, "0X10", Bad, 0},
        {false, " \t12 30\r\n", Ok, 12.5},
        // Our packed rules: a leading '-' is a negative packed angle, nothing before the
        // point is 0 degrees.
        {true, "-12.3456", Ok, 347.4177778},
        {true, ".3456", Ok, 0.5822222222},
        {true, "12.3456\"", Ok, 12.58222222},
        {true, "-12.34-56", Ok, 13.27333333},
        // Values that are not finite are refused, also when only the sum overflows.
        {false, "1e400", Bad, 0},
        {false, "-1e400", Bad, 0},
        {false, "1.79e308 1e308", Bad, 0},
    };
    for (const auto& c : cases) {
        double angle = -777;
        const AngleRead read = ReadAngleText(c.typed, c.packed, angle);
        EXPECT_EQ(read, c.read) << c.typed;
        if (c.read == Ok)
            EXPECT_NEAR(angle, c.degrees, 1e-9 * std::max(1.0, std::fabs(c.degrees))) << c.typed;
        else
            EXPECT_EQ(angle, -777) << c.typed;
    }
}

int Parse(const std::string& text, double& angle) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back('\0');
    return ParseAngle(angle, copy.data());
}

TEST(ParseAngle, SeventyNineCharactersAtMost) {
    double angle = -1;
    EXPECT_EQ(Parse("N" + std::string(68, ' ') + "45 30 15 E", angle), 0);  // 79 characters
    EXPECT_NEAR(angle, 45.50416667, 1e-8);
    angle = -1;
    EXPECT_EQ(Parse("N" + std::string(69, ' ') + "45 30 15 E", angle), 2);
    EXPECT_EQ(Parse("12" + std::string(78, '0'), angle), 2);
    EXPECT_EQ(Parse(std::string(5000, '9'), angle), 2);
    EXPECT_EQ(angle, -1);
}

TEST(ParseAngle, UpperCasesInPlaceAndKeepsAngleOnFailure) {
    char text[] = "n 45 30 0e";
    double angle = 0;
    EXPECT_EQ(ParseAngle(angle, text), 0);
    EXPECT_EQ(text[0], 'N');
    EXPECT_DOUBLE_EQ(angle, 45.5);
    char bad[] = "n 45 30 15";
    EXPECT_EQ(ParseAngle(angle, bad), 2);
    EXPECT_DOUBLE_EQ(angle, 45.5);
}

TEST(NextToken, SplitsInPlaceAndEndsWithNullPosition) {
    char text[] = ",, ab;cd-e  f";
    char* position = reinterpret_cast<char*>(1);
    std::vector<std::string> words;
    for (char* w = NextToken(text, ",; ", position); w; w = NextToken(nullptr, ",; ", position))
        words.push_back(w);
    EXPECT_EQ(words, (std::vector<std::string>{"ab", "cd-e", "f"}));
    EXPECT_EQ(position, nullptr);
    EXPECT_EQ(NextToken(nullptr, ",; ", position), nullptr);

    char seps[] = " ;; ";
    EXPECT_EQ(NextToken(seps, ",; ", position), nullptr);
    EXPECT_EQ(position, nullptr);

    char dashed[] = "12-30-15";
    EXPECT_STREQ(NextToken(dashed, "-,; \t\n\r", position), "12");
    EXPECT_STREQ(position, "30-15");
}

}  // namespace
