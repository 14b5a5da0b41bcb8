// One tooth's constants and curves: the involute in closed form, the fillet as the envelope
// of the rack's tip rounding, and the undercut join solved by bisection.
#include "tooth_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>

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
               std::vector<double>* parameters, std::size_t most)
{
    if (points->size() > most) return;  // over the budget: the caller refuses the outline
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
    subdivide(curve, t0, p0, tm, pm, tolerance, depth + 1, points, parameters, most);
    subdivide(curve, tm, pm, t1, p1, tolerance, depth + 1, points, parameters, most);
}

}  // namespace

double involuteFunction(double angle) { return std::tan(angle) - angle; }

double straightFlankDepth(double dedendum, double tipRadius, double alpha)
{
    return dedendum - tipRadius * (1 - std::sin(alpha));
}

double fewestTeethWithoutUndercut(double depth, double alpha, double shift)
{
    return 2 * (depth - shift) / (std::sin(alpha) * std::sin(alpha));
}

double inverseInvolute(double value)
{
    // Newton from the cube-root approximation converges in a few steps for the angles of gear
    // teeth; near 90° (large pins) it would overshoot, so it is kept in its bracket by halving.
    double low = 0, high = exactPi / 2;
    double a = std::fmin(std::cbrt(3 * value), 0.5 * (low + high));
    for (int i = 0; i < 200; ++i) {
        const double t = std::tan(a);
        (t - a < value ? low : high) = a;
        double next = a - (t - a - value) / (t * t);
        if (!(next > low && next < high)) next = 0.5 * (low + high);
        const double step = a - next;
        a = next;
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
    g.rackHalfThickness = g.pitch / 4 + gear.backlash / 2;
    g.halfToothAngle = (exactPi / 2 + 2 * gear.shift * std::tan(g.alpha)) / gear.teeth - gear.backlash / (2 * g.pitchRadius);
    g.rounding = gear.rack.tipRadius * m;
    g.roundingHeight = -gear.rack.dedendum * m + g.rounding;
    g.roundingHalfGap = g.rackHalfThickness + g.roundingHeight * std::tan(g.alpha) - g.rounding / std::cos(g.alpha);
    // A full-round tip, fitted exactly, may come out a rounding error below 0.
    if (std::fabs(g.roundingHalfGap) < 1e-12 * g.pitch) g.roundingHalfGap = 0;
    g.flankDepth = m * straightFlankDepth(gear.rack.dedendum, gear.rack.tipRadius, g.alpha);
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

bool sampleCurve(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance,
                 std::vector<Vec2>* points, std::vector<double>* parameters, std::size_t most)
{
    // Two halves first, so a curve symmetric about its middle cannot pass for straight.
    const double tm = 0.5 * (t0 + t1);
    const Vec2 p0 = curve(t0);
    const Vec2 pm = curve(tm);
    const Vec2 p1 = curve(t1);
    subdivide(curve, t0, p0, tm, pm, tolerance, 1, points, parameters, most);
    subdivide(curve, tm, pm, t1, p1, tolerance, 1, points, parameters, most);
    return points->size() <= most;
}

namespace {

// The bulge of the arc from a through m to b: the inscribed angle at m is π − θ/2.
double bulgeThrough(const Vec2& a, const Vec2& m, const Vec2& b)
{
    const Vec2 u{a.x - m.x, a.y - m.y}, v{b.x - m.x, b.y - m.y};
    const double turn = u.x * v.y - u.y * v.x;  // negative where a → m → b turns left
    const double inscribed = std::atan2(std::fabs(turn), u.x * v.x + u.y * v.y);
    return (turn < 0 ? 1 : -1) * std::tan((exactPi - inscribed) / 2);
}

// How far q lies from the arc from a to b of this bulge (from its circle, or its chord when
// the arc is all but straight).
double distanceToArc(const Vec2& q, const Vec2& a, const Vec2& b, double bulge)
{
    if (std::fabs(bulge) < 1e-9 || (a.x == b.x && a.y == b.y)) return distanceToChord(q, a, b);
    const ArcCircle c = arcCircle(a, b, bulge);
    return std::fabs(std::hypot(q.x - c.centre.x, q.y - c.centre.y) - c.radius);
}

void fitPiece(const std::function<Vec2(double)>& curve, double t0, const Vec2& p0, double t1, const Vec2& p1,
              double tolerance, int depth, std::vector<Vec2>* ends, std::vector<double>* bulges)
{
    const double tm = 0.5 * (t0 + t1);
    const Vec2 pm = curve(tm);
    // A piece the chord follows within the tolerance is a line: its ends are written as they
    // are, where an all but straight arc's would hang on a centre far away.
    Vec2 q[8];  // the curve at eighths of the piece, each found once
    for (int k = 1; k < 8; ++k) q[k] = curve(t0 + (t1 - t0) * k / 8);
    bool straight = true;
    for (int k = 1; k < 8; ++k) straight = straight && distanceToChord(q[k], p0, p1) <= tolerance;
    const double bulge = straight ? 0 : bulgeThrough(p0, pm, p1);
    bool close = depth >= deepestSubdivision || std::fabs(bulge) < 1;  // never more than a half circle
    for (int k : {1, 2, 3, 5, 6, 7}) close = close && distanceToArc(q[k], p0, p1, bulge) <= tolerance;
    if (close || depth >= deepestSubdivision) {
        ends->push_back(p1);
        bulges->push_back(bulge);
        return;
    }
    fitPiece(curve, t0, p0, tm, pm, tolerance, depth + 1, ends, bulges);
    fitPiece(curve, tm, pm, t1, p1, tolerance, depth + 1, ends, bulges);
}

}  // namespace

void fitArcs(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance, std::vector<Vec2>* ends,
             std::vector<double>* bulges)
{
    fitPiece(curve, t0, curve(t0), t1, curve(t1), tolerance, 0, ends, bulges);
}

ArcCircle arcCircle(const Vec2& a, const Vec2& b, double bulge)
{
    const double cx = b.x - a.x, cy = b.y - a.y, chord = std::hypot(cx, cy);
    const double offset = chord * (1 - bulge * bulge) / (4 * bulge);
    return {{(a.x + b.x) / 2 - cy / chord * offset, (a.y + b.y) / 2 + cx / chord * offset},
            chord * (1 + bulge * bulge) / (4 * std::fabs(bulge))};
}

Vec2 pointOnArc(const Vec2& a, const Vec2& b, double bulge, double f)
{
    if (bulge == 0) return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
    const Vec2 centre = arcCircle(a, b, bulge).centre;
    const double turn = 4 * std::atan(bulge) * f;
    const double c = std::cos(turn), s = std::sin(turn);
    return {centre.x + (a.x - centre.x) * c - (a.y - centre.y) * s, centre.y + (a.x - centre.x) * s + (a.y - centre.y) * c};
}

double estimateCurvePoints(const std::function<Vec2(double)>& curve, double t0, double t1, double tolerance)
{
    constexpr int pieces = 64;
    double length = 0, turning = 0, lastDirection = NAN;
    Vec2 last = curve(t0);
    for (int i = 1; i <= pieces; ++i) {
        const Vec2 p = curve(t0 + (t1 - t0) * i / pieces);
        const double dx = p.x - last.x, dy = p.y - last.y;
        if (dx == 0 && dy == 0) continue;
        const double direction = std::atan2(dy, dx);
        if (!std::isnan(lastDirection)) turning += std::fabs(std::remainder(direction - lastDirection, 2 * exactPi));
        length += std::hypot(dx, dy);
        lastDirection = direction;
        last = p;
    }
    return 2 + std::sqrt(turning * length / (8 * tolerance));
}

double smallestFilletHalfAngle(const ToothGeometry& g, double* crossingRadius)
{
    // A coarse look along the fillet, then the smallest value refined by golden sections.
    constexpr int samples = 200;
    const auto halfAngle = [&](double beta) { return halfAngleOf(filletPoint(g, beta)); };
    double best = INFINITY, bestBeta = 0;
    for (int i = 0; i <= samples; ++i) {
        const double beta = g.filletJoin * i / samples;
        const double a = halfAngle(beta);
        if (a < best) best = a, bestBeta = beta;
    }
    double lo = std::fmax(0.0, bestBeta - g.filletJoin / samples), hi = std::fmin(g.filletJoin, bestBeta + g.filletJoin / samples);
    for (int i = 0; i < 80; ++i) {
        const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
        if (halfAngle(m1) < halfAngle(m2)) hi = m2; else lo = m1;
    }
    bestBeta = halfAngle(0.5 * (lo + hi)) < best ? 0.5 * (lo + hi) : bestBeta;
    best = std::fmin(best, halfAngle(bestBeta));
    if (crossingRadius) {
        *crossingRadius = NAN;
        // The fillet starts at the foot, inside the space (a positive half-angle): the first
        // crossing lies between there and the deepest point.
        if (best < 0) *crossingRadius = radiusOf(filletPoint(g, bisect(halfAngle, 0, bestBeta)));
    }
    return best;
}

bool finiteGeometry(const ToothGeometry& g)
{
    for (double v : {g.pitchRadius, g.baseRadius, g.tipRadius, g.rootRadius, g.lineHeight, g.halfToothAngle,
                     g.rounding, g.roundingHeight, g.roundingHalfGap, g.flankDepth, g.filletJoin, g.involuteStart,
                     g.involuteEnd, g.tipRadius * g.tipRadius})
        if (!std::isfinite(v)) return false;
    return true;
}

namespace {

double cross(const Vec2& o, const Vec2& a, const Vec2& b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); }

bool within(const Vec2& a, const Vec2& b, const Vec2& p)
{
    return std::fmin(a.x, b.x) <= p.x && p.x <= std::fmax(a.x, b.x) && std::fmin(a.y, b.y) <= p.y &&
           p.y <= std::fmax(a.y, b.y);
}

// Whether segments a–b and c–d share any point, touching ends included.
bool segmentsMeet(const Vec2& a, const Vec2& b, const Vec2& c, const Vec2& d)
{
    const double d1 = cross(c, d, a), d2 = cross(c, d, b), d3 = cross(a, b, c), d4 = cross(a, b, d);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
    return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) || (d3 == 0 && within(a, b, c)) ||
           (d4 == 0 && within(a, b, d));
}

}  // namespace

bool polylineIsSimple(const std::vector<Vec2>& points, bool closed, std::size_t* at)
{
    const std::size_t n = points.size();
    if (n < 2) return true;
    const std::size_t segments = closed ? n : n - 1;
    const auto end = [&](std::size_t i) { return points[(i + 1) % n]; };
    const auto failAt = [&](std::size_t i) {
        if (at) *at = i;
        return false;
    };
    double left = INFINITY, right = -INFINITY, bottom = INFINITY, top = -INFINITY, longest = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        const Vec2 a = points[i], b = end(i);
        if (!std::isfinite(a.x) || !std::isfinite(a.y)) return failAt(i);
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0) return failAt(i);
        // A neighbour that turns straight back runs over this segment.
        if (closed || i + 1 < segments) {
            const Vec2 c = end((i + 1) % n);
            if (cross(a, b, c) == 0 && (b.x - a.x) * (c.x - b.x) + (b.y - a.y) * (c.y - b.y) < 0) return failAt(i);
        }
        longest = std::fmax(longest, length);
        left = std::fmin(left, a.x), right = std::fmax(right, a.x);
        bottom = std::fmin(bottom, a.y), top = std::fmax(top, a.y);
    }
    // Segments in a grid of cells at least as large as the longest, so that each lies in a few
    // cells and only segments sharing a cell are compared: linear in the points, not quadratic.
    const double cell = std::fmax(longest, std::hypot(right - left, top - bottom) / std::sqrt(double(segments)));
    const auto column = [&](double x) { return static_cast<long long>((x - left) / cell); };
    const auto row = [&](double y) { return static_cast<long long>((y - bottom) / cell); };
    const long long columns = column(right) + 1;
    std::unordered_map<long long, std::vector<std::size_t>> grid;
    for (std::size_t i = 0; i < segments; ++i) {
        const Vec2 a = points[i], b = end(i);
        for (long long cx = column(std::fmin(a.x, b.x)); cx <= column(std::fmax(a.x, b.x)); ++cx)
            for (long long cy = row(std::fmin(a.y, b.y)); cy <= row(std::fmax(a.y, b.y)); ++cy) {
                std::vector<std::size_t>& here = grid[cy * columns + cx];
                for (std::size_t j : here) {
                    const bool neighbours = i - j == 1 || (closed && j == 0 && i == segments - 1);
                    if (!neighbours && segmentsMeet(a, b, points[j], end(j))) return failAt(j);
                }
                here.push_back(i);
            }
    }
    return true;
}
