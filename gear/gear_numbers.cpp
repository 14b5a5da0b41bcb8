// The named racks, the checks that say why a gear cannot be cut, the textbook numbers and
// the meshing pair.
#include "gear_reasons.h"
#include "pinion_cutter.h"

#include <cmath>

namespace {

bool checkPinionCutterInputs(const GearParameters& gear, std::string* reason)
{
    const PinionCutter& c = gear.pinionCutter;
    if (c.teeth < 1 || c.teeth > mostTeeth) return fail(reason, gearReason::cutterTeeth);
    if (!(std::fabs(c.shift) <= mostCoefficient)) return fail(reason, gearReason::cutterShift);
    if (!(c.addendum > 0 && c.addendum <= mostCoefficient)) return fail(reason, gearReason::cutterAddendum);
    if (!(c.dedendum >= 0 && c.dedendum <= mostCoefficient)) return fail(reason, gearReason::cutterDedendum);
    if (!(c.tipRadius >= 0 && c.tipRadius <= mostCoefficient)) return fail(reason, gearReason::cutterTipRadius);
    if (gear.internal && (!std::isfinite(gear.rimDiameter) || gear.rimDiameter < 0))
        return fail(reason, gearReason::rimRange);
    if (gear.backlash != 0) return fail(reason, gearReason::backlashByRack);
    return true;
}

// The inputs one by one, before any geometry.
// The tooth's thickness on the pitch circle before any backlash: m(π/2 + 2x·tan α).
double nominalToothThickness(const GearParameters& gear)
{
    return gear.module * (exactPi / 2 + 2 * gear.shift * std::tan(gear.pressureAngle));
}

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
    if (gear.cutter == CutterKind::pinion) {
        if (!checkPinionCutterInputs(gear, reason)) return false;
    } else if (gear.internal) {
        return fail(reason, gearReason::ringByRack);
    } else if (!(gear.rack.addendum >= 0 && gear.rack.addendum <= mostCoefficient)) {
        return fail(reason, gearReason::addendumRange);
    } else if (!(gear.rack.dedendum > 0 && gear.rack.dedendum <= mostCoefficient)) {
        return fail(reason, gearReason::dedendumRange);
    } else if (!(gear.rack.tipRadius >= 0 && gear.rack.tipRadius <= mostCoefficient)) {
        return fail(reason, gearReason::tipRadiusRange);
    }
    if (!std::isfinite(gear.tolerance) || gear.tolerance < finestTolerance)
        return fail(reason, gearReason::toleranceRange);
    if (!(gear.backlash >= 0 && gear.backlash < nominalToothThickness(gear)))
        return fail(reason, gearReason::backlashRange);
    const double depth = gear.cutter == CutterKind::pinion ? gear.pinionCutter.addendum + gear.pinionCutter.dedendum
                                                           : gear.rack.addendum + gear.rack.dedendum;
    const double reach = gear.module * (gear.teeth / 2.0 + depth + std::fabs(gear.shift));
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

// Whether a gear of valid inputs can be cut by its pinion cutter; the reason when not.
bool checkPinionCut(const GearParameters& gear, const PinionCut& c, std::string* reason)
{
    const double rb0 = c.cutterFlank.baseRadius;
    if (c.cutterRootRadius <= 0)
        return fail(reason, format(gearReason::cutterRootInside, 2 * c.cutterRootRadius));
    if (c.cutterTipRadius - c.rounding < rb0)
        return fail(reason, c.rounding > 0 ? gearReason::cutterRoundingBelowBase : gearReason::cutterTipInsideBase);
    if (c.roundingCentre.x < 0)
        return fail(reason, c.rounding > 0 ? gearReason::cutterRoundingsOverlap : gearReason::cutterPointed);
    if (gear.internal && gear.teeth <= gear.pinionCutter.teeth)
        return fail(reason, format(gearReason::ringFewTeeth, gear.pinionCutter.teeth));
    if (!(c.centreDistance > 0))
        return fail(reason, gearReason::cutterOverlaps);
    if (c.rootRadius <= 0)
        return fail(reason, format(gearReason::rootInsideCentre, 2 * c.rootRadius));
    if (gear.internal && c.tipRadius < c.baseRadius)
        return fail(reason, format(gearReason::ringTipInsideBase, 2 * c.tipRadius, 2 * c.baseRadius));
    if (!gear.internal && c.tipRadius <= c.baseRadius)
        return fail(reason, gearReason::tipInsideBase);
    const double sa = 2 * c.tipRadius * flankHalfAngle(c.flank, c.tipRadius);
    if (sa <= 0)
        return fail(reason, format(gearReason::pointed, sa));
    if (c.flank.sense * (c.involuteAtFillet - c.involuteAtTip) <= 0)
        return fail(reason, gearReason::undercutReachesTip);
    // Where the gear's tip meets the cutter's flank on the line of action: inside N0 the
    // cutter has no involute, and its flank under the base circle would cut the tips.
    const double tipFromN = c.baseRadius * c.involuteAtTip;
    if (!gear.internal && tipFromN > c.actionLength)
        return fail(reason, gearReason::tipsPastCutterN);
    if (gear.internal && tipFromN < c.actionLength)
        return fail(reason, format(gearReason::ringTipsPastCutterN, c.actionLength - tipFromN));
    if (gear.internal) {
        // The cutter's tip corner taken sharp: its rounding only takes material away from it.
        const double margin = tipInterferenceMargin(gear.pinionCutter.teeth, c.cutterTipRadius, rb0, gear.teeth,
                                                    c.tipRadius, c.baseRadius, c.centreDistance, c.cuttingAngle);
        if (margin < 0)
            return fail(reason, format(gearReason::cutterCutsRingTips, -margin * c.tipRadius));
        const double rim = rimDiameterOf(gear, c);
        if (rim <= 2 * c.rootRadius)
            return fail(reason, format(gearReason::rimInsideRoot, rim, 2 * c.rootRadius));
    }
    return true;
}

// W_k over k teeth of the tooth thinned by the backlash: each flank J/2 off, J/2·cos α along
// the normal the calipers measure on.
double spanOver(const GearParameters& gear, int k)
{
    const double m = gear.module, a = gear.pressureAngle;
    return m * std::cos(a) * (exactPi * (k - 0.5) + gear.teeth * involuteFunction(a)) + 2 * gear.shift * m * std::sin(a) -
           gear.backlash * std::cos(a);
}

// The span tooth count whose calipers touch nearest the circle of radius r + x·m (the usual
// choice for shifted gears) among those that touch the flanks on their involute, between
// the form circle and the tip; 0 where none does. For a ring gear k spans tooth spaces.
int spanTeethOf(const GearParameters& gear, double formRadius, double tipRadius)
{
    const double rb = gear.module * gear.teeth * std::cos(gear.pressureAngle) / 2;
    const double rx = gear.module * (gear.teeth / 2.0 + gear.shift);
    const double wanted = std::sqrt(std::fmax(0.0, rx * rx - rb * rb));  // along the calipers' face
    // k·p_b advances the contact by one base pitch: the nearest lies round this k.
    const double pb = exactPi * gear.module * std::cos(gear.pressureAngle);
    const long guess = std::lround((wanted - spanOver(gear, 1) / 2) * 2 / pb) + 1;
    int best = 0;
    double bestOff = INFINITY;
    for (long k = std::max(1L, guess - 3); k <= std::min<long>(gear.teeth, guess + 3); ++k) {
        const double half = spanOver(gear, static_cast<int>(k)) / 2;
        const double contact = std::sqrt(rb * rb + half * half);
        // On the involute: between the form and tip circles, whichever is outer (a ring's tip is inner).
        const double low = std::fmin(formRadius, tipRadius), high = std::fmax(formRadius, tipRadius);
        if (half <= 0 || contact < low * (1 - 1e-12) || contact > high * (1 + 1e-12)) continue;
        if (std::fabs(half - wanted) < bestOff) bestOff = std::fabs(half - wanted), best = static_cast<int>(k);
    }
    return best;
}

// What every gear has alike: its circles' basics, its tooth's thickness with and without the
// backlash and its chords, and the span measurement, once tip and form circles are known.
void setCommonNumbers(const GearParameters& gear, double nominalThickness, double formRadius, GearNumbers* n)
{
    const double m = gear.module;
    const double a = gear.pressureAngle;
    n->pitchDiameter = m * gear.teeth;
    n->baseDiameter = n->pitchDiameter * std::cos(a);
    n->basePitch = exactPi * m * std::cos(a);
    n->toothThicknessNominal = nominalThickness;
    n->backlash = gear.backlash;
    n->toothThickness = nominalThickness - gear.backlash;
    const double psi = n->toothThickness / n->pitchDiameter;
    n->chordalThickness = n->pitchDiameter * std::sin(psi);
    // From the tip to the chord: out to it on a ring gear, whose teeth point inwards.
    n->chordalHeight = std::fabs(n->tipDiameter / 2 - n->pitchDiameter / 2 * std::cos(psi));
    n->formDiameter = 2 * formRadius;
    n->spanTeeth = spanTeethOf(gear, n->formDiameter / 2, n->tipDiameter / 2);
    n->spanMeasurement = n->spanTeeth > 0 ? spanOver(gear, n->spanTeeth) : 0;
    n->spanContactDiameter = n->spanTeeth > 0 ? std::hypot(n->baseDiameter, n->spanMeasurement) : 0;
}

bool pinionCutNumbers(const GearParameters& gear, GearNumbers* numbers, std::string* reason)
{
    const PinionCut c = pinionCut(gear);
    if (!checkPinionCut(gear, c, reason)) return false;
    const double m = gear.module;
    GearNumbers& n = *numbers;
    n.tipDiameter = 2 * c.tipRadius;
    n.rootDiameter = 2 * c.rootRadius;
    setCommonNumbers(gear, 2 * c.pitchRadius * c.halfToothAngle, gearFormRadius(c), &n);
    n.tipThickness = 2 * c.tipRadius * flankHalfAngle(c.flank, c.tipRadius);
    n.pointed = n.tipThickness < pointedTipThickness * m;
    n.flankDepth = cutterFormRadius(c) - c.cutterPitchRadius;
    n.undercut = c.undercut;
    n.minTeethWithoutUndercut = gear.internal ? 0 : pinionFewestTeeth(gear, c);
    n.minShiftWithoutUndercut = gear.internal ? 0 : pinionLeastShift(gear, c);
    n.cuttingPressureAngle = c.cuttingAngle;
    n.cuttingCentreDistance = c.centreDistance;
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
    if (gear.cutter == CutterKind::pinion) return pinionCutNumbers(gear, numbers, reason);
    const ToothGeometry g = toothGeometry(gear);
    if (!checkGeometry(gear, g, reason)) return false;

    const double m = gear.module;
    const double z = gear.teeth;
    const double a = gear.pressureAngle;
    const double x = gear.shift;
    const double sin2 = std::sin(a) * std::sin(a);
    GearNumbers& n = *numbers;
    n.tipDiameter = m * z + 2 * m * (gear.rack.addendum + x);
    n.rootDiameter = m * z - 2 * m * (gear.rack.dedendum - x);
    setCommonNumbers(gear, nominalToothThickness(gear), involuteStartRadius(g), &n);
    n.tipThickness = tipThicknessOf(g);
    n.pointed = n.tipThickness < pointedTipThickness * m;
    n.flankDepth = g.flankDepth;
    n.undercut = g.undercut;
    n.minTeethWithoutUndercut = fewestTeethWithoutUndercut(g.flankDepth / m, a, x);
    n.minShiftWithoutUndercut = g.flankDepth / m - z / 2 * sin2;
    n.cuttingPressureAngle = a;
    n.cuttingCentreDistance = 0;
    n.rimDiameter = 0;
    return true;
}

double involuteStartRadius(const GearParameters& gear)
{
    if (gear.cutter == CutterKind::rack) return involuteStartRadius(toothGeometry(gear));
    return gearFormRadius(pinionCut(gear));
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
    if (!computeGearNumbers(mate, &mateNumbers, &why)) return fail(reason, gearReason::mateCannotBeCut + why);

    const double a = gear.pressureAngle;
    const double zSum = gear.teeth + mateTeeth;
    GearPair& p = *pair;
    if (!workingPair(gear.module, a, zSum, gear.shift + mateShift, &p.workingPressureAngle, &p.centreDistance))
        return fail(reason, gearReason::shiftsTooNegative);
    const double aw = p.centreDistance;

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
    const double form1 = numbers.formDiameter / 2, form2 = mateNumbers.formDiameter / 2;
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

PinMeasurement measureOverPins(const GearParameters& gear, double pinDiameter)
{
    PinMeasurement p{};
    GearNumbers n{};
    // A ring gear is measured between pins, which this does not give.
    if (gear.internal || !computeGearNumbers(gear, &n, nullptr)) return p;
    const double db = n.baseDiameter, d = n.pitchDiameter, a = gear.pressureAngle, z = gear.teeth;
    const double rb = db / 2, form = n.formDiameter / 2, tip = n.tipDiameter / 2;
    const double sOverD = n.toothThickness / d;  // the backlash taken off
    // The pin-centre angle, and where the pin touches: its centre lies d_p/2 along the flank's
    // normal, which is tangent to the base circle.
    const auto centreInvolute = [&](double dp) { return sOverD + involuteFunction(a) + dp / db - exactPi / z; };
    const auto centreAngle = [&](double dp) { return inverseInvolute(std::fmax(0.0, centreInvolute(dp))); };
    // 0 for a pin too small to reach the flanks outside the base circle: the contact only
    // climbs the flank as the pin grows.
    const auto contactRadius = [&](double dp) {
        const double t = std::tan(centreAngle(dp)) - dp / db;
        return centreInvolute(dp) <= 0 || t <= 0 ? 0.0 : rb * std::sqrt(1 + t * t);
    };
    p.pinDiameter = pinDiameter > 0 ? pinDiameter : db * (std::tan(a + exactPi / z - sOverD) - std::tan(a));
    const double aM = centreAngle(p.pinDiameter);
    p.centreDiameter = db / std::cos(aM);
    p.measurement = gear.teeth % 2 == 0 ? p.centreDiameter + p.pinDiameter
                                        : p.centreDiameter * std::cos(exactPi / (2 * z)) + p.pinDiameter;
    p.contactDiameter = 2 * contactRadius(p.pinDiameter);
    // The contact climbs the flank as the pin grows: the pins that touch on the involute lie
    // between the one touching at the form circle and the one touching at the tip.
    const auto diameterTouchingAt = [&](double radius) {
        double low = 0, high = d;
        while (contactRadius(high) < radius && high < 1e3 * d) high *= 2;
        for (int i = 0; i < 200 && high - low > 1e-15 * d; ++i) {
            const double mid = 0.5 * (low + high);
            (contactRadius(mid) < radius ? low : high) = mid;
        }
        return 0.5 * (low + high);
    };
    p.leastDiameter = diameterTouchingAt(form);
    p.mostDiameter = diameterTouchingAt(tip);
    p.fits = p.contactDiameter >= 2 * form * (1 - 1e-12) && p.contactDiameter <= 2 * tip * (1 + 1e-12);
    return p;
}
