// The survey of one curve: the text printed after the report block, and the JSON line with
// every number at full precision.

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/CurveSurvey.h"
#include "survey/JsonWriter.h"
#include "survey/StakeoutTable.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

// The number written after "\"key\":" (the first such key in the text).
double JsonValueAfter(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\":");
    EXPECT_NE(at, std::string::npos) << key;
    if (at == std::string::npos) return std::numeric_limits<double>::quiet_NaN();
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// A request as the command line would give it: PI station, stakeout interval, stationing.
SurveyRequest Request(bool describe, std::optional<double> piStation = std::nullopt,
                      std::optional<double> interval = std::nullopt) {
    SurveyRequest request;
    request.describe = describe;
    request.piStation = piStation;
    request.stakeoutInterval = interval;
    return request;
}

std::string Text(const CCurveRecord& record, const SurveyRequest& request) {
    return SurveyText(record, SurveyCurve(record, request));
}

std::string Json(const test::SolvedCurve& curve, const SurveyRequest& request, long line) {
    return CurveJson(curve.Record(), curve.memory, SurveyCurve(curve.Record(), request), line);
}

TEST(JsonNumber, SeventeenSignificantDigitsAndNullForNonFinite) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {1000, "1000"},
        {523.5987755982988, "523.59877559829874"},
        {0.1, "0.10000000000000001"},
        {1e-25, "1e-25"},
        {-0.5, "-0.5"},
        {3141592.653589793, "3141592.653589793"},
        {1e300, "1.0000000000000001e+300"},
        {std::numeric_limits<double>::infinity(), "null"},
        {-std::numeric_limits<double>::infinity(), "null"},
        {std::numeric_limits<double>::quiet_NaN(), "null"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(JsonNumber(c.value), c.text);
        if (std::string(c.text) != "null") {
            EXPECT_EQ(std::strtod(c.text, nullptr), c.value);
        }
    }
}

TEST(JsonString, EscapesQuotesBackslashesAndControls) {
    EXPECT_EQ(JsonString("30\u00B000'00\""), "\"30\u00B000'00\\\"\"");
    EXPECT_EQ(JsonString("a\\b\nc\td\x01"), "\"a\\\\b\\nc\\td\\u0001\"");
    EXPECT_EQ(JsonString(""), "\"\"");
    // JSON must be UTF-8: a stray byte, a truncated, overlong or surrogate sequence each
    // becomes U+FFFD; well-formed sequences of every length pass.
    EXPECT_EQ(
        JsonString("m\xff \xC3 \xC0\xAF \xED\xA0\x80 \xF4\x90\x80\x80"),
        "\"m\\ufffd \\ufffd \\ufffd\\ufffd \\ufffd\\ufffd\\ufffd \\ufffd\\ufffd\\ufffd\\ufffd\"");
    EXPECT_EQ(JsonString("\u00B5 \u20AC \U0001F600"), "\"\u00B5 \u20AC \U0001F600\"");
    EXPECT_TRUE(IsValidUtf8("\u00B5 \u20AC \U0001F600 \xEF\xBF\xBF"));
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\x80"));
}

TEST(SurveyText, WorkedCurveDescriptionStationsAndTable) {
    const SolvedCurve curve(
        {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    EXPECT_EQ(Text(curve.Record(), Request(true, 1000, 100)),
              "a curve to the right having a radius of 1000.00 feet, a central angle of "
              "30\u00B000'00\", an arc length of 523.60 feet, and a long chord bearing "
              "N 60\u00B000'00\" E, 517.64 feet\n"
              "Stationing   arc\n"
              "PI           10+00.00\n"
              "PC           7+32.05\n"
              "PT           12+55.65\n"
              "Stakeout     every 100.000, deflections right from the back tangent at the PC\n"
              "Station      Distance     Deflection   Chord        Sub-chord\n"
              "7+32.05      0.000        0 00  0.0    0.000        0.000\n"
              "8+00.00      67.949       1 56 47.8    67.936       67.936\n"
              "9+00.00      167.949      4 48 41.0    167.752      99.958\n"
              "10+00.00     267.949      7 40 34.2    267.148      99.958\n"
              "11+00.00     367.949      10 32 27.5   365.877      99.958\n"
              "12+00.00     467.949      13 24 20.7   463.691      99.958\n"
              "12+55.65     523.599      15 00  0.0   517.638      55.642\n");
}

// The table the stations window copies and saves: the cells of the text above.
TEST(StakeoutDelimited, CsvAndTabCellsAreThoseOfTheText) {
    const SolvedCurve curve(
        {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    const CurveSurvey survey = SurveyCurve(curve.Record(), Request(false, 1000, 100));
    ASSERT_TRUE(survey.stakeout);
    const std::string csv = StakeoutDelimited(*survey.stakeout, ',');
    EXPECT_EQ(csv,
              "Station,Distance,Deflection,Chord,Sub-chord\n"
              "7+32.05,0.000,0 00  0.0,0.000,0.000\n"
              "8+00.00,67.949,1 56 47.8,67.936,67.936\n"
              "9+00.00,167.949,4 48 41.0,167.752,99.958\n"
              "10+00.00,267.949,7 40 34.2,267.148,99.958\n"
              "11+00.00,367.949,10 32 27.5,365.877,99.958\n"
              "12+00.00,467.949,13 24 20.7,463.691,99.958\n"
              "12+55.65,523.599,15 00  0.0,517.638,55.642\n");
    std::string tabs = csv;
    for (char& c : tabs) c = c == ',' ? '\t' : c;
    EXPECT_EQ(StakeoutDelimited(*survey.stakeout, '\t'), tabs);
    // No table, nothing to copy.
    const CurveSurvey none = SurveyCurve(curve.Record(), Request(false, 1000, 1e-9));
    ASSERT_TRUE(none.stakeout && none.stakeout->error);
    EXPECT_EQ(StakeoutDelimited(*none.stakeout, ','), "");
}

TEST(SurveyText, NoStationsWithoutAFinitePi) {
    const SolvedCurve curve({{Field::Radius, "200"}, {Field::Delta, "200"}}, true);
    EXPECT_EQ(Text(curve.Record(), Request(false, 500, 25)),
              "Stationing   arc\n"
              "PI           5+00.00\n"
              "PC           undefined\n"
              "PT           undefined\n"
              "Stakeout     none: the curve has no PC and PT stations to stake out from\n");
}

TEST(CurveJson, EveryRecordValueReadsBackToTheSameDouble) {
    const SolvedCurve curve(
        {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    const CCurveRecord& r = curve.Record();
    const std::string json = Json(curve, Request(true), 0);
    ASSERT_EQ(json.back(), '\n');
    EXPECT_EQ(json.find('\n'), json.size() - 1);  // one line
    EXPECT_EQ(test::CheckJson(json), "");
    const struct {
        const char* key;
        double value;
    } values[] = {
        {"radius", r.m_radius},
        {"degree-arc", r.m_degreeArc},
        {"degree-chord", r.m_degreeChord},
        {"larc", r.m_lengthArc},
        {"lrr", r.m_lengthRR},
        {"chord", r.m_chord},
        {"tangent", r.m_tangent},
        {"delta", r.m_delta},
        {"inbound-az", r.m_inboundAz},
        {"chord-az", r.m_chordAz},
        {"outbound-az", r.m_outboundAz},
        {"external", r.m_external},
        {"mid-ordinate", r.m_midOrdinate},
        {"delta-x", r.m_deltaX},
        {"delta-y", r.m_deltaY},
        {"circle-area", r.m_circleArea},
        {"sector-area", r.m_sectorArea},
        {"segment-area", r.m_segmentArea},
        {"fillet-area", r.m_filletArea},
    };
    for (const auto& v : values) EXPECT_EQ(JsonValueAfter(json, v.key), v.value) << v.key;
    EXPECT_NE(json.find("\"half-delta\":\"15 00  0.0\""), std::string::npos);
    EXPECT_NE(json.find("\"circle-area\":\"3.1415927e+006\""), std::string::npos);
    EXPECT_NE(json.find("\"pair\":{\"last\":\"delta\",\"previous\":\"radius\"}"),
              std::string::npos);
    EXPECT_NE(json.find("\"description\":\"a curve to the right"), std::string::npos);
    EXPECT_EQ(json.find("\"stations\""), std::string::npos);  // not asked for
    EXPECT_EQ(json.find("\"line\""), std::string::npos);
}

TEST(CurveJson, UndefinedValuesAreNullAndTablesAreIncluded) {
    // Radius 40: no chord-definition degree, no pseudo-length.
    const SolvedCurve curve({{Field::Radius, "40"}, {Field::Delta, "30"}});
    const std::string json = Json(curve, Request(false, 100, 5), 17);
    EXPECT_EQ(test::CheckJson(json), "");
    EXPECT_EQ(json.rfind("{\"line\":17,", 0), 0u);
    EXPECT_NE(json.find("\"degree-chord\":null"), std::string::npos);
    EXPECT_NE(json.find("\"lrr\":null"), std::string::npos);
    EXPECT_NE(json.find("\"degree-chord\":\"undefined\""), std::string::npos);
    EXPECT_NE(json.find("\"pc-text\":\"0+89.28\""), std::string::npos);
    EXPECT_NE(json.find("\"error\":null"), std::string::npos);
    // PC 89.28, PT 110.22: rows at the PC, 90 to 110 every 5, the PT.
    std::size_t rows = 0;
    for (std::size_t at = json.find("\"station-text\""); at != std::string::npos;
         at = json.find("\"station-text\"", at + 1)) {
        ++rows;
    }
    EXPECT_EQ(rows, 7u);
    EXPECT_NE(json.find("\"deflection-text\":\"15 00  0.0\""), std::string::npos);
}

}  // namespace
}  // namespace bendwise
