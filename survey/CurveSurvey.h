// Survey work on one solved curve, computed once and rendered as text or JSON (and, by
// survey/ExchangeFiles.h, as points, LandXML and DXF files).
//
// A front end (the command-line program, the window's stations window, the web page) fills
// a SurveyRequest with what the user asked for, calls SurveyCurve once per solved curve and
// hands the result to the renderer it needs. Nothing here reads a file, the clock or the
// environment: the same record and request give the same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "solver/Curve.h"
#include "survey/Coordinates.h"
#include "survey/FieldWork.h"
#include "survey/SpiralSurvey.h"
#include "survey/Stationing.h"

namespace bendwise {

// What to compute beyond the record itself.
struct SurveyRequest {
    bool describe = false;                    // the legal-description wording
    std::string unit = "feet";                // its length word
    std::optional<double> piStation;          // stations need the PI's station
    std::optional<double> pcStation;          // ... or the PC's
    Stationing stationing = Stationing::Arc;  // how PT follows PC
    std::optional<double> stakeoutInterval;   // the deflection table; needs piStation
    std::string stakeoutIntervalText;         // the interval as typed, for its caption
    std::optional<KnownPosition> known;       // coordinates: the PC's or the PI's position
    long firstPoint = 1;                      // number of the first point in the files
    FieldWorkRequest fieldWork;               // inverse, station/offset, offsets, setup
    std::optional<double> spiralLength;       // spirals of this length at both ends
};

// The deflection table, or why there is none.
struct Stakeout {
    double interval = 0.0;
    std::string intervalText;       // as typed, for the caption; empty: the interval's own digits
    int stationDecimals = 2;        // StationDecimals(interval): stakes stay apart in print
    std::vector<StakeoutRow> rows;  // empty when `error` is set
    std::optional<std::string> error;
    // The error is the interval's (too short for the curve, or for stations this large),
    // so the stakeout asked for is refused; a curve without stations (Delta of 180 or more)
    // simply has no table.
    bool intervalRefused = false;
    // Northing and easting of each row, in the same order, when the curve was placed
    // (CurveSurvey::points without an error); empty otherwise.
    std::vector<NorthEast> positions;
};

// Everything computed for one curve; a member is empty when it was not asked for.
struct CurveSurvey {
    std::optional<std::string> description;
    std::optional<CurveStations> stations;
    std::optional<Stakeout> stakeout;
    std::optional<CurvePoints> points;  // PC, PI, PT, RP, MPC when `known` was given
    long firstPoint = 1;                // as requested
    std::string unit = "feet";          // the length word, as requested
    FieldWork fieldWork;
    std::optional<SpiralSurvey> spiral;
};

CurveSurvey SurveyCurve(const CCurveRecord& record, const SurveyRequest& request);

// The lines printed after the report block: the description, the stations, the points
// (northing and easting, four decimals), the stakeout table (with northing and easting
// columns when the curve was placed), as far as present. Empty when nothing was asked for.
std::string SurveyText(const CCurveRecord& record, const CurveSurvey& survey);

// One line of JSON (ending in a line feed): "values" (every number of the record at full
// precision, left, acres, packed), "texts" (the twenty display texts), "pair", and where
// present "description", "stations", "coordinates" ("given": "pc" or "pi", "error", and
// "pc", "pi", "pt", "rp", "mpc" as {"northing", "easting"}, "pi" null without a PI) and
// "stakeout" (its rows with "northing" and "easting" when the curve was placed). `line` is
// the batch line number, written as "line" when it is not 0.
std::string CurveJson(const CCurveRecord& record, const CCurveMemory& memory,
                      const CurveSurvey& survey, long line);

}  // namespace bendwise
