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

// Sets one survey option of bendwise-cli ("--pi-station", "--stationing", "--stakeout",
// "--describe", "--unit") from the page's controls; an empty value clears it. Returns the
// reason a value was refused, or an empty string.
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

// The curve as one line of JSON (CurveJson with the survey asked for; stations and
// stakeout only once the PI station is known), with "indicators" (the GROUP_ codes
// checked) and "events" (what the engine showed since the last call, oldest first) added
// at the end, and "table": the stakeout rows as the texts bendwise-cli prints.
EMSCRIPTEN_KEEPALIVE const char* bw_state() {
    Page& page = Current();
    SurveyOptions options = page.survey;
    if (!options.piStation) options.stakeoutInterval.reset();
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
