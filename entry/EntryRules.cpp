#include "entry/EntryRules.h"

#include <cmath>

#include "solver/Solve.h"
#include "text/AngleText.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

constexpr const char* kInvalidInput = "Invalid input";

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

// Why a value failed its test: lengths must be positive, a tangent may be zero.
std::string ValueReason(Field field) {
    return Words(field) + (InfoOf(field).test == ValueTest::NotNegativeOrSound
                               ? " must be a number, 0 or greater: not accepted."
                               : " must be a number greater than 0: not accepted.");
}

bool PassesValueTest(ValueTest test, double value) {
    // Not a number fails both comparisons.
    return test == ValueTest::NotNegativeOrSound ? value >= 0 : value > 0;
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
    plan.Add(SetDisplayText{info.field, text});

    double value = ReadNumber(text);
    if (value > info.limit) value = info.limit;

    if (!PassesValueTest(info.test, value)) {
        switch (info.test) {
            case ValueTest::PositiveOrMessage:
                return plan.Refuse(true, ValueReason(info.field));
            case ValueTest::PositiveSoundAfter:
                plan.Add(RecalculateWith{0});
                plan.Sound();
                plan.Status(ValueReason(info.field));
                plan.outcome.result = EntryResult::Refused;
                return std::move(plan.outcome);
            default:
                return plan.Refuse(false, ValueReason(info.field));
        }
    }

    // Arc length and chord are checked together when the entry would leave them as the
    // pair; its messages say why, so no reason follows a refusal.
    if (formed != nullptr && formed->arcAgainstChord) {
        const double arc = info.field == Field::LengthArc ? value : record.m_lengthArc;
        const double chord = info.field == Field::Chord ? value : record.m_chord;
        Notices notices;
        const bool usable = CheckArcAgainstChord(arc, chord, record.m_pi, notices);
        plan.AddNotices(notices);
        if (!usable) return plan.Refuse(false, "");
    }

    plan.Add(StoreValue{info.member, value / info.scale});
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

    double angle = 0.0;
    Notices notices;
    if (!ReadAngleEntry(text, record.m_packedDms != 0, angle, notices)) {
        plan.AddNotices(notices);  // its message has been shown; no sound
        return plan.Done(EntryResult::Refused, 0);
    }
    if (angle > info.limit) angle = info.limit;

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
    switch (ReadAngleText(std::move(text), packed, angle)) {
        case AngleRead::Ok:
            return true;
        case AngleRead::NotPacked:
            notices.push_back(Notice::Message("Not in DDD.MMSS format"));
            return false;
        case AngleRead::NotInterpreted:
        default:
            notices.push_back(Notice::Message("Could not interpret input"));
            return false;
    }
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
