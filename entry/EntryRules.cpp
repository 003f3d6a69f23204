#include "entry/EntryRules.h"

#include <cmath>
#include <cstdio>

#include "solver/Solve.h"
#include "text/AngleText.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

constexpr const char* kInvalidInput = "Invalid input";

const char* AngleMessage(AngleRead read) {
    return read == AngleRead::NotPacked ? "Not in DDD.MMSS format" : "Could not interpret input";
}

// Builds one outcome step by step.
struct Plan {
    EntryOutcome outcome;

    Plan() { outcome.steps.reserve(4); }
    void Add(EntryStep step) { outcome.steps.push_back(std::move(step)); }
    void Sound() { Add(Notice::Beep(Sound::Exclamation)); }
    void Message(const char* text) { Add(Notice::Message(text)); }
    void Status(std::string text) { Add(Notice::Status(std::move(text))); }
    void AddNotices(const Notices& notices) {
        for (const Notice& notice : notices) Add(notice);
    }
    EntryOutcome Done(EntryResult result, int group) {
        Add(RecalculateWith{group});
        outcome.result = result;
        return std::move(outcome);
    }
    // Sound, "Invalid input" when `message`, the reason, Recalculate(0).
    EntryOutcome Refuse(bool message, std::string reason) {
        Sound();
        if (message) Message(kInvalidInput);
        if (!reason.empty()) Status(std::move(reason));
        return Done(EntryResult::Refused, 0);
    }
};

std::string Words(Field field) {
    return InfoOf(field).words;
}

// The typed text as the reasons quote it: without the white space around it.
std::string Trimmed(std::string text) {
    TrimLeft(text);
    TrimRight(text);
    return text;
}

// "Radius \"1000,5\"": the field and what was typed, the start of every entry's reason.
std::string Named(Field field, const std::string& text) {
    return Words(field) + " \"" + Trimmed(text) + '"';
}

// Why a value failed its test: lengths must be positive, a tangent may be zero.
std::string ValueReason(Field field) {
    return Words(field) + (InfoOf(field).test == ValueTest::NotNegativeOrSound
                               ? " must be a number, 0 or greater: not accepted."
                               : " must be a number greater than 0: not accepted.");
}

// Why a length text is no number: the whole text must be one (sign, digits, point,
// exponent), so a decimal comma or a thousands separator is refused, not cut off.
std::string NotANumberReason(Field field, const std::string& text) {
    const std::string typed = Trimmed(text);
    if (typed.empty()) return Words(field) + " is empty: not accepted.";
    std::string hint;
    if (typed.find(',') != std::string::npos) {
        hint = " (use a point for decimals)";
    } else if (typed.find_first_of(" '_") != std::string::npos) {
        hint = " (write it without thousands separators)";
    }
    return Named(field, text) + " is not a number" + hint + ": not accepted.";
}

// "Radius 2e13 is over the limit: 1e13 used." The limits are 1e13 and half of it.
std::string LimitReason(Field field, const std::string& text, double limit) {
    return Words(field) + ' ' + Trimmed(text) +
           " is over the limit: " + (limit == kEntryLimit ? "1e13" : "5e12") + " used.";
}

// An angle as 1131°10'03", whole seconds, for the reasons.
std::string DegreesMinutesSeconds(double degrees) {
    if (!(degrees < 1e12)) return FixedString(degrees) + "\xC2\xB0";
    const long long seconds = std::llround(degrees * 3600);
    const long long minutes = seconds / 60;
    char text[48];
    std::snprintf(text, sizeof text, "%lld\xC2\xB0%02lld'%02lld\"", minutes / 60, minutes % 60,
                  seconds % 60);
    return text;
}

bool PassesValueTest(ValueTest test, double value) {
    // Not a number fails both comparisons.
    return test == ValueTest::NotNegativeOrSound ? value >= 0 : value > 0;
}

// A curve turns through 360 degrees at the most: the central angle that the pair after
// this entry would solve to, when more than that, or 0. Solved on a copy of the record
// with the values stored, by the solver itself, so that the test and the curve agree.
double CentralAngleOverFullCircle(const EntryState& state, const std::vector<EntryStep>& steps,
                                  int group) {
    CCurveRecord trial = state.record;
    for (const EntryStep& step : steps) {
        if (const auto* store = std::get_if<StoreValue>(&step))
            trial.*(store->member) = store->value;
    }
    int last = state.lastGroup;
    int prev = state.prevGroup;
    UpdatePair(group, last, prev);
    CCurveMemory previous;
    previous.m_radius = state.record.m_radius;
    previous.m_lengthArc = state.record.m_lengthArc;
    previous.m_delta = state.record.m_delta;
    Notices ignored;
    if (!SolvePair(last + prev, trial, previous, ignored)) return 0;
    return trial.m_delta > 360 ? trial.m_delta : 0;
}

// The reason names the other value of the pair too: a small radius typed while the arc
// length of the last curve still stands is refused for that length.
std::string FullCircleReason(const FieldInfo& info, const std::string& text, double delta,
                             const EntryState& state) {
    int last = state.lastGroup;
    int prev = state.prevGroup;
    UpdatePair(info.group, last, prev);
    const GroupInfo* other = FindGroup(last == info.group ? prev : last);
    std::string reason = Named(info.field, text) + ": no curve: the central angle would be " +
                         DegreesMinutesSeconds(delta);
    if (other != nullptr) {
        const FieldInfo& partner = InfoOf(other->field);
        reason += " with " + std::string(partner.words) + ' ' + state.record.Text(partner.field);
    }
    return reason + ".";
}

// Refused as the field refuses a value that fails its test, with `reason` on the status
// line: the number fields as their table rows say, the angle fields with the sound.
EntryOutcome RefuseValue(Plan& plan, const FieldInfo& info, std::string reason) {
    switch (info.test) {
        case ValueTest::PositiveOrMessage:
            return plan.Refuse(true, std::move(reason));
        case ValueTest::PositiveSoundAfter:
            plan.Add(RecalculateWith{0});
            plan.Sound();
            plan.Status(std::move(reason));
            plan.outcome.result = EntryResult::Refused;
            return std::move(plan.outcome);
        default:
            return plan.Refuse(false, std::move(reason));
    }
}

// Enter in a field that still shows its text, when the field's group is the last one
// entered (or the field is Inbound Az): no new value. The value stays the record's own,
// not the rounded text read back, so the curve does not move.
bool ReenteredUnchanged(const FieldInfo& info, const std::string& text, const EntryState& state) {
    return text == state.record.Text(info.field) &&
           (info.group == 0 || info.group == state.lastGroup);
}

EntryOutcome TakeNumberEntry(const FieldInfo& info, const std::string& text,
                             const EntryState& state) {
    const CCurveRecord& record = state.record;
    Plan plan;
    const PairInfo* formed = FindPair(PairAfterEntry(info.group, state.lastGroup, state.prevGroup));

    // Lrr with a chord or tangent is too poorly determined to solve; refuse forming that
    // pair whatever was typed, even when the user only passed through the field.
    if (formed != nullptr && formed->poorlyDetermined) {
        const int other = formed->sum - info.group;
        plan.Sound();
        plan.Status(Words(info.field) + " with " + Words(FindGroup(other)->field) +
                    " is a poorly determined pair: not accepted.");
        return plan.Done(EntryResult::Refused, 0);
    }

    if (text == record.Text(info.field) && !record.m_forceReread) return {};
    if (ReenteredUnchanged(info, text, state)) return plan.Done(EntryResult::Accepted, info.group);
    plan.Add(SetDisplayText{info.field, text});

    double value = 0.0;
    if (!ReadWholeNumber(text, value)) {
        return RefuseValue(plan, info, NotANumberReason(info.field, text));
    }
    std::string limitNote;
    if (value > info.limit) {
        value = info.limit;
        limitNote = LimitReason(info.field, text, info.limit);
    }
    if (!PassesValueTest(info.test, value)) return RefuseValue(plan, info, ValueReason(info.field));

    // Arc length and chord are checked together when the entry would leave them as the
    // pair; the messages say what is wrong, the reason which entry it was.
    if (formed != nullptr && formed->arcAgainstChord) {
        const double arc = info.field == Field::LengthArc ? value : record.m_lengthArc;
        const double chord = info.field == Field::Chord ? value : record.m_chord;
        Notices notices;
        const bool usable = CheckArcAgainstChord(arc, chord, record.m_pi, notices);
        plan.AddNotices(notices);
        if (!usable) {
            return plan.Refuse(false, Named(info.field, text) +
                                          (arc < chord ? ": the arc would be shorter than the chord"
                                                       : ": the arc would be longer than a "
                                                         "semicircle on the chord") +
                                          ": not accepted.");
        }
        if (!notices.empty()) {
            plan.Status(Named(info.field, text) +
                        ": the arc is within 0.5% of the chord, so the curve is sensitive to "
                        "rounding.");
        }
    }

    plan.Add(StoreValue{info.member, value / info.scale});
    if (const double delta = CentralAngleOverFullCircle(state, plan.outcome.steps, info.group)) {
        plan.outcome.steps.pop_back();
        return RefuseValue(plan, info, FullCircleReason(info, text, delta, state));
    }
    if (!limitNote.empty()) plan.Status(std::move(limitNote));
    return plan.Done(EntryResult::Accepted, info.group);
}

EntryOutcome TakeAngleEntry(const FieldInfo& info, const std::string& text,
                            const EntryState& state) {
    const CCurveRecord& record = state.record;
    Plan plan;
    // Inbound Az belongs to no group: leaving it always recalculates, once.
    const bool inbound = info.group == 0;

    if (text == record.Text(info.field) && !record.m_forceReread) {
        if (!inbound) return {};
        return plan.Done(EntryResult::Unchanged, 0);
    }
    if (ReenteredUnchanged(info, text, state)) {
        return plan.Done(inbound ? EntryResult::Unchanged : EntryResult::Accepted, info.group);
    }

    double angle = 0.0;
    std::string why;
    const AngleRead read = ReadAngleText(text, record.m_packedDms != 0, angle, &why);
    if (read != AngleRead::Ok) {
        plan.Message(AngleMessage(read));  // the message says it all: no sound
        if (Trimmed(text).empty()) {
            plan.Status(Words(info.field) + " is empty: not accepted.");
        } else {
            // The packed rule's reason is a whole sentence with its remedy.
            plan.Status(Named(info.field, text) + ": " + why +
                        (read == AngleRead::NotPacked ? "." : ": not accepted."));
        }
        return plan.Done(EntryResult::Refused, 0);
    }
    std::string limitNote;
    if (angle > info.limit) {
        angle = info.limit;
        limitNote = LimitReason(info.field, text, info.limit);
    }

    if (info.radiusOf != nullptr) {
        const double radius = info.radiusOf(angle, record.m_pi, record.m_degPerRad);
        // A degree of 0, or one whose half-angle sine is not positive, gives no radius at
        // all: refused like an invalid radius.
        if (!(radius > 0) || !std::isfinite(radius)) {
            return plan.Refuse(
                true, Words(info.field) + " gives no radius greater than 0: not accepted.");
        }
        plan.Add(StoreValue{info.member, angle});
        plan.Add(StoreValue{&CCurveRecord::m_radius, radius});
    } else {
        plan.Add(StoreValue{info.member, angle / info.scale});
    }
    if (!inbound) {
        if (const double delta =
                CentralAngleOverFullCircle(state, plan.outcome.steps, info.group)) {
            while (!plan.outcome.steps.empty() &&
                   std::holds_alternative<StoreValue>(plan.outcome.steps.back())) {
                plan.outcome.steps.pop_back();
            }
            return plan.Refuse(false, FullCircleReason(info, text, delta, state));
        }
    }
    if (!limitNote.empty()) plan.Status(std::move(limitNote));
    plan.Add(SetDisplayText{info.field, text});
    return plan.Done(EntryResult::Accepted, info.group);
}

}  // namespace

EntryOutcome TakeEntry(Field field, const std::string& text, const EntryState& state) {
    const FieldInfo& info = InfoOf(field);
    switch (info.kind) {
        case FieldKind::Number:
            return TakeNumberEntry(info, text, state);
        case FieldKind::Angle:
            return TakeAngleEntry(info, text, state);
        case FieldKind::Result:
            break;
    }
    return {};
}

bool ReadAngleEntry(std::string text, bool packed, double& angle, Notices& notices) {
    const AngleRead read = ReadAngleText(std::move(text), packed, angle);
    if (read == AngleRead::Ok) return true;
    notices.push_back(Notice::Message(AngleMessage(read)));
    return false;
}

bool CheckArcAgainstChord(double arc, double chord, double pi, Notices& notices) {
    if (arc < chord) {
        notices.push_back(Notice::Message("Larc cannot be less than Chord."));
        return false;
    }
    if (arc > chord * pi / 2) {  // beyond a semicircle
        notices.push_back(Notice::Message("Larc and Chord not implemented past semicircle."));
        return false;
    }
    if (arc < chord * 1.005) {
        notices.push_back(Notice::Message("Arc near chord, sensitive to rounding."));
    }
    return true;
}

}  // namespace bendwise
