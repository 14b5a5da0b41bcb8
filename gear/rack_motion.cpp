// The rack at a roll, for the pictures of the cut: its teeth, where each side touches the
// gear and whether that point stays on the finished tooth, and the limits of its flank.
#include "tooth_geometry.h"

#include <cmath>

namespace {

// Appends rack-frame points, mapped into the gear frame, with their part.
void appendMapped(const ToothGeometry& g, double roll, const std::vector<Vec2>& rackPoints, RackPart part,
                  std::vector<RackPoint>* out)
{
    for (const Vec2& q : rackPoints) out->push_back({rackToGear(g, roll, q.x, q.y), part});
}

// Tooth k in the rack frame, from the top of its left flank to the top of its right flank.
void appendRackTooth(const ToothGeometry& g, double roll, int k, double tolerance, std::vector<RackPoint>* out)
{
    const double centre = (k + 0.5) * g.pitch;
    const double tanA = std::tan(g.alpha);
    const double topHalfWidth = g.rackHalfThickness + g.rackAddendum * tanA;
    const double rho = g.rounding;
    const double cosA = std::cos(g.alpha);
    const double sinA = std::sin(g.alpha);
    const double e = g.roundingHalfGap;
    const double cv = g.roundingHeight;

    appendMapped(g, roll, {{centre - topHalfWidth, g.rackAddendum}}, RackPart::rootLine, out);
    appendMapped(g, roll, {{centre - e - rho * cosA, cv - rho * sinA}}, RackPart::flank, out);
    std::vector<Vec2> arc;
    if (rho > 0)
        sampleCurve([&](double b) { return Vec2{centre - e - rho * std::sin(b), cv - rho * std::cos(b)}; },
                    g.filletEnd, 0, tolerance, &arc);
    appendMapped(g, roll, arc, RackPart::tipRounding, out);
    if (e > 0) appendMapped(g, roll, {{centre + e, cv - rho}}, RackPart::tipLine, out);
    arc.clear();
    if (rho > 0)
        sampleCurve([&](double b) { return Vec2{centre + e + rho * std::sin(b), cv - rho * std::cos(b)}; }, 0,
                    g.filletEnd, tolerance, &arc);
    appendMapped(g, roll, arc, RackPart::tipRounding, out);
    appendMapped(g, roll, {{centre + topHalfWidth, g.rackAddendum}}, RackPart::flank, out);
}

// The clockwise-flank contact of rack tooth k's left side at roll φ, on the given part.
RackContact leftSideContact(const ToothGeometry& g, double roll, int k, RackPart part)
{
    RackContact contact{false, part, {0, 0}, false};
    const double centre = (k + 0.5) * g.pitch;
    const double iu = g.pitchRadius * roll;  // the pitch point I in the rack frame
    const double iv = -g.shift * g.module;
    const double sinA = std::sin(g.alpha);
    const double cosA = std::cos(g.alpha);

    // The straight flank: the foot of the normal from I, if it falls on the straight part.
    const double baseU = centre - g.rackHalfThickness;
    const double along = (iu - baseU) * -sinA + iv * cosA;
    const double footU = baseU - along * sinA;
    const double footV = along * cosA;
    if (part == RackPart::flank) {
        if (footV < -g.flankDepth || footV > g.rackAddendum) return contact;
        contact.at = rackToGear(g, roll, footU, footV);
        const double radius = std::hypot(contact.at.x, contact.at.y);
        if (radius > g.tipRadius) return contact;  // above the blank: nothing to cut
        contact.touching = true;
        // Kept when the contact has not passed N on the line of action and lies on the
        // involute above the undercut join.
        const double pastPitchPoint = footV - iv;  // the line of action rises with v
        const double toN = -g.pitchRadius * sinA * sinA;
        contact.kept = pastPitchPoint >= toN && radius >= involuteStartRadius(g) * (1 - 1e-12);
        return contact;
    }

    if (part != RackPart::tipRounding) return contact;
    // The rounding: its normal through I must lie between straight down and the flank's normal.
    const double cu = centre - g.roundingHalfGap;
    const double cv = g.roundingHeight;
    double nu = cu - iu;
    double nv = cv - iv;
    const double length = std::hypot(nu, nv);
    if (length == 0) return contact;
    nu /= length;
    nv /= length;
    if (nv > 0) {
        nu = -nu;
        nv = -nv;
    }
    const double beta = std::atan2(-nu, -nv);
    if (beta < 0 || beta > g.filletEnd) return contact;
    contact.touching = true;
    contact.at = rackToGear(g, roll, cu + g.rounding * nu, cv + g.rounding * nv);
    contact.kept = beta <= g.filletJoin;
    return contact;
}

}  // namespace

std::vector<RackPoint> rackOutlineAt(const GearParameters& gear, double roll, int first, int last)
{
    const ToothGeometry g = toothGeometry(gear);
    std::vector<RackPoint> out;
    appendMapped(g, roll, {{first * g.pitch, g.rackAddendum}}, RackPart::rootLine, &out);
    for (int k = first; k <= last; ++k) {
        appendRackTooth(g, roll, k, gear.tolerance, &out);
        appendMapped(g, roll, {{(k + 1) * g.pitch, g.rackAddendum}}, RackPart::rootLine, &out);
    }
    return out;
}

RackContact rackContactAt(const GearParameters& gear, double roll, int rackTooth, FlankSide side, RackPart part)
{
    const ToothGeometry g = toothGeometry(gear);
    return eitherSide([&](double r, int k) { return leftSideContact(g, r, k, part); }, roll, rackTooth, side);
}

RackLimits rackLimitsAt(const GearParameters& gear, double roll)
{
    const ToothGeometry g = toothGeometry(gear);
    const double sinA = std::sin(g.alpha);
    const double cosA = std::cos(g.alpha);
    const double r = g.pitchRadius;
    const double c = std::cos(roll);
    const double s = std::sin(roll);
    const Vec2 n{-r * sinA * cosA, r * cosA * cosA};  // fixed while the gear turns under the rack
    const double iu = r * roll;
    return {{n.x * c + n.y * s, -n.x * s + n.y * c},
            rackToGear(g, roll, iu - g.pitch / 2, -g.flankDepth),
            rackToGear(g, roll, iu + g.pitch / 2, -g.flankDepth)};
}
