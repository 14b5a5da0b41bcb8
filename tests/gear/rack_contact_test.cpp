// Both contacts of a rack side: every point reported as kept lies on the finished outline,
// and the straight flank and the tip rounding each cut their share of it.
#include "gear.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The distance from p to the closed outline.
double distanceTo(const std::vector<OutlinePoint>& outline, const Vec2& p)
{
    double best = INFINITY;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec2 a = outline[i].at, b = outline[(i + 1) % outline.size()].at;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

TEST(RackSideContacts, KeptPointsLieOnTheOutlineAndBothPartsCut)
{
    for (int teeth : {7, 10, 31}) {
        for (double shift : {0.0, 0.4}) {
            GearParameters gear = defaultGearParameters(teeth);
            gear.shift = shift;
            std::vector<OutlinePoint> outline;
            std::string reason;
            ASSERT_TRUE(computeGearOutline(gear, &outline, &reason)) << teeth << " " << shift << ": " << reason;
            int flank = 0, rounding = 0;
            const double centre = 3.14159265358979 / teeth;  // rack tooth 0 in the middle of its space
            for (int i = -400; i <= 400; ++i) {
                const double roll = centre + i * 0.6 / 400 * 10 / teeth;
                for (FlankSide side : {FlankSide::clockwise, FlankSide::counterClockwise}) {
                    const RackSideContacts both = rackSideContactsAt(gear, roll, 0, side);
                    EXPECT_EQ(both.flank.part, RackPart::flank);
                    EXPECT_EQ(both.rounding.part, RackPart::tipRounding);
                    for (const RackContact& c : {both.flank, both.rounding}) {
                        if (!c.touching || !c.kept) continue;
                        EXPECT_LT(distanceTo(outline, c.at), 2 * gear.tolerance) << teeth << " " << shift << " " << roll;
                        (c.part == RackPart::flank ? flank : rounding)++;
                    }
                }
            }
            EXPECT_GT(flank, 20) << teeth << " " << shift;
            EXPECT_GT(rounding, 5) << teeth << " " << shift;
        }
    }
}

TEST(RackSideContacts, AgreeWithTheOneContactOfThatSide)
{
    const GearParameters gear = defaultGearParameters(10);
    for (int i = -200; i <= 200; ++i) {
        const double roll = 0.314159 + i * 0.005;
        for (FlankSide side : {FlankSide::clockwise, FlankSide::counterClockwise}) {
            const RackContact one = rackContactAt(gear, roll, 0, side);
            const RackSideContacts both = rackSideContactsAt(gear, roll, 0, side);
            const RackContact& same = one.part == RackPart::flank ? both.flank : both.rounding;
            EXPECT_EQ(same.touching, one.touching);
            if (!one.touching) continue;
            EXPECT_EQ(same.kept, one.kept);
            EXPECT_DOUBLE_EQ(same.at.x, one.at.x);
            EXPECT_DOUBLE_EQ(same.at.y, one.at.y);
        }
    }
}

}  // namespace
