// Recalculate: the pair solver and the derived elements.
//
// Every formula is evaluated in the order and grouping written beside it; with
// -ffp-contract=off each intermediate is rounded to double, so the results are the same
// doubles on every build. x x (2 x k) and ((x + x) x 180) / pi are not the same double.
#include <cmath>

#include "solver/CurveModel.h"
#include "solver/RatioInversion.h"
#include "text/NumberText.h"

namespace bendwise {

const char* const kNoSolutionMessage = "No real curve for these values.";
const char* const kReportIncompleteMessage =
    "Report not written completely; the file is unchanged.";
const char* const kReportLockedMessage =
    "Report not written; the file is in use by another program.";

namespace {

// Divisors (and angles whose sine or tangent divides) below this, or not a number, are
// replaced by it in the record itself: the curve becomes an almost straight line.
constexpr double kFloor = 1e-25;

void Floor(double& value) {
    if (value < kFloor || std::isnan(value)) value = kFloor;
}

// Tangents of 1e14 or more (Delta within a hair of 180 degrees) are shown as out of range.
constexpr double kTangentLimit = 1e14;

// An acre is 43,560 square feet.
constexpr double kSquareUnitsPerAcre = 43560.0;

constexpr const char* kOutOfRange = "Out of range";

// Text helpers: a value that overflowed to infinity (or became not a number) is shown as
// out of range rather than as "inf" or "nan".
void LengthText(double value, std::string& out) {
    if (std::isfinite(value)) {
        FormatLength(value, out);
    } else {
        out = kOutOfRange;
    }
}

void FixedText(double value, std::string& out) {
    if (std::isfinite(value)) {
        FormatFixed(value, out);
    } else {
        out = kOutOfRange;
    }
}

void DmsText(double value, std::string& out) {
    if (std::isfinite(value)) {
        FormatDms(value, out);
        TrimLeft(out);
    } else {
        out = kOutOfRange;
    }
}

}  // namespace

CCurveModel::CCurveModel(CCurveMemory* memory, CCurveHost* host) : m_memory(memory), m_host(host) {}

void CCurveModel::Initialize() {
    m_record.m_pi = 3.141592653589793;
    m_record.m_degPerRad = 180 / m_record.m_pi;
    m_reportPath.clear();
    m_record.m_alwaysOnTop = 0;
    m_record.m_radius = m_memory->m_radius;
    m_record.m_lengthArc = m_memory->m_lengthArc;
    m_record.m_delta = m_memory->m_delta;
    m_record.m_inboundAz = m_memory->m_inboundAz;
    m_record.m_left = m_memory->m_left;
    m_record.m_packedDms = m_memory->m_packedDms;
    Recalculate(0);
}

void CCurveModel::Recalculate(int group) {
    UpdatePair(group);
    ShowIndicators();
    SolvePair();
    DeriveElements();
    SaveToMemory();
    m_host->RefreshScreen();
}

void CCurveModel::UpdatePair(int group) {
    // Entering the last group again keeps the pair; entering the previous one swaps the
    // two, which is still the same pair.
    if (group != 0 && group != m_memory->m_lastGroup) {
        m_memory->m_prevGroup = m_memory->m_lastGroup;
        m_memory->m_lastGroup = group;
    }
}

void CCurveModel::ShowIndicators() {
    for (int group : kAllGroups) m_host->SetIndicator(group, false);
    const int pair = m_memory->m_lastGroup + m_memory->m_prevGroup;
    for (int group :
         {GROUP_RADIUS, GROUP_LARC, GROUP_DELTA, GROUP_LRR, GROUP_CHORD, GROUP_TANGENT}) {
        if (pair & group) m_host->SetIndicator(group, true);
    }
}

void CCurveModel::SolvePair() {
    CCurveRecord& c = m_record;
    double& R = c.m_radius;
    double& L = c.m_lengthArc;
    double& Lrr = c.m_lengthRR;
    double& C = c.m_chord;
    double& T = c.m_tangent;
    double& Delta = c.m_delta;
    double& Dc = c.m_degreeChord;
    const double pi = c.m_pi;
    const double k = c.m_degPerRad;

    // The inversions return kInversionFailed after an out-of-range ratio; the message is
    // shown here and the value goes on into the floor that follows it.
    auto invert = [this](double (*inversion)(double), double r) {
        double x = inversion(r);
        if (x == kInversionFailed) m_host->ShowMessage("Can't deal with extreme value.");
        return x;
    };

    m_lastSolveFailed = false;
    double x = 0.0;
    switch (m_memory->m_lastGroup + m_memory->m_prevGroup) {
        case GROUP_RADIUS + GROUP_LARC:
            Floor(R);
            Delta = (180 * L) / (pi * R);
            break;
        case GROUP_RADIUS + GROUP_LRR:
            Floor(R);
            Dc = std::asin(50 / R) * (2 * k);
            Delta = (Dc * Lrr) * 0.01;
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_LARC + GROUP_LRR:
            Floor(L);
            x = invert(InvertChordRatio, Lrr / L);
            Dc = ((x + x) * 180) / pi;
            Floor(Dc);
            R = 50 / std::sin(Dc / (2 * k));
            Floor(R);
            Delta = (180 * L) / (pi * R);
            break;
        case GROUP_RADIUS + GROUP_DELTA:
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_LARC + GROUP_DELTA:
            Floor(Delta);
            R = (180 * L) / (pi * Delta);
            break;
        case GROUP_LRR + GROUP_DELTA:
            Floor(Lrr);
            R = 50 / std::sin((50 * Delta) / (Lrr * k));
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_RADIUS + GROUP_CHORD:
            Floor(R);
            Delta = std::asin(C / (2 * R)) * (2 * k);
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_LARC + GROUP_CHORD:
            Floor(L);
            x = invert(InvertChordRatio, C / L);
            Delta = x * (2 * k);
            Floor(Delta);
            R = (180 * L) / (pi * Delta);
            break;
        case GROUP_LRR + GROUP_CHORD:
            m_host->ShowMessage("Lrr & Chord inaccurate, possibly not unique.");
            break;
        case GROUP_DELTA + GROUP_CHORD:
            R = C / (2 * std::sin(Delta / (2 * k)));
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_RADIUS + GROUP_TANGENT:
            Floor(R);
            Delta = std::atan(T / R) * (2 * k);
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_LARC + GROUP_TANGENT:
            Floor(L);
            x = invert(InvertTangentRatio, (2 * T) / L);
            Delta = (x + x) * k;
            Floor(Delta);
            R = (180 * L) / (pi * Delta);
            if (Delta < 14) m_host->ShowMessage("Beware of rounding when T near L/2.");
            break;
        case GROUP_LRR + GROUP_TANGENT:
            m_host->ShowMessage("Lrr & Tangent numerically inaccurate.");
            break;
        case GROUP_DELTA + GROUP_TANGENT:
            Floor(Delta);
            R = T / std::tan(Delta / (2 * k));
            L = (pi * R * Delta) / 180;
            break;
        case GROUP_CHORD + GROUP_TANGENT:
            Floor(T);
            Delta = std::acos(C / (2 * T)) * (2 * k);
            if (Delta < 14 || std::isnan(Delta)) {
                m_host->ShowMessage("Beware of rounding when T near Chord/2.");
            }
            Floor(Delta);
            R = C / (2 * std::sin(Delta / (2 * k)));
            L = (pi * R * Delta) / 180;
            break;
        default:
            break;  // cannot occur while the two group codes differ
    }

    // No real solution for these values (radius + Lrr below R = 50, a chord longer than
    // 2R, a zero sine in Delta + chord or Lrr + Delta, an overflow): keep the last solved
    // curve rather than show "nan". The pair stays as the entry made it.
    if (!std::isfinite(R) || !std::isfinite(L) || !std::isfinite(Delta)) {
        R = m_memory->m_radius;
        L = m_memory->m_lengthArc;
        Delta = m_memory->m_delta;
        m_lastSolveFailed = true;
        m_host->PlaySound(Sound::Exclamation);
        m_host->ShowMessage(kNoSolutionMessage);
    }
}

void CCurveModel::DeriveElements() {
    CCurveRecord& c = m_record;
    const double R = c.m_radius;
    const double L = c.m_lengthArc;
    const double Delta = c.m_delta;
    const double pi = c.m_pi;
    const double k = c.m_degPerRad;
    const bool acres = m_memory->m_acres != 0;
    auto shown = [acres](double area) { return acres ? area / kSquareUnitsPerAcre : area; };

    LengthText(R, c.Text(Field::Radius));

    c.m_degreeArc = std::fabs(18000 / (pi * R));
    if (c.m_degreeArc > 360) {
        c.Text(Field::DegreeArc) = "out of range";
    } else {
        DmsText(c.m_degreeArc, c.Text(Field::DegreeArc));
    }

    // Below R = 50 no 100-unit chord fits: the arcsine is not a number, so are Dc and Lrr.
    const bool chordDefined = !(R < 50 || std::isnan(R));
    c.m_degreeChord = std::asin(50 / R) * (2 * k);
    if (chordDefined) {
        DmsText(c.m_degreeChord, c.Text(Field::DegreeChord));
    } else {
        c.Text(Field::DegreeChord) = "undefined";
    }

    FixedText(L, c.Text(Field::LengthArc));

    c.m_lengthRR = (100 * Delta) / c.m_degreeChord;
    if (chordDefined) {
        FixedText(c.m_lengthRR, c.Text(Field::LengthRR));
    } else {
        c.Text(Field::LengthRR) = "undefined";
    }

    c.m_chord = (2 * R) * std::sin(Delta / (2 * k));
    FixedText(c.m_chord, c.Text(Field::Chord));

    c.m_tangent = std::tan(Delta / (2 * k)) * R;
    if (std::fabs(c.m_tangent) >= kTangentLimit) {
        c.Text(Field::Tangent) = kOutOfRange;
    } else {
        FixedText(c.m_tangent, c.Text(Field::Tangent));
    }

    DmsText(Delta, c.Text(Field::Delta));
    DmsText(Delta / 2, c.Text(Field::HalfDelta));
    DmsText(c.m_inboundAz, c.Text(Field::InboundAz));

    if (c.m_left) {
        c.m_chordAz = c.m_inboundAz - Delta / 2;
        c.m_outboundAz = c.m_inboundAz - Delta;
    } else {
        c.m_chordAz = Delta / 2 + c.m_inboundAz;
        c.m_outboundAz = c.m_inboundAz + Delta;
    }

    c.m_deltaX = std::sin(c.m_chordAz / k) * c.m_chord;
    c.m_deltaY = std::cos(c.m_chordAz / k) * c.m_chord;
    LengthText(c.m_deltaX, c.Text(Field::DeltaX));
    LengthText(c.m_deltaY, c.Text(Field::DeltaY));

    DmsText(c.m_chordAz, c.Text(Field::ChordAz));
    DmsText(c.m_outboundAz, c.Text(Field::OutboundAz));

    c.m_external = std::tan(Delta / (4 * k)) * c.m_tangent;
    FixedText(c.m_external, c.Text(Field::External));

    c.m_midOrdinate = (1 - std::cos(Delta / (2 * k))) * R;
    FixedText(c.m_midOrdinate, c.Text(Field::MidOrdinate));

    c.m_circleArea = (pi * R) * R;
    LengthText(shown(c.m_circleArea), c.Text(Field::CircleArea));

    c.m_sectorArea = (c.m_circleArea * Delta) / 360;
    LengthText(shown(c.m_sectorArea), c.Text(Field::SectorArea));

    // A segment or fillet of half a circle or more has no meaning here: the fields are
    // left empty and the stored areas keep the values of the last smaller curve.
    if (Delta < 180 || std::isnan(Delta)) {
        c.m_segmentArea = c.m_sectorArea - ((R - c.m_midOrdinate) * c.m_chord) / 2;
        c.m_filletArea = (c.m_tangent - L / 2) * R;
        LengthText(shown(c.m_segmentArea), c.Text(Field::SegmentArea));
        LengthText(shown(c.m_filletArea), c.Text(Field::FilletArea));
    } else {
        c.Text(Field::FilletArea).clear();
        c.Text(Field::SegmentArea).clear();
    }

    c.m_forceReread = 0;
}

void CCurveModel::SaveToMemory() {
    m_memory->m_radius = m_record.m_radius;
    m_memory->m_lengthArc = m_record.m_lengthArc;
    m_memory->m_delta = m_record.m_delta;
    m_memory->m_inboundAz = m_record.m_inboundAz;
    m_memory->m_left = m_record.m_left;
    m_memory->m_packedDms = m_record.m_packedDms;
}

}  // namespace bendwise
