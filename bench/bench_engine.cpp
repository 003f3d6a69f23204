// Micro-benchmarks of the curve engine: the solver with its twenty texts, the number and
// angle texts, angle reading, the report block, one whole typed entry and the six
// correctly rounded trigonometric functions.
//
// Every benchmark runs on a host whose calls do nothing, so what is timed is the engine
// alone. Values are chosen so that no pair shows a message except the two pairs that
// always do (Lrr + chord, Lrr + tangent), whose message goes to the same silent host.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ShellWords.h"
#include "math/Trig.h"
#include "report/Report.h"
#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "solver/Curve.h"
#include "text/AngleText.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Counts the messages, so that a benchmark can check it timed the path it meant to.
class SilentHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view) override { ++m_messages; }
    void PlaySound(Sound) override {}
    void SetIndicator(int, bool) override {}
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return std::nullopt; }

    long m_messages = 0;
};

// A model holding radius 1000, Delta 30 (every element derived and consistent), with the
// current pair set to `last` + `prev`, so that Recalculate(0) solves that pair from
// values it would itself produce.
struct CurveFixture {
    CCurveMemory memory;
    SilentHost host;
    CCurveModel model{&memory, &host};

    CurveFixture(int last, int prev) {
        model.Initialize();
        memory.m_lastGroup = GROUP_DELTA;
        memory.m_prevGroup = GROUP_RADIUS;
        CCurveRecord& r = model.MutableRecord();
        r.m_radius = 1000.0;
        r.m_delta = 30.0;
        r.m_inboundAz = 10.0;
        model.Recalculate(0);
        memory.m_lastGroup = last;
        memory.m_prevGroup = prev;
        model.Recalculate(0);
    }
};

// Recalculate(0) on one pair: solve, derive, all twenty texts, save, refresh.
void BM_Recalculate(benchmark::State& state) {
    const int last = static_cast<int>(state.range(0));
    const int prev = static_cast<int>(state.range(1));
    CurveFixture f(last, prev);
    f.host.m_messages = 0;
    // The ratio inversions are not exact (r = 0.989 here), so solving larc + lrr or
    // larc + chord again from its own output walks the radius away, 0.06 per solve. The
    // six values a pair may read are put back before each solve (a few stores).
    CCurveRecord& r = f.model.MutableRecord();
    const CCurveRecord start = r;
    for (auto _ : state) {
        r.m_radius = start.m_radius;
        r.m_lengthArc = start.m_lengthArc;
        r.m_lengthRR = start.m_lengthRR;
        r.m_delta = start.m_delta;
        r.m_chord = start.m_chord;
        r.m_tangent = start.m_tangent;
        f.model.Recalculate(0);
        benchmark::DoNotOptimize(f.model.Record().m_texts.data());
    }
    state.SetLabel(std::string(GroupName(last)) + "+" + GroupName(prev));
    // Lrr with a chord or a tangent always shows its message; every other pair must
    // solve the curve quietly, or the benchmark timed a warning or a failed solve.
    const bool messageOnly =
        last + prev == GROUP_LRR + GROUP_CHORD || last + prev == GROUP_LRR + GROUP_TANGENT;
    if (f.model.LastSolveFailed() || (!messageOnly && f.host.m_messages != 0)) {
        state.SkipWithError("the pair did not solve without a message");
    }
    const double radius = f.model.Record().m_radius;
    if (!(radius > 999 && radius < 1001)) state.SkipWithError("the curve drifted");
}

void AllPairs(benchmark::internal::Benchmark* b) {
    constexpr std::array<int, 6> groups = {GROUP_RADIUS, GROUP_LARC,  GROUP_LRR,
                                           GROUP_DELTA,  GROUP_CHORD, GROUP_TANGENT};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        for (std::size_t j = i + 1; j < groups.size(); ++j) b->Args({groups[j], groups[i]});
    }
    b->ArgNames({"last", "prev"});
}
BENCHMARK(BM_Recalculate)->Apply(AllPairs);

// Lengths of every kind FormatLength meets: fixed, negative fixed, exponent form.
constexpr std::array<double, 4> kLengths = {5729.577951308232, -218.76330989323003,
                                            3141592.653589793, 0.0004};

void BM_FormatLength(benchmark::State& state) {
    double value = kLengths[static_cast<std::size_t>(state.range(0))];
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        FormatLength(value, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(out);
}
BENCHMARK(BM_FormatLength)->DenseRange(0, static_cast<int>(kLengths.size()) - 1);

// Angles: an ordinary one, a negative one (360 added), one that carries into the next
// degree and wraps.
constexpr std::array<double, 3> kAngles = {12.5825, -0.5, 359.99999};

void BM_FormatDms(benchmark::State& state) {
    double value = kAngles[static_cast<std::size_t>(state.range(0))];
    std::string out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(value);
        FormatDms(value, out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel(out);
}
BENCHMARK(BM_FormatDms)->DenseRange(0, static_cast<int>(kAngles.size()) - 1);

// Every accepted angle form, with the packed option as the form needs it.
struct AngleForm {
    const char* text;
    bool packed;
};
constexpr std::array<AngleForm, 10> kAngleForms = {{
    {"12.5", false},
    {"12 30 15", false},
    {"12;30;15", false},
    {"12-30-15", false},
    {"-12 30", false},
    {"12 -30 -15", false},
    {"N 45 30 15 E", false},
    {"S 45 30 00 W", false},
    {"45\xC2\xB0 30' 15\"", false},
    {"12.3456", true},
}};

void BM_ReadAngleText(benchmark::State& state) {
    const AngleForm& form = kAngleForms[static_cast<std::size_t>(state.range(0))];
    const std::string text = form.text;
    double angle = 0.0;
    for (auto _ : state) {
        AngleRead read = ReadAngleText(text, form.packed, angle);
        benchmark::DoNotOptimize(read);
        benchmark::DoNotOptimize(angle);
    }
    if (ReadAngleText(text, form.packed, angle) != AngleRead::Ok) {
        state.SkipWithError("angle form refused");
    }
    state.SetLabel(form.text);
}
BENCHMARK(BM_ReadAngleText)->DenseRange(0, static_cast<int>(kAngleForms.size()) - 1);

void BM_ReportBlock(benchmark::State& state) {
    CurveFixture f(GROUP_DELTA, GROUP_RADIUS);
    for (auto _ : state) {
        std::string block = BuildReportBlock(f.model.Record());
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_ReportBlock);

// One typed entry as the window makes it: Enter, then the radius field loses the focus
// with a new text, through to the refreshed record. The two values alternate so that the
// entry is never Unchanged.
void BM_FullEntry(benchmark::State& state) {
    CurveFixture f(GROUP_DELTA, GROUP_RADIUS);
    const std::array<std::string, 2> texts = {"1000", "1000.5"};
    std::size_t turn = 0;
    for (auto _ : state) {
        f.model.OnEnterKey();
        EntryResult result = f.model.OnKillfocusRadius(texts[turn]);
        benchmark::DoNotOptimize(result);
        turn ^= 1;
    }
    if (f.model.OnKillfocusRadius("1001") != EntryResult::Accepted) {
        state.SkipWithError("entry not accepted");
    }
}
BENCHMARK(BM_FullEntry);

// The engine-bound limit of a batch: for each line of a batch file, what no front end can
// avoid - both entries read and solved (Enter, then the field's handler: Recalculate) and
// the report block built - and nothing else (no reading, splitting or writing). The lines
// are those of bench/make_batch.sh, from the file BENDWISE_BENCH_BATCH names, split and
// parsed before the timing. Items per second is the limit in lines per second.
void BM_BatchLineEngine(benchmark::State& state) {
    struct Entry {
        Field field;
        std::string text;
    };
    std::vector<std::vector<Entry>> lines;
    const char* path = std::getenv("BENDWISE_BENCH_BATCH");
    std::ifstream in(path != nullptr ? path : "");
    std::vector<std::string> words;
    std::string error;
    for (std::string line; std::getline(in, line);) {
        if (!SplitShellWords(line, words, error) || words.empty()) continue;
        std::vector<Entry>& entries = lines.emplace_back();
        for (const std::string& word : words) {
            const std::size_t equals = word.find('=');
            for (const FieldInfo& info : Fields()) {
                if (word.compare(0, equals, info.name) == 0 && IsEntryField(info.field)) {
                    entries.push_back({info.field, word.substr(equals + 1)});
                }
            }
        }
    }
    if (lines.empty()) {
        state.SkipWithError("no batch: set BENDWISE_BENCH_BATCH to a bench/make_batch.sh file");
        return;
    }
    CCurveMemory memory;
    SilentHost host;
    CCurveModel model(&memory, &host);
    model.Initialize();
    std::size_t next = 0;
    for (auto _ : state) {
        for (const Entry& entry : lines[next]) {
            model.OnEnterKey();
            benchmark::DoNotOptimize(model.OnKillfocus(entry.field, entry.text));
        }
        std::string block = BuildReportBlock(model.Record());
        benchmark::DoNotOptimize(block.data());
        if (++next == lines.size()) next = 0;
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(lines.size()) + " lines");
}
BENCHMARK(BM_BatchLineEngine);

// The trigonometric functions on arguments of the engine's kinds, 4096 fixed ones each,
// cycled: sin, cos, tan of angles in radians up to 2 pi in size; asin, acos of ratios in
// [-1, 1]; atan of T / R = tan(Delta / 2) for Delta uniform in (0, 180) degrees, so from 0
// to beyond 1e13. The calls are independent: the time is a call's cost in a stream of them.
struct TrigCase {
    const char* name;
    double (*function)(double);
    double (*argument)(double unit);  // unit: uniform in [0, 1)
};
constexpr double kPi = 3.141592653589793;
const std::array<TrigCase, 6> kTrigCases = {{
    {"sin", math::Sin, [](double u) { return (4 * u - 2) * kPi; }},
    {"cos", math::Cos, [](double u) { return (4 * u - 2) * kPi; }},
    {"tan", math::Tan, [](double u) { return (4 * u - 2) * kPi; }},
    {"asin", math::Asin, [](double u) { return 2 * u - 1; }},
    {"acos", math::Acos, [](double u) { return 2 * u - 1; }},
    {"atan", math::Atan, [](double u) { return std::tan(u * kPi / 2); }},
}};

void BM_Trig(benchmark::State& state) {
    const TrigCase& c = kTrigCases[static_cast<std::size_t>(state.range(0))];
    std::vector<double> arguments(4096);
    std::uint64_t seed = 0x5EED;
    for (double& x : arguments) {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        x = c.argument(static_cast<double>(seed >> 11) * 0x1p-53);
    }
    std::size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(c.function(arguments[next]));
        next = (next + 1) & (arguments.size() - 1);
    }
    state.SetLabel(c.name);
}
BENCHMARK(BM_Trig)->DenseRange(0, static_cast<int>(kTrigCases.size()) - 1);

}  // namespace
}  // namespace bendwise

BENCHMARK_MAIN();
