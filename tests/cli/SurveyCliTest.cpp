// bendwise-cli's survey options run end to end: the built program, real files, both
// standard streams and the exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/CliCommand.h"
#include "support/Files.h"
#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/CurveDiagram.h"
#include "survey/CurveSurvey.h"
#include "survey/ExchangeFiles.h"
#include "survey/LegalDescription.h"
#include "survey/SpiralSurvey.h"

namespace bendwise {
namespace {

namespace fs = std::filesystem;

using bendwise::test::ReadFile;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SurveyCli : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = bendwise::test::MakeScratchDir("bendwise-survey");
        ASSERT_FALSE(m_dir.empty());
    }
    void TearDown() override { fs::remove_all(m_dir); }

    // Runs the program in the test's directory with `args` (each quoted for the shell).
    void Run(const std::vector<std::string>& args) {
        std::string command = "cd '" + m_dir.string() + "' && LC_ALL=C";
        for (const std::string& word : test::CliCommand()) command += " '" + word + "'";
        for (const std::string& arg : args) command += " '" + arg + "'";
        command += " > stdout.txt 2> stderr.txt";
        const int raw = std::system(command.c_str());
        status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        out = ReadFile(m_dir / "stdout.txt");
        err = ReadFile(m_dir / "stderr.txt");
    }
    fs::path Path(const std::string& name) const { return m_dir / name; }

    int status = -1;
    std::string out;
    std::string err;

  private:
    fs::path m_dir;
};

TEST_F(SurveyCli, DescriptionFollowsTheBlock) {
    Run({"radius=1000", "delta=30", "inbound-az=45", "--describe", "--unit", "metres"});
    EXPECT_EQ(status, 0);
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[1].rfind("Radius       1000.000", 0), 0u);
    EXPECT_EQ(lines[11],
              "a curve to the right having a radius of 1000.00 metres, a central angle of "
              "30\u00B000'00\", an arc length of 523.60 metres, and a long chord bearing "
              "N 60\u00B000'00\" E, 517.64 metres");
}

TEST_F(SurveyCli, SvgFileIsTheDiagramOfTheFinalCurve) {
    Run({"radius=1000", "delta=30", "inbound-az=45", "--svg", "curve.svg"});
    EXPECT_EQ(status, 0);
    const test::SolvedCurve curve(
        {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    EXPECT_EQ(ReadFile(Path("curve.svg")), BuildCurveSvg(curve.Record()));
}

// In a batch each curve is one JSON line and one SVG file, both named by the batch line.
TEST_F(SurveyCli, BatchGivesOneJsonLineAndOneSvgPerCurve) {
    std::ofstream(Path("lines.txt")) << "radius=1000 delta=30\n# a comment\n\nleft=on\n";
    Run({"--batch", "lines.txt", "--json", "--pi-station", "10+00", "--svg", "plan.svg"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, "");
    const std::vector<std::string> lines = Lines(out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("{\"line\":1,", 0), 0u);
    EXPECT_EQ(lines[1].rfind("{\"line\":4,", 0), 0u);
    for (const std::string& line : lines) {
        EXPECT_EQ(test::CheckJson(line), "");
        EXPECT_NE(line.find("\"pc-text\":\"7+32.05\""), std::string::npos);
    }
    EXPECT_NE(lines[1].find("\"left\":true"), std::string::npos);
    EXPECT_NE(ReadFile(Path("plan-1.svg")).find("Curve to the right"), std::string::npos);
    EXPECT_NE(ReadFile(Path("plan-4.svg")).find("Curve to the left"), std::string::npos);
    EXPECT_EQ(test::CheckXml(ReadFile(Path("plan-4.svg"))), "");
    EXPECT_FALSE(fs::exists(Path("plan.svg")));
    EXPECT_FALSE(fs::exists(Path("plan-2.svg")));
}

TEST_F(SurveyCli, JsonGoesToStandardOutputWhileTheBlockGoesToTheFile) {
    Run({"radius=1000", "delta=30", "--output", "report.txt", "--json"});
    EXPECT_EQ(status, 0);
    EXPECT_EQ(Lines(ReadFile(Path("report.txt"))).size(), 11u);
    EXPECT_EQ(Lines(out).size(), 1u);
    EXPECT_EQ(test::CheckJson(out), "");
    EXPECT_EQ(err, "sound: asterisk\n");
}

TEST_F(SurveyCli, UnwritableFileEndsWithStatusThree) {
    const struct {
        const char* option;
        const char* kind;
    } cases[] = {
        {"--svg", "SVG"}, {"--points", "points"}, {"--landxml", "LandXML"}, {"--dxf", "DXF"}};
    for (const auto& c : cases) {
        Run({"radius=1000", "--pc", "0,0", c.option, "missing/curve.out"});
        if (std::string(c.option) == "--landxml" && !test::CliWritesLandXml()) {
            EXPECT_EQ(status, 2);  // refused before anything is solved or written
            EXPECT_EQ(err,
                      "bendwise-cli: --landxml: this build writes no LandXML (it has no XML "
                      "writer)\n");
            continue;
        }
        EXPECT_EQ(status, 3) << c.option;
        EXPECT_EQ(err, std::string("bendwise-cli: cannot write ") + c.kind +
                           " file 'missing/curve.out': No such file or directory\n");
    }
}

// The files of the worked curve are the survey library's bytes for it, whatever the run
// adds: the point numbers, the metric units, the date and time of the LandXML.
TEST_F(SurveyCli, ExchangeFilesAreTheLibrarysBytes) {
    const bool landXml = test::CliWritesLandXml();
    std::vector<std::string> args = {"radius=1000", "delta=30",   "inbound-az=45",
                                     "--pc",        "5000,2000",  "--pi-station",
                                     "10+00",       "--stakeout", "100",
                                     "--points",    "c.csv",      "--first-point",
                                     "7",           "--unit",     "m",
                                     "--dxf",       "c.dxf"};
    if (landXml) args.insert(args.end(), {"--landxml", "c.xml"});
    Run(args);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(err, "");
    const test::SolvedCurve curve(
        {{Field::Radius, "1000"}, {Field::Delta, "30"}, {Field::InboundAz, "45"}});
    SurveyRequest request;
    request.known = KnownPosition{KnownPoint::Pc, {5000, 2000}};
    request.piStation = 1000;
    request.stakeoutInterval = 100;
    request.firstPoint = 7;
    request.unit = "m";
    const CurveSurvey survey = SurveyCurve(curve.Record(), request);
    EXPECT_EQ(ReadFile(Path("c.csv")), PointsFile(survey));
    EXPECT_EQ(ReadFile(Path("c.dxf")), DxfFile(curve.Record(), survey));
    EXPECT_EQ(Lines(out)[15], "Point        Northing     Easting");
    if (!landXml) return;
    const std::string xml = ReadFile(Path("c.xml"));
    const std::size_t date = xml.find(" date=\"") + 7;
    const std::size_t time = xml.find(" time=\"") + 7;
    const LandXmlHeader header{xml.substr(date, 10), xml.substr(time, 8), true};
    EXPECT_EQ(xml, LandXmlFile(curve.Record(), survey, header));
}

// A curve of 180 degrees or more cannot be placed from a PI: its files are left out with a
// line that says so, the others are written, and the run ends with status 1.
TEST_F(SurveyCli, BatchLeavesOutTheFilesOfACurveWithoutPi) {
    std::ofstream(Path("lines.txt")) << "radius=100 delta=20\ndelta=200\nleft=on\n";
    Run({"packed=off", "--batch", "lines.txt", "--pi", "1000,500", "--points", "p.txt", "--dxf",
         "d.dxf"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(err,
              "bendwise-cli: not written: p-2.txt, d-2.dxf: a Delta of 180 degrees or more has "
              "no PI to place the curve from\n"
              "bendwise-cli: not written: p-3.txt, d-3.dxf: a Delta of 180 degrees or more has "
              "no PI to place the curve from\n");
    EXPECT_EQ(Lines(ReadFile(Path("p-1.txt"))).size(), 5u);
    EXPECT_TRUE(fs::exists(Path("d-1.dxf")));
    EXPECT_FALSE(fs::exists(Path("p-2.txt")) || fs::exists(Path("d-3.dxf")));
    EXPECT_NE(out.find("Coordinates  none: a Delta of 180 degrees or more has no PI to place"),
              std::string::npos);
}

// An inbound azimuth of 5e304 printed the chord bearing as "N -nan°d('d(\" W" (azimuth x
// 3600 overflowed, a NaN cast to int), in the description and inside the JSON. The chord
// azimuth is the inbound one here (Delta / 2 is lost beside it), reduced modulo 360 by
// exact integer arithmetic: 5e304 = 320, -5e304 = 40, 1e308 = 296, -1e308 = 64.
TEST_F(SurveyCli, ExtremeAzimuthsDescribeWithoutNan) {
    const struct {
        const char* azimuth;
        const char* bearing;
    } cases[] = {
        {"5e304", "N 40\u00B000'00\\\" W"},
        {"-5e304", "N 40\u00B000'00\\\" E"},
        {"1e308", "N 64\u00B000'00\\\" W"},
        {"-1e308", "N 64\u00B000'00\\\" E"},
    };
    for (const auto& c : cases) {
        Run({"packed=off", "radius=1000", "delta=30", std::string("inbound-az=") + c.azimuth,
             "--describe", "--json", "--pi-station", "10+00", "--stakeout", "100"});
        EXPECT_EQ(status, 0) << c.azimuth;
        EXPECT_EQ(err, "") << c.azimuth;
        EXPECT_EQ(test::CheckJson(out), "") << c.azimuth;
        EXPECT_EQ(out.find("nan"), std::string::npos) << out;
        EXPECT_NE(out.find(std::string("long chord bearing ") + c.bearing), std::string::npos)
            << out;
    }
}

// The number after `"key":` inside the object after `"object":` of a JSON line.
double JsonNumber(const std::string& json, const std::string& object, const std::string& key) {
    const std::size_t at = json.find("\"" + object + "\":");
    const std::size_t value = json.find("\"" + key + "\":", at);
    if (at == std::string::npos || value == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + value + key.size() + 3, nullptr);
}

std::string PointWord(const std::string& json, const std::string& point) {
    char text[80];
    std::snprintf(text, sizeof text, "%.17g,%.17g", JsonNumber(json, point, "northing"),
                  JsonNumber(json, point, "easting"));
    return text;
}

// A curve placed, its PC, RP, PT (and mid-arc point, PI) taken from its own coordinates and
// fitted again: every construction gives the same report block, so the same R, Delta,
// direction and azimuths to the printed digit; points that make no curve end the run with
// status 1 and write nothing.
TEST_F(SurveyCli, CurvesFromTheirOwnPointsGiveTheSameBlock) {
    const struct {
        const char* radius;
        const char* delta;
        const char* azimuth;
        const char* left;
        const char* pc;
    } curves[] = {
        {"1000", "30", "45", "off", "5000,2000"},
        {"286.4789", "12.5", "301.25", "on", "2113456.789,712345.678"},
        {"50", "200", "0", "off", "0,0"},
        {"7500.25", "1.75", "179.5", "on", "-1500.5,98765.4321"},
        {"120", "300", "270", "on", "1e6,2e6"},
    };
    for (const auto& c : curves) {
        const std::vector<std::string> entries = {
            "packed=off", std::string("radius=") + c.radius, std::string("delta=") + c.delta,
            std::string("inbound-az=") + c.azimuth, std::string("left=") + c.left};
        std::vector<std::string> args = entries;
        args.insert(args.end(), {"--pc", c.pc, "--json"});
        Run(args);
        ASSERT_EQ(status, 0) << err;
        const std::string json = out;
        Run(entries);
        const std::string block = out;
        const std::string pc = PointWord(json, "pc");
        const std::string pt = PointWord(json, "pt");
        std::vector<std::vector<std::string>> fits = {
            {"--inverse", pc, PointWord(json, "rp"), pt},
            {"--three-points", pc, PointWord(json, "mpc"), pt}};
        if (std::atof(c.delta) < 180) fits.push_back({"--pc-pi-pt", pc, PointWord(json, "pi"), pt});
        if (std::atof(c.delta) > 180) fits[0].push_back("--major");
        for (const std::vector<std::string>& fit : fits) {
            Run(fit);
            EXPECT_EQ(status, 0) << fit[0] << " " << c.radius << ": " << err;
            EXPECT_EQ(out.substr(0, block.size()), block) << fit[0] << " " << c.radius;
            EXPECT_EQ(out.substr(block.size(), 8), "Inverse ") << fit[0];
        }
    }
    Run({"--three-points", "0,0", "1,1", "2,2", "--points", "p.csv"});
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("on one line"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Path("p.csv")));
    Run({"--inverse", "0,0", "0,100", "1,100.5", "--tolerance", "0.5"});
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("0.5000"), std::string::npos) << err;
}

// The coordinate files number each point on the ground once, run on through a batch and
// never pass the collector's largest number; LandXML keeps the text's chord stations past
// the PT, invents no tangents for a curve without a PI and names the US survey foot.
TEST_F(SurveyCli, CoordinateFilesNumberAndStationAsTheText) {
    std::ofstream(Path("two.txt")) << "radius=1000 delta=30\nradius=500\n";
    Run({"--batch", "two.txt", "--pc", "0,0", "--pi-station", "10+00", "--stakeout", "100",
         "--points", "p.csv"});
    EXPECT_EQ(status, 0) << err;
    const std::vector<std::string> first = Lines(ReadFile(Path("p-1.csv")));
    const std::vector<std::string> second = Lines(ReadFile(Path("p-2.csv")));
    ASSERT_EQ(first.size(), 5u + 5u);  // PC PI PT RP MPC, then 8+00 ... 12+00
    EXPECT_EQ(first[5].substr(0, 2), "6,");
    EXPECT_EQ(second[0].substr(0, 3), "11,");
    for (const std::string& line : first) EXPECT_EQ(line.find(",7+32.05"), std::string::npos);
    Run({"--batch", "two.txt", "--pc", "0,0", "--points", "p.csv", "--restart-numbers"});
    EXPECT_EQ(Lines(ReadFile(Path("p-2.csv")))[0].substr(0, 2), "1,");

    Run({"radius=1000", "delta=30", "--pc", "0,0", "--points", "q.csv", "--first-point",
         "999999996", "--dxf", "q.dxf"});
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("would pass 999999999"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(Path("q.csv")));
    EXPECT_TRUE(fs::exists(Path("q.dxf")));
    Run({"radius=1000", "delta=30", "--pc", "0,0", "--unit", "usft", "--dxf", "q.dxf"});
    EXPECT_NE(ReadFile(Path("q.dxf")).find("lengths in US survey feet"), std::string::npos);

    if (!test::CliWritesLandXml()) return;
    Run({"degree-chord=12", "delta=40", "--pc", "0,0", "--pi-station", "25+50", "--stationing",
         "chord", "--landxml", "r.xml", "--unit", "US survey feet", "--json"});
    ASSERT_EQ(status, 0) << err;
    const std::string xml = ReadFile(Path("r.xml"));
    char ahead[64];
    std::snprintf(ahead, sizeof ahead, "staAhead=\"%.17g\"", JsonNumber(out, "stations", "pt"));
    EXPECT_NE(xml.find("<StaEquation"), std::string::npos) << xml;
    EXPECT_NE(xml.find(ahead), std::string::npos) << ahead << "\n" << xml;
    EXPECT_NE(xml.find("linearUnit=\"USSurveyFoot\""), std::string::npos);
    Run({"radius=100", "delta=200", "--pc", "0,0", "--pc-station", "3+00", "--landxml", "s.xml"});
    ASSERT_EQ(status, 0) << err;
    const std::string whole = ReadFile(Path("s.xml"));
    EXPECT_EQ(whole.find("<Line"), std::string::npos) << whole;
    EXPECT_NE(whole.find("staStart=\"300\""), std::string::npos) << whole;
}

// --spiral prints the library's Spiral lines for the solved curve, right after the report
// block, and a Delta too small for its spirals ends the run with status 1 and the reason.
TEST_F(SurveyCli, SpiralBlockIsTheLibrarysAfterTheReportBlock) {
    Run({"degree-arc=5", "delta=40", "--spiral", "300", "--pi-station", "100+00", "--stakeout",
         "100", "--pc", "5000,2000"});
    ASSERT_EQ(status, 0) << err;
    const test::SolvedCurve curve({{Field::DegreeArc, "5"}, {Field::Delta, "40"}});
    SpiralRequest request;
    request.length = 300;
    request.piStation = 10000;
    request.interval = 100;
    request.known = KnownPosition{KnownPoint::Pc, {5000, 2000}};
    std::string lines;
    AppendSpiralText(lines, SurveySpiral(curve.Record(), request));
    const std::size_t block = out.find("- - - - - - -", 1);
    ASSERT_NE(block, std::string::npos);
    EXPECT_EQ(out.substr(out.find('\n', block) + 1, lines.size()), lines);
    EXPECT_NE(lines.find("Delta c      25 00  0.0"), std::string::npos) << lines;
    Run({"radius=500", "delta=10", "--spiral", "300"});
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("bendwise-cli: no spirals: "), std::string::npos) << err;
    EXPECT_NE(out.find("Spiral       none: "), std::string::npos) << out;
}

}  // namespace
}  // namespace bendwise
