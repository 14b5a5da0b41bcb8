// A gear cut by a pinion cutter: the cutter's tooth, the cutting pair, the fillet as the
// envelope of the cutter's tip rounding (in closed form: its contact normal runs through the
// pitch point) and the undercut join solved by bisection as for the rack.
#include "pinion_cutter.h"

#include <cmath>

namespace {

constexpr int mostBracketDoublings = 60;  // widening a bracket: far past any sensible shift or tooth count

// The pitch point on the cutter's rolling circle that the line through C along n meets
// first: the one a rounding point with normal n touches the gear through.
Vec2 pitchPointOnNormal(const PinionCut& c, const Vec2& n)
{
    const Vec2 centre = c.roundingCentre;
    const double b = centre.x * n.x + centre.y * n.y;  // > 0: the rounding's normals all point outwards
    const double q = centre.x * centre.x + centre.y * centre.y - c.rollingRadius * c.rollingRadius;
    // The line passes within the base circle of the centre, so it always crosses the rolling
    // circle; the nearer crossing, in the form that does not cancel.
    const double s = -q / (b + std::sqrt(b * b - q));
    return {centre.x + s * n.x, centre.y + s * n.y};
}

// The cutting pair of a gear with z teeth and shift x (real numbers, to solve for them):
// the working angle, the centre distance and |N N0|; false when no centre distance keeps the
// teeth apart.
bool cuttingPair(const GearParameters& gear, double z, double x, double* angle, double* centreDistance,
                 double* actionLength)
{
    const PinionCutter& cutter = gear.pinionCutter;
    const bool ring = gear.internal;
    if (!workingPair(gear.module, gear.pressureAngle, ring ? z - cutter.teeth : z + cutter.teeth,
                     ring ? x - cutter.shift : x + cutter.shift, angle, centreDistance))
        return false;
    *actionLength = *centreDistance * std::sin(*angle);
    return true;
}

// Where f, rising, crosses 0 above low: the bracket doubles from low + step until f > 0
// (bounded), then bisection; low itself when f(low) ≥ 0 already.
template <class F>
double risingRoot(F f, double low, double step)
{
    if (f(low) >= 0) return low;
    double high = low + step;
    for (int i = 0; i < mostBracketDoublings && !(f(high) > 0); ++i) {
        low = high;
        step *= 2;
        high = low + step;
    }
    return bisect(f, low, high);
}

}  // namespace

InvoluteFlank gearFlank(const GearParameters& gear)
{
    // A ring's tooth widens outwards, so its flank unwinds away from the centre line, and its
    // shift widens the space: the tooth's half-angle on the pitch circle is (π/2 ∓ 2x·tan α)/z.
    const double a = gear.pressureAngle;
    const double sense = gear.internal ? 1 : -1;
    const double halfTooth = (exactPi / 2 - sense * 2 * gear.shift * std::tan(a)) / gear.teeth;
    return {gear.module * gear.teeth / 2 * std::cos(a), halfTooth - sense * involuteFunction(a), sense};
}

PinionCut pinionCut(const GearParameters& gear)
{
    PinionCut c{};
    const double m = gear.module;
    const double a = gear.pressureAngle;
    const double tanA = std::tan(a);
    const double invA = involuteFunction(a);
    const PinionCutter& cutter = gear.pinionCutter;
    c.internal = gear.internal;
    c.teeth = gear.teeth;
    c.module = m;
    c.alpha = a;
    c.pitchRadius = m * gear.teeth / 2;
    c.baseRadius = c.pitchRadius * std::cos(a);

    c.cutterTeeth = cutter.teeth;
    c.cutterPitchRadius = m * cutter.teeth / 2;
    const double cutterBase = c.cutterPitchRadius * std::cos(a);
    c.cutterTipRadius = c.cutterPitchRadius + m * (cutter.addendum + cutter.shift);
    c.cutterRootRadius = c.cutterPitchRadius - m * (cutter.dedendum - cutter.shift);
    c.cutterFlank = {cutterBase, (exactPi / 2 + 2 * cutter.shift * tanA) / cutter.teeth + invA, -1};
    // The rounding touches the tip circle, so its centre lies ρ inside it; and the involute, so
    // the centre lies on the involute's normal at T, ρ short of it: a tangent to the base circle.
    c.rounding = cutter.tipRadius * m;
    const double centreRadius = c.cutterTipRadius - c.rounding;
    const double toForm = c.rounding + std::sqrt(std::fmax(0.0, centreRadius * centreRadius - cutterBase * cutterBase));
    c.formRoll = toForm / cutterBase;
    const double touch = c.cutterFlank.baseAngle - c.formRoll;  // where that tangent touches the base circle
    const double toCentre = toForm - c.rounding;
    c.roundingCentre = {cutterBase * std::sin(touch) + toCentre * std::cos(touch),
                        cutterBase * std::cos(touch) - toCentre * std::sin(touch)};
    c.tipNormal = std::atan2(c.roundingCentre.x, c.roundingCentre.y);
    c.flankNormal = touch + exactPi / 2;

    // Left at 0 when the teeth would overlap at any centre distance: the check refuses that.
    cuttingPair(gear, gear.teeth, gear.shift, &c.cuttingAngle, &c.centreDistance, &c.actionLength);
    const double toothSum = gear.internal ? gear.teeth - cutter.teeth : gear.teeth + cutter.teeth;
    c.rollingRadius = c.centreDistance * cutter.teeth / toothSum;

    const double side = gear.internal ? 1 : -1;  // the cutter's root and tip lie outwards of a ring's
    c.tipRadius = c.centreDistance + side * c.cutterRootRadius;
    c.rootRadius = c.centreDistance + side * c.cutterTipRadius;
    c.flank = gearFlank(gear);
    c.halfToothAngle = c.flank.baseAngle + side * invA;
    c.involuteAtTip = flankRollAt(c.flank, c.tipRadius);

    // T touches the gear on the line of action rb0·t_T beyond N0: from N, away from the
    // cutter (external, so T can run past N and undercut) or beyond it (a ring).
    const double fromN = c.actionLength + side * toForm;
    c.undercut = fromN < 0;
    if (!c.undercut) {
        c.filletJoin = c.flankNormal;
        c.involuteAtFillet = fromN / c.baseRadius;
        return c;
    }
    const auto fillet = [&](double beta) { return pinionFilletPoint(c, beta); };
    c.filletJoin = undercutJoin(fillet, c.tipNormal, c.flankNormal, c.flank);
    const Vec2 join = fillet(c.filletJoin);
    c.involuteAtFillet = flankRollAt(c.flank, std::hypot(join.x, join.y));
    return c;
}

Vec2 cutterToGear(const PinionCut& c, double roll, const Vec2& q)
{
    // An external gear sees the cutter turned half round (its tooth 0 beside the line of
    // centres, below the cutter's centre); a ring gear sees it mirrored, so that the same
    // clockwise side cuts the ring's clockwise flanks.
    const double z = c.teeth;
    const double z0 = c.cutterTeeth;
    const double turn = c.internal ? -exactPi / z0 + roll * z / z0 : exactPi + exactPi / z0 - roll * z / z0;
    const double qx = c.internal ? -q.x : q.x;
    const double x = qx * std::cos(turn) - q.y * std::sin(turn);
    const double y = c.centreDistance + qx * std::sin(turn) + q.y * std::cos(turn);
    const double cr = std::cos(roll);
    const double sr = std::sin(roll);
    return {x * cr + y * sr, -x * sr + y * cr};
}

Vec2 pinionFilletPoint(const PinionCut& c, double beta, double* roll)
{
    const Vec2 n{std::sin(beta), std::cos(beta)};
    const Vec2 pitchPoint = pitchPointOnNormal(c, n);
    // The pitch point lies on the line of centres when this point is cut; the cutter has then
    // turned from roll 0, where its tooth 0 stood half a cutter pitch aside, by z/z0 of the roll.
    const double phi = (exactPi - std::atan2(pitchPoint.x, pitchPoint.y) * c.cutterTeeth) / c.teeth;
    if (roll) *roll = phi;
    return cutterToGear(c, phi, {c.roundingCentre.x + c.rounding * n.x, c.roundingCentre.y + c.rounding * n.y});
}

double pinionInvoluteRoll(const PinionCut& c, double t)
{
    // The flank's point of roll t touches when the base circle point it unwinds from has turned
    // to N, at half-angle ∓α_w0.
    return c.flank.baseAngle + c.flank.sense * (t - c.cuttingAngle);
}

double tipInterferenceMargin(int z1, double ra1, double rb1, int z2, double ra2, double rb2, double a,
                             double workingAngle)
{
    // Where the tip circles cross: θ1 at the pinion's centre, θ2 at the ring's, from the line
    // of centres. The pinion's tip corner gets there after turning θ1 + inv α_a1 − inv α_w from
    // the pitch point contact; the ring has turned z1/z2 of that, and its tip corner must still
    // lie ahead of the crossing.
    const auto clamped = [](double c) { return std::fmax(-1.0, std::fmin(1.0, c)); };
    const double theta1 = std::acos(clamped((ra2 * ra2 - a * a - ra1 * ra1) / (2 * a * ra1)));
    const double theta2 = std::acos(clamped((a * a + ra2 * ra2 - ra1 * ra1) / (2 * a * ra2)));
    const double inv1 = involuteFunction(std::acos(std::fmin(1.0, rb1 / ra1)));
    const double inv2 = involuteFunction(std::acos(std::fmin(1.0, rb2 / ra2)));
    const double invW = involuteFunction(workingAngle);
    return static_cast<double>(z1) / z2 * (theta1 + inv1 - invW) + invW - inv2 - theta2;
}

double cutterFormRadius(const PinionCut& c)
{
    return c.cutterFlank.baseRadius * std::sqrt(1 + c.formRoll * c.formRoll);
}

double rimDiameterOf(const GearParameters& gear, const PinionCut& c)
{
    return gear.rimDiameter > 0 ? gear.rimDiameter : 2 * c.tipRadius + 6 * gear.module;
}

namespace {

// How far short of the cutter's form circle its contact with a gear of z teeth and shift x
// stays along the line of action: the gear is undercut while it is negative (T touches past N),
// and |N N0| grows with both.
double undercutClearance(const GearParameters& gear, const PinionCut& c, double z, double x)
{
    const double toForm = c.cutterFlank.baseRadius * c.formRoll;
    double angle = 0, distance = 0, length = 0;
    return cuttingPair(gear, z, x, &angle, &distance, &length) ? length - toForm : -toForm;
}

}  // namespace

double pinionLeastShift(const GearParameters& gear, const PinionCut& c)
{
    const double z = gear.teeth;
    const double z0 = gear.pinionCutter.teeth;
    const double a = gear.pressureAngle;
    const double lowest = -(z + z0) * involuteFunction(a) / (2 * std::tan(a)) - gear.pinionCutter.shift;
    return risingRoot([&](double x) { return undercutClearance(gear, c, z, x); }, lowest, 1.0);
}

double pinionFewestTeeth(const GearParameters& gear, const PinionCut& c)
{
    return risingRoot([&](double z) { return undercutClearance(gear, c, z, gear.shift); }, 0.0, 1.0);
}

double gearFormRadius(const PinionCut& c)
{
    const Vec2 join = flankPoint(c.flank, c.involuteAtFillet);
    return std::hypot(join.x, join.y);
}
