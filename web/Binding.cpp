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
// The page also keeps, beside the calculator, the entries that rebuild its curve from the
// start (Page::words): the address fragment and the stored session are made of them, in
// bendwise-cli's NAME=VALUE words, and are typed back one at a time through the same
// entry handler.
//
// Every function returns a C string that stays valid until the next call; bw_result_size
// gives its length in bytes, for the files, whose bytes the page saves as they are.

#include <emscripten/emscripten.h>

#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bendwise/Version.h"
#include "frontend/CurveControls.h"
#include "frontend/ExportFormats.h"
#include "frontend/SurveyOptions.h"
#include "frontend/Switches.h"
#include "report/Report.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "solver/Curve.h"
#include "solver/Fields.h"
#include "survey/CurveSurvey.h"
#include "survey/ExchangeFiles.h"
#include "survey/JsonWriter.h"
#include "survey/LengthSvg.h"
#include "survey/SpiralSurvey.h"
#include "survey/StakeoutTable.h"
#include "text/Utf8.h"

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
    // Entries that, typed into a new calculator one after the other as bendwise-cli types
    // its words, give this one's curve, pair and check boxes (kept short by Remember);
    // with each, the check boxes as they stood before it (BoxWords).
    std::vector<TypedEntry> words;
    std::vector<std::vector<TypedEntry>> boxesBefore;
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

// What two calculators must agree on to show the same curve: the twenty display texts
// (also the reference of the next change test), the pair and the check boxes. Not the
// values' last bits: those depend on the path (radius 1000, tangent 300, radius 1001 keeps
// a tangent of 299.99999999999994, typing tangent 300 after radius 1001 gives 300), so no
// shorter list of words would ever rebuild them and the words would grow with every
// entry. The words rebuild what the page shows, and bendwise-cli given them prints it.
std::string StateKey(const CCurveModel& model, const CCurveMemory& memory) {
    std::string key;
    for (const FieldInfo& info : Fields()) key.append(model.Text(info.field)).push_back('\n');
    key.append(std::to_string(memory.m_lastGroup)).push_back(',');
    key.append(std::to_string(memory.m_prevGroup)).push_back('\n');
    for (const SwitchInfo& box : Switches()) key.push_back(box.isOn(model) ? '1' : '0');
    return key;
}

// Types one word as bendwise-cli does: a check box is clicked when it differs, a field's
// text is typed and Enter pressed (so even a text equal to the shown one is read again).
EntryResult ApplyWord(CCurveModel& model, const TypedEntry& word) {
    if (const SwitchInfo* box = FindSwitch(word.name)) {
        SetSwitch(model, *box, word.text == "on");
        return EntryResult::Accepted;
    }
    Field field;
    if (!FieldByName(word.name, field) || !IsEntryField(field)) return EntryResult::Refused;
    model.OnEnterKey();
    return model.OnKillfocus(field, word.text);
}

// The state a new calculator reaches from `first` to `last`.
std::string Replay(std::vector<TypedEntry>::const_iterator first,
                   std::vector<TypedEntry>::const_iterator last) {
    CCurveMemory memory;
    PageHost host;  // what the replay shows is thrown away
    CCurveModel model{&memory, &host};
    model.Initialize();
    for (; first != last; ++first) ApplyWord(model, *first);
    return StateKey(model, memory);
}

// The check boxes of `model` that differ from a new calculator's, as the words that set
// them ("packed=off"), in the order of the switch table.
std::vector<TypedEntry> BoxWords(const CCurveModel& model) {
    static const std::array<bool, 3> kStart = [] {
        CCurveMemory memory;
        PageHost host;
        CCurveModel start{&memory, &host};
        start.Initialize();
        std::array<bool, 3> on{};
        for (std::size_t i = 0; i < on.size(); ++i) on[i] = Switches()[i].isOn(start);
        return on;
    }();
    std::vector<TypedEntry> words;
    for (std::size_t i = 0; i < kStart.size(); ++i) {
        const bool on = Switches()[i].isOn(model);
        if (on != kStart[i]) words.push_back({Switches()[i].name, on ? "on" : "off"});
    }
    return words;
}

// Adds an entry the calculator took, `boxes` being BoxWords just before it, and drops
// the older words the rest does not need, in two steps: the shortest tail of the words
// that, after the check boxes as they stood before that tail, rebuilds this state from
// the start is kept (radius 900, packed off, radius 950 keeps packed=off radius=950);
// then each older field entry the others do not need goes (inbound-az 45, radius 1000,
// radius 1001 keeps inbound-az=45 radius=1001 while the pair stays). Each test is a
// replay, so a word goes only where the engine itself shows the same calculator without
// it (StateKey); the search looks back kLongestTail words at most.
void Remember(Page& page, TypedEntry word, std::vector<TypedEntry> boxes) {
    // Each entry replays at most this many tails of at most this many words (about 30 us
    // a word): a few milliseconds even where nothing can be dropped.
    constexpr std::size_t kLongestTail = 24;
    page.words.push_back(std::move(word));
    page.boxesBefore.push_back(std::move(boxes));
    const std::string now = StateKey(page.model, page.memory);
    const std::size_t count = page.words.size();
    const std::size_t first = count > kLongestTail ? count - kLongestTail : 0;
    for (std::size_t start = count + 1; start-- > first;) {
        std::vector<TypedEntry> candidate =
            start == count ? BoxWords(page.model) : page.boxesBefore[start];
        const std::size_t boxCount = candidate.size();
        candidate.insert(candidate.end(), page.words.begin() + static_cast<std::ptrdiff_t>(start),
                         page.words.end());
        if (candidate.size() >= count) continue;  // no shorter than the words kept
        if (Replay(candidate.cbegin(), candidate.cend()) != now) continue;
        std::vector<std::vector<TypedEntry>> before;
        for (std::size_t i = 0; i < boxCount; ++i) {
            before.emplace_back(candidate.begin(),
                                candidate.begin() + static_cast<std::ptrdiff_t>(i));
        }
        before.insert(before.end(), page.boxesBefore.begin() + static_cast<std::ptrdiff_t>(start),
                      page.boxesBefore.end());
        page.words = std::move(candidate);
        page.boxesBefore = std::move(before);
        break;
    }
    // The check boxes' words stay, so that each word keeps the boxes it was typed under.
    const std::size_t size = page.words.size();
    const std::size_t oldest = size > kLongestTail ? size - kLongestTail : 0;
    for (std::size_t i = size > 0 ? size - 1 : 0; i-- > oldest;) {
        if (FindSwitch(page.words[i].name) != nullptr) continue;
        std::vector<TypedEntry> candidate = page.words;
        candidate.erase(candidate.begin() + static_cast<std::ptrdiff_t>(i));
        if (Replay(candidate.cbegin(), candidate.cend()) != now) continue;
        page.words = std::move(candidate);
        page.boxesBefore.erase(page.boxesBefore.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// Why bendwise-cli would refuse the word NAME=TEXT before typing it (the wording of its
// own parser), or an empty string: a word with no name, an unknown name, a result field,
// on|off for a check box, at most kFieldCharacters characters for a field.
std::string WordReason(std::string_view word, TypedEntry& entry) {
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        return "malformed entry '" + std::string(word) + "' (expected FIELD=TEXT)";
    }
    entry.name.assign(word.substr(0, equals));
    entry.text.assign(word.substr(equals + 1));
    if (FindSwitch(entry.name) != nullptr) {
        if (entry.text == "on" || entry.text == "off") return "";
        return "'" + entry.name + "' takes on or off, not '" + entry.text + "'";
    }
    Field field;
    if (!FieldByName(entry.name, field)) return "unknown field '" + entry.name + "'";
    if (!IsEntryField(field)) return "field '" + entry.name + "' is a result and takes no entry";
    const std::size_t characters = Utf8Characters(entry.text);
    if (characters > static_cast<std::size_t>(kFieldCharacters)) {
        return "text for '" + entry.name + "' has " + std::to_string(characters) +
               " characters; a field holds " + std::to_string(kFieldCharacters);
    }
    return "";
}

// The survey options the page works with: as the user set them, but a stakeout interval
// typed before any station waits for one instead of refusing the whole survey.
SurveyOptions PageOptions(const Page& page) {
    SurveyOptions options = page.survey;
    if (!options.piStation && !options.pcStation) options.stakeoutInterval.reset();
    return options;
}

// The options as bendwise-cli checks them for what the page shows: the first point number
// waits for a numbered file to be asked for (bendwise-cli refuses it without one).
bool CheckPageOptions(const Page& page, std::string& reason) {
    SurveyOptions options = page.survey;
    options.firstPoint.reset();
    return CheckSurveyOptions(options, reason);
}

CurveSurvey PageSurvey(const Page& page) {
    return SurveyCurve(page.model.Record(), RequestOf(PageOptions(page)));
}

// The file `format` would hold for the page's curve and survey, as bendwise-cli writes it
// with that one file option added: empty with `reason` when bendwise-cli would refuse the
// options or leave the file out.
std::string ExportBytes(const Page& page, const ExportFormat& format, std::string& reason) {
    SurveyOptions options = page.survey;
    options.*format.path = "curve." + std::string(format.suffix);
    if (!format.numbered) options.firstPoint.reset();  // bendwise-cli's words have none
    if (!CheckSurveyOptions(options, reason)) return {};
    const CurveSurvey survey = SurveyCurve(page.model.Record(), RequestOf(options));
    std::vector<SurveyFile> files = SurveyFiles(options, page.model.Record(), survey, 0, reason);
    if (files.empty()) return {};
    reason.clear();
    return std::move(files.front().bytes);
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
    std::vector<TypedEntry> boxes = BoxWords(page.model);
    const EntryResult result = page.model.OnKillfocus(field, text);
    if (result == EntryResult::Accepted) Remember(page, {name, text}, std::move(boxes));
    return static_cast<int>(result);
}

// Enter pressed where no field loses the focus (a check box): the next entry re-reads.
EMSCRIPTEN_KEEPALIVE void bw_enter_key() {
    Current().model.OnEnterKey();
}

// The check box `name` (left, acres, packed) changed to `on`.
EMSCRIPTEN_KEEPALIVE void bw_check(const char* name, int on) {
    if (const SwitchInfo* box = FindSwitch(name)) {
        Page& page = Current();
        std::vector<TypedEntry> boxes = BoxWords(page.model);
        (page.model.*box->click)(on != 0);
        Remember(page, {name, on != 0 ? "on" : "off"}, std::move(boxes));
    }
}

// Types the bendwise-cli word NAME=TEXT (the address fragment's and the stored session's
// entries) as bendwise-cli would. Returns why bendwise-cli would refuse the word itself,
// or an empty string; what the engine said of the entry comes with the next bw_state.
EMSCRIPTEN_KEEPALIVE const char* bw_word(const char* word) {
    TypedEntry entry;
    std::string reason = WordReason(word, entry);
    if (!reason.empty()) return Result(std::move(reason));
    Page& page = Current();
    std::vector<TypedEntry> boxes = BoxWords(page.model);
    if (ApplyWord(page.model, entry) == EntryResult::Accepted) {
        Remember(page, std::move(entry), std::move(boxes));
    }
    return Result("");
}

// The words that rebuild the calculator's curve from the start, oldest first, as a JSON
// array of [name, text].
EMSCRIPTEN_KEEPALIVE const char* bw_words() {
    JsonWriter json;
    json.BeginArray();
    for (const TypedEntry& word : Current().words) {
        json.BeginArray();
        json.String(word.name);
        json.String(word.text);
        json.EndArray();
    }
    json.EndArray();
    return Result(json.Text());
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

// Puts back a report kept by the page (its bytes as they were); an empty one removes it.
EMSCRIPTEN_KEEPALIVE void bw_set_report(const char* text) {
    const std::string_view bytes = text;
    if (bytes.empty()) {
        std::remove(kReportPath);
    } else if (std::FILE* file = std::fopen(kReportPath, "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

// The current curve's report block, as "Write New File" would write it.
EMSCRIPTEN_KEEPALIVE const char* bw_report_block() {
    return Result(BuildReportBlock(Current().model.Record()));
}

// The length in bytes of what the last call returned.
EMSCRIPTEN_KEEPALIVE int bw_result_size() {
    return static_cast<int>(g_result.size());
}

// The files this build writes (frontend/ExportFormats.h, in its order), as JSON: option,
// kind, caption, suffix and needsPlace of each. A format the build cannot write is not
// listed, so the page never offers it.
EMSCRIPTEN_KEEPALIVE const char* bw_exports() {
    JsonWriter json;
    json.BeginArray();
    for (const ExportFormat& format : ExportFormats()) {
        if (!format.available) continue;
        json.BeginObject();
        json.Key("option");
        json.String(format.option);
        json.Key("kind");
        json.String(format.kind);
        json.Key("caption");
        json.String(format.caption);
        json.Key("suffix");
        json.String(format.suffix);
        json.Key("needsPlace");
        json.Bool(format.needsPlace);
        json.EndObject();
    }
    json.EndArray();
    return Result(json.Text());
}

std::string g_exportReason;

// The bytes of the file of `option` ("--dxf") for the current curve and survey, as
// bendwise-cli writes them given that option too; empty when it would write none, and
// bw_export_reason says why.
EMSCRIPTEN_KEEPALIVE const char* bw_export(const char* option) {
    const ExportFormat* format = FindExportOption(option);
    if (format == nullptr || !format->available) {
        g_exportReason = "this build writes no such file";
        return Result("");
    }
    return Result(ExportBytes(Current(), *format, g_exportReason));
}

EMSCRIPTEN_KEEPALIVE const char* bw_export_reason() {
    return g_exportReason.c_str();
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
    double length = 0;
    // A spiral length of 0 is the page's "no spirals", as an empty field is.
    const bool noSpirals = option == "--spiral" && ParseCoordinate(text, length) && length == 0;
    if (text.empty() || noSpirals) {
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

// Reads the points into the page's survey options when they make a curve, typing that
// curve into the calculator first when `type` is set. Returns what bw_points returns.
static const char* TakePoints(const char* option, const char* const (&points)[3], int major,
                              const char* tolerance, bool type) {
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
        if (type) {
            for (const TypedEntry& entry : EntriesOfCurve(inverse.curve)) {
                std::vector<TypedEntry> boxes = BoxWords(page.model);
                if (ApplyWord(page.model, entry) == EntryResult::Accepted) {
                    Remember(page, entry, std::move(boxes));
                }
            }
        }
        page.survey = options;
    }
    return Result(PointsJson(&inverse, input, reason));
}

// "Use this curve": as bendwise-cli does with its curve from points, types EntriesOfCurve
// into the calculator (the entry path of bw_entry and bw_check) and keeps the points among
// the survey options, so that the survey places the curve at its PC and starts with the
// Inverse lines. Points that make no curve change nothing. Returns what bw_points returns.
EMSCRIPTEN_KEEPALIVE const char* bw_use_points(const char* option, const char* first,
                                               const char* second, const char* third, int major,
                                               const char* tolerance) {
    return TakePoints(option, {first, second, third}, major, tolerance, true);
}

// Keeps the points among the survey options as "Use this curve" does, without typing the
// curve into the calculator: a reloaded page whose words already rebuilt it places it
// again. Returns what bw_points returns.
EMSCRIPTEN_KEEPALIVE const char* bw_keep_points(const char* option, const char* first,
                                                const char* second, const char* third, int major,
                                                const char* tolerance) {
    return TakePoints(option, {first, second, third}, major, tolerance, false);
}

// Why bendwise-cli would refuse the survey options as they stand (CheckSurveyOptions), or
// an empty string.
EMSCRIPTEN_KEEPALIVE const char* bw_survey_check() {
    std::string reason;
    if (CheckPageOptions(Current(), reason)) reason.clear();
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
    std::string reason;
    const bool runs = CheckPageOptions(page, reason);
    const CurveSurvey survey = PageSurvey(page);
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
    // The Spiral block with its stations, points and stakes as bendwise-cli prints them,
    // and why there are no spirals (null when there are, or none were asked for).
    std::string spiralText;
    if (survey.spiral) AppendSpiralText(spiralText, *survey.spiral);
    extra.Key("spiralText");
    extra.String(spiralText);
    extra.Key("spiralRefusal");
    if (survey.spiral && survey.spiral->curve.refusal) {
        extra.String(*survey.spiral->curve.refusal);
    } else {
        extra.Null();
    }
    extra.Key("placed");
    extra.Bool(IsPlaced(survey));
    extra.EndObject();
    text.push_back(',');
    text.append(extra.Text(), 1);  // without its opening brace
    return Result(std::move(text));
}

// The version, as the About box shows it (bendwise/Version.h).
EMSCRIPTEN_KEEPALIVE const char* bw_version() {
    return kVersion;
}

// The drawing of the current curve: bendwise-cli's --svg file, so with spirals the spiral
// curve's (BuildSpiralSvg), else BuildCurveSvg.
EMSCRIPTEN_KEEPALIVE const char* bw_svg() {
    const Page& page = Current();
    const SurveyOptions options = PageOptions(page);
    const CurveSurvey survey = PageSurvey(page);
    const ExportFormat& svg = *FindExportOption("--svg");
    return Result(svg.render({page.model.Record(), survey, IsMetricUnit(options.unit),
                              IsUsSurveyFootUnit(options.unit)}));
}

// The length illustration of the current curve (BuildLengthSvg).
EMSCRIPTEN_KEEPALIVE const char* bw_length_svg() {
    return Result(BuildLengthSvg(Current().model.Record()));
}

}  // extern "C"
