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
    return ::pinionCutGear(c.z, c.x, c.internal, c.z0, c.x0, tolerance);
}

testing::Message describe(const Cut& c)
{
    return testing::Message() << (c.internal ? "ring " : "gear ") << c.z << " x " << c.x << ", cutter " << c.z0 << " x0 " << c.x0;
}

// Undercut, shifted, a shifted cutter, a cutter larger than the gear; rings of several tooth
// differences, shifted either way, the last as close to its cutter as the cut allows.
const Cut cuts[] = {{10, 0, false, 25, 0}, {17, 0.3, false, 19, 0}, {23, -0.1, false, 31, 0.2},
                    {41, 0.2, false, 76, -0.1}, {60, 0, true, 25, 0}, {47, 0.3, true, 19, 0},
                    {71, 0.2, true, 31, 0.1}, {90, -0.1, true, 62, 0}, {60, 0, true, 51, 0}};

// The tooth's half-angle at radius R from the textbook: an external tooth's is s/d + inv α −
// inv α_R; a ring's tooth space is shaped as an external gear's tooth of the same shift, so
// its tooth's is π/z less that.
double analyticHalfAngle(const GearParameters& g, double radius)
{
    const double a = g.pressureAngle, ar = std::acos(g.module * g.teeth / 2 * std::cos(a) / radius);
    const double external = (probePi / 2 + 2 * g.shift * std::tan(a)) / g.teeth + probeInvolute(a) - probeInvolute(ar);
    return g.internal ? probePi / g.teeth - external : external;
}

TEST(PinionCutOutline, InvolutePointsLieOnTheAnalyticInvolute)
{
    for (const Cut& c : cuts) {
        SCOPED_TRACE(describe(c));
        const GearParameters g = pinionCutGear(c, 1e-6);
        const double tooth = 2 * probePi / c.z;
        int involutes = 0;
        for (const OutlinePoint& p : outlineOf(g)) {
            if (p.part != OutlinePart::involute) continue;
            const double radius = std::hypot(p.at.x, p.at.y), angle = std::atan2(p.at.y, p.at.x) - probePi / 2;
            const double offset = angle - tooth * std::round(angle / tooth);  // from the nearest tooth centre
            ASSERT_LT(radius * std::fabs(std::fabs(offset) - analyticHalfAngle(g, radius)), 1e-7) << radius;
            ++involutes;
        }
        EXPECT_GT(involutes, 4 * c.z);
    }
}

TEST(SweptPinionCutter, EveryPointOfAToothLiesOnTheEdgeOfTheCut)
{
    for (const Cut& c : cuts) {
        SCOPED_TRACE(describe(c));
        expectToothOnTheEdgeOfTheCut(pinionCutGear(c));
    }
}

// Near the limit, the swept cutter leaves a point a little inside each of the ring's tip
// corners exactly when the cut is accepted: the cutter's tips do not cut into them as it
// withdraws from a tooth space.
TEST(SweptPinionCutter, ARingIsRefusedExactlyWhenTheCutterWouldCutIntoItsTips)
{
    for (int z0 : {50, 51, 52, 53}) {
        const GearParameters g = pinionCutGear({60, 0, true, z0, 0});
        const ProbeCutter cutter = probeCutter(g);
        const double radius = cutter.a + cutter.rf0 + 0.01;  // inside the tip circle its root leaves
        const double half = analyticHalfAngle(g, radius) - 0.01 / radius;
        const bool trimmed = cutByPinion(cutter, {radius * std::sin(half), radius * std::cos(half)}) ||
                             cutByPinion(cutter, {-radius * std::sin(half), radius * std::cos(half)});
        GearNumbers n{};
        std::string reason;
        EXPECT_EQ(computeGearNumbers(g, &n, &reason), !trimmed) << "cutter " << z0 << ": " << reason;
        EXPECT_EQ(reason.find("into the ring's tips") != std::string::npos, trimmed) << reason;
    }
}

// A pinion cutter of very many teeth is a rack: with addendum 1.25, dedendum 1 and tip radius
// 0.25 it has rack C's profile. What it cuts approaches what the rack cuts as 1/z0: within the
// default tolerance at z0 = 10000, ten times closer at 100000; so do the numbers.
TEST(Convergence, AManyToothedCutterCutsWhatTheRackCuts)
{
    for (const Cut& c : {Cut{10, 0, false, 0, 0}, Cut{23, 0.3, false, 0, 0}, Cut{41, -0.2, false, 0, 0}}) {
        SCOPED_TRACE(describe(c));
        GearParameters rack = defaultGearParameters(c.z);
        rack.shift = c.x, rack.tolerance = 1e-5;
        ASSERT_TRUE(basicRackNamed("C", &rack.rack));
        GearNumbers byRack{}, n{};
        const std::vector<OutlinePoint> rackOutline = outlineOf(rack, &byRack);
        double deviation[2] = {0, 0};
        for (int k = 0; k < 2; ++k) {
            const int z0 = k == 0 ? 10000 : 100000;
            const std::vector<OutlinePoint> outline = outlineOf(pinionCutGear({c.z, c.x, false, z0, 0}, 1e-5), &n);
            for (std::size_t i = 0; i < outline.size() / c.z; ++i)
                deviation[k] = std::max(deviation[k], distanceToOutline(rackOutline, outline[i].at));
            const double numbers[][2] = {{n.tipDiameter, byRack.tipDiameter}, {n.rootDiameter, byRack.rootDiameter},
                                         {n.formDiameter, byRack.formDiameter},
                                         {n.minShiftWithoutUndercut, byRack.minShiftWithoutUndercut}};
            for (const auto& pair : numbers) EXPECT_NEAR(pair[0], pair[1], 20.0 / z0);
            EXPECT_EQ(n.undercut, byRack.undercut);
        }
        EXPECT_LT(deviation[0], defaultTolerance);
        EXPECT_GT(deviation[0] / deviation[1], 5) << deviation[0] << " " << deviation[1];
    }
}

// A ring gear of very many teeth is a rack too: flanks straight at the pressure angle, the
// tooth πm/2 − 2xm·tan α thick on the pitch line and widening outwards, the tip line (1 − x)·m
// inside the pitch line, the root (1.25 + x)·m outside; the error falls as 1/z.
TEST(Convergence, ARingGearOfVeryManyTeethApproachesARack)
{
    double error[2] = {0, 0};
    for (int k = 0; k < 2; ++k) {
        const double x = 0.2, r = k == 0 ? 500 : 5000;
        const GearParameters g = pinionCutGear({static_cast<int>(2 * r), x, true, 25, 0});
        double nearest = INFINITY, farthest = 0;
        for (const OutlinePoint& p : outlineOf(g)) {
            if (std::fabs(p.at.x) > 2 || p.at.y < 0) continue;  // tooth 0 and its spaces
            nearest = std::min(nearest, p.at.y), farthest = std::max(farthest, p.at.y);
            if (p.part == OutlinePart::involute) {
                const double flank = probePi / 4 - x * std::tan(g.pressureAngle) + (p.at.y - r) * std::tan(g.pressureAngle);
                error[k] = std::max(error[k], std::fabs(std::fabs(p.at.x) - flank));
            }
        }
        error[k] = std::max({error[k], std::fabs(nearest - (r - 1 + x)), std::fabs(farthest - (r + 1.25 + x))});
    }
    EXPECT_LT(error[1], defaultTolerance);
    EXPECT_GT(error[0] / error[1], 5) << error[0] << " " << error[1];
}

// The arc on the circle of radius R between the two crossings of the outline nearest to the
// half-angle `around` (tooth 0's centre line is 0, clockwise positive).
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

// Measured on the outlines: the ring's tooth space on its pitch circle is its mating pinion's
// tooth thickness, and a space and a tooth fill one pitch.
TEST(RingGear, ToothSpaceIsTheMatingPinionsToothThickness)
{
    const std::vector<OutlinePoint> ring = outlineOf(pinionCutGear({60, 0, true, 25, 0}, 1e-6));
    const double space = arcAcross(ring, 30, probePi / 60);
    EXPECT_NEAR(space, arcAcross(outlineOf(pinionCutGear({37, 0, false, 25, 0}, 1e-6)), 18.5, 0), 1e-5);
    EXPECT_NEAR(space + arcAcross(ring, 30, 0), probePi, 1e-5);
}

// A standard ring gear (x = 0, ha* = 1, hf* = 1.25) by the KHK Gear Technical Reference's
// internal gear formulas da2 = d2 − 2m and df2 = da2 + 2h, h = 2.25m: for z = 60 and m = 2,
// da2 = 116 mm and df2 = 125 mm. Measured on the outline too.
TEST(RingGear, TextbookTipAndRootDiameters)
{
    GearParameters g = pinionCutGear({60, 0, true, 25, 0});
    g.module = 2;
    GearNumbers n{};
    double smallest = INFINITY, largest = 0;
    for (const OutlinePoint& p : outlineOf(g, &n))
        smallest = std::min(smallest, std::hypot(p.at.x, p.at.y)), largest = std::max(largest, std::hypot(p.at.x, p.at.y));
    EXPECT_NEAR(n.tipDiameter, 116, 1e-12);
    EXPECT_NEAR(n.rootDiameter, 125, 1e-12);
    EXPECT_NEAR(2 * smallest, 116, 1e-9);
    EXPECT_NEAR(2 * largest, 125, 1e-9);
}

// The face of each gear as loops, simple polygons without NaN: a ring is a counter-clockwise
// rim circle (da + 6m unless given) round a clockwise toothed hole.
TEST(GearLoops, SimpleLoopsAroundTheMaterial)
{
    for (const Cut& c : {Cut{10, 0, false, 25, 0}, Cut{40, 0.1, true, 25, 0}, Cut{47, 0.3, true, 19, 0}}) {
        SCOPED_TRACE(describe(c));
        GearParameters g = pinionCutGear(c);
        g.rimDiameter = c.z == 47 ? 60 : 0;
        std::vector<std::vector<OutlinePoint>> loops;
        std::string reason;
        GearNumbers n{};
        ASSERT_TRUE(computeGearLoops(g, &loops, &reason) && computeGearNumbers(g, &n, &reason)) << reason;
        ASSERT_EQ(loops.size(), c.internal ? 2u : 1u);
        const double rim = c.z == 47 ? 30 : n.tipDiameter / 2 + 3;
        double area[2] = {0, 0};
        for (std::size_t k = 0; k < loops.size(); ++k) {
            EXPECT_FALSE(selfIntersecting(loops[k]));
            for (std::size_t i = 0; i < loops[k].size(); ++i) {
                const Vec2 a = loops[k][i].at, b = loops[k][(i + 1) % loops[k].size()].at;
                ASSERT_TRUE(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(loops[k][i].roll));
                area[k] += (a.x * b.y - b.x * a.y) / 2;
                const double radius = std::hypot(a.x, a.y), chord = std::hypot(b.x - a.x, b.y - a.y);
                if (k == 1) {
                    EXPECT_NEAR(radius, rim, 1e-12);
                    EXPECT_LE(rim - std::sqrt(rim * rim - chord * chord / 4), g.tolerance);  // the sagitta
                } else if (c.internal) {
                    EXPECT_LT(radius, rim);  // the hole within the rim
                }
            }
        }
        EXPECT_EQ(area[0] > 0, !c.internal);
        EXPECT_NEAR(area[1], c.internal ? probePi * rim * rim : 0, probePi * rim * rim * 1e-4);
    }
}

TEST(PinionCutRefusals, EachReasonNamesWhatIsWrong)
{
    struct Refused {
        Cut cut;
        double tipRadius, rim;
        const char* says;
    };
    for (const Refused& r : {Refused{{30, 0, true, 30, 0}, 0.25, 0, "more teeth than its cutter"},
                             Refused{{30, 0, true, 12, 0}, 0.25, 0, "inside its base circle"},
                             Refused{{40, 0, true, 12, 0}, 0.25, 0, "past the cutter's interference point"},
                             Refused{{60, 0, false, 12, 0}, 0.25, 0, "past the cutter's interference point"},
                             Refused{{30, 0, false, 25, 0}, 0.38, 0, "tip roundings overlap"},
                             Refused{{60, 0, true, 25, 0}, 0.25, 62, "rim"},
                             Refused{{20, 0, false, 2, 0}, 0.25, 0, "root circle lies at or inside its centre"}}) {
        GearParameters g = pinionCutGear(r.cut);
        g.pinionCutter.tipRadius = r.tipRadius, g.rimDiameter = r.rim;
        std::vector<std::vector<OutlinePoint>> loops;
        std::string reason;
        EXPECT_FALSE(computeGearLoops(g, &loops, &reason)) << describe(r.cut);
        EXPECT_NE(reason.find(r.says), std::string::npos) << describe(r.cut) << ": " << reason;
    }
    GearParameters ringByRack = defaultGearParameters(60);
    ringByRack.internal = true;
    std::string reason;
    GearNumbers n{};
    EXPECT_FALSE(computeGearNumbers(ringByRack, &n, &reason));
    EXPECT_NE(reason.find("pinion cutter"), std::string::npos) << reason;
}

}  // namespace
