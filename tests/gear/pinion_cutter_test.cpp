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

std::vector<OutlinePoint> outlineOf(const GearParameters& g, GearNumbers* numbers = nullptr)
{
    std::vector<OutlinePoint> outline;
    std::string reason;
    GearNumbers n{};
    EXPECT_TRUE(computeGearNumbers(g, &n, &reason)) << reason;
    EXPECT_TRUE(computeGearOutline(g, &outline, &reason)) << reason;
    if (numbers) *numbers = n;
    return outline;
}

// Undercut, shifted, a shifted cutter, a cutter larger than the gear; rings of several tooth
// differences, shifted either way.
const Cut cuts[] = {{10, 0, false, 25, 0},  {17, 0.3, false, 19, 0}, {23, -0.1, false, 31, 0.2},
                    {41, 0.2, false, 76, -0.1}, {60, 0, true, 25, 0},   {47, 0.3, true, 19, 0},
                    {71, 0.2, true, 31, 0.1}, {90, -0.1, true, 62, 0}};

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
}

// A second generation: every outline point of tooth 0 and its spaces lies on the edge of
// what the cutter sweeps as a solid: a hair out into the space is cut, a hair into the
// material is not. The right of the walk is the space for both gears, the ring's outline
// running clockwise round the hole.
TEST(SweptPinionCutter, EveryPointOfAToothLiesOnTheEdgeOfTheCut)
{
    {
        for (const Cut& c : cuts) {
            SCOPED_TRACE(describe(c));
            const GearParameters g = pinionCutGear(c);
            const ProbeCutter cutter = probeCutter(g);
            const std::vector<OutlinePoint> outline = outlineOf(g);
            const std::size_t perTooth = outline.size() / c.z;
            constexpr double hair = 2e-3;
            for (std::size_t i = 0; i < perTooth; ++i) {
                const Vec2 a = outline[(i + outline.size() - 1) % outline.size()].at, b = outline[i + 1].at;
                const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
                const Vec2 p = outline[i].at, out{dy / length, -dx / length};
                EXPECT_TRUE(cutByPinion(cutter, {p.x + hair * out.x, p.y + hair * out.y})) << "point " << i;
                EXPECT_FALSE(cutByPinion(cutter, {p.x - hair * out.x, p.y - hair * out.y})) << "point " << i;
            }
        }
    }
}

}  // namespace
