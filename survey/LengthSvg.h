// The length figure (survey/LengthFigure.h) as a standalone SVG document, for a front end
// that shows SVG rather than painting it (the web page). Laid out as the window's length
// illustration: the title and heading, the curve with its 100-unit chords to scale above,
// and below it the four lengths as bars to one scale, each with its name, its display
// text and what it is.
#pragma once

#include <string>

#include "solver/Curve.h"

namespace bendwise {

// Canvas in SVG user units (pixels).
constexpr int kLengthSvgWidth = 720;
constexpr int kLengthSvgHeight = 600;

// The SVG document (UTF-8, ending in a line feed) for the curve of `record`.
std::string BuildLengthSvg(const CCurveRecord& record);

}  // namespace bendwise
