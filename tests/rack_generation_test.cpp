// The rack generation: worked values by tooth count, the geometry every table must obey,
// the join of undercut and involute, and the clip at the tip circle.
#include "rack_generation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

RackTables tables;  // large: one shared instance

double radius(const RackGear& g, const Point2& p) { return std::hypot(p.x, p.y + g.pitchRadius); }

int generate(int z, RackGear* gear = nullptr)
{
    const RackGear g = makeRackGear(z);
    if (gear) *gear = g;
    return generateRackTables(g, rollSteps(g), &tables);
}

struct WorkedCase {
    int z;
    int addendumLast, dedendumLast, involuteLast;
    bool crossing;
    int leaving;      // undercut segment of the crossing, or where the closest-approach walk stopped
    int involuteSeg;  // involute segment of the crossing (crossing only)
    int profileLast;
};

class WorkedValues : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(WorkedValues, TableLengthsAndJoinMatchTheTable)
{
    const WorkedCase w = GetParam();
    const int leaving = generate(w.z);
    EXPECT_EQ(tables.addendumLast, w.addendumLast);
    EXPECT_EQ(tables.dedendumLast, w.dedendumLast);
    EXPECT_EQ(tables.involuteLast, w.involuteLast);
    EXPECT_EQ(tables.undercutLast, 250);
    EXPECT_EQ(leaving, w.leaving);
    EXPECT_EQ(tables.profileLast, w.profileLast);
    if (w.crossing) {
        // The profile keeps U[0 … i] and goes on with T[j + 1 …]: nothing inserted between.
        EXPECT_EQ(w.profileLast, w.leaving + w.involuteLast - w.involuteSeg);
        EXPECT_DOUBLE_EQ(tables.toothProfile[w.leaving].x, tables.undercutCurve[w.leaving].x);
        EXPECT_DOUBLE_EQ(tables.toothProfile[w.leaving + 1].x,
                         tables.involuteProfile[w.involuteSeg + 1].x);
    } else {
        EXPECT_DOUBLE_EQ(tables.toothProfile[w.leaving].y, tables.involuteProfile[0].y);
        EXPECT_DOUBLE_EQ(tables.toothProfile[w.leaving - 1].y, tables.undercutCurve[w.leaving - 1].y);
    }
}

INSTANTIATE_TEST_SUITE_P(ByToothCount, WorkedValues,
                         ::testing::Values(WorkedCase{3, 221, 63, 284, true, 214, 106, 392},
                                           WorkedCase{10, 87, 67, 154, true, 117, 25, 246},
                                           WorkedCase{17, 56, 69, 125, true, 79, 4, 200},
                                           WorkedCase{19, 52, 69, 121, true, 71, 0, 192},
                                           WorkedCase{20, 49, 69, 118, false, 70, 0, 188},
                                           WorkedCase{30, 35, 52, 87, false, 47, 0, 134},
                                           WorkedCase{100, 12, 16, 28, false, 13, 0, 41}),
                         [](const auto& info) { return "z" + std::to_string(info.param.z); });

TEST(RackGear, OddToothCountGivesARealPitchRadius)
{
    const RackGear g = makeRackGear(3);
    EXPECT_EQ(g.pitchRadius, 1.5);
    EXPECT_EQ(g.tipRadius, 2.5);
    EXPECT_EQ(g.gearCentre.y, -1.5);
    EXPECT_NEAR(g.baseRadius, 1.5 * std::cos(gearPi / 9), 1e-15);
    EXPECT_NEAR(g.undercutStartRoll, 1.25 * std::tan(gearPi / 9) / 1.5, 1e-15);
}

TEST(RackFlankPoint, AtRollZeroEverythingIsThePitchPoint)
{
    const RackGear g = makeRackGear(20);
    Point2 p{1, 1}, q{1, 1};
    double s = 1;
    rackFlankPoint(g, 0.0, &p, &q, &s);
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0.0);
    EXPECT_EQ(q.x, 0.0);
    EXPECT_EQ(q.y, 0.0);
    EXPECT_EQ(s, 0.0);
}

TEST(RackFlankPoint, FlankPointIsTheFootOfThePerpendicularFromThePitchContact)
{
    const RackGear g = makeRackGear(17);
    for (double t : {-0.3, -0.05, 0.02, 0.4}) {
        Point2 p, q;
        double s;
        rackFlankPoint(g, t, &p, &q, &s);
        const Point2 contact{g.pitchRadius * std::sin(t), g.pitchRadius * std::cos(t) - g.pitchRadius};
        const Point2 d{std::sin(t + g.pressureAngle), std::cos(t + g.pressureAngle)};
        EXPECT_NEAR((contact.x - q.x) * d.x + (contact.y - q.y) * d.y, 0.0, 1e-12) << t;
        // The reference point lies on the rack's pitch line, rp·t from the contact.
        EXPECT_NEAR(std::hypot(p.x - contact.x, p.y - contact.y), g.pitchRadius * std::fabs(t), 1e-12);
        // The tip corner lies on the same flank, one flank depth below the reference point.
        Point2 p2, k;
        rackTipPoint(g, t, &p2, &k);
        EXPECT_EQ(p2.x, p.x);
        EXPECT_NEAR(std::hypot(k.x - p.x, k.y - p.y), g.rackFlankDepth, 1e-12);
        EXPECT_NEAR((k.x - p.x) * d.y - (k.y - p.y) * d.x, 0.0, 1e-12);
    }
}

TEST(RackTables, EveryToothCountEndsOnTheTipCircleAndStartsOnTheRootCircle)
{
    for (int z : {1, 2, 3, 7, 10, 19, 20, 21, 57, 100, 401}) {
        RackGear g;
        generate(z, &g);
        const Point2 last = tables.involuteProfile[tables.involuteLast];
        EXPECT_NEAR(radius(g, last), g.tipRadius, 1e-9) << z;
        EXPECT_GE(radius(g, tables.addendumFlank[tables.addendumLast]), g.tipRadius) << z;
        EXPECT_LT(radius(g, tables.addendumFlank[tables.addendumLast - 1]), g.tipRadius) << z;
        EXPECT_EQ(tables.involuteProfile[tables.dedendumLast].x, 0.0) << z;
        EXPECT_EQ(tables.involuteProfile[tables.dedendumLast].y, 0.0) << z;
        EXPECT_NEAR(radius(g, tables.undercutCurve[0]), std::fabs(g.rootRadius), 1e-9) << z;
        EXPECT_EQ(tables.toothProfile[0].x, tables.undercutCurve[0].x) << z;
        EXPECT_EQ(tables.toothProfile[tables.profileLast].x, last.x) << z;
    }
}

TEST(RackTables, ToothCountTenStartsAndEndsWhereTheDrawingShowsIt)
{
    generate(10);
    EXPECT_EQ(tables.profileLast + 1, 247);
    EXPECT_NEAR(tables.toothProfile[0].x, -0.3408, 5e-5);
    EXPECT_NEAR(tables.toothProfile[0].y, -1.2655, 5e-5);
    EXPECT_NEAR(tables.toothProfile[246].x, 0.6474, 5e-5);
    EXPECT_NEAR(tables.toothProfile[246].y, 0.9650, 5e-5);
}

TEST(RackTables, RootSideStopsOnTheRackFlankForLargeGearsAndOnTheBaseCircleForSmallOnes)
{
    for (int z : {10, 20, 100}) {
        RackGear g;
        generate(z, &g);
        Point2 p, q;
        double s;
        rackFlankPoint(g, -0.005 * tables.dedendumLast, &p, &q, &s);
        const bool offTheFlank = std::fabs(s) >= g.rackFlankDepth;
        const bool atTheBaseCircle = radius(g, q) <= g.baseRadius + 0.002;
        EXPECT_EQ(offTheFlank, z == 100) << z;
        EXPECT_EQ(atTheBaseCircle, z != 100) << z;
    }
}

TEST(RackTables, EveryToothCountStaysWithinTheTables)
{
    // z = 1 needs the most room.
    generate(1);
    EXPECT_EQ(tables.addendumLast, 534);
    EXPECT_EQ(tables.involuteLast, 589);
    int largest = 0;
    for (int z = 1; z <= 2000; ++z) {
        generate(z);
        largest = std::max({largest, tables.involuteLast, tables.profileLast});
    }
    EXPECT_LE(largest, 600);
    for (int z : {65535, 1000000, 123456789, INT_MAX - 1, INT_MAX}) {
        RackGear g;
        generate(z, &g);
        EXPECT_GE(tables.addendumLast, 1) << z;
        EXPECT_LE(tables.involuteLast, 600) << z;
        EXPECT_LE(tables.profileLast, 600) << z;
        EXPECT_TRUE(std::isfinite(tables.toothProfile[tables.profileLast].x)) << z;
    }
}

TEST(ClipToTipCircle, MovesTheLastPointAlongTheLastSegmentOntoTheTipCircle)
{
    const RackGear g = makeRackGear(20);  // rp 10, ra 11: the circle x² + (y + 10)² = 121
    Point2 t[2] = {{0.0, 0.0}, {1.0, 2.0}};
    ASSERT_EQ(clipToTipCircle(g, 1, t), 1);
    EXPECT_NEAR(std::hypot(t[1].x, t[1].y + 10), 11, 1e-12);
    EXPECT_NEAR(t[1].y, 2 * t[1].x, 1e-12);  // still on the line y = 2x
    EXPECT_GT(t[1].x, 0);                      // the root on the tip side
    EXPECT_EQ(t[0].x, 0.0);
}

TEST(ClipToTipCircle, LeavesTheTableAloneWhenTheLineMissesTheCircle)
{
    const RackGear g = makeRackGear(20);
    Point2 t[2] = {{-20.0, 5.0}, {20.0, 5.0}};  // the line y = 5 passes above the circle
    EXPECT_EQ(clipToTipCircle(g, 1, t), 0);
    EXPECT_EQ(t[1].x, 20.0);
    EXPECT_EQ(t[1].y, 5.0);
}

TEST(ClipToTipCircle, AVerticalLastSegmentMeetsTheCircleStraightAbove)
{
    const RackGear g = makeRackGear(20);
    Point2 t[3] = {{-1.0, -1.0}, {3.0, 0.0}, {3.0, 1.5}};
    ASSERT_EQ(clipToTipCircle(g, 2, t), 1);
    EXPECT_EQ(t[2].x, 3.0);
    EXPECT_NEAR(t[2].y, std::sqrt(121.0 - 9.0) - 10.0, 1e-12);

    Point2 far[2] = {{12.0, 0.0}, {12.0, 1.0}};  // outside the circle altogether
    EXPECT_EQ(clipToTipCircle(g, 1, far), 0);
    EXPECT_EQ(far[1].y, 1.0);
}

TEST(JoinUndercut, FirstCrossingWinsAndTheCrossingPointIsNotInserted)
{
    // U runs up the y axis; T runs left to right across it twice (at segment 1 and 3).
    const Point2 U[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}};
    const Point2 T[] = {{-1, 1.5}, {-0.5, 1.5}, {0.5, 1.6}, {0.7, 1.4}, {-0.5, 1.3}, {-0.6, 1.0}};
    Point2 profile[16];
    int last = -1, leaving = -1;
    EXPECT_EQ(joinUndercut(3, U, 5, T, &last, profile, &leaving), 1);
    EXPECT_EQ(leaving, 1);             // undercut segment 1 (y from 1 to 2)
    EXPECT_EQ(last, 1 + 5 - 1);        // involute segment 1 is crossed first
    EXPECT_EQ(profile[1].y, 1.0);      // U[1] …
    EXPECT_EQ(profile[2].x, 0.5);      // … followed directly by T[2]
    EXPECT_EQ(profile[last].x, -0.6);
}

TEST(JoinUndercut, WithoutCrossingCutsWhereTheUndercutComesClosestToTheInvolute)
{
    const Point2 U[] = {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}};
    const Point2 T[] = {{1, 2.1}, {2, 3}};
    Point2 profile[16];
    int last = -1, leaving = -1;
    joinUndercut(4, U, 1, T, &last, profile, &leaving);
    EXPECT_EQ(leaving, 3);  // U[2] is closest; the walk stops at the first that is not closer
    EXPECT_EQ(last, 3 + 1);
    EXPECT_EQ(profile[2].y, 2.0);
    EXPECT_EQ(profile[3].x, 1.0);

    // Every undercut point closer than the one before: the whole curve is kept.
    const Point2 V[] = {{0, 0}, {0, 1}, {0, 2}};
    const Point2 W[] = {{0, 5}, {1, 6}};
    joinUndercut(2, V, 1, W, &last, profile, &leaving);
    EXPECT_EQ(leaving, 3);
    EXPECT_EQ(last, 4);
    EXPECT_EQ(profile[3].y, 5.0);
}

}  // namespace
