// The named racks, the checks that say why a gear cannot be cut, the textbook numbers and
// the meshing pair.
#include "gear_reasons.h"
#include "tooth_geometry.h"

#include <cmath>
#include <cstdio>

namespace {

std::string format(const char* pattern, double value)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

bool fail(std::string* reason, const std::string& why)
{
    if (reason) *reason = why;
    return false;
}

// The inputs one by one, before any geometry.
bool checkInputs(const GearParameters& gear, std::string* reason)
{
    if (gear.teeth < 1) return fail(reason, gearReason::fewTeeth);
    if (gear.teeth > mostTeeth) return fail(reason, gearReason::manyTeeth);
    if (!std::isfinite(gear.module) || gear.module < smallestModule)
        return fail(reason, gearReason::smallModule);
    if (!std::isfinite(gear.pressureAngle) || gear.pressureAngle <= 0 || gear.pressureAngle >= exactPi / 4)
        return fail(reason, gearReason::pressureAngle);
    // Far beyond these the arithmetic saturates and wrong answers pass every check.
    if (!(std::fabs(gear.shift) <= mostCoefficient))
        return fail(reason, gearReason::shiftRange);
    if (!(gear.rack.addendum >= 0 && gear.rack.addendum <= mostCoefficient))
        return fail(reason, gearReason::addendumRange);
    if (!(gear.rack.dedendum > 0 && gear.rack.dedendum <= mostCoefficient))
        return fail(reason, gearReason::dedendumRange);
    if (!(gear.rack.tipRadius >= 0 && gear.rack.tipRadius <= mostCoefficient))
        return fail(reason, gearReason::tipRadiusRange);
    if (!std::isfinite(gear.tolerance) || gear.tolerance < finestTolerance)
        return fail(reason, gearReason::toleranceRange);
    const double reach = gear.module * (gear.teeth / 2.0 + gear.rack.addendum + gear.rack.dedendum + std::fabs(gear.shift));
    if (!(reach <= largestDimension))
        return fail(reason, format(gearReason::tooLarge, reach));
    if (gear.tolerance < relativePrecision * reach)
        return fail(reason, format(gearReason::belowPrecision, relativePrecision * reach));
    return true;
}

double tipThicknessOf(const ToothGeometry& g) { return 2 * g.tipRadius * involuteHalfAngle(g, g.tipRadius); }

// Whether a rack and gear of valid inputs can be cut; the reason when not.
bool checkGeometry(const GearParameters& gear, const ToothGeometry& g, std::string* reason)
{
    if (!finiteGeometry(g)) return fail(reason, gearReason::overflow);
    if (g.rootRadius <= 0)
        return fail(reason, format(gearReason::rootInsideCentre, 2 * g.rootRadius));
    if (g.roundingHalfGap < 0)
        return fail(reason, gear.rack.tipRadius > 0 && largestTipRadius(gear.rack, gear.pressureAngle) >= 0
                                ? format(gearReason::roundingsOverlap, largestTipRadius(gear.rack, gear.pressureAngle))
                                : gearReason::rackPointed);
    if (-g.flankDepth > g.rackAddendum)
        return fail(reason, gearReason::noStraightFlank);
    if (g.tipRadius <= g.baseRadius)
        return fail(reason, gearReason::tipInsideBase);
    const double sa = tipThicknessOf(g);
    if (sa <= 0)
        return fail(reason, format(gearReason::pointed, sa));
    if (g.involuteStart >= g.involuteEnd)
        return fail(reason, g.undercut ? gearReason::undercutReachesTip : gearReason::flankEndsAboveTip);
    double crossing = 0;
    if (g.undercut && smallestFilletHalfAngle(g, &crossing) < 0)
        return fail(reason, format(gearReason::severed, crossing));
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

double largestTipRadius(const BasicRack& rack, double pressureAngle)
{
    // Half the gap between the rounding centres, e = π/4 + (ρ − hf) tan α − ρ / cos α, is 0.
    const double t = std::tan(pressureAngle), c = std::cos(pressureAngle);
    return (exactPi / 4 - rack.dedendum * t) / (1 / c - t);
}

BasicRack fittedRack(const BasicRack& rack, double pressureAngle, bool* reduced)
{
    BasicRack fitted = rack;
    const double largest = largestTipRadius(rack, pressureAngle);
    *reduced = largest >= 0 && rack.tipRadius > largest;
    if (*reduced) fitted.tipRadius = largest;
    return fitted;
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
    const ToothGeometry g = toothGeometry(gear);
    if (!checkGeometry(gear, g, reason)) return false;

    const double m = gear.module;
    const double z = gear.teeth;
    const double a = gear.pressureAngle;
    const double x = gear.shift;
    const double sin2 = std::sin(a) * std::sin(a);
    GearNumbers& n = *numbers;
    n.pitchDiameter = m * z;
    n.baseDiameter = n.pitchDiameter * std::cos(a);
    n.tipDiameter = n.pitchDiameter + 2 * m * (gear.rack.addendum + x);
    n.rootDiameter = n.pitchDiameter - 2 * m * (gear.rack.dedendum - x);
    n.basePitch = exactPi * m * std::cos(a);
    n.toothThickness = m * (exactPi / 2 + 2 * x * std::tan(a));
    n.tipThickness = tipThicknessOf(g);
    n.pointed = n.tipThickness < pointedTipThickness * m;
    n.flankDepth = g.flankDepth;
    n.undercut = g.undercut;
    n.minTeethWithoutUndercut = 2 * (g.flankDepth / m - x) / sin2;
    n.minShiftWithoutUndercut = g.flankDepth / m - z / 2 * sin2;
    n.spanTeeth = spanTeethOf(gear);
    n.spanMeasurement = m * std::cos(a) * (exactPi * (n.spanTeeth - 0.5) + z * involuteFunction(a)) + 2 * x * m * std::sin(a);
    return true;
}

double involuteStartRadius(const GearParameters& gear) { return involuteStartRadius(toothGeometry(gear)); }

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
    if (!computeGearNumbers(mate, &mateNumbers, &why)) return fail(reason, gearReason::mateCannotBeCut + why);

    const double a = gear.pressureAngle;
    const double zSum = gear.teeth + mateTeeth;
    const double invW = involuteFunction(a) + 2 * std::tan(a) * (gear.shift + mateShift) / zSum;
    if (invW <= 0)
        return fail(reason, gearReason::shiftsTooNegative);
    GearPair& p = *pair;
    p.workingPressureAngle = inverseInvolute(invW);
    const double aw = zSum * gear.module * std::cos(a) / (2 * std::cos(p.workingPressureAngle));
    p.centreDistance = aw;

    const double ra1 = numbers.tipDiameter / 2, rb1 = numbers.baseDiameter / 2, rf1 = numbers.rootDiameter / 2;
    const double ra2 = mateNumbers.tipDiameter / 2, rb2 = mateNumbers.baseDiameter / 2,
                 rf2 = mateNumbers.rootDiameter / 2;
    if (ra1 + rf2 > aw || ra2 + rf1 > aw)
        return fail(reason, format(gearReason::tipsReachRoots, aw));

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
    // Each flank is involute only outside its form circle: along the line, that is at least
    // √(r_form² − rb²) from its own N.
    const double form1 = involuteStartRadius(gear), form2 = involuteStartRadius(mate);
    const double from = std::fmax(lineLength - reach2, std::sqrt(std::fmax(0.0, form1 * form1 - rb1 * rb1)));
    const double to = std::fmin(reach1, lineLength - std::sqrt(std::fmax(0.0, form2 * form2 - rb2 * rb2)));
    p.gearFormCutsPath = from > lineLength - reach2;
    p.mateFormCutsPath = to < reach1;
    p.effectiveContactRatio = std::fmax(0.0, to - from) / numbers.basePitch;
    p.effectiveStart = alongLine(from);
    p.effectiveEnd = alongLine(std::fmax(from, to));
    p.mateTurn = exactPi + exactPi / mateTeeth;
    return true;
}
