// The closed outline: one half tooth generated once (root arc, fillet, involute, tip land),
// mirrored into a whole tooth and turned into place z times; as points or as arcs, whichever
// cutter cut it, and for a ring gear the rim as a second loop.
#include "gear_reasons.h"
#include "pinion_cutter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
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

ToothPlan planOf(const GearParameters& gear)
{
    return gear.cutter == CutterKind::rack ? rackPlan(toothGeometry(gear)) : pinionPlan(pinionCut(gear));
}

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

// The plan's four curves as functions of their parameters, with their spans.
struct HalfToothCurves {
    std::function<Vec2(double)> root, fillet, involute, tip;
    double rootFrom, rootTo, filletFrom, filletTo, involuteFrom, involuteTo, tipFrom;
};

HalfToothCurves curvesOf(const ToothPlan& plan)
{
    const Vec2 filletFoot = plan.fillet(plan.filletFrom, nullptr);
    return {[&plan](double d) { return onCircle(plan.rootRadius, d); },
            [&plan](double b) { return plan.fillet(b, nullptr); },
            [&plan](double t) { return flankPoint(plan.flank, t); },
            [&plan](double d) { return onCircle(plan.tipRadius, d); },
            exactPi / plan.teeth, std::atan2(filletFoot.x, filletFoot.y), plan.filletFrom, plan.filletTo,
            plan.involuteFrom, plan.involuteTo, flankHalfAngle(plan.flank, plan.tipRadius)};
}

// About how many points a half tooth takes at the tolerance, before any is made.
double estimateHalfToothPoints(const ToothPlan& plan, double tolerance)
{
    const HalfToothCurves c = curvesOf(plan);
    double points = estimateCurvePoints(c.fillet, c.filletFrom, c.filletTo, tolerance) +
                    estimateCurvePoints(c.involute, c.involuteFrom, c.involuteTo, tolerance) +
                    estimateCurvePoints(c.tip, c.tipFrom, 0, tolerance);
    if (c.rootFrom - c.rootTo > 1e-12) points += estimateCurvePoints(c.root, c.rootFrom, c.rootTo, tolerance);
    return 1.4 * points;  // halving the pieces lands between once and twice the ideal count
}

struct HalfTooth {
    std::vector<Vec2> points;  // the clockwise half, from the middle of the space to the tooth centre line
    std::vector<OutlinePart> parts;
    std::vector<double> rolls;  // when the cutter cuts each point
};

// Samples curve(t) over (t0, t1] into half as part; roll(t) says when the cutter cuts it. The
// points stop growing once the half tooth holds more than most.
void appendPart(HalfTooth* half, const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                OutlinePart part, const std::function<double(double)>& roll, std::size_t most)
{
    std::vector<Vec2> points;
    std::vector<double> parameters;
    const std::size_t held = half->points.size();
    sampleCurve(curve, t0, t1, tolerance, &points, &parameters, most > held ? most - held : 0);
    half->points.insert(half->points.end(), points.begin(), points.end());
    half->parts.insert(half->parts.end(), points.size(), part);
    for (double t : parameters) half->rolls.push_back(roll(t));
}

HalfTooth halfTooth(const ToothPlan& plan, double tolerance, std::size_t most)
{
    HalfTooth half;
    const HalfToothCurves c = curvesOf(plan);
    // A point of the root or tip circle is cut when it passes under the pitch point, where
    // the cutter's tip (or its root) touches the circle: the roll is its angle.
    const auto asAngle = [](double d) { return d; };

    // The root arc ends where the cutter tip's lowest point left it; a cutter with touching
    // roundings leaves none.
    half.points.push_back(c.root(c.rootFrom));
    half.parts.push_back(OutlinePart::root);
    half.rolls.push_back(c.rootFrom);
    if (c.rootFrom - c.rootTo > 1e-12)
        appendPart(&half, c.root, c.rootFrom, c.rootTo, tolerance, OutlinePart::root, asAngle, most);

    appendPart(&half, c.fillet, c.filletFrom, c.filletTo, tolerance, OutlinePart::fillet,
               [&](double b) {
                   double roll = 0;
                   plan.fillet(b, &roll);
                   return roll;
               },
               most);
    // The join itself is computed on the involute, exactly.
    half.points.pop_back();
    half.parts.pop_back();
    half.rolls.pop_back();

    half.points.push_back(c.involute(c.involuteFrom));
    half.parts.push_back(OutlinePart::involute);
    half.rolls.push_back(plan.involuteRoll(c.involuteFrom));
    appendPart(&half, c.involute, c.involuteFrom, c.involuteTo, tolerance, OutlinePart::involute, plan.involuteRoll, most);
    appendPart(&half, c.tip, c.tipFrom, 0, tolerance, OutlinePart::tip, asAngle, most);
    return half;
}

// Whether the half tooth stays between the middle of its space and the tooth's centre line,
// touching them only at its ends, and does not cross itself. Its mirror and the turned copies
// then keep to sectors of their own, so the whole outline is a simple polygon.
bool keepsToItsSector(const std::vector<Vec2>& p, double spaceMiddle, double* radius)
{
    std::size_t at = 0;
    for (std::size_t i = 1; i + 1 < p.size(); ++i) {
        const double angle = std::atan2(p[i].x, p[i].y);
        if (!(angle > 0 && angle < spaceMiddle)) {
            *radius = std::hypot(p[i].x, p[i].y);
            return false;
        }
    }
    if (polylineIsSimple(p, false, &at)) return true;
    *radius = std::hypot(p[at].x, p[at].y);
    return false;
}

std::string tooManyPoints(double points, long most)
{
    char text[200];
    std::snprintf(text, sizeof text, gearReason::tooManyPoints, points, most);
    return text;
}

std::string crossesItself(double radius) { return format(gearReason::crossesItself, radius); }

// Inside the involute, or under the base circle inside the radial line where it starts.
bool cutIntoTooth(const InvoluteFlank& flank, const Vec2& p)
{
    return std::atan2(p.x, p.y) < flankHalfAngle(flank, std::hypot(p.x, p.y));
}

// The points of a rim circle of radius r, counter-clockwise from the +y axis, within the tolerance.
std::vector<Vec2> rimPoints(double radius, double tolerance)
{
    const auto rimAt = [radius](double angle) { return Vec2{-radius * std::sin(angle), radius * std::cos(angle)}; };
    std::vector<Vec2> points{rimAt(0)};
    sampleCurve(rimAt, 0, 2 * exactPi, tolerance, &points);
    points.pop_back();  // back at the start
    return points;
}

// The chords of a circle of radius r within the tolerance, counted before any is made: the
// chord of angle 2·acos(1 − tolerance/r) strays by the tolerance, and halving ends at most
// twice as fine.
double rimPointsEstimate(double radius, double tolerance)
{
    return 2 * std::ceil(2 * exactPi / (2 * std::acos(std::fmax(-1.0, 1 - tolerance / radius)))) + 2;
}

// One segment of an outline of arcs.
struct ArcSegment {
    Vec2 from, to;
    double bulge;
    OutlinePart part;
};

// The half tooth as arcs, from the middle of the space to the tooth centre line.
std::vector<ArcSegment> halfToothArcs(const ToothPlan& plan, double tolerance)
{
    const HalfToothCurves c = curvesOf(plan);
    std::vector<ArcSegment> half;
    Vec2 at = c.root(c.rootFrom);
    const auto append = [&](const std::function<Vec2(double)>& curve, double t0, double t1, OutlinePart part) {
        std::vector<Vec2> ends;
        std::vector<double> bulges;
        fitArcs(curve, t0, t1, tolerance, &ends, &bulges);
        for (std::size_t i = 0; i < ends.size(); ++i) {
            half.push_back({at, ends[i], bulges[i], part});
            at = ends[i];
        }
    };
    if (c.rootFrom - c.rootTo > 1e-12) append(c.root, c.rootFrom, c.rootTo, OutlinePart::root);
    append(c.fillet, c.filletFrom, c.filletTo, OutlinePart::fillet);
    // The join itself is the involute's, exactly, as in the outline of points.
    half.back().to = at = c.involute(c.involuteFrom);
    append(c.involute, c.involuteFrom, c.involuteTo, OutlinePart::involute);
    append(c.tip, c.tipFrom, 0, OutlinePart::tip);
    return half;
}

// The arcs as points no more than a quarter of the tolerance off them, to check as a polyline.
std::vector<Vec2> flattened(const std::vector<ArcSegment>& arcs, double tolerance)
{
    std::vector<Vec2> points{arcs.front().from};
    for (const ArcSegment& a : arcs) {
        const double chord = std::hypot(a.to.x - a.from.x, a.to.y - a.from.y);
        const double sagitta = std::fabs(a.bulge) * chord / 2;
        const int pieces = std::clamp(static_cast<int>(std::ceil(std::sqrt(sagitta / (tolerance / 4)))), 1, 1000);
        for (int k = 1; k < pieces; ++k) points.push_back(pointOnArc(a.from, a.to, a.bulge, double(k) / pieces));
        points.push_back(a.to);
    }
    return points;
}

// The half tooth of points with every refusal an outline makes: the gear's numbers, the
// point count judged before sampling (so a runaway size is refused at once) and after it
// (the budget bounds the sampling, whatever the estimate missed), and the tooth kept to its
// sector. numbers may be null.
bool checkedHalfTooth(const GearParameters& gear, long mostPoints, GearNumbers* numbers, ToothPlan* plan,
                      HalfTooth* half, std::string* reason)
{
    GearNumbers own{};
    if (!computeGearNumbers(gear, numbers ? numbers : &own, reason)) return false;
    *plan = planOf(gear);
    const long most = std::min(mostPoints, mostOutlinePoints);
    const double estimate = 2 * estimateHalfToothPoints(*plan, gear.tolerance) * gear.teeth;
    if (estimate > 2.0 * most) return fail(reason, tooManyPoints(estimate, most));
    *half = halfTooth(*plan, gear.tolerance, static_cast<std::size_t>(most / (2 * gear.teeth) + 1));
    const double total = (2.0 * half->points.size() - 2) * gear.teeth;
    if (total > most) return fail(reason, tooManyPoints(total, most));
    double crossing = 0;
    if (!keepsToItsSector(half->points, exactPi / gear.teeth, &crossing)) return fail(reason, crossesItself(crossing));
    return true;
}

}  // namespace

double estimateOutlinePoints(const GearParameters& gear)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, nullptr)) return 0;
    return 2 * estimateHalfToothPoints(planOf(gear), gear.tolerance) * gear.teeth;
}

bool computeGearOutline(const GearParameters& gear, std::vector<OutlinePoint>* outline, std::string* reason,
                        long mostPoints)
{
    ToothPlan plan{};
    HalfTooth half{};
    if (!checkedHalfTooth(gear, mostPoints, nullptr, &plan, &half, reason)) return false;
    const std::size_t n = half.points.size();

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
    outline->reserve(tooth.size() * gear.teeth);
    for (int k = 0; k < gear.teeth; ++k) {
        const double c = std::cos(2 * exactPi * k / gear.teeth);
        const double s = std::sin(2 * exactPi * k / gear.teeth);
        // Turning the gear on by one tooth is rolling the cutter back by one tooth.
        const double rollBack = 2 * exactPi * k / gear.teeth;
        for (const OutlinePoint& p : tooth)
            outline->push_back({{p.at.x * c - p.at.y * s, p.at.x * s + p.at.y * c}, p.part, p.undercut, p.roll - rollBack});
    }
    // A ring's teeth bound the hole: walked the other way round, from the same first point.
    if (gear.internal) std::reverse(outline->begin() + 1, outline->end());
    return true;
}

bool computeGearLoops(const GearParameters& gear, std::vector<std::vector<OutlinePoint>>* loops, std::string* reason,
                      long mostPoints)
{
    std::vector<OutlinePoint> teeth;
    if (!computeGearOutline(gear, &teeth, reason, mostPoints)) return false;
    loops->clear();
    loops->push_back(std::move(teeth));
    if (!gear.internal) return true;

    GearNumbers numbers{};
    computeGearNumbers(gear, &numbers, nullptr);
    const double radius = numbers.rimDiameter / 2;
    const double most = rimPointsEstimate(radius, gear.tolerance);
    if (loops->front().size() + most > mostPoints)
        return fail(reason, tooManyPoints(static_cast<double>(loops->front().size()) + most, mostPoints));
    std::vector<OutlinePoint> rim;
    for (const Vec2& p : rimPoints(radius, gear.tolerance)) rim.push_back({p, OutlinePart::rim, false, 0});
    loops->push_back(std::move(rim));
    return true;
}

bool computeGearArcs(const GearParameters& gear, std::vector<ArcVertex>* arcs, std::string* reason)
{
    std::vector<std::vector<ArcVertex>> loops;
    if (!computeGearArcLoops(gear, &loops, reason)) return false;
    *arcs = std::move(loops.front());
    return true;
}

bool computeGearArcLoops(const GearParameters& gear, std::vector<std::vector<ArcVertex>>* loops, std::string* reason)
{
    // The same refusals as the outline of points, whose points the arcs never outnumber.
    GearNumbers numbers{};
    ToothPlan plan{};
    HalfTooth points{};
    if (!checkedHalfTooth(gear, mostOutlinePoints, &numbers, &plan, &points, reason)) return false;
    const std::vector<ArcSegment> half = halfToothArcs(plan, gear.tolerance);
    double crossing = 0;
    if (!keepsToItsSector(flattened(half, gear.tolerance), exactPi / gear.teeth, &crossing))
        return fail(reason, crossesItself(crossing));
    // The mirror turns each arc the other way and the walk back turns it again: the bulge stays.
    std::vector<ArcSegment> tooth = half;
    for (std::size_t i = half.size(); i-- > 0;)
        tooth.push_back({{-half[i].to.x, half[i].to.y}, {-half[i].from.x, half[i].from.y}, half[i].bulge, half[i].part});
    std::vector<ArcVertex> teeth;
    teeth.reserve(tooth.size() * gear.teeth);
    for (int k = 0; k < gear.teeth; ++k) {
        const double c = std::cos(2 * exactPi * k / gear.teeth), s = std::sin(2 * exactPi * k / gear.teeth);
        for (const ArcSegment& a : tooth)
            teeth.push_back({{a.from.x * c - a.from.y * s, a.from.x * s + a.from.y * c}, a.bulge, a.part});
    }
    if (gear.internal) {
        // Walked back from the same first point: each segment now starts where it ended, and
        // turns the other way.
        const std::size_t n = teeth.size();
        std::vector<ArcVertex> back;
        for (std::size_t j = 0; j < n; ++j) {
            const ArcVertex& from = teeth[(n - j) % n];
            const ArcVertex& segment = teeth[n - j - 1];  // the old segment now walked back
            back.push_back({from.at, -segment.bulge, segment.part});
        }
        teeth = std::move(back);
    }
    loops->clear();
    loops->push_back(std::move(teeth));
    if (gear.internal) {
        const double r = numbers.rimDiameter / 2;
        // The rim: two half circles, counter-clockwise from the +y axis.
        loops->push_back({{{0, r}, 1, OutlinePart::rim}, {{0, -r}, 1, OutlinePart::rim}});
    }
    return true;
}
