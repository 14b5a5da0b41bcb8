// The outline against what it must be: the suite's own rack generation, the textbook
// formulas measured on the points, the analytic involute, and the cutter swept as a solid.
#include "gear.h"
#include "pinion_probe.h"
#include "rack_generation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

RackTables tables;  // large: one shared instance

GearParameters gearOf(int z, double shift, const char* rack, double degrees = 20, double tolerance = defaultTolerance,
                      double backlash = 0)
{
    GearParameters g = defaultGearParameters(z);
    g.shift = shift;
    g.backlash = backlash;
    g.pressureAngle = degrees * probePi / 180;
    g.tolerance = tolerance;
    EXPECT_TRUE(basicRackNamed(rack, &g.rack));
    return g;
}

// cutdemo3's frame (pitch point at the origin, gear centre below) turned into the gear frame,
// its tooth brought onto tooth 0: the tooth lies on the side the tip-side flank leans to.
Vec2 fromCutDemo(const RackGear& rg, const Point2& p, double turn)
{
    const double y = p.y + rg.pitchRadius;
    return {p.x * std::cos(turn) - y * std::sin(turn), p.x * std::sin(turn) + y * std::cos(turn)};
}

TEST(AgainstTheSuitesGeneration, TipSideFlankAndUndercutLieOnTheOutline)
{
    for (int z : {6, 10, 13, 20, 31}) {
        const RackGear rg = makeRackGear(z);
        const int leaving = generateRackTables(rg, rollSteps(rg), &tables);
        const std::vector<OutlinePoint> outline = outlineOf(gearOf(z, 0, "straight"));
        const double turn = (tables.addendumFlank[tables.addendumLast].x > 0 ? 1 : -1) * probePi / (2 * z);
        for (int i = 0; i < tables.addendumLast; ++i)  // the last lies beyond the tip circle
            EXPECT_LT(distanceToOutline(outline, fromCutDemo(rg, tables.addendumFlank[i], turn)), 0.001)
                << "z " << z << " tip side " << i;
        if (z > 13) continue;  // clearly undercut only
        for (int k = 0; k <= leaving; ++k)
            EXPECT_LT(distanceToOutline(outline, fromCutDemo(rg, tables.undercutCurve[k], turn)), 0.001)
                << "z " << z << " undercut " << k;
    }
}

struct Case {
    int z;
    double shift;
    const char* rack;
    double degrees;
    double backlash;
};
// Small and large, shifted both ways, every rack, three angles, with and without backlash, and
// the gears whose nearest span would touch below the form circle (z 8 and 14 at x −0.5).
const Case cases[] = {{10, 0, "A", 20, 0},      {23, -0.2, "B", 20, 0.1}, {41, 0.3, "D", 20, 0},
                      {7, 0.5, "C", 14.5, 0.05}, {19, 0, "straight", 20, 0}, {12, 0.1, "C", 25, 0.2},
                      {8, -0.5, "A", 20, 0},    {14, -0.5, "A", 20, 0.04}};

// The crossing of tooth 0's flank (side −1 clockwise, +1 counter-clockwise) with the circle
// of the given radius, as an angle from the tooth's centre line.
double flankCrossing(const std::vector<OutlinePoint>& outline, double radius, int side)
{
    for (std::size_t i = 0; i + 1 < outline.size(); ++i) {
        const Vec2 a = outline[i].at, b = outline[i + 1].at;
        const double ra = std::hypot(a.x, a.y) - radius, rb = std::hypot(b.x, b.y) - radius;
        if (ra * rb > 0 || (ra < rb) != (side < 0)) continue;
        const double t = ra / (ra - rb);
        const double angle = std::atan2(-(a.x + t * (b.x - a.x)), a.y + t * (b.y - a.y));
        if (std::fabs(angle) < probePi / 2) return angle;
    }
    return NAN;
}

TEST(MeasuredOnTheOutline, ThicknessSpanRadiiAndInvoluteAgreeWithTheFormulas)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "z " << c.z << " x " << c.shift << " rack " << c.rack << " " << c.degrees);
        const GearParameters g = gearOf(c.z, c.shift, c.rack, c.degrees, 1e-6, c.backlash);
        GearNumbers n{};
        const std::vector<OutlinePoint> outline = outlineOf(g, &n);
        const double r = n.pitchDiameter / 2, rb = n.baseDiameter / 2;

        // The arc between the two flanks of tooth 0 on the pitch circle.
        EXPECT_NEAR(r * (flankCrossing(outline, r, 1) - flankCrossing(outline, r, -1)), n.toothThickness, 1e-5);

        double smallest = INFINITY, largest = 0;
        for (const OutlinePoint& p : outline) {
            smallest = std::min(smallest, std::hypot(p.at.x, p.at.y));
            largest = std::max(largest, std::hypot(p.at.x, p.at.y));
        }
        EXPECT_NEAR(smallest, n.rootDiameter / 2, 1e-9);
        EXPECT_NEAR(largest, n.tipDiameter / 2, 1e-9);

        // Calipers over teeth 0 … k−1, square to the group's centre line: only the outer
        // involute flanks touch them.
        const double group = probePi / 2 + (n.spanTeeth - 1) * probePi / c.z;
        const Vec2 across{std::sin(group), -std::cos(group)};
        double low = INFINITY, high = -INFINITY;
        const double tooth = 2 * probePi / c.z;
        const double inv = std::tan(g.pressureAngle) - g.pressureAngle;
        for (const OutlinePoint& p : outline) {
            const double radius = std::hypot(p.at.x, p.at.y);
            const double angle = std::atan2(p.at.y, p.at.x) - probePi / 2;
            const double offset = angle - tooth * std::round(angle / tooth);  // from the nearest tooth centre
            if (p.part == OutlinePart::involute) {
                // The involute of this tooth thickness, in closed form: within 1e-7 mm.
                const double expected = n.toothThickness / (2 * r) + inv - (std::tan(std::acos(rb / radius)) - std::acos(rb / radius));
                EXPECT_LT(radius * std::fabs(std::fabs(offset) - expected), 1e-7);
                // The calipers rest on the outer involutes; where the formula's contact lay
                // below the form circle (no involute there), these would measure less.
                const double inGroup = angle - offset;  // the tooth's centre, from tooth 0
                if (inGroup > -1e-9 && inGroup < (n.spanTeeth - 0.5) * tooth) {
                    low = std::min(low, p.at.x * across.x + p.at.y * across.y);
                    high = std::max(high, p.at.x * across.x + p.at.y * across.y);
                }
            }
        }
        ASSERT_GT(n.spanTeeth, 0);
        EXPECT_NEAR(high - low, n.spanMeasurement, 1e-5);
        EXPECT_NEAR(n.toothThicknessNominal - n.toothThickness, c.backlash, 1e-12);
    }
}

// A pin lowered along a tooth space's centre line until it touches the outline: its centre's
// radius gives the measurement over pins, as a workshop takes it on the part.
TEST(MeasuredOnTheOutline, PinsSetInTheSpacesMeasureWhatTheFormulaSays)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "z " << c.z << " x " << c.shift << " rack " << c.rack);
        const GearParameters g = gearOf(c.z, c.shift, c.rack, c.degrees, 1e-6, c.backlash);
        const std::vector<OutlinePoint> outline = outlineOf(g);
        const PinMeasurement pins = measureOverPins(g, 0);
        ASSERT_TRUE(pins.fits);
        const double space = probePi / 2 + probePi / c.z;  // the space between teeth 0 and 1
        const Vec2 along{std::cos(space), std::sin(space)};
        double low = 0, high = g.module * c.z;
        for (int i = 0; i < 60; ++i) {
            const double mid = 0.5 * (low + high);
            (distanceToOutline(outline, {mid * along.x, mid * along.y}) < pins.pinDiameter / 2 ? low : high) = mid;
        }
        const double centre = 0.5 * (low + high);
        const double across = c.z % 2 == 0 ? 2 * centre : 2 * centre * std::cos(probePi / (2 * c.z));
        EXPECT_NEAR(across + pins.pinDiameter, pins.measurement, 2e-5);
        // The smallest and largest pins that touch on the involute, and a hair beyond them.
        for (const auto& [diameter, fits] : {std::pair{pins.leastDiameter * 1.001, true}, std::pair{pins.mostDiameter * 0.999, true},
                                             std::pair{pins.leastDiameter * 0.99, false}, std::pair{pins.mostDiameter * 1.01, false}})
            EXPECT_EQ(measureOverPins(g, diameter).fits, fits) << diameter;
    }
    // The textbook's span: z 20, module 1, 20°: over three teeth, 7.6604.
    GearNumbers n{};
    std::string reason;
    ASSERT_TRUE(computeGearNumbers(gearOf(20, 0, "A"), &n, &reason));
    EXPECT_EQ(n.spanTeeth, 3);
    EXPECT_NEAR(n.spanMeasurement, 7.6604, 5e-5);
}

TEST(MeasuredOnTheOutline, ClosedCounterClockwiseWithoutRepeatsAndWithinTheTolerance)
{
    for (const Case& c : cases) {
        const GearParameters g = gearOf(c.z, c.shift, c.rack, c.degrees, defaultTolerance, c.backlash);
        GearNumbers n{};
        const std::vector<OutlinePoint> outline = outlineOf(g, &n);
        double area = 0;
        for (std::size_t i = 0; i < outline.size(); ++i) {
            const OutlinePoint& a = outline[i];
            const OutlinePoint& b = outline[(i + 1) % outline.size()];
            area += a.at.x * b.at.y - b.at.x * a.at.y;
            ASSERT_GT(std::hypot(b.at.x - a.at.x, b.at.y - a.at.y), 1e-9) << "repeated point " << i;
            // Arcs: the sagitta of each chord of the tip and root circles.
            if (a.part == b.part && (a.part == OutlinePart::tip || a.part == OutlinePart::root)) {
                const double radius = std::hypot(a.at.x, a.at.y);
                const double chord = std::hypot(b.at.x - a.at.x, b.at.y - a.at.y);
                EXPECT_LE(radius - std::sqrt(radius * radius - chord * chord / 4), g.tolerance);
            }
            // The involute between two points, from its own formula: never farther from the chord.
            if (a.part == OutlinePart::involute && b.part == OutlinePart::involute) {
                const double rb = n.baseDiameter / 2;
                const auto rollOf = [&](const Vec2& p) { return std::sqrt(std::pow(std::hypot(p.x, p.y) / rb, 2) - 1); };
                const auto unwound = [](double t) { return t - std::atan(t); };  // polar angle gained from the base circle
                const double ta = rollOf(a.at), tb = rollOf(b.at);
                const double turned = std::atan2(a.at.x * b.at.y - a.at.y * b.at.x, a.at.x * b.at.x + a.at.y * b.at.y);
                const double sense = turned * (unwound(tb) - unwound(ta)) > 0 ? 1 : -1;  // which flank
                const double chord = std::hypot(b.at.x - a.at.x, b.at.y - a.at.y);
                for (int k = 1; k < 16; ++k) {
                    const double t = ta + (tb - ta) * k / 16, radius = rb * std::sqrt(1 + t * t);
                    const double angle = std::atan2(a.at.y, a.at.x) + sense * (unwound(t) - unwound(ta));
                    const Vec2 q{radius * std::cos(angle), radius * std::sin(angle)};
                    const double off = std::fabs((q.x - a.at.x) * (b.at.y - a.at.y) - (q.y - a.at.y) * (b.at.x - a.at.x)) / chord;
                    EXPECT_LE(off, g.tolerance * (1 + 1e-9));
                }
            }
        }
        EXPECT_GT(area, 0) << "counter-clockwise";
        EXPECT_EQ(outline.size() % c.z, 0u);
    }
}

// The arcs follow the true curves within the tolerance: every arc, sampled, lies within the
// tolerance of an outline of chords a hundred times finer, and the arcs are far fewer.
TEST(Arcs, FollowTheCurvesWithinTheToleranceWithFarFewerPieces)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "z " << c.z << " x " << c.shift << " rack " << c.rack);
        const GearParameters g = gearOf(c.z, c.shift, c.rack, c.degrees, 1e-3, c.backlash);
        GearParameters fine = g;
        fine.tolerance = 1e-5;
        const std::vector<OutlinePoint> reference = outlineOf(fine), chords = outlineOf(g);
        std::vector<ArcVertex> arcs;
        std::string reason;
        ASSERT_TRUE(computeGearArcs(g, &arcs, &reason)) << reason;
        EXPECT_EQ(arcs.size() % c.z, 0u);
        EXPECT_LT(arcs.size() * 3, chords.size());
        double area = 0;
        for (std::size_t i = 0; i < arcs.size(); ++i) {
            const Vec2 a = arcs[i].at, b = arcs[(i + 1) % arcs.size()].at;
            area += a.x * b.y - b.x * a.y;
            // The arc through a and b of this bulge, at eight points: its centre is off the chord
            // by c(1 − b²)/4b, its radius c(1 + b²)/4|b|.
            const double chord = std::hypot(b.x - a.x, b.y - a.y), bulge = arcs[i].bulge;
            if (i >= arcs.size() / c.z) continue;  // one tooth is enough: the rest are its turns
            for (int k = 1; k < 8; ++k) {
                Vec2 p{a.x + (b.x - a.x) * k / 8, a.y + (b.y - a.y) * k / 8};
                if (bulge != 0) {
                    const double offset = chord * (1 - bulge * bulge) / (4 * bulge);
                    const Vec2 centre{(a.x + b.x) / 2 - (b.y - a.y) / chord * offset, (a.y + b.y) / 2 + (b.x - a.x) / chord * offset};
                    const double turn = 4 * std::atan(bulge) * k / 8;
                    p = {centre.x + (a.x - centre.x) * std::cos(turn) - (a.y - centre.y) * std::sin(turn),
                         centre.y + (a.x - centre.x) * std::sin(turn) + (a.y - centre.y) * std::cos(turn)};
                }
                EXPECT_LT(distanceToOutline(reference, p), g.tolerance + 1e-5) << i;
            }
        }
        EXPECT_GT(area, 0) << "counter-clockwise";
    }
}

// A second generation: every outline point of tooth 0 lies on the edge of what the rack
// sweeps as a solid: a hair outwards is cut, a hair inwards is not.
TEST(SweptRack, EveryPointOfAToothLiesOnTheEdgeOfTheCut)
{
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "z " << c.z << " x " << c.shift << " rack " << c.rack);
        expectToothOnTheEdgeOfTheCut(gearOf(c.z, c.shift, c.rack, c.degrees, defaultTolerance, c.backlash));
    }
}

// Ten teeth at 20°, cut by rack A or by a pinion cutter of 25 teeth: undercut until the
// shift reaches min_shift_without_undercut; until then the swept cutter cuts into the
// involute above the base circle, from then on not.
TEST(Undercut, SwitchesExactlyAtTheLeastShift)
{
    GearParameters byPinion = gearOf(10, 0, "A");
    byPinion.cutter = CutterKind::pinion;
    for (GearParameters g : {gearOf(10, 0, "A"), byPinion}) {
        SCOPED_TRACE(g.cutter == CutterKind::rack ? "rack" : "pinion cutter");
        GearNumbers n{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(g, &n, &reason));
        EXPECT_TRUE(n.undercut);
        const double least = n.minShiftWithoutUndercut;
        for (double shift : {least - 1e-9, least, least + 1e-9}) {
            g.shift = shift;
            ASSERT_TRUE(computeGearNumbers(g, &n, &reason));
            EXPECT_EQ(n.undercut, shift < least) << shift - least;
        }

        // A point a hair inside the analytic involute, just above the base circle.
        const auto involuteNearBase = [&](double shift, double aboveBase) {
            g.shift = shift;
            const double rb = 5 * std::cos(g.pressureAngle), radius = rb + aboveBase;
            const double s = probePi / 2 + 2 * shift * std::tan(g.pressureAngle);
            const double inv = std::tan(g.pressureAngle) - g.pressureAngle, ar = std::acos(rb / radius);
            const double half = s / 10 + inv - (std::tan(ar) - ar) - 1e-6 / radius;
            return CutterProbe(g).cuts({radius * std::sin(half), radius * std::cos(half)});
        };
        for (double shift : {0.0, least - 0.1}) EXPECT_TRUE(involuteNearBase(shift, 0.0005)) << shift;
        for (double above : {0.0005, 0.01}) EXPECT_FALSE(involuteNearBase(least, above)) << above;

        std::vector<OutlinePoint> outline;
        for (double shift : {0.0, least}) {
            g.shift = shift;
            ASSERT_TRUE(computeGearOutline(g, &outline, &reason));
            const bool flagged = std::any_of(outline.begin(), outline.end(), [](const OutlinePoint& p) { return p.undercut; });
            EXPECT_EQ(flagged, shift == 0.0);
        }
    }
}

}  // namespace
