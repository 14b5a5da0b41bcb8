// The closed outline: one half tooth generated once (root arc, fillet, involute, tip land),
// mirrored into a whole tooth and turned into place z times.
#include "pinion_cutter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

namespace {

// One half tooth's curves, whatever cut them: from the middle of the space (the root arc) by
// the fillet, the involute and the tip land to the tooth's centre line.
struct ToothPlan {
    int teeth;
    double rootRadius;
    double tipRadius;
    // From the root (filletFrom) to the join (filletTo); the roll, when asked, when the cutter cuts it.
    std::function<Vec2(double, double*)> fillet;
    double filletFrom;
    double filletTo;
    InvoluteFlank flank;
    double involuteFrom;                         // the flank's roll t at the join …
    double involuteTo;                           // … and on the tip circle
    std::function<double(double)> involuteRoll;  // when the cutter cuts the flank's point of roll t
    bool undercut;                               // the fillet may cut into the tooth past the involute
};

struct HalfTooth {
    std::vector<Vec2> points;  // the clockwise half, from the middle of the space to the tooth centre line
    std::vector<OutlinePart> parts;
    std::vector<double> rolls;  // when the cutter cuts each point
};

// Samples curve(t) over (t0, t1] into half as part; roll(t) says when the cutter cuts it.
void appendPart(HalfTooth* half, const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                OutlinePart part, const std::function<double(double)>& roll)
{
    std::vector<Vec2> points;
    std::vector<double> parameters;
    sampleCurve(curve, t0, t1, tolerance, &points, &parameters);
    half->points.insert(half->points.end(), points.begin(), points.end());
    half->parts.insert(half->parts.end(), points.size(), part);
    for (double t : parameters) half->rolls.push_back(roll(t));
}

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

HalfTooth halfTooth(const ToothPlan& plan, double tolerance)
{
    HalfTooth half;
    const double spaceMiddle = exactPi / plan.teeth;
    const Vec2 filletFoot = plan.fillet(plan.filletFrom, nullptr);
    const double footAngle = std::atan2(filletFoot.x, filletFoot.y);
    // A point of the root or tip circle is cut when it passes under the pitch point, where
    // the cutter's tip (or its root) touches the circle: the roll is its angle.
    const auto asAngle = [](double d) { return d; };

    // The root arc ends where the cutter tip's lowest point left it; a cutter with touching
    // roundings leaves none.
    half.points.push_back(onCircle(plan.rootRadius, spaceMiddle));
    half.parts.push_back(OutlinePart::root);
    half.rolls.push_back(spaceMiddle);
    if (spaceMiddle - footAngle > 1e-12)
        appendPart(&half, [&](double d) { return onCircle(plan.rootRadius, d); }, spaceMiddle, footAngle, tolerance,
                   OutlinePart::root, asAngle);

    appendPart(&half, [&](double b) { return plan.fillet(b, nullptr); }, plan.filletFrom, plan.filletTo, tolerance,
               OutlinePart::fillet, [&](double b) {
                   double roll = 0;
                   plan.fillet(b, &roll);
                   return roll;
               });
    // The join itself is computed on the involute, exactly.
    half.points.pop_back();
    half.parts.pop_back();
    half.rolls.pop_back();

    half.points.push_back(flankPoint(plan.flank, plan.involuteFrom));
    half.parts.push_back(OutlinePart::involute);
    half.rolls.push_back(plan.involuteRoll(plan.involuteFrom));
    appendPart(&half, [&](double t) { return flankPoint(plan.flank, t); }, plan.involuteFrom, plan.involuteTo,
               tolerance, OutlinePart::involute, plan.involuteRoll);

    const double tipAngle = flankHalfAngle(plan.flank, plan.tipRadius);
    appendPart(&half, [&](double d) { return onCircle(plan.tipRadius, d); }, tipAngle, 0, tolerance, OutlinePart::tip,
               asAngle);
    return half;
}

ToothPlan rackPlan(const ToothGeometry& g)
{
    // The involute point of roll t touches the rack where the line of action meets it, rb·t
    // beyond N: the gear has then rolled by ψ + tan α − t.
    return {g.teeth,
            g.rootRadius,
            g.tipRadius,
            [g](double b, double* roll) { return filletPoint(g, b, roll); },
            0,
            g.filletJoin,
            involuteFlank(g),
            g.involuteStart,
            g.involuteEnd,
            [g](double t) { return g.halfToothAngle + std::tan(g.alpha) - t; },
            g.undercut};
}

ToothPlan pinionPlan(const PinionCut& c)
{
    return {c.teeth,
            c.rootRadius,
            c.tipRadius,
            [c](double b, double* roll) { return pinionFilletPoint(c, b, roll); },
            c.tipNormal,
            c.filletJoin,
            c.flank,
            c.involuteAtFillet,
            c.involuteAtTip,
            [c](double t) { return pinionInvoluteRoll(c, t); },
            c.undercut};
}

// Inside the involute, or under the base circle inside the radial line where it starts.
bool cutIntoTooth(const InvoluteFlank& flank, const Vec2& p)
{
    return std::atan2(p.x, p.y) < flankHalfAngle(flank, std::hypot(p.x, p.y));
}

std::string tooManyPoints(double total)
{
    return "the outline would need " + std::to_string(static_cast<long>(total)) + " points, more than " +
           std::to_string(mostOutlinePoints) + ": use a larger tolerance";
}

// The toothed outline of valid parameters, counter-clockwise whatever the gear, and how many
// points it needs; empty when that is more than mostOutlinePoints.
double toothedOutline(const ToothPlan& plan, double tolerance, std::vector<OutlinePoint>* outline)
{
    const HalfTooth half = halfTooth(plan, tolerance);
    const std::size_t n = half.points.size();
    const double total = (2.0 * n - 2) * plan.teeth;
    if (total > mostOutlinePoints) return total;

    // One tooth: the clockwise half as generated, then its mirror back out to the next space,
    // leaving out the tooth centre and the space middle that the next tooth starts with.
    std::vector<OutlinePoint> tooth;
    tooth.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool undercut = plan.undercut && half.parts[i] == OutlinePart::fillet && cutIntoTooth(plan.flank, half.points[i]);
        tooth.push_back({half.points[i], half.parts[i], undercut, half.rolls[i]});
    }
    for (std::size_t i = n - 1; i-- > 1;) {
        OutlinePoint p = tooth[i];
        p.at.x = -p.at.x;
        p.roll = -p.roll;
        tooth.push_back(p);
    }

    outline->clear();
    outline->reserve(tooth.size() * plan.teeth);
    for (int k = 0; k < plan.teeth; ++k) {
        const double c = std::cos(2 * exactPi * k / plan.teeth);
        const double s = std::sin(2 * exactPi * k / plan.teeth);
        // Turning the gear on by one tooth is rolling the cutter back by one tooth.
        const double rollBack = 2 * exactPi * k / plan.teeth;
        for (const OutlinePoint& p : tooth)
            outline->push_back({{p.at.x * c - p.at.y * s, p.at.x * s + p.at.y * c}, p.part, p.undercut, p.roll - rollBack});
    }
    return total;
}

}  // namespace

bool computeGearOutline(const GearParameters& gear, std::vector<OutlinePoint>* outline, std::string* reason)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, reason)) return false;
    const ToothPlan plan = gear.cutter == CutterKind::rack ? rackPlan(toothGeometry(gear)) : pinionPlan(pinionCut(gear));
    const double total = toothedOutline(plan, gear.tolerance, outline);
    if (total > mostOutlinePoints) return fail(reason, tooManyPoints(total));
    // A ring's teeth bound the hole: walked the other way round, from the same first point.
    if (gear.internal) std::reverse(outline->begin() + 1, outline->end());
    return true;
}

bool computeGearLoops(const GearParameters& gear, std::vector<std::vector<OutlinePoint>>* loops, std::string* reason)
{
    std::vector<OutlinePoint> teeth;
    if (!computeGearOutline(gear, &teeth, reason)) return false;
    loops->clear();
    loops->push_back(std::move(teeth));
    if (!gear.internal) return true;

    GearNumbers numbers{};
    computeGearNumbers(gear, &numbers, nullptr);
    const double radius = numbers.rimDiameter / 2;
    // The chord of angle 2·acos(1 − tolerance/R) strays by the tolerance; halving ends at most
    // twice as fine. Counted before any point is made.
    const double most = 2 * std::ceil(2 * exactPi / (2 * std::acos(std::fmax(-1.0, 1 - gear.tolerance / radius)))) + 2;
    if (loops->front().size() + most > mostOutlinePoints)
        return fail(reason, tooManyPoints(static_cast<double>(loops->front().size()) + most));
    const auto rimAt = [radius](double angle) { return Vec2{-radius * std::sin(angle), radius * std::cos(angle)}; };
    std::vector<Vec2> points{rimAt(0)};
    sampleCurve(rimAt, 0, 2 * exactPi, gear.tolerance, &points);
    points.pop_back();  // back at the start
    std::vector<OutlinePoint> rim;
    rim.reserve(points.size());
    for (const Vec2& p : points) rim.push_back({p, OutlinePart::rim, false, 0});
    loops->push_back(std::move(rim));
    return true;
}
