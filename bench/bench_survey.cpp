// The survey library's field work: a curve fitted to surveyed points, and a stakeout table
// of 10,000 stakes with two offset lines and an instrument setup, from solving the curve to
// the text and JSON that bendwise-cli prints.

#include <benchmark/benchmark.h>

#include <string>

#include "session/CurveHost.h"
#include "session/CurveModel.h"
#include "survey/CurveSurvey.h"
#include "survey/FieldWork.h"
#include "survey/Spiral.h"
#include "survey/SpiralSurvey.h"

namespace bendwise {
namespace {

// The three fits of one curve (R 1000, Delta 30, inbound azimuth 45, PC at 5000,2000): its
// PC, mid-arc point, RP, PI and PT as placed.
const NorthEast kPc{5000, 2000};
const NorthEast kMpc{5158.918622597891, 2207.1067811865473};
const NorthEast kRp{4292.893218813452, 2707.106781186548};
const NorthEast kPi{5189.468690981506, 2189.468690981506};
const NorthEast kPt{5258.819045102521, 2448.2877360840266};

void BM_CurveFromPoints(benchmark::State& state) {
    PointsRequest request;
    request.fit = static_cast<PointsFit>(state.range(0));
    request.first = kPc;
    request.second = request.fit == PointsFit::ThreePoints   ? kMpc
                     : request.fit == PointsFit::RadiusPoint ? kRp
                                                             : kPi;
    request.third = kPt;
    for (auto _ : state) {
        const PointsInverse inverse = SolvePoints(request);
        if (inverse.refusal) state.SkipWithError(inverse.refusal->c_str());
        benchmark::DoNotOptimize(inverse.curve.radius);
    }
    static const char* const kNames[] = {"three points", "PC, RP, PT", "PC, PI, PT"};
    state.SetLabel(kNames[state.range(0)]);
}
BENCHMARK(BM_CurveFromPoints)->DenseRange(0, 2);

class QuietHost : public CCurveHost {
  public:
    void ShowMessage(std::string_view) override {}
    void PlaySound(Sound) override {}
    void ShowStatus(std::string_view) override {}
    void SetIndicator(int, bool) override {}
    void RefreshScreen() override {}
    std::optional<std::string> AskReportPath(std::string_view) override { return std::nullopt; }
};

// The calculator's curve of radius 100000 and Delta 60 (an arc of 104,720), as typed.
struct LongCurve {
    CCurveMemory memory;
    QuietHost host;
    CCurveModel model{&memory, &host};
    LongCurve() {
        model.Initialize();
        model.OnEnterKey();
        model.OnKillfocus(Field::Radius, "100000");
        model.OnEnterKey();
        model.OnKillfocus(Field::Delta, "60");
    }
};

// R 100000, Delta 60 (an arc of 104,720): stakes every 10.472 make 10,001 rows, each
// staked on two offsets and shot from a setup; then the text and the JSON of it all.
void BM_FieldWorkTable(benchmark::State& state) {
    const LongCurve curve;
    SurveyRequest request;
    request.known = KnownPosition{KnownPoint::Pc, kPc};
    request.pcStation = 0;
    request.stakeoutInterval = 10.472;
    request.fieldWork.offsets = {-5, 5};
    request.fieldWork.instrument = NorthEast{5100, 2100};
    request.fieldWork.backsight = NorthEast{6000, 2100};
    std::size_t rows = 0;
    for (auto _ : state) {
        const CurveSurvey survey = SurveyCurve(curve.model.Record(), request);
        rows = survey.stakeout ? survey.stakeout->rows.size() : 0;
        std::size_t bytes = 0;
        if (state.range(0) & 1) bytes += SurveyText(curve.model.Record(), survey).size();
        if (state.range(0) & 2)
            bytes += CurveJson(curve.model.Record(), curve.memory, survey, 0).size();
        benchmark::DoNotOptimize(bytes);
    }
    if (rows < 10000) state.SkipWithError("fewer than 10,000 stakes");
    static const char* const kParts[] = {"computed", "+ text", "+ JSON", "+ text + JSON"};
    state.SetLabel(std::to_string(rows) + " stakes, " + kParts[state.range(0)]);
}
BENCHMARK(BM_FieldWorkTable)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// One spiral curve's elements (Rc 1000, Delta 30, Ls 100): ComputeSpiral alone, then with
// its stations and placement from the PI.
void BM_SpiralCurve(benchmark::State& state) {
    const bool placed = state.range(0) != 0;
    for (auto _ : state) {
        const SpiralCurve curve = ComputeSpiral(1000, 30, 100);
        benchmark::DoNotOptimize(curve.ts);
        if (placed) {
            const SpiralStations stations = StationSpiral(curve, 2500);
            const SpiralPoints points = PlaceSpiral(curve, SpiralKnown::Pi, kPi, 45, false);
            benchmark::DoNotOptimize(stations.st);
            benchmark::DoNotOptimize(points.st.northing);
        }
    }
    state.SetLabel(placed ? "elements, stations, placement" : "elements");
}
BENCHMARK(BM_SpiralCurve)->DenseRange(0, 1);

// Rc 100000, Delta 60, Ls 2000 (a line of 104,720): stakes every 10.472 make 10,001, each
// with its northing and easting; then the text of it all.
void BM_SpiralTable(benchmark::State& state) {
    const LongCurve curve;
    SpiralRequest request;
    request.length = 2000;
    request.piStation = 100000;
    request.interval = 10.472;
    request.known = KnownPosition{KnownPoint::Pi, kPi};
    std::size_t stakes = 0;
    for (auto _ : state) {
        const SpiralSurvey spiral = SurveySpiral(curve.model.Record(), request);
        stakes = spiral.stakePositions.size();
        if (state.range(0)) {
            std::string text;
            AppendSpiralText(text, spiral);
            benchmark::DoNotOptimize(text.size());
        }
        benchmark::DoNotOptimize(stakes);
    }
    if (stakes < 10000) state.SkipWithError("fewer than 10,000 stakes");
    state.SetLabel(std::to_string(stakes) + (state.range(0) ? " stakes, + text" : " stakes"));
}
BENCHMARK(BM_SpiralTable)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bendwise

BENCHMARK_MAIN();
