// The spirals of a curve as bendwise-cli shows them: the circular curve's radius and Delta
// with a spiral length, computed once (survey/Spiral.h) into values, then rendered as the
// "Spiral" lines after the report block and as the JSON member "spiral".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "solver/Curve.h"
#include "survey/Coordinates.h"
#include "survey/JsonWriter.h"
#include "survey/Spiral.h"

namespace bendwise {

struct SpiralRequest {
    double length = 0.0;                 // Ls
    std::optional<double> piStation;     // stations need the PI's station
    std::optional<double> interval;      // the stakeout, with stations
    std::optional<KnownPosition> known;  // --pc is the TS, --pi the PI
};

struct SpiralSurvey {
    SpiralCurve curve;  // curve.refusal says why there are no spirals
    std::optional<SpiralStations> stations;
    std::vector<SpiralStake> stakes;
    std::optional<std::string> stakeoutError;
    bool stakeoutAsked = false;
    int stationDecimals = 2;
    std::optional<SpiralPoints> points;
    std::vector<NorthEast> stakePositions;  // one per stake when placed
};

SpiralSurvey SurveySpiral(const CCurveRecord& record, const SpiralRequest& request);

// Lengths to 0.001, angles in DMS to 0.1 second, stations as the stakeout prints them.
void AppendSpiralText(std::string& out, const SpiralSurvey& spiral);
// "spiral": every value at full precision.
void WriteSpiralJson(JsonWriter& json, const SpiralSurvey& spiral);

}  // namespace bendwise
