// cutdemo2's frames, recorded: stroked tooth curves, the fixed header, solid 100-gon circles
// and its own gear-turning mode.
#include "cutdemo2.h"
#include "rack_probe.h"
#include "edition_drawing.h"

#include <gtest/gtest.h>

namespace {

// These frames and keys are cutdemo2's: its title, circle count and display.
const bool editionChosen = (useRackEdition(cutdemo2Edition), true);

using namespace probe;

constexpr double k = 0.5;

// Offset of each stroke from the line a–b, along the left-hand normal.
std::vector<double> strokeOffsets(const Point2& a, const Point2& b)
{
    const double len = std::hypot(b.x - a.x, b.y - a.y);
    const double nx = -(b.y - a.y) / len, ny = (b.x - a.x) / len;
    std::vector<double> offsets;
    for (const auto& p : glstub::recording().primitives) {
        EXPECT_EQ(p.mode, GLenum(GL_LINES));
        EXPECT_EQ(p.vertices.size(), 2u);
        const double o0 = (p.vertices[0].viewX - a.x) * nx + (p.vertices[0].viewY - a.y) * ny;
        const double o1 = (p.vertices[1].viewX - b.x) * nx + (p.vertices[1].viewY - b.y) * ny;
        EXPECT_NEAR(o0, o1, 1e-12);
        offsets.push_back(o0);
    }
    return offsets;
}

TEST(StrokedSegment, FourStrokesFromHalfTheWidthDownwards)
{
    glstub::reset();
    const Point2 a{0.1, 0.2}, b{0.4, 0.6};
    drawStrokedSegment(a, b, 0.004, red);
    const auto offsets = strokeOffsets(a, b);
    ASSERT_EQ(offsets.size(), 4u);
    const double expected[] = {0.002, 0.001, 0.0, -0.001};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(offsets[i], expected[i], 1e-12) << i;
    EXPECT_TRUE(isColour(glstub::recording().primitives[0].colour, red));
    EXPECT_EQ(glstub::countCalls("glLineWidth"), 0);  // strokes use the width in force
    EXPECT_TRUE(glstub::recording().lighting);
    EXPECT_EQ(glstub::recording().calls.front().name, "glDisable");
}

TEST(StrokedSegment, ANarrowBandIsOneStrokeOffsetByHalfItsWidth)
{
    glstub::reset();
    const Point2 a{0.3, -0.1}, b{-0.2, -0.5};
    drawStrokedSegment(a, b, 0.0006, blue);
    const auto offsets = strokeOffsets(a, b);
    ASSERT_EQ(offsets.size(), 1u);
    EXPECT_NEAR(offsets[0], 0.0003, 1e-12);
}

TEST(StrokedToothCurve, DrawsEachSegmentAsABandAtTheGivenZoom)
{
    const Point2 table[] = {{0, 0}, {0.2, 0.1}, {0.3, 0.5}, {0.2, 0.9}};
    glstub::reset();
    drawStrokedToothCurve(0.25, table, 0, red);
    EXPECT_TRUE(glstub::recording().calls.empty());
    drawStrokedToothCurve(0.25, table, 3, red);
    const auto& prims = glstub::recording().primitives;
    ASSERT_EQ(prims.size(), 12u);
    // The third stroke of each band lies on the zoomed segment itself.
    EXPECT_NEAR(prims[2].vertices[0].viewX, 0.0, 1e-12);
    EXPECT_NEAR(prims[10].vertices[1].viewX, 0.25 * 0.2, 1e-12);
    EXPECT_NEAR(prims[10].vertices[1].viewY, 0.25 * 0.9, 1e-12);
}

class Cutdemo2Frame : public ::testing::TestWithParam<char> {};

TEST_P(Cutdemo2Frame, EveryFrameStartsWithTheHeaderAndSolidCircles)
{
    startRackProgram(20, GetParam());
    drawFrame();
    const auto& captions = glstub::recording().captions;
    ASSERT_GE(captions.size(), 1u);
    EXPECT_EQ(captions[0].text, "blue:pitch circle,  green:base circle");
    EXPECT_FLOAT_EQ(captions[0].viewY, 0.9f);
    EXPECT_FLOAT_EQ(captions[0].viewX, -0.9f);
    // Four solid 100-gons about the zoomed gear centre: pitch, tip, root and base circle.
    const auto loops = glstub::primitivesOf(GL_LINE_LOOP);
    ASSERT_EQ(loops.size(), 4u);
    const Rgba colours[] = {blue, red, red, green};
    const double radii[] = {10, 11, 8.75, rackGear.baseRadius};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(isColour(loops[i]->colour, colours[i])) << i;
        EXPECT_EQ(loops[i]->vertices.size(), 198u);
        for (const auto& v : loops[i]->vertices) EXPECT_NEAR(distance(0, -k * 10, v.viewX, v.viewY), k * radii[i], 1e-12);
    }
    const auto centre = discs(black);
    ASSERT_EQ(centre.size(), 1u);
    EXPECT_EQ(centre[0].vertices, 100);
    EXPECT_NEAR(centre[0].y, -k * 10, 1e-12);
    EXPECT_NEAR(centre[0].r, 0.1 * k, 1e-12);
    // The axis cross comes before the circles, so the strokes draw at width 2.
    EXPECT_EQ(glstub::recording().lineWidth, 2.0f);
}

INSTANTIATE_TEST_SUITE_P(AllModesAndAnUnknownOne, Cutdemo2Frame, ::testing::Values('1', '2', '3', '4', '5', '6', '9'),
                         [](const auto& info) { return std::string("mode") + info.param; });

TEST(Cutdemo2Modes, CaptionsBelowTheHeader)
{
    const std::vector<std::vector<std::string>> expected = {
        {"(1) draw addendum involute generation", "     red point:point of rack generation of involute curve"},
        {"(2) draw dedendum involute generation", "     red point:point of rack generation of involute curve"},
        {"(3) draw undercut curve generation", "     blue point:point of generation of undercut curve"},
        {"(4) whole involute curve generation by rack rolling on pitch circle"},
        {"(5) whole involute curve generation by rack-gear meshing"},
        {"(6) display whole involute curve"},
        {}};
    for (char mode = '1'; mode <= '7'; ++mode) {
        startRackProgram(20, mode);
        drawFrame();
        const auto& captions = glstub::recording().captions;
        const auto& want = expected[mode - '1'];
        ASSERT_EQ(captions.size(), want.size() + 1) << mode;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(captions[i + 1].text, want[i]);
            EXPECT_FLOAT_EQ(captions[i + 1].viewY, i == 0 ? 0.85f : 0.8f);
        }
    }
}

TEST(Cutdemo2Modes, ModeOneDrawsTheSameAsCutdemo3ButStroked)
{
    startRackProgram(20, '1');
    for (int i = 0; i < 6; ++i) drawFrame();
    // Step 5: five curve segments of four strokes each, and the past rack of step 0 only.
    int strokes = 0;
    for (const auto* p : lines(red))
        if (p->vertices.size() == 2) ++strokes;
    EXPECT_EQ(strokes, 5 * 4);
    // The past rack of step 0: the outline of the rack on the pitch point, where it shows.
    EXPECT_GT(segmentCount(green), 0);
    EXPECT_LE(segmentCount(green), 28);
    EXPECT_EQ(segmentsOutOfReach(green), 0);
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    EXPECT_NEAR(reds[0].x, k * rackTables.addendumFlank[5].x, 1e-12);
    EXPECT_EQ(reds[0].vertices, 100);
}

TEST(Cutdemo2Modes, ModeFiveMarksThePitchContactAndDrawsNoDiameters)
{
    startRackProgram(20, '5');
    drawFrame();
    const auto blues = discs(blue);
    ASSERT_EQ(blues.size(), 2u);
    EXPECT_NEAR(blues[0].x, 0, 1e-12);  // the pitch point
    EXPECT_NEAR(blues[0].y, 0, 1e-12);
    EXPECT_NEAR(blues[1].x, k * 10, 1e-9);  // a quarter turn right, level with the gear centre
    EXPECT_NEAR(blues[1].y, -k * 10, 1e-9);
    // The only chain line is the rack's pitch line, horizontal through the pitch point.
    const auto chains = lines(blue);
    ASSERT_EQ(chains.size(), 1u);
    for (const auto& v : chains[0]->vertices) EXPECT_NEAR(v.viewY, 0, 1e-7);
    EXPECT_GT(segmentCount(black), 0);
    EXPECT_EQ(segmentsOutOfReach(black), 0);
    EXPECT_EQ(glstub::recording().captions.size(), 2u);
    // The marker stays on the drawn pitch circle at any zoom and step.
    startRackProgram(20, '5', 0.3);
    for (int i = 0; i < 12; ++i) drawFrame();
    const auto later = discs(blue);
    ASSERT_EQ(later.size(), 2u);
    EXPECT_NEAR(distance(0, -0.3 * 10, later[1].x, later[1].y), 0.3 * 10, 1e-12);
}

TEST(Cutdemo2Modes, ModeSixDrawsBothFlanksStroked)
{
    startRackProgram(20, '6');
    drawFrame();
    int strokes = 0;
    for (const auto* p : lines(blue))
        if (p->vertices.size() == 2) ++strokes;
    EXPECT_EQ(strokes, 2 * rackTables.profileLast * 4);
}

TEST(Cutdemo2Keys, SameKeysAsCutdemo3)
{
    startRackProgram(20, '1');
    onCutDemoKey('6', 0, 0);
    EXPECT_EQ(rackView.mode, '6');
    onCutDemoKey('w', 0, 0);
    EXPECT_NEAR(rackView.zoom, 0.45, 1e-15);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 2);
    onCutDemoKey('7', 0, 0);
    EXPECT_EQ(rackView.mode, '6');
    EXPECT_EXIT(onCutDemoKey(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

}  // namespace
