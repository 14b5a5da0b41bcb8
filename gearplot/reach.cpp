// Where the current frame lands in the window, so that drawing far outside it can be skipped.
#include "gearplot.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace {

// How far outside the window a point may still colour a pixel: half the widest line (4
// pixels) and the rasteriser's rounding, with room to spare. View units.
constexpr double windowMargin = 0.05;
constexpr double singlePrecision = 1.1920929e-7;  // FLT_EPSILON

// The distance from v to the window's span -1 … 1 along one axis; 0 inside it.
double outside(double v) { return std::max(std::fabs(v) - 1.0, 0.0); }

}  // namespace

WindowReach windowReach()
{
    double m[16], p[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    // The flat part of projection × modelview: the programs draw at z = 0 with w = 1.
    auto row = [&](int r, int c) {
        return p[r] * m[4 * c] + p[4 + r] * m[4 * c + 1] + p[8 + r] * m[4 * c + 2] + p[12 + r] * m[4 * c + 3];
    };
    WindowReach w{row(0, 0), row(0, 1), row(1, 0), row(1, 1), row(0, 3), row(1, 3), 0};
    // The largest singular value of the 2 × 2 part bounds how much a length can grow.
    const double a = w.xx * w.xx + w.yx * w.yx, b = w.xy * w.xy + w.yy * w.yy, c = w.xx * w.xy + w.yx * w.yy;
    w.stretch = std::sqrt((a + b) / 2 + std::sqrt((a - b) * (a - b) / 4 + c * c));
    return w;
}

Point2 inWindow(const WindowReach& w, const Point2& p)
{
    return {w.xx * p.x + w.xy * p.y + w.tx, w.yx * p.x + w.yy * p.y + w.ty};
}

bool discReachesWindow(const WindowReach& w, const Point2& centre, double radius)
{
    const Point2 c = inWindow(w, centre);
    // OpenGL holds the matrix and the vertices in single precision: far from the origin a
    // point may land a few roundings of its distance away.
    const double rounding = 4 * singlePrecision *
                            (std::fabs(w.tx) + std::fabs(w.ty) +
                             w.stretch * (std::fabs(centre.x) + std::fabs(centre.y) + std::fabs(radius)));
    const double reach = w.stretch * std::fabs(radius) + windowMargin + rounding;
    // NaN or infinite positions are never skipped: what they draw is not ours to judge.
    const double dx = outside(c.x), dy = outside(c.y);
    return !(dx * dx + dy * dy > reach * reach);
}

bool segmentReachesWindow(const WindowReach& w, const Point2& a, const Point2& b, double slack)
{
    const Point2 p = inWindow(w, a), q = inWindow(w, b);
    const double reach = 1.0 + windowMargin + slack;
    // Skipped only when both ends lie beyond the same edge of the widened window.
    return !((p.x > reach && q.x > reach) || (p.x < -reach && q.x < -reach) || (p.y > reach && q.y > reach) ||
             (p.y < -reach && q.y < -reach));
}

bool xAxisInReach(const WindowReach& w, double length, double* from, double* to)
{
    // Placed in single precision, a point far along the axis may land a few roundings away.
    const double reach = 1 + windowMargin +
                         4 * singlePrecision * (std::fabs(w.tx) + std::fabs(w.ty) + w.stretch * std::fabs(length));
    double lo = -HUGE_VAL, hi = HUGE_VAL;
    const double slopes[] = {w.xx, w.yx}, offsets[] = {w.tx, w.ty};
    for (int axis = 0; axis < 2; ++axis) {
        const double slope = slopes[axis], offset = offsets[axis];
        if (slope == 0) {
            if (std::fabs(offset) > reach) lo = HUGE_VAL;  // parallel to this edge, beyond it
            continue;
        }
        const double a = (-reach - offset) / slope, b = (reach - offset) / slope;
        lo = std::max(lo, std::min(a, b));
        hi = std::min(hi, std::max(a, b));
    }
    *from = lo;
    *to = hi;
    return lo <= hi;
}
