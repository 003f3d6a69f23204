// The derived half of a recalculation: every other element of the curve from the solved
// radius, arc length and central angle, and all twenty display texts.
#pragma once

#include "solver/Curve.h"

namespace bendwise {

// Derives, strictly in this order (each step uses what the steps before stored):
//   Da = |18000 / (pi x R)|            text "out of range" above 360 degrees
//   Dc = asin(50 / R) x (2 x k)         text "undefined" below R = 50 (no 100-unit chord)
//   Lrr = (100 x Delta) / Dc            text "undefined" below R = 50
//   C = (2 x R) x sin(Delta / (2 x k))
//   T = tan(Delta / (2 x k)) x R        text "Out of range" from |T| = 1e14
//   chord az = Delta / 2 + inbound (right) or inbound - Delta / 2 (left);
//   outbound az = inbound + Delta (right) or inbound - Delta (left)
//   Delta X = sin(chord az / k) x C, Delta Y = cos(chord az / k) x C
//   E = tan(Delta / (4 x k)) x T,  M = (1 - cos(Delta / (2 x k))) x R
//   circle = (pi x R) x R, sector = (circle x Delta) / 360
//   below Delta 180 only: segment = sector - ((R - M) x C) / 2, fillet = (T - L / 2) x R;
//   from 180 on both keep their last values and their texts are empty.
// Lengths are "%15.3f" texts; the radius, Delta X, Delta Y and the areas switch to the
// exponent form from 100000 (text/NumberText.h); angles are degrees, minutes, seconds.
// Areas are shown divided by 43560 when `acres` is set; the record keeps square units.
// No floor is applied here; a value that overflowed shows "Out of range", never "inf".
void DeriveElements(CCurveRecord& record, bool acres);

}  // namespace bendwise
