// The closed outline: one half tooth generated once (root arc, fillet, involute, tip land),
// mirrored into a whole tooth and turned into place z times.
#include "gear_reasons.h"
#include "tooth_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

namespace {

bool fail(std::string* reason, const std::string& why)
{
    if (reason) *reason = why;
    return false;
}

struct HalfTooth {
    std::vector<Vec2> points;  // the clockwise half, from the middle of the space to the tooth centre line
    std::vector<OutlinePart> parts;
    std::vector<double> rolls;  // when the rack cuts each point
};

// The curves of a half tooth, each with its span of parameter.
struct HalfToothCurves {
    std::function<Vec2(double)> root, fillet, involute, tip;
    double rootFrom, rootTo, filletTo, involuteFrom, involuteTo, tipFrom;
};

Vec2 onCircle(double radius, double halfAngle) { return {radius * std::sin(halfAngle), radius * std::cos(halfAngle)}; }

HalfToothCurves curvesOf(const ToothGeometry& g)
{
    const Vec2 filletFoot = filletPoint(g, 0);
    return {[&g](double d) { return onCircle(g.rootRadius, d); },
            [&g](double b) { return filletPoint(g, b); },
            [&g](double t) { return involutePoint(g, t); },
            [&g](double d) { return onCircle(g.tipRadius, d); },
            exactPi / g.teeth, std::atan2(filletFoot.x, filletFoot.y), g.filletJoin, g.involuteStart, g.involuteEnd,
            involuteHalfAngle(g, g.tipRadius)};
}

// About how many points a half tooth takes at the tolerance, before any is made.
double estimateHalfToothPoints(const ToothGeometry& g, double tolerance)
{
    const HalfToothCurves c = curvesOf(g);
    double points = estimateCurvePoints(c.fillet, 0, c.filletTo, tolerance) +
                    estimateCurvePoints(c.involute, c.involuteFrom, c.involuteTo, tolerance) +
                    estimateCurvePoints(c.tip, c.tipFrom, 0, tolerance);
    if (c.rootFrom - c.rootTo > 1e-12) points += estimateCurvePoints(c.root, c.rootFrom, c.rootTo, tolerance);
    return 1.4 * points;  // halving the pieces lands between once and twice the ideal count
}

// Samples curve(t) over (t0, t1] into half as part; roll(t) says when the rack cuts it. The
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

HalfTooth halfTooth(const ToothGeometry& g, double tolerance, std::size_t most)
{
    HalfTooth half;
    const HalfToothCurves c = curvesOf(g);
    // A point of the root or tip circle is cut when it passes under the pitch point, where
    // the rack's tip line (or its root line) touches the circle: the roll is its angle.
    const auto asAngle = [](double d) { return d; };

    // The root arc ends where the rounding's lowest point left it; a rack with touching
    // roundings leaves none.
    half.points.push_back(c.root(c.rootFrom));
    half.parts.push_back(OutlinePart::root);
    half.rolls.push_back(c.rootFrom);
    if (c.rootFrom - c.rootTo > 1e-12)
        appendPart(&half, c.root, c.rootFrom, c.rootTo, tolerance, OutlinePart::root, asAngle, most);

    appendPart(&half, c.fillet, 0, c.filletTo, tolerance, OutlinePart::fillet,
               [&](double b) {
                   double roll = 0;
                   filletPoint(g, b, &roll);
                   return roll;
               },
               most);
    // The join itself is computed on the involute, exactly.
    half.points.pop_back();
    half.parts.pop_back();
    half.rolls.pop_back();

    // The involute point of roll t touches the rack where the line of action meets it, rb·t
    // beyond N: the gear has then rolled by ψ + tan α − t.
    const auto involuteRoll = [&](double t) { return g.halfToothAngle + std::tan(g.alpha) - t; };
    half.points.push_back(c.involute(c.involuteFrom));
    half.parts.push_back(OutlinePart::involute);
    half.rolls.push_back(involuteRoll(c.involuteFrom));
    appendPart(&half, c.involute, c.involuteFrom, c.involuteTo, tolerance, OutlinePart::involute, involuteRoll, most);
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

// Inside the involute, or under the base circle inside the radial line where it starts.
bool cutIntoTooth(const ToothGeometry& g, const Vec2& p)
{
    const double radius = std::hypot(p.x, p.y);
    const double limit = involuteHalfAngle(g, std::fmax(radius, g.baseRadius));
    return std::atan2(p.x, p.y) < limit;
}

// One segment of an outline of arcs.
struct ArcSegment {
    Vec2 from, to;
    double bulge;
    OutlinePart part;
};

// The half tooth as arcs, from the middle of the space to the tooth centre line.
std::vector<ArcSegment> halfToothArcs(const ToothGeometry& g, double tolerance)
{
    const HalfToothCurves c = curvesOf(g);
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
    append(c.fillet, 0, c.filletTo, OutlinePart::fillet);
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

}  // namespace

bool computeGearArcs(const GearParameters& gear, std::vector<ArcVertex>* arcs, std::string* reason)
{
    // The same refusals as the outline of points, whose points the arcs never outnumber.
    std::vector<OutlinePoint> points;
    if (!computeGearOutline(gear, &points, reason)) return false;
    const ToothGeometry g = toothGeometry(gear);
    const std::vector<ArcSegment> half = halfToothArcs(g, gear.tolerance);
    double crossing = 0;
    if (!keepsToItsSector(flattened(half, gear.tolerance), exactPi / gear.teeth, &crossing)) {
        char text[160];
        std::snprintf(text, sizeof text, gearReason::crossesItself, crossing);
        return fail(reason, text);
    }
    // The mirror turns each arc the other way and the walk back turns it again: the bulge stays.
    std::vector<ArcSegment> tooth = half;
    for (std::size_t i = half.size(); i-- > 0;)
        tooth.push_back({{-half[i].to.x, half[i].to.y}, {-half[i].from.x, half[i].from.y}, half[i].bulge, half[i].part});
    arcs->clear();
    arcs->reserve(tooth.size() * gear.teeth);
    for (int k = 0; k < gear.teeth; ++k) {
        const double c = std::cos(2 * exactPi * k / gear.teeth), s = std::sin(2 * exactPi * k / gear.teeth);
        for (const ArcSegment& a : tooth)
            arcs->push_back({{a.from.x * c - a.from.y * s, a.from.x * s + a.from.y * c}, a.bulge, a.part});
    }
    return true;
}

double estimateOutlinePoints(const GearParameters& gear)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, nullptr)) return 0;
    return 2 * estimateHalfToothPoints(toothGeometry(gear), gear.tolerance) * gear.teeth;
}

bool computeGearOutline(const GearParameters& gear, std::vector<OutlinePoint>* outline, std::string* reason,
                        long mostPoints)
{
    GearNumbers numbers{};
    if (!computeGearNumbers(gear, &numbers, reason)) return false;
    const ToothGeometry g = toothGeometry(gear);
    const long most = std::min(mostPoints, mostOutlinePoints);
    // Judged before sampling, so a runaway size is refused at once; the budget then bounds
    // the sampling itself, whatever the estimate missed.
    const double estimate = 2 * estimateHalfToothPoints(g, gear.tolerance) * gear.teeth;
    if (estimate > 2.0 * most) return fail(reason, tooManyPoints(estimate, most));
    const HalfTooth half = halfTooth(g, gear.tolerance, static_cast<std::size_t>(most / (2 * gear.teeth) + 1));
    const std::size_t n = half.points.size();
    const double total = (2.0 * n - 2) * gear.teeth;
    if (total > most) return fail(reason, tooManyPoints(total, most));
    double crossing = 0;
    if (!keepsToItsSector(half.points, exactPi / gear.teeth, &crossing)) {
        char text[160];
        std::snprintf(text, sizeof text, gearReason::crossesItself, crossing);
        return fail(reason, text);
    }

    // One tooth: the clockwise half as generated, then its mirror back out to the next space,
    // leaving out the tooth centre and the space middle that the next tooth starts with.
    std::vector<OutlinePoint> tooth;
    tooth.reserve(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        const bool undercut = g.undercut && half.parts[i] == OutlinePart::fillet && cutIntoTooth(g, half.points[i]);
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
        // Turning the gear on by one tooth is rolling the rack back by one tooth.
        const double rollBack = 2 * exactPi * k / gear.teeth;
        for (const OutlinePoint& p : tooth)
            outline->push_back({{p.at.x * c - p.at.y * s, p.at.x * s + p.at.y * c}, p.part, p.undercut, p.roll - rollBack});
    }
    return true;
}
