// A pinion inside a ring gear, and where the pinion cutter stands at a roll: what the lab
// draws, checked against the two outlines set together (turned, or slid in along the line of
// centres) and the circles they must lie on.
#include "gear.h"
#include "pinion_probe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Vec2 turned(const Vec2& p, double angle)
{
    return {p.x * std::cos(angle) - p.y * std::sin(angle), p.x * std::sin(angle) + p.y * std::cos(angle)};
}

// One gear's material near tooth 0: its outline from space middle to space middle, closed
// through the centre (external) or round the far side (a ring).
struct Material {
    int teeth;
    std::vector<Vec2> tooth, polygon;
    Material(const std::vector<OutlinePoint>& outline, int z, bool internal) : teeth(z)
    {
        for (std::size_t k = 0; k <= outline.size() / z; ++k)  // the ring's outline runs the other way round
            tooth.push_back(outline[internal && k > 0 ? outline.size() - k : k].at);
        polygon = tooth;
        if (internal) polygon.insert(polygon.end(), {{tooth.back().x * 9, tooth.back().y * 9}, {tooth[0].x * 9, tooth[0].y * 9}});
        else polygon.push_back({0, 0});
    }
    // How deep p lies in the material (0 outside): turned back onto tooth 0, its distance to the outline.
    double depth(Vec2 p) const
    {
        const double pitch = 2 * probePi / teeth;
        p = turned(p, -pitch * std::round(std::atan2(-p.x, p.y) / pitch));
        bool inside = false;
        for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
            const Vec2 a = polygon[i], b = polygon[j];
            if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
        }
        return inside ? distanceToPath(tooth, p) : 0;
    }
};

// A ring and a pinion inside it, cut by the standard cutter, as outlines in the pair frame.
struct PairOutlines {
    int z2, z1;
    InternalPair pair{};
    std::vector<OutlinePoint> ring, pinion;
    Material ringMaterial, pinionMaterial;
    PairOutlines(int z2_, double x2, int z1_, double x1)
        : z2(z2_), z1(z1_), ring(outlineOf(pinionCutGear(z2, x2, true, 25, 0, 1e-5))),
          pinion(outlineOf(pinionCutGear(z1, x1, false, 25, 0, 1e-5))), ringMaterial(ring, z2, true),
          pinionMaterial(pinion, z1, false)
    {
        std::string reason;
        EXPECT_TRUE(computeInternalPair(pinionCutGear(z2, x2, true), z1, x1, &pair, &reason)) << reason;
    }

    // The deepest either outline enters the other with the ring turned by φ and the pinion by
    // pinionTurn + φ·z2/z1 about its centre, the centre lowered by drop; and tip against tip
    // alone: outside the pinion's pitch circle and inside the ring's.
    struct Depths {
        double all = 0, tips = 0;
    };
    Depths overlap(double phi, double drop = 0) const
    {
        const double turn = pair.pinionTurn + phi * z2 / z1, r1 = z1 / 2.0, r2 = z2 / 2.0;
        const Vec2 centre{0, pair.centreDistance - drop};
        Depths d;
        const auto count = [&](const Vec2& inRing, const Vec2& inPinion, double depth) {
            d.all = std::max(d.all, depth);
            if (std::hypot(inPinion.x, inPinion.y) >= r1 && std::hypot(inRing.x, inRing.y) <= r2) d.tips = std::max(d.tips, depth);
        };
        for (const OutlinePoint& q : pinion) {
            const Vec2 w = turned(q.at, turn), inRing = turned({w.x + centre.x, w.y + centre.y}, -phi);
            if (std::hypot(inRing.x, inRing.y) > r2 - 1.1) count(inRing, q.at, ringMaterial.depth(inRing));
        }
        for (const OutlinePoint& q : ring) {
            const Vec2 w = turned(q.at, phi), inPinion = turned({w.x - centre.x, w.y - centre.y}, -turn);
            if (std::hypot(inPinion.x, inPinion.y) < r1 + 1.1) count(q.at, inPinion, pinionMaterial.depth(inPinion));
        }
        return d;
    }
    // The same while the pair turns through one ring pitch: every pair of teeth passes every phase.
    Depths turning() const
    {
        Depths deepest;
        for (int i = 0; i < 120; ++i) {
            const Depths d = overlap(2 * probePi / z2 * i / 120);
            deepest = {std::max(deepest.all, d.all), std::max(deepest.tips, d.tips)};
        }
        return deepest;
    }
};

constexpr double seen = 2e-4;  // an overlap this deep is no chord of the 1e-5 mm outlines

// Set together at the working centre distance the outlines touch without backlash and
// neither enters the other, whatever the turn; closed up by a hundredth they collide.
TEST(InternalPair, OutlinesTouchWithoutOverlapAtTheWorkingCentreDistance)
{
    for (const auto& [z2, x2, z1, x1] : {std::tuple{60, 0.8, 37, 0.0}, {53, 0.5, 41, -0.2}, {71, 0.8, 29, -0.2}}) {
        SCOPED_TRACE(testing::Message() << z1 << "/" << z2);
        PairOutlines p(z2, x2, z1, x1);
        EXPECT_TRUE(p.pair.involute.passed && p.pair.tip.passed) << p.pair.involute.reason << p.pair.tip.reason;
        EXPECT_LT(p.turning().all, 2e-5);
        p.pair.centreDistance += 0.01;
        EXPECT_GT(p.turning().all, 1e-3);
    }
}

// The path of contact runs on a line square to both centres' radii to N1 and N2, between
// the tip circles; here the ring's tips reach below the pinion's form circle, which cuts it.
TEST(InternalPair, PathOfContactRunsBetweenTheTipCirclesOnTheLineOfAction)
{
    InternalPair q{};
    GearNumbers n2{}, n1{};
    std::string reason;
    ASSERT_TRUE(computeInternalPair(pinionCutGear(57, 0.2, true), 31, -0.1, &q, &reason) &&
                computeGearNumbers(pinionCutGear(57, 0.2, true), &n2, &reason) &&
                computeGearNumbers(pinionCutGear(31, -0.1, false), &n1, &reason)) << reason;
    const Vec2 n1p = q.interferencePinionPoint, n2p = q.interferenceRingPoint, o1 = q.pinionCentre;
    const Vec2 along{(n1p.x - n2p.x) / std::hypot(n1p.x - n2p.x, n1p.y - n2p.y), (n1p.y - n2p.y) / std::hypot(n1p.x - n2p.x, n1p.y - n2p.y)};
    const auto at = [&](const Vec2& v) { return (v.x - n1p.x) * along.x + (v.y - n1p.y) * along.y; };
    const auto from = [](const Vec2& centre, const Vec2& v) { return std::hypot(v.x - centre.x, v.y - centre.y); };
    EXPECT_NEAR(n2p.x * along.x + n2p.y * along.y, 0, 1e-12);
    EXPECT_NEAR((n1p.x - o1.x) * along.x + (n1p.y - o1.y) * along.y, 0, 1e-12);
    EXPECT_NEAR(at(q.pitchPoint), from(n1p, q.pitchPoint), 1e-12);  // on the line, beyond N1
    EXPECT_NEAR(from({0, 0}, q.contactStart), n2.tipDiameter / 2, 1e-12);
    EXPECT_NEAR(from(o1, q.contactEnd), n1.tipDiameter / 2, 1e-12);
    EXPECT_NEAR((at(q.contactEnd) - at(q.contactStart)) / n2.basePitch, q.contactRatio, 1e-9);
    EXPECT_FALSE(q.involute.passed);
    EXPECT_NEAR(from(o1, q.effectiveStart), n1.formDiameter / 2, 1e-9);
    EXPECT_NEAR((at(q.effectiveEnd) - at(q.effectiveStart)) / n2.basePitch, q.effectiveContactRatio, 1e-9);
    EXPECT_LT(q.effectiveContactRatio, q.contactRatio - 0.01);
}

// Each interference against the outlines: flagged, the outlines collide there; passed, not.
// At 12 teeth the ring's tips run far past N1; unshifted, they reach into the pinion's fillet
// (its form circle lies too high); at 54 the pinion's tips catch the ring's; shifted out,
// the ring clears both. Slid in along the line of centres, 56 teeth collide and 55 not.
TEST(InternalPair, InterferencesAgreeWithTheOutlines)
{
    for (const auto& [x2, z1] : {std::pair{0.0, 12}, {0.0, 30}, {0.8, 37}, {0.0, 54}, {0.8, 55}, {0.8, 56}}) {
        SCOPED_TRACE(testing::Message() << z1 << "/60, ring shift " << x2);
        const PairOutlines p(60, x2, z1, 0);
        const InternalPair& q = p.pair;
        EXPECT_EQ(q.involute.reason.empty(), q.involute.passed);
        EXPECT_EQ(q.tip.reason.empty(), q.tip.passed);
        EXPECT_EQ(q.radial.reason.empty(), q.radial.passed);
        const PairOutlines::Depths d = p.turning();
        if (q.tip.passed) {
            EXPECT_EQ(d.all > seen, !q.involute.passed) << d.all;
        }
        EXPECT_EQ(d.tips > seen, !q.tip.passed) << d.tips;
        if (x2 == 0.8 && z1 >= 55) {
            // From the ring's centre, its tip circle clear of the ring's, to the meshing position.
            double deepest = 0;
            for (int i = 0; i <= 160; ++i) deepest = std::max(deepest, p.overlap(0, q.centreDistance * (1 - i / 160.0)).all);
            EXPECT_EQ(deepest > seen, !q.radial.passed) << deepest;
        }
    }
}

// The smallest tooth difference without tip interference for unshifted 20° gears of one
// module addendum, found twice: by the engine's check and by turning the outlines together.
// Computed here, not taken from a table: 9 for rings of 40 and 60 teeth, 8 for 90.
TEST(InternalPair, SmallestToothDifferenceWithoutTipInterference)
{
    for (int z2 : {40, 60, 90}) {
        int engine = 0, outlines = 0;
        for (int difference = 7; difference <= 12 && (engine == 0 || outlines == 0); ++difference) {
            const PairOutlines p(z2, 0, z2 - difference, 0);
            if (engine == 0 && p.pair.tip.passed) engine = difference;
            if (outlines == 0 && p.turning().tips < seen) outlines = difference;
        }
        EXPECT_GT(engine, 7) << "ring " << z2;  // seven teeth less always collide
        EXPECT_EQ(engine, outlines) << "ring " << z2;
    }
}

TEST(InternalPair, PairsThatCannotMeshAreRefused)
{
    InternalPair p{};
    std::string reason;
    for (const auto& [ring, z1, x1, says] :
         {std::tuple{pinionCutGear(60, 0, false), 30, 0.0, "internal"}, {pinionCutGear(60, 0, true), 60, 0.0, "fewer teeth"},
          {pinionCutGear(60, -0.3, true), 30, 0.5, "overlap"}, {pinionCutGear(60, 0, true), 2, 0.0, "pinion cannot be cut"}}) {
        EXPECT_FALSE(computeInternalPair(ring, z1, x1, &p, &reason)) << says;
        EXPECT_NE(reason.find(says), std::string::npos) << reason;
    }
}

// The cutter's place: its centre a_w0 from the gear's, turned by the roll; the pitch point
// on the line of centres on the rolling circle; N and N0 on the base circles and on one line
// with the pitch point, square to N's radius.
TEST(PinionCutterAtARoll, ThePlaceLiesOnTheLineOfCentresAndTheLineOfAction)
{
    for (bool internal : {false, true}) {
        GearNumbers n{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(pinionCutGear(internal ? 61 : 19, 0.15, internal), &n, &reason)) << reason;
        for (double roll : {-0.3, 0.45}) {
            const CutterPlace c = pinionCutterAt(pinionCutGear(internal ? 61 : 19, 0.15, internal), roll);
            const Vec2 o = c.centre, i = c.pitchPoint, n0 = c.cutterInterferencePoint, n1 = c.interferencePoint;
            EXPECT_NEAR(std::hypot(o.x, o.y), n.cuttingCentreDistance, 1e-12);
            EXPECT_NEAR(std::atan2(o.x, o.y), roll, 1e-12);
            EXPECT_NEAR(o.x * i.y - o.y * i.x, 0, 1e-12);
            EXPECT_NEAR(std::hypot(i.x - o.x, i.y - o.y), c.rollingRadius, 1e-12);
            EXPECT_NEAR(std::hypot(n1.x, n1.y), n.baseDiameter / 2, 1e-12);
            EXPECT_NEAR(std::hypot(n0.x - o.x, n0.y - o.y), c.baseRadius, 1e-12);
            EXPECT_NEAR((n0.x - n1.x) * (i.y - n1.y) - (n0.y - n1.y) * (i.x - n1.x), 0, 1e-9);
            EXPECT_NEAR((n0.x - n1.x) * n1.x + (n0.y - n1.y) * n1.y, 0, 1e-9);
        }
    }
}

}  // namespace
