// A second generation for pinion-cut gears, independent of the engine's formulas: the cutter
// as a solid from its shape alone (root circle, involute flanks, tip roundings found by
// measuring, tip circle), rolled with the gear over many rolls.
#pragma once

#include "outline_probe.h"

#include <algorithm>
#include <cmath>
#include <vector>

// inv α = tan α − α, and its inverse by bisection.
inline double probeInvolute(double a) { return std::tan(a) - a; }
inline double probeInverseInvolute(double value)
{
    double low = 0, high = probePi / 2 - 1e-9;
    for (int i = 0; i < 200; ++i) (probeInvolute(0.5 * (low + high)) < value ? low : high) = 0.5 * (low + high);
    return 0.5 * (low + high);
}

struct ProbeCutter {
    int z, z0;
    bool internal;
    double a;          // the cutting centre distance
    double rb0, ra0, rf0, rho;
    double halfPitchTooth;  // the cutter tooth's half-angle on its pitch circle plus inv α
    double centreAngle;     // the tip rounding's centre: its half-angle …
    double centreRadius;    // … and radius
    double formRadius;      // where the rounding meets the involute
};

// The tooth's half-angle at radius R on its sharp involute flank (radial under the base circle).
inline double sharpHalfAngle(const ProbeCutter& c, double radius)
{
    const double ar = std::acos(std::fmin(1.0, c.rb0 / radius));
    return c.halfPitchTooth - probeInvolute(ar);
}

// The distance from p to the cutter's involute flank of tooth 0 (clockwise side), and the
// radius of the nearest flank point: a golden section over the flank's roll.
inline double distanceToCutterFlank(const ProbeCutter& c, double px, double py, double* nearestRadius = nullptr)
{
    const auto at = [&](double t, double* x, double* y) {
        const double radius = c.rb0 * std::sqrt(1 + t * t), delta = c.halfPitchTooth - (t - std::atan(t));
        *x = radius * std::sin(delta), *y = radius * std::cos(delta);
    };
    const auto distance = [&](double t) {
        double x, y;
        at(t, &x, &y);
        return std::hypot(x - px, y - py);
    };
    double lo = 0, hi = std::sqrt(c.ra0 * c.ra0 / (c.rb0 * c.rb0) - 1) + 1;
    for (int i = 0; i < 200; ++i) {
        const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
        if (distance(m1) < distance(m2)) hi = m2; else lo = m1;
    }
    const double t = 0.5 * (lo + hi);
    if (nearestRadius) *nearestRadius = c.rb0 * std::sqrt(1 + t * t);
    return distance(t);
}

inline ProbeCutter probeCutter(const GearParameters& g)
{
    const double m = g.module, alpha = g.pressureAngle;
    const PinionCutter& k = g.pinionCutter;
    ProbeCutter c{};
    c.z = g.teeth, c.z0 = k.teeth, c.internal = g.internal;
    const double sum = g.internal ? g.teeth - k.teeth : g.teeth + k.teeth;
    const double shifts = g.internal ? g.shift - k.shift : g.shift + k.shift;
    const double working = probeInverseInvolute(probeInvolute(alpha) + 2 * std::tan(alpha) * shifts / sum);
    c.a = m * sum * std::cos(alpha) / (2 * std::cos(working));
    c.rb0 = m * k.teeth / 2 * std::cos(alpha);
    c.ra0 = m * k.teeth / 2 + m * (k.addendum + k.shift);
    c.rf0 = m * k.teeth / 2 - m * (k.dedendum - k.shift);
    c.rho = k.tipRadius * m;
    c.halfPitchTooth = (probePi / 2 + 2 * k.shift * std::tan(alpha)) / k.teeth + probeInvolute(alpha);
    // The rounding's centre: ρ inside the tip circle, and ρ from the flank, found by bisection
    // along that circle (farther from the flank towards the tooth's middle).
    c.centreRadius = c.ra0 - c.rho;
    double lo = 0, hi = sharpHalfAngle(c, c.centreRadius);
    for (int i = 0; i < 200; ++i) {
        const double mid = 0.5 * (lo + hi);
        (distanceToCutterFlank(c, c.centreRadius * std::sin(mid), c.centreRadius * std::cos(mid)) > c.rho ? lo : hi) = mid;
    }
    c.centreAngle = 0.5 * (lo + hi);
    distanceToCutterFlank(c, c.centreRadius * std::sin(c.centreAngle), c.centreRadius * std::cos(c.centreAngle), &c.formRadius);
    return c;
}

// How far the cutter-frame point (R, w), w its angle from the nearest tooth's centre line,
// lies inside the cutter (positive inside): the arc to the flank, or the depth under the root
// or tip circle, whichever decides.
inline double cutterDepth(const ProbeCutter& c, double radius, double w)
{
    double half;  // the rounded tooth's half-angle at this radius
    if (radius < c.rb0)
        half = sharpHalfAngle(c, c.rb0);
    else if (radius <= c.formRadius)
        half = sharpHalfAngle(c, radius);
    else if (radius <= c.ra0) {
        const double cosine = (radius * radius + c.centreRadius * c.centreRadius - c.rho * c.rho) / (2 * radius * c.centreRadius);
        half = c.centreAngle + std::acos(std::fmax(-1.0, std::fmin(1.0, cosine)));
    } else
        half = c.centreAngle;
    return std::max(c.rf0 - radius, std::min(c.ra0 - radius, radius * (half - w)));
}

// How far gear-frame point p lies inside the cutter at roll φ. The gear turns by φ, the cutter
// against it (external) or with it (internal) by φ·z/z0, and at φ = 0 a cutter tooth space
// faces the gear's tooth 0 across the line of centres.
inline double pinionDepthAt(const ProbeCutter& c, double roll, const Vec2& p)
{
    const double x = p.x * std::cos(roll) - p.y * std::sin(roll);
    const double y = p.x * std::sin(roll) + p.y * std::cos(roll) - c.a;
    const double turn = (c.internal ? -1 : 1) * roll * c.z / c.z0;  // undoes the cutter's turn
    const double u = x * std::cos(turn) - y * std::sin(turn), v = x * std::sin(turn) + y * std::cos(turn);
    const double towardsGear = c.internal ? std::atan2(u, v) : std::atan2(u, -v);
    const double pitch = 2 * probePi / c.z0;
    const double fromTooth = towardsGear + pitch / 2;  // the space middle lies half a pitch from a tooth
    const double w = std::fabs(fromTooth - std::round(fromTooth / pitch) * pitch);
    return cutterDepth(c, std::hypot(u, v), w);
}

// Whether any roll of the cutter covers p: a coarse sweep, then golden sections round each
// coarse peak. An external gear meets the cutter within a few tooth pitches of the roll that
// brings p onto the line of centres; a ring gear all round, as the cutter's teeth leave its
// tooth spaces slowly.
inline bool cutByPinion(const ProbeCutter& c, const Vec2& p)
{
    const double centre = std::atan2(p.x, p.y);
    const double reach = c.internal ? probePi : std::min(probePi, 6 * 2 * probePi / c.z);
    const int steps = c.internal ? 12000 : 6000;
    std::vector<double> depths(steps + 1);
    const auto rollAt = [&](int i) { return centre - reach + 2 * reach * i / steps; };
    for (int i = 0; i <= steps; ++i) depths[i] = pinionDepthAt(c, rollAt(i), p);
    double best = *std::max_element(depths.begin(), depths.end());
    for (int i = 0; i <= steps && best <= 0; ++i) {
        if ((i > 0 && depths[i - 1] > depths[i]) || (i < steps && depths[i + 1] > depths[i])) continue;
        double lo = rollAt(i) - 2 * reach / steps, hi = rollAt(i) + 2 * reach / steps;
        for (int k = 0; k < 60; ++k) {
            const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
            if (pinionDepthAt(c, m1, p) > pinionDepthAt(c, m2, p)) hi = m2; else lo = m1;
        }
        best = std::max(best, pinionDepthAt(c, 0.5 * (lo + hi), p));
    }
    return best > 0;
}

// The gear's own cutter, rack or pinion, as a solid: how deep a point lies in it at a roll,
// and whether any roll covers it.
struct CutterProbe {
    GearParameters gear;
    ProbeCutter pinion;
    explicit CutterProbe(const GearParameters& g)
        : gear(g), pinion(g.cutter == CutterKind::pinion ? probeCutter(g) : ProbeCutter{})
    {
    }
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
    const std::size_t perTooth = outline.size() / g.teeth;
    constexpr double hair = 2e-3;
    for (std::size_t i = 0; i < perTooth; ++i) {
        const Vec2 a = outline[(i + outline.size() - 1) % outline.size()].at, b = outline[i + 1].at;
        const double dx = b.x - a.x, dy = b.y - a.y, length = std::hypot(dx, dy);
        const Vec2 p = outline[i].at, out{dy / length, -dx / length};
        EXPECT_TRUE(cutter.cuts({p.x + hair * out.x, p.y + hair * out.y})) << "point " << i;
        EXPECT_FALSE(cutter.cuts({p.x - hair * out.x, p.y - hair * out.y})) << "point " << i;
    }
}
