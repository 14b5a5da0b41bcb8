// A pinion meshing inside a ring gear: the working pressure angle and centre distance, the
// path of contact and its effective part, and the three interferences of an internal pair.
#include "gear_reasons.h"
#include "pinion_cutter.h"

#include <cmath>

namespace {

// One gear's side of the pair: its tooth count, its flank, and its tip circle.
struct Side {
    int teeth;
    InvoluteFlank flank;
    double tipRadius;
    double tipHalfAngle;  // the tooth's half-angle on the tip circle
    Vec2 centre;
    double toothZero;     // the turn (counter-clockwise, from +y) of its tooth 0's centre line
};

Side sideOf(const GearParameters& gear, const GearNumbers& numbers, const Vec2& centre, double toothZero)
{
    const InvoluteFlank flank = gearFlank(gear);
    const double ra = numbers.tipDiameter / 2;
    return {gear.teeth, flank, ra, flankHalfAngle(flank, ra), centre, toothZero};
}

// The counter-clockwise angle of p from the +y axis about centre.
double angleAbout(const Vec2& centre, const Vec2& p) { return std::atan2(-(p.x - centre.x), p.y - centre.y); }

Vec2 atAngle(const Vec2& centre, double radius, double angle)
{
    return {centre.x - radius * std::sin(angle), centre.y + radius * std::cos(angle)};
}

// How far p's crossing of side's tip circle, straight above it (along the line of centres),
// lies inside the opening on that circle of the tooth space that holds p: an arc, negative
// when the crossing falls on a tooth's tip land.
double openingClearance(const Side& side, const Vec2& p)
{
    const double pitch = 2 * exactPi / side.teeth;
    const double dx = p.x - side.centre.x;
    const Vec2 crossing{p.x, side.centre.y + std::sqrt(std::fmax(0.0, side.tipRadius * side.tipRadius - dx * dx))};
    // The space between tooth centre lines k and k + 1 that holds p.
    const double fromToothZero = angleAbout(side.centre, p) - side.toothZero;
    const double k = std::floor(fromToothZero / pitch);
    double at = angleAbout(side.centre, crossing) - side.toothZero;
    at += 2 * exactPi * std::round((fromToothZero - at) / (2 * exactPi));  // the same turn as p
    const double low = k * pitch + side.tipHalfAngle;
    const double high = (k + 1) * pitch - side.tipHalfAngle;
    return side.tipRadius * std::fmin(at - low, high - at);
}

// Pushed in along the line of centres (the pinion upwards, so the ring downwards past it),
// each tip corner of one gear among the other's teeth has come in through the other's tip
// circle, straight above it: it must have passed through the opening of the tooth space it
// ends in. A corner among the teeth below the other's centre would have come through the
// whole gear. The smallest clearance over the tip corners of both gears.
double radialClearance(const Side& pinion, const Side& ring)
{
    double least = INFINITY;
    // Among the ring's teeth means outside its tip circle; among the pinion's, inside its.
    const auto corners = [&](const Side& mover, const Side& other, double outwards) {
        for (int j = 0; j < mover.teeth; ++j) {
            const double centreLine = mover.toothZero + 2 * exactPi * j / mover.teeth;
            for (double side : {-1.0, 1.0}) {
                const Vec2 corner = atAngle(mover.centre, mover.tipRadius, centreLine + side * mover.tipHalfAngle);
                const double among = outwards * (std::hypot(corner.x - other.centre.x, corner.y - other.centre.y) -
                                                 other.tipRadius);
                if (among <= 0) continue;
                least = std::fmin(least, corner.y > other.centre.y ? openingClearance(other, corner) : -among);
            }
        }
    };
    corners(pinion, ring, 1);
    corners(ring, pinion, -1);
    return least;
}

}  // namespace

bool computeInternalPair(const GearParameters& ring, int pinionTeeth, double pinionShift, InternalPair* pair,
                         std::string* reason)
{
    if (!ring.internal) return fail(reason, gearReason::pairNeedsRing);
    GearNumbers ringNumbers{};
    if (!computeGearNumbers(ring, &ringNumbers, reason)) return false;
    GearParameters pinion = ring;
    pinion.internal = false;
    pinion.teeth = pinionTeeth;
    pinion.shift = pinionShift;
    GearNumbers pinionNumbers{};
    std::string why;
    if (!computeGearNumbers(pinion, &pinionNumbers, &why)) return fail(reason, gearReason::pinionCannotBeCut + why);
    if (pinionTeeth >= ring.teeth) return fail(reason, gearReason::pinionTeeth);

    const double toothDifference = ring.teeth - pinionTeeth;
    InternalPair& p = *pair;
    if (!workingPair(ring.module, ring.pressureAngle, toothDifference, ring.shift - pinionShift,
                     &p.workingPressureAngle, &p.centreDistance))
        return fail(reason, gearReason::ringShiftTooLow);
    const double aw = p.centreDistance;

    const double ra1 = pinionNumbers.tipDiameter / 2, rb1 = pinionNumbers.baseDiameter / 2,
                 rf1 = pinionNumbers.rootDiameter / 2;
    const double ra2 = ringNumbers.tipDiameter / 2, rb2 = ringNumbers.baseDiameter / 2,
                 rf2 = ringNumbers.rootDiameter / 2;
    if (ra2 < aw + rf1 || aw + ra1 > rf2)
        return fail(reason, format(gearReason::tipsReachRoots, aw));
    if (aw + ra1 <= ra2)
        return fail(reason, format(gearReason::tipsMiss, aw));

    // Along the line of action of the ring's clockwise flanks, from N1 towards the pitch point.
    const double sinW = std::sin(p.workingPressureAngle);
    const double cosW = std::cos(p.workingPressureAngle);
    const double n1ToN2 = aw * sinW;
    const Vec2 n2{rb2 * sinW, rb2 * cosW};
    const Vec2 along{-cosW, sinW};
    const auto fromN1 = [&](double s) { return Vec2{n2.x + (s + n1ToN2) * along.x, n2.y + (s + n1ToN2) * along.y}; };
    const double start = std::sqrt(ra2 * ra2 - rb2 * rb2) - n1ToN2;  // the ring's tip
    const double end = std::sqrt(ra1 * ra1 - rb1 * rb1);             // the pinion's tip
    // Where each flank stops being involute next to its fillet: the form circles.
    const double rF1 = pinionNumbers.formDiameter / 2, rF2 = ringNumbers.formDiameter / 2;
    const double pinionForm = std::sqrt(std::fmax(0.0, rF1 * rF1 - rb1 * rb1));
    const double ringForm = std::sqrt(rF2 * rF2 - rb2 * rb2) - n1ToN2;
    const double effectiveStart = std::fmax(start, pinionForm);
    const double effectiveEnd = std::fmin(end, ringForm);
    p.contactRatio = (end - start) / ringNumbers.basePitch;
    p.effectiveContactRatio = std::fmax(0.0, effectiveEnd - effectiveStart) / ringNumbers.basePitch;
    p.pinionCentre = {0, aw};
    p.pitchPoint = {0, aw * ring.teeth / toothDifference};
    p.interferenceRingPoint = n2;
    p.interferencePinionPoint = fromN1(0);
    p.contactStart = fromN1(start);
    p.contactEnd = fromN1(end);
    p.effectiveStart = fromN1(effectiveStart);
    p.effectiveEnd = fromN1(std::fmax(effectiveStart, effectiveEnd));
    p.pinionTurn = exactPi / pinionTeeth;  // a tooth space of the pinion faces the ring's tooth 0
    p.ringTipsPastN1 = start < 0;
    p.pinionFormCutsPath = pinionForm > start;
    p.ringFormCutsPath = ringForm < end;

    // A tip that meets the other flank where it is no involute digs into it: past N1 under the
    // base circle, or into a fillet, which stands proud of where the involute would run.
    std::string involute;
    if (start < 0)
        involute = format(gearReason::ringTipsPastN1, -start);
    else if (start < pinionForm)
        involute = format(gearReason::ringTipsBelowForm, rF1 - std::hypot(rb1, start), 2 * rF1);
    if (end > ringForm)
        involute += (involute.empty() ? "" : "; ") +
                    format(gearReason::pinionTipsPastForm, std::hypot(rb2, end + n1ToN2) - rF2, 2 * rF2);
    p.involute = {involute.empty(), involute};
    const double tipMargin = tipInterferenceMargin(pinionTeeth, ra1, rb1, ring.teeth, ra2, rb2, aw, p.workingPressureAngle);
    p.tip = {tipMargin >= 0, ""};
    if (!p.tip.passed)
        p.tip.reason = format(gearReason::tipInterference, -tipMargin * ra2);
    const Side pinionSide = sideOf(pinion, pinionNumbers, p.pinionCentre, p.pinionTurn);
    const Side ringSide = sideOf(ring, ringNumbers, {0, 0}, 0);
    const double radial = radialClearance(pinionSide, ringSide);
    p.radial = {radial >= 0, ""};
    if (!p.radial.passed)
        p.radial.reason = format(gearReason::radialAssembly, -radial);
    return true;
}
