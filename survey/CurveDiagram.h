// A drawing of the solved curve as a standalone SVG document.
//
// North is up and east to the right; azimuths are those of the record, clockwise from
// north. The drawing shows the arc from PC to PT, the long chord, both tangents meeting at
// the PI, the radii from the centre to PC and PT, the external (PI to the arc's midpoint)
// and the middle ordinate (arc midpoint to chord midpoint). PC, PI, PT and the centre are
// marked; R, L, C, T, E, M and Delta are labelled with their display texts, on the drawing
// where the element is long enough to carry a label and always in the key beside it.
//
// The curve is scaled to fit a fixed canvas with the shape kept (one scale for both
// axes), with a scale bar. The arc and the chord are always fitted; the PI and the centre
// are fitted too unless that would shrink the curve more than kFitGrowth times, in which
// case the tangents or radii are drawn as stubs pointing at the point off the drawing and
// a note says so. A Delta of 180 degrees or more has no finite PI: the tangents are drawn
// only as short stubs at PC and PT and a note says that they do not meet ahead of the
// curve. All geometry is computed relative to the PC, so an almost straight curve of a
// huge radius or a Delta of a fraction of a second keeps its digits.
#pragma once

#include <string>

#include "solver/Curve.h"

namespace bendwise {

// Canvas in SVG user units (pixels).
constexpr int kDiagramWidth = 900;
constexpr int kDiagramHeight = 600;

// The PI or the centre stays on the drawing while fitting it grows the drawn extent by at
// most this factor; beyond it the curve itself would shrink to a few pixels.
constexpr double kFitGrowth = 4.0;

// The SVG document (UTF-8, ending in a line feed) for the curve of `record`.
std::string BuildCurveSvg(const CCurveRecord& record);

}  // namespace bendwise
