// A second generation for pinion-cut gears, independent of the engine's formulas: the cutter
// as a solid from its shape alone (root circle, involute flanks, tip roundings placed by
// bisection, tip circle), rolled with the gear over many rolls.
#pragma once

#include "outline_probe.h"

#include <cmath>
#include <vector>

// A gear of z teeth and shift x cut by a pinion cutter of z0 teeth and shift x0; a ring gear
// when internal.
inline GearParameters pinionCutGear(int z, double x, bool internal, int z0 = 25, double x0 = 0,
                                    double tolerance = defaultTolerance)
{
    GearParameters g = defaultGearParameters(z);
    g.shift = x, g.tolerance = tolerance, g.cutter = CutterKind::pinion, g.internal = internal;
    g.pinionCutter.teeth = z0, g.pinionCutter.shift = x0;
    return g;
}

inline double probeInvolute(double a) { return std::tan(a) - a; }

// Finds where f changes sign in [low, high] (f(low) < 0 < f(high)).
template <class F>
double probeRoot(F f, double low, double high)
{
    for (int i = 0; i < 200; ++i) (f(0.5 * (low + high)) < 0 ? low : high) = 0.5 * (low + high);
    return 0.5 * (low + high);
}

struct ProbeCutter {
    int z, z0;
    bool internal;
    double a;                  // the cutting centre distance
    double rb0, ra0, rf0, rho;
    double baseAngle;          // where the flank of tooth 0 leaves the base circle, from its centre line
    double formRadius;         // where the rounding meets the flank
    double centreRadius, centreAngle;  // the rounding's centre
};

inline ProbeCutter probeCutter(const GearParameters& g)
{
    const double m = g.module, alpha = g.pressureAngle;
    const PinionCutter& k = g.pinionCutter;
    ProbeCutter c{g.teeth, k.teeth, g.internal, 0, 0, 0, 0, k.tipRadius * m, 0, 0, 0, 0};
    const double sum = g.internal ? g.teeth - k.teeth : g.teeth + k.teeth;
    const double shifts = g.internal ? g.shift - k.shift : g.shift + k.shift;
    const double invW = probeInvolute(alpha) + 2 * std::tan(alpha) * shifts / sum;
    const double working = probeRoot([&](double w) { return probeInvolute(w) - invW; }, 0, probePi / 2 - 1e-9);
    c.a = m * sum * std::cos(alpha) / (2 * std::cos(working));
    c.rb0 = m * k.teeth / 2 * std::cos(alpha);
    c.ra0 = m * k.teeth / 2 + m * (k.addendum + k.shift);
    c.rf0 = m * k.teeth / 2 - m * (k.dedendum - k.shift);
    c.baseAngle = (probePi / 2 + 2 * k.shift * std::tan(alpha)) / k.teeth + probeInvolute(alpha);
    // The rounding touches the flank at T, its centre ρ in along the flank's normal, and the tip
    // circle: T is where that centre lies ρ inside the tip circle.
    const auto centreAt = [&](double t, double* radius, double* angle) {
        const double r = c.rb0 * std::sqrt(1 + t * t), d = c.baseAngle - (t - std::atan(t));
        const double normal = c.baseAngle - t + probePi / 2;  // the normal's half-angle
        const double x = r * std::sin(d) - c.rho * std::sin(normal), y = r * std::cos(d) - c.rho * std::cos(normal);
        *radius = std::hypot(x, y), *angle = std::atan2(x, y);
    };
    const double tMax = std::sqrt(c.ra0 * c.ra0 / (c.rb0 * c.rb0) - 1);
    const double t = probeRoot([&](double s) { double r, d; centreAt(s, &r, &d); return r - (c.ra0 - c.rho); }, 0, tMax);
    centreAt(t, &c.centreRadius, &c.centreAngle);
    c.formRadius = c.rb0 * std::sqrt(1 + t * t);
    return c;
}

// How far the cutter-frame point at radius R, w from the nearest tooth centre line, lies in
// the cutter (positive inside): the arc to the rounded tooth's edge, or the depth under its
// root or tip circle, whichever decides.
inline double cutterDepth(const ProbeCutter& c, double radius, double w)
{
    double half = c.centreAngle;  // the tooth's half-angle at this radius
    if (radius <= c.formRadius)
        half = c.baseAngle - probeInvolute(std::acos(std::fmin(1.0, c.rb0 / radius)));  // radial under the base circle
    else if (radius <= c.ra0)
        half += std::acos(std::fmin(1.0, (radius * radius + c.centreRadius * c.centreRadius - c.rho * c.rho) /
                                              (2 * radius * c.centreRadius)));
    return std::max(c.rf0 - radius, std::min(c.ra0 - radius, radius * (half - w)));
}

// How far gear-frame point p lies in the cutter at roll φ. The gear turns by φ, the cutter
// against it (external) or with it (internal) by φ·z/z0, and at φ = 0 a cutter tooth space
// faces the gear's tooth 0 across the line of centres.
inline double pinionDepthAt(const ProbeCutter& c, double roll, const Vec2& p)
{
    const double x = p.x * std::cos(roll) - p.y * std::sin(roll);
    const double y = p.x * std::sin(roll) + p.y * std::cos(roll) - c.a;
    const double turn = (c.internal ? -1 : 1) * roll * c.z / c.z0;  // undoes the cutter's turn
    const double u = x * std::cos(turn) - y * std::sin(turn), v = x * std::sin(turn) + y * std::cos(turn);
    const double pitch = 2 * probePi / c.z0;
    const double fromTooth = (c.internal ? std::atan2(u, v) : std::atan2(u, -v)) + pitch / 2;
    return cutterDepth(c, std::hypot(u, v), std::fabs(fromTooth - std::round(fromTooth / pitch) * pitch));
}

// Whether any roll of the cutter covers p: a coarse sweep, then golden sections round each
// coarse peak. An external gear meets the cutter within a few tooth pitches of the roll that
// brings p onto the line of centres; a ring gear all round, as the cutter's teeth leave its
// tooth spaces slowly.
inline bool cutByPinion(const ProbeCutter& c, const Vec2& p)
{
    const double reach = c.internal ? probePi : std::min(probePi, 12 * probePi / c.z);
    const int steps = c.internal ? 12000 : 6000;
    const auto rollAt = [&](double i) { return std::atan2(p.x, p.y) - reach + 2 * reach * i / steps; };
    std::vector<double> depths(steps + 1);
    for (int i = 0; i <= steps; ++i) depths[i] = pinionDepthAt(c, rollAt(i), p);
    for (int i = 0; i <= steps; ++i) {
        if (depths[i] > 0) return true;
        if ((i > 0 && depths[i - 1] > depths[i]) || (i < steps && depths[i + 1] > depths[i])) continue;
        double lo = i - 1, hi = i + 1;
        for (int k = 0; k < 60; ++k) {
            const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
            if (pinionDepthAt(c, rollAt(m1), p) > pinionDepthAt(c, rollAt(m2), p)) hi = m2; else lo = m1;
        }
        if (pinionDepthAt(c, rollAt(0.5 * (lo + hi)), p) > 0) return true;
    }
    return false;
}

// The gear's own cutter, rack or pinion, as a solid: how deep a point lies in it at a roll,
// and whether any roll covers it.
struct CutterProbe {
    GearParameters gear;
    ProbeCutter pinion;
    explicit CutterProbe(const GearParameters& g) : gear(g), pinion(g.cutter == CutterKind::pinion ? probeCutter(g) : ProbeCutter{}) {}
    double depthAt(double roll, const Vec2& p) const
    {
        return gear.cutter == CutterKind::rack ? rackDepthAt(gear, roll, p) : pinionDepthAt(pinion, roll, p);
    }
    bool cuts(const Vec2& p) const { return gear.cutter == CutterKind::rack ? cutByRack(gear, p) : cutByPinion(pinion, p); }
};

// A second generation: every outline point of tooth 0 and its spaces lies on the edge of
// what the gear's cutter sweeps as a solid: a hair out into the space is cut, a hair into the
// material is not. The right of the walk is the space for either gear, a ring's outline
// running clockwise round its hole.
inline void expectToothOnTheEdgeOfTheCut(const GearParameters& g)
{
    const CutterProbe cutter(g);
    const std::vector<OutlinePoint> outline = outlineOf(g);
    constexpr double hair = 2e-3;
    for (std::size_t i = 0; i < outline.size() / g.teeth; ++i) {
        const Vec2 a = outline[(i + outline.size() - 1) % outline.size()].at, b = outline[i + 1].at;
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        const Vec2 p = outline[i].at, out{dy / length, -dx / length};
        EXPECT_TRUE(cutter.cuts({p.x + hair * out.x, p.y + hair * out.y})) << "point " << i;
        EXPECT_FALSE(cutter.cuts({p.x - hair * out.x, p.y - hair * out.y})) << "point " << i;
    }
}
