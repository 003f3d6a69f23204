// bendwise-cli's survey options: the values they take, the one-line reasons they refuse a
// value with, and the file name of each batch line's drawing.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "frontend/CliOptions.h"
#include "frontend/ExportFormats.h"
#include "frontend/SurveyOptions.h"

namespace bendwise {
namespace {

SurveyOptions Options(std::initializer_list<std::pair<const char*, const char*>> given) {
    SurveyOptions options;
    std::string reason;
    for (const auto& [name, value] : given) {
        EXPECT_TRUE(SetSurveyOption(name, value, options, reason)) << name << " " << reason;
    }
    return options;
}

TEST(SurveyOption, AcceptsGoodValues) {
    const SurveyOptions o = Options({{"--pi-station", "25+50.00"},
                                     {"--stationing", "chord"},
                                     {"--stakeout", "50"},
                                     {"--unit", "metres"},
                                     {"--svg", "plan.svg"},
                                     {"--describe", ""},
                                     {"--json", ""}});
    EXPECT_EQ(o.piStation, 2550.0);
    EXPECT_EQ(o.stationing, Stationing::Chord);
    EXPECT_EQ(o.stakeoutInterval, 50.0);
    EXPECT_EQ(o.unit, "metres");
    EXPECT_EQ(o.svgPath, "plan.svg");
    EXPECT_TRUE(o.describe);
    EXPECT_TRUE(o.json);
}

TEST(SurveyOption, RefusesBadValuesWithOneLineReason) {
    const struct {
        const char* name;
        const char* value;
        const char* reason;
    } cases[] = {
        {"--pi-station", "12+3x",
         "--pi-station: '12+3x' is not a station (25+50, 25+50.00 or 2550)"},
        {"--pi-station", "", "--pi-station: '' is not a station (25+50, 25+50.00 or 2550)"},
        {"--stakeout", "0", "--stakeout: the interval must be a positive length, not '0'"},
        {"--stakeout", "-5", "--stakeout: the interval must be a positive length, not '-5'"},
        {"--stakeout", "50ft", "--stakeout: the interval must be a positive length, not '50ft'"},
        {"--stakeout", "inf", "--stakeout: the interval must be a positive length, not 'inf'"},
        {"--stakeout", "1e400", "--stakeout: the interval must be a positive length, not '1e400'"},
        {"--stationing", "spiral", "--stationing takes arc or chord, not 'spiral'"},
        {"--unit", "", "--unit: '' is not a word for the length unit"},
        {"--unit", "m\xff", "--unit: the word is not valid UTF-8"},  // went into JSON as it was
        {"--svg", "", "--svg needs a FILE"},
        {"--dxf", "", "--dxf needs a FILE"},
        {"--first-point", "0",
         "--first-point: '0' is not a point number (a whole number from 1 to 999999999)"},
        {"--first-point", "1000000000",
         "--first-point: '1000000000' is not a point number (a whole number from 1 to "
         "999999999)"},
        {"--first-point", "+5",
         "--first-point: '+5' is not a point number (a whole number from 1 to 999999999)"},
    };
    for (const auto& c : cases) {
        SurveyOptions options;
        std::string reason;
        EXPECT_FALSE(SetSurveyOption(c.name, c.value, options, reason)) << c.name << c.value;
        EXPECT_EQ(reason, c.reason);
        EXPECT_FALSE(options.piStation || options.stakeoutInterval || options.stationing);
    }
}

// The N,E grammar of --pc and --pi, with the examples of cli/SurveyOptions.h.
TEST(SurveyOption, NorthingAndEasting) {
    const struct {
        const char* text;
        double northing;
        double easting;
    } legal[] = {
        {"5000,2000", 5000, 2000},
        {"5000.25,2000.5", 5000.25, 2000.5},
        {"-120.5,0", -120.5, 0},
        {"1e5,2e5", 1e5, 2e5},
    };
    for (const auto& c : legal) {
        const SurveyOptions o = Options({{"--pi", c.text}});
        ASSERT_TRUE(o.pi) << c.text;
        EXPECT_EQ(o.pi->northing, c.northing) << c.text;
        EXPECT_EQ(o.pi->easting, c.easting) << c.text;
    }
    for (const char* text : {"5000", "5000,", ",2000", "5000;2000", "5000,2000,10", "5000 ,2000",
                             "N5000,E2000", "inf,0", "1e400,0"}) {
        SurveyOptions options;
        std::string reason;
        EXPECT_FALSE(SetSurveyOption("--pc", text, options, reason)) << text;
        EXPECT_EQ(reason, "--pc: '" + std::string(text) +
                              "' is not a northing and easting (N,E such as 5000,2000.5)");
        EXPECT_FALSE(options.pc);
    }
}

// The D[,D...] grammar of --offsets, with the examples of survey/Coordinates.h: the window
// reads the same list, so what one takes the other takes.
TEST(SurveyOption, OffsetLists) {
    const struct {
        const char* text;
        std::vector<double> offsets;
    } legal[] = {
        {"-5,5", {-5, 5}}, {"-5, 5", {-5, 5}}, {" 2.5 ", {2.5}}, {"-1.5,\t0,1e1", {-1.5, 0, 10}}};
    for (const auto& c : legal) {
        const SurveyOptions o = Options({{"--offsets", c.text}});
        EXPECT_EQ(o.offsets, c.offsets) << c.text;
    }
    for (const char* text : {"", "-5,", ",5", "-5 5", "5ft", "-5,,5", "inf"}) {
        SurveyOptions options;
        std::string reason;
        EXPECT_FALSE(SetSurveyOption("--offsets", text, options, reason)) << text;
        EXPECT_EQ(reason,
                  "--offsets: '" + std::string(text) +
                      "' is not a list of offsets (D[,D...] such as -5,5; negative is left)");
        EXPECT_TRUE(options.offsets.empty());
    }
}

TEST(SurveyOption, StationsNeedThePiStation) {
    const struct {
        SurveyOptions options;
        const char* reason;  // empty when the combination is fine
    } cases[] = {
        {Options({{"--stakeout", "50"}}),
         "--stakeout needs --pi-station or --pc-station to know where the curve lies"},
        {Options({{"--stationing", "chord"}}), "--stationing needs --pi-station or --pc-station"},
        {Options({{"--stakeout", "50"}, {"--pi-station", "2550"}}), ""},
        {Options({{"--describe", ""}, {"--svg", "a.svg"}}), ""},
        {Options({{"--pc", "1,2"}, {"--pi", "1,2"}}),
         "--pc and --pi cannot be given together: the curve is placed from one point"},
        {Options({{"--landxml", "c.xml"}}), "--landxml needs --pc or --pi to place the curve"},
        {Options({{"--pi", "1,2"}, {"--dxf", "c.dxf"}, {"--first-point", "5"}}),
         "--first-point needs --points or --landxml"},
        {Options({{"--pc", "1,2"}, {"--points", "p.txt"}, {"--first-point", "5"}}), ""},
        {Options({{"--three-points", "0,0 1,1 2,0"}, {"--pc", "1,2"}}),
         "--three-points places the curve at its PC: --pc and --pi cannot be given with it"},
        {Options({{"--three-points", "0,0 1,1 2,0"}, {"--major", ""}}), "--major needs --inverse"},
        {Options({{"--three-points", "0,0 1,1 2,0"}, {"--tolerance", "1"}}),
         "--tolerance needs --inverse or --pc-pi-pt"},
        {Options({{"--pc-pi-pt", "0,0 1,1 2,0"}, {"--tolerance", "1"}, {"--dxf", "c.dxf"}}), ""},
        {Options({{"--pi-station", "0"}, {"--pc-station", "0"}}),
         "--pi-station and --pc-station cannot be given together"},
        {Options({{"--pc", "1,2"}, {"--station-offset", "3,4"}}),
         "--station-offset needs --pc, --pi or a curve from points, and --pi-station or "
         "--pc-station"},
        {Options({{"--pc", "1,2"}, {"--pc-station", "0"}, {"--offsets", "-5,5"}}),
         "--offsets needs --stakeout and --pc, --pi or a curve from points"},
        {Options({{"--pc", "1,2"}, {"--setup", "0,0"}}), "--setup needs --backsight"},
        {Options({{"--backsight", "0,0"}, {"--setup", "1,1"}}),
         "--setup needs --pc, --pi or a curve from points"},
        {Options({{"--inverse", "0,0 0,1 1,1"},
                  {"--major", ""},
                  {"--pc-station", "1+00"},
                  {"--stakeout", "10"},
                  {"--offsets", "-1,1"},
                  {"--station-offset", "1,1"},
                  {"--setup", "0,0"},
                  {"--backsight", "5,5"}}),
         ""},
    };
    for (const auto& c : cases) {
        std::string reason;
        EXPECT_EQ(CheckSurveyOptions(c.options, reason), *c.reason == '\0');
        EXPECT_EQ(reason, c.reason);
    }
}

TEST(SurveyOption, BatchLineNumberGoesBeforeTheExtension) {
    const struct {
        const char* path;
        long line;
        const char* result;
    } cases[] = {
        {"curve.svg", 0, "curve.svg"},   {"curve.svg", 3, "curve-3.svg"},
        {"out/plan", 12, "out/plan-12"}, {"out.d/plan", 2, "out.d/plan-2"},
        {".svg", 4, ".svg-4"},           {"a/b.c.svg", 7, "a/b.c-7.svg"},
    };
    for (const auto& c : cases) EXPECT_EQ(SvgPathForLine(c.path, c.line), c.result);
}

// The option table, --help and the export formats say the same: every option of the table
// has its item in the help ("  --name VALUE" at the start of a line), every option the help
// names is in the table, every export format is a survey option that takes a file, and
// every option the survey options take is one the table lists outside the run's own.
TEST(OptionTable, HelpTableAndFormatsAgree) {
    const std::string help = CliHelpText();
    for (const OptionInfo& option : CliOptions()) {
        if (option.group == OptionGroup::Info) continue;
        std::string item = "\n  " + std::string(option.name);
        if (!option.value.empty()) item += " " + std::string(option.value);
        const std::size_t at = help.find(item + " ") != std::string::npos ? help.find(item + " ")
                                                                          : help.find(item + "\n");
        EXPECT_NE(at, std::string::npos) << item;
    }
    const std::regex named("--[a-z][a-z-]*");
    std::set<std::string> inHelp;
    for (auto m = std::sregex_iterator(help.begin(), help.end(), named);
         m != std::sregex_iterator(); ++m) {
        inHelp.insert(m->str());
    }
    for (const std::string& name : inHelp) EXPECT_NE(FindCliOption(name), nullptr) << name;
    EXPECT_EQ(inHelp.size(), CliOptions().size());
    for (const ExportFormat& format : ExportFormats()) {
        const OptionInfo* option = FindCliOption(format.option);
        ASSERT_NE(option, nullptr) << format.option;
        EXPECT_EQ(option->takes, OptionTakes::File) << format.option;
        EXPECT_NE(option->group, OptionGroup::Run) << format.option;
        EXPECT_EQ(FindExportSuffix(format.suffix), &format) << format.option;
    }
    SurveyOptions options;
    std::string reason;
    for (const OptionInfo& option : CliOptions()) {
        const bool survey = option.group == OptionGroup::Survey ||
                            option.group == OptionGroup::Place ||
                            option.group == OptionGroup::Field;
        const std::string value = option.takes == OptionTakes::Nothing ? "" : "x";
        SetSurveyOption(option.name, value, options, reason);
        EXPECT_EQ(reason.rfind("unknown option", 0) != 0, survey) << option.name << ": " << reason;
        reason.clear();
    }
}

}  // namespace
}  // namespace bendwise
