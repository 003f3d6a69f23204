// The calculator page's door to the engine, compiled to WebAssembly with emscripten.
//
// The page owns nothing but what it shows. It hands a field's text to the same CCurveModel
// entry handler the window calls when the field loses the focus (after OnEnterKey when
// Enter was pressed), forwards the check boxes and report buttons, and after every call
// reads back what the engine made of it: the curve as CurveJson writes it, the six
// indicators, and the engine's messages, sounds and status lines in the order they
// happened (PageHost records them; the page replays the messages one at a time). The
// report file lives in the module's memory file system until the page downloads it.
//
// Every function returns a C string that stays valid until the next call.

#include <emscripten/emscripten.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "bendwise/Version.h"
#include "frontend/CurveControls.h"
#include "frontend/SurveyOptions.h"
#include "frontend/Switches.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "solver/Curve.h"
#include "solver/Fields.h"
#include "survey/CurveDiagram.h"
#include "survey/CurveSurvey.h"
#include "survey/JsonWriter.h"
#include "survey/LengthSvg.h"
#include "survey/StakeoutTable.h"

namespace bendwise {
namespace {

// Where "Write New File" and "Append to File" write; the page downloads it under its name.
constexpr const char* kReportPath = "/curve-report.txt";

// Records what the engine shows as lines of "kind<TAB>text": message, sound
// (exclamation or asterisk), status; and keeps the six indicators as the window would.
class PageHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view text) override { Add("message", text); }
    void PlaySound(Sound sound) override {
        Add("sound", sound == Sound::Asterisk ? "asterisk" : "exclamation");
    }
    void ShowStatus(std::string_view text) override { Add("status", text); }
    void SetIndicator(int group, bool checked) override {
        m_indicators = checked ? (m_indicators | group) : (m_indicators & ~group);
    }
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return kReportPath; }

    int Indicators() const { return m_indicators; }
    std::string TakeEvents() { return std::move(m_events); }

  private:
    void Add(std::string_view kind, std::string_view text) {
        m_events.append(kind).push_back('\t');
        m_events.append(text).push_back('\n');
    }

    std::string m_events;
    int m_indicators = 0;
};

// One calculator: the memory with its defaults and the model initialised as after
// "Accept". The survey options are those of bendwise-cli, read by its own parser.
struct Page {
    Page() { model.Initialize(); }
    CCurveMemory memory;
    PageHost host;
    CCurveModel model{&memory, &host};
    SurveyOptions survey;
};

std::optional<Page> g_page;
std::string g_result;

Page& Current() {
    if (!g_page) g_page.emplace();
    return *g_page;
}

const char* Result(std::string text) {
    g_result = std::move(text);
    return g_result.c_str();
}

const char* KindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
            return "button";
        case ControlKind::DefaultButton:
            return "default-button";
        case ControlKind::Indicator:
            return "indicator";
        case ControlKind::EntryField:
            return "entry";
        case ControlKind::ResultField:
            return "result";
        case ControlKind::CheckBox:
            return "check";
        case ControlKind::Label:
            return "label";
        case ControlKind::Frame:
            return "frame";
        case ControlKind::StatusLine:
            return "status-line";  // the page has its own, beside the calculator
    }
    return "";
}

// The element id of a working control on the page: the bendwise-cli name of a field or
// check box, the window's object name otherwise.
std::string PageId(const ControlRow& control) {
    if (control.kind == ControlKind::EntryField || control.kind == ControlKind::ResultField) {
        return InfoOf(static_cast<Field>(control.role)).name;
    }
    for (const SwitchInfo& box : Switches()) {
        if (box.controlId == control.id) return box.name;
    }
    return control.name;
}

// The curve from points the page's section asks for: `option` is the bendwise-cli option
// of the fit (--three-points, --inverse, --pc-pi-pt), `points` its three N,E texts,
// `major` and `tolerance` as the section shows them (each read only where the fit takes
// it). Read by bendwise-cli's own parser into `options`; on a bad text returns false with
// `input` (0 to 2 the points, 3 the tolerance) and the parser's reason without its option.
bool ReadPoints(std::string_view option, const char* const (&points)[3], bool major,
                std::string_view tolerance, SurveyOptions& options, int& input,
                std::string& reason) {
    SurveyOptions scratch;
    std::string joined;
    for (int i = 0; i < 3; ++i) {
        // One point at a time, so that the reason can name the point.
        if (!SetSurveyOption("--setup", points[i], scratch, reason)) {
            input = i;
            reason.erase(0, reason.find(": ") + 2);
            return false;
        }
        if (i > 0) joined.push_back(' ');
        joined.append(points[i]);
    }
    input = -1;
    if (!SetSurveyOption(option, joined, options, reason)) return false;
    const PointsFit fit = options.fromPoints->fit;
    if (major && fit == PointsFit::RadiusPoint) SetSurveyOption("--major", "", options, reason);
    if (!tolerance.empty() && fit != PointsFit::ThreePoints &&
        !SetSurveyOption("--tolerance", tolerance, options, reason)) {
        input = 3;
        reason.erase(0, reason.find(": ") + 2);
        return false;
    }
    return true;
}

// What the section shows of the points: {"input", "reason"} for a text the parser refused,
// else {"text"} (the Inverse lines bendwise-cli prints) and "refusal" (why the points make
// no curve, or null).
std::string PointsJson(const PointsInverse* inverse, int input, const std::string& reason) {
    JsonWriter json;
    json.BeginObject();
    if (inverse == nullptr) {
        json.Key("input");
        json.Number(input);
        json.Key("reason");
        json.String(reason);
    } else {
        std::string text;
        AppendInverseText(text, *inverse);
        json.Key("text");
        json.String(text);
        json.Key("refusal");
        if (inverse->refusal) {
            json.String(*inverse->refusal);
        } else {
            json.Null();
        }
    }
    json.EndObject();
    return json.Text();
}

}  // namespace
}  // namespace bendwise

using namespace bendwise;

extern "C" {

// The window's control table as JSON: one object per control in control order (the
// working controls first, in tab order), with the page id of the control, and for a label
// the page id of what it names.
EMSCRIPTEN_KEEPALIVE const char* bw_controls() {
    JsonWriter json;
    json.BeginObject();
    json.Key("width");
    json.Number(kCurveDlgWidth);
    json.Key("height");
    json.Number(kCurveDlgHeight);
    json.Key("controls");
    json.BeginArray();
    for (const ControlRow& control : CurveControls()) {
        json.BeginObject();
        json.Key("kind");
        json.String(KindName(control.kind));
        json.Key("id");
        json.String(control.id != 0 ? PageId(control) : std::string(control.name));
        json.Key("caption");
        json.String(control.caption);
        json.Key("box");
        json.BeginArray();
        for (int v : {control.x, control.y, control.width, control.height}) json.Number(v);
        json.EndArray();
        if (FindSwitch(PageId(control)) != nullptr) {
            json.Key("switch");
            json.Bool(true);
        }
        if (control.kind == ControlKind::EntryField) {
            json.Key("max-length");
            json.Number(kFieldCharacters);
        }
        if (control.kind == ControlKind::Indicator) {
            json.Key("group");
            json.Number(control.role);
            json.Key("group-name");
            json.String(GroupName(control.role));
        }
        if (control.kind == ControlKind::Label && control.role != 0) {
            const ControlRow* named = FindControl(control.role);
            json.Key("for");
            json.String(named != nullptr ? PageId(*named) : "");
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return Result(json.Text());
}

// Starts a new calculator, as the window opens after "Accept".
EMSCRIPTEN_KEEPALIVE void bw_start() {
    g_page.reset();
    Current();
}

// The field `name` (a bendwise-cli field name) lost the focus holding `text`; with
// `enterKey` it lost it to the Enter key, which re-reads even an unchanged text.
// Returns 0 unchanged, 1 accepted, 2 refused, -1 for a name that is no entry field.
EMSCRIPTEN_KEEPALIVE int bw_entry(const char* name, const char* text, int enterKey) {
    Field field;
    if (!FieldByName(name, field) || !IsEntryField(field)) return -1;
    Page& page = Current();
    if (enterKey) page.model.OnEnterKey();
    return static_cast<int>(page.model.OnKillfocus(field, text));
}

// Enter pressed where no field loses the focus (a check box): the next entry re-reads.
EMSCRIPTEN_KEEPALIVE void bw_enter_key() {
    Current().model.OnEnterKey();
}

// The check box `name` (left, acres, packed) changed to `on`.
EMSCRIPTEN_KEEPALIVE void bw_check(const char* name, int on) {
    if (const SwitchInfo* box = FindSwitch(name)) (Current().model.*box->click)(on != 0);
}

// "Write New File" (`newFile` 1) or "Append to File" (0). Returns the ReportResult.
EMSCRIPTEN_KEEPALIVE int bw_report(int newFile) {
    return static_cast<int>(Current().model.WriteReport(newFile != 0));
}

// The report written so far, byte for byte; empty when there is none.
EMSCRIPTEN_KEEPALIVE const char* bw_report_text() {
    std::string text;
    if (std::FILE* file = std::fopen(kReportPath, "rb")) {
        char buf[4096];
        for (std::size_t got; (got = std::fread(buf, 1, sizeof buf, file)) > 0;) {
            text.append(buf, got);
        }
        std::fclose(file);
    }
    return Result(std::move(text));
}

EMSCRIPTEN_KEEPALIVE const char* bw_report_name() {
    return kReportPath + 1;
}

// Sets one survey option of bendwise-cli ("--pi-station", "--pc-station", "--stationing",
// "--stakeout", "--offsets", "--station-offset" (each call adds a point), "--setup",
// "--backsight", "--describe", "--unit") from the page's controls; an empty value clears
// it. Returns the reason a value was refused, or an empty string.
EMSCRIPTEN_KEEPALIVE const char* bw_survey_option(const char* name, const char* value) {
    SurveyOptions& options = Current().survey;
    const std::string_view option = name;
    const std::string_view text = value;
    std::string reason;
    if (text.empty()) {
        ClearSurveyOption(option, options);
        return Result("");
    }
    SurveyOptions changed = options;
    if (!SetSurveyOption(option, text, changed, reason)) return Result(reason);
    options = changed;
    return Result("");
}

// The Inverse lines of the points the "Curve from points" section holds (see ReadPoints),
// or why there are none, as JSON (PointsJson). Changes nothing.
EMSCRIPTEN_KEEPALIVE const char* bw_points(const char* option, const char* first,
                                           const char* second, const char* third, int major,
                                           const char* tolerance) {
    const char* const points[3] = {first, second, third};
    SurveyOptions options;
    int input = -1;
    std::string reason;
    if (!ReadPoints(option, points, major != 0, tolerance, options, input, reason)) {
        return Result(PointsJson(nullptr, input, reason));
    }
    const PointsInverse inverse = SolvePoints(*PointsRequestOf(options));
    return Result(PointsJson(&inverse, input, reason));
}

// "Use this curve": as bendwise-cli does with its curve from points, types EntriesOfCurve
// into the calculator (the entry path of bw_entry and bw_check) and keeps the points among
// the survey options, so that the survey places the curve at its PC and starts with the
// Inverse lines. Points that make no curve change nothing. Returns what bw_points returns.
EMSCRIPTEN_KEEPALIVE const char* bw_use_points(const char* option, const char* first,
                                               const char* second, const char* third, int major,
                                               const char* tolerance) {
    const char* const points[3] = {first, second, third};
    Page& page = Current();
    SurveyOptions options = page.survey;
    for (const char* name : {"--three-points", "--major", "--tolerance"}) {
        ClearSurveyOption(name, options);
    }
    int input = -1;
    std::string reason;
    if (!ReadPoints(option, points, major != 0, tolerance, options, input, reason)) {
        return Result(PointsJson(nullptr, input, reason));
    }
    const PointsInverse inverse = SolvePoints(*PointsRequestOf(options));
    if (!inverse.refusal) {
        for (const TypedEntry& entry : EntriesOfCurve(inverse.curve)) {
            Field field;
            if (const SwitchInfo* box = FindSwitch(entry.name)) {
                SetSwitch(page.model, *box, entry.text == "on");
            } else if (FieldByName(entry.name, field)) {
                page.model.OnEnterKey();
                page.model.OnKillfocus(field, entry.text);
            }
        }
        page.survey = options;
    }
    return Result(PointsJson(&inverse, input, reason));
}

// Why bendwise-cli would refuse the survey options as they stand (CheckSurveyOptions), or
// an empty string.
EMSCRIPTEN_KEEPALIVE const char* bw_survey_check() {
    std::string reason;
    if (CheckSurveyOptions(Current().survey, reason)) reason.clear();
    return Result(std::move(reason));
}

// The curve as one line of JSON (CurveJson with the survey asked for; stations and
// stakeout only once the PI or PC station is known), with "indicators" (the GROUP_ codes
// checked) and "events" (what the engine showed since the last call, oldest first) added
// at the end, "table" and "tableHeadings": the stakeout rows and the headings over them
// as the texts bendwise-cli prints (Northing and Easting too once the curve is placed), and
// "surveyText": the lines bendwise-cli prints after the report block for these options
// (SurveyText), empty while it would refuse them (bw_survey_check).
EMSCRIPTEN_KEEPALIVE const char* bw_state() {
    Page& page = Current();
    SurveyOptions options = page.survey;
    std::string reason;
    const bool runs = CheckSurveyOptions(options, reason);
    if (!options.piStation && !options.pcStation) options.stakeoutInterval.reset();
    const CurveSurvey survey = SurveyCurve(page.model.Record(), RequestOf(options));
    std::string text = CurveJson(page.model.Record(), page.memory, survey, 0);
    text.pop_back();  // the line feed
    text.pop_back();  // the object's closing brace: `extra`'s members follow

    JsonWriter extra;
    extra.BeginObject();
    extra.Key("indicators");
    extra.Number(page.host.Indicators());
    extra.Key("events");
    extra.String(page.host.TakeEvents());
    extra.Key("table");
    extra.BeginArray();
    if (survey.stakeout) {
        for (std::size_t row = 0; row < survey.stakeout->rows.size(); ++row) {
            extra.BeginArray();
            for (const std::string& cell : StakeoutRowCells(*survey.stakeout, row)) {
                extra.String(cell);
            }
            extra.EndArray();
        }
    }
    extra.EndArray();
    extra.Key("tableHeadings");
    extra.BeginArray();
    if (survey.stakeout) {
        for (const std::string& heading : StakeoutHeadings(*survey.stakeout)) {
            extra.String(heading);
        }
    }
    extra.EndArray();
    extra.Key("surveyText");
    extra.String(runs ? SurveyText(page.model.Record(), survey) : std::string());
    extra.EndObject();
    text.push_back(',');
    text.append(extra.Text(), 1);  // without its opening brace
    return Result(std::move(text));
}

// The version, as the About box shows it (bendwise/Version.h).
EMSCRIPTEN_KEEPALIVE const char* bw_version() {
    return kVersion;
}

// The drawing of the current curve (BuildCurveSvg).
EMSCRIPTEN_KEEPALIVE const char* bw_svg() {
    return Result(BuildCurveSvg(Current().model.Record()));
}

// The length illustration of the current curve (BuildLengthSvg).
EMSCRIPTEN_KEEPALIVE const char* bw_length_svg() {
    return Result(BuildLengthSvg(Current().model.Record()));
}

}  // extern "C"
