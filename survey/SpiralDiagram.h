// A drawing of a curve with equal clothoid spirals as a standalone SVG document, on the
// curve diagram's canvas (survey/CurveDiagram.h): north up, one scale.
//
// The drawing shows the back tangent's last stretch to the TS, the entry spiral to the SC,
// the arc to the CS, the exit spiral to the ST and the tangents from TS and ST to the PI,
// the radii from the centre CC to the SC and the CS and the external Es from the PI to
// the middle of the arc. TS, SC, CS, ST, PI and CC are marked and labelled; Rc along a
// radius and Lc inside the arc where there is room, and the key gives Ls, Rc, Delta,
// theta s, p, k, Ts, Es, Delta c and Lc with the texts of the Spiral block. The
// centre is fitted unless that would shrink the curve more than kFitGrowth times; the
// radii then point towards it and a note says so. Geometry runs from the TS at the origin,
// each arc point one chord from the SC, so a huge radius keeps its digits.
#pragma once

#include <string>

#include "solver/Curve.h"
#include "survey/Spiral.h"

namespace bendwise {

// The SVG document (UTF-8, ending in a line feed) for `curve`, the spirals of `record`'s
// circular curve (its inbound azimuth and turn); a refused curve gives a drawing that
// says why.
std::string BuildSpiralSvg(const CCurveRecord& record, const SpiralCurve& curve);

}  // namespace bendwise
