// The cutter at a roll and the meshing pair: what the lab draws, checked against the
// outline, the swept cutter and the two outlines set side by side.
#include "gear.h"
#include "pinion_probe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

GearParameters gearOf(int z, double shift, const char* rack, double tolerance = defaultTolerance)
{
    GearParameters g = defaultGearParameters(z);
    g.shift = shift;
    g.tolerance = tolerance;
    EXPECT_TRUE(basicRackNamed(rack, &g.rack));
    return g;
}


// Every side of the rack or pinion cutter, every 0.01 of a roll: a contact lies on the cutter
// drawn at that roll and on the edge of the cutter's solid; kept, it lies on the finished
// outline; not kept, it is cut away later.
TEST(CutterAtARoll, ContactsLieOnTheCutterAndOnTheOutlineOrAreCutAway)
{
    for (const GearParameters& g : {gearOf(10, 0, "A"), gearOf(8, 0, "straight"), gearOf(27, 0.4, "D"),
                                    pinionCutGear(11, 0, false), pinionCutGear(60, 0, true), pinionCutGear(67, 0.2, true, 38, -0.1)}) {
        SCOPED_TRACE(testing::Message() << "z " << g.teeth << (g.cutter == CutterKind::rack ? " rack" : " pinion cutter"));
        GearNumbers n{};
        const std::vector<OutlinePoint> outline = outlineOf(g, &n);
        const CutterProbe cutter(g);
        int kept = 0, lost = 0, rounding = 0;
        for (double roll = -1.2; roll <= 1.2; roll += 0.01) {
            const std::vector<RackPoint> drawn = cutterOutlineAt(g, roll, -3, 2);
            for (int tooth = -3; tooth <= 2; ++tooth) {
                for (int i = 0; i < 4; ++i) {
                    const FlankSide side = i % 2 ? FlankSide::counterClockwise : FlankSide::clockwise;
                    const RackContact c = cutterContactAt(g, roll, tooth, side, i < 2 ? RackPart::flank : RackPart::tipRounding);
                    if (!c.touching) continue;
                    EXPECT_LE(distanceToPolyline(drawn, c.at), g.tolerance) << roll;  // roundings are chords
                    EXPECT_NEAR(cutter.depthAt(roll, c.at), 0, 1e-9) << roll;
                    if (c.kept)
                        EXPECT_LT(distanceToOutline(outline, c.at), g.tolerance) << roll;
                    else
                        EXPECT_TRUE(cutter.cuts(c.at)) << roll;
                    (c.kept ? kept : lost)++;
                    rounding += c.part == RackPart::tipRounding;
                }
            }
        }
        EXPECT_GT(kept, 100);
        EXPECT_GT(rounding, 10);
        if (n.undercut) {
            EXPECT_GT(lost, 10);  // the flank's lowest contacts do not last
        }
    }
}

// Each outline point's roll is when the cutter's edge passes through it: the cutter drawn
// from its shape alone touches the point then (and only passes over the tip land).
TEST(CutterAtARoll, EachOutlinePointIsTouchedByTheCutterAtItsRoll)
{
    for (const GearParameters& g : {gearOf(10, 0, "A"), gearOf(9, 0.1, "straight"), gearOf(33, -0.3, "C"),
                                    pinionCutGear(14, 0.1, false, 21), pinionCutGear(59, -0.1, true)}) {
        SCOPED_TRACE(testing::Message() << "z " << g.teeth << (g.cutter == CutterKind::rack ? " rack" : " pinion cutter"));
        const CutterProbe cutter(g);
        const std::vector<OutlinePoint> outline = outlineOf(g);
        for (std::size_t i = 0; i < 3 * outline.size() / g.teeth; ++i) {  // teeth 0, 1 and 2
            const OutlinePoint& p = outline[i];
            const double depth = cutter.depthAt(p.roll, p.at);
            if (p.part == OutlinePart::tip) {
                EXPECT_LT(depth, 1e-9) << i;
            } else {
                EXPECT_NEAR(depth, 0, 1e-9) << i;
            }
        }
    }
}

TEST(RackAtARoll, InterferencePointLiesOnTheBaseCircleAndTheLineOfAction)
{
    const GearParameters g = gearOf(11, 0.2, "B");
    const double r = 5.5, rb = r * std::cos(g.pressureAngle);
    for (double roll : {-0.4, 0.0, 0.3}) {
        const RackLimits limits = rackLimitsAt(g, roll);
        EXPECT_NEAR(std::hypot(limits.interferencePoint.x, limits.interferencePoint.y), rb, 1e-12);
        // The flank limit line is the rack's line h below its reference: r + x·m − h from the centre.
        const Vec2 a = limits.flankLimitStart, b = limits.flankLimitEnd;
        GearNumbers n{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(g, &n, &reason));
        EXPECT_NEAR(std::fabs(a.x * b.y - a.y * b.x) / std::hypot(b.x - a.x, b.y - a.y), r + 0.2 - n.flankDepth, 1e-12);
        // A straight-flank contact of the clockwise flanks lies on the line from the pitch point through N.
        for (int tooth = -1; tooth <= 1; ++tooth) {
            const RackContact c = rackContactAt(g, roll, tooth, FlankSide::clockwise);
            if (!c.touching || c.part != RackPart::flank) continue;
            const Vec2 pitchPoint{r * std::sin(roll), r * std::cos(roll)};
            const Vec2 n1 = limits.interferencePoint;
            EXPECT_NEAR((c.at.x - n1.x) * (pitchPoint.y - n1.y) - (c.at.y - n1.y) * (pitchPoint.x - n1.x), 0, 1e-9);
        }
    }
}

bool insidePolygon(const std::vector<OutlinePoint>& polygon, const Vec2& p)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Vec2 a = polygon[i].at, b = polygon[j].at;
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

std::vector<OutlinePoint> placed(std::vector<OutlinePoint> outline, double turn, const Vec2& centre)
{
    for (OutlinePoint& p : outline)
        p.at = {centre.x + p.at.x * std::cos(turn) - p.at.y * std::sin(turn),
                centre.y + p.at.x * std::sin(turn) + p.at.y * std::cos(turn)};
    return outline;
}

// The run of outline points within reach of p: the part of an outline that can meet the other gear.
std::vector<OutlinePoint> near(const std::vector<OutlinePoint>& outline, const Vec2& p, double reach)
{
    std::size_t first = 0;
    while (std::hypot(outline[first].at.x - p.x, outline[first].at.y - p.y) < reach) ++first;  // start outside
    std::vector<OutlinePoint> run;
    for (std::size_t k = 0; k < outline.size(); ++k) {
        const OutlinePoint& q = outline[(first + k) % outline.size()];
        if (std::hypot(q.at.x - p.x, q.at.y - p.y) < reach) run.push_back(q);
        else if (!run.empty()) break;
    }
    return run;
}

// Set side by side at the working centre distance, the two outlines touch without backlash
// and neither enters the other, whatever the turn.
TEST(MeshingPair, OutlinesTouchWithoutOverlapAtTheWorkingCentreDistance)
{
    const GearParameters g = gearOf(13, 0.3, "B", 1e-5);
    GearParameters mate = g;
    mate.teeth = 29;
    mate.shift = -0.1;
    GearPair pair{};
    std::string reason;
    ASSERT_TRUE(computeGearPair(g, mate.teeth, mate.shift, &pair, &reason)) << reason;
    const std::vector<OutlinePoint> gear = outlineOf(g), other = outlineOf(mate);
    for (double turn : {0.0, 0.07, 0.19}) {
        const std::vector<OutlinePoint> a = placed(gear, turn, {0, 0});
        const std::vector<OutlinePoint> b = placed(other, pair.mateTurn - turn * 13 / 29, pair.mateCentre);
        const std::vector<OutlinePoint> nearA = near(a, pair.pitchPoint, 5), nearB = near(b, pair.pitchPoint, 5);
        double closest = INFINITY;
        for (const auto& [from, to, nearTo] : {std::tuple{&nearA, &b, &nearB}, std::tuple{&nearB, &a, &nearA}}) {
            for (const OutlinePoint& p : *from) {
                const double d = distanceToOutline(*nearTo, p.at);
                closest = std::min(closest, d);
                if (insidePolygon(*to, p.at)) {
                    EXPECT_LT(d, 1e-5) << "turn " << turn;
                }
            }
        }
        EXPECT_LT(closest, 1e-3) << "turn " << turn;
    }
}

TEST(MeshingPair, PathOfContactRunsBetweenTheTipCirclesOnTheLineOfAction)
{
    struct Case {
        int z1, z2;
        double x1, x2;
        bool interferenceGear, interferenceMate;
    };
    for (const Case& c : {Case{20, 31, 0, 0, false, false}, Case{10, 60, 0, 0, true, false},
                          Case{60, 9, 0.2, 0, false, true}, Case{14, 17, 0.5, 0.3, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2);
        const GearParameters g = gearOf(c.z1, c.x1, "straight");
        GearPair p{};
        std::string reason;
        ASSERT_TRUE(computeGearPair(g, c.z2, c.x2, &p, &reason)) << reason;
        const double m = 1, ra1 = c.z1 / 2.0 + m * (1 + c.x1), ra2 = c.z2 / 2.0 + m * (1 + c.x2);
        const Vec2 n1 = p.interferenceGearPoint, n2 = p.interferenceMatePoint, o2 = p.mateCentre;
        const Vec2 along{(n2.x - n1.x) / std::hypot(n2.x - n1.x, n2.y - n1.y), (n2.y - n1.y) / std::hypot(n2.x - n1.x, n2.y - n1.y)};
        EXPECT_NEAR(n1.x * along.x + n1.y * along.y, 0, 1e-12);  // O1N1 square to the line
        EXPECT_NEAR((n2.x - o2.x) * along.x + (n2.y - o2.y) * along.y, 0, 1e-12);
        EXPECT_NEAR(std::hypot(n1.x, n1.y) + std::hypot(n2.x - o2.x, n2.y - o2.y), p.centreDistance * std::cos(p.workingPressureAngle), 1e-12);
        EXPECT_NEAR(std::hypot(p.contactEnd.x, p.contactEnd.y), ra1, 1e-12);
        EXPECT_NEAR(std::hypot(p.contactStart.x - o2.x, p.contactStart.y - o2.y), ra2, 1e-12);
        const double start = (p.contactStart.x - n1.x) * along.x + (p.contactStart.y - n1.y) * along.y;
        const double end = (p.contactEnd.x - n1.x) * along.x + (p.contactEnd.y - n1.y) * along.y;
        EXPECT_NEAR((end - start) / (3.14159265358979 * std::cos(g.pressureAngle)), p.contactRatio, 1e-9);
        EXPECT_EQ(p.interferenceGear, start < 0);
        EXPECT_EQ(p.interferenceMate, end > std::hypot(n2.x - n1.x, n2.y - n1.y));
        EXPECT_EQ(p.interferenceGear, c.interferenceGear);
        EXPECT_EQ(p.interferenceMate, c.interferenceMate);
    }
}

// The effective contact ratio measured by turning the two outlines: the stretch of the line of
// action on which an involute point of one outline meets an involute point of the other, over
// a whole angular pitch, divided by the base pitch.
TEST(MeshingPair, TheEffectiveContactRatioIsWhereInvoluteTouchesInvolute)
{
    struct Case {
        int z1, z2;
        const char* rack;
    };
    for (const Case& c : {Case{17, 31, "A"}, Case{10, 10, "A"}, Case{10, 3, "A"}, Case{12, 20, "straight"}}) {
        SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2 << " rack " << c.rack);
        const GearParameters g = gearOf(c.z1, 0, c.rack, 1e-5);
        GearParameters mate = g;
        mate.teeth = c.z2;
        GearPair pair{};
        std::string reason;
        ASSERT_TRUE(computeGearPair(g, c.z2, 0, &pair, &reason)) << reason;
        const std::vector<OutlinePoint> gear = outlineOf(g), other = outlineOf(mate);
        const Vec2 n1 = pair.interferenceGearPoint, n2 = pair.interferenceMatePoint, o2 = pair.mateCentre;
        const double length = std::hypot(n2.x - n1.x, n2.y - n1.y);
        const Vec2 along{(n2.x - n1.x) / length, (n2.y - n1.y) / length};
        // The other gear's involute, as segments in its own frame.
        std::vector<OutlinePoint> otherInvolute;
        for (std::size_t k = 0; k < other.size(); ++k)
            if (other[k].part == OutlinePart::involute && other[(k + 1) % other.size()].part == OutlinePart::involute) {
                otherInvolute.push_back(other[k]);
                otherInvolute.push_back(other[(k + 1) % other.size()]);
            }
        // Each involute point of gear 1 crosses the line of action once, at √(r² − rb²) from N1,
        // when the gear has turned it there: does the other involute pass through it then?
        const double rb1 = std::hypot(n1.x, n1.y);
        double first = INFINITY, last = -INFINITY;
        // Near the base circle the points lie far apart along the line: every chord is walked
        // in sixteenths.
        std::vector<OutlinePoint> walked;
        for (std::size_t k = 0; k + 1 < gear.size(); ++k)
            if (gear[k].part == OutlinePart::involute && gear[k + 1].part == OutlinePart::involute)
                for (int j = 0; j < 16; ++j)
                    walked.push_back({{gear[k].at.x + (gear[k + 1].at.x - gear[k].at.x) * j / 16,
                                       gear[k].at.y + (gear[k + 1].at.y - gear[k].at.y) * j / 16},
                                      OutlinePart::involute, false, 0});
        for (const OutlinePoint& q : walked) {
            const double r = std::hypot(q.at.x, q.at.y);
            if (r <= rb1) continue;
            const double s = std::sqrt(r * r - rb1 * rb1);
            const Vec2 p{n1.x + s * along.x, n1.y + s * along.y};
            const double turn = std::atan2(p.y, p.x) - std::atan2(q.at.y, q.at.x);
            const double otherTurn = pair.mateTurn - turn * c.z1 / c.z2;
            const double dx = p.x - o2.x, dy = p.y - o2.y;
            const Vec2 local{dx * std::cos(-otherTurn) - dy * std::sin(-otherTurn), dx * std::sin(-otherTurn) + dy * std::cos(-otherTurn)};
            double best = INFINITY;
            for (std::size_t k = 0; k < otherInvolute.size() && best > 5e-5; k += 2) {
                const Vec2 a = otherInvolute[k].at, b = otherInvolute[k + 1].at;
                if (std::fabs(a.x - local.x) > 0.1 || std::fabs(a.y - local.y) > 0.1) continue;
                const double ex = b.x - a.x, ey = b.y - a.y;
                const double t = std::clamp(((local.x - a.x) * ex + (local.y - a.y) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
                best = std::min(best, std::hypot(a.x + t * ex - local.x, a.y + t * ey - local.y));
            }
            if (best > 5e-5) continue;
            first = std::min(first, s);
            last = std::max(last, s);
        }
        const double pb = probePi * std::cos(g.pressureAngle);
        ASSERT_LT(first, last);
        EXPECT_NEAR((last - first) / pb, pair.effectiveContactRatio, 0.005);
        if (!pair.gearFormCutsPath && !pair.mateFormCutsPath)
            EXPECT_DOUBLE_EQ(pair.effectiveContactRatio, pair.contactRatio);
        else
            EXPECT_LT(pair.effectiveContactRatio, pair.contactRatio - 0.05);
    }
}

TEST(MeshingPair, TeethThatWouldOverlapAreRefused)
{
    GearPair p{};
    std::string reason;
    EXPECT_FALSE(computeGearPair(gearOf(20, 1, "A"), 20, 1, &p, &reason));  // tips past the roots
    EXPECT_NE(reason.find("overlap"), std::string::npos) << reason;
    EXPECT_FALSE(computeGearPair(gearOf(100, -2.1, "A"), 100, -2.1, &p, &reason));  // no working angle
    EXPECT_NE(reason.find("overlap"), std::string::npos) << reason;
    EXPECT_FALSE(computeGearPair(gearOf(10, 0, "A"), 2, 0, &p, &reason));
    EXPECT_NE(reason.find("mate"), std::string::npos) << reason;
}

}  // namespace
