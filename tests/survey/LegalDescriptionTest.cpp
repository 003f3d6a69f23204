// The curve in deed wording: whole seconds with the carry, quadrant bearings, the sentence.

#include <gtest/gtest.h>

#include <limits>

#include "support/SolvedCurve.h"
#include "survey/LegalDescription.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

TEST(DmsSeconds, RoundsTheWholeAngleSoSixtyNeverShows) {
    const struct {
        double degrees;
        const char* text;
    } cases[] = {
        {30, "30\u00B000'00\""},
        {29.99999, "30\u00B000'00\""},  // 29 59 59.964: the seconds carry twice
        {29.99985, "29\u00B059'59\""},  // 59.46 seconds round down
        {0.99999, "1\u00B000'00\""},
        {12.5825, "12\u00B034'57\""},  // 56.99999999 seconds
        {45.50416666666667, "45\u00B030'15\""},
        {200, "200\u00B000'00\""},  // no wrap: a central angle may exceed 180
        {0.1 / 3600, "0\u00B000'00\""},
        {0.5 / 3600, "0\u00B000'01\""},  // half a second rounds away from zero
        {-10.5, "-10\u00B030'00\""},
        {-0.1 / 3600, "0\u00B000'00\""},  // rounds to zero: no sign
        {std::numeric_limits<double>::quiet_NaN(), "undefined"},
        // Past 2^53 seconds: 400.78 seconds past the degree (the product said 400).
        {11024861111111.111, "11024861111111\u00B006'41\""},
        // The remainder of a huge product was cast to int: undefined behaviour.
        {1e300,
         "10000000000000000525047602552044202487044685811081591549158541155118024579889081957"
         "86371375080447864043704443832883878176942523235360430575644792184786706982848387200"
         "92657580373783023379478809005936895323497079994508111903896764088007465274278014249"
         "4579258788820056842838115669472196386865459400540160\u00B000'00\""},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatDmsSeconds(c.degrees), c.text) << c.degrees;
}

TEST(QuadrantBearing, OneRuleForEachQuadrant) {
    const struct {
        double azimuth;
        const char* text;
    } cases[] = {
        {60, "N 60\u00B000'00\" E"},
        {0, "N 0\u00B000'00\" E"},
        {90, "N 90\u00B000'00\" E"},
        {135, "S 45\u00B000'00\" E"},
        {180, "S 0\u00B000'00\" E"},
        {200, "S 20\u00B000'00\" W"},
        {270, "N 90\u00B000'00\" W"},
        {345.5, "N 14\u00B030'00\" W"},
        {-10, "N 10\u00B000'00\" W"},
        {480, "S 60\u00B000'00\" E"},
        {359.99999, "N 0\u00B000'00\" E"},  // rounds to 360, which is north
        {89.999999, "N 90\u00B000'00\" E"},
        {-1e-20, "N 0\u00B000'00\" E"},  // was "N -0..."
        // Azimuth x 3600 overflowed to infinity and printed "N -nan..." (NaN cast to int);
        // reduced modulo 360 first: 5e304 = 320, -1e308 = 64, 1e308 = 296, 1e20 = 280,
        // the largest double = 128 (mod 360, by exact integer arithmetic).
        {5e304, "N 40\u00B000'00\" W"},
        {-1e308, "N 64\u00B000'00\" E"},
        {1e308, "N 64\u00B000'00\" W"},
        {1e20, "N 80\u00B000'00\" W"},
        {std::numeric_limits<double>::max(), "S 52\u00B000'00\" E"},
    };
    for (const auto& c : cases) EXPECT_EQ(QuadrantBearing(c.azimuth), c.text) << c.azimuth;
}

TEST(LegalDescription, WorkedCurveInDeedWording) {
    const struct {
        bool left;
        const char* unit;
        const char* text;
    } cases[] = {
        {false, "feet",
         "a curve to the right having a radius of 1000.00 feet, a central angle of "
         "30\u00B000'00\", an arc length of 523.60 feet, and a long chord bearing "
         "N 60\u00B000'00\" E, 517.64 feet"},
        // Turning left the chord swings the other way from the inbound tangent.
        {true, "metres",
         "a curve to the left having a radius of 1000.00 metres, a central angle of "
         "30\u00B000'00\", an arc length of 523.60 metres, and a long chord bearing "
         "N 30\u00B000'00\" E, 517.64 metres"},
    };
    for (const auto& c : cases) {
        const SolvedCurve curve(
            {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}}, c.left);
        EXPECT_EQ(DescribeCurve(curve.Record(), c.unit), c.text);
    }
}

TEST(LegalDescription, SecondsOfTheCentralAngleCarry) {
    // Delta 29 59 59.7: the display shows 29 59 59.7, the deed 30 00 00, never 29 59 60.
    const SolvedCurve curve({{Field::Radius, "500"}, {Field::Delta, "29 59 59.7"}});
    EXPECT_EQ(curve.Text(Field::Delta), "29 59 59.7");
    EXPECT_EQ(DescribeCurve(curve.Record(), "feet"),
              "a curve to the right having a radius of 500.00 feet, a central angle of "
              "30\u00B000'00\", an arc length of 261.80 feet, and a long chord bearing "
              "N 15\u00B000'00\" E, 258.82 feet");
}

}  // namespace
}  // namespace bendwise
