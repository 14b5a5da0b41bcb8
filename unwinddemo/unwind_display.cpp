// The display pass of unwinddemo: the three unwinding views, the belt view and the meshing
// gear pair, and the drawing operations they share. Reads the tables, draws, and moves the
// current mode's animation on by one step.
#include "unwind.h"

#include <GL/gl.h>

namespace {

constexpr double curveWidth = 0.004;          // view units (1.6 pixels): traced curves
constexpr double centreDotScale = 0.05;       // centre dot radius per unit of zoom, view units
constexpr double markerRadius = 0.01;         // view units: string-end, tangent and contact dots
constexpr double rollingLineReach = 10.0;     // view units: the rolling line crosses the window
constexpr double measuringArrowLength = 0.2;  // view units
constexpr double beltTurn = 2.0;              // rad: belt length 2·rb over rb
constexpr float titleY = 0.85f;
constexpr float secondLineY = 0.8f;

constexpr Point2 origin{0.0, 0.0};

const char* const gearPairLine = "     red:drive base circle,  blue:driven base circle";

// The step rule of modes 1 to 3: one step in the current direction, held within 0 … N.
int nextStep(int s)
{
    if (unwindView.direction == 'd') ++s;
    if (unwindView.direction == 'D') --s;
    if (s > unwindSteps) s = unwindSteps;
    if (s < 0) s = 0;
    return s;
}

// The turning rule of modes 4 to 6: no bounds, the gears keep turning.
void turnGears()
{
    if (unwindView.direction == 'd') unwindView.rollAngle += meshTurnStep;
    if (unwindView.direction == 'D') unwindView.rollAngle -= meshTurnStep;
}

Point2 scaled(double k, const Point2& p) { return {k * p.x, k * p.y}; }

void drawFixedCircleView()
{
    const double k = unwindView.zoom, rb = unwindGear.baseRadius;
    drawCaption(titleY, "(1) involute generation(base circle fixed)");
    drawAxisCross(origin, 0.0);
    drawGearFlanks(k, 1, unwindTables.involutePoints, unwindSteps, green);
    drawBaseCircle(k, rb, red);
    const int s = unwindView.fixedStep = nextStep(unwindView.fixedStep);
    const Point2& t = unwindTables.tangentPoints[s];
    const Point2& i = unwindTables.involutePoints[s];
    drawSegmentZoomed(k, t, i, red);
    drawSegmentZoomed(k, origin, t, red);
    fillDisc(scaled(k, i), markerRadius, red);
    fillDisc(scaled(k, t), markerRadius, red);
    drawCurveZoomed(k, unwindTables.involutePoints, s, red);
}

void drawTurningCircleView()
{
    const double k = unwindView.zoom, rb = unwindGear.baseRadius;
    drawCaption(titleY, "(2) involute generation(base circle rotated)");
    drawAxisCross(origin, 0.0);  // drawn before the turn: the axes stand still
    const int s = unwindView.turnStep = nextStep(unwindView.turnStep);
    unwindView.rollAngle = s * unwindAngleStep;
    // Turning on by the unwound angle brings the tangent point to the top of the circle.
    glRotated(unwindView.rollAngle * degreesPerRadian, 0, 0, 1);
    const Point2& t = unwindTables.tangentPoints[s];
    const Point2& i = unwindTables.involutePoints[s];
    drawSegmentZoomed(k, t, i, red);
    drawBaseCircle(k, rb, red);
    fillDisc(scaled(k, i), markerRadius, red);
    fillDisc(scaled(k, t), markerRadius, red);
    drawGearFlanks(k, 1, unwindTables.involutePoints, unwindSteps, green);
    drawCurveZoomed(k, unwindTables.involutePoints, s, red);
    glRotated(-unwindView.rollAngle * degreesPerRadian, 0, 0, 1);
}

void drawRollingCircleView()
{
    const double k = unwindView.zoom, rb = unwindGear.baseRadius;
    drawCaption(titleY, "(3) involute measurement(base circle rolling)");
    drawCaption(secondLineY, "  Arrow contact point stands still if tooth profile has no error.");
    drawSegment({-rollingLineReach, k * rb}, {rollingLineReach, k * rb}, red);
    drawArrow({0.0, k * rb}, measuringArrowLength, 0.0, blue);
    const int s = unwindView.turnStep = nextStep(unwindView.turnStep);
    unwindView.rollAngle = s * unwindAngleStep;
    // Shift by the arc length and turn by the angle: rolling on the line without sliding.
    const double arc = k * rb * unwindView.rollAngle;
    glTranslated(arc, 0, 0);
    glRotated(unwindView.rollAngle * degreesPerRadian, 0, 0, 1);
    drawBaseCircle(k, rb, red);
    fillDisc(scaled(k, unwindTables.involutePoints[s]), markerRadius, red);
    fillDisc(scaled(k, unwindTables.tangentPoints[s]), markerRadius, red);
    drawGearFlanks(k, 1, unwindTables.involutePoints, unwindSteps, green);
    drawCurveZoomed(k, unwindTables.involutePoints, s, red);
    glRotated(-unwindView.rollAngle * degreesPerRadian, 0, 0, 1);
    glTranslated(-arc, 0, 0);
}

// The driven gear turns the other way; its involute meets the drive involute on the belt.
double drivenAngle() { return beltTurn + gearPi - unwindView.rollAngle; }

void drawBeltView()
{
    const double k = unwindView.zoom, rb = unwindGear.baseRadius;
    drawCaption(titleY, "(4) draw 2 circle belt transmission and involute motion");
    drawCaption(secondLineY, gearPairLine);
    turnGears();
    const Point2 driveCentre{rb, -rb}, drivenCentre{-rb, rb};
    drawSegmentZoomed(k, {rb, 0.0}, {-rb, 0.0}, red);
    // The contact point runs along the belt by rb per radian of turning.
    fillDisc({k * (rb - unwindView.rollAngle * rb), 0.0}, markerRadius, blue);

    enterGearFrame(k, driveCentre, unwindView.rollAngle);
    drawBaseCircle(k, rb, red);
    drawCurveZoomed(k, unwindTables.involutePoints, unwindSteps, red);
    leaveGearFrame(k, driveCentre, unwindView.rollAngle);

    const double driven = drivenAngle();
    enterGearFrame(k, drivenCentre, driven);
    drawBaseCircle(k, rb, blue);
    drawCurveZoomed(k, unwindTables.involutePoints, unwindSteps, blue);
    leaveGearFrame(k, drivenCentre, driven);
}

void drawGearPairView(bool showContactPath)
{
    const double k = unwindView.zoom, rb = unwindGear.baseRadius;
    // "wth" and "wthout" stay as the class has always seen them: the captions are quoted in
    // handouts and exercise sheets, and a corrected word would no longer match them.
    drawCaption(titleY, showContactPath ? "(5) 2-gear meshing motion wth contact path"
                                        : "(6) 2-gear meshing motion wthout contact path");
    drawCaption(secondLineY, gearPairLine);
    turnGears();
    const Point2 driveCentre{rb, -rb}, drivenCentre{-rb, rb};
    if (showContactPath) drawSegmentZoomed(k, {rb, 0.0}, {-rb, 0.0}, green);

    const int z = unwindGear.toothCount, n = unwindTables.meshPointCount;
    enterGearFrame(k, driveCentre, unwindView.rollAngle);
    drawBaseCircle(k, rb, red);
    drawGearFlanks(k, z, unwindTables.involutePoints, n, red);
    leaveGearFrame(k, driveCentre, unwindView.rollAngle);

    const double driven = drivenAngle();
    enterGearFrame(k, drivenCentre, driven);
    drawBaseCircle(k, rb, blue);
    drawGearFlanks(k, z, unwindTables.involutePoints, n, blue);
    leaveGearFrame(k, drivenCentre, driven);
}

}  // namespace

void drawCurveZoomed(double k, const Point2 points[], int n, const Rgba& colour)
{
    drawWideCurve(k, points, n, curveWidth, colour);
}

void drawBaseCircle(double k, double radius, const Rgba& colour)
{
    drawCircle(origin, k * radius, colour);
    fillDisc(origin, centreDotScale * k, colour);
    // The diameters turn with the matrix and show how far the circle has turned.
    drawSegmentZoomed(k, {radius, 0.0}, {-radius, 0.0}, colour);
    drawSegmentZoomed(k, {0.0, radius}, {0.0, -radius}, colour);
}

void enterGearFrame(double k, const Point2& centre, double angle)
{
    glTranslated(toView(k * centre.x), toView(k * centre.y), 0);
    glRotated(angle * degreesPerRadian, 0, 0, 1);
}

void leaveGearFrame(double k, const Point2& centre, double angle)
{
    glRotated(-angle * degreesPerRadian, 0, 0, 1);
    glTranslated(-toView(k * centre.x), -toView(k * centre.y), 0);
}

void drawGearFlanks(double k, int z, const Point2 points[], int n, const Rgba& colour)
{
    const double step = 2 * gearPi / z;
    // Each copy turns a further step; the last lands on a full turn, undone in one go.
    for (int copy = 0; copy < z; ++copy) {
        enterGearFrame(k, origin, step);
        drawCurveZoomed(k, points, n, colour);
    }
    leaveGearFrame(k, origin, 2 * gearPi);
}

void displayUnwindDemo()
{
    beginFrame();
    switch (unwindView.mode) {
    case '1': drawFixedCircleView(); break;
    case '2': drawTurningCircleView(); break;
    case '3': drawRollingCircleView(); break;
    case '4': drawBeltView(); break;
    case '5': drawGearPairView(true); break;
    case '6': drawGearPairView(false); break;
    default: break;  // any other mode draws nothing
    }
    endFrame();
}

const WindowDescription unwindWindow{
    "糸の巻き戻しによるインボリュート曲線創成　1,..,6：創成画面変更，d,D:正逆回転，s:継続", displayUnwindDemo,
    onUnwindKey, nullptr, nullptr, unwindKeys, unwindKeyCount};
