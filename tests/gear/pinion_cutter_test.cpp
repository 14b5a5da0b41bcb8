// Gears cut by a pinion cutter, external and ring, against what they must be: the analytic
// involute, the cutter swept as a solid, the rack that a cutter of very many teeth becomes,
// the mating pinion and the textbook ring gear.
#include "gear.h"
#include "pinion_probe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Cut {
    int z;
    double x;
    bool internal;
    int z0;
    double x0;
};

GearParameters pinionCutGear(const Cut& c, double tolerance = defaultTolerance)
{
    GearParameters g = defaultGearParameters(c.z);
    g.shift = c.x;
    g.tolerance = tolerance;
    g.cutter = CutterKind::pinion;
    g.internal = c.internal;
    g.pinionCutter.teeth = c.z0;
    g.pinionCutter.shift = c.x0;
    return g;
}

// Undercut, shifted, a shifted cutter, a cutter larger than the gear; rings of several tooth
// differences, shifted either way.
// The last ring is as close to its cutter as the cut allows: a cutter of 52 teeth would cut
// into its tips as it withdraws.
const Cut cuts[] = {{10, 0, false, 25, 0},  {17, 0.3, false, 19, 0}, {23, -0.1, false, 31, 0.2},
                    {41, 0.2, false, 76, -0.1}, {60, 0, true, 25, 0},   {47, 0.3, true, 19, 0},
                    {71, 0.2, true, 31, 0.1}, {90, -0.1, true, 62, 0},  {60, 0, true, 51, 0}};

std::string describe(const Cut& c)
{
    return (c.internal ? "ring z " : "z ") + std::to_string(c.z) + " x " + std::to_string(c.x) + " cutter " +
           std::to_string(c.z0) + " x0 " + std::to_string(c.x0);
}

// The tooth's half-angle at radius R from the textbook: an external tooth's is s/d + inv α −
// inv α_R; a ring's tooth space is shaped as an external gear's tooth of the same shift, so
// its tooth's is π/z less that.
double analyticHalfAngle(const GearParameters& g, double radius)
{
    const double a = g.pressureAngle, rb = g.module * g.teeth / 2 * std::cos(a), ar = std::acos(rb / radius);
    const double external = (probePi / 2 + 2 * g.shift * std::tan(a)) / g.teeth + probeInvolute(a) - probeInvolute(ar);
    return g.internal ? probePi / g.teeth - external : external;
}

TEST(PinionCutOutline, InvolutePointsLieOnTheAnalyticInvolute)
{
    for (const Cut& c : cuts) {
        SCOPED_TRACE(describe(c));
        const GearParameters g = pinionCutGear(c, 1e-6);
        const std::vector<OutlinePoint> outline = outlineOf(g);
        const double tooth = 2 * probePi / c.z;
        int involutes = 0;
        for (const OutlinePoint& p : outline) {
            if (p.part != OutlinePart::involute) continue;
            const double radius = std::hypot(p.at.x, p.at.y);
            const double angle = std::atan2(p.at.y, p.at.x) - probePi / 2;
            const double offset = angle - tooth * std::round(angle / tooth);  // from the nearest tooth centre
            ASSERT_LT(radius * std::fabs(std::fabs(offset) - analyticHalfAngle(g, radius)), 1e-7) << radius;
            ++involutes;
        }
        EXPECT_GT(involutes, 4 * c.z);
    }
}

// A second generation: every outline point of a tooth and its spaces lies on the edge of
// what the pinion cutter sweeps as a solid, external or ring.
TEST(SweptPinionCutter, EveryPointOfAToothLiesOnTheEdgeOfTheCut)
{
    for (const Cut& c : cuts) {
        SCOPED_TRACE(describe(c));
        expectToothOnTheEdgeOfTheCut(pinionCutGear(c));
    }
}

// The cutter's withdrawing tips against the ring's tip corners, near the limit: the swept
// cutter leaves a point a little inside each tip corner exactly when the cut is accepted.
TEST(SweptPinionCutter, ARingIsRefusedExactlyWhenTheCutterWouldCutIntoItsTips)
{
    for (int z0 : {50, 51, 52, 53}) {
        const GearParameters g = pinionCutGear({60, 0, true, z0, 0});
        const ProbeCutter cutter = probeCutter(g);
        const double tip = cutter.a + cutter.rf0, inside = 0.01;  // the tip circle its root leaves
        const double radius = tip + inside, half = analyticHalfAngle(g, radius) - inside / radius;
        const bool trimmed = cutByPinion(cutter, {radius * std::sin(half), radius * std::cos(half)}) ||
                             cutByPinion(cutter, {-radius * std::sin(half), radius * std::cos(half)});
        GearNumbers n{};
        std::string reason;
        EXPECT_EQ(computeGearNumbers(g, &n, &reason), !trimmed) << "cutter " << z0 << ": " << reason;
        if (trimmed) {
            EXPECT_NE(reason.find("into the ring's tips"), std::string::npos) << reason;
        }
    }
}

// The largest distance from tooth 0's points of one outline to the other outline.
double toothDeviation(const std::vector<OutlinePoint>& tooth, const std::vector<OutlinePoint>& other, int z)
{
    double worst = 0;
    for (std::size_t i = 0; i < tooth.size() / z; ++i) worst = std::max(worst, distanceToOutline(other, tooth[i].at));
    return worst;
}

// A pinion cutter of very many teeth is a rack: with addendum 1.25, dedendum 1 and tip radius
// 0.25 it is rack C's profile. The gear it cuts approaches the rack's by 1/z0: within the
// default tolerance of 0.001 mm at z0 = 10000, ten times closer at 100000. So do the numbers.
TEST(Convergence, AManyToothedCutterCutsWhatTheRackCuts)
{
    for (const Cut& c : {Cut{10, 0, false, 0, 0}, Cut{23, 0.3, false, 0, 0}, Cut{41, -0.2, false, 0, 0}}) {
        SCOPED_TRACE(describe(c));
        GearParameters rack = defaultGearParameters(c.z);
        rack.shift = c.x;
        rack.tolerance = 1e-5;
        ASSERT_TRUE(basicRackNamed("C", &rack.rack));
        GearNumbers rackNumbers{};
        const std::vector<OutlinePoint> rackOutline = outlineOf(rack, &rackNumbers);
        double deviation[2];
        for (int k = 0; k < 2; ++k) {
            Cut pinion = c;
            pinion.z0 = k == 0 ? 10000 : 100000;
            GearNumbers n{};
            const std::vector<OutlinePoint> outline = outlineOf(pinionCutGear(pinion, 1e-5), &n);
            deviation[k] = toothDeviation(outline, rackOutline, c.z);
            const double near = 20.0 / pinion.z0;  // mm: the numbers close in as fast
            EXPECT_NEAR(n.tipDiameter, rackNumbers.tipDiameter, near);
            EXPECT_NEAR(n.rootDiameter, rackNumbers.rootDiameter, near);
            EXPECT_NEAR(n.formDiameter, rackNumbers.formDiameter, near);
            EXPECT_NEAR(n.minShiftWithoutUndercut, rackNumbers.minShiftWithoutUndercut, near);
            EXPECT_NEAR(n.minTeethWithoutUndercut, rackNumbers.minTeethWithoutUndercut, 10 * near);
            EXPECT_EQ(n.undercut, rackNumbers.undercut);
            EXPECT_NEAR(n.toothThickness, rackNumbers.toothThickness, 1e-12);
        }
        EXPECT_LT(deviation[0], defaultTolerance);
        EXPECT_GT(deviation[0] / deviation[1], 5) << deviation[0] << " " << deviation[1];
    }
}

// A ring gear of very many teeth is a rack too: its flanks straight at the pressure angle,
// its tooth πm/2 − 2xm·tan α thick on the pitch line and widening outwards, its tip line
// (1 − x)·m inside the pitch line, its root (1.25 + x)·m outside; the error falls as 1/z.
TEST(Convergence, ARingGearOfVeryManyTeethApproachesARack)
{
    double error[2];
    const int teeth[2] = {1000, 10000};
    for (int k = 0; k < 2; ++k) {
        const double x = 0.2;
        GearNumbers n{};
        const GearParameters g = pinionCutGear({teeth[k], x, true, 25, 0});
        const std::vector<OutlinePoint> outline = outlineOf(g, &n);
        const double r = teeth[k] / 2.0, a = g.pressureAngle;
        double worst = 0, nearest = INFINITY, farthest = 0;
        for (const OutlinePoint& p : outline) {
            if (std::fabs(p.at.x) > 2 || p.at.y < 0) continue;  // tooth 0 and its spaces, near the +y axis
            nearest = std::min(nearest, p.at.y), farthest = std::max(farthest, p.at.y);
            if (p.part == OutlinePart::involute)
                worst = std::max(worst, std::fabs(std::fabs(p.at.x) - (probePi / 4 - x * std::tan(a) + (p.at.y - r) * std::tan(a))));
        }
        error[k] = std::max({worst, std::fabs(nearest - (r - (1 - x))), std::fabs(farthest - (r + 1.25 + x))});
    }
    EXPECT_LT(error[1], defaultTolerance);
    EXPECT_GT(error[0] / error[1], 5) << error[0] << " " << error[1];
}

// The arc, on the circle of the given radius, between the two crossings of the outline
// nearest to the half-angle `around` (tooth 0's centre line is 0, clockwise positive).
double arcAcross(const std::vector<OutlinePoint>& outline, double radius, double around)
{
    double low = -INFINITY, high = INFINITY;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec2 a = outline[i].at, b = outline[(i + 1) % outline.size()].at;
        const double ra = std::hypot(a.x, a.y) - radius, rb = std::hypot(b.x, b.y) - radius;
        if (ra * rb > 0 || ra == rb) continue;
        const double t = ra / (ra - rb);
        double angle = std::atan2(a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)) - around;
        angle -= 2 * probePi * std::round(angle / (2 * probePi));
        if (angle < 0) low = std::max(low, angle); else high = std::min(high, angle);
    }
    return radius * (high - low);
}

// The ring's tooth space on its pitch circle is what its mating pinion's tooth is on its own,
// both measured on the outlines; shifted, on the working pitch circles of the pair.
TEST(RingGear, ToothSpaceIsTheMatingPinionsToothThickness)
{
    struct Pair {
        int z2;
        double x2;
        int z1;
        double x1;
    };
    for (const Pair& c : {Pair{60, 0, 37, 0}, Pair{71, 0.3, 29, 0.1}}) {
        SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2);
        const GearParameters ring = pinionCutGear({c.z2, c.x2, true, 25, 0}, 1e-6);
        const GearParameters pinion = pinionCutGear({c.z1, c.x1, false, 25, 0}, 1e-6);
        InternalPair pair{};
        std::string reason;
        ASSERT_TRUE(computeInternalPair(ring, c.z1, c.x1, &pair, &reason)) << reason;
        // The rolling circles: the pitch circles when unshifted.
        const double r2 = std::hypot(pair.pitchPoint.x, pair.pitchPoint.y), r1 = r2 - pair.centreDistance;
        const double space = arcAcross(outlineOf(ring), r2, probePi / c.z2);
        const double tooth = arcAcross(outlineOf(pinion), r1, 0);
        EXPECT_NEAR(space, tooth, 1e-5);
        EXPECT_NEAR(space + arcAcross(outlineOf(ring), r2, 0), 2 * probePi * r2 / c.z2, 1e-5);  // space and tooth fill a pitch
        if (c.x2 == 0 && c.x1 == 0) {
            EXPECT_NEAR(tooth, probePi / 2, 1e-5);
        }
    }
}

// A standard ring gear (x = 0, ha* = 1, hf* = 1.25) from the KHK Gear Technical Reference's
// internal gear formulas: da2 = d2 − 2m and df2 = da2 + 2h with h = 2.25m; for z = 60, m = 2,
// da2 = 116 mm and df2 = 125 mm. Measured on the outline too.
TEST(RingGear, TextbookTipAndRootDiameters)
{
    GearParameters g = pinionCutGear({60, 0, true, 25, 0});
    g.module = 2;
    GearNumbers n{};
    const std::vector<OutlinePoint> outline = outlineOf(g, &n);
    EXPECT_NEAR(n.pitchDiameter, 120, 1e-12);
    EXPECT_NEAR(n.tipDiameter, 116, 1e-12);
    EXPECT_NEAR(n.rootDiameter, 125, 1e-12);
    double smallest = INFINITY, largest = 0;
    for (const OutlinePoint& p : outline) {
        smallest = std::min(smallest, std::hypot(p.at.x, p.at.y));
        largest = std::max(largest, std::hypot(p.at.x, p.at.y));
    }
    EXPECT_NEAR(2 * smallest, 116, 1e-9);
    EXPECT_NEAR(2 * largest, 125, 1e-9);
    EXPECT_NEAR(n.rimDiameter, 116 + 6 * 2, 1e-12);
}

bool segmentsCross(const Vec2& a, const Vec2& b, const Vec2& c, const Vec2& d)
{
    const auto side = [](const Vec2& p, const Vec2& q, const Vec2& r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    return side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0;
}

// Whether the closed polygon has two edges that cross (neighbours share a point only).
bool selfIntersecting(const std::vector<OutlinePoint>& loop)
{
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j)
            if ((j + 1) % n != i && segmentsCross(loop[i].at, loop[(i + 1) % n].at, loop[j].at, loop[(j + 1) % n].at))
                return true;
    return false;
}

double signedArea(const std::vector<OutlinePoint>& loop)
{
    double area = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        const Vec2 a = loop[i].at, b = loop[(i + 1) % loop.size()].at;
        area += (a.x * b.y - b.x * a.y) / 2;
    }
    return area;
}

// The face of each gear as loops: simple polygons without NaN or repeated points; a ring is
// its rim circle (counter-clockwise) round its toothed hole (clockwise), and the region
// between them has the rim disc's area less the hole's.
TEST(GearLoops, SimpleLoopsAroundTheMaterial)
{
    for (const Cut& c : {Cut{10, 0, false, 25, 0}, Cut{17, 0.3, false, 19, 0}, Cut{40, 0.1, true, 25, 0}, Cut{47, 0.3, true, 19, 0}}) {
        SCOPED_TRACE(describe(c));
        GearParameters g = pinionCutGear(c);
        if (c.z == 47) g.rimDiameter = 60;
        std::vector<std::vector<OutlinePoint>> loops;
        std::string reason;
        ASSERT_TRUE(computeGearLoops(g, &loops, &reason)) << reason;
        ASSERT_EQ(loops.size(), c.internal ? 2u : 1u);
        std::vector<OutlinePoint> outline;
        ASSERT_TRUE(computeGearOutline(g, &outline, &reason));
        EXPECT_EQ(loops[0].size(), outline.size());
        for (const auto& loop : loops) {
            EXPECT_FALSE(selfIntersecting(loop));
            for (std::size_t i = 0; i < loop.size(); ++i) {
                const OutlinePoint &p = loop[i], &q = loop[(i + 1) % loop.size()];
                ASSERT_TRUE(std::isfinite(p.at.x) && std::isfinite(p.at.y) && std::isfinite(p.roll)) << i;
                ASSERT_GT(std::hypot(q.at.x - p.at.x, q.at.y - p.at.y), 1e-9) << "repeated point " << i;
            }
        }
        EXPECT_EQ(signedArea(loops[0]) > 0, !c.internal);
        if (!c.internal) continue;
        GearNumbers n{};
        ASSERT_TRUE(computeGearNumbers(g, &n, &reason));
        const double rim = c.z == 47 ? 30 : n.tipDiameter / 2 + 3;  // the default is da + 6m
        EXPECT_NEAR(n.rimDiameter, 2 * rim, 1e-12);
        for (std::size_t i = 0; i < loops[1].size(); ++i) {
            const Vec2 a = loops[1][i].at, b = loops[1][(i + 1) % loops[1].size()].at;
            EXPECT_NEAR(std::hypot(a.x, a.y), rim, 1e-12);
            EXPECT_EQ(loops[1][i].part, OutlinePart::rim);
            const double chord = std::hypot(b.x - a.x, b.y - a.y);
            EXPECT_LE(rim - std::sqrt(rim * rim - chord * chord / 4), g.tolerance);  // the sagitta
        }
        EXPECT_NEAR(signedArea(loops[1]), probePi * rim * rim, probePi * rim * rim * 1e-4);
        // The rim lies outside the teeth: the ring's face is the disc less the hole.
        EXPECT_GT(signedArea(loops[1]) + signedArea(loops[0]), 0);
        EXPECT_LT(std::hypot(loops[0][0].at.x, loops[0][0].at.y), rim);
    }
}

// A gear that cannot be cut is refused with its reason.
TEST(PinionCutRefusals, EachReasonNamesWhatIsWrong)
{
    struct Refused {
        Cut cut;
        double tipRadius;
        double rim;
        const char* says;
    };
    const Refused refused[] = {
        {{30, 0, true, 30, 0}, 0.25, 0, "more teeth than its cutter"},
        {{30, 0, true, 12, 0}, 0.25, 0, "inside its base circle"},
        {{40, 0, true, 12, 0}, 0.25, 0, "past the cutter's interference point"},
        {{60, 0, false, 12, 0}, 0.25, 0, "past the cutter's interference point"},
        {{60, 0, true, 53, 0}, 0.25, 0, "into the ring's tips"},
        {{30, 0, false, 25, 0}, 0.38, 0, "tip roundings overlap"},
        {{60, 0, true, 25, 0}, 0.25, 62, "rim"},
        {{20, 0, false, 2, 0}, 0.25, 0, "root circle lies at or inside its centre"},
    };
    for (const Refused& r : refused) {
        GearParameters g = pinionCutGear(r.cut);
        g.pinionCutter.tipRadius = r.tipRadius;
        g.rimDiameter = r.rim;
        GearNumbers n{};
        std::vector<std::vector<OutlinePoint>> loops;
        std::string reason;
        EXPECT_FALSE(computeGearNumbers(g, &n, &reason)) << describe(r.cut);
        EXPECT_NE(reason.find(r.says), std::string::npos) << describe(r.cut) << ": " << reason;
        EXPECT_FALSE(computeGearLoops(g, &loops, &reason));
    }
    GearParameters ringByRack = defaultGearParameters(60);
    ringByRack.internal = true;
    std::string reason;
    GearNumbers n{};
    EXPECT_FALSE(computeGearNumbers(ringByRack, &n, &reason));
    EXPECT_NE(reason.find("pinion cutter"), std::string::npos) << reason;
}

// The fewest teeth without undercut for a pinion cutter of 25 teeth, at a shift: the tooth
// counts either side of it are and are not undercut.
TEST(PinionCutUndercut, FewestTeethLieBetweenAnUndercutAndASoundGear)
{
    for (double shift : {-0.1, 0.1, 0.3}) {
        GearParameters g = pinionCutGear({10, shift, false, 25, 0});
        GearNumbers n{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(g, &n, &reason));
        const double fewest = n.minTeethWithoutUndercut;
        for (int z : {static_cast<int>(std::floor(fewest)), static_cast<int>(std::ceil(fewest))}) {
            g.teeth = z;
            ASSERT_TRUE(computeGearNumbers(g, &n, &reason)) << reason;
            EXPECT_EQ(n.undercut, z < fewest) << z;
            // And the least shift of those teeth lies on the same side of this shift.
            EXPECT_EQ(n.minShiftWithoutUndercut > shift, z < fewest) << z;
        }
    }
}

}  // namespace
