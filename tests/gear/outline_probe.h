// Measuring tools for the gear tests, independent of the engine's own formulas: distances
// to the outline, and a second generation that sweeps the rack as a solid over many rolls.
#pragma once

#include "gear.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

constexpr double probePi = 3.14159265358979323846;

// The engine's outline of a gear that must be cut, and its numbers when asked for.
inline std::vector<OutlinePoint> outlineOf(const GearParameters& g, GearNumbers* numbers = nullptr)
{
    std::vector<OutlinePoint> outline;
    std::string reason;
    GearNumbers n{};
    EXPECT_TRUE(computeGearOutline(g, &outline, &reason)) << reason;
    EXPECT_TRUE(computeGearNumbers(g, &n, &reason)) << reason;
    if (numbers) *numbers = n;
    return outline;
}

// Whether two segments of the closed loop cross, tried pair by pair.
inline bool selfIntersecting(const std::vector<OutlinePoint>& loop)
{
    const auto side = [](const Vec2& p, const Vec2& q, const Vec2& r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    const std::size_t n = loop.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n && (j + 1) % n != i; ++j) {
            const Vec2 a = loop[i].at, b = loop[(i + 1) % n].at, c = loop[j].at, d = loop[(j + 1) % n].at;
            if (side(a, b, c) * side(a, b, d) < 0 && side(c, d, a) * side(c, d, b) < 0) return true;
        }
    return false;
}

// The distance from p to the closed polyline through the outline's points.
inline double distanceToOutline(const std::vector<OutlinePoint>& outline, const Vec2& p)
{
    double best = INFINITY;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Vec2 a = outline[i].at;
        const Vec2 b = outline[(i + 1) % outline.size()].at;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

// The distance from p to the open path through the points.
inline double distanceToPath(const std::vector<Vec2>& path, const Vec2& p)
{
    double best = INFINITY;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        const Vec2 a = path[i], b = path[i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y, squared = dx * dx + dy * dy;
        const double t = squared > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / squared, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}

// The distance from p to a cutter drawn at a roll.
inline double distanceToPolyline(const std::vector<RackPoint>& line, const Vec2& p)
{
    std::vector<Vec2> path;
    for (const RackPoint& q : line) path.push_back(q.at);
    return distanceToPath(path, p);
}

// How far p lies below the rack's solid at roll φ (positive: the rack covers p), from the
// rack's shape alone: tip line, roundings, straight flanks and root line, one pitch apart.
inline double rackDepthAt(const GearParameters& g, double roll, const Vec2& p)
{
    const double m = g.module, a = g.pressureAngle, r = m * g.teeth / 2;
    // Undo the roll: turn the point back by φ, then slide the rack frame.
    const double x = p.x * std::cos(roll) - p.y * std::sin(roll);
    const double y = p.x * std::sin(roll) + p.y * std::cos(roll);
    const double u = x + r * roll, v = y - (r + g.shift * m);
    const double pitch = probePi * m;
    const double w = std::fabs(u - (std::floor(u / pitch) + 0.5) * pitch);  // from the nearest tooth centre
    const double rho = g.rack.tipRadius * m, tipV = -g.rack.dedendum * m;
    const double half = pitch / 4 + g.backlash / 2;  // half the rack tooth on its reference line
    const double e = half + (tipV + rho) * std::tan(a) - rho / std::cos(a);
    double lowest;
    if (w <= e)
        lowest = tipV;
    else if (w <= e + rho * std::cos(a))
        lowest = tipV + rho - std::sqrt(rho * rho - (w - e) * (w - e));
    else
        lowest = std::min((w - half) / std::tan(a), g.rack.addendum * m);
    return v - lowest;
}

// Whether any roll of the rack covers p: a coarse sweep, then golden sections round the best.
inline bool cutByRack(const GearParameters& g, const Vec2& p)
{
    const double r = g.module * g.teeth / 2;
    const double centre = std::atan2(p.x, p.y);  // the roll that brings p under the pitch point
    const double reach = 2.5 * probePi * g.module / r;
    constexpr int steps = 2000;
    double best = -INFINITY, bestRoll = centre;
    for (int i = 0; i <= steps; ++i) {
        const double roll = centre - reach + 2 * reach * i / steps;
        const double d = rackDepthAt(g, roll, p);
        if (d > best) best = d, bestRoll = roll;
    }
    double lo = bestRoll - 2 * reach / steps, hi = bestRoll + 2 * reach / steps;
    for (int i = 0; i < 60; ++i) {
        const double m1 = lo + (hi - lo) * 0.382, m2 = lo + (hi - lo) * 0.618;
        if (rackDepthAt(g, m1, p) > rackDepthAt(g, m2, p)) hi = m2; else lo = m1;
    }
    return std::max(best, rackDepthAt(g, 0.5 * (lo + hi), p)) > 0;
}
