// The engine's limits at their edges: a gear just either side of each one, the limit found by
// bisection and checked against a measure of its own (the rack swept as a solid, the textbook
// formulas written out here), so that a limit moved by a little shows.
#include "gear.h"
#include "outline_probe.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

constexpr double hair = 1e-6;

GearParameters gearOf(int z, double shift, const char* rack = "A", double degrees = 20)
{
    GearParameters g = defaultGearParameters(z);
    g.shift = shift;
    g.pressureAngle = degrees * probePi / 180;
    EXPECT_TRUE(basicRackNamed(rack, &g.rack));
    return g;
}

std::string verdict(const GearParameters& g)
{
    GearNumbers n{};
    std::string reason;
    return computeGearNumbers(g, &n, &reason) ? "" : reason;
}

// The value in [low, high] where holds(value) changes, to within 1e-9.
double boundary(double low, double high, const std::function<bool(double)>& holds)
{
    const bool atLow = holds(low);
    EXPECT_NE(atLow, holds(high)) << "no change between " << low << " and " << high;
    for (int i = 0; i < 60; ++i) {
        const double mid = 0.5 * (low + high);
        (holds(mid) == atLow ? low : high) = mid;
    }
    return 0.5 * (low + high);
}

double inv(double a) { return std::tan(a) - a; }

// A severed tooth: the shift at which small gears start to be refused is exactly where the rack,
// swept over the blank, first cuts through the tooth's centre line.
TEST(Limits, AToothIsRefusedExactlyWhereTheSweptRackCutsThroughItsCentreLine)
{
    for (int z : {3, 4, 6, 8}) {
        SCOPED_TRACE(testing::Message() << "z " << z);
        const auto severed = [&](double x) { return verdict(gearOf(z, x)).find("cuts through the tooth") != std::string::npos; };
        double low = 0;
        while (!severed(low) && low > -z / 2.0) low -= 0.01;
        ASSERT_TRUE(severed(low)) << "never severed above the root limit";
        const double limit = boundary(low, 0, severed);
        const auto centreLineCut = [&](double x) {
            const GearParameters g = gearOf(z, x);
            const double rf = g.module * (z / 2.0 - g.rack.dedendum + x), ra = g.module * (z / 2.0 + g.rack.addendum + x);
            for (int i = 1; i < 200; ++i)
                if (cutByRack(g, {0, rf + (ra - rf) * i / 200})) return true;
            return false;
        };
        EXPECT_TRUE(centreLineCut(limit - 1e-3)) << limit;
        EXPECT_FALSE(centreLineCut(limit + 1e-3)) << limit;
        // And the outline just inside the limit is a simple polygon.
        GearParameters kept = gearOf(z, limit + 1e-4);
        std::vector<OutlinePoint> outline;
        std::string reason;
        ASSERT_TRUE(computeGearOutline(kept, &outline, &reason)) << reason;
        EXPECT_FALSE(selfIntersecting(outline)) << z;
    }
}

// Pointed below 0.2 m of tip thickness, from sa = da (s/d + inv α − inv αa) written out here.
TEST(Limits, PointedExactlyBelowAFifthOfAModuleOfTip)
{
    for (int z : {8, 15, 40}) {
        const auto tip = [&](double x) {
            const GearParameters g = gearOf(z, x);
            const double d = z, db = d * std::cos(g.pressureAngle), da = d + 2 * (1 + x);
            const double s = probePi / 2 + 2 * x * std::tan(g.pressureAngle);
            return da * (s / d + inv(g.pressureAngle) - inv(std::acos(db / da)));
        };
        const double limit = boundary(0, 2, [&](double x) { return tip(x) < 0.2; });
        for (double x : {limit - hair, limit + hair}) {
            GearNumbers n{};
            std::string reason;
            ASSERT_TRUE(computeGearNumbers(gearOf(z, x), &n, &reason)) << reason;
            EXPECT_EQ(n.pointed, x > limit) << "z " << z << " x " << x;
        }
    }
}

// Interference: the mate's tip passes N1 when it reaches farther from the mate's centre than
// N1 does, |O2 N1|² = rb2² + (a_w sin α_w)², with α_w and a_w worked out here.
TEST(Limits, InterferenceIsReportedFromTheFirstHairPastN)
{
    for (int z : {9, 12}) {
        const int mate = 40;
        const auto mateTipPastN1 = [&](double x1) {
            const double a = 20 * probePi / 180, invW = inv(a) + 2 * std::tan(a) * x1 / (z + mate);
            double w = 0.5;
            for (int i = 0; i < 100; ++i) w -= (inv(w) - invW) / (std::tan(w) * std::tan(w));
            const double aw = (z + mate) * std::cos(a) / (2 * std::cos(w));
            const double rb2 = mate * std::cos(a) / 2, ra2 = mate / 2.0 + 1;
            return ra2 * ra2 > rb2 * rb2 + aw * aw * std::sin(w) * std::sin(w);
        };
        const double limit = boundary(0, 1, mateTipPastN1);
        for (double x : {limit - hair, limit + hair}) {
            GearPair pair{};
            std::string reason;
            ASSERT_TRUE(computeGearPair(gearOf(z, x), mate, 0, &pair, &reason)) << reason;
            EXPECT_EQ(pair.interferenceGear, mateTipPastN1(x)) << "z " << z << " x " << x;
        }
    }
}

// The involute must run between the rack's straight-flank end and the tip: the straight flank's
// lowest contact lies (x·m − h)/sin α past the pitch point on the line of action.
TEST(Limits, RefusedWhereTheStraightFlankEndsAboveTheTip)
{
    GearParameters g = gearOf(40, 1, "straight", 10);
    g.rack = {0.2, 0.3, 0};
    const double a = g.pressureAngle, r = 20, rb = r * std::cos(a);
    const auto formAboveTip = [&](double x) {
        const double roll = r * std::sin(a) + (x - 0.3) / std::sin(a);
        return std::sqrt(rb * rb + roll * roll) >= r + 0.2 + x;
    };
    const double limit = boundary(1, 1.5, formAboveTip);
    for (double x : {limit - hair, limit + hair}) {
        g.shift = x;
        EXPECT_EQ(verdict(g).find("no involute flank is left") != std::string::npos, formAboveTip(x)) << x;
    }
}

// The span: k puts the calipers' contact, W_k/2 along the line of action from the base circle,
// nearest the circle of radius r + x·m, with W_k = m cos α (π (k − ½) + z inv α) + 2 x m sin α.
TEST(Limits, TheSpanCountIsTheOneWhoseContactLiesNearestTheShiftedPitchCircle)
{
    int checked = 0;
    for (int z = 17; z <= 120; z += 7)
        for (double x = 0; x <= 0.8; x += 0.1) {
            GearNumbers n{};
            std::string reason;
            const GearParameters g = gearOf(z, x);
            ASSERT_TRUE(computeGearNumbers(g, &n, &reason)) << reason;
            const double a = g.pressureAngle, rb = z * std::cos(a) / 2, rx = z / 2.0 + x;
            const double wanted = std::sqrt(rx * rx - rb * rb);  // along the line of action
            const auto offBy = [&](int k) {
                const double w = std::cos(a) * (probePi * (k - 0.5) + z * inv(a)) + 2 * x * std::sin(a);
                return std::fabs(w / 2 - wanted);
            };
            EXPECT_LE(offBy(n.spanTeeth), offBy(n.spanTeeth - 1)) << "z " << z << " x " << x;
            EXPECT_LE(offBy(n.spanTeeth), offBy(n.spanTeeth + 1)) << "z " << z << " x " << x;
            ++checked;
        }
    EXPECT_GT(checked, 100);
}

TEST(Limits, TheMostTeethAndTheOutlinesPointsAreJudgedBeforeSampling)
{
    GearParameters g = gearOf(mostTeeth, 0);
    g.tolerance = 0.01;
    EXPECT_EQ(verdict(g), "");
    g.teeth = mostTeeth + 1;
    EXPECT_NE(verdict(g), "");

    // The estimate made before sampling is near the count sampling gives, so refusing beyond
    // twice the limit never refuses an outline that would have fitted.
    for (const GearParameters& e : {gearOf(10, 0), gearOf(7, 0.5, "C", 14.5), gearOf(31, -0.2, "straight"),
                                    gearOf(200, 0.3, "C", 25), gearOf(4, 0.1, "B")}) {
        for (double tolerance : {1e-2, 1e-4, 1e-6}) {
            GearParameters t = e;
            t.tolerance = tolerance;
            std::vector<OutlinePoint> outline;
            std::string reason;
            ASSERT_TRUE(computeGearOutline(t, &outline, &reason)) << reason;
            const double ratio = estimateOutlinePoints(t) / outline.size();
            EXPECT_GT(ratio, 0.6) << e.teeth << " " << tolerance;
            EXPECT_LT(ratio, 2.0) << e.teeth << " " << tolerance;
            // A caller's own smaller limit refuses it, saying to use a larger tolerance.
            EXPECT_FALSE(computeGearOutline(t, &outline, &reason, static_cast<long>(outline.size() / 2)));
            EXPECT_NE(reason.find("use a larger tolerance"), std::string::npos) << reason;
        }
    }
}

}  // namespace
