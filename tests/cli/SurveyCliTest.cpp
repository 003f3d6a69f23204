// bendwise-cli's survey options run end to end: the built program, real files, both
// standard streams and the exit status.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/Files.h"
#include "support/MiniParsers.h"
#include "support/SolvedCurve.h"
#include "survey/CurveDiagram.h"
#include "survey/LegalDescription.h"

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
        std::string command = "cd '" + m_dir.string() + "' && LC_ALL=C '" BENDWISE_CLI "'";
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

TEST_F(SurveyCli, UnwritableSvgFileEndsWithStatusThree) {
    Run({"radius=1000", "--svg", "missing/curve.svg"});
    EXPECT_EQ(status, 3);
    EXPECT_EQ(err,
              "bendwise-cli: cannot write SVG file 'missing/curve.svg': No such file or "
              "directory\n");
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

}  // namespace
}  // namespace bendwise
