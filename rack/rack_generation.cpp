#include "rack_generation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int lastTableIndex = toothTableCapacity - 1;

double cross(const Point2& a, const Point2& b) { return a.x * b.y - a.y * b.x; }

Point2 minus(const Point2& a, const Point2& b) { return {a.x - b.x, a.y - b.y}; }

double distanceFromCentre(const RackGear& gear, const Point2& p)
{
    const double dx = p.x - gear.gearCentre.x;
    const double dy = p.y - gear.gearCentre.y;
    return std::sqrt(dx * dx + dy * dy);
}

double rollAt(const GenerationSteps& steps, double x) { return steps.stepsInAngle ? std::tan(x) : x; }

}  // namespace

RackGear makeRackGear(int z)
{
    RackGear g{};
    g.toothCount = z;
    g.pressureAngle = gearPi / 9;
    const double tanAlpha = std::tan(g.pressureAngle);
    const double cosAlpha = std::cos(g.pressureAngle);
    g.addendum = 1.0;
    g.dedendum = 1.25;
    g.rackShiftDedendum = g.dedendum * tanAlpha;
    g.rackShiftAddendum = g.addendum * tanAlpha;
    g.pitchRadius = z / 2.0;
    g.tipRadius = g.pitchRadius + g.addendum;
    g.gearCentre = {0.0, -g.pitchRadius};
    g.rootRadius = g.pitchRadius - g.dedendum;
    g.baseRadius = g.pitchRadius * cosAlpha;
    g.rackFlankDepth = g.dedendum / cosAlpha;
    g.undercutStartRoll = std::tan(std::atan2(g.dedendum * tanAlpha, g.pitchRadius));
    return g;
}

GenerationSteps rollSteps(const RackGear& gear)
{
    return {false, 0.005, 0.005, -gear.undercutStartRoll, 0.005, 250};
}

Point2 rackReferencePoint(const RackGear& gear, double t)
{
    const double phi = std::atan(t);
    const double R = gear.pitchRadius / std::cos(phi);
    const double delta = t - phi;
    return {R * std::sin(delta), R * std::cos(delta) - gear.pitchRadius};
}

void rackFlankPoint(const RackGear& gear, double t, Point2* rackPoint, Point2* flankPoint,
                    double* s)
{
    const Point2 p = rackReferencePoint(gear, t);
    // The foot of the perpendicular from the pitch contact onto the rack flank through P.
    const double along = gear.pitchRadius * t * std::sin(gear.pressureAngle);
    const double a = t + gear.pressureAngle;
    *rackPoint = p;
    *flankPoint = {p.x + along * std::sin(a), p.y + along * std::cos(a)};
    *s = along;
}

void rackTipPoint(const RackGear& gear, double t, Point2* rackPoint, Point2* tipPoint)
{
    const Point2 p = rackReferencePoint(gear, t);
    const double a = gear.pressureAngle + t;
    *rackPoint = p;
    *tipPoint = {p.x - gear.rackFlankDepth * std::sin(a), p.y - gear.rackFlankDepth * std::cos(a)};
}

int clipToTipCircle(const RackGear& gear, int last, Point2 table[])
{
    const Point2 p = table[last - 1];
    const Point2 q = table[last];
    const double rp = gear.pitchRadius;
    const double ra = gear.tipRadius;
    if (q.x == p.x) {
        // A vertical last segment has no slope: meet the tip circle straight above.
        const double h = ra * ra - p.x * p.x;
        if (h < 0) return 0;
        table[last] = {p.x, std::sqrt(h) - rp};
        return 1;
    }
    const double lambda = (q.y - p.y) / (q.x - p.x);
    const double b = p.y - lambda * p.x;
    const double a = lambda * lambda + 1;
    const double B = (rp + b) * lambda;
    const double E = (rp + b) * (rp + b) - ra * ra;
    const double D = B * B - a * E;
    if (D < 0) return 0;
    const double x = (-B + std::sqrt(D)) / a;  // the tip side runs towards +x
    table[last] = {x, lambda * x + b};
    return 1;
}

int joinUndercut(int nu, const Point2 U[], int nt, const Point2 T[], int* profileLast,
                 Point2 profile[], int* leavingIndex)
{
    for (int i = 0; i < nu; ++i) {
        const Point2 u = minus(U[i + 1], U[i]);
        for (int j = 0; j < nt; ++j) {
            const double c1 = cross(u, minus(T[j], U[i]));
            const double c2 = cross(u, minus(T[j + 1], U[i]));
            if (c1 * c2 > 0) continue;
            const Point2 v = minus(T[j + 1], T[j]);
            const double d1 = cross(v, minus(U[i], T[j]));
            const double d2 = cross(v, minus(U[i + 1], T[j]));
            if (d1 * d2 < 0) {
                if (i + nt - j > lastTableIndex) return 0;
                // The crossing point itself is not inserted: U[i] is followed by T[j + 1].
                std::copy(U, U + i + 1, profile);
                std::copy(T + j + 1, T + nt + 1, profile + i + 1);
                *profileLast = i + nt - j;
                if (leavingIndex) *leavingIndex = i;
                return 1;
            }
        }
    }
    // No crossing: cut the undercut curve where it comes closest to the lowest involute point.
    double best = 100000.0;
    int k = 0;
    while (k <= nu) {
        const double dx = U[k].x - T[0].x;
        const double dy = U[k].y - T[0].y;
        const double d = dx * dx + dy * dy;
        if (!(d < best)) break;
        best = d;
        ++k;
    }
    if (k + nt > lastTableIndex) return 0;
    std::copy(U, U + k, profile);
    std::copy(T, T + nt + 1, profile + k);
    *profileLast = k + nt;
    if (leavingIndex) *leavingIndex = k;
    return 1;
}

int generateRackTables(const RackGear& gear, const GenerationSteps& steps, RackTables* tables)
{
    RackTables& tb = *tables;
    double s = 0;

    // Tip side: up to and including the first point on or beyond the tip circle.
    int i = 0;
    for (;; ++i) {
        const double t = rollAt(steps, steps.tipSideStep * i);
        rackFlankPoint(gear, t, &tb.addendumRackPoints[i], &tb.addendumFlank[i], &s);
        if (distanceFromCentre(gear, tb.addendumFlank[i]) >= gear.tipRadius) break;
        if (i == lastTableIndex) break;  // never reached for z ≥ 1; keeps the table safe
    }
    tb.addendumLast = i;

    // Root side: while the contact lies on the straight rack flank and outside the base circle.
    const int rootSideCapacity = lastTableIndex - tb.addendumLast;  // the merge must fit too
    int j = 0;
    for (;; ++j) {
        const double t = rollAt(steps, -(steps.rootSideStep * j));
        rackFlankPoint(gear, t, &tb.dedendumRackPoints[j], &tb.dedendumFlank[j], &s);
        const double r = distanceFromCentre(gear, tb.dedendumFlank[j]);
        if (!(std::fabs(s) < gear.rackFlankDepth && r > gear.baseRadius + 0.002)) break;
        if (j == rootSideCapacity) break;
    }
    tb.dedendumLast = j;
    // When the flank test ends the loop, the stored point lies past the end of the rack's
    // straight flank, where the rack never cuts; for large gears the step carries it inside
    // the root circle. There it is moved to where the flank ends, at the roll where |s| is the
    // flank depth: the tip corner's point, so the undercut curve meets it. Points that stay
    // outside the root circle are kept as they are.
    if (!(std::fabs(s) < gear.rackFlankDepth) &&
        distanceFromCentre(gear, tb.dedendumFlank[j]) < gear.rootRadius) {
        const double flankEndRoll = -gear.rackFlankDepth / (gear.pitchRadius * std::sin(gear.pressureAngle));
        rackFlankPoint(gear, flankEndRoll, &tb.dedendumRackPoints[j], &tb.dedendumFlank[j], &s);
    }

    // Merge: the root side reversed down to the pitch point, then the tip side after it.
    for (int k = 0; k <= tb.dedendumLast; ++k)
        tb.involuteProfile[k] = tb.dedendumFlank[tb.dedendumLast - k];
    for (int k = 1; k <= tb.addendumLast; ++k)
        tb.involuteProfile[tb.dedendumLast + k] = tb.addendumFlank[k];
    tb.involuteLast = tb.addendumLast + tb.dedendumLast;
    if (tb.involuteLast >= 1) clipToTipCircle(gear, tb.involuteLast, tb.involuteProfile);

    // Undercut: the path of the rack's tip corner, from the root circle outwards.
    tb.undercutLast = steps.undercutLast;
    for (int k = 0; k <= tb.undercutLast; ++k) {
        const double t = rollAt(steps, steps.undercutStart - steps.undercutStep * k);
        rackTipPoint(gear, t, &tb.undercutRackPoints[k], &tb.undercutCurve[k]);
    }

    int leaving = 0;
    if (!joinUndercut(tb.undercutLast, tb.undercutCurve, tb.involuteLast, tb.involuteProfile,
                      &tb.profileLast, tb.toothProfile, &leaving))
        return -1;
    return leaving;
}
