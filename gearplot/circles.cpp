// Circles and ellipses: N-gons about a centre, plain, dashed and chain-lined.
#include "emit.h"

#include <algorithm>
#include <cmath>

namespace {

// Dash and chord counts grow with the radius squared: a gear of thousands of teeth would take
// minutes a frame, and far enough out the counts overflow an int. Up to this many steps a
// circle is drawn exactly as its pattern says; a larger one gets fewer, longer chords per
// dash (down to the small-circle pattern), and if that is not enough, fewer, longer dashes.
constexpr double stepsPerCircle = 1.5e6;

int segments = 120;  // N, set once by the program at start

// Truncates a count towards zero, within what an int holds (0 for NaN).
int countOf(double value) { return value > 0 ? static_cast<int>(std::min(value, 2e9)) : 0; }

struct DashPattern {
    int sectors;      // n
    int dashChords;   // m
    int gapSteps;     // g
};

// The pattern of n sectors of m + gapsPerSector·g steps each, thinned to the step budget.
DashPattern fittedPattern(double n, double m, double g, int gapsPerSector, const DashPattern& smallest)
{
    const double steps = n * (m + gapsPerSector * g);
    if (steps > stepsPerCircle) {
        const double f = stepsPerCircle / steps;
        m = std::max<double>(smallest.dashChords, std::trunc(m * f));
        g = std::max<double>(smallest.gapSteps, std::trunc(g * f));
        n = std::min(n, std::trunc(stepsPerCircle / (m + gapsPerSector * g)));
    }
    return {countOf(n), countOf(m), countOf(g)};
}

// Lighting off, then a pushed matrix moved to the centre: the frame every circle shares.
void enterCentredFrame(const Point2& centre)
{
    lightingOff();
    glPushMatrix();
    glTranslated(toView(centre.x), toView(centre.y), 0);
}

void leaveCentredFrame()
{
    glPopMatrix();
    lightingOn();
}

// The dashes of one circle: where they land, and how far the turns that place them may have
// strayed from the exact angles.
struct DashedCircle {
    WindowReach reach;   // of the centred frame, before any dash's turn
    double radius;       // view units
    double stepSlack;    // view units a dash may stray per accumulated turn
};

// Each accumulated glRotated rounds the matrix in single precision, so dash j lands up to
// about j roundings of the radius away from its exact place: skip only what lies beyond that.
constexpr double turnRounding = 8 * 1.1920929e-7;  // a few float epsilons per turn

DashedCircle dashedCircle(double radius)
{
    const WindowReach reach = windowReach();
    return {reach, radius, reach.stretch * std::fabs(radius) * turnRounding};
}

// One dash of chords on the circle, from angle start through `chords` steps, after `turns`
// accumulated turns whose exact sum is turned. The chords that cannot reach the window are
// left out; the others are drawn exactly as they always were.
void drawArcChords(const DashedCircle& circle, double turned, int turns, double start, double step, int chords)
{
    const double r = circle.radius;
    const double slack = circle.stepSlack * (turns + 1);
    const double c = std::cos(turned), s = std::sin(turned);
    bool begun = false;
    double previousX = r * std::cos(start);
    double previousY = r * std::sin(start);
    for (int i = 1; i <= chords; ++i) {
        const double x = r * std::cos(i * step + start);
        const double y = r * std::sin(i * step + start);
        // Where the chord lies before the dash's own turn, for the test only.
        const Point2 a{c * previousX - s * previousY, s * previousX + c * previousY};
        const Point2 b{c * x - s * y, s * x + c * y};
        if (segmentReachesWindow(circle.reach, a, b, slack)) {
            if (!begun) emitBegin(GL_LINES);
            begun = true;
            emitVertex(previousX, previousY);
            emitVertex(x, y);
        }
        previousX = x;
        previousY = y;
    }
    if (begun) emitEnd();
}

// Turns the matrix one sector further for each of the n sectors, as the dashes always have
// been placed, and draws sector j (j + 1 sectors round) only if it can reach the window.
template <typename DrawSector>
void forEachSector(const DashedCircle& circle, int n, double sector, DrawSector drawSector)
{
    // The middle of each sector, stepped round by an exact turn: a test needs no more.
    const double c = std::cos(sector), s = std::sin(sector);
    Point2 middle{circle.radius * std::cos(1.5 * sector), circle.radius * std::sin(1.5 * sector)};
    const double halfArc = std::fabs(circle.radius) * sector / 2;
    for (int j = 0; j < n; ++j) {
        glRotated(sector * degreesPerRadian, 0, 0, 1);
        const double slack = circle.stepSlack * (j + 1) / circle.reach.stretch;
        if (discReachesWindow(circle.reach, middle, halfArc + slack)) drawSector(j);
        middle = {c * middle.x - s * middle.y, s * middle.x + c * middle.y};
    }
}

// The point of the ellipse with semi-axes a and b at polar angle t.
Point2 ellipsePoint(double a, double b, double t)
{
    const double s = std::sin(t);
    const double c = std::cos(t);
    const double rho = a * b / std::sqrt(a * a * s * s + b * b * c * c);
    return {rho * c, rho * s};
}

// The frame of a circle: centred, in its colour; returns one Nth of a turn.
double enterCircleFrame(const Point2& centre, const Rgba& colour)
{
    enterCentredFrame(centre);
    setColour(colour);
    return 2 * circleStepPi / segments;
}

// The frame of an ellipse: centred, turned by angle, in its colour; step is one Nth of a turn.
double enterEllipseFrame(const Point2& centre, double angle, const Rgba& colour)
{
    enterCentredFrame(centre);
    glRotated(angle / radiansPerDegree, 0, 0, 1);
    setColour(colour);
    return 2 * circleStepPi / segments;
}

}  // namespace

void setCircleSegmentCount(int n) { segments = n; }

int circleSegmentCount() { return segments; }

void fillDisc(const Point2& centre, double r, const Rgba& colour)
{
    const double radius = toView(r);
    const double step = enterCircleFrame(centre, colour);
    emitBegin(GL_POLYGON);
    for (int i = 0; i < segments; ++i)
        emitVertex(radius * std::cos(i * step), radius * std::sin(i * step));
    emitEnd();
    leaveCentredFrame();
}

void drawCircle(const Point2& centre, double r, const Rgba& colour)
{
    const double radius = toView(r);
    const double step = enterCircleFrame(centre, colour);
    // Emitted as pairs P0 P1, P1 P2, …; the loop's own closing edge joins the last to P0.
    emitBegin(GL_LINE_LOOP);
    double previousX = radius;
    double previousY = 0;
    for (int i = 1; i < segments; ++i) {
        const double x = radius * std::cos(i * step);
        const double y = radius * std::sin(i * step);
        emitVertex(previousX, previousY);
        emitVertex(x, y);
        previousX = x;
        previousY = y;
    }
    emitEnd();
    leaveCentredFrame();
}

void drawCircleZoomed(double k, const Point2& centre, double r, const Rgba& colour)
{
    drawCircle({k * centre.x, k * centre.y}, k * r, colour);
}

void drawDashedCircle(const Point2& centre, double r, const Rgba& colour)
{
    const double radius = toView(r);
    const double rho = std::fabs(r);
    const DashPattern small{6, 8, 2};  // dashes, chords per dash, steps per gap
    const DashPattern p = rho < 0.2 ? small
                                    : fittedPattern(std::trunc(10 * circleStepPi * rho), std::trunc(40 * rho),
                                                    std::trunc(10 * rho), 1, small);
    const int n = p.sectors, m = p.dashChords, g = p.gapSteps;
    const double sector = 2 * circleStepPi / n;
    const double step = 2 * circleStepPi / ((m + g) * n);

    enterCentredFrame(centre);
    setColour(colour);
    // The turns accumulate: dash j lies (j + 1) sectors round, the last one at a full turn.
    const DashedCircle circle = dashedCircle(radius);
    forEachSector(circle, n, sector, [&](int j) { drawArcChords(circle, (j + 1) * sector, j, 0, step, m); });
    leaveCentredFrame();
}

void drawChainCircle(const Point2& centre, double r, const Rgba& colour)
{
    const double radius = toView(r);
    const double rho = std::fabs(r);
    const DashPattern small{6, 9, 2};  // sectors, chords of the long dash, steps of a gap and a short dash
    const DashPattern p = rho < 0.2 ? small
                                    : fittedPattern(std::trunc(10 * circleStepPi * rho), std::trunc(45 * rho),
                                                    std::trunc(10 * rho), 3, small);
    const int n = p.sectors, m = p.dashChords, g = p.gapSteps;
    const double sector = 2 * circleStepPi / n;
    const double step = 2 * circleStepPi / ((m + 3 * g) * n);
    const double shortStart = sector * (m + g) / (m + 3 * g);

    enterCentredFrame(centre);
    setColour(colour);
    const DashedCircle circle = dashedCircle(radius);
    forEachSector(circle, n, sector, [&](int j) {
        drawArcChords(circle, (j + 1) * sector, j, 0, step, m);
        drawArcChords(circle, (j + 1) * sector, j, shortStart, step, g);
    });
    leaveCentredFrame();
}

void drawChainCircleZoomed(double k, const Point2& centre, double r, const Rgba& colour)
{
    drawChainCircle({k * centre.x, k * centre.y}, k * r, colour);
}

void fillEllipse(const Point2& centre, double a, double b, double angle, const Rgba& colour)
{
    const double semiA = toView(a);
    const double semiB = toView(b);
    const double step = enterEllipseFrame(centre, angle, colour);
    emitBegin(GL_POLYGON);
    for (int i = 0; i <= segments; ++i) {  // N + 1 vertices: the last repeats the first
        const Point2 p = ellipsePoint(semiA, semiB, i * step);
        emitVertex(p.x, p.y);
    }
    emitEnd();
    leaveCentredFrame();
}

void drawEllipse(const Point2& centre, double a, double b, double angle, const Rgba& colour)
{
    const double semiA = toView(a);
    const double semiB = toView(b);
    const double step = enterEllipseFrame(centre, angle, colour);
    // Starting with i = 0 makes the first pair (A, 0) twice: a zero-length first edge.
    emitBegin(GL_LINE_LOOP);
    Point2 previous{semiA, 0};
    for (int i = 0; i <= segments; ++i) {
        const Point2 current = ellipsePoint(semiA, semiB, i * step);
        emitVertex(previous.x, previous.y);
        emitVertex(current.x, current.y);
        previous = current;
    }
    emitEnd();
    leaveCentredFrame();
}
