// The toolkit's drawing operations, recorded through the OpenGL stand-in. Positions are
// checked where the vertices show after the matrices, so a wrong turn or shift shows too.
#include "gl_standin.h"
#include "gearplot.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>


namespace {

using glstub::Primitive;
using glstub::recording;

constexpr double tolerance = 1e-9;
// The degree multiplier is good to 2e-10, so a circle turned round in sector steps drifts
// by about 1e-9; any real fault moves a vertex by far more than this.
constexpr double turnedTolerance = 1e-7;
constexpr double twoPi = 2 * M_PI;
const Rgba paint{0.2f, 0.4f, 0.6f, 0.8f};  // every channel different, so swaps show
const Rgba noColour{0, 0, 0, 0};           // the black of the axis cross and the grid

testing::AssertionResult shownAt(const glstub::Vertex& v, double x, double y,
                                 double within = tolerance)
{
    if (std::fabs(v.viewX - x) <= within && std::fabs(v.viewY - y) <= within)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "shown at (" << v.viewX << ", " << v.viewY
                                       << "), expected (" << x << ", " << y << ")";
}

// The vertex (x, y) given now, with where it shows through the current matrices.
glstub::Vertex givenNow(double x, double y)
{
    glBegin(GL_POINTS);
    glVertex2d(x, y);
    glEnd();
    return recording().primitives.back().vertices.back();
}

// One primitive whose vertices show at origin + each offset, in order.
void expectShape(const Primitive& p, GLenum mode, const Point2& origin,
                 const std::vector<Point2>& offsets)
{
    EXPECT_EQ(p.mode, mode);
    ASSERT_EQ(p.vertices.size(), offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        EXPECT_TRUE(shownAt(p.vertices[i], origin.x + offsets[i].x, origin.y + offsets[i].y))
            << "vertex " << i;
}

// A run of chords on a circle as GL_LINES pairs: chord i from start + i·step to the next step.
void expectArc(const Primitive& p, const Point2& centre, double radius, double start, double step,
               int chords)
{
    EXPECT_EQ(p.mode, GL_LINES);
    ASSERT_EQ(p.vertices.size(), size_t(2 * chords));
    for (int i = 0; i < chords; ++i)
        for (int end = 0; end < 2; ++end) {
            const double t = start + (i + end) * step;
            EXPECT_TRUE(shownAt(p.vertices[2 * i + end], centre.x + radius * std::cos(t),
                                centre.y + radius * std::sin(t), turnedTolerance))
                << "chord " << i << " end " << end;
        }
}

// Positions along a–b at distance s from a.
Point2 along(const Point2& a, const Point2& b, double s)
{
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    if (length == 0) return a;
    return {a.x + s * (b.x - a.x) / length, a.y + s * (b.y - a.y) / length};
}

void expectPieces(const Primitive& p, const Point2& a, const Point2& b,
                  const std::vector<std::pair<double, double>>& pieces)
{
    EXPECT_EQ(p.mode, GL_LINES);
    ASSERT_EQ(p.vertices.size(), 2 * pieces.size());
    for (size_t i = 0; i < pieces.size(); ++i) {
        const Point2 from = along(a, b, pieces[i].first), to = along(a, b, pieces[i].second);
        EXPECT_TRUE(shownAt(p.vertices[2 * i], from.x, from.y)) << "piece " << i << " start";
        EXPECT_TRUE(shownAt(p.vertices[2 * i + 1], to.x, to.y)) << "piece " << i << " end";
    }
}

// A dashed a–b of the given number of dashes: each four fifths of a period, the first at a,
// the last ending at b, so the length is (dashes − 1) periods plus 0.8 of one.
void expectDashedLine(const Point2& a, const Point2& b, int dashes)
{
    ASSERT_EQ(recording().primitives.size(), 1u);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double period = length / (dashes - 1 + 0.8);
    std::vector<std::pair<double, double>> pieces;
    for (int i = 0; i < dashes; ++i) pieces.push_back({i * period, i * period + 0.8 * period});
    expectPieces(recording().primitives[0], a, b, pieces);
    EXPECT_TRUE(shownAt(recording().primitives[0].vertices.back(), b.x, b.y)) << "last dash end";
}

// A chain a–b of the given number of periods, each long dash 9, gap 2, short dash 2, gap 2
// fifteenths, closed by one more long dash that ends at b.
void expectChainLine(const Point2& a, const Point2& b, int periods)
{
    ASSERT_EQ(recording().primitives.size(), 1u);
    const double length = std::hypot(b.x - a.x, b.y - a.y);
    const double p = length / (periods + 9.0 / 15);
    std::vector<std::pair<double, double>> pieces;
    for (int i = 0; i < periods; ++i) {
        pieces.push_back({i * p, i * p + 9 * p / 15});
        pieces.push_back({i * p + 11 * p / 15, i * p + 13 * p / 15});
    }
    pieces.push_back({periods * p, periods * p + 9 * p / 15});
    expectPieces(recording().primitives[0], a, b, pieces);
    EXPECT_TRUE(shownAt(recording().primitives[0].vertices.back(), b.x, b.y)) << "last dash end";
}

// A dashed circle: dash j starts (j + 1) sectors round, steps sector ÷ stepsPerSector.
void expectDashedCircle(const Point2& centre, double r, int dashes, int chords, int stepsPerSector)
{
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), size_t(dashes));
    const double sector = twoPi / dashes;
    for (int j = 0; j < dashes; ++j) {
        SCOPED_TRACE("dash " + std::to_string(j));
        expectArc(prims[j], centre, r, (j + 1) * sector, sector / stepsPerSector, chords);
    }
}

// A chain-line circle: per sector a long dash of m chords, then after g steps a short dash
// of g chords (m + 3g steps per sector), sector j turned (j + 1) sectors round.
void expectChainCircle(const Point2& centre, double r, int sectors, int m, int g)
{
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), size_t(2 * sectors));
    const double sector = twoPi / sectors;
    const double step = sector / (m + 3 * g);
    for (int j = 0; j < sectors; ++j) {
        SCOPED_TRACE("sector " + std::to_string(j));
        expectArc(prims[2 * j], centre, r, (j + 1) * sector, step, m);
        expectArc(prims[2 * j + 1], centre, r, (j + 1) * sector + (m + g) * step, step, g);
    }
}

class Drawing : public testing::Test {
protected:
    void SetUp() override { glstub::reset(); }
};

// ---- Conventions every drawing operation keeps ----

struct Operation {
    std::string name;
    std::function<void()> draw;
    Rgba colour;                       // what every primitive is drawn in
    std::optional<float> widthAfter;   // set by the operation, or the caller's width kept
};

const Point2 shortCurve[] = {{0.1, 0.2}, {0.3, 0.25}, {0.45, 0.4}};

std::vector<Operation> everyDrawingOperation()
{
    const Point2 a{-0.3, 0.1}, b{0.4, 0.35}, c{0.15, -0.2};
    return {
        {"drawSegment", [=] { drawSegment(a, b, paint); }, paint, {}},
        {"drawWideSegment", [=] { drawWideSegment(a, b, 0.01, paint); }, paint, 2.0f},
        {"drawDashedSegment", [=] { drawDashedSegment(a, b, paint); }, paint, {}},
        {"drawChainSegment", [=] { drawChainSegment(a, b, paint); }, paint, {}},
        {"drawSegmentZoomed", [=] { drawSegmentZoomed(0.7, a, b, paint); }, paint, {}},
        {"drawChainSegmentZoomed", [=] { drawChainSegmentZoomed(0.7, a, b, paint); }, paint, {}},
        {"drawToothCurve", [] { drawToothCurve(0.5, shortCurve, 2, paint); }, paint, 2.0f},
        {"drawAxisCross", [=] { drawAxisCross(c, 0.3); }, noColour, 2.0f},
        {"drawGrid", [=] { drawGrid(c, 0.3, 2, 0.1, 0.15); }, noColour, 1.0f},
        {"fillDisc", [=] { fillDisc(c, 0.3, paint); }, paint, {}},
        {"drawCircle", [=] { drawCircle(c, 0.3, paint); }, paint, {}},
        {"drawCircleZoomed", [=] { drawCircleZoomed(0.7, c, 0.3, paint); }, paint, {}},
        {"drawDashedCircle", [=] { drawDashedCircle(c, 0.3, paint); }, paint, {}},
        {"drawChainCircle", [=] { drawChainCircle(c, 0.3, paint); }, paint, {}},
        {"drawChainCircleZoomed", [=] { drawChainCircleZoomed(0.7, c, 0.3, paint); }, paint, {}},
        {"fillEllipse", [=] { fillEllipse(c, 0.3, 0.1, 0.4, paint); }, paint, {}},
        {"drawEllipse", [=] { drawEllipse(c, 0.3, 0.1, 0.4, paint); }, paint, {}},
        {"fillRectangle", [=] { fillRectangle(c, 0.3, 0.1, 0.4, paint); }, paint, {}},
        {"drawRectangle", [=] { drawRectangle(c, 0.3, 0.1, 0.4, paint); }, paint, {}},
        {"drawArrow", [=] { drawArrow(c, 0.2, 0.4, paint); }, paint, {}},
    };
}

TEST_F(Drawing, EveryOperationTurnsLightingOffFirstAndLeavesItOn)
{
    for (bool litBefore : {false, true})
        for (const Operation& op : everyDrawingOperation()) {
            SCOPED_TRACE(op.name + (litBefore ? " after lighting on" : " after lighting off"));
            glstub::reset();
            if (litBefore) glEnable(GL_LIGHTING);
            glstub::clearLog();
            op.draw();
            const auto& calls = recording().calls;
            ASSERT_GE(calls.size(), 2u);
            EXPECT_EQ(calls.front().name, "glDisable");
            EXPECT_EQ(calls.front().args.list(), std::vector<double>{GL_LIGHTING});
            EXPECT_EQ(calls.back().name, "glEnable");
            EXPECT_EQ(calls.back().args.list(), std::vector<double>{GL_LIGHTING});
            EXPECT_TRUE(recording().lighting);
            ASSERT_FALSE(recording().primitives.empty());
            for (const Primitive& p : recording().primitives) EXPECT_FALSE(p.lighting);
        }
}

TEST_F(Drawing, EveryOperationLeavesTheCallersMatrixAsItFoundIt)
{
    for (const Operation& op : everyDrawingOperation()) {
        SCOPED_TRACE(op.name);
        glstub::reset();
        glTranslated(0.05, -0.03, 0);
        glRotated(11, 0, 0, 1);
        const glstub::Matrix before = glstub::currentModelview();
        op.draw();
        EXPECT_EQ(glstub::currentModelview(), before);
        EXPECT_EQ(recording().modelview.size(), 1u);
        EXPECT_TRUE(recording().errors.empty()) << recording().errors.front();
    }
}

TEST_F(Drawing, EveryOperationDrawsInItsColourAndTouchesTheWidthOnlyWhereItMust)
{
    for (const Operation& op : everyDrawingOperation()) {
        SCOPED_TRACE(op.name);
        glstub::reset();
        glLineWidth(3.0f);
        glstub::clearLog();
        op.draw();
        for (const Primitive& p : recording().primitives) {
            EXPECT_EQ(p.colour, (glstub::Colour{op.colour.red, op.colour.green, op.colour.blue,
                                                op.colour.alpha}));
            if (!op.widthAfter) {
                EXPECT_EQ(p.lineWidth, 3.0f);
            }
        }
        if (op.widthAfter) {
            EXPECT_EQ(recording().lineWidth, *op.widthAfter);
        } else {
            EXPECT_EQ(glstub::countCalls("glLineWidth"), 0);
            EXPECT_EQ(recording().lineWidth, 3.0f);
        }
    }
}

// The glRotated argument must come from 57.2957795 or 0.01745329252, each where it belongs:
// the programs' printed results are compared to the last digit.
TEST_F(Drawing, TurnsConvertRadiansWithTheirOwnDegreeFactor)
{
    auto firstTurn = [](const std::function<void()>& draw) {
        glstub::reset();
        draw();
        const auto turns = glstub::callsNamed("glRotated");
        return turns.empty() ? std::nan("") : turns.front()->args.at(0);
    };
    const double byMultiplier = 1.0 * 57.2957795;
    const double byDivisor = 1.0 / 0.01745329252;
    const Point2 o{0.1, -0.2}, end{0.1 + std::cos(1.0), -0.2 + std::sin(1.0)};
    const double direction = std::atan2(end.y - o.y, end.x - o.x);

    EXPECT_DOUBLE_EQ(firstTurn([] { rotateTranslate(1.0, 0, 0); }), byMultiplier);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawDashedSegment(o, end, paint); }), direction * 57.2957795);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawChainSegment(o, end, paint); }), direction * 57.2957795);
    const double smallSector = 2 * 3.1415926536 / 6;  // with the circle steps' pi
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawDashedCircle(o, 0.1, paint); }), smallSector * 57.2957795);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawChainCircle(o, 0.1, paint); }), smallSector * 57.2957795);

    EXPECT_DOUBLE_EQ(firstTurn([=] { rotateAbout(o, o, 1.0); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { fillEllipse(o, 0.3, 0.1, 1.0, paint); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawEllipse(o, 0.3, 0.1, 1.0, paint); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { fillRectangle(o, 0.3, 0.1, 1.0, paint); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawRectangle(o, 0.3, 0.1, 1.0, paint); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawArrow(o, 0.2, 1.0, paint); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawAxisCross(o, 1.0); }), byDivisor);
    EXPECT_DOUBLE_EQ(firstTurn([=] { drawGrid(o, 1.0, 1, 0.1, 0.1); }), byDivisor);
}

TEST_F(Drawing, CircleStepsUseTheToolkitsPi)
{
    // Half a turn of 60 steps lands 2e-11 past the axis with pi = 3.1415926536, not on it.
    fillDisc({0, 0}, 1.0, paint);
    EXPECT_NEAR(recording().primitives.at(0).vertices.at(60).y, std::sin(3.1415926536), 1e-14);
}

// ---- View scale and transforms ----

TEST(ToView, GivesBackItsArgument)
{
    EXPECT_EQ(toView(0.0), 0.0);
    EXPECT_DOUBLE_EQ(toView(-0.37), -0.37);
    EXPECT_DOUBLE_EQ(toView(0.625), 0.625);
}

TEST_F(Drawing, RotateAboutTurnsLaterDrawingAboutBasePlusOffsetAndKeepsTheTurn)
{
    const Point2 base{0.3, -0.2}, offset{0.1, 0.05}, c{0.4, -0.15};
    rotateAbout(base, offset, 0);
    EXPECT_TRUE(shownAt(givenNow(0.7, 0.45), 0.7, 0.45));

    glstub::reset();
    glTranslated(0.1, 0, 0);  // the caller's matrix is multiplied, not replaced
    rotateAbout(base, offset, gearPi / 2);
    EXPECT_TRUE(shownAt(givenNow(c.x + 1, c.y), c.x + 0.1, c.y + 1));
    EXPECT_TRUE(shownAt(givenNow(c.x, c.y), c.x + 0.1, c.y));
    EXPECT_EQ(glstub::countCalls("glPushMatrix") + glstub::countCalls("glPopMatrix"), 0);
}

TEST_F(Drawing, RotateTranslateTurnsFirstThenShiftsAlongTheTurnedAxes)
{
    rotateTranslate(0, 0.3, -0.1);
    EXPECT_TRUE(shownAt(givenNow(-0.2, 0.5), 0.1, 0.4));

    glstub::reset();
    rotateTranslate(gearPi / 2, 0.3, -0.1);
    EXPECT_TRUE(shownAt(givenNow(0, 0), 0.1, 0.3));  // the shift (0.3, -0.1) turned a quarter
    EXPECT_EQ(glstub::countCalls("glPushMatrix") + glstub::countCalls("glPopMatrix"), 0);
}

// ---- Lines ----

TEST_F(Drawing, SegmentJoinsAToBInTheCurrentWidth)
{
    glLineWidth(3.0f);
    drawSegment({-0.3, 0.1}, {0.4, 0.35}, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    expectShape(recording().primitives[0], GL_LINES, {0, 0}, {{-0.3, 0.1}, {0.4, 0.35}});
}

TEST_F(Drawing, WideSegmentDrawsItsWidthInPixelsAndLeavesTwo)
{
    for (double width : {0.01, 0.005}) {
        glstub::reset();
        glLineWidth(7.0f);
        drawWideSegment({-0.3, 0.1}, {0.4, 0.35}, width, paint);
        ASSERT_EQ(recording().primitives.size(), 1u);
        expectShape(recording().primitives[0], GL_LINES, {0, 0}, {{-0.3, 0.1}, {0.4, 0.35}});
        EXPECT_FLOAT_EQ(recording().primitives[0].lineWidth, width * 400);  // 4 and 2 pixels
        EXPECT_EQ(recording().lineWidth, 2.0f);
    }
}

TEST_F(Drawing, DashedSegmentCountsItsDashesFromTheLength)
{
    const Point2 a{0.2, -0.35};
    drawDashedSegment(a, a, paint);  // four dashes of no length, all at a
    expectDashedLine(a, a, 4);

    glstub::reset();
    drawDashedSegment({0.3, 0.8}, {0.3, 0.4}, paint);  // 0.4 long, downwards
    expectDashedLine({0.3, 0.8}, {0.3, 0.4}, 4);

    glstub::reset();
    drawDashedSegment({0.5, 0.25}, {-0.5, 0.25}, paint);  // 1.0 long, leftwards: period 10/98
    expectDashedLine({0.5, 0.25}, {-0.5, 0.25}, 10);

    glstub::reset();
    drawDashedSegment({-0.3, -0.1}, {0.42, 0.5}, paint);  // 0.937 long: trunc(8.37) = 8
    expectDashedLine({-0.3, -0.1}, {0.42, 0.5}, 9);
}

TEST_F(Drawing, ChainSegmentCountsItsPeriodsFromTheLength)
{
    drawChainSegment({0.25, 0.3}, {-0.25, 0.3}, paint);  // 0.5 long: trunc(2.0) = 2
    expectChainLine({0.25, 0.3}, {-0.25, 0.3}, 2);

    glstub::reset();
    drawChainSegment({-0.1, -0.2}, {0.14, 0.1}, paint);  // 0.384 long
    expectChainLine({-0.1, -0.2}, {0.14, 0.1}, 2);

    glstub::reset();
    drawChainSegment({0.25, 0.5}, {0.25, -0.5}, paint);  // 1.0 long: period 15/84
    expectChainLine({0.25, 0.5}, {0.25, -0.5}, 5);

    glstub::reset();
    drawChainSegment({-0.5, -0.4}, {0.7, 0.1}, paint);  // 1.3 long: trunc(6.8) = 6
    expectChainLine({-0.5, -0.4}, {0.7, 0.1}, 6);
}

TEST_F(Drawing, ZoomedSegmentsScaleBothEndsBeforeDrawing)
{
    drawSegmentZoomed(0.5, {0.6, -0.2}, {-0.4, 1.0}, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    expectShape(recording().primitives[0], GL_LINES, {0, 0}, {{0.3, -0.1}, {-0.2, 0.5}});

    // 2.0 long in the model but 1.0 on screen: the pattern of a 1.0 chain line.
    glstub::reset();
    drawChainSegmentZoomed(0.5, {0.5, 1.0}, {0.5, -1.0}, paint);
    expectChainLine({0.25, 0.5}, {0.25, -0.5}, 5);
}

TEST_F(Drawing, ToothCurveDrawsEachStepFourPixelsWideAtTheProgramsZoom)
{
    const Point2 table[] = {{1.0, -0.5}, {0.75, 0.25}, {0.5, 0.5}, {-0.25, 0.625}};
    drawToothCurve(0.8, table, 3, paint);
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1));
        const Point2 from = table[i], to = table[i + 1];
        expectShape(prims[i], GL_LINES, {0, 0},
                    {{0.8 * from.x, 0.8 * from.y}, {0.8 * to.x, 0.8 * to.y}});
        EXPECT_FLOAT_EQ(prims[i].lineWidth, 4.0f);
    }
    EXPECT_EQ(recording().lineWidth, 2.0f);

    glstub::reset();
    glLineWidth(3.0f);
    drawToothCurve(0.5, table, 1, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    EXPECT_EQ(recording().lineWidth, 2.0f);
}

// Every change of width or lighting makes the driver flush: a curve of many steps changes
// each once, whatever its length, and a run of rack segments toggles lighting once.
TEST_F(Drawing, CurvesAndSegmentRunsChangeWidthAndLightingOncePerRun)
{
    const Point2 table[] = {{1.0, -0.5}, {0.75, 0.25}, {0.5, 0.5}, {0.25, 0.6}, {0.0, 0.65}};
    glEnable(GL_LIGHTING);
    glstub::clearLog();
    drawWideCurve(0.8, table, 4, 0.004, paint);
    ASSERT_EQ(recording().primitives.size(), 4u);
    for (const auto& p : recording().primitives) {
        EXPECT_FLOAT_EQ(p.lineWidth, 1.6f);
        EXPECT_FALSE(p.lighting);
    }
    EXPECT_EQ(glstub::countCalls("glLineWidth"), 2);  // the curve's width, then back to 2
    EXPECT_EQ(glstub::countCalls("glDisable"), 1);
    EXPECT_EQ(glstub::countCalls("glEnable"), 1);
    EXPECT_TRUE(recording().lighting);

    glstub::clearLog();
    const Point2 ends[] = {{0.1, 0.2}, {0.3, 0.4}, {-0.5, 0.1}, {0.2, -0.7}};
    drawSegmentsZoomed(2, ends, 2, paint);
    ASSERT_EQ(recording().primitives.size(), 2u);
    expectShape(recording().primitives[1], GL_LINES, {0, 0}, {{-1.0, 0.2}, {0.4, -1.4}});
    EXPECT_FALSE(recording().primitives[0].lighting);
    EXPECT_EQ(glstub::countCalls("glDisable") + glstub::countCalls("glEnable"), 2);
    EXPECT_EQ(glstub::countCalls("glLineWidth"), 0);
}

TEST_F(Drawing, AnUnlitRunKeepsLightingOffAcrossOperationsUntilItEnds)
{
    glEnable(GL_LIGHTING);
    glstub::clearLog();
    beginUnlitRun();
    drawSegment({0.1, 0.2}, {0.3, 0.4}, paint);
    drawCircle({0, 0}, 0.5, paint);
    drawChainSegment({-0.5, 0}, {0.5, 0}, paint);
    EXPECT_FALSE(recording().lighting);
    endUnlitRun();
    EXPECT_TRUE(recording().lighting);
    ASSERT_EQ(recording().primitives.size(), 3u);
    for (const auto& p : recording().primitives) EXPECT_FALSE(p.lighting);
    EXPECT_EQ(glstub::countCalls("glEnable"), 1);  // only the run's end turns it on
    // Outside a run every operation toggles as before.
    glstub::clearLog();
    drawSegment({0.1, 0.2}, {0.3, 0.4}, paint);
    drawSegment({0.1, 0.2}, {0.3, 0.4}, paint);
    EXPECT_EQ(glstub::countCalls("glEnable"), 2);
    EXPECT_TRUE(recording().lighting);
}

TEST_F(Drawing, ToothCurveWithoutStepsDrawsNothingAndKeepsTheWidth)
{
    const Point2 table[] = {{1.0, -0.5}, {0.75, 0.25}};
    for (int last : {0, -2}) {
        glstub::reset();
        glLineWidth(3.0f);
        drawToothCurve(0.5, table, last, paint);
        EXPECT_TRUE(recording().primitives.empty()) << "last " << last;
        EXPECT_EQ(recording().lineWidth, 3.0f) << "last " << last;
    }
}

TEST_F(Drawing, AxisCrossRunsAcrossTheWindowThroughItsOriginTwoPixelsWide)
{
    const Point2 o{0.3, -0.2};
    drawAxisCross(o, 0);
    ASSERT_EQ(recording().primitives.size(), 1u);
    expectShape(recording().primitives[0], GL_LINES, o, {{-10, 0}, {10, 0}, {0, -10}, {0, 10}});
    EXPECT_EQ(recording().primitives[0].lineWidth, 2.0f);

    glstub::reset();
    drawAxisCross(o, gearPi / 4);
    const double d = 10 * std::sqrt(0.5);
    ASSERT_EQ(recording().primitives.size(), 1u);
    expectShape(recording().primitives[0], GL_LINES, o, {{-d, -d}, {d, d}, {d, -d}, {-d, d}});
}

TEST_F(Drawing, GridDrawsTwoNPlusOneLinesEachWayOneAPrimitive)
{
    const Point2 o{0.2, -0.1};
    glLineWidth(3.0f);
    drawGrid(o, 0, 2, 0.1, 0.15);
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), 10u);
    for (int i = -2; i <= 2; ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        expectShape(prims[i + 2], GL_LINES, o, {{i * 0.1, -0.3}, {i * 0.1, 0.3}});
        expectShape(prims[i + 7], GL_LINES, o, {{-0.2, i * 0.15}, {0.2, i * 0.15}});
        EXPECT_EQ(prims[i + 2].lineWidth, 1.0f);
    }

    // A quarter turn about the origin: the first vertical line becomes the lowest-right one.
    glstub::reset();
    drawGrid(o, gearPi / 2, 1, 0.1, 0.2);
    ASSERT_EQ(recording().primitives.size(), 6u);
    expectShape(recording().primitives[0], GL_LINES, o, {{0.2, -0.1}, {-0.2, -0.1}});
}

TEST_F(Drawing, GridOfNoneOrFewerCells)
{
    const Point2 o{0.2, -0.1};
    drawGrid(o, 0.3, 0, 0.1, 0.15);  // one vertical and one horizontal line, both at the origin
    ASSERT_EQ(recording().primitives.size(), 2u);
    for (const Primitive& p : recording().primitives) expectShape(p, GL_LINES, o, {{0, 0}, {0, 0}});

    glstub::reset();
    glLineWidth(3.0f);
    drawGrid(o, 0.3, -1, 0.1, 0.15);
    EXPECT_TRUE(recording().primitives.empty());
    EXPECT_EQ(recording().lineWidth, 1.0f);
}

// ---- Circles and ellipses ----

TEST_F(Drawing, DiscIsTheCounterClockwiseNGonFromTheXAxis)
{
    const Point2 c{0.3, -0.2};
    fillDisc(c, 0.25, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    const Primitive& p = recording().primitives[0];
    EXPECT_EQ(p.mode, GL_POLYGON);
    ASSERT_EQ(p.vertices.size(), 120u);
    for (int k = 0; k < 120; ++k) {
        const double t = twoPi * k / 120;
        EXPECT_TRUE(shownAt(p.vertices[k], c.x + 0.25 * std::cos(t), c.y + 0.25 * std::sin(t)))
            << "vertex " << k;
    }
    EXPECT_TRUE(shownAt(p.vertices[0], 0.55, -0.2));
    EXPECT_TRUE(shownAt(p.vertices[30], 0.3, 0.05));
}

TEST_F(Drawing, CircleEmitsEveryChordAsAPairInOneLineLoop)
{
    const Point2 c{0.3, -0.2};
    drawCircle(c, 0.25, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    const Primitive& p = recording().primitives[0];
    EXPECT_EQ(p.mode, GL_LINE_LOOP);
    ASSERT_EQ(p.vertices.size(), 238u);
    // P0 P1, P1 P2, …, P118 P119: the loop's own closing edge joins P119 to P0.
    for (int i = 0; i < 119; ++i)
        for (int end = 0; end < 2; ++end) {
            const double t = twoPi * (i + end) / 120;
            EXPECT_TRUE(shownAt(p.vertices[2 * i + end], c.x + 0.25 * std::cos(t),
                                c.y + 0.25 * std::sin(t)))
                << "vertex " << 2 * i + end;
        }
}

TEST_F(Drawing, ZoomedCirclesScaleCentreAndRadius)
{
    drawCircleZoomed(0.5, {0.6, -0.4}, 0.5, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    const Primitive& p = recording().primitives[0];
    ASSERT_EQ(p.vertices.size(), 238u);
    EXPECT_TRUE(shownAt(p.vertices[0], 0.55, -0.2));
    EXPECT_TRUE(shownAt(p.vertices[59], 0.3 + 0.25 * std::cos(twoPi * 30 / 120),
                        -0.2 + 0.25 * std::sin(twoPi * 30 / 120)));

    // Radius 1.0 on screen, 0.5 in the model: the 31 sectors of a unit circle, not 15. Its
    // centre stays near the middle, so the whole circle is within reach of the window.
    glstub::reset();
    drawChainCircleZoomed(2, {0.01, -0.015}, 0.5, paint);
    expectChainCircle({0.02, -0.03}, 1.0, 31, 45, 10);
}

TEST_F(Drawing, DashedCircleCountsItsDashesFromTheRadius)
{
    const Point2 c{0.3, -0.2};
    drawDashedCircle(c, 0.1, paint);  // small: 6 dashes of 8 chords in 10 steps
    expectDashedCircle(c, 0.1, 6, 8, 10);

    // Unit circles about a centre near the middle, so that all of them reaches the window.
    const Point2 near{0.03, -0.02};
    glstub::reset();
    drawDashedCircle(near, 1.0, paint);  // trunc(10 pi) = 31 dashes of 40 chords in 50 steps
    expectDashedCircle(near, 1.0, 31, 40, 50);

    glstub::reset();
    drawDashedCircle(near, -1.0, paint);  // the counts of |r|, every point through the centre
    expectDashedCircle(near, -1.0, 31, 40, 50);
}

TEST_F(Drawing, ChainCircleDrawsLongAndShortDashInEverySector)
{
    const Point2 c{-0.15, 0.25};
    drawChainCircle(c, 0.1, paint);  // small: 9 : 2 : 2 : 2 steps in 6 sectors
    expectChainCircle(c, 0.1, 6, 9, 2);

    const Point2 near{-0.02, 0.04};  // unit circles all within reach of the window
    glstub::reset();
    drawChainCircle(near, 1.0, paint);  // 45 : 10 : 10 : 10 steps in 31 sectors
    expectChainCircle(near, 1.0, 31, 45, 10);

    glstub::reset();
    drawChainCircle(near, -1.0, paint);  // the counts of |r|, every point through the centre
    expectChainCircle(near, -1.0, 31, 45, 10);
}

// The point of the ellipse x²/a² + y²/b² = 1 seen from its centre at polar angle t.
Point2 ellipseAt(double a, double b, double t)
{
    const double r = 1 / std::sqrt(std::pow(std::cos(t) / a, 2) + std::pow(std::sin(t) / b, 2));
    return {r * std::cos(t), r * std::sin(t)};
}

// N + 1 vertices at equal polar steps, the last one back on the first.
void expectFilledEllipse(const Point2& c, double a, double b)
{
    ASSERT_EQ(recording().primitives.size(), 1u);
    const Primitive& p = recording().primitives[0];
    EXPECT_EQ(p.mode, GL_POLYGON);
    ASSERT_EQ(p.vertices.size(), 121u);
    for (int k = 0; k <= 120; ++k) {
        const Point2 e = ellipseAt(a, b, twoPi * k / 120);
        EXPECT_TRUE(shownAt(p.vertices[k], c.x + e.x, c.y + e.y)) << "vertex " << k;
    }
}

TEST_F(Drawing, FilledEllipseHasItsVerticesAtEqualPolarSteps)
{
    fillEllipse({0.3, -0.2}, 0.25, 0.25, 0, paint);  // the disc of radius 0.25, closed
    expectFilledEllipse({0.3, -0.2}, 0.25, 0.25);
    EXPECT_TRUE(shownAt(recording().primitives[0].vertices[30], 0.3, 0.05));

    glstub::reset();
    fillEllipse({-0.2, 0.15}, 0.3, 0.1, 0, paint);
    expectFilledEllipse({-0.2, 0.15}, 0.3, 0.1);
    EXPECT_TRUE(shownAt(recording().primitives[0].vertices[30], -0.2, 0.25));
}

TEST_F(Drawing, EllipseOutlineTurnedAQuarterStandsUpright)
{
    const Point2 c{0.2, -0.1};
    drawEllipse(c, 0.3, 0.1, gearPi / 2, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    const Primitive& p = recording().primitives[0];
    EXPECT_EQ(p.mode, GL_LINE_LOOP);
    ASSERT_EQ(p.vertices.size(), 242u);
    // The first pair is the end of the a axis twice, now straight above the centre.
    EXPECT_TRUE(shownAt(p.vertices[0], 0.2, 0.2));
    EXPECT_TRUE(shownAt(p.vertices[1], 0.2, 0.2));
    // Pair i ends at the point of step i, and the next pair starts there.
    for (int i = 0; i <= 120; ++i) {
        const Point2 e = ellipseAt(0.3, 0.1, twoPi * i / 120);
        EXPECT_TRUE(shownAt(p.vertices[2 * i + 1], c.x - e.y, c.y + e.x)) << "step " << i;
        if (i < 120) {
            EXPECT_TRUE(shownAt(p.vertices[2 * i + 2], c.x - e.y, c.y + e.x)) << "step " << i;
        }
    }
    EXPECT_TRUE(shownAt(p.vertices[61], 0.1, -0.1));  // the b axis now points left
}

// ---- Window reach ----

TEST_F(Drawing, WindowReachPlacesPointsWhereTheMatricesShowThem)
{
    glTranslated(0.3, -0.2, 0);
    glRotated(30, 0, 0, 1);
    glTranslated(0.5, 0.1, 0);
    const WindowReach w = windowReach();
    for (const Point2 p : {Point2{0, 0}, Point2{1.5, -0.7}, Point2{-2, 3}}) {
        const Point2 shown = inWindow(w, p);
        EXPECT_TRUE(shownAt(givenNow(p.x, p.y), shown.x, shown.y)) << p.x << ", " << p.y;
    }
    EXPECT_NEAR(w.stretch, 1, 1e-12);  // a turn and shifts lengthen nothing
}

TEST_F(Drawing, WindowReachErsOnTheSideOfDrawing)
{
    const WindowReach w = windowReach();
    EXPECT_TRUE(discReachesWindow(w, {0, 0}, 0));
    EXPECT_TRUE(discReachesWindow(w, {2.5, 0}, 1.49));       // within the margin of the right edge
    EXPECT_FALSE(discReachesWindow(w, {2.5, 2.5}, 1.0));     // the corner is √2·1.5 away
    EXPECT_TRUE(discReachesWindow(w, {2.5, 2.5}, 2.2));
    EXPECT_TRUE(discReachesWindow(w, {NAN, 0}, 0));          // not ours to judge
    EXPECT_TRUE(segmentReachesWindow(w, {-5, 0.5}, {5, 0.5}));   // across, both ends outside
    EXPECT_TRUE(segmentReachesWindow(w, {-5, 5}, {5, -5}));      // through a corner region
    EXPECT_FALSE(segmentReachesWindow(w, {1.2, -3}, {1.3, 3}));  // wholly right of it
    EXPECT_TRUE(segmentReachesWindow(w, {1.2, -3}, {1.3, 3}, 0.3));
    // Twice the size on screen: centre and radius both double.
    glstub::reset();
    glstub::recording().modelview.back() = glstub::Matrix{2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const WindowReach twice = windowReach();
    EXPECT_NEAR(twice.stretch, 2, 1e-12);
    EXPECT_TRUE(discReachesWindow(twice, {0.7, 0}, 0.2));    // 1.4 ± 0.4 on screen: down to 1.0
    EXPECT_FALSE(discReachesWindow(twice, {0.8, 0}, 0.2));   // 1.6 ± 0.4: 1.2, beyond the margin
}

// ---- Rectangles and arrow ----

TEST_F(Drawing, RectangleSpansWAndHFromItsLowerLeftCorner)
{
    const Point2 corner{0.2, -0.3};
    auto expectCorners = [&](GLenum mode, const std::vector<Point2>& offsets) {
        ASSERT_EQ(recording().primitives.size(), 1u);
        expectShape(recording().primitives[0], mode, corner, offsets);
    };
    fillRectangle(corner, 0.4, 0.15, 0, paint);
    expectCorners(GL_POLYGON, {{0, 0}, {0.4, 0}, {0.4, 0.15}, {0, 0.15}});

    glstub::reset();
    fillRectangle(corner, -0.4, 0.15, 0, paint);  // reaches to the left of the corner
    expectCorners(GL_POLYGON, {{0, 0}, {-0.4, 0}, {-0.4, 0.15}, {0, 0.15}});

    glstub::reset();
    drawRectangle(corner, 0.4, 0.15, gearPi / 2, paint);  // turned about the corner
    expectCorners(GL_LINE_LOOP, {{0, 0}, {0, 0.4}, {-0.15, 0.4}, {-0.15, 0}});
}

// An arrow drawn with its tip at tip, pointing along angle, its shaft reaching back to
// shaftEnd: each outline point is given pointing along +x from the tip, then turned.
void expectArrow(const Point2& tip, double angle, double shaftEnd)
{
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), 3u);
    auto turned = [angle](std::vector<Point2> points) {
        const double c = std::cos(angle), s = std::sin(angle);
        for (Point2& q : points) q = {q.x * c - q.y * s, q.x * s + q.y * c};
        return points;
    };
    expectShape(prims[0], GL_POLYGON, tip,
                turned({{-0.1, -0.01}, {shaftEnd, -0.01}, {shaftEnd, 0.01}, {-0.1, 0.01}}));
    expectShape(prims[1], GL_POLYGON, tip, turned({{0, 0}, {-0.1, 0}, {-0.15, 0.04}}));
    expectShape(prims[2], GL_POLYGON, tip, turned({{0, 0}, {-0.1, 0}, {-0.15, -0.04}}));
}

TEST_F(Drawing, ArrowHasItsTipOnThePointItsHeadFullSizeAndItsShaftBehind)
{
    drawArrow({0.3, -0.1}, 0.2, 0, paint);  // the shaft from 0.1 to 0.2 behind the tip
    expectArrow({0.3, -0.1}, 0, -0.2);

    glstub::reset();
    drawArrow({0.3, -0.1}, 0.05, 0, paint);  // shorter than the head: a shaft of no length
    expectArrow({0.3, -0.1}, 0, -0.1);

    glstub::reset();
    drawArrow({-0.2, 0.1}, 0.2, gearPi / 2, paint);  // pointing up the window
    expectArrow({-0.2, 0.1}, gearPi / 2, -0.2);
    EXPECT_TRUE(shownAt(recording().primitives[1].vertices[2], -0.24, -0.05));
}

}  // namespace

// ---- Figures far larger than the window: a gear of millions of teeth, or a zoom held down ----

namespace {

using Chord = std::pair<Point2, Point2>;

// Every chord the frame emitted, where it shows.
std::vector<Chord> emittedChords()
{
    std::vector<Chord> chords;
    for (const auto& p : recording().primitives)
        for (size_t i = 0; i + 1 < p.vertices.size(); i += 2)
            chords.push_back({{p.vertices[i].viewX, p.vertices[i].viewY}, {p.vertices[i + 1].viewX, p.vertices[i + 1].viewY}});
    return chords;
}

bool insideWindow(const Point2& p, double margin = 0) { return std::fabs(p.x) <= 1 + margin && std::fabs(p.y) <= 1 + margin; }

// What reaches the window of a huge circle: every emitted chord has both ends on the circle,
// none lies far outside the window (no end within margin of it and not crossing it), and a
// turn of the circle gets at most 1.5 million of them, so no chord is shorter than that.
// Far out the margin is wide: OpenGL accumulates the dashes' turns in single precision, so
// a dash may show many chord lengths from its exact place, and all of those are drawn.
void expectOnlyReachingChords(const std::vector<Chord>& chords, const Point2& centre, double radius,
                              double margin = 0.1)
{
    const double r = std::fabs(radius);
    const double shortest = 2 * M_PI * r / 1.5e6 * (1 - 1e-6);
    int far = 0, off = 0, short_ = 0;
    for (const Chord& c : chords) {
        for (const Point2& v : {c.first, c.second})
            if (std::fabs(std::hypot(v.x - centre.x, v.y - centre.y) - r) > 1e-6 * r) ++off;
        const bool crosses = (c.first.x < -1) != (c.second.x < -1) || (c.first.x > 1) != (c.second.x > 1) ||
                             (c.first.y < -1) != (c.second.y < -1) || (c.first.y > 1) != (c.second.y > 1);
        if (!insideWindow(c.first, margin) && !insideWindow(c.second, margin) && !crosses) ++far;
        if (std::hypot(c.first.x - c.second.x, c.first.y - c.second.y) < shortest) ++short_;
    }
    EXPECT_EQ(off, 0) << "chord ends off the circle";
    EXPECT_EQ(far, 0) << "chords far outside the window";
    EXPECT_EQ(short_, 0) << "chords shorter than a 1.5-million-step turn gives";
}

// The chords of a chain-line circle wholly inside the window, from its pattern alone: per
// sector a long dash of m chords and, g steps later, a short dash of g, sector j turned
// j + 1 sectors.
std::vector<Chord> patternChordsInWindow(const Point2& centre, double r, int sectors, int m, int g)
{
    std::vector<Chord> chords;
    const double sector = twoPi / sectors, step = sector / (m + 3 * g);
    auto at = [&](double t) { return Point2{centre.x + r * std::cos(t), centre.y + r * std::sin(t)}; };
    for (int j = 0; j < sectors; ++j)
        for (int i = 0; i < m + 2 * g; ++i) {
            if (i >= m && i < m + g) continue;  // the gap
            const double t = (j + 1) * sector + i * step;
            const Chord c{at(t), at(t + step)};
            if (insideWindow(c.first) && insideWindow(c.second)) chords.push_back(c);
        }
    return chords;
}

// How many wanted chords are not among the drawn ones (both ends within 1e-6 of a view unit).
int missingChords(const std::vector<Chord>& wanted, std::vector<Chord> drawn)
{
    constexpr double within = 1e-6;
    auto byX = [](const Chord& a, const Chord& b) { return a.first.x < b.first.x; };
    std::sort(drawn.begin(), drawn.end(), byX);
    int missing = 0;
    for (const Chord& w : wanted) {
        auto it = std::lower_bound(drawn.begin(), drawn.end(), Chord{{w.first.x - within, 0}, {0, 0}}, byX);
        bool found = false;
        for (; it != drawn.end() && it->first.x <= w.first.x + within && !found; ++it)
            found = std::fabs(it->first.y - w.first.y) <= within && std::fabs(it->second.x - w.second.x) <= within &&
                    std::fabs(it->second.y - w.second.y) <= within;
        missing += !found;
    }
    return missing;
}

TEST(HugeFigures, APitchCircleOfAHundredTeethKeepsItsFullPatternWhereTheWindowShowsIt)
{
    glstub::reset();
    drawChainCircle({0, -25}, 25.0, paint);  // 100 teeth at zoom 0.5: 785 sectors of 45 : 10 : 10 : 10 per unit
    const std::vector<Chord> drawn = emittedChords();
    expectOnlyReachingChords(drawn, {0, -25}, 25.0);
    const std::vector<Chord> wanted = patternChordsInWindow({0, -25}, 25.0, 785, 1125, 250);
    ASSERT_GT(wanted.size(), 10000u);  // the top of the circle crosses the whole window
    EXPECT_EQ(missingChords(wanted, drawn), 0);
    EXPECT_LT(drawn.size(), wanted.size() * 11 / 10);  // of the 1.08 million in the turn
    EXPECT_TRUE(recording().lighting);
}

TEST(HugeFigures, LargerCirclesAreThinnedAndOnlyWhatReachesTheWindowIsDrawn)
{
    // Fewer chords per dash first; for a radius of a billion, fewer dashes too.
    for (double r : {40.0, -1.07e9}) {
        glstub::reset();
        drawChainCircle({0, -r}, r, paint);
        const std::vector<Chord> drawn = emittedChords();
        expectOnlyReachingChords(drawn, {0, -r}, r, r > 0 ? 0.1 : 0.1 * std::fabs(r));
        EXPECT_LT(drawn.size(), 100000u) << r;
    }
    // The circle of radius 40 crosses the window at its top: dashes and gaps in 9 : 2 : 2 : 2.
    glstub::reset();
    drawChainCircle({0, -40}, 40.0, paint);
    double inked = 0;
    for (const Chord& c : emittedChords())
        if (insideWindow(c.first) && insideWindow(c.second)) inked += std::hypot(c.first.x - c.second.x, c.first.y - c.second.y);
    EXPECT_NEAR(inked / 2.0, 11.0 / 15, 0.05);  // of the 2 units of arc across the window

    glstub::reset();
    drawDashedCircle({0, 0}, 3e12, paint);
    expectOnlyReachingChords(emittedChords(), {0, 0}, 3e12, 0.1 * 3e12);
    EXPECT_TRUE(recording().lighting);
}

TEST(HugeFigures, VeryLongDashedAndChainLinesDrawOnlyTheirLastDashesAndEndExactlyAtB)
{
    // Three billion units long, ending inside the window: 50,000 periods of 60,000 units.
    const Point2 a{-3e9, 1.0}, b{0.5, -0.2};
    glstub::reset();
    drawDashedSegment(a, b, paint);
    ASSERT_EQ(recording().primitives.size(), 1u);
    const auto& dashed = recording().primitives[0].vertices;
    ASSERT_FALSE(dashed.empty());
    EXPECT_LE(dashed.size(), 8u);
    EXPECT_TRUE(shownAt(dashed.back(), b.x, b.y, 1e-3));
    glstub::reset();
    drawChainSegment(a, b, paint);
    const auto& chain = recording().primitives[0].vertices;
    ASSERT_FALSE(chain.empty());
    EXPECT_LE(chain.size(), 16u);
    EXPECT_TRUE(shownAt(chain.back(), b.x, b.y, 1e-3));
}

TEST(LongLines, AChainLineAcrossTheWindowKeepsItsPatternWhereItShows)
{
    // 40.003 long, so trunc(6 × 40.003 − 1) = 239 periods; about a twentieth of it shows.
    const Point2 a{-30, 0.2}, b{10, 0.7};
    glstub::reset();
    drawChainSegment(a, b, paint);
    const double length = std::hypot(b.x - a.x, b.y - a.y), p = length / (239 + 9.0 / 15);
    std::vector<Chord> pattern, shown;
    auto at = [&](double s) { return along(a, b, s); };
    for (int i = 0; i <= 239; ++i) {
        pattern.push_back({at(i * p), at(i * p + 9 * p / 15)});
        if (i < 239) pattern.push_back({at(i * p + 11 * p / 15), at(i * p + 13 * p / 15)});
    }
    for (const Chord& c : pattern)
        if (insideWindow(c.first) && insideWindow(c.second)) shown.push_back(c);
    const std::vector<Chord> drawn = emittedChords();
    ASSERT_GT(shown.size(), 15u);
    EXPECT_EQ(missingChords(shown, drawn), 0) << "dashes inside the window left out";
    EXPECT_EQ(missingChords(drawn, pattern), 0) << "pieces that are no dash of the pattern";
    EXPECT_LE(drawn.size(), shown.size() + 8) << "dashes drawn far from the window";
}

// ---- Layers kept between frames ----

class Layers : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        reshapeView(800, 800);
        glClearColor(1, 1, 1, 1);
        glstub::clearLog();
    }
    KeptLayer layer{};
};

TEST_F(Layers, ALayerIsATextureOfTheWindowEmptiedWhenMadeAndDrawnIntoUpsideDownInOpaqueColours)
{
    const auto& r = recording();
    ASSERT_TRUE(beginLayer(&layer, false));
    EXPECT_NE(layer.framebuffer, 0u);
    EXPECT_EQ(r.framebuffer, layer.framebuffer);
    EXPECT_EQ(r.textureSizes, (std::vector<std::array<int, 3>>{{int(layer.texture), 800, 800}}));
    EXPECT_EQ(r.attachments, (std::vector<std::array<unsigned, 2>>{{layer.framebuffer, layer.texture}}));
    const auto clears = glstub::callsNamed("glClearColor");
    ASSERT_EQ(clears.size(), 2u);  // transparent for the layer, then the window's white again
    EXPECT_EQ(clears[0]->args.list(), (std::vector<double>{0, 0, 0, 0}));
    EXPECT_EQ(glstub::countCalls("glClear"), 1);
    EXPECT_EQ(r.clearColour, (glstub::Colour{1, 1, 1, 1}));

    drawSegment({-0.5, 0.25}, {0.5, 0.25}, paint);
    const Primitive& p = r.primitives.back();
    EXPECT_EQ(p.framebuffer, layer.framebuffer);
    EXPECT_EQ(p.colour, (glstub::Colour{paint.red, paint.green, paint.blue, 1}));  // its alpha: drawn here
    EXPECT_TRUE(shownAt(p.vertices[0], -0.5, -0.25));
    endLayer();
    EXPECT_EQ(r.framebuffer, 0u);
    drawSegment({-0.5, 0.25}, {0.5, 0.25}, paint);
    EXPECT_TRUE(shownAt(r.primitives.back().vertices[0], -0.5, 0.25));
    EXPECT_EQ(r.primitives.back().colour[3], paint.alpha);
    EXPECT_TRUE(r.errors.empty());
}

TEST_F(Layers, ShowingOneCoversTheTilesDrawnIntoTexelForPixelAndRestoresTheView)
{
    ASSERT_TRUE(beginLayer(&layer, false));
    drawSegment({-0.5, 0.25}, {0.5, 0.25}, paint);
    endLayer();
    glViewport(10, 20, 300, 400);
    glstub::clearLog();
    showLayer(layer);
    const auto& r = recording();
    ASSERT_EQ(r.primitives.size(), 1u);
    const Primitive& shown = r.primitives[0];
    EXPECT_EQ(shown.mode, GLenum(GL_TRIANGLES));
    EXPECT_EQ(shown.texture, layer.texture);
    EXPECT_TRUE(shown.alphaTested);
    EXPECT_FALSE(shown.lighting);
    ASSERT_EQ(shown.texels.size(), shown.vertices.size());
    double left = 1, right = -1, bottom = 1, top = -1;
    for (std::size_t i = 0; i < shown.vertices.size(); ++i) {
        const auto& v = shown.vertices[i];
        EXPECT_NEAR(shown.texels[i][0], (v.viewX + 1) / 2, 1e-6);  // upside down, as drawn
        EXPECT_NEAR(shown.texels[i][1], (1 - v.viewY) / 2, 1e-6);
        left = std::min(left, v.viewX), right = std::max(right, v.viewX);
        bottom = std::min(bottom, v.viewY), top = std::max(top, v.viewY);
    }
    // The segment's tiles, 32 pixels each, and no more than a tile round it.
    const double tile = 32 / 400.0;
    EXPECT_LE(left, -0.5);
    EXPECT_GE(left, -0.5 - 2 * tile);
    EXPECT_GE(right, 0.5);
    EXPECT_LE(right, 0.5 + 2 * tile);
    EXPECT_LT(bottom, 0.25);
    EXPECT_GT(top, 0.25);
    EXPECT_LT(top - bottom, 3 * tile);
    EXPECT_EQ(r.viewport, (std::array<int, 4>{10, 20, 300, 400}));
    EXPECT_TRUE(r.lighting);
    EXPECT_FALSE(r.texturing || r.alphaTest);
    EXPECT_EQ(r.modelview.size(), 1u);
    EXPECT_EQ(r.projection.size(), 1u);

    ASSERT_TRUE(beginLayer(&layer, true));  // emptied: nothing left to show
    endLayer();
    glstub::clearLog();
    showLayer(layer);
    EXPECT_TRUE(r.primitives.empty());
}

TEST_F(Layers, AnotherWindowSizeMakesTheLayerAnewAndAnSvgRecordingDrawsWithoutOne)
{
    ASSERT_TRUE(beginLayer(&layer, false));
    endLayer();
    EXPECT_TRUE(layerFitsWindow(layer));
    reshapeView(600, 500);
    EXPECT_FALSE(layerFitsWindow(layer));
    ASSERT_TRUE(beginLayer(&layer, false));
    endLayer();
    const auto& r = recording();
    EXPECT_EQ(r.textureSizes.back(), (std::array<int, 3>{int(layer.texture), 600, 500}));
    EXPECT_EQ(r.textures, std::vector<unsigned>{layer.texture});  // the old one freed
    EXPECT_EQ(r.framebuffers, std::vector<unsigned>{layer.framebuffer});

    beginSvgRecording(600, 500);
    EXPECT_FALSE(beginLayer(&layer, false));
    EXPECT_EQ(r.framebuffer, 0u);
    finishSvgRecording();
}

TEST_F(Layers, ADriverWithoutThemIsAskedOnceForEachWindowSize)
{
    const auto& r = recording();
    glstub::recording().framebuffersWork = false;
    EXPECT_FALSE(beginLayer(&layer, true));
    EXPECT_FALSE(beginLayer(&layer, true));
    EXPECT_EQ(glstub::countCalls("glGenFramebuffers"), 1);
    EXPECT_EQ(r.framebuffer, 0u);
    EXPECT_TRUE(r.framebuffers.empty() && r.textures.empty());
    showLayer(layer);
    EXPECT_TRUE(r.primitives.empty());
    reshapeView(800, 800);
    EXPECT_FALSE(beginLayer(&layer, true));
    EXPECT_EQ(glstub::countCalls("glGenFramebuffers"), 2);
}

// Thousands of presses one way must never leave a zoom the other key cannot bring back.
TEST(ZoomKeys, EveryStepCanBeUndoneAfterAnyNumberOfPresses)
{
    double zoom = 0.5;
    for (int i = 0; i < 20000; ++i) zoom = zoomOut(zoom);
    EXPECT_GT(zoom, 0.0);
    const double smallest = zoom;
    EXPECT_GT(zoomIn(smallest), smallest);
    EXPECT_LT(zoomOut(zoomIn(smallest)), smallest * 1.0001);

    for (int i = 0; i < 40000; ++i) zoom = zoomIn(zoom);
    EXPECT_TRUE(std::isfinite(zoom));
    const double largest = zoom;
    EXPECT_LT(zoomOut(largest), largest);
    EXPECT_GT(zoomIn(zoomOut(largest)), largest * 0.9999);

    // In ordinary use a press is exactly the factor 0.9.
    EXPECT_EQ(zoomOut(0.5), 0.5 * 0.9);
    EXPECT_EQ(zoomIn(0.5), 0.5 / 0.9);
}

}  // namespace
