// The survey extras of any curve a user can type, with any option values the command line
// takes: the legal description, PI / PC / PT stations, the stakeout table, the JSON line
// and the SVG drawing, rendered for the curve a session script leaves behind. Extreme
// values (an inbound azimuth of 5e304 or -1e308, a PI station of 308 digits, a stakeout
// interval of 1e-300) come from the dictionary and the seeds.
//
// Script, one step after another until the input runs out:
//   byte op    op % 16 in 0..9: type into entry field op % 16 (as in FuzzSession.cpp: the
//              next byte b gives the length b & 0x1F, at most 16, Enter when b & 0x80,
//              then the text); 10: Left, 11: SqFt-->Acres, 12: Packed DMS (each flips);
//              13: --pi-station, 14: --stakeout, 15: --unit, each with the next byte's
//              low 6 bits as the length of the value that follows (a value the command
//              line refuses is not taken), and bit 6 of that byte flipping --describe and
//              bit 7 --stationing chord.
// Checked besides the sanitizers: no text shows "nan" or "inf" (but for the user's own
// length word); the JSON line is valid
// UTF-8 and well-formed JSON; the drawing is well-formed XML.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "frontend/SurveyOptions.h"
#include "fuzz/CurveInvariants.h"
#include "session/CurveModel.h"
#include "survey/CurveDiagram.h"
#include "survey/CurveSurvey.h"
#include "survey/JsonWriter.h"
#include "tests/support/MiniParsers.h"

namespace {

using namespace bendwise;

class QuietHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view) override {}
    void PlaySound(Sound) override {}
    void SetIndicator(int, bool) override {}
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return std::nullopt; }
};

[[noreturn]] void Fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "survey invariant failed: %s in:\n%s\n", what, text.c_str());
    std::abort();
}

// No "nan" or "inf" outside the length word, which is the user's own ("info").
void CheckText(const char* what, const std::string& text, const std::string& unit) {
    std::string rest = text;
    for (std::size_t at; !unit.empty() && (at = rest.find(unit)) != std::string::npos;) {
        rest.erase(at, unit.size());
    }
    if (fuzz::ShowsNonFinite(rest)) Fail(what, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CCurveMemory memory;
    QuietHost host;
    CCurveModel model(&memory, &host);
    model.Initialize();
    SurveyOptions options;
    options.describe = true;
    bool left = false, acres = false, packed = memory.m_packedDms != 0;

    std::size_t i = 0;
    auto text = [&](std::size_t length) {
        if (length > size - i) length = size - i;
        std::string out(reinterpret_cast<const char*>(data + i), length);
        i += length;
        return out;
    };
    while (i < size) {
        const int op = data[i++] % 16;
        if (i >= size && op != 10 && op != 11 && op != 12) break;
        if (op < 10) {
            const std::uint8_t b = data[i++];
            const std::string typed = text(std::min<std::size_t>(b & 0x1F, 16));
            if (b & 0x80) model.OnEnterKey();
            model.OnKillfocus(static_cast<Field>(op), typed);
        } else if (op == 10) {
            model.OnLeft(left = !left);
        } else if (op == 11) {
            model.OnAcres(acres = !acres);
        } else if (op == 12) {
            model.OnPackedDms(packed = !packed);
        } else {
            const std::uint8_t b = data[i++];
            const std::string value = text(b & 0x3F);
            static const char* const kNames[] = {"--pi-station", "--stakeout", "--unit"};
            SurveyOptions tried = options;
            std::string reason;
            if (SetSurveyOption(kNames[op - 13], value, tried, reason)) options = tried;
            if (b & 0x40) options.describe = !options.describe;
            if (b & 0x80) options.stationing = Stationing::Chord;
        }
    }
    std::string reason;
    if (!CheckSurveyOptions(options, reason)) {
        options.stakeoutInterval.reset();
        options.stationing.reset();
    }

    const CCurveRecord& record = model.Record();
    const CurveSurvey survey = SurveyCurve(record, RequestOf(options));
    CheckText("survey text", SurveyText(record, survey), options.unit);
    const std::string json = CurveJson(record, memory, survey, 7);
    const std::string unitInJson = JsonString(options.unit);
    CheckText("JSON", json, unitInJson.substr(1, unitInJson.size() - 2));
    if (!IsValidUtf8(json)) Fail("JSON not UTF-8", json);
    if (const std::string fault = test::CheckJson(json); !fault.empty()) Fail(fault.c_str(), json);
    const std::string svg = BuildCurveSvg(record);
    CheckText("SVG", svg, "");
    if (const std::string fault = test::CheckXml(svg); !fault.empty()) Fail(fault.c_str(), svg);
    return 0;
}
