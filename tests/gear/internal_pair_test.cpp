// A pinion inside a ring gear, and where the pinion cutter stands at a roll: what the lab
// draws, checked against the two outlines set together (turned, or slid in along the line of
// centres) and the circles they must lie on.
#include "gear.h"
#include "pinion_probe.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

GearParameters ringOf(int z, double shift, double tolerance)
{
    GearParameters g = defaultGearParameters(z);
    g.shift = shift;
    g.tolerance = tolerance;
    g.cutter = CutterKind::pinion;
    g.internal = true;
    return g;
}

Vec2 turned(const Vec2& p, double angle)
{
    return {p.x * std::cos(angle) - p.y * std::sin(angle), p.x * std::sin(angle) + p.y * std::cos(angle)};
}

bool insidePolygon(const std::vector<Vec2>& polygon, const Vec2& p)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Vec2 a = polygon[i], b = polygon[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

// One gear's material, tooth by tooth: a point is turned back onto tooth 0 and tested against
// tooth 0's outline closed through the centre (external) or round the far side (a ring).
struct Material {
    int teeth;
    std::vector<Vec2> tooth;    // tooth 0's outline, space middle to space middle
    std::vector<Vec2> polygon;  // the same, closed round the material
};

Material materialOf(const std::vector<OutlinePoint>& outline, int z, bool internal)
{
    Material m{z, {}, {}};
    const std::size_t perTooth = outline.size() / z;
    for (std::size_t k = 0; k <= perTooth; ++k)  // the ring's outline runs the other way round
        m.tooth.push_back(outline[internal && k > 0 ? outline.size() - k : k].at);
    m.polygon = m.tooth;
    if (internal) {
        const Vec2 first = m.tooth.front(), last = m.tooth.back();
        m.polygon.push_back({last.x * 10, last.y * 10});
        m.polygon.push_back({first.x * 10, first.y * 10});
    } else {
        m.polygon.push_back({0, 0});
    }
    return m;
}

// How deep gear-frame point p lies in the material (0 outside): its distance to tooth 0's outline.
double depthIn(const Material& m, Vec2 p)
{
    const double pitch = 2 * probePi / m.teeth;
    p = turned(p, -pitch * std::round(std::atan2(-p.x, p.y) / pitch));
    if (!insidePolygon(m.polygon, p)) return 0;
    double best = INFINITY;
    for (std::size_t i = 0; i + 1 < m.tooth.size(); ++i) {
        const Vec2 a = m.tooth[i], b = m.tooth[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

// A ring of z2 teeth and a pinion of z1 inside it, as outlines in the pair frame.
struct PairOutlines {
    InternalPair pair;
    GearParameters ring, pinion;
    std::vector<OutlinePoint> ringOutline, pinionOutline;
    Material ringMaterial, pinionMaterial;
};

PairOutlines pairOf(int z2, double x2, int z1, double x1)
{
    PairOutlines p{};
    p.ring = ringOf(z2, x2, 1e-5);
    p.pinion = p.ring;
    p.pinion.internal = false;
    p.pinion.teeth = z1;
    p.pinion.shift = x1;
    std::string reason;
    EXPECT_TRUE(computeInternalPair(p.ring, z1, x1, &p.pair, &reason)) << reason;
    p.ringOutline = outlineOf(p.ring);
    p.pinionOutline = outlineOf(p.pinion);
    p.ringMaterial = materialOf(p.ringOutline, z2, true);
    p.pinionMaterial = materialOf(p.pinionOutline, z1, false);
    return p;
}

// How deep the outlines enter each other: tip against tip (outside the pinion's pitch circle
// and inside the ring's), or a tip deep in the other's flank or fillet.
struct Overlap {
    double tips = 0;
    double flanks = 0;
    void add(double depth, bool tipAgainstTip)
    {
        double& kind = tipAgainstTip ? tips : flanks;
        kind = std::max(kind, depth);
    }
    void add(const Overlap& o) { tips = std::max(tips, o.tips), flanks = std::max(flanks, o.flanks); }
    double deepest() const { return std::max(tips, flanks); }
};

// The overlap with the ring turned by φ and the pinion by pinionTurn + φ·z2/z1 about its
// centre, the centre lowered by drop. Only points among the other gear's teeth can be in it;
// tipsOnly looks at the tips alone.
Overlap overlap(const PairOutlines& p, double phi, double drop = 0, bool tipsOnly = false)
{
    const double pinionTurn = p.pair.pinionTurn + phi * p.ring.teeth / p.pinion.teeth;
    const Vec2 centre{0, p.pair.centreDistance - drop};
    const double r1 = p.pinion.module * p.pinion.teeth / 2, r2 = p.ring.module * p.ring.teeth / 2;
    const auto tipAgainstTip = [&](const Vec2& ringPoint, const Vec2& pinionPoint) {
        return std::hypot(pinionPoint.x, pinionPoint.y) >= r1 && std::hypot(ringPoint.x, ringPoint.y) <= r2;
    };
    const double ringTip = std::hypot(p.ringMaterial.tooth[p.ringMaterial.tooth.size() / 2].x,
                                      p.ringMaterial.tooth[p.ringMaterial.tooth.size() / 2].y);
    const double pinionTip = std::hypot(p.pinionMaterial.tooth[p.pinionMaterial.tooth.size() / 2].x,
                                        p.pinionMaterial.tooth[p.pinionMaterial.tooth.size() / 2].y);
    Overlap o;
    for (const OutlinePoint& q : p.pinionOutline) {
        if (tipsOnly && std::hypot(q.at.x, q.at.y) < r1) continue;
        const Vec2 w = turned(q.at, pinionTurn), at{w.x + centre.x, w.y + centre.y};
        if (std::hypot(at.x, at.y) > ringTip - 1e-3) o.add(depthIn(p.ringMaterial, turned(at, -phi)), tipAgainstTip(at, q.at));
    }
    for (const OutlinePoint& q : p.ringOutline) {
        if (tipsOnly && std::hypot(q.at.x, q.at.y) > r2) continue;
        const Vec2 w = turned(q.at, phi), local = turned({w.x - centre.x, w.y - centre.y}, -pinionTurn);
        if (std::hypot(local.x, local.y) < pinionTip + 1e-3) o.add(depthIn(p.pinionMaterial, local), tipAgainstTip(w, local));
    }
    return o;
}

// The overlap while the pair turns through one ring pitch: every pair of teeth passes
// through every phase of the mesh.
Overlap turningOverlap(const PairOutlines& p, int steps = 120, bool tipsOnly = false)
{
    Overlap o;
    for (int i = 0; i < steps; ++i) o.add(overlap(p, 2 * probePi / p.ring.teeth * i / steps, 0, tipsOnly));
    return o;
}

constexpr double seen = 2e-4;  // an overlap this deep is no chord of the 1e-5 mm outlines

// Set together at the working centre distance the two outlines touch without backlash and
// neither enters the other, whatever the turn; shifted either way.
TEST(InternalPair, OutlinesTouchWithoutOverlapAtTheWorkingCentreDistance)
{
    struct Case {
        int z2;
        double x2;
        int z1;
        double x1;
    };
    for (const Case& c : {Case{60, 0.8, 37, 0}, Case{53, 0.5, 41, -0.2}, Case{71, 0.8, 29, -0.2}}) {
        SCOPED_TRACE(testing::Message() << c.z1 << "/" << c.z2);
        const PairOutlines p = pairOf(c.z2, c.x2, c.z1, c.x1);
        EXPECT_TRUE(p.pair.involute.passed && p.pair.tip.passed) << p.pair.involute.reason << p.pair.tip.reason;
        EXPECT_LT(turningOverlap(p, 60).deepest(), 2e-5);
        // Closed up by a hundredth of a millimetre, the teeth collide: no backlash was left.
        const PairOutlines tighter = [&] {
            PairOutlines q = p;
            q.pair.centreDistance += 0.01;
            return q;
        }();
        EXPECT_GT(turningOverlap(tighter, 60).deepest(), 1e-3);
    }
}

TEST(InternalPair, PathOfContactRunsBetweenTheTipCirclesOnTheLineOfAction)
{
    const PairOutlines p = pairOf(57, 0.2, 31, -0.1);
    const InternalPair& q = p.pair;
    GearNumbers ring{}, pinion{};
    std::string reason;
    ASSERT_TRUE(computeGearNumbers(p.ring, &ring, &reason) && computeGearNumbers(p.pinion, &pinion, &reason));
    const Vec2 n1 = q.interferencePinionPoint, n2 = q.interferenceRingPoint, o1 = q.pinionCentre;
    const double length = std::hypot(n1.x - n2.x, n1.y - n2.y);
    const Vec2 along{(n1.x - n2.x) / length, (n1.y - n2.y) / length};
    // Both base circles touch the line, on the same side: N2 lies beyond N1 from the pitch point.
    EXPECT_NEAR(std::hypot(n2.x, n2.y), ring.baseDiameter / 2, 1e-12);
    EXPECT_NEAR(std::hypot(n1.x - o1.x, n1.y - o1.y), pinion.baseDiameter / 2, 1e-12);
    EXPECT_NEAR(n2.x * along.x + n2.y * along.y, 0, 1e-12);
    EXPECT_NEAR((n1.x - o1.x) * along.x + (n1.y - o1.y) * along.y, 0, 1e-12);
    EXPECT_NEAR((q.pitchPoint.x - n2.x) * along.y - (q.pitchPoint.y - n2.y) * along.x, 0, 1e-12);
    EXPECT_NEAR(std::hypot(q.contactStart.x, q.contactStart.y), ring.tipDiameter / 2, 1e-12);
    EXPECT_NEAR(std::hypot(q.contactEnd.x - o1.x, q.contactEnd.y - o1.y), pinion.tipDiameter / 2, 1e-12);
    const auto at = [&](const Vec2& v) { return (v.x - n1.x) * along.x + (v.y - n1.y) * along.y; };
    EXPECT_NEAR((at(q.contactEnd) - at(q.contactStart)) / ring.basePitch, q.contactRatio, 1e-9);
    // The effective path: inside the path, and where it is cut, cut at a form circle; here
    // the ring's tips reach into the pinion's fillet.
    EXPECT_GT(at(q.effectiveStart), at(q.contactStart) + 0.01);
    EXPECT_NEAR(std::hypot(q.effectiveStart.x - o1.x, q.effectiveStart.y - o1.y), pinion.formDiameter / 2, 1e-9);
    EXPECT_FALSE(q.involute.passed);
    if (at(q.effectiveEnd) < at(q.contactEnd) - 1e-12)
        EXPECT_NEAR(std::hypot(q.effectiveEnd.x, q.effectiveEnd.y), ring.formDiameter / 2, 1e-9);
    else
        EXPECT_NEAR(at(q.effectiveEnd), at(q.contactEnd), 1e-12);
    EXPECT_NEAR((at(q.effectiveEnd) - at(q.effectiveStart)) / ring.basePitch, q.effectiveContactRatio, 1e-9);
    // The pitch point divides the centre distance in the tooth ratio.
    EXPECT_NEAR(std::hypot(q.pitchPoint.x - o1.x, q.pitchPoint.y - o1.y) / std::hypot(q.pitchPoint.x, q.pitchPoint.y), 31.0 / 57, 1e-12);
}

// The involute and tip interferences against the outlines turned together: a pair flagged
// collides there, one passed does not. At 12 teeth the ring's tips run far past N1; with the
// ring unshifted they reach into the pinion's fillet (its form circle lies too high) and at
// small tooth differences the pinion's tips catch the ring's; a ring shifted out clears both.
TEST(InternalPair, InterferencesAgreeWithTheOutlinesTurningTogether)
{
    struct Case {
        double x2;
        int z1;
        bool involute, tip;
    };
    for (const Case& c : {Case{0, 12, false, true}, Case{0, 30, false, true}, Case{0.8, 37, true, true},
                          Case{0, 54, false, false}}) {
        SCOPED_TRACE(testing::Message() << c.z1 << "/60, ring shift " << c.x2);
        const PairOutlines p = pairOf(60, c.x2, c.z1, 0);
        EXPECT_EQ(p.pair.involute.passed, c.involute) << p.pair.involute.reason;
        EXPECT_EQ(p.pair.tip.passed, c.tip) << p.pair.tip.reason;
        EXPECT_EQ(p.pair.involute.reason.empty(), c.involute);
        EXPECT_EQ(p.pair.tip.reason.empty(), c.tip);
        const Overlap o = turningOverlap(p);
        EXPECT_EQ(o.flanks > seen, !c.involute) << o.flanks;
        EXPECT_EQ(o.tips > seen, !c.tip) << o.tips;
    }
}

// The smallest tooth difference without tip interference for unshifted 20° gears of one
// module addendum, found twice: by the engine's check, and by turning the two outlines
// together. Computed here, not taken from a table: 9 for these rings of 40 and 60 teeth,
// 8 from some size on, as for 90.
TEST(InternalPair, SmallestToothDifferenceWithoutTipInterference)
{
    for (int z2 : {40, 60, 90}) {
        int engine = 0, outlines = 0;
        for (int difference = 7; difference <= 12 && (engine == 0 || outlines == 0); ++difference) {
            const PairOutlines p = pairOf(z2, 0, z2 - difference, 0);
            if (engine == 0 && p.pair.tip.passed) engine = difference;
            if (outlines == 0 && turningOverlap(p, 120, true).tips < seen) outlines = difference;
        }
        EXPECT_GT(engine, 7) << "ring " << z2;  // seven teeth less collide
        EXPECT_EQ(engine, outlines) << "ring " << z2;
    }
}

// Slid in along the line of centres from inside the ring, the pinion collides exactly when
// the radial check says so (the ring shifted out, so that only the sliding can collide).
TEST(InternalPair, RadialAssemblyAgreesWithThePinionSlidIn)
{
    for (int z1 : {52, 55, 56}) {
        SCOPED_TRACE(testing::Message() << z1 << "/60");
        const PairOutlines p = pairOf(60, 0.8, z1, 0);
        GearNumbers ring{}, pinion{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(p.ring, &ring, &reason) && computeGearNumbers(p.pinion, &pinion, &reason));
        // From where the pinion's tip circle lies inside the ring's, to the meshing position.
        const double start = p.pair.centreDistance + pinion.tipDiameter / 2 - ring.tipDiameter / 2 + 0.01;
        double deepest = 0;
        for (int i = 0; i <= 160; ++i) deepest = std::max(deepest, overlap(p, 0, start * (1 - i / 160.0)).deepest());
        EXPECT_EQ(deepest > seen, !p.pair.radial.passed) << deepest << " " << p.pair.radial.reason;
    }
}

TEST(InternalPair, PairsThatCannotMeshAreRefused)
{
    InternalPair p{};
    std::string reason;
    GearParameters external = ringOf(60, 0, defaultTolerance);
    external.internal = false;
    EXPECT_FALSE(computeInternalPair(external, 30, 0, &p, &reason));
    EXPECT_NE(reason.find("internal"), std::string::npos) << reason;
    EXPECT_FALSE(computeInternalPair(ringOf(60, 0, defaultTolerance), 60, 0, &p, &reason));
    EXPECT_NE(reason.find("fewer teeth"), std::string::npos) << reason;
    EXPECT_FALSE(computeInternalPair(ringOf(60, -0.3, defaultTolerance), 30, 0.5, &p, &reason));  // no working angle
    EXPECT_NE(reason.find("overlap"), std::string::npos) << reason;
    EXPECT_FALSE(computeInternalPair(ringOf(60, 0, defaultTolerance), 2, 0, &p, &reason));
    EXPECT_NE(reason.find("pinion cannot be cut"), std::string::npos) << reason;
}

TEST(PinionCutterAtARoll, ThePlaceLiesOnTheLineOfCentresAndTheLineOfAction)
{
    for (bool internal : {false, true}) {
        GearParameters g = ringOf(internal ? 61 : 19, 0.15, defaultTolerance);
        g.internal = internal;
        g.pinionCutter.shift = 0.1;
        GearNumbers n{};
        std::string reason;
        ASSERT_TRUE(computeGearNumbers(g, &n, &reason)) << reason;
        for (double roll : {-0.3, 0.0, 0.45}) {
            const CutterPlace c = pinionCutterAt(g, roll);
            const Vec2 o = c.centre, i = c.pitchPoint, n0 = c.cutterInterferencePoint, n1 = c.interferencePoint;
            EXPECT_NEAR(std::hypot(o.x, o.y), n.cuttingCentreDistance, 1e-12);
            EXPECT_NEAR(std::atan2(o.x, o.y), roll, 1e-12);  // turned clockwise by the roll
            EXPECT_NEAR(std::hypot(i.x - o.x, i.y - o.y), c.rollingRadius, 1e-12);
            EXPECT_NEAR(o.x * i.y - o.y * i.x, 0, 1e-12);  // on the line of centres
            // The rolling circles are the pitch circles stretched by the same factor.
            EXPECT_NEAR(c.rollingRadius / c.pitchRadius, std::hypot(i.x, i.y) / (n.pitchDiameter / 2), 1e-12);
            EXPECT_NEAR(std::hypot(n1.x, n1.y), n.baseDiameter / 2, 1e-12);
            EXPECT_NEAR(std::hypot(n0.x - o.x, n0.y - o.y), c.baseRadius, 1e-12);
            // N, N0 and I on one line, square to both radii.
            EXPECT_NEAR((n0.x - n1.x) * (i.y - n1.y) - (n0.y - n1.y) * (i.x - n1.x), 0, 1e-9);
            EXPECT_NEAR((n0.x - n1.x) * n1.x + (n0.y - n1.y) * n1.y, 0, 1e-9);
            EXPECT_NEAR((n0.x - n1.x) * (n0.x - o.x) + (n0.y - n1.y) * (n0.y - o.y), 0, 1e-9);
            EXPECT_NEAR(std::hypot(n0.x - n1.x, n0.y - n1.y),
                        n.cuttingCentreDistance * std::sin(n.cuttingPressureAngle), 1e-9);
        }
    }
}

}  // namespace
