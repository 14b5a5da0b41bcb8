// The named racks, the checks that say why a gear cannot be cut, the textbook numbers and
// the meshing pair.
#include "pinion_cutter.h"

#include <cmath>

namespace {

bool checkPinionCutterInputs(const GearParameters& gear, std::string* reason)
{
    const PinionCutter& c = gear.pinionCutter;
    if (c.teeth < 1 || c.teeth > mostTeeth) return fail(reason, "the cutter's tooth count must lie between 1 and 100000");
    if (!std::isfinite(c.shift)) return fail(reason, "the cutter's profile shift must be a finite number");
    if (!std::isfinite(c.addendum) || c.addendum <= 0)
        return fail(reason, "the cutter's addendum coefficient must be above 0");
    if (!std::isfinite(c.dedendum) || c.dedendum < 0)
        return fail(reason, "the cutter's dedendum coefficient must be 0 or more");
    if (!std::isfinite(c.tipRadius) || c.tipRadius < 0)
        return fail(reason, "the cutter's tip radius coefficient must be 0 or more");
    if (gear.internal && (!std::isfinite(gear.rimDiameter) || gear.rimDiameter < 0))
        return fail(reason, "the rim diameter must be 0 (the default) or a number above it");
    return true;
}

// The inputs one by one, before any geometry.
bool checkInputs(const GearParameters& gear, std::string* reason)
{
    if (gear.teeth < 1) return fail(reason, "the tooth count must be at least 1");
    if (gear.teeth > mostTeeth) return fail(reason, "the tooth count must be at most 100000");
    if (!std::isfinite(gear.module) || gear.module <= 0) return fail(reason, "the module must be a number above 0");
    if (!std::isfinite(gear.pressureAngle) || gear.pressureAngle <= 0 || gear.pressureAngle >= exactPi / 4)
        return fail(reason, "the pressure angle must lie between 0 and 45 degrees");
    if (!std::isfinite(gear.shift)) return fail(reason, "the profile shift must be a finite number");
    if (gear.cutter == CutterKind::pinion) {
        if (!checkPinionCutterInputs(gear, reason)) return false;
    } else if (gear.internal) {
        return fail(reason, "a ring gear is cut by a pinion cutter, not by a rack");
    } else if (!std::isfinite(gear.rack.addendum) || gear.rack.addendum < 0) {
        return fail(reason, "the rack's addendum coefficient must be 0 or more");
    } else if (!std::isfinite(gear.rack.dedendum) || gear.rack.dedendum <= 0) {
        return fail(reason, "the rack's dedendum coefficient must be above 0");
    } else if (!std::isfinite(gear.rack.tipRadius) || gear.rack.tipRadius < 0) {
        return fail(reason, "the rack's tip radius coefficient must be 0 or more");
    }
    if (!std::isfinite(gear.tolerance) || gear.tolerance < finestTolerance)
        return fail(reason, "the tolerance must be at least 0.0000001 mm");
    return true;
}

double tipThicknessOf(const ToothGeometry& g) { return 2 * g.tipRadius * involuteHalfAngle(g, g.tipRadius); }

// Whether a rack and gear of valid inputs can be cut; the reason when not.
bool checkGeometry(const GearParameters& gear, const ToothGeometry& g, std::string* reason)
{
    if (g.rootRadius <= 0)
        return fail(reason, format("the root circle lies at or inside the centre (root diameter %.4g mm): "
                                   "use more teeth or a larger shift", 2 * g.rootRadius));
    if (g.roundingHalfGap < 0)
        return fail(reason, gear.rack.tipRadius > 0
                                ? "the rack's tip roundings overlap: the tip radius is too large for this "
                                  "pressure angle and dedendum"
                                : "the rack's teeth come to a point before their full depth: the dedendum is "
                                  "too large for this pressure angle");
    if (-g.flankDepth > g.rackAddendum)
        return fail(reason, "the rack's tip rounding leaves no straight flank");
    if (g.tipRadius <= g.baseRadius)
        return fail(reason, "the tip circle lies inside the base circle: the tooth has no involute flank");
    const double sa = tipThicknessOf(g);
    if (sa <= 0)
        return fail(reason, format("the tooth is pointed: its flanks cross below the tip circle (tip thickness "
                                   "%.4g mm); use a smaller shift or more teeth", sa));
    if (g.involuteStart >= g.involuteEnd)
        return fail(reason, "no involute flank is left between the fillet and the tip circle; "
                            "use a larger shift or more teeth");
    return true;
}

// Whether a gear of valid inputs can be cut by its pinion cutter; the reason when not.
bool checkPinionCut(const GearParameters& gear, const PinionCut& c, std::string* reason)
{
    const double rb0 = c.cutterFlank.baseRadius;
    if (c.cutterRootRadius <= 0)
        return fail(reason, format("the cutter's root circle lies at or inside its centre (root diameter "
                                   "%.4g mm): give it more teeth or a smaller dedendum", 2 * c.cutterRootRadius));
    if (c.cutterTipRadius - c.rounding < rb0)
        return fail(reason, c.rounding > 0 ? "the cutter's tip rounding reaches below its base circle: use a "
                                             "smaller tip radius or a cutter with more teeth"
                                           : "the cutter's tip circle lies inside its base circle: it has no "
                                             "involute flank");
    if (c.roundingCentre.x < 0)
        return fail(reason, c.rounding > 0 ? "the cutter's tip roundings overlap: the tip radius is too large for "
                                             "this cutter"
                                           : "the cutter's teeth come to a point below their tip circle");
    if (gear.internal && gear.teeth <= gear.pinionCutter.teeth)
        return fail(reason, format("a ring gear needs more teeth than its cutter (%.0f)", gear.pinionCutter.teeth));
    if (!(c.centreDistance > 0))
        return fail(reason, "the cutter and the gear would overlap at any centre distance: their shifts together "
                            "are too negative");
    if (c.rootRadius <= 0)
        return fail(reason, format("the root circle lies at or inside the centre (root diameter %.4g mm): "
                                   "use more teeth or a larger shift", 2 * c.rootRadius));
    if (gear.internal && c.tipRadius < c.baseRadius)
        return fail(reason, format("the ring's tip circle (%.4g mm) lies inside its base circle (%.4g mm): "
                                   "its teeth would end below the involute; use a larger shift or more teeth",
                                   2 * c.tipRadius, 2 * c.baseRadius));
    if (!gear.internal && c.tipRadius <= c.baseRadius)
        return fail(reason, "the tip circle lies inside the base circle: the tooth has no involute flank");
    const double sa = 2 * c.tipRadius * flankHalfAngle(c.flank, c.tipRadius);
    if (sa <= 0)
        return fail(reason, format("the tooth is pointed: its flanks cross before the tip circle (tip "
                                   "thickness %.4g mm); use a smaller shift or more teeth", sa));
    if (c.flank.sense * (c.involuteAtFillet - c.involuteAtTip) <= 0)
        return fail(reason, "no involute flank is left between the fillet and the tip circle; "
                            "use a larger shift or more teeth");
    // Where the gear's tip meets the cutter's flank on the line of action: inside N0 the
    // cutter has no involute, and its flank under the base circle would cut the tips.
    const double tipFromN = c.baseRadius * c.involuteAtTip;
    if (!gear.internal && tipFromN > c.actionLength)
        return fail(reason, "the gear's tips reach past the cutter's interference point: the cutter's flank under "
                            "its base circle would cut them; use a cutter with more teeth");
    if (gear.internal && tipFromN < c.actionLength)
        return fail(reason, format("the ring's tips reach %.4g mm past the cutter's interference point: the "
                                   "cutter's flank under its base circle would cut them; use a larger shift or "
                                   "a cutter with more teeth", c.actionLength - tipFromN));
    if (gear.internal) {
        // The cutter's tip corner taken sharp: its rounding only takes material away from it.
        const double margin = tipInterferenceMargin(gear.pinionCutter.teeth, c.cutterTipRadius, rb0, gear.teeth,
                                                    c.tipRadius, c.baseRadius, c.centreDistance, c.cuttingAngle);
        if (margin < 0)
            return fail(reason, format("the cutter's tips would cut %.4g mm into the ring's tips as they leave "
                                       "a tooth space: use a cutter with fewer teeth", -margin * c.tipRadius));
        const double rim = rimDiameterOf(gear, c);
        if (rim <= 2 * c.rootRadius)
            return fail(reason, format("the rim (diameter %.4g mm) must lie outside the root circle "
                                       "(%.4g mm)", rim, 2 * c.rootRadius));
    }
    return true;
}

// The span tooth count that puts the measuring points near the pitch circle (on the circle
// of radius r + x·m, the usual choice for shifted gears).
int spanTeethOf(const GearParameters& gear)
{
    const double z = gear.teeth;
    const double a = gear.pressureAngle;
    const double stretch = 1 + 2 * gear.shift / z;
    const double c = std::cos(a);
    const double tanAx = stretch > c ? std::sqrt(stretch * stretch - c * c) / c : 0.0;
    const double k = z / exactPi * (tanAx - 2 * gear.shift * std::tan(a) / z - involuteFunction(a)) + 0.5;
    const long rounded = std::lround(k);
    return static_cast<int>(rounded < 1 ? 1 : (rounded > gear.teeth ? gear.teeth : rounded));
}

// What every gear has alike: its circles' basics and the span measurement.
void setCommonNumbers(const GearParameters& gear, GearNumbers* n)
{
    const double m = gear.module;
    const double a = gear.pressureAngle;
    n->pitchDiameter = m * gear.teeth;
    n->baseDiameter = n->pitchDiameter * std::cos(a);
    n->basePitch = exactPi * m * std::cos(a);
    n->spanTeeth = spanTeethOf(gear);
    n->spanMeasurement = m * std::cos(a) * (exactPi * (n->spanTeeth - 0.5) + gear.teeth * involuteFunction(a)) +
                         2 * gear.shift * m * std::sin(a);
}

bool pinionCutNumbers(const GearParameters& gear, GearNumbers* numbers, std::string* reason)
{
    const PinionCut c = pinionCut(gear);
    if (!checkPinionCut(gear, c, reason)) return false;
    const double m = gear.module;
    GearNumbers& n = *numbers;
    setCommonNumbers(gear, &n);
    n.tipDiameter = 2 * c.tipRadius;
    n.rootDiameter = 2 * c.rootRadius;
    n.toothThickness = 2 * c.pitchRadius * c.halfToothAngle;
    n.tipThickness = 2 * c.tipRadius * flankHalfAngle(c.flank, c.tipRadius);
    n.pointed = n.tipThickness < pointedTipThickness * m;
    n.flankDepth = cutterFormRadius(c) - c.cutterPitchRadius;
    n.undercut = c.undercut;
    n.minTeethWithoutUndercut = gear.internal ? 0 : pinionFewestTeeth(gear);
    n.minShiftWithoutUndercut = gear.internal ? 0 : pinionLeastShift(gear);
    n.cuttingPressureAngle = c.cuttingAngle;
    n.cuttingCentreDistance = c.centreDistance;
    n.formDiameter = 2 * involuteStartRadius(gear);
    n.rimDiameter = gear.internal ? rimDiameterOf(gear, c) : 0;
    return true;
}

}  // namespace

bool basicRackNamed(const std::string& name, BasicRack* rack)
{
    struct Named {
        const char* name;
        BasicRack rack;
    };
    static constexpr Named racks[] = {{"A", {1.0, 1.25, 0.38}},
                                      {"B", {1.0, 1.25, 0.30}},
                                      {"C", {1.0, 1.25, 0.25}},
                                      {"D", {1.0, 1.40, 0.39}},
                                      {"straight", {1.0, 1.25, 0.0}}};
    for (const Named& n : racks) {
        if (name == n.name) {
            *rack = n.rack;
            return true;
        }
    }
    return false;
}

GearParameters defaultGearParameters(int teeth)
{
    GearParameters gear{teeth, 1.0, 20 * exactPi / 180, 0.0, {}, defaultTolerance};
    basicRackNamed("A", &gear.rack);
    return gear;
}

bool computeGearNumbers(const GearParameters& gear, GearNumbers* numbers, std::string* reason)
{
    if (!checkInputs(gear, reason)) return false;
    if (gear.cutter == CutterKind::pinion) return pinionCutNumbers(gear, numbers, reason);
    const ToothGeometry g = toothGeometry(gear);
    if (!checkGeometry(gear, g, reason)) return false;

    const double m = gear.module;
    const double z = gear.teeth;
    const double a = gear.pressureAngle;
    const double x = gear.shift;
    const double sin2 = std::sin(a) * std::sin(a);
    GearNumbers& n = *numbers;
    setCommonNumbers(gear, &n);
    n.tipDiameter = n.pitchDiameter + 2 * m * (gear.rack.addendum + x);
    n.rootDiameter = n.pitchDiameter - 2 * m * (gear.rack.dedendum - x);
    n.toothThickness = m * (exactPi / 2 + 2 * x * std::tan(a));
    n.tipThickness = tipThicknessOf(g);
    n.pointed = n.tipThickness < pointedTipThickness * m;
    n.flankDepth = g.flankDepth;
    n.undercut = g.undercut;
    n.minTeethWithoutUndercut = 2 * (g.flankDepth / m - x) / sin2;
    n.minShiftWithoutUndercut = g.flankDepth / m - z / 2 * sin2;
    n.cuttingPressureAngle = a;
    n.cuttingCentreDistance = 0;
    n.formDiameter = 2 * involuteStartRadius(g);
    n.rimDiameter = 0;
    return true;
}

double involuteStartRadius(const GearParameters& gear)
{
    if (gear.cutter == CutterKind::rack) return involuteStartRadius(toothGeometry(gear));
    const PinionCut c = pinionCut(gear);
    const Vec2 join = flankPoint(c.flank, c.involuteAtFillet);
    return std::hypot(join.x, join.y);
}

bool computeGearPair(const GearParameters& gear, int mateTeeth, double mateShift, GearPair* pair,
                     std::string* reason)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, reason)) return false;
    GearParameters mate = gear;
    mate.teeth = mateTeeth;
    mate.shift = mateShift;
    GearNumbers mateNumbers{};
    std::string why;
    if (!computeGearNumbers(mate, &mateNumbers, &why)) return fail(reason, "the mate cannot be cut: " + why);

    const double a = gear.pressureAngle;
    const double zSum = gear.teeth + mateTeeth;
    GearPair& p = *pair;
    if (!workingPair(gear.module, a, zSum, gear.shift + mateShift, &p.workingPressureAngle, &p.centreDistance))
        return fail(reason, "the teeth would overlap: the two shifts together are too negative for any "
                            "centre distance");
    const double aw = p.centreDistance;

    const double ra1 = numbers.tipDiameter / 2, rb1 = numbers.baseDiameter / 2, rf1 = numbers.rootDiameter / 2;
    const double ra2 = mateNumbers.tipDiameter / 2, rb2 = mateNumbers.baseDiameter / 2,
                 rf2 = mateNumbers.rootDiameter / 2;
    if (ra1 + rf2 > aw || ra2 + rf1 > aw)
        return fail(reason, format("the teeth would overlap: at the centre distance %.4f mm a tip circle "
                                   "reaches past the other gear's root circle (their tips would need shortening)",
                                   aw));

    const double sinW = std::sin(p.workingPressureAngle);
    const double cosW = std::cos(p.workingPressureAngle);
    const double lineLength = aw * sinW;  // N1 to N2
    const double reach1 = std::sqrt(ra1 * ra1 - rb1 * rb1);
    const double reach2 = std::sqrt(ra2 * ra2 - rb2 * rb2);
    p.contactRatio = (reach1 + reach2 - lineLength) / numbers.basePitch;
    p.interferenceGear = reach2 > lineLength;  // the contact starts before N1
    p.interferenceMate = reach1 > lineLength;
    p.mateCentre = {0, aw};
    p.pitchPoint = {0, aw * gear.teeth / zSum};
    p.interferenceGearPoint = {-rb1 * sinW, rb1 * cosW};
    p.interferenceMatePoint = {rb2 * sinW, aw - rb2 * cosW};
    const auto alongLine = [&](double s) {
        return Vec2{p.interferenceGearPoint.x + s * cosW, p.interferenceGearPoint.y + s * sinW};
    };
    p.contactStart = alongLine(lineLength - reach2);
    p.contactEnd = alongLine(reach1);
    p.mateTurn = exactPi + exactPi / mateTeeth;
    return true;
}
