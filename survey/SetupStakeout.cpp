#include "survey/SetupStakeout.h"

#include <cmath>
#include <utility>

#include "math/Trig.h"

namespace bendwise {
namespace {

// The record's degrees per radian, 180 / pi: the same double as m_degPerRad.
constexpr double kDegPerRad = 180 / 3.141592653589793;

// `from` plus `distance` at `azimuth` degrees, as survey/Coordinates.cpp places a point.
NorthEast Offset(const NorthEast& from, double distance, double azimuth) {
    return {from.northing + distance * math::Cos(azimuth / kDegPerRad),
            from.easting + distance * math::Sin(azimuth / kDegPerRad)};
}

bool Finite(const NorthEast& p) {
    return std::isfinite(p.northing) && std::isfinite(p.easting);
}

}  // namespace

std::vector<OffsetLine> OffsetStakeout(const PlacedCurve& curve,
                                       const std::vector<StakeoutRow>& rows,
                                       const std::vector<double>& offsets) {
    const double s = curve.left ? -1.0 : 1.0;
    const double r = curve.radius;
    std::vector<OffsetLine> lines;
    lines.reserve(offsets.size());
    for (const double offset : offsets) {
        OffsetLine line;
        line.offset = offset;
        line.radius = r - s * offset;
        if (!std::isfinite(offset)) {
            line.refusal = "An offset must be a finite length.";
        } else if (!(line.radius > 0)) {
            line.refusal = "An offset of " + CoordinateText(offset) + " (" +
                           (offset < 0 ? "left" : "right") + ") reaches the curve's centre " +
                           CoordinateText(r) + " away, or passes it.";
        }
        if (line.refusal) {
            lines.push_back(std::move(line));
            continue;
        }
        line.stakes.reserve(rows.size());
        for (const StakeoutRow& row : rows) {
            OffsetStake stake;
            stake.station = row.station;
            stake.deflection = row.deflection;
            // The centre-line stake first, then along its radial line; both from the PC,
            // never through the far-away centre.
            const NorthEast onCurve =
                Offset(curve.pc, (2 * r) * math::Sin(row.deflection / kDegPerRad),
                       curve.inboundAz + s * row.deflection);
            stake.at = Offset(onCurve, offset, curve.inboundAz + s * (2 * row.deflection) + 90);
            if (!line.stakes.empty()) {
                const double turned = row.deflection - line.stakes.back().deflection;
                stake.chordFromPrevious = (2 * line.radius) * math::Sin(turned / kDegPerRad);
            }
            line.stakes.push_back(stake);
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

InstrumentSetup SetupShots(const NorthEast& instrument, const NorthEast& backsight,
                           const std::vector<NorthEast>& targets) {
    InstrumentSetup setup;
    bool finite = Finite(instrument) && Finite(backsight);
    for (const NorthEast& target : targets) finite = finite && Finite(target);
    if (!finite) {
        setup.refusal = "A northing or easting is not a number.";
        return setup;
    }
    if (instrument.northing == backsight.northing && instrument.easting == backsight.easting) {
        setup.refusal =
            "The backsight is the instrument point itself; it gives no direction to orient on.";
        return setup;
    }
    setup.backsightAz = InverseAzimuth(instrument, backsight);
    setup.backsightDistance = HorizontalDistance(instrument, backsight);
    setup.shots.reserve(targets.size());
    for (const NorthEast& target : targets) {
        SetupShot shot;
        shot.azimuth = InverseAzimuth(instrument, target);
        shot.angleRight = AngleRight(instrument, backsight, target);
        shot.distance = HorizontalDistance(instrument, target);
        setup.shots.push_back(shot);
    }
    return setup;
}

}  // namespace bendwise
