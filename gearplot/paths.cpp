// Polylines, arcs of circles seen close up, and dots: strokes measured in pixels, points in
// whatever units the current matrix maps, so a program can draw its millimetres directly.
#include "emit.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double fullTurn = 2 * gearPi;
constexpr int fewestChords = 16;       // per drawn arc
constexpr int mostChords = 4096;       // per drawn arc: a pixel off is never worth more

void beginStroke(const Stroke& stroke)
{
    lightingOff();
    setColour(stroke.colour);
    setLineWidth(stroke.width);
    setLineStipple(stroke.pattern);
}

void endStroke()
{
    setLineStipple(solidPattern);
    setLineWidth(1.0f);
    lightingOn();
}

}  // namespace

void drawPolyline(const Point2 points[], std::size_t count, bool closed, const Stroke& stroke)
{
    if (count < 2) return;
    beginStroke(stroke);
    emitBegin(closed ? GL_LINE_LOOP : GL_LINE_STRIP);
    for (std::size_t i = 0; i < count; ++i) emitVertex(points[i].x, points[i].y);
    emitEnd();
    endStroke();
}

void drawCircleNear(const Point2& centre, double r, const Point2& near, double reach, double pixelsPerUnit,
                    const Stroke& stroke)
{
    if (!(r > 0) || !(pixelsPerUnit > 0)) return;
    const double d = std::hypot(near.x - centre.x, near.y - centre.y);
    double start = 0, sweep = fullTurn;
    if (std::isfinite(reach) && d > 0) {
        // The circle's points within reach of near: R² + d² − 2Rd·cos φ ≤ reach².
        const double c = (r * r + d * d - reach * reach) / (2 * r * d);
        if (c >= 1) return;  // the circle passes wholly outside
        if (c > -1) {
            const double half = std::acos(c);
            start = std::atan2(near.y - centre.y, near.x - centre.x) - half;
            sweep = 2 * half;
        }
    } else if (std::isfinite(reach) && r > reach) {
        return;  // near is the centre and the circle lies beyond reach
    }
    // A chord of angle δ strays r(1 − cos δ/2) ≈ rδ²/8 from the circle: keep that under a quarter pixel.
    const double radiusPixels = r * pixelsPerUnit;
    const double chordAngle = std::sqrt(2 / std::max(radiusPixels, 1.0));
    const int chords = std::clamp(static_cast<int>(std::ceil(sweep / chordAngle)), fewestChords, mostChords);
    beginStroke(stroke);
    emitBegin(sweep >= fullTurn ? GL_LINE_LOOP : GL_LINE_STRIP);
    const int last = sweep >= fullTurn ? chords - 1 : chords;
    for (int i = 0; i <= last; ++i) {
        const double a = start + sweep * i / chords;
        emitVertex(centre.x + r * std::cos(a), centre.y + r * std::sin(a));
    }
    emitEnd();
    endStroke();
}

void drawDot(const Point2& p, float size, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    setPointSize(size);
    emitBegin(GL_POINTS);
    emitVertex(p.x, p.y);
    emitEnd();
    setPointSize(1.0f);
    lightingOn();
}
