// The rules that take or refuse a typed entry when its field loses the focus.
//
// TakeEntry judges one entry against the state at that moment and returns what is to
// happen, in order: notices (sound, message, status reason), the field's display text
// taking the typed text, values stored into the record, and exactly one recalculation
// with the field's group code - or with 0 after a refusal, which re-solves the unchanged
// pair and puts every field's text back - or none at all when the text is unchanged. The
// session (session/CurveModel.h) carries the steps out against the record and the host;
// callers and tests rely on this order.
//
// Number fields (Radius, L arc, Lrr, Chord, Tangent), in this order:
//   1. an entry that would form a poorly determined pair (Lrr with a chord or a tangent)
//      is refused whatever was typed: sound, reason, recalculation;
//   2. a text equal to the field's display text is no entry, unless Enter forced it; when
//      Enter forced it in the field of the last group entered, it is no new value: the
//      group is recalculated with the record's own value, not the rounded text read back;
//   3. the display text takes the text; the whole text must be one decimal number
//      (text/NumberText.h: "1000,5", "1 000", "12abc" and "" are refused as the value
//      test refuses), and is clamped at 1e13 with a warning;
//   4. the value test of the field's row in solver/Fields.h (greater than 0, or 0 or
//      greater for the tangent; not a number fails both), refused as the row says;
//   5. an entry that would pair L arc with Chord is checked arc against chord;
//   6. a pair that would solve to a central angle over 360 degrees is refused as the
//      value test refuses;
//   7. the value is stored and the group recalculated.
// Angle fields (Degree curve, Degree (chord), Delta angle, Delta/2, Inbound Az): the change
// test (and the unchanged re-entry of step 2, Inbound Az included), ReadAngleText (its
// message on failure, then the recalculation, no sound), the clamp (1e13; 5e12 for
// Delta/2, whose double is stored; none for Inbound Az), the radius of a degree of curve
// (refused like an invalid radius when it is not a positive finite number), the full-circle
// test (sound, reason, recalculation), the store, the display text, the recalculation.
// Leaving Inbound Az always recalculates, once, with 0: a new azimuth never changes the
// pair.
// Every refusal and every warning of an entry also says on the status line which field,
// which text and which rule: Radius "1000,5" is not a number (use a point for decimals):
// not accepted.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "solver/Curve.h"
#include "solver/Fields.h"
#include "solver/Notice.h"

namespace bendwise {

// What became of one typed entry.
enum class EntryResult {
    Unchanged,  // the text equals the display text and no re-read was forced: nothing ran
    Accepted,   // stored and recalculated (warnings may have been shown)
    Refused,    // refused with its sound and/or message; the curve is as it was
};

// The field's display text takes the typed text (the reference of the next change test).
struct SetDisplayText {
    Field field;
    std::string text;
};
// A record member takes a value.
struct StoreValue {
    double CCurveRecord::*member;
    double value;
};
// Recalculate with a group code, or 0.
struct RecalculateWith {
    int group;
};
using EntryStep = std::variant<Notice, SetDisplayText, StoreValue, RecalculateWith>;

struct EntryOutcome {
    EntryResult result = EntryResult::Unchanged;
    std::vector<EntryStep> steps;
};

// What an entry is judged against: the record (display texts, the forced re-read, the
// packed option, L arc and chord, the constants) and the current pair.
struct EntryState {
    const CCurveRecord& record;
    int lastGroup;
    int prevGroup;
};

// The steps for `text` typed into `field`; a result field takes no entry (Unchanged).
EntryOutcome TakeEntry(Field field, const std::string& text, const EntryState& state);

// Typed angle text to decimal degrees (text/AngleText.h) with the packed option; on
// failure adds "Not in DDD.MMSS format" or "Could not interpret input" to `notices` and
// returns false with `angle` unchanged.
bool ReadAngleEntry(std::string text, bool packed, double& angle, Notices& notices);

// Whether an arc length and a long chord may form the pair, in this order:
//   arc < chord                -> "Larc cannot be less than Chord.", refused
//   arc > chord x pi / 2       -> "Larc and Chord not implemented past semicircle.", refused
//   arc < chord x 1.005        -> "Arc near chord, sensitive to rounding.", accepted
//   otherwise accepted silently. Equal arc and chord pass the first test and warn.
bool CheckArcAgainstChord(double arc, double chord, double pi, Notices& notices);

}  // namespace bendwise
