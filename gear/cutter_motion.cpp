// The pinion cutter at a roll, for the pictures of the cut: its teeth, where each side
// touches the gear and whether that point stays on the finished tooth, and its circles.
#include "pinion_cutter.h"

#include <cmath>

namespace {

Vec2 turned(const Vec2& p, double angle)
{
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    return {p.x * c - p.y * s, p.x * s + p.y * c};
}

Vec2 mirrored(const Vec2& p) { return {-p.x, p.y}; }

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

// The point s along the line of action of the clockwise flanks from N, towards the pitch
// point, at roll 0 (the line stays put while the gear turns under it): N lies at half-angle
// −α_w0 on an external gear's base circle, +α_w0 on a ring's.
Vec2 onLineOfAction(const PinionCut& c, double s)
{
    const double w = c.cuttingAngle;
    const Vec2 n = onCircle(c.baseRadius, c.internal ? w : -w);
    const Vec2 along = c.internal ? Vec2{-std::cos(w), std::sin(w)} : Vec2{std::cos(w), std::sin(w)};
    return {n.x + s * along.x, n.y + s * along.y};
}

// Appends curve(t) for t in (t0, t1], each point tagged with part.
void appendCurve(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance, RackPart part,
                 std::vector<RackPoint>* out)
{
    std::vector<Vec2> points;
    sampleCurve(curve, t0, t1, tolerance, &points);
    for (const Vec2& p : points) out->push_back({p, part});
}

// Cutter tooth 0 in the cutter frame, from the middle of the space on its clockwise side to
// the middle of the space on the other: the first point is the clockwise space's middle.
std::vector<RackPoint> cutterTooth(const PinionCut& c, double tolerance)
{
    const double rf0 = c.cutterRootRadius;
    const InvoluteFlank& flank = c.cutterFlank;
    const double rb0 = flank.baseRadius;
    const double halfSpace = exactPi / c.cutterTeeth;
    const double footRoll = flankRollAt(flank, rf0);  // 0: the flank runs radially down from the base circle
    const Vec2 centre = c.roundingCentre;
    const auto rounding = [&](double beta) {
        return Vec2{centre.x + c.rounding * std::sin(beta), centre.y + c.rounding * std::cos(beta)};
    };

    // The clockwise half, root to tip.
    std::vector<RackPoint> half{{onCircle(rf0, halfSpace), RackPart::rootLine}};
    appendCurve([&](double d) { return onCircle(rf0, d); }, halfSpace, flankHalfAngle(flank, rf0), tolerance,
                RackPart::rootLine, &half);
    if (rf0 < rb0) half.push_back({onCircle(rb0, flank.baseAngle), RackPart::flank});
    appendCurve([&](double t) { return flankPoint(flank, t); }, footRoll, c.formRoll, tolerance, RackPart::flank, &half);
    if (c.rounding > 0) appendCurve(rounding, c.flankNormal, c.tipNormal, tolerance, RackPart::tipRounding, &half);
    appendCurve([&](double d) { return onCircle(c.cutterTipRadius, d); }, c.tipNormal, 0, tolerance, RackPart::tipLine,
                &half);

    // The other half is its mirror walked back; a segment keeps the part of the one it mirrors.
    std::vector<RackPoint> tooth = half;
    for (std::size_t i = half.size() - 1; i-- > 0;) tooth.push_back({mirrored(half[i].at), half[i + 1].part});
    return tooth;
}

// The gear's clockwise flank contact of cutter tooth k at roll φ, on the given part.
RackContact clockwiseContact(const PinionCut& c, double roll, int k, RackPart part)
{
    RackContact contact{false, part, {0, 0}, false};
    const double toothTurn = 2 * exactPi * k / c.cutterTeeth;
    const auto withinBlank = [&](const Vec2& p) {
        const double radius = std::hypot(p.x, p.y);
        return c.internal ? radius >= c.tipRadius : radius <= c.tipRadius;
    };

    if (part == RackPart::flank) {
        // Cutter tooth k meets gear tooth −k, which stands where tooth 0 stood 2πk/z of a roll
        // earlier: its flank's point of roll t on the line of action, rb·t from N (past it when
        // t < 0), against the cutter's flank point rb0·t0 from N0.
        const double t = c.cuttingAngle + c.flank.sense * (roll - 2 * exactPi * k / c.teeth - c.flank.baseAngle);
        const double fromN0 = c.flank.sense * (c.baseRadius * t - c.actionLength);
        const double t0 = fromN0 / c.cutterFlank.baseRadius;
        if (t0 < 0 || t0 > c.formRoll) return contact;
        contact.at = turned(onLineOfAction(c, c.baseRadius * t), -roll);
        if (!withinBlank(contact.at)) return contact;
        contact.touching = true;
        const double radius = std::hypot(contact.at.x, contact.at.y);
        const double form = gearFormRadius(c);
        contact.kept = t >= 0 && (c.internal ? radius <= form * (1 + 1e-12) : radius >= form * (1 - 1e-12));
        return contact;
    }
    if (part != RackPart::tipRounding) return contact;

    // The rounding: its normal must run through the pitch point, the nearer crossing of that
    // line with the rolling circle, and lie between the tip's and the flank's normals.
    const double pitchAngle = (exactPi - roll * c.teeth) / c.cutterTeeth + toothTurn;  // from tooth k's centre line
    if (std::fabs(pitchAngle) >= exactPi) return contact;  // the tooth is round the far side
    const Vec2 pitchPoint = onCircle(c.rollingRadius, pitchAngle);
    const Vec2 centre = c.roundingCentre;
    Vec2 n{centre.x - pitchPoint.x, centre.y - pitchPoint.y};
    const double length = std::hypot(n.x, n.y);
    if (length == 0) return contact;
    n = {n.x / length, n.y / length};
    double along = -length;  // the pitch point is centre + along·n
    if (n.x * centre.x + n.y * centre.y < 0) {
        n = {-n.x, -n.y};
        along = length;
    }
    const double b = n.x * centre.x + n.y * centre.y;
    const double other = -2 * b - along;  // the line's other crossing of the rolling circle
    if (std::fabs(other) < std::fabs(along)) return contact;
    const double beta = std::atan2(n.x, n.y);
    if (beta < c.tipNormal || beta > c.flankNormal) return contact;
    const Vec2 q{centre.x + c.rounding * n.x, centre.y + c.rounding * n.y};
    contact.at = cutterToGear(c, roll, turned(q, toothTurn));
    if (!withinBlank(contact.at)) return contact;
    contact.touching = true;
    contact.kept = beta <= c.filletJoin;
    return contact;
}

}  // namespace

std::vector<RackPoint> cutterOutlineAt(const GearParameters& gear, double roll, int first, int last)
{
    if (gear.cutter == CutterKind::rack) return rackOutlineAt(gear, roll, first, last);
    const PinionCut c = pinionCut(gear);
    const std::vector<RackPoint> tooth = cutterTooth(c, gear.tolerance);
    std::vector<RackPoint> out;
    if (last >= first) out.reserve(static_cast<std::size_t>(last - first + 1) * (tooth.size() - 1) + 1);
    for (int k = first; k <= last; ++k) {
        // Each tooth starts at the space middle the last one ended on.
        const double toothTurn = 2 * exactPi * k / c.cutterTeeth;
        for (std::size_t i = k == first ? 0 : 1; i < tooth.size(); ++i)
            out.push_back({cutterToGear(c, roll, turned(tooth[i].at, toothTurn)), tooth[i].part});
    }
    return out;
}

RackContact cutterContactAt(const GearParameters& gear, double roll, int cutterTooth, FlankSide side, RackPart part)
{
    if (gear.cutter == CutterKind::rack) return rackContactAt(gear, roll, cutterTooth, side, part);
    const PinionCut c = pinionCut(gear);
    return eitherSide([&](double r, int k) { return clockwiseContact(c, r, k, part); }, roll, cutterTooth, side);
}

CutterPlace pinionCutterAt(const GearParameters& gear, double roll)
{
    const PinionCut c = pinionCut(gear);
    CutterPlace place{};
    place.centre = turned({0, c.centreDistance}, -roll);
    const double gearRolling = c.internal ? c.centreDistance + c.rollingRadius : c.centreDistance - c.rollingRadius;
    place.pitchPoint = turned({0, gearRolling}, -roll);
    place.interferencePoint = turned(onLineOfAction(c, 0), -roll);
    place.cutterInterferencePoint = turned(onLineOfAction(c, c.actionLength), -roll);
    place.pitchRadius = c.cutterPitchRadius;
    place.rollingRadius = c.rollingRadius;
    place.baseRadius = c.cutterFlank.baseRadius;
    place.tipRadius = c.cutterTipRadius;
    place.rootRadius = c.cutterRootRadius;
    place.formRadius = cutterFormRadius(c);
    return place;
}
