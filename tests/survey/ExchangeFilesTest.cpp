// Coordinates of a placed curve and the files made from them: distances that must hold on
// every shape, placed from the PC and from the PI; the points text; the worked check
// through the points, LandXML and DXF files. (The DXF and LandXML are also read back by ezdxf and
// xmllint in tests/cli/exchange_readback.py.)

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/CurveSurvey.h"
#include "survey/ExchangeFiles.h"

namespace bendwise {
namespace {

using test::SolvedCurve;

// The worked check: radius 1000, Delta 30, inbound azimuth 45, right, PC N 5000 E 2000.
SolvedCurve WorkedCurve() {
    return SolvedCurve({{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
}

CurveSurvey Survey(const CCurveRecord& record, KnownPosition known,
                   std::optional<double> piStation = std::nullopt,
                   std::optional<double> interval = std::nullopt) {
    SurveyRequest request;
    request.known = known;
    request.piStation = piStation;
    request.stakeoutInterval = interval;
    return SurveyCurve(record, request);
}

double Distance(const NorthEast& a, const NorthEast& b) {
    return std::hypot(a.northing - b.northing, a.easting - b.easting);
}

// Every point lies where the curve's own lengths say, on every shape and from either point.
TEST(PlaceCurve, DistancesHoldOnEveryShape) {
    const struct Shape {
        const char* name;
        SolvedCurve curve;
        KnownPoint given;
    } shapes[] = {
        {"right",
         {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}},
         KnownPoint::Pi},
        {"left",
         {{{Field::Radius, "300"}, {Field::Delta, "75"}, {Field::InboundAz, "200"}}, true},
         KnownPoint::Pc},
        {"tiny radius", {{Field::Delta, "40"}, {Field::Radius, "0.05"}}, KnownPoint::Pi},
        {"huge radius", {{Field::Radius, "1e12"}, {Field::Delta, "0.000001"}}, KnownPoint::Pi},
        {"Delta near 0", {{Field::Radius, "1000"}, {Field::Delta, "0.0001"}}, KnownPoint::Pc},
        {"Delta 179.99",
         {{{Field::Radius, "100"}, {Field::Delta, "179.99"}}, true},
         KnownPoint::Pi},
        {"Delta 180", {{Field::Radius, "100"}, {Field::Delta, "180"}}, KnownPoint::Pc},
        {"Delta 300", {{{Field::Radius, "100"}, {Field::Delta, "300"}}, true}, KnownPoint::Pc},
    };
    const NorthEast given{612345.678, 1234567.891};  // state-plane size
    for (const Shape& shape : shapes) {
        const CCurveRecord& r = shape.curve.Record();
        const CurveSurvey survey = Survey(r, {shape.given, given}, 100, r.m_lengthArc / 7);
        ASSERT_TRUE(survey.points) << shape.name;
        const CurvePoints& p = *survey.points;
        ASSERT_FALSE(p.error) << shape.name;
        // Rounding of the coordinates themselves, and 1e-14 of each length.
        auto near = [&](double got, double want) {
            return std::fabs(got - want) <= 1e-14 * std::fabs(want) + 1e-9;
        };
        EXPECT_EQ(p.pi.has_value(), r.m_delta < 180) << shape.name;
        EXPECT_TRUE(near(Distance(p.rp, p.pc), r.m_radius)) << shape.name;
        EXPECT_TRUE(near(Distance(p.rp, p.pt), r.m_radius)) << shape.name;
        EXPECT_TRUE(near(Distance(p.rp, p.mpc), r.m_radius)) << shape.name;
        EXPECT_TRUE(near(Distance(p.pc, p.pt), std::fabs(r.m_chord))) << shape.name;
        EXPECT_TRUE(near(Distance(p.pc, p.mpc), Distance(p.pt, p.mpc))) << shape.name;
        if (p.pi) {
            EXPECT_TRUE(near(Distance(p.pc, *p.pi), r.m_tangent)) << shape.name;
            EXPECT_TRUE(near(Distance(*p.pi, p.pt), r.m_tangent)) << shape.name;
        }
        const NorthEast& known = shape.given == KnownPoint::Pc ? p.pc : *p.pi;
        EXPECT_EQ(known.northing, given.northing) << shape.name;
        EXPECT_EQ(known.easting, given.easting) << shape.name;
        if (!survey.stakeout || survey.stakeout->error) continue;
        const Stakeout& stakeout = *survey.stakeout;
        ASSERT_EQ(stakeout.positions.size(), stakeout.rows.size()) << shape.name;
        for (std::size_t i = 0; i < stakeout.rows.size(); ++i) {
            EXPECT_TRUE(near(Distance(stakeout.positions[i], p.rp), r.m_radius)) << shape.name;
            EXPECT_TRUE(near(Distance(stakeout.positions[i], p.pc), stakeout.rows[i].chord))
                << shape.name << " row " << i;
        }
    }
}

TEST(SurveyText, PointsAndStakeoutColumnsOnlyWhenPlaced) {
    const SolvedCurve worked = WorkedCurve();
    EXPECT_EQ(SurveyText(worked.Record(),
                         Survey(worked.Record(), {KnownPoint::Pc, {5000, 2000}}, 1000, 200)),
              "Stationing   arc\n"
              "PI           10+00.00\n"
              "PC           7+32.05\n"
              "PT           12+55.65\n"
              "Point        Northing     Easting\n"
              "PC           5000.0000    2000.0000\n"
              "PI           5189.4687    2189.4687\n"
              "PT           5258.8190    2448.2877\n"
              "RP           4292.8932    2707.1068\n"
              "MPC          5158.9186    2207.1068\n"
              "Stakeout     every 200.000, deflections right from the back tangent at the PC\n"
              "Station      Distance     Deflection   Chord        Sub-chord    Northing     "
              "Easting\n"
              "7+32.05      0.000        0 00  0.0    0.000        0.000        5000.0000    "
              "2000.0000\n"
              "8+00.00      67.949       1 56 47.8    67.936       67.936       5046.3786    "
              "2049.6421\n"
              "10+00.00     267.949      7 40 34.2    267.148      199.667      5161.9771    "
              "2212.4421\n"
              "12+00.00     467.949      13 24 20.7   463.691      199.667      5242.9280    "
              "2394.9628\n"
              "12+55.65     523.599      15 00  0.0   517.638      55.642       5258.8190    "
              "2448.2877\n");

    // No PI: from the PC the rest is given; from a PI there is nothing to place (the text
    // for that is pinned end to end in SurveyCli.BatchLeavesOutTheFilesOfACurveWithoutPi).
    const SolvedCurve wide({{Field::Radius, "100"}, {Field::Delta, "200"}}, true);
    EXPECT_EQ(SurveyText(wide.Record(), Survey(wide.Record(), {KnownPoint::Pc, {0, 0}})),
              "Point        Northing     Easting\n"
              "PC           0.0000       0.0000\n"
              "PI           none: a Delta of 180 degrees or more has no PI\n"
              "PT           -34.2020     -193.9693\n"
              "RP           0.0000       -100.0000\n"
              "MPC          98.4808      -117.3648\n");
    EXPECT_EQ(PointsFile(Survey(wide.Record(), {KnownPoint::Pi, {0, 0}})), "");
}

TEST(ExchangeFiles, WorkedCheckThroughEveryFormat) {
    const SolvedCurve curve = WorkedCurve();
    SurveyRequest request;
    request.known = KnownPosition{KnownPoint::Pc, {5000, 2000}};
    request.firstPoint = 101;
    const CurveSurvey survey = SurveyCurve(curve.Record(), request);

    EXPECT_EQ(PointsFile(survey),
              "101,5000.0000,2000.0000,,PC\r\n"
              "102,5189.4687,2189.4687,,PI\r\n"
              "103,5258.8190,2448.2877,,PT\r\n"
              "104,4292.8932,2707.1068,,RP\r\n"
              "105,5158.9186,2207.1068,,MPC\r\n");

    const std::string xml = LandXmlFile(curve.Record(), survey, {"2024-05-01", "13:45:10", true});
    EXPECT_EQ(test::CheckXml(xml), "");
    for (const char* part : {
             "<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" version=\"1.2\" "
             "date=\"2024-05-01\" time=\"13:45:10\">",
             "<Metric areaUnit=\"squareMeter\" linearUnit=\"meter\" volumeUnit=\"cubicMeter\" "
             "temperatureUnit=\"celsius\" pressureUnit=\"milliBars\" angularUnit=\"decimal "
             "degrees\" directionUnit=\"decimal degrees\"/>",
             "<CgPoint name=\"102\" desc=\"PI\">5189.468690981506 2189.468690981506</CgPoint>",
             "<Alignment name=\"Curve\" length=\"1059.4971604605441\" staStart=\"0\">",
             "<Curve rot=\"cw\" crvType=\"arc\" staStart=\"267.9491924311227\" radius=\"1000\" "
             "length=\"523.5987755982987\" delta=\"30\" tangent=\"267.9491924311227\" "
             "chord=\"517.6380902050415\" external=\"35.27618041008304\" "
             "midOrd=\"34.07417371093169\" dirStart=\"315\" dirEnd=\"285\">",
             "<PI>5189.468690981506 2189.468690981506</PI>",
         }) {
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    }

    const std::string dxf = DxfFile(curve.Record(), survey);
    EXPECT_EQ(dxf.substr(dxf.size() - 10), "  0\r\nEOF\r\n");
    // Centre E 2707.1068 N 4292.8932, radius 1000, from 105 (PT) to 135 degrees (PC).
    EXPECT_NE(
        dxf.find("  0\r\nARC\r\n  8\r\nCURVE\r\n 10\r\n2707.106781186548\r\n 20\r\n"
                 "4292.893218813452\r\n 30\r\n0\r\n 40\r\n1000\r\n 50\r\n105\r\n 51\r\n135\r\n"),
        std::string::npos);
    EXPECT_NE(dxf.find(" 10\r\n2189.468690981506\r\n 20\r\n5189.468690981506\r\n"),
              std::string::npos);  // the PI, x = easting

    EXPECT_NE(CurveJson(curve.Record(), curve.memory, survey, 0)
                  .find("\"coordinates\":{\"given\":\"pc\",\"error\":null,\"pc\":{\"northing\":"
                        "5000,\"easting\":2000},\"pi\":{\"northing\":5189.4686909815064,"),
              std::string::npos);
}

// What an ARC cannot carry: a whole turn or more is a CIRCLE, and an arc whose start and
// end angles round to the same double (which CAD reads as a whole circle) is its chord.
TEST(DxfFile, ArcsAnArcCannotCarry) {
    const struct {
        const char* name;
        SolvedCurve curve;
        const char* entity;  // on layer CURVE
        const char* note;
    } cases[] = {
        {"Delta 360",
         {{Field::Delta, "360"}, {Field::Radius, "10"}},
         "CIRCLE",
         "A Delta of 360 degrees or more"},
        {"Delta 6e-15",
         {{Field::Radius, "1e13"}, {Field::LengthArc, "0.001"}},
         "LINE",
         "drawn as its chord"},
        {"Delta 300",
         {{Field::Radius, "100"}, {Field::Delta, "300"}},
         "ARC",
         "No PI: a Delta of 180 degrees or more has no PI"},
    };
    for (const auto& c : cases) {
        const CurveSurvey survey = Survey(c.curve.Record(), {KnownPoint::Pc, {0, 0}});
        const std::string dxf = DxfFile(c.curve.Record(), survey);
        for (const std::string entity : {"ARC", "CIRCLE", "LINE"}) {
            EXPECT_EQ(dxf.find("  0\r\n" + entity + "\r\n  8\r\nCURVE\r\n") != std::string::npos,
                      entity == c.entity)
                << c.name << " " << entity;
        }
        EXPECT_NE(dxf.find(c.note), std::string::npos) << c.name;
    }
}

}  // namespace
}  // namespace bendwise
