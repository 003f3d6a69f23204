#include "solver/Derive.h"

#include <cmath>

#include "math/Trig.h"
#include "text/NumberText.h"

namespace bendwise {
namespace {

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
        FormatDmsTrimmed(value, out);
    } else {
        out = kOutOfRange;
    }
}

}  // namespace

void DeriveElements(CCurveRecord& c, bool acres) {
    const double R = c.m_radius;
    const double L = c.m_lengthArc;
    const double Delta = c.m_delta;
    const double pi = c.m_pi;
    const double k = c.m_degPerRad;
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
    c.m_degreeChord = math::Asin(50 / R) * (2 * k);
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

    c.m_chord = (2 * R) * math::Sin(Delta / (2 * k));
    FixedText(c.m_chord, c.Text(Field::Chord));

    c.m_tangent = math::Tan(Delta / (2 * k)) * R;
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

    c.m_deltaX = math::Sin(c.m_chordAz / k) * c.m_chord;
    c.m_deltaY = math::Cos(c.m_chordAz / k) * c.m_chord;
    LengthText(c.m_deltaX, c.Text(Field::DeltaX));
    LengthText(c.m_deltaY, c.Text(Field::DeltaY));

    DmsText(c.m_chordAz, c.Text(Field::ChordAz));
    DmsText(c.m_outboundAz, c.Text(Field::OutboundAz));

    c.m_external = math::Tan(Delta / (4 * k)) * c.m_tangent;
    FixedText(c.m_external, c.Text(Field::External));

    c.m_midOrdinate = (1 - math::Cos(Delta / (2 * k))) * R;
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
}

}  // namespace bendwise
