// The placed curve as files for other programs, each returned as the file's bytes from one
// CurveSurvey computed with a known PC or PI (SurveyRequest::known): a points file for data
// collectors, a LandXML 1.2 document and an R12 ASCII DXF drawing. Nothing here reads a
// file, the clock or the environment; the caller writes the bytes where it likes.
//
// Every renderer needs a placed curve (IsPlaced); for any other survey it returns an empty
// string. Lengths are in the curve's own unit, angles in decimal degrees.
//
// A Delta of 180 degrees or more has no PI: the points leave it out, the LandXML Curve has
// no PI, tangent or external and a comment says why, the DXF draws the two tangents as
// stubs one radius long at PC and PT and a comment says why.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "solver/Curve.h"
#include "survey/CurveSurvey.h"

namespace bendwise {

// True when the survey has coordinates without an error.
bool IsPlaced(const CurveSurvey& survey);

// The survey's spirals when they are placed (SurveyRequest::spiralLength with a known TS or
// PI, not refused): the files then describe tangent, spiral, arc, spiral, tangent instead of
// the bare circular curve. Null otherwise.
const SpiralSurvey* PlacedSpiral(const CurveSurvey& survey);

// One point of the files.
struct SurveyPoint {
    long number = 0;
    std::string description;  // PC, PI, PT, RP, MPC, or a station as printed: 21+00.00
    NorthEast at;
    bool station = false;  // a stakeout row
};

// PC, PI (when there is one), PT, RP, MPC, then every stakeout row between the PC and the
// PT (when the table was asked for; its first and last rows are the PC and the PT, which
// are not numbered twice), numbered on from survey.firstPoint. Empty when the curve is not
// placed.
// With placed spirals: TS, SC, CC, CS, ST, PI, then every spiral stake that is not one of
// the four named points.
std::vector<SurveyPoint> NumberedPoints(const CurveSurvey& survey);

// PNEZD, the comma-separated form data collectors import: Point number, Northing,
// Easting, Elevation (empty), Description, one point a line, CR LF after each:
//   1,5000.0000,2000.0000,,PC
// Northing and easting as CoordinateText (four decimals).
std::string PointsFile(const CurveSurvey& survey);

// The shortest decimal text that reads back as the same double, the point always '.':
// 5000 -> "5000", 0.1 -> "0.1", 1e-7 -> "1e-07", -0.0 -> "0". LandXML and DXF numbers.
std::string ExactNumber(double value);

// An angle in degrees reduced to 0 <= a < 360.
double ReduceDegrees(double degrees);

// The tangents drawn with the curve: the back tangent ends at the PC, the ahead tangent
// starts at the PT, each `length` long: the tangent length T, or the radius when the
// curve has no PI.
struct TangentLines {
    NorthEast backStart;
    NorthEast aheadEnd;
    double length = 0.0;
};
TangentLines TangentsOf(const CCurveRecord& record, const CurvePoints& points);

// True for the length words that mean metres: m, metre(s), meter(s), in any case.
bool IsMetricUnit(std::string_view unit);
// True for the words of the US survey foot (2.0000040 x 10^-6 longer than the foot): usft,
// us-ft, us ft, survey ft, survey foot, survey feet, us survey foot, us survey feet, in any
// case.
bool IsUsSurveyFootUnit(std::string_view unit);

// What the LandXML root and Units carry beyond the curve.
struct LandXmlHeader {
    std::string date;           // xs:date of the file, "2024-05-01"
    std::string time;           // xs:time of the file, "13:45:10"
    bool metric = false;        // meter units instead of foot units
    bool usSurveyFoot = false;  // USSurveyFoot units instead of foot units
};

// A LandXML 1.2 document (namespace http://www.landxml.org/schema/LandXML-1.2), written
// by an XML writer of our own (every build, the WebAssembly one too), UTF-8, indented two
// blanks a level:
//   Units     Imperial (foot, squareFoot, cubicFeet, fahrenheit, inHG) or Metric (meter,
//             squareMeter, cubicMeter, celsius, milliBars); angles and directions in
//             decimal degrees
//   CgPoints  every NumberedPoints point: name the number, desc the description, the
//             text "northing easting"
//   Alignments/Alignment "Curve"/CoordGeom: the back tangent Line ending at the PC, the
//             Curve (rot cw or ccw, crvType arc, radius, length, delta, tangent, chord,
//             external, midOrd, dirStart, dirEnd; Start, Center, End and PI as
//             "northing easting"), the ahead tangent Line from the PT. Each tangent Line
//             is one tangent length T long (one radius without a PI).
// Directions (dir, dirStart, dirEnd) are measured counter-clockwise from north, as the
// LandXML Units element defines them: 360 - azimuth, reduced to 0..360.
// Stations run along the geometry (the arc length): staStart of the Alignment is the PC's
// station less the back tangent's length when the survey has PC and PT stations, else 0.
// With placed spirals (PlacedSpiral) the CoordGeom is Line (Ts long, to the TS), Spiral
// (spiType clothoid, radiusStart INF, radiusEnd Rc, length Ls, theta theta_s, totalX Xs,
// totalY Ys, tanLong LT, tanShort ST, chord LC; Start TS, PI, End SC), Curve (the arc SC to
// CS about CC, Delta_c), Spiral (CS to ST, Rc to INF), Line (Ts long, from the ST), each
// PI where the element's end tangents meet, stationed as SpiralStations (TS at Ts without
// a PI station).
// Throws std::bad_alloc when memory runs out.
std::string LandXmlFile(const CCurveRecord& record, const CurveSurvey& survey,
                        const LandXmlHeader& header);

// An R12 (AC1009) ASCII DXF at real coordinates, x = easting, y = northing, CR LF line
// ends, no handles. Layers: CURVE (the arc as an ARC; a CIRCLE from 360 degrees on; a
// LINE PC-PT when the arc's start and end angles are not distinct doubles), TANGENT
// (LINEs PC-PI and PI-PT), CHORD (the LINE PC-PT), POINTS (a POINT and a TEXT label with
// the description at every NumberedPoints point; stations outside the arc, PC and PT along
// their tangents, PI away from the arc, MPC and RP towards the centre and beyond it). ARC
// angles are counter-clockwise from east, so a curve to the right runs from the end angle
// back to the start angle. Text height is 1/40 of the chord (of the diameter from 180
// degrees on); points are drawn as an X half that size ($PDMODE 3, $PDSIZE).
// With placed spirals: layer SPIRAL after CURVE, each spiral a POLYLINE (TS to SC, CS to
// ST) with vertices evenly along it, close enough that no chord strays 0.001 from the
// clothoid; the arc SC to CS on CURVE, TS-PI-ST on TANGENT, SC-CS on CHORD, labels
// 1/40 of TS to ST high.
std::string DxfFile(const CCurveRecord& record, const CurveSurvey& survey);

}  // namespace bendwise
