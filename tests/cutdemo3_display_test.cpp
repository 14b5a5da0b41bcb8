// cutdemo3's frames, recorded: what each mode draws, where, and how its step advances.
#include "cutdemo3.h"
#include "rack_probe.h"
#include "test_support.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

// These frames and keys are cutdemo3's: its title, circle count and display.
const bool editionChosen = (useRackEdition(cutdemo3Edition), true);

using namespace probe;

constexpr double k = 0.5;

TEST(ModeOne, FirstFrameShowsTheRackOnThePitchPointAndNothingGeneratedYet)
{
    startRackProgram(20, '1');
    drawFrame();
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    EXPECT_NEAR(reds[0].x, 0, 1e-12);
    EXPECT_NEAR(reds[0].y, 0, 1e-12);
    EXPECT_NEAR(reds[0].r, 0.01, 1e-12);
    EXPECT_EQ(reds[0].vertices, 120);
    EXPECT_TRUE(curve(red).empty());            // a curve of last index 0 draws nothing
    EXPECT_EQ(segmentCount(green), 0);           // no past rack yet
    // The rack's outline where it shows: every segment of it inside the window is drawn,
    // and nothing drawn lies beyond an edge of the window or off the outline.
    const auto outline = rackOutlineAtPitchPoint(k);
    const auto drawn = plainSegments(black);
    auto drawnHas = [&](const std::pair<Point2, Point2>& s) {
        for (const auto& [a, b] : drawn)
            if (distance(a.viewX, a.viewY, s.first.x, s.first.y) < 1e-9 && distance(b.viewX, b.viewY, s.second.x, s.second.y) < 1e-9)
                return true;
        return false;
    };
    int inside = 0, onOutline = 0;
    for (const auto& s : outline) {
        const glstub::Vertex a{0, 0, s.first.x, s.first.y}, b{0, 0, s.second.x, s.second.y};
        if (std::max(std::fabs(a.viewX), std::fabs(a.viewY)) < 1 && std::max(std::fabs(b.viewX), std::fabs(b.viewY)) < 1) {
            ++inside;
            EXPECT_TRUE(drawnHas(s)) << "a segment inside the window is missing";
        }
        onOutline += drawnHas(s);
    }
    EXPECT_GE(inside, 5);
    EXPECT_EQ(onOutline, int(drawn.size()));
    EXPECT_EQ(segmentsOutOfReach(black), 0);
    // The rack's pitch line, the last blue line drawn: a chain line 40 mm long through the
    // pitch point, from k·20 to −k·20 in trunc(6 × 20 − 1) = 119 periods. Only the dashes
    // that reach the window are drawn, each where the whole line puts it.
    const auto* pitchLine = lines(blue).back();
    const double period = 2 * k * 20 / (119 + 9.0 / 15);
    const auto& v = pitchLine->vertices;
    ASSERT_GE(v.size(), 4u);
    EXPECT_LT(v.size(), size_t(4 * 119 / 4));  // the window shows a tenth of the line
    EXPECT_GT(v.front().viewX, 1 - period);  // drawn from +x to -x, across the whole window
    for (size_t i = 0; i + 1 < v.size(); i += 2) {
        SCOPED_TRACE("piece " + std::to_string(i / 2));
        EXPECT_NEAR(v[i].viewY, 0, 1e-7);  // turned by 57.2957795 degrees per radian
        EXPECT_LT(std::fabs(v[i].viewX), 1 + 2 * period);
        // Long dashes start a whole number of periods from k·20, short ones 11/15 past that.
        const double from = (k * 20 - v[i].viewX) / period, length = (v[i].viewX - v[i + 1].viewX) / period;
        const bool longDash = std::fabs(length - 9.0 / 15) < 1e-6;
        EXPECT_TRUE(longDash || std::fabs(length - 2.0 / 15) < 1e-6) << length;
        const double phase = from - std::floor(from + 1e-6);
        EXPECT_NEAR(phase, longDash ? 0 : 11.0 / 15, 1e-6);
    }
    EXPECT_LT(v.back().viewX, -1 + period);
    // The generating flank passes through the pitch point; the neighbouring copy, one pitch
    // along, draws its overlapping half-pitch over the same flank.
    int throughPitchPoint = 0;
    for (const auto* p : lines(black)) {
        if (p->vertices.size() != 2) continue;
        const auto &a = p->vertices[0], &b = p->vertices[1];
        const double cross = (b.viewX - a.viewX) * (0 - a.viewY) - (b.viewY - a.viewY) * (0 - a.viewX);
        if (std::fabs(cross) < 1e-12 && a.viewY < 0 && b.viewY > 0) ++throughPitchPoint;
    }
    EXPECT_EQ(throughPitchPoint, 2);
    EXPECT_EQ(rackView.addendumStep, 1);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 1);
}

TEST(ModeOne, SecondFrameAddsThePastRackOfStepZeroAndTheFirstCurveSegment)
{
    startRackProgram(20, '1');
    drawFrame();
    drawFrame();
    EXPECT_EQ(segmentCount(green), segmentCount(black));  // the rack of the first frame, now green
    ASSERT_EQ(curve(red).size(), 1u);
    const auto& p = rackTables.addendumFlank[1];
    EXPECT_NEAR(curve(red)[0]->vertices[1].viewX, k * p.x, 1e-12);
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    EXPECT_NEAR(reds[0].x, k * p.x, 1e-12);
    EXPECT_NEAR(reds[0].y, k * p.y, 1e-12);
}

TEST(ModeOne, StopsAtTheLastTablePointJustOutsideTheTipCircle)
{
    startRackProgram(10, '1');
    rackView.addendumStep = 86;
    for (int i = 0; i < 2; ++i) drawFrame();
    EXPECT_EQ(rackView.addendumStep, 88);
    const auto last = discs(red);
    drawFrame();
    EXPECT_EQ(rackView.addendumStep, 88);  // clamped to 87 and advanced again
    const auto again = discs(red);
    ASSERT_EQ(last.size(), 1u);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(last[0].x, again[0].x);
    EXPECT_EQ(curve(red).size(), 87u);
    const double fromCentre = distance(0, -k * 5, again[0].x, again[0].y);
    EXPECT_GT(fromCentre, k * 6.0);
    EXPECT_LT(fromCentre, k * 6.0 + 0.01);
    // Past racks every fifth step: 0, 5, … 85, each with its generating flank in the window
    // and nothing out of its reach.
    EXPECT_GE(segmentCount(green), 18);
    EXPECT_LE(segmentCount(green), 18 * 28);
    EXPECT_EQ(segmentsOutOfReach(green), 0);
}

TEST(ModeTwo, ShowsTheWholeTipSideAndClampsTheRootSide)
{
    startRackProgram(20, '2');
    rackView.dedendumStep = rackTables.dedendumLast - 1;
    for (int i = 0; i < 3; ++i) drawFrame();
    EXPECT_EQ(rackView.dedendumStep, rackTables.dedendumLast + 1);
    EXPECT_EQ(curve(red).size(), size_t(rackTables.addendumLast + rackTables.dedendumLast));
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    const auto& p = rackTables.dedendumFlank[rackTables.dedendumLast];
    EXPECT_NEAR(reds[0].x, k * p.x, 1e-12);
    EXPECT_EQ(discs(blue).size(), 1u);  // the pitch contact marker, no reference-point dot
    EXPECT_EQ(glstub::recording().captions.size(), 4u);
    EXPECT_EQ(glstub::recording().captions[3].text, glstub::recording().captions[1].text);
}

TEST(ModeThree, TheInvoluteReachesTheTipCircleExactly)
{
    startRackProgram(10, '3');
    drawFrame();
    const auto reds = curve(red);
    ASSERT_EQ(reds.size(), size_t(rackTables.involuteLast));
    const auto& tip = reds.back()->vertices[1];
    EXPECT_NEAR(distance(0, -k * 5, tip.viewX, tip.viewY), k * 6.0, 1e-9);
    // The rack's tip corner starts on the root circle.
    const auto blues = discs(blue);
    ASSERT_EQ(blues.size(), 2u);
    EXPECT_NEAR(distance(0, -k * 5, blues[0].x, blues[0].y), k * 3.75, 1e-9);
}

TEST(ModeFour, FirstFrameStandsTheRackAQuarterTurnRightWithAVerticalPitchLine)
{
    // At a tenth of the starting zoom, so that the rack a quarter turn round is in the window.
    const double near = k / 10;
    startRackProgram(20, '4', near);
    drawFrame();
    const auto marker = discs(blue);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_NEAR(marker[0].x, near * 10, 1e-9);
    EXPECT_NEAR(marker[0].y, -near * 10, 1e-9);
    const auto* pitchLine = lines(blue).back();
    ASSERT_FALSE(pitchLine->vertices.empty());
    for (const auto& v : pitchLine->vertices) EXPECT_NEAR(v.viewX, near * 10, 1e-7);
    EXPECT_EQ(segmentCount(black), 28);
    EXPECT_EQ(segmentCount(green), 0);
    drawFrame();
    EXPECT_EQ(segmentCount(green), 28);  // the rack of step 0, now past
    drawFrame();
    // The past racks are kept in a layer: a frame draws into it only the rack that has just
    // become past, then shows the layer over the window, after the current rack.
    EXPECT_EQ(segmentCount(green), 28);
    for (const auto* p : lines(green)) EXPECT_NE(p->framebuffer, 0u);
    const auto shown = layersShown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_GT(shown[0], lines(black).back());
    EXPECT_EQ(rackView.wholeStep, 3);
}

TEST(ModeFour, EachPastRackIsDrawnOnceAndTheLayerHoldsWhatOneFrameWouldDraw)
{
    startRackProgram(20, '4', k / 10);  // every rack in the window
    std::vector<std::pair<glstub::Vertex, glstub::Vertex>> kept;
    for (int frame = 0; frame < 40; ++frame) {
        drawFrame();
        const auto drawn = plainSegments(green);
        EXPECT_EQ(drawn.size(), frame ? 28u : 0u);
        kept.insert(kept.end(), drawn.begin(), drawn.end());
    }
    onCutDemoKey('4', 0, 0);  // a step back empties the layer
    rackView.wholeStep = 39;
    drawFrame();
    const auto all = plainSegments(green);
    ASSERT_EQ(all.size(), kept.size());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_NEAR(all[i].first.viewX, kept[i].first.viewX, 1e-6);
        EXPECT_NEAR(all[i].second.viewY, kept[i].second.viewY, 1e-6);
    }
    EXPECT_EQ(layersShown().size(), 1u);
}

TEST(ModeFour, AZoomOrAWindowOfAnotherSizeDrawsEveryPastRackAgain)
{
    startRackProgram(20, '4', k / 10);
    for (int frame = 0; frame < 6; ++frame) drawFrame();
    glstub::clearLog();
    onCutDemoKey('w', 0, 0);
    EXPECT_EQ(segmentCount(green), 6 * 28);
    reshapeView(600, 500);
    drawFrame();
    EXPECT_EQ(segmentCount(green), 7 * 28);
    EXPECT_EQ(glstub::recording().textureSizes.back()[1], 600);
    EXPECT_EQ(glstub::recording().textures.size(), 1u);  // the old layer's texture freed
}

TEST(ModeFour, WithoutLayersEveryPastRackIsDrawnInEveryFrame)
{
    startRackProgram(20, '4', k / 10);
    glstub::recording().framebuffersWork = false;
    for (int frame = 0; frame < 4; ++frame) drawFrame();
    EXPECT_EQ(glstub::primitivesInto(0).size(), glstub::recording().primitives.size());
    EXPECT_EQ(segmentCount(green), 3 * 28);
    EXPECT_TRUE(layersShown().empty());
}

TEST(ModeFour, FarAlongOnlyThePastRacksThatReachTheWindowAreDrawn)
{
    startRackProgram(20, '4');
    rackView.wholeStep = 1000;
    drawFrame();
    // Only the racks round the top of the gear can show: they roll round it three times
    // in a thousand steps. Nothing drawn lies out of the window's reach.
    const auto greens = plainSegments(green);
    EXPECT_GT(greens.size(), 100u);
    EXPECT_LT(greens.size(), 1000u * 28 / 4);
    EXPECT_EQ(segmentsOutOfReach(green), 0);
    // The rack of step 78 stands on the pitch point: its generating flank runs through the
    // rack's reference point, which is in the window, so that rack is drawn. The racks are
    // placed in single precision, as the matrix stack would place them: within a few millionths.
    const double t = wholeToothRoll(78);
    const Point2 p = rackReferencePoint(rackGear, t);
    int through = 0;
    for (const auto& [a, b] : greens) {
        const double cross = (b.viewX - a.viewX) * (k * p.y - a.viewY) - (b.viewY - a.viewY) * (k * p.x - a.viewX);
        const double along = (k * p.x - a.viewX) * (b.viewX - a.viewX) + (k * p.y - a.viewY) * (b.viewY - a.viewY);
        if (std::fabs(cross) < 1e-5 && along >= 0 && along <= distance(a.viewX, a.viewY, b.viewX, b.viewY) * distance(a.viewX, a.viewY, b.viewX, b.viewY))
            ++through;
    }
    EXPECT_GE(through, 1);
    EXPECT_EQ(rackView.wholeStep, 1001);
}

TEST(ModeFive, TheTurnedRackSlidesAlongAHorizontalPitchLineThroughThePitchPoint)
{
    startRackProgram(20, '5');
    for (int i = 0; i < 7; ++i) drawFrame();
    const auto* pitchLine = lines(blue).back();
    for (const auto& v : pitchLine->vertices) EXPECT_NEAR(v.viewY, 0, 1e-7);
    // Six past racks, each with at least its generating flank through the window.
    EXPECT_GE(segmentCount(green), 6);
    EXPECT_LE(segmentCount(green), 6 * 28);
    EXPECT_EQ(segmentsOutOfReach(green), 0);
    EXPECT_EQ(glstub::countCalls("glBindFramebuffer"), 0);  // turning, they cannot be kept
    // No captions on the first line; the title sits on the third.
    const auto& captions = glstub::recording().captions;
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_FLOAT_EQ(captions[1].viewY, 0.85f);
    EXPECT_EQ(captions[1].text, "(5) whole involute curve generation by rack-gear meshing");
}

TEST(ModeSix, BothFlanksMeetThePitchCircleHalfAPitchApart)
{
    for (int z : {13, 20}) {
        startRackProgram(z, '6');
        drawFrame();
        const auto blues = curve(blue);
        const double rp = z / 2.0;
        ASSERT_EQ(blues.size(), size_t(2 * rackTables.profileLast)) << z;
        // Each flank runs through its point of the pitch circle: the pitch point, and the
        // point half an angular pitch clockwise about the gear centre.
        const double half = gearPi / z;
        const double expected[2][2] = {{0, 0}, {k * rp * std::sin(half), k * rp * std::cos(half) - k * rp}};
        for (int flank = 0; flank < 2; ++flank) {
            double nearest = 1e9;
            for (int i = 0; i < rackTables.profileLast; ++i) {
                const auto& v = blues[flank * rackTables.profileLast + i]->vertices[1];
                nearest = std::min(nearest, distance(v.viewX, v.viewY, expected[flank][0], expected[flank][1]));
            }
            EXPECT_LT(nearest, 1e-7) << z << " flank " << flank;
        }
        // The second flank mirrors the first about the tooth's centre line, half-way between.
        const auto& firstTip = blues[rackTables.profileLast - 1]->vertices[1];
        const auto& secondTip = blues.back()->vertices[1];
        const auto clockwise = [&](const glstub::Vertex& v) { return std::atan2(v.viewX, v.viewY + k * rp); };
        EXPECT_NEAR(clockwise(firstTip) + clockwise(secondTip), half, 1e-7) << z;
        EXPECT_NEAR(distance(0, -k * rp, firstTip.viewX, firstTip.viewY),
                    distance(0, -k * rp, secondTip.viewX, secondTip.viewY), 1e-7);
    }
}

// ---- What every mode shows around its body: captions and the gear circles ----

struct ShownCaption {
    float y;
    const char* text;
};

// The captions as the student reads them, line by line from the top, at x = -0.9.
const std::vector<ShownCaption> captionsOfMode[6] = {
    {{0.95f, "(1) draw addendum involute generation"},
     {0.9f, "     blue:pitch circle,  green:base circle"},
     {0.85f, "     red point:point of rack generation of involute curve"}},
    {{0.95f, "(2) draw dedendum involute generation"},
     {0.9f, "     red point:point of rack generation of involute curve"},
     {0.85f, "     blue:pitch circle,  green:base circle"},
     {0.8f, "     red point:point of rack generation of involute curve"}},
    {{0.95f, "(3) draw undercut curve generation"},
     {0.9f, "     blue:pitch circle,  green:base circle"},
     {0.85f, "     red point:point of rack generation of involute curve"},
     {0.8f, "     blue point:point of generation of undercut curve"}},
    {{0.95f, "(4) whole involute curve generation by rack rolling on pitch circle"},
     {0.9f, "     blue circle : pitch circle,  green circle : base circle"}},
    {{0.9f, "     blue circle : pitch circle,  green circle : base circle"},
     {0.85f, "(5) whole involute curve generation by rack-gear meshing"}},
    {{0.95f, "(6) display whole tooth profile"},
     {0.9f, "     blue:pitch circle,  green:base circle"}},
};

TEST(EveryMode, CaptionsAreDarkLinesFromTheTopLeft)
{
    for (char mode = '1'; mode <= '6'; ++mode) {
        startRackProgram(13, mode);
        drawFrame();
        const auto& shown = glstub::recording().captions;
        const auto& expected = captionsOfMode[mode - '1'];
        ASSERT_EQ(shown.size(), expected.size()) << mode;
        for (std::size_t i = 0; i < shown.size(); ++i) {
            EXPECT_EQ(shown[i].text, expected[i].text) << mode << i;
            EXPECT_FLOAT_EQ(shown[i].viewX, -0.9f) << mode << i;
            EXPECT_FLOAT_EQ(shown[i].viewY, expected[i].y) << mode << i;
            EXPECT_TRUE(shown[i].lit) << mode << i;
            EXPECT_EQ(shown[i].font, GLUT_BITMAP_HELVETICA_18) << mode << i;
        }
    }
}

// The colours of every line vertex lying at distance r from (x, y).
std::set<std::string> lineColoursAt(double x, double y, double r)
{
    std::set<std::string> colours;
    const std::pair<Rgba, const char*> named[] = {{red, "red"}, {green, "green"}, {blue, "blue"}, {black, "black"}};
    for (const auto& p : glstub::recording().primitives) {
        if (p.mode == GL_POLYGON) continue;
        for (const auto& v : p.vertices) {
            if (std::fabs(distance(x, y, v.viewX, v.viewY) - r) > 1e-9) continue;
            std::string name = "other";
            for (const auto& [colour, label] : named)
                if (isColour(p.colour, colour)) name = label;
            colours.insert(name);
        }
    }
    return colours;
}

TEST(GearCircles, BluePitchRedTipAndRootGreenBaseAndABlackCentreMark)
{
    startRackProgram(13, '1', 0.4);
    const double zoom = 0.4, y = -zoom * 6.5;  // the centre of a 13-tooth gear of module 1
    drawFrame();
    using Colours = std::set<std::string>;
    EXPECT_EQ(lineColoursAt(0, y, zoom * 6.5), Colours{"blue"});
    EXPECT_EQ(lineColoursAt(0, y, zoom * 7.5), Colours{"red"});
    EXPECT_EQ(lineColoursAt(0, y, zoom * 5.25), Colours{"red"});
    EXPECT_EQ(lineColoursAt(0, y, zoom * 6.5 * std::cos(gearPi / 9)), Colours{"green"});
    const auto mark = discs(black);
    ASSERT_EQ(mark.size(), 1u);
    EXPECT_NEAR(mark[0].x, 0, 1e-12);
    EXPECT_NEAR(mark[0].y, y, 1e-12);
    EXPECT_NEAR(mark[0].r, 0.1 * zoom, 1e-12);  // a tenth of a millimetre, zoomed
}

TEST(Keys, ZoomKeysScaleTheFigureAndDrawOneStepEach)
{
    startRackProgram(20, '1');
    onCutDemoKey('w', 0, 0);
    onCutDemoKey('w', 0, 0);
    EXPECT_NEAR(rackView.zoom, 0.405, 1e-15);
    onCutDemoKey('W', 0, 0);
    EXPECT_NEAR(rackView.zoom, 0.45, 1e-15);
    EXPECT_EQ(rackView.addendumStep, 3);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 3);
    // The figure grows about the pitch point: the base circle about the zoomed centre.
    glstub::clearLog();
    onCutDemoKey('s', 0, 0);
    int baseCircles = 0;
    for (const auto* p : glstub::primitivesOf(GL_LINE_LOOP)) {
        if (!isColour(p->colour, green)) continue;
        ++baseCircles;
        const auto& v = p->vertices[0];
        EXPECT_NEAR(distance(0, -0.45 * 10, v.viewX, v.viewY), 0.45 * rackGear.baseRadius, 1e-12);
    }
    EXPECT_EQ(baseCircles, 1);
}

TEST(Keys, ModeKeysRestartAndSStepsOn)
{
    startRackProgram(20, '4');
    rackView.wholeStep = 40;
    onCutDemoKey('1', 0, 0);
    onCutDemoKey('1', 0, 0);
    onCutDemoKey('1', 0, 0);
    onCutDemoKey('s', 0, 0);
    glstub::clearLog();
    onCutDemoKey('s', 0, 0);
    EXPECT_EQ(rackView.mode, '1');
    EXPECT_EQ(rackView.wholeStep, 0);
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    EXPECT_NEAR(reds[0].x, k * rackTables.addendumFlank[2].x, 1e-12);  // step 2
    EXPECT_EQ(rackView.addendumStep, 3);
}

TEST(Keys, OtherKeysDoNothing)
{
    startRackProgram(20, '3');
    rackView.undercutStep = 4;
    for (unsigned char key : {'S', 'Z', '7', '0', 'd', ' ', '\r'}) onCutDemoKey(key, 10, 10);
    EXPECT_TRUE(glstub::recording().calls.empty());
    EXPECT_EQ(rackView.mode, '3');
    EXPECT_EQ(rackView.undercutStep, 4);
    EXPECT_EQ(rackView.zoom, 0.5);
}

TEST(Keys, EscapeEndsWithStatusZero)
{
    startRackProgram(20, '1');
    EXPECT_EXIT(onCutDemoKey(27, 0, 0), ::testing::ExitedWithCode(0), "");
}

// Presses the key with the console's standard input and output on files.
std::string withConsole(const std::string& input, unsigned char key)
{
    return withStandardConsole(input, [key] { onCutDemoKey(key, 0, 0); });
}

TEST(Keys, ZAsksForANewToothCountAndDrawsNothing)
{
    startRackProgram(20, '4');
    rackView.zoom = 0.3;
    rackView.wholeStep = 9;
    const std::string printed = withConsole("10\n0\n", 'z');
    EXPECT_NE(printed.find("歯数= 10"), std::string::npos);
    EXPECT_EQ(rackGear.toothCount, 10);
    EXPECT_EQ(rackView.mode, '1');
    EXPECT_EQ(rackView.wholeStep, 0);
    EXPECT_EQ(rackView.zoom, 0.5);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 0);
    drawFrame();
    EXPECT_NEAR(discs(red)[0].y, 0, 1e-12);  // the new gear, mode 1 from its first step
}

TEST(Keys, ZAtTheEndOfInputKeepsTheToothCount)
{
    startRackProgram(17, '2');
    const std::string printed = withConsole("", 'z');
    EXPECT_NE(printed.find("歯数z=17のまま続けます"), std::string::npos);
    EXPECT_EQ(rackGear.toothCount, 17);
    EXPECT_EQ(rackView.mode, '1');
}

}  // namespace

namespace {

using namespace probe;

TEST(HugeGear, TheRollingRackOfTheLargestToothCountIsStillDrawnAfterManySteps)
{
    // Far enough along, the rack has travelled more pitches than an int holds.
    // At a zoom that brings the racks of those rolls into the window.
    startRackProgram(2147483647, '4', 1e-10);
    rackView.wholeStep = 400;
    drawFrame();
    int current = 0;
    for (const auto* p : lines(black))
        if (p->vertices.size() == 2 && std::isfinite(p->vertices[0].viewX)) ++current;
    EXPECT_EQ(current, 4 * 7);
    EXPECT_EQ(segmentCount(green), 400 * 28);
    EXPECT_EQ(rackView.wholeStep, 401);
}

}  // namespace
