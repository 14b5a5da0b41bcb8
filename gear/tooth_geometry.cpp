// One tooth's constants and curves: the involute in closed form, the fillet as the envelope
// of the rack's tip rounding, and the undercut join solved by bisection.
#include "tooth_geometry.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int deepestSubdivision = 40;    // 2⁻⁴⁰ of a curve: far below any tolerance

double radiusOf(const Vec2& p) { return std::hypot(p.x, p.y); }

// The half-angle of a point of the clockwise flank: from the +y axis, clockwise positive.
double halfAngleOf(const Vec2& p) { return std::atan2(p.x, p.y); }

double distanceToChord(const Vec2& p, const Vec2& a, const Vec2& b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    if (length == 0) return std::hypot(p.x - a.x, p.y - a.y);
    return std::fabs((p.x - a.x) * dy - (p.y - a.y) * dx) / length;
}

void subdivide(const std::function<Vec2(double)>& curve, double t0, const Vec2& p0, double t1,
               const Vec2& p1, double tolerance, int depth, std::vector<Vec2>* points,
               std::vector<double>* parameters)
{
    const double tm = 0.5 * (t0 + t1);
    const Vec2 pm = curve(tm);
    bool straight = depth >= deepestSubdivision;
    if (!straight) {
        const Vec2 q1 = curve(0.5 * (t0 + tm));
        const Vec2 q3 = curve(0.5 * (tm + t1));
        straight = distanceToChord(pm, p0, p1) <= tolerance &&
                   distanceToChord(q1, p0, p1) <= tolerance && distanceToChord(q3, p0, p1) <= tolerance;
    }
    if (straight) {
        points->push_back(p1);
        if (parameters) parameters->push_back(t1);
        return;
    }
    subdivide(curve, t0, p0, tm, pm, tolerance, depth + 1, points, parameters);
    subdivide(curve, tm, pm, t1, p1, tolerance, depth + 1, points, parameters);
}

}  // namespace

double involuteFunction(double angle) { return std::tan(angle) - angle; }

double inverseInvolute(double value)
{
    // Starting from the cube-root approximation, Newton converges in a few steps.
    double a = std::cbrt(3 * value);
    for (int i = 0; i < 50; ++i) {
        const double t = std::tan(a);
        const double step = (t - a - value) / (t * t);
        a -= step;
        if (std::fabs(step) < 1e-16) break;
    }
    return a;
}

Vec2 flankPoint(const InvoluteFlank& flank, double t)
{
    const double radius = flank.baseRadius * std::sqrt(1 + t * t);
    const double delta = flank.baseAngle + flank.sense * (t - std::atan(t));
    return {radius * std::sin(delta), radius * std::cos(delta)};
}

double flankHalfAngle(const InvoluteFlank& flank, double radius)
{
    const double c = std::fmin(1.0, flank.baseRadius / radius);
    return flank.baseAngle + flank.sense * involuteFunction(std::acos(c));
}

double flankRollAt(const InvoluteFlank& flank, double radius)
{
    return std::sqrt(std::fmax(0.0, radius * radius / (flank.baseRadius * flank.baseRadius) - 1));
}

InvoluteFlank involuteFlank(const ToothGeometry& g)
{
    return {g.baseRadius, g.halfToothAngle + involuteFunction(g.alpha), -1};
}

double involuteHalfAngle(const ToothGeometry& g, double radius) { return flankHalfAngle(involuteFlank(g), radius); }

double involuteStartRadius(const ToothGeometry& g)
{
    return g.baseRadius * std::sqrt(1 + g.involuteStart * g.involuteStart);
}

Vec2 involutePoint(const ToothGeometry& g, double t) { return flankPoint(involuteFlank(g), t); }

Vec2 rackToGear(const ToothGeometry& g, double roll, double u, double v)
{
    const double x = u - g.pitchRadius * roll;
    const double y = g.lineHeight + v;
    const double c = std::cos(roll);
    const double s = std::sin(roll);
    return {x * c + y * s, -x * s + y * c};
}

Vec2 filletPoint(const ToothGeometry& g, double beta, double* roll)
{
    // The left rounding of rack tooth 0. Its contact normal n passes through the pitch point
    // I on the rolling line (v = −x·m): that fixes where I is along the line, so the roll.
    const double centreU = 0.5 * g.pitch - g.roundingHalfGap;
    const double centreV = g.roundingHeight;
    const double nu = -std::sin(beta);
    const double nv = -std::cos(beta);
    const double pitchPointU = centreU - (centreV + g.shift * g.module) * std::tan(beta);
    const double phi = pitchPointU / g.pitchRadius;
    if (roll) *roll = phi;
    return rackToGear(g, phi, centreU + g.rounding * nu, centreV + g.rounding * nv);
}

ToothGeometry toothGeometry(const GearParameters& gear)
{
    ToothGeometry g{};
    const double m = gear.module;
    g.module = m;
    g.alpha = gear.pressureAngle;
    g.shift = gear.shift;
    g.teeth = gear.teeth;
    g.pitchRadius = m * gear.teeth / 2;
    g.baseRadius = g.pitchRadius * std::cos(g.alpha);
    g.tipRadius = g.pitchRadius + m * (gear.rack.addendum + gear.shift);
    g.rootRadius = g.pitchRadius - m * (gear.rack.dedendum - gear.shift);
    g.pitch = exactPi * m;
    g.lineHeight = g.pitchRadius + gear.shift * m;
    g.halfToothAngle = (exactPi / 2 + 2 * gear.shift * std::tan(g.alpha)) / gear.teeth;
    g.rounding = gear.rack.tipRadius * m;
    g.roundingHeight = -gear.rack.dedendum * m + g.rounding;
    g.roundingHalfGap = g.pitch / 4 + g.roundingHeight * std::tan(g.alpha) - g.rounding / std::cos(g.alpha);
    g.flankDepth = m * (gear.rack.dedendum - gear.rack.tipRadius * (1 - std::sin(g.alpha)));
    g.rackAddendum = gear.rack.addendum * m;
    const double sin2 = std::sin(g.alpha) * std::sin(g.alpha);
    g.undercut = g.flankDepth / m - gear.shift > gear.teeth / 2.0 * sin2;
    g.filletEnd = exactPi / 2 - g.alpha;
    g.involuteEnd = std::sqrt(std::fmax(0.0, g.tipRadius * g.tipRadius / (g.baseRadius * g.baseRadius) - 1));

    if (!g.undercut) {
        // The straight flank's lowest point meets the line of action between I and N: the
        // involute starts there and the fillet joins it smoothly.
        const double depth = g.flankDepth - gear.shift * m;  // below the rolling line
        const double sinA = std::sin(g.alpha);
        g.filletJoin = g.filletEnd;
        g.involuteStart = (g.pitchRadius * sinA - depth / sinA) / g.baseRadius;
        return g;
    }
    const InvoluteFlank flank = involuteFlank(g);
    g.filletJoin = undercutJoin([&](double beta) { return filletPoint(g, beta); }, 0, g.filletEnd, flank);
    g.involuteStart = flankRollAt(flank, radiusOf(filletPoint(g, g.filletJoin)));
    return g;
}

double undercutJoin(const std::function<Vec2(double)>& fillet, double from, double to, const InvoluteFlank& flank)
{
    // The fillet runs into the tooth past the base circle and comes out across the involute
    // once; the join is that crossing. Below it the fillet is the tooth's edge.
    const auto radiusAt = [&](double beta) { return radiusOf(fillet(beta)); };
    double low = from;
    if (radiusAt(from) < flank.baseRadius)
        low = bisect([&](double b) { return radiusAt(b) - flank.baseRadius; }, from, to);
    const auto outside = [&](double beta) {
        const Vec2 p = fillet(beta);
        return halfAngleOf(p) - flankHalfAngle(flank, radiusOf(p));
    };
    return outside(low) < 0 ? bisect(outside, low, to) : low;
}

bool workingPair(double module, double alpha, double toothSum, double shiftSum, double* angle, double* centreDistance)
{
    const double invW = involuteFunction(alpha) + 2 * std::tan(alpha) * shiftSum / toothSum;
    if (!(invW > 0) || !(toothSum > 0)) return false;
    *angle = inverseInvolute(invW);
    *centreDistance = toothSum * module * std::cos(alpha) / (2 * std::cos(*angle));
    return true;
}

std::string format(const char* pattern, double a, double b)
{
    char text[240];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

bool fail(std::string* reason, const std::string& why)
{
    if (reason) *reason = why;
    return false;
}

void sampleCurve(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                 std::vector<Vec2>* points, std::vector<double>* parameters)
{
    // Two halves first, so a curve symmetric about its middle cannot pass for straight.
    const double tm = 0.5 * (t0 + t1);
    const Vec2 p0 = curve(t0);
    const Vec2 pm = curve(tm);
    const Vec2 p1 = curve(t1);
    subdivide(curve, t0, p0, tm, pm, tolerance, 1, points, parameters);
    subdivide(curve, tm, pm, t1, p1, tolerance, 1, points, parameters);
}
