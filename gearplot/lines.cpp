// Straight lines: plain, wide, dashed and chain segments, tooth curves, axis cross and grid.
#include "emit.h"

#include <algorithm>
#include <cmath>

namespace {

Point2 scaled(double k, const Point2& p) { return {k * p.x, k * p.y}; }

double lengthBetween(const Point2& a, const Point2& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

double directionFrom(const Point2& a, const Point2& b) { return std::atan2(b.y - a.y, b.x - a.x); }

// Dash counts grow with the length. Far beyond the window a line gets no more than this many
// (longer) dashes, so that a huge gear cannot stall a frame or overflow the count.
constexpr double mostDashes = 50000;

// The dash count for a length, truncated towards zero and within mostDashes (0 for NaN).
int dashCount(double value) { return value > 0 ? static_cast<int>(std::min(value, mostDashes)) : 0; }

// One GL_LINES primitive from a to b, in view units.
void emitSegment(const Point2& a, const Point2& b)
{
    emitBegin(GL_LINES);
    emitVertex(toView(a.x), toView(a.y));
    emitVertex(toView(b.x), toView(b.y));
    emitEnd();
}

// Lighting off, a pushed matrix with its x axis from a towards direction, and a GL_LINES
// batch begun: the frame dashed and chain segments are drawn in. Returns where that frame
// lands in the window.
WindowReach beginLinesAlong(const Point2& a, double direction, const Rgba& colour)
{
    lightingOff();
    glPushMatrix();
    glTranslated(toView(a.x), toView(a.y), 0);
    glRotated(direction * degreesPerRadian, 0, 0, 1);
    const WindowReach reach = windowReach();
    setColour(colour);
    emitBegin(GL_LINES);
    return reach;
}

// The periods i = 0 … last, each [i·period, (i + 1)·period) along the x axis of the frame,
// that can reach the window: the first and the last of them (first > last when none).
void periodsInReach(const WindowReach& w, double period, int last, int* first, int* lastInReach)
{
    *first = 0;
    *lastInReach = last;
    double from = 0, to = 0;
    const bool reaches = xAxisInReach(w, period * (last + 1), &from, &to);
    if (!(period > 0) || std::isnan(from) || std::isnan(to)) return;  // what NaN draws is not ours to judge
    if (!reaches) {
        *first = last + 1;
        return;
    }
    *first = static_cast<int>(std::clamp(std::floor(from / period) - 1, 0.0, last + 1.0));
    *lastInReach = static_cast<int>(std::clamp(std::ceil(to / period), -1.0, double(last)));
}

void endLinesAlong()
{
    emitEnd();
    glPopMatrix();
    lightingOn();
}

}  // namespace

void drawSegment(const Point2& a, const Point2& b, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    emitSegment(a, b);
    lightingOn();
}

void drawWideSegment(const Point2& a, const Point2& b, double width, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    setLineWidth(static_cast<GLfloat>(toView(width) * pixelsPerViewUnit));
    emitSegment(a, b);
    // Not the width found on entry: every later line of the frame is drawn 2 pixels wide.
    setLineWidth(2.0f);
    lightingOn();
}

void drawDashedSegment(const Point2& a, const Point2& b, const Rgba& colour)
{
    const double length = lengthBetween(a, b);
    const double direction = directionFrom(a, b);
    const int n = length < 0.4 ? 3 : dashCount(10 * length - 1);
    // n periods and a final dash of 0.8 periods make up the whole length.
    const double period = 10 * length / (10 * n + 8);
    const double dash = 0.8 * period;

    const WindowReach reach = beginLinesAlong(a, direction, colour);
    int first = 0, last = n;
    periodsInReach(reach, toView(period), n, &first, &last);
    for (int i = first; i <= last; ++i) {
        const double x = toView(period) * i;
        emitVertex(x, 0);
        emitVertex(x + toView(dash), 0);
    }
    endLinesAlong();
}

void drawChainSegment(const Point2& a, const Point2& b, const Rgba& colour)
{
    const double length = lengthBetween(a, b);
    const double direction = directionFrom(a, b);
    const int n = length < 0.5 ? 2 : dashCount(6 * length - 1);
    // n periods of 9 + 2 + 2 + 2 fifteenths and a closing long dash make up the whole length.
    const double period = toView(15 * length / (15 * n + 9));
    const double longDash = 9 * period / 15;
    const double shortDash = 2 * period / 15;

    const WindowReach reach = beginLinesAlong(a, direction, colour);
    int first = 0, last = n;
    periodsInReach(reach, period, n, &first, &last);
    for (int i = first; i <= std::min(last, n - 1); ++i) {
        const double x0 = i * period;
        const double x1 = x0 + longDash;
        emitVertex(x0, 0);
        emitVertex(x1, 0);
        const double x2 = x1 + shortDash;
        const double x3 = x2 + shortDash;
        emitVertex(x2, 0);
        emitVertex(x3, 0);
    }
    if (first <= n && last == n) {
        const double x0 = n * period;
        emitVertex(x0, 0);
        emitVertex(x0 + longDash, 0);
    }
    endLinesAlong();
}

void drawSegmentZoomed(double k, const Point2& a, const Point2& b, const Rgba& colour)
{
    drawSegment(scaled(k, a), scaled(k, b), colour);
}

void drawSegmentsZoomed(double k, const Point2 ends[], int count, const Rgba& colour)
{
    // Lighting goes off once for all of them: the driver flushes at every toggle.
    lightingOff();
    setColour(colour);
    for (int i = 0; i < count; ++i) emitSegment(scaled(k, ends[2 * i]), scaled(k, ends[2 * i + 1]));
    lightingOn();
}

void drawSegmentBatch(const Point2 ends[], int count, const Rgba& colour)
{
    if (count < 1) return;
    lightingOff();
    setColour(colour);
    emitBegin(GL_LINES);
    for (int i = 0; i < 2 * count; ++i) emitVertex(toView(ends[i].x), toView(ends[i].y));
    emitEnd();
    lightingOn();
}

void drawChainSegmentZoomed(double k, const Point2& a, const Point2& b, const Rgba& colour)
{
    drawChainSegment(scaled(k, a), scaled(k, b), colour);
}

void drawWideCurve(double k, const Point2 table[], int last, double width, const Rgba& colour)
{
    if (last < 1) return;  // nothing drawn: the caller's width stays
    // The width and the lighting are set once for the whole curve: the driver flushes its
    // vertices at every change of either, and a frame draws hundreds of curve segments.
    lightingOff();
    setColour(colour);
    setLineWidth(static_cast<GLfloat>(toView(width) * pixelsPerViewUnit));
    for (int i = 1; i <= last; ++i) emitSegment(scaled(k, table[i - 1]), scaled(k, table[i]));
    setLineWidth(2.0f);  // as drawWideSegment leaves it
    lightingOn();
}

void drawToothCurve(double k, const Point2 table[], int last, const Rgba& colour)
{
    drawWideCurve(k, table, last, 0.01, colour);
}

void drawAxisCross(const Point2& origin, double angle)
{
    lightingOff();
    setLineWidth(2.0f);
    glPushMatrix();
    setColour(black);
    glTranslated(toView(origin.x), toView(origin.y), 0);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    // The arms are a fixed 10 view units, so each line runs off the window both ways.
    emitBegin(GL_LINES);
    emitVertex(-10, 0);
    emitVertex(10, 0);
    emitVertex(0, -10);
    emitVertex(0, 10);
    emitEnd();
    glPopMatrix();
    lightingOn();
}

void drawGrid(const Point2& origin, double angle, int n, double dx, double dy)
{
    const double spacingX = toView(dx);
    const double spacingY = toView(dy);
    const double halfWidth = n * spacingX;
    const double halfHeight = n * spacingY;

    lightingOff();
    setColour(black);
    glPushMatrix();
    setLineWidth(1.0f);
    glTranslated(toView(origin.x), toView(origin.y), 0);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    for (int i = -n; i <= n; ++i) {
        emitBegin(GL_LINES);
        emitVertex(i * spacingX, -halfHeight);
        emitVertex(i * spacingX, halfHeight);
        emitEnd();
    }
    for (int i = -n; i <= n; ++i) {
        emitBegin(GL_LINES);
        emitVertex(-halfWidth, i * spacingY);
        emitVertex(halfWidth, i * spacingY);
        emitEnd();
    }
    glPopMatrix();
    lightingOn();
}
