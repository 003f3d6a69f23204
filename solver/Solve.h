// The pair solver: radius, arc length and central angle from the two groups entered last.
//
// Each of the fifteen pairs is one row of a table: its sum of group codes, whether it is
// too poorly determined to solve, whether typing it is checked arc against chord, and its
// steps. The steps work in place on the record, strictly in the order written beside them:
// each reads the members as the steps before left them, floors included, and with
// -ffp-contract=off every intermediate is rounded to double. (D x Lrr) x 0.01 and
// (D x Lrr) / 100, or ((x + x) x 180) / pi and x x (2 x k), are not always the same
// double, so each pair keeps its own form. (x x (2 x k) and (x + x) x k are: doubling is
// exact, and both round the same product once.)
//
// Symbols: R radius, L arc length, Lrr railroad pseudo-length, C long chord, T tangent,
// Delta central angle and Dc chord-definition degree of curve (decimal degrees), pi =
// m_pi, k = m_degPerRad (degrees per radian). floor(X): X below 1e-25 or not a number is
// overwritten with 1e-25 in the record, so the curve becomes an almost straight line.
#pragma once

#include <array>

#include "solver/Curve.h"
#include "solver/Notice.h"

namespace bendwise {

struct PairInfo {
    int sum;           // the two group codes added; distinct bits, so also their OR
    const char* name;  // "radius + arc length"
    // Lrr with a chord or a tangent: the solver only says so and computes nothing, and the
    // entry rules never let typing form the pair.
    bool poorlyDetermined;
    // Arc length with a chord: an entry that would form the pair is checked first.
    bool arcAgainstChord;
    void (*solve)(CCurveRecord& record, Notices& notices);
};

// The fifteen pairs, in ascending sum: 3, 5, 6, 9, 10, 12, 17, 18, 20, 24, 33, 34, 36, 40, 48.
const std::array<PairInfo, 15>& Pairs();
// The row of a pair sum, or null (a sum of two equal codes, or 0).
const PairInfo* FindPair(int sum);

// The pair after an entry of `group` (a GROUP_ code, or 0 for none): a new group becomes
// the last and the last the previous; the last group again, the previous one (a swap: the
// same pair) or 0 change nothing.
void UpdatePair(int group, int& last, int& prev);
// The sum of the pair that an entry of `group` would leave, without changing anything.
int PairAfterEntry(int group, int last, int prev);

// "No real curve for these values."
extern const char* const kNoSolutionMessage;

// Solves the pair `sum` in place, adding its messages to `notices` in order. Where the
// values have no real solution (R, L or Delta not finite afterwards: radius + Lrr below
// R = 50, a chord longer than 2R, a zero sine in Delta + chord or Lrr + Delta, an
// overflow), R, L and Delta are put back to `previous` (the last solved curve), and the
// warning sound and kNoSolutionMessage follow; returns false then, true otherwise.
bool SolvePair(int sum, CCurveRecord& record, const CCurveMemory& previous, Notices& notices);

}  // namespace bendwise
