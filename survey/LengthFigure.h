// What the lengths of a curve mean, as a figure to scale: the geometry behind the window's
// length illustration, for a student meeting the railroad definition for the first time.
//
// The curve is drawn with its long chord level, the PC on the left and the PT on the
// right, the arc bulging upwards; coordinates are length units with the chord's midpoint at
// the origin, x to the right and y up. On the arc lies the railroad's run of 100-unit chords
// from the PC: each full chord subtends the degree of curve Dc (chord definition), so
// Lrr = 100 x Delta / Dc counts the whole chords and the part of one that reaches the PT.
// Beside the curve the four lengths are laid out straight, as bars to one scale: the arc
// L, the long chord C, Lrr divided into its 100-unit chords, and the tangents T + T.
//
// Every value shown is a display text of the record; the geometry only places it.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "solver/Curve.h"

namespace bendwise {

struct FigurePoint {
    double x = 0;
    double y = 0;
};

// One length laid out straight.
struct LengthBar {
    std::string name;         // "L arc", "Chord", "Lrr", "T + T"
    std::string value;        // its display text(s): "523.599", "267.949 + 267.949"
    std::string explanation;  // one line saying what the length is
    bool defined = false;     // false: no bar, `explanation` says why
    double length = 0;        // units; 0 when undefined
    // Division marks along the bar, units from its start (Lrr: the ends of the 100-unit
    // chords, or of every k-th one when there are many; T + T: the PI).
    std::vector<double> marks;
};

enum LengthBarIndex { kBarArc, kBarChord, kBarRailroad, kBarTangents, kBarCount };

// Colours ("#rrggbb") of each length in the figure and on its bar (the arc, the chord and
// the tangents as in the curve diagram, the railroad's chords in orange), and of the notes.
constexpr const char* kLengthColours[kBarCount] = {"#1f5fbf", "#555555", "#d35400", "#c0392b"};
constexpr const char* kLengthNoteColour = "#b03000";

// Most chord ends marked on the arc and on the Lrr bar; beyond it every k-th end is marked,
// with k the smallest of 1, 2, 5, 10, 20, 50, ... that keeps the count within it.
constexpr int kMaxChordMarks = 60;

// The PI is drawn when it grows the drawn extent of arc and chord by at most this factor;
// beyond it the tangents run off the figure towards it.
constexpr double kPiFitGrowth = 3.0;

// The figure's title, above the heading.
constexpr const char* kLengthFigureTitle = "The lengths of this curve, drawn to scale";

struct LengthFigure {
    // "Radius 1000.000, Delta 30 00  0.0, degree of curve (chord definition) Dc 5 43 55.3"
    std::string heading;
    bool drawable = false;         // false: radius or Delta not a positive finite number
    std::vector<FigurePoint> arc;  // PC to PT, once round at most
    FigurePoint pc, pt;
    bool finitePi = false;  // the tangents meet ahead of the curve (Delta below 180)
    FigurePoint pi;
    // Ends of the 100-unit chords on the arc, from the PC (the PC itself first), every
    // `chordsPerMark`-th one, once round at most; when `chordsPerMark` is 1 they are the
    // vertices of the chord run and the PT closes it with the part chord.
    std::vector<FigurePoint> chordEnds;
    double chordsPerMark = 1;
    double wholeChords = 0;  // whole 100-unit chords in Lrr
    double partChord = 0;    // what Lrr counts beyond them: the last, part chord
    FigurePoint centre;      // of the circle
    // The extent to fit: arc and chord, with the PI when it keeps the curve large.
    FigurePoint fitMin, fitMax;
    std::array<LengthBar, kBarCount> bars;
    std::vector<std::string> notes;
};

LengthFigure BuildLengthFigure(const CCurveRecord& record);

}  // namespace bendwise
