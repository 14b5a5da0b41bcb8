// The rack cutter and the mode bodies of the rack-rolling display.
#include "rack_program.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

Point2 zoomed(double k, const Point2& p) { return {k * p.x, k * p.y}; }

// Racks left behind at the earlier steps: every fifth step, or every step.
void drawPastRacks(int steps, int every, double firstRoll, double rollStep)
{
    // Hundreds of racks, each of a few draws: lighting stays off for all of them, since the
    // driver flushes at every toggle and keeps each draw's state until the frame is shown.
    beginUnlitRun();
    for (int n = 0; n < steps; n += every) {
        const double t = firstRoll + rollStep * n;
        drawRack(0, rackReferencePoint(rackGear, t), t, green);
    }
    endUnlitRun();
}

// Whether outline copy i of the rack (i pitches along it, in the rack's frame as reach sees
// it) can reach the window: its box, from the rack tip at its left to the one at its right.
bool outlineReachesWindow(const WindowReach& reach, int i)
{
    const double k = rackView.zoom, pi = gearPi;
    const double left = i * pi - pi - rackGear.rackShiftDedendum;
    const double right = i * pi + pi / 2 + rackGear.rackShiftDedendum;
    const double bottom = -rackGear.dedendum, top = rackGear.addendum;
    const Point2 middle{toView(k * (left + right) / 2), toView(k * (bottom + top) / 2)};
    const double halfDiagonal = toView(std::fabs(k) * std::hypot(right - left, top - bottom) / 2);
    return discReachesWindow(reach, middle, halfDiagonal);
}

ToothTable mirroredProfile;  // the opposite flank of mode '6', filled as it is drawn

// The seven segments of one copy of the rack outline, in mm of the copy's own frame.
struct RackOutlineSegments {
    Point2 ends[14];
};

RackOutlineSegments rackOutlineSegments()
{
    const double sA = rackGear.rackShiftAddendum;
    const double sD = rackGear.rackShiftDedendum;
    const double ha = rackGear.addendum;
    const double hf = rackGear.dedendum;
    const double pi = gearPi;
    const Point2 v1{-pi - sD, -hf}, v2{-pi + sA, ha}, v3{-pi / 2 - sA, ha}, v4{-pi / 2 + sD, -hf};
    const Point2 v5{-sD, -hf}, v6{sA, ha}, v7{pi / 2 - sA, ha}, v8{pi / 2 + sD, -hf};
    return {{v1, v2, v2, v3, v3, v4, v5, v4,
             v5, v6,  // the generating flank, through the reference point
             v6, v7, v7, v8}};
}

// The copies of the rack drawn at roll t: i runs first … first + 3 pitches along it.
int firstRackCopy(double t)
{
    // Rack pitches travelled, roughly. Clamped so that huge gears cannot overflow the int.
    const double travelled = t / std::atan(2 * gearPi / rackGear.toothCount);
    return static_cast<int>(std::clamp(travelled, -1e9, 1e9)) - 2;
}

// The modelview matrix as OpenGL keeps it: in single precision, each turn and shift rounded
// as it is multiplied in. Column-major, as glGetFloatv gives it.
struct FloatMatrix {
    float m[16];

    // glTranslated(x, y, 0).
    void translate(double dx, double dy)
    {
        const float x = static_cast<float>(dx), y = static_cast<float>(dy);
        for (int r = 0; r < 4; ++r) m[12 + r] = m[r] * x + m[4 + r] * y + m[12 + r];
    }
    // glRotated(degrees, 0, 0, 1).
    void rotate(double degrees)
    {
        const float angle = static_cast<float>(degrees);
        const float s = std::sin(static_cast<float>(angle * gearPi / 180.0));
        const float c = std::cos(static_cast<float>(angle * gearPi / 180.0));
        for (int r = 0; r < 4; ++r) {
            const float a0 = m[r], a1 = m[4 + r];
            m[r] = a0 * c + a1 * s;
            m[4 + r] = a0 * -s + a1 * c;
        }
    }
    // Where the vertex (x, y) lands, in the frame the matrix maps to.
    Point2 apply(double px, double py) const
    {
        const float x = static_cast<float>(px), y = static_cast<float>(py);
        return {m[0] * x + m[4] * y + m[12], m[1] * x + m[5] * y + m[13]};
    }
};

// Turns matrix to the rack at roll t, its reference point at `at`, as drawRack does.
void turnToRack(FloatMatrix* matrix, const Point2& at, double t)
{
    const double k = rackView.zoom;
    matrix->translate(toView(k * at.x), toView(k * at.y));
    matrix->rotate(-t * degreesPerRadian);
}

// Places the copies of the whole-tooth rack of step n as drawRack turns and shifts to them,
// on a single-precision copy of the matrix, so that the rounding each leaves behind moves the
// later racks just as it always has: two thousand steps on, that is more than a pixel. Adds
// the copies' segments that can reach the window to ends, in window units.
void placeRollingRack(FloatMatrix* matrix, int n, const RackOutlineSegments& outline, const WindowReach& reach,
                      std::vector<Point2>* ends)
{
    const double k = rackView.zoom;
    const double t = wholeToothRoll(n);
    const Point2 at = rackReferencePoint(rackGear, t);
    turnToRack(matrix, at, t);
    const int first = firstRackCopy(t);
    for (int i = first; i <= first + 3; ++i) {
        matrix->translate(toView(i * k * gearPi), 0);
        for (int j = 0; j < 7; ++j) {
            const Point2 u = outline.ends[2 * j], v = outline.ends[2 * j + 1];
            const Point2 a = matrix->apply(toView(k * u.x), toView(k * u.y));
            const Point2 b = matrix->apply(toView(k * v.x), toView(k * v.y));
            if (!segmentReachesWindow(reach, a, b)) continue;
            ends->push_back(a);
            ends->push_back(b);
        }
        matrix->translate(-toView(i * k * gearPi), 0);
    }
    matrix->rotate(t * degreesPerRadian);
    matrix->translate(-toView(k * at.x), -toView(k * at.y));
}

// Places the past racks of steps from … steps − 1 on matrix into ends, as drawRack would.
void placeRollingRacks(FloatMatrix* matrix, int from, int steps, std::vector<Point2>* ends)
{
    const RackOutlineSegments outline = rackOutlineSegments();
    const WindowReach reach = windowReach();
    for (int n = from; n < steps; ++n) placeRollingRack(matrix, n, outline, reach, ends);
}

// Draws the racks of steps from … steps − 1, placed on from *matrix, in one draw instead of
// thousands, and leaves in *matrix and on the stack the matrix the next rack is placed from.
void drawRackBatch(FloatMatrix* matrix, int from, int steps)
{
    glPushMatrix();
    glLoadIdentity();  // the vertices are placed already
    std::vector<Point2> ends;
    placeRollingRacks(matrix, from, steps, &ends);
    drawSegmentBatch(ends.data(), static_cast<int>(ends.size() / 2), green);
    glPopMatrix();
    // What the matrix stack would have been left with, for anything drawn after the racks.
    glLoadMatrixf(matrix->m);
}

// The racks of the whole-tooth modes, steps 0 … steps − 1, placed from the current matrix.
void drawRollingRackBatch(int steps)
{
    FloatMatrix matrix{};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix.m);
    drawRackBatch(&matrix, 0, steps);
}

// The past racks of mode '4', kept in a layer: the view stays put while they pile up, one
// more each frame, so each is rasterised once instead of in every frame.
struct KeptRacks {
    KeptLayer layer;
    int racks;             // the racks of steps 0 … racks − 1 are in it
    FloatMatrix view;      // the modelview they were placed from
    float projection[16];  // and the projection they were drawn through
    FloatMatrix next;      // the matrix the next rack is placed from
    double zoom;
    int toothCount;
};
KeptRacks keptRacks{};

bool sameFloats(const float a[16], const float b[16]) { return std::equal(a, a + 16, b); }

// The racks of steps 0 … steps − 1, placed from view: those not yet kept drawn into the
// layer, then the layer shown. A step back, a zoom, a tooth count, a window size or another
// view starts it anew. Without layers the racks are drawn as they are.
void drawKeptRollingRacks(int steps, const FloatMatrix& view)
{
    KeptRacks& kept = keptRacks;
    float projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    const bool fits = kept.racks <= steps && kept.toothCount == rackGear.toothCount && kept.zoom == rackView.zoom &&
                      layerFitsWindow(kept.layer) && sameFloats(kept.view.m, view.m) &&
                      sameFloats(kept.projection, projection);
    if (!beginLayer(&kept.layer, !fits)) {
        FloatMatrix matrix = view;
        drawRackBatch(&matrix, 0, steps);
        return;
    }
    if (!fits) {
        kept = {kept.layer, 0, view, {}, view, rackView.zoom, rackGear.toothCount};
        std::copy(projection, projection + 16, kept.projection);
    }
    drawRackBatch(&kept.next, kept.racks, steps);
    kept.racks = steps;
    endLayer();
    showLayer(kept.layer);
}

}  // namespace

void drawRackOutline(const Rgba& colour)
{
    const RackOutlineSegments outline = rackOutlineSegments();
    const Point2* segments = outline.ends;
    // Only the segments that can reach the window: far along the roll, most of a rack's
    // copies lie partly or wholly outside it, and each one drawn costs the driver a draw.
    const double k = rackView.zoom;
    const WindowReach reach = windowReach();
    Point2 shown[14];
    int count = 0;
    for (int i = 0; i < 7; ++i) {
        const Point2 a = segments[2 * i], b = segments[2 * i + 1];
        if (!segmentReachesWindow(reach, {toView(k * a.x), toView(k * a.y)}, {toView(k * b.x), toView(k * b.y)})) continue;
        shown[2 * count] = a;
        shown[2 * count + 1] = b;
        ++count;
    }
    if (count > 0) drawSegmentsZoomed(k, shown, count, colour);
}

void drawRack(int showPitchLine, const Point2& at, double t, const Rgba& colour)
{
    const double k = rackView.zoom;
    const int first = firstRackCopy(t);
    glTranslated(toView(k * at.x), toView(k * at.y), 0);
    glRotated(-t * degreesPerRadian, 0, 0, 1);
    // Far along the roll most racks lie outside the window. Their outlines are skipped, but
    // every turn and shift is still made: undone in single precision, each leaves its
    // rounding in the matrix, and the racks and curves drawn after it are placed by that.
    const WindowReach reach = windowReach();
    for (int i = first; i <= first + 3; ++i) {
        glTranslated(toView(i * k * gearPi), 0, 0);
        if (outlineReachesWindow(reach, i)) drawRackOutline(colour);
        glTranslated(-toView(i * k * gearPi), 0, 0);
    }
    glRotated(t * degreesPerRadian, 0, 0, 1);
    glTranslated(-toView(k * at.x), -toView(k * at.y), 0);
    if (showPitchLine == 1) {
        const Point2 along{20 * std::cos(t), -20 * std::sin(t)};
        drawChainSegmentZoomed(k, {at.x + along.x, at.y + along.y}, {at.x - along.x, at.y - along.y}, blue);
    }
}

void drawGearCircles(double k, const Point2& centre, const GearCircleStyle& style)
{
    const Point2 c = zoomed(k, centre);
    if (style.chainPitchCircle)
        drawChainCircle(c, k * rackGear.pitchRadius, blue);
    else
        drawCircle(c, k * rackGear.pitchRadius, blue);
    drawCircle(c, k * rackGear.tipRadius, red);
    drawCircle(c, k * rackGear.rootRadius, red);
    drawCircle(c, k * rackGear.baseRadius, green);
    if (style.centreMark) fillDisc(c, 0.1 * k, black);
}

void drawPitchContactMarker(double t)
{
    const double k = rackView.zoom;
    const double rp = rackGear.pitchRadius;
    fillDisc({k * rp * std::sin(t), k * rp * (std::cos(t) - 1)}, 0.01, blue);
}

double wholeToothRoll(int n) { return gearPi / 2 - 0.02 * n; }

void drawRollingRacks(int n)
{
    const double t = wholeToothRoll(n);
    drawRack(1, rackReferencePoint(rackGear, t), t, black);
    drawRollingRackBatch(n);  // their envelope is the whole tooth
}

void drawAddendumGeneration(ToothCurveDrawer drawCurve)
{
    const double k = rackView.zoom;
    const int n = std::min(rackView.addendumStep, rackTables.addendumLast);
    const double t = 0.005 * n;
    fillDisc(zoomed(k, rackTables.addendumFlank[n]), 0.01, red);
    const Point2 p = rackReferencePoint(rackGear, t);
    drawRack(1, p, t, black);
    fillDisc(zoomed(k, p), 0.006, blue);
    drawPitchContactMarker(t);
    drawCurve(k, rackTables.addendumFlank, n, red);
    drawPastRacks(n, 5, 0.0, 0.005);
    rackView.addendumStep = n + 1;
}

void drawDedendumGeneration(ToothCurveDrawer drawCurve)
{
    const double k = rackView.zoom;
    drawCurve(k, rackTables.addendumFlank, rackTables.addendumLast, red);
    const int n = std::min(rackView.dedendumStep, rackTables.dedendumLast);
    const double t = -0.005 * n;
    fillDisc(zoomed(k, rackTables.dedendumFlank[n]), 0.01, red);
    drawRack(1, rackReferencePoint(rackGear, t), t, black);
    drawPitchContactMarker(t);
    drawCurve(k, rackTables.dedendumFlank, n, red);
    drawPastRacks(n, 5, 0.0, -0.005);
    rackView.dedendumStep = n + 1;
}

void drawUndercutGeneration(ToothCurveDrawer drawCurve)
{
    const double k = rackView.zoom;
    drawCurve(k, rackTables.involuteProfile, rackTables.involuteLast, red);
    const int n = std::min(rackView.undercutStep, rackTables.undercutLast);
    const double t = -rackGear.undercutStartRoll - 0.005 * n;
    fillDisc(zoomed(k, rackTables.undercutCurve[n]), 0.01, blue);
    drawPitchContactMarker(t);
    drawCurve(k, rackTables.undercutCurve, n, blue);
    drawRack(1, rackReferencePoint(rackGear, t), t, black);
    drawPastRacks(n, 5, -rackGear.undercutStartRoll, -0.005);
    rackView.undercutStep = n + 1;
}

void drawRackRolling()
{
    const int n = rackView.wholeStep;
    const double t = wholeToothRoll(n);
    drawPitchContactMarker(t);
    // The past racks are placed from the view as it is before the current rack's turns
    // leave their roundings in it (now and then, a few ulps): so the kept ones stay valid
    // from frame to frame, and any frame draws what a fresh one would.
    FloatMatrix view{};
    glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
    drawRack(1, rackReferencePoint(rackGear, t), t, black);
    drawKeptRollingRacks(n, view);
    rackView.wholeStep = n + 1;
}

void drawFinishedTooth(ToothCurveDrawer drawCurve)
{
    const double k = rackView.zoom;
    const int last = rackTables.profileLast;
    drawCurve(k, rackTables.toothProfile, last, blue);
    for (int i = 0; i <= last; ++i)
        mirroredProfile[i] = {-rackTables.toothProfile[i].x, rackTables.toothProfile[i].y};
    // Half an angular pitch clockwise about the gear centre: the other flank of the same tooth.
    rotateAbout({0, 0}, {0, -k * rackGear.pitchRadius}, -gearPi / rackGear.toothCount);
    drawCurve(k, mirroredProfile, last, blue);
}

void drawRackModeBody(ToothCurveDrawer drawCurve, GearTurningDrawer drawGearTurning)
{
    switch (rackView.mode) {
    case '1': drawAddendumGeneration(drawCurve); break;
    case '2': drawDedendumGeneration(drawCurve); break;
    case '3': drawUndercutGeneration(drawCurve); break;
    case '4': drawRackRolling(); break;
    case '5': drawGearTurning(); break;
    case '6': drawFinishedTooth(drawCurve); break;
    }
}
