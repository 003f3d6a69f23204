// The rules that take or refuse a typed entry when its field loses the focus.
//
// Each handler ends in exactly one Recalculate, or in none when the text is unchanged:
// an accepted value goes in with its group code, a refusal with 0, which re-solves the
// unchanged pair and puts every field's text back. Sounds and messages come in the order
// each refusal below gives them; callers and tests rely on that order.
#include <cmath>

#include "math/Trig.h"
#include "solver/CurveModel.h"
#include "text/AngleText.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

// Typed values above this are taken as this, so that no later product overflows.
constexpr double kEntryLimit = 1e13;
// Delta/2 is doubled when stored, so its limit is half of it.
constexpr double kHalfDeltaLimit = 5e12;

constexpr const char* kInvalidInput = "Invalid input";

// The name of an entry field in the reasons of the status line.
const char* ReasonName(Field field) {
    switch (field) {
        case Field::Radius:
            return "Radius";
        case Field::DegreeArc:
            return "Degree curve";
        case Field::DegreeChord:
            return "Degree (chord)";
        case Field::LengthArc:
            return "L arc";
        case Field::LengthRR:
            return "Lrr";
        case Field::Chord:
            return "Chord";
        case Field::Tangent:
            return "Tangent";
        default:
            return "";
    }
}

// Why a value failed its test: lengths must be positive, a tangent may be zero.
std::string ValueReason(Field field) {
    return std::string(ReasonName(field)) +
           (field == Field::Tangent ? " must be a number, 0 or greater: not accepted."
                                    : " must be a number greater than 0: not accepted.");
}

// The field that stands for a group in the reasons (the radius for its group).
Field FieldOfGroup(int group) {
    switch (group) {
        case GROUP_LARC:
            return Field::LengthArc;
        case GROUP_LRR:
            return Field::LengthRR;
        case GROUP_DELTA:
            return Field::Delta;
        case GROUP_CHORD:
            return Field::Chord;
        case GROUP_TANGENT:
            return Field::Tangent;
        default:
            return Field::Radius;
    }
}

int GroupOf(Field field) {
    switch (field) {
        case Field::Radius:
        case Field::DegreeArc:
        case Field::DegreeChord:
            return GROUP_RADIUS;
        case Field::LengthArc:
            return GROUP_LARC;
        case Field::LengthRR:
            return GROUP_LRR;
        case Field::Chord:
            return GROUP_CHORD;
        case Field::Tangent:
            return GROUP_TANGENT;
        case Field::Delta:
        case Field::HalfDelta:
            return GROUP_DELTA;
        default:
            return 0;
    }
}

}  // namespace

EntryResult CCurveModel::OnKillfocusRadius(const std::string& text) {
    return TakeNumberEntry(Field::Radius, text);
}
EntryResult CCurveModel::OnKillfocusDegreeArc(const std::string& text) {
    return TakeAngleEntry(Field::DegreeArc, text);
}
EntryResult CCurveModel::OnKillfocusDegreeChord(const std::string& text) {
    return TakeAngleEntry(Field::DegreeChord, text);
}
EntryResult CCurveModel::OnKillfocusLengthArc(const std::string& text) {
    return TakeNumberEntry(Field::LengthArc, text);
}
EntryResult CCurveModel::OnKillfocusLengthRR(const std::string& text) {
    return TakeNumberEntry(Field::LengthRR, text);
}
EntryResult CCurveModel::OnKillfocusChord(const std::string& text) {
    return TakeNumberEntry(Field::Chord, text);
}
EntryResult CCurveModel::OnKillfocusTangent(const std::string& text) {
    return TakeNumberEntry(Field::Tangent, text);
}
EntryResult CCurveModel::OnKillfocusDelta(const std::string& text) {
    return TakeAngleEntry(Field::Delta, text);
}
EntryResult CCurveModel::OnKillfocusHalfDelta(const std::string& text) {
    return TakeAngleEntry(Field::HalfDelta, text);
}
EntryResult CCurveModel::OnKillfocusInboundAz(const std::string& text) {
    return TakeAngleEntry(Field::InboundAz, text);
}

EntryResult CCurveModel::OnKillfocus(Field field, const std::string& text) {
    switch (field) {
        case Field::Radius:
        case Field::LengthArc:
        case Field::LengthRR:
        case Field::Chord:
        case Field::Tangent:
            return TakeNumberEntry(field, text);
        case Field::DegreeArc:
        case Field::DegreeChord:
        case Field::Delta:
        case Field::HalfDelta:
        case Field::InboundAz:
            return TakeAngleEntry(field, text);
        default:
            return EntryResult::Unchanged;  // result fields take no entry
    }
}

EntryResult CCurveModel::Refuse(bool message, const std::string& reason) {
    m_host->PlaySound(Sound::Exclamation);
    if (message) m_host->ShowMessage(kInvalidInput);
    if (!reason.empty()) m_host->ShowStatus(reason);
    Recalculate(0);
    return EntryResult::Refused;
}

EntryResult CCurveModel::TakeNumberEntry(Field field, const std::string& text) {
    const int last = m_memory->m_lastGroup;
    const int prev = m_memory->m_prevGroup;

    // Lrr with a chord or tangent is too poorly determined to solve; refuse forming that
    // pair whatever was typed, even when the user only passed through the field.
    bool pairRefused = false;
    if (field == Field::LengthRR) {
        pairRefused = last == GROUP_CHORD || last == GROUP_TANGENT;
    } else if (field == Field::Chord) {
        pairRefused = last == GROUP_LRR || (last == GROUP_CHORD && prev == GROUP_LRR);
    } else if (field == Field::Tangent) {
        pairRefused = last == GROUP_LRR || (last == GROUP_TANGENT && prev == GROUP_LRR);
    }
    if (pairRefused) {
        m_host->PlaySound(Sound::Exclamation);
        // The field typed, then the group it would have been paired with.
        const Field other = field == Field::LengthRR ? FieldOfGroup(last) : Field::LengthRR;
        m_host->ShowStatus(std::string(ReasonName(field)) + " with " + ReasonName(other) +
                           " is a poorly determined pair: not accepted.");
        Recalculate(0);
        return EntryResult::Refused;
    }

    std::string& shown = m_record.Text(field);
    if (text == shown && !m_record.m_forceReread) return EntryResult::Unchanged;
    shown = text;

    double value = ReadNumber(text);
    if (value > kEntryLimit) value = kEntryLimit;

    // Not-a-number fails both tests; only the tangent may be zero.
    const bool valid = field == Field::Tangent ? value >= 0 : value > 0;
    if (!valid) {
        switch (field) {
            case Field::Radius:
            case Field::LengthArc:
                return Refuse(true, ValueReason(field));
            case Field::LengthRR:
                Recalculate(0);
                m_host->PlaySound(Sound::Exclamation);
                m_host->ShowStatus(ValueReason(field));
                return EntryResult::Refused;
            default:
                return Refuse(false, ValueReason(field));
        }
    }

    // Arc length and chord are checked together when the entry would leave them as the
    // pair (entering the last group again keeps the pair, hence the second condition).
    if (field == Field::LengthArc &&
        (last == GROUP_CHORD || (prev == GROUP_CHORD && last == GROUP_LARC))) {
        if (!CheckArcAgainstChord(value, m_record.m_chord)) return Refuse(false, "");
    }
    if (field == Field::Chord &&
        (last == GROUP_LARC || (prev == GROUP_LARC && last == GROUP_CHORD))) {
        if (!CheckArcAgainstChord(m_record.m_lengthArc, value)) return Refuse(false, "");
    }

    switch (field) {
        case Field::Radius:
            m_record.m_radius = value;
            break;
        case Field::LengthArc:
            m_record.m_lengthArc = value;
            break;
        case Field::LengthRR:
            m_record.m_lengthRR = value;
            break;
        case Field::Chord:
            m_record.m_chord = value;
            break;
        case Field::Tangent:
            m_record.m_tangent = value;
            break;
        default:
            break;
    }
    Recalculate(GroupOf(field));
    return EntryResult::Accepted;
}

EntryResult CCurveModel::TakeAngleEntry(Field field, const std::string& text) {
    const bool inbound = field == Field::InboundAz;
    std::string& shown = m_record.Text(field);

    // Leaving Inbound Az always recalculates, once, whatever became of the text; a new
    // azimuth never changes the pair.
    if (text == shown && !m_record.m_forceReread) {
        if (inbound) Recalculate(0);
        return EntryResult::Unchanged;
    }

    double angle = 0.0;
    if (!ReadAngleField(text, angle)) {  // its message has been shown; no beep
        Recalculate(0);
        return EntryResult::Refused;
    }

    if (field == Field::HalfDelta) {
        if (angle > kHalfDeltaLimit) angle = kHalfDeltaLimit;
    } else if (!inbound) {
        if (angle > kEntryLimit) angle = kEntryLimit;
    }

    switch (field) {
        case Field::DegreeArc:
        case Field::DegreeChord: {
            // The radius on which 100 units of arc, or a chord of 100, subtend the angle.
            const double radius = field == Field::DegreeArc
                                      ? 18000 / (m_record.m_pi * angle)
                                      : 50 / math::Sin(angle / (2 * m_record.m_degPerRad));
            // A degree of 0, or one whose half-angle sine is not positive, gives no
            // radius at all: refused like an invalid radius.
            if (!(radius > 0) || !std::isfinite(radius)) {
                return Refuse(true, std::string(ReasonName(field)) +
                                        " gives no radius greater than 0: not accepted.");
            }
            if (field == Field::DegreeArc) {
                m_record.m_degreeArc = angle;
            } else {
                m_record.m_degreeChord = angle;
            }
            m_record.m_radius = radius;
            break;
        }
        case Field::Delta:
            m_record.m_delta = angle;
            break;
        case Field::HalfDelta:
            m_record.m_delta = 2 * angle;
            break;
        case Field::InboundAz:
            m_record.m_inboundAz = angle;
            break;
        default:
            break;
    }
    shown = text;
    Recalculate(GroupOf(field));
    return EntryResult::Accepted;
}

int CCurveModel::ReadAngleField(std::string text, double& angle) {
    switch (ReadAngleText(std::move(text), m_record.m_packedDms != 0, angle)) {
        case AngleRead::Ok:
            return 1;
        case AngleRead::NotPacked:
            m_host->ShowMessage("Not in DDD.MMSS format");
            return 0;
        case AngleRead::NotInterpreted:
        default:
            m_host->ShowMessage("Could not interpret input");
            return 0;
    }
}

int CCurveModel::CheckArcAgainstChord(double arc, double chord) {
    if (arc < chord) {
        m_host->ShowMessage("Larc cannot be less than Chord.");
        return 0;
    }
    if (arc > chord * m_record.m_pi / 2) {  // beyond a semicircle
        m_host->ShowMessage("Larc and Chord not implemented past semicircle.");
        return 0;
    }
    if (arc < chord * 1.005) m_host->ShowMessage("Arc near chord, sensitive to rounding.");
    return 1;
}

void CCurveModel::OnLeft(bool checked) {
    m_record.m_left = checked ? 1 : 0;
    Recalculate(0);
}

void CCurveModel::OnPackedDms(bool checked) {
    m_record.m_packedDms = checked ? 1 : 0;
}

void CCurveModel::OnAcres(bool checked) {
    m_memory->m_acres = checked ? 1 : 0;
    Recalculate(0);
}

void CCurveModel::OnAlwaysOnTop(bool checked) {
    m_record.m_alwaysOnTop = checked ? 1 : 0;
}

}  // namespace bendwise
