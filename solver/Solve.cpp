#include "solver/Solve.h"

#include <cmath>
#include <limits>

#include "math/Trig.h"
#include "solver/Fields.h"
#include "solver/RatioInversion.h"
#include "text/NumberText.h"

namespace bendwise {

const char* const kNoSolutionMessage = "No real curve for these values.";

namespace {

// Divisors (and angles whose sine or tangent divides) below this, or not a number, are
// replaced by it in the record itself: the curve becomes an almost straight line.
constexpr double kFloor = 1e-25;

void Floor(double& value) {
    if (value < kFloor || std::isnan(value)) value = kFloor;
}

// An out-of-range ratio gives kInversionFailed; its message is added here and the value
// goes on into the floor that follows it in every caller.
double Checked(double x, Notices& notices) {
    if (x == kInversionFailed) notices.push_back(Notice::Message("Can't deal with extreme value."));
    return x;
}

using Rec = CCurveRecord;

void RadiusArc(Rec& c, Notices&) {
    Floor(c.m_radius);
    c.m_delta = (180 * c.m_lengthArc) / (c.m_pi * c.m_radius);
}

void RadiusLrr(Rec& c, Notices&) {
    Floor(c.m_radius);
    c.m_degreeChord = math::Asin(50 / c.m_radius) * (2 * c.m_degPerRad);
    c.m_delta = (c.m_degreeChord * c.m_lengthRR) * 0.01;
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void ArcLrr(Rec& c, Notices& notices) {
    Floor(c.m_lengthArc);
    // sin(x) / x = Lrr / L, with 1 - Lrr / L as (L - Lrr) / L: exact differences keep the
    // digits that a ratio near 1 loses.
    const double x = Checked(InvertChordRatio(c.m_lengthRR / c.m_lengthArc,
                                              (c.m_lengthArc - c.m_lengthRR) / c.m_lengthArc),
                             notices);
    c.m_degreeChord = ((x + x) * 180) / c.m_pi;
    Floor(c.m_degreeChord);
    c.m_radius = 50 / math::Sin(c.m_degreeChord / (2 * c.m_degPerRad));
    Floor(c.m_radius);
    c.m_delta = (180 * c.m_lengthArc) / (c.m_pi * c.m_radius);
}

void RadiusDelta(Rec& c, Notices&) {
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void ArcDelta(Rec& c, Notices&) {
    Floor(c.m_delta);
    c.m_radius = (180 * c.m_lengthArc) / (c.m_pi * c.m_delta);
}

void LrrDelta(Rec& c, Notices& notices) {
    Floor(c.m_lengthRR);
    // Lrr = 100 x Delta / Dc, and no degree of curve exceeds 180 (a 100-unit chord is at
    // most a diameter): a shorter Lrr has no curve. The sine below would fold back past 90
    // degrees (Dc / 2) and hand out the radius of another Lrr, or a negative one past 180.
    if (c.m_lengthRR * 180 < 100 * c.m_delta) {
        notices.push_back(Notice::Status(
            "Lrr " + FixedString(c.m_lengthRR) +
            " is less than 100 x Delta / 180 = " + FixedString(100 * c.m_delta / 180) +
            ": no real curve for this Delta; the last curve is "
            "kept."));
        c.m_radius = std::numeric_limits<double>::quiet_NaN();
        return;
    }
    c.m_radius = 50 / math::Sin((50 * c.m_delta) / (c.m_lengthRR * c.m_degPerRad));
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void RadiusChord(Rec& c, Notices&) {
    Floor(c.m_radius);
    c.m_delta = math::Asin(c.m_chord / (2 * c.m_radius)) * (2 * c.m_degPerRad);
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void ArcChord(Rec& c, Notices& notices) {
    Floor(c.m_lengthArc);
    const double x = Checked(
        InvertChordRatio(c.m_chord / c.m_lengthArc, (c.m_lengthArc - c.m_chord) / c.m_lengthArc),
        notices);
    c.m_delta = x * (2 * c.m_degPerRad);
    Floor(c.m_delta);
    c.m_radius = (180 * c.m_lengthArc) / (c.m_pi * c.m_delta);
}

void LrrChord(Rec&, Notices& notices) {
    notices.push_back(Notice::Message("Lrr & Chord inaccurate, possibly not unique."));
}

void DeltaChord(Rec& c, Notices&) {
    c.m_radius = c.m_chord / (2 * math::Sin(c.m_delta / (2 * c.m_degPerRad)));
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void RadiusTangent(Rec& c, Notices&) {
    Floor(c.m_radius);
    c.m_delta = math::Atan(c.m_tangent / c.m_radius) * (2 * c.m_degPerRad);
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void ArcTangent(Rec& c, Notices& notices) {
    Floor(c.m_lengthArc);
    const double x = Checked(InvertTangentRatio((2 * c.m_tangent) / c.m_lengthArc,
                                                (2 * c.m_tangent - c.m_lengthArc) / c.m_lengthArc),
                             notices);
    c.m_delta = (x + x) * c.m_degPerRad;
    Floor(c.m_delta);
    c.m_radius = (180 * c.m_lengthArc) / (c.m_pi * c.m_delta);
    // A tangent near half the arc is a nearly straight curve: small errors in T move Delta.
    if (c.m_delta < 14) notices.push_back(Notice::Message("Beware of rounding when T near L/2."));
}

void LrrTangent(Rec&, Notices& notices) {
    notices.push_back(Notice::Message("Lrr & Tangent numerically inaccurate."));
}

void DeltaTangent(Rec& c, Notices&) {
    Floor(c.m_delta);
    c.m_radius = c.m_tangent / math::Tan(c.m_delta / (2 * c.m_degPerRad));
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

void ChordTangent(Rec& c, Notices& notices) {
    Floor(c.m_tangent);
    c.m_delta = math::Acos(c.m_chord / (2 * c.m_tangent)) * (2 * c.m_degPerRad);
    // A chord longer than twice the tangent has no real Delta (not a number): the warning
    // comes, and the floor makes the curve almost straight.
    if (c.m_delta < 14 || std::isnan(c.m_delta)) {
        notices.push_back(Notice::Message("Beware of rounding when T near Chord/2."));
    }
    Floor(c.m_delta);
    c.m_radius = c.m_chord / (2 * math::Sin(c.m_delta / (2 * c.m_degPerRad)));
    c.m_lengthArc = (c.m_pi * c.m_radius * c.m_delta) / 180;
}

constexpr int R = GROUP_RADIUS, L = GROUP_LARC, LRR = GROUP_LRR, D = GROUP_DELTA, C = GROUP_CHORD,
              T = GROUP_TANGENT;

constexpr std::array<PairInfo, 15> kPairs = {{
    {R + L, "radius + arc length", false, false, RadiusArc},
    {R + LRR, "radius + Lrr", false, false, RadiusLrr},
    {L + LRR, "arc length + Lrr", false, false, ArcLrr},
    {R + D, "radius + Delta", false, false, RadiusDelta},
    {L + D, "arc length + Delta", false, false, ArcDelta},
    {LRR + D, "Lrr + Delta", false, false, LrrDelta},
    {R + C, "radius + chord", false, false, RadiusChord},
    {L + C, "arc length + chord", false, true, ArcChord},
    {LRR + C, "Lrr + chord", true, false, LrrChord},
    {D + C, "Delta + chord", false, false, DeltaChord},
    {R + T, "radius + tangent", false, false, RadiusTangent},
    {L + T, "arc length + tangent", false, false, ArcTangent},
    {LRR + T, "Lrr + tangent", true, false, LrrTangent},
    {D + T, "Delta + tangent", false, false, DeltaTangent},
    {C + T, "chord + tangent", false, false, ChordTangent},
}};

}  // namespace

const std::array<PairInfo, 15>& Pairs() {
    return kPairs;
}

const PairInfo* FindPair(int sum) {
    for (const PairInfo& pair : kPairs) {
        if (pair.sum == sum) return &pair;
    }
    return nullptr;
}

void UpdatePair(int group, int& last, int& prev) {
    if (group != 0 && group != last) {
        prev = last;
        last = group;
    }
}

int PairAfterEntry(int group, int last, int prev) {
    UpdatePair(group, last, prev);
    return last + prev;
}

bool SolvePair(int sum, CCurveRecord& record, const CCurveMemory& previous, Notices& notices) {
    // A sum of no pair solves nothing: it cannot occur while the two codes differ.
    const std::size_t start = notices.size();
    if (const PairInfo* pair = FindPair(sum)) pair->solve(record, notices);

    // No real solution for these values: keep the last solved curve rather than show
    // "nan". The pair stays as the entry made it.
    if (std::isfinite(record.m_radius) && std::isfinite(record.m_lengthArc) &&
        std::isfinite(record.m_delta)) {
        return true;
    }
    record.m_radius = previous.m_radius;
    record.m_lengthArc = previous.m_lengthArc;
    record.m_delta = previous.m_delta;
    // A reason the pair's solve gave comes after the sound and the message, as the
    // general one does.
    Notices reasons;
    for (std::size_t i = start; i < notices.size();) {
        if (notices[i].kind != Notice::Kind::Status) {
            ++i;
            continue;
        }
        reasons.push_back(std::move(notices[i]));
        notices.erase(notices.begin() + static_cast<std::ptrdiff_t>(i));
    }
    notices.push_back(Notice::Beep(Sound::Exclamation));
    notices.push_back(Notice::Message(kNoSolutionMessage));
    for (Notice& reason : reasons) notices.push_back(std::move(reason));
    const GroupInfo* low = FindGroup(sum & -sum);
    const GroupInfo* high = FindGroup(sum - (sum & -sum));
    if (low != nullptr && high != nullptr && reasons.empty()) {
        notices.push_back(Notice::Status(std::string(InfoOf(low->field).words) + " with " +
                                         InfoOf(high->field).words +
                                         ": no real curve for these values; the last curve is "
                                         "kept."));
    }
    return false;
}

}  // namespace bendwise
