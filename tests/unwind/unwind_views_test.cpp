// The drawing operations and the six views of unwinddemo, recorded through the stand-in.
// Positions are checked as shown, after the matrices.
#include "unwind_recording.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

namespace {

using namespace unwindtest;
using glstub::recording;

constexpr double k = 0.5;  // the zoom after every set-up
// Turns go through 57.2957795 degrees per radian, good to about 2e-10 of the angle: points
// turned by a few radians land within a few 1e-9 view units of the exact place.
constexpr double turnTolerance = 1e-8;

// The index of the first primitive of the given mode and colour.
std::size_t firstOf(GLenum mode, const Rgba& c)
{
    const auto& prims = recording().primitives;
    for (std::size_t i = 0; i < prims.size(); ++i)
        if (prims[i].mode == mode && hasColour(prims[i], c)) return i;
    return prims.size();
}

Point2 vertexOfCurve(const std::vector<const glstub::Primitive*>& segs, int i)
{
    return i == 0 ? shown(segs[0]->vertices[0]) : shown(segs[i - 1]->vertices[1]);
}

void expectIdentityAfterThePass()
{
    const glstub::Matrix m = glstub::currentModelview();
    const glstub::Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], identity[i], 1e-12) << i;
    EXPECT_TRUE(recording().errors.empty());
}

TEST(UnwindOperations, BaseCircleIsOutlineCentreDotAndTwoDiametersAboutTheCurrentOrigin)
{
    glstub::reset();
    glTranslated(0.3, -0.2, 0);
    glRotated(90, 0, 0, 1);  // the diameters turn with the matrix
    drawBaseCircle(0.4, 0.9, blue);
    const auto& prims = recording().primitives;
    ASSERT_EQ(prims.size(), 4u);
    const Point2 c{0.3, -0.2};
    EXPECT_EQ(prims[0].mode, GL_LINE_LOOP);
    EXPECT_EQ(prims[0].vertices.size(), 238u);  // the 120-gon
    for (const auto& v : prims[0].vertices) EXPECT_NEAR(gap(shown(v), c), 0.36, 1e-9);
    EXPECT_EQ(prims[1].mode, GL_POLYGON);
    for (const auto& v : prims[1].vertices) EXPECT_NEAR(gap(shown(v), c), 0.02, 1e-9);
    EXPECT_LT(gap(shown(prims[2].vertices[0]), {0.3, 0.16}), 1e-9);
    EXPECT_LT(gap(shown(prims[2].vertices[1]), {0.3, -0.56}), 1e-9);
    EXPECT_LT(gap(shown(prims[3].vertices[0]), {-0.06, -0.2}), 1e-9);
    EXPECT_LT(gap(shown(prims[3].vertices[1]), {0.66, -0.2}), 1e-9);
    for (const auto& p : prims) EXPECT_TRUE(hasColour(p, blue));
}

TEST(UnwindOperations, GearFlanksAreZCopiesEvenlyTurnedAndTheMatrixComesBack)
{
    glstub::reset();
    const Point2 flank[] = {{0.0, 0.5}, {0.2, 0.6}, {0.3, 0.9}};
    glLineWidth(3.0f);
    drawCurveZoomed(0.8, flank, 0, red);  // nothing to draw: the width stays
    EXPECT_TRUE(recording().primitives.empty());
    EXPECT_EQ(recording().lineWidth, 3.0f);

    drawGearFlanks(0.8, 3, flank, 1, red);  // one segment per copy
    const auto segs = curveSegments(red);
    ASSERT_EQ(segs.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        const double a = (j + 1) * 2 * gearPi / 3, c = std::cos(a), s = std::sin(a);
        EXPECT_LT(gap(shown(segs[j]->vertices[0]), {-0.4 * s, 0.4 * c}), 1e-9) << j;
        EXPECT_LT(gap(shown(segs[j]->vertices[1]), {0.16 * c - 0.48 * s, 0.16 * s + 0.48 * c}), 1e-9) << j;
    }
    EXPECT_EQ(recording().lineWidth, 2.0f);
    expectIdentityAfterThePass();
}

TEST(UnwindViews, EachModeShowsItsCaptionsAndOtherModesDrawNothing)
{
    const char* const pair = "     red:drive base circle,  blue:driven base circle";
    const std::vector<std::vector<std::string>> captions{
        {"(1) involute generation(base circle fixed)"},
        {"(2) involute generation(base circle rotated)"},
        {"(3) involute measurement(base circle rolling)",
         "  Arrow contact point stands still if tooth profile has no error."},
        {"(4) draw 2 circle belt transmission and involute motion", pair},
        {"(5) 2-gear meshing motion wth contact path", pair},
        {"(6) 2-gear meshing motion wthout contact path", pair}};
    for (int m = 0; m < 6; ++m) {
        startFresh(static_cast<char>('1' + m));
        pass();
        const auto& shownCaptions = recording().captions;
        ASSERT_EQ(shownCaptions.size(), captions[m].size()) << m + 1;
        for (std::size_t i = 0; i < shownCaptions.size(); ++i) {
            EXPECT_EQ(shownCaptions[i].text, captions[m][i]);
            EXPECT_FLOAT_EQ(shownCaptions[i].viewX, -0.9f);
            EXPECT_FLOAT_EQ(shownCaptions[i].viewY, i == 0 ? 0.85f : 0.8f);
            EXPECT_EQ(shownCaptions[i].font, GLUT_BITMAP_HELVETICA_18);
        }
        expectIdentityAfterThePass();
    }
    startFresh('7');
    pass();
    EXPECT_TRUE(recording().primitives.empty());
    EXPECT_TRUE(recording().captions.empty());
    EXPECT_EQ(glstub::countCalls("glClear") + glstub::countCalls("glutSwapBuffers"), 2);
}

TEST(UnwindViews, FirstPassShowsStepOneWithTheStringFromTangentToInvolute)
{
    startFresh('1');
    pass();
    EXPECT_EQ(unwindView.fixedStep, 1);
    EXPECT_EQ(curveSegments(green).size(), 400u);  // the guide, all of it
    const auto traced = curveSegments(red);
    ASSERT_EQ(traced.size(), 1u);
    const Point2 i1 = involuteAt(0.01), t1{rb * std::sin(0.01), rb * std::cos(0.01)};
    EXPECT_LT(gap(shown(traced[0]->vertices[0]), {0, k * rb}), 1e-12);
    EXPECT_LT(gap(shown(traced[0]->vertices[1]), {k * i1.x, k * i1.y}), 1e-12);
    const std::size_t loop = firstOf(GL_LINE_LOOP, red);
    const auto& prims = recording().primitives;
    ASSERT_GT(prims.size(), loop + 7);
    EXPECT_LT(gap(shown(prims[loop + 4].vertices[0]), {k * t1.x, k * t1.y}), 1e-12);  // string
    EXPECT_LT(gap(shown(prims[loop + 4].vertices[1]), {k * i1.x, k * i1.y}), 1e-12);
    EXPECT_LT(gap(centreOf(prims[loop + 6]), {k * i1.x, k * i1.y}), 1e-9);  // string-end dot
}

TEST(UnwindViews, FixedCircleAtStepZeroCollapsesTheStringToTheTop)
{
    startFresh('1');
    unwindView.direction = 'D';
    pass();
    EXPECT_EQ(unwindView.fixedStep, 0);
    EXPECT_TRUE(curveSegments(red).empty());
    EXPECT_EQ(curveSegments(green).size(), 400u);
    const std::size_t loop = firstOf(GL_LINE_LOOP, red);
    const auto& prims = recording().primitives;
    ASSERT_GT(prims.size(), loop + 7);
    for (const auto& v : prims[loop + 4].vertices) EXPECT_LT(gap(shown(v), {0, k * rb}), 1e-12);
    EXPECT_LT(gap(shown(prims[loop + 5].vertices[0]), {0, 0}), 1e-12);  // the radius line
    EXPECT_LT(gap(centreOf(prims[loop + 6]), {0, k * rb}), 1e-9);
    EXPECT_LT(gap(centreOf(prims[loop + 7]), {0, k * rb}), 1e-9);
}

TEST(UnwindViews, TurningCircleHoldsTheStringOnTheTopTangentUnderStillAxes)
{
    startFresh('2');
    unwindView.turnStep = 149;
    pass();
    EXPECT_EQ(unwindView.turnStep, 150);
    EXPECT_NEAR(unwindView.rollAngle, 1.5, 1e-15);
    const auto& cross = recording().primitives[firstOf(GL_LINES, black)];
    EXPECT_LT(gap(shown(cross.vertices[0]), {-10, 0}), 1e-12);
    const auto& string = recording().primitives[firstOf(GL_LINES, red)];
    EXPECT_LT(gap(shown(string.vertices[0]), {0, k * rb}), 1e-9);
    EXPECT_LT(gap(shown(string.vertices[1]), {-k * rb * 1.5, k * rb}), 1e-9);
}

TEST(UnwindViews, RollingCircleKeepsTheInvolutePointUnderTheArrowTipAtEveryStep)
{
    startFresh('3');
    for (int s = 1; s <= unwindSteps; ++s) {
        pass();
        ASSERT_EQ(unwindView.turnStep, s);
        const auto discs = glstub::primitivesOf(GL_POLYGON);
        std::vector<const glstub::Primitive*> arrow, redDiscs;
        for (const auto* p : discs) (hasColour(*p, blue) ? arrow : redDiscs).push_back(p);
        ASSERT_EQ(arrow.size(), 3u);
        ASSERT_EQ(redDiscs.size(), 3u);  // centre dot, involute point, tangent point
        const Point2 tip = shown(arrow[1]->vertices[0]);
        EXPECT_LT(gap(tip, {0, k * rb}), 1e-12);
        EXPECT_LT(gap(centreOf(*redDiscs[1]), tip), turnTolerance) << s;
        EXPECT_LT(gap(vertexOfCurve(curveSegments(red), s), tip), turnTolerance) << s;
        EXPECT_LT(gap(centreOf(*redDiscs[2]), {k * rb * s * 0.01, k * rb}), turnTolerance) << s;
    }
    const auto& line = recording().primitives[firstOf(GL_LINES, red)];
    EXPECT_LT(gap(shown(line.vertices[0]), {-10, k * rb}), 1e-12);
    EXPECT_LT(gap(shown(line.vertices[1]), {10, k * rb}), 1e-12);
}

TEST(UnwindViews, BeltContactIsAtTheRightEndThePitchPointAndTheLeftEnd)
{
    const Point2 expected[] = {{k * rb, 0}, {0, 0}, {-k * rb, 0}};
    for (int r = 0; r <= 2; ++r) {
        startFresh('4');
        unwindView.rollAngle = r - 0.01;
        pass();
        EXPECT_NEAR(unwindView.rollAngle, r, 1e-12);
        const auto& dot = recording().primitives[firstOf(GL_POLYGON, blue)];
        EXPECT_LT(gap(centreOf(dot), expected[r]), 1e-9) << r;
    }
    // At 2.0 the driven involute starts at the left end.
    EXPECT_LT(gap(vertexOfCurve(curveSegments(blue), 0), expected[2]), turnTolerance);
    const auto& belt = recording().primitives[firstOf(GL_LINES, red)];
    EXPECT_LT(gap(shown(belt.vertices[0]), expected[0]), 1e-12);
    EXPECT_LT(gap(shown(belt.vertices[1]), expected[2]), 1e-12);
}

TEST(UnwindViews, RedInvoluteBlueInvoluteAndTheDotMeetOnTheBelt)
{
    for (int j : {0, 37, 100, 163, 200}) {
        startFresh('4');
        unwindView.rollAngle = (j - 1) * 0.01;
        pass();
        const Point2 dot = centreOf(recording().primitives[firstOf(GL_POLYGON, blue)]);
        EXPECT_NEAR(dot.y, 0, 1e-12);
        // Drive entry j (unwound by the turning angle) and driven entry 200 − j touch there.
        EXPECT_LT(gap(vertexOfCurve(curveSegments(red), j), dot), turnTolerance) << j;
        EXPECT_LT(gap(vertexOfCurve(curveSegments(blue), 200 - j), dot), turnTolerance) << j;
    }
}

TEST(UnwindViews, GearPairShowsTenFlanksPerGear36DegreesApart)
{
    startFresh('5');
    unwindView.rollAngle = 0.42;
    pass();
    const double outer = k * std::hypot(involuteAt(2.52).x, involuteAt(2.52).y);
    const Point2 centres[] = {{k * rb, -k * rb}, {-k * rb, k * rb}};
    const Rgba colours[] = {red, blue};
    for (int g = 0; g < 2; ++g) {
        const auto segs = curveSegments(colours[g]);
        ASSERT_EQ(segs.size(), 10u * 252u);
        const Point2 c = centres[g];
        for (int f = 0; f < 10; ++f) {
            const Point2 a = shown(segs[f * 252]->vertices[0]);
            const Point2 b = shown(segs[(f + 1) % 10 * 252]->vertices[0]);
            EXPECT_NEAR(gap(a, c), k * rb, 1e-9);
            EXPECT_NEAR(gap(shown(segs[f * 252 + 251]->vertices[1]), c), outer, 1e-9);
            const double turn = std::remainder(std::atan2(b.y - c.y, b.x - c.x) - std::atan2(a.y - c.y, a.x - c.x),
                                               2 * gearPi);
            EXPECT_NEAR(turn, 2 * gearPi / 10, turnTolerance) << f;
        }
    }
}

TEST(UnwindViews, Mode6DrawsMode5LessTheGreenContactPath)
{
    startFresh('5');
    unwindView.rollAngle = 0.73;
    pass();
    const std::size_t path = firstOf(GL_LINES, green);
    ASSERT_LT(path, recording().primitives.size());
    EXPECT_LT(gap(shown(recording().primitives[path].vertices[0]), {k * rb, 0}), 1e-12);
    EXPECT_LT(gap(shown(recording().primitives[path].vertices[1]), {-k * rb, 0}), 1e-12);
    const std::vector<double> five = picture(&green);
    EXPECT_EQ(picture().size() - five.size(), 4u + 2 * 2);  // one line: mode, colour, two vertices

    unwindView.mode = '6';
    unwindView.rollAngle = 0.73;
    pass();
    EXPECT_EQ(firstOf(GL_LINES, green), recording().primitives.size());
    EXPECT_EQ(picture(), five);
}

}  // namespace
