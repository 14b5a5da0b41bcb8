// cutdemo1's frames, recorded: the ten-tooth rack and its console trace, the five modes, and
// the keys.
#include "cutdemo1_probe.h"
#include "cutdemo1_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace probe;
using namespace probe1;
using texts1::traceAtPhiZero;

constexpr double k = 0.5;

// ---- The console trace of the rack ----

TEST(Cutdemo1RackTrace, ToothZeroAtPhiZeroPrintsItsCornersWhateverTheToothCount)
{
    for (int z : {20, 7}) {
        startPhiProgram(z, '1');
        TraceCapture trace;
        drawFrame();
        // Tooth 0 is the sixth of -5 … 4, so its five lines follow the first 25.
        std::string lines = trace.text();
        std::size_t at = 0;
        for (int n = 0; n < 25; ++n) at = lines.find('\n', at + 1);
        const std::string toothZero = "\nI=0  R2[]=( 1.2068  1.0000)"
                                      "\nI=0  R1[]=( 0.3640  1.0000)"
                                      "\nI=0  r1[]=(-0.4550 -1.2500)"
                                      "\nI=0  r2[]=(-1.1158 -1.2500)"
                                      "\nI=0  r3[]=(-1.9348  1.0000)";
        EXPECT_EQ(lines.substr(at, toothZero.size() + 1), toothZero + "\n") << z;
    }
}

TEST(Cutdemo1RackTrace, TheFirstFrameTracesTheTenTeethInOrder)
{
    startPhiProgram(13, '1');
    TraceCapture trace;
    drawFrame();
    EXPECT_EQ(trace.text(), traceAtPhiZero());
}

TEST(Cutdemo1RackTrace, NumbersArePrintedAsPrintfPrintsThem)
{
    TraceCapture trace;
    // Ties on the exact binary value, signed zeros, rounding up into a new digit, wide values.
    const double values[] = {1.03125, -1.03125, 0.00015625, -0.00004, -0.0, 0.99995, 9.99996, -123.45678,
                             12345678.9, -1e300, 1.0 / 0.0, std::nan("")};
    std::string expected;
    int I = -12345;
    for (double x : values)
        for (double y : {0.5, -2.00005}) {
            traceCorner(I, "r2", {x, y});
            expected += texts1::traceLine(I, "r2", x, y);
            I += 4321;
        }
    flushRackTrace();
    EXPECT_EQ(trace.text(), expected);
}

// A sink that counts the writes that reach it.
struct CountingSink {
    int writes = 0;
    std::string text;
};

ssize_t countWrite(void* cookie, const char* data, size_t size)
{
    auto* sink = static_cast<CountingSink*>(cookie);
    ++sink->writes;
    sink->text.append(data, size);
    return static_cast<ssize_t>(size);
}

TEST(Cutdemo1RackTrace, AFrameOfTwoThousandFiveHundredLinesGoesOutInOneWrite)
{
    startPhiProgram(20, '4');
    rackView.wholeStep = 50;
    CountingSink counted;
    std::FILE* sink = fopencookie(&counted, "w", {nullptr, countWrite, nullptr, nullptr});
    ASSERT_NE(sink, nullptr);
    std::setvbuf(sink, nullptr, _IONBF, 0);  // so that every write the program makes shows
    std::FILE* saved = rackTrace.sink;
    rackTrace.sink = sink;
    drawFrame();
    rackTrace.sink = saved;
    std::fclose(sink);
    EXPECT_EQ(counted.writes, 1);
    EXPECT_EQ(lineCount(counted.text), 51 * 50);
}

TEST(Cutdemo1RackTrace, AFrameThatOutgrowsTheBufferIsWrittenWholeAndInOrder)
{
    startPhiProgram(20, '1');
    TraceCapture trace;
    // Nearly full already: the first line of the frame no longer fits.
    const std::size_t before = rackTraceCapacity - 10;
    std::fill(rackTrace.text, rackTrace.text + before, 'x');
    rackTrace.length = before;
    drawFrame();
    EXPECT_EQ(trace.text(), std::string(before, 'x') + traceAtPhiZero());
    EXPECT_EQ(rackTrace.length, 0u);
}

TEST(Cutdemo1RackTrace, ATraceThatCannotBeWrittenIsStoppedWithAMessageAndTheFrameStillDrawn)
{
    startPhiProgram(20, '1');
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE* saved = rackTrace.sink;
    rackTrace.sink = full;
    testing::internal::CaptureStderr();
    drawFrame();
    drawFrame();  // stopped: says so only once
    const std::string said = testing::internal::GetCapturedStderr();
    const bool stopped = rackTrace.sink == nullptr;
    rackTrace.sink = saved;
    std::fclose(full);
    EXPECT_TRUE(stopped);
    EXPECT_EQ(said, "\n(座標の出力を止めます：No space left on device)\n");
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 1);  // the log holds the second frame
}

// ---- The ten-tooth rack ----

TEST(Cutdemo1Rack, EachToothEndsWhereTheNextOneBegins)
{
    startPhiProgram(13, '1');
    TraceCapture trace;
    const double phi = 0.3;
    drawRackTeeth(0, phi, black);
    const auto teeth = segments(black);
    ASSERT_EQ(teeth.size(), 40u);  // four segments a tooth, no pitch line
    // Per tooth: R1–r1, R1–R2, r1–r2, r2–r3. The r3 of tooth I is the R2 of tooth I - 1.
    for (int n = 1; n < 10; ++n) {
        const auto& r3 = teeth[4 * n + 3]->vertices[1];
        const auto& R2 = teeth[4 * (n - 1) + 1]->vertices[1];
        EXPECT_NEAR(r3.viewX, R2.viewX, 1e-12) << n;
        EXPECT_NEAR(r3.viewY, R2.viewY, 1e-12) << n;
    }
    // Tooth 0's flank passes through the reference point at roll tan φ, leaning by α + t.
    const double rp = 6.5, t = std::tan(phi);
    const auto p = geometry::reference(rp, t), d = geometry::flankDirection(t);
    const auto R1 = geometry::add(p, 1 / std::cos(geometry::alpha), d);
    const auto r1 = geometry::add(p, -1.25 / std::cos(geometry::alpha), d);
    EXPECT_NEAR(teeth[20]->vertices[0].viewX, k * R1.x, 1e-12);
    EXPECT_NEAR(teeth[20]->vertices[0].viewY, k * R1.y, 1e-12);
    EXPECT_NEAR(teeth[20]->vertices[1].viewX, k * r1.x, 1e-12);
    EXPECT_NEAR(teeth[20]->vertices[1].viewY, k * r1.y, 1e-12);
    EXPECT_EQ(trace.text(), "");  // a rack drawn outside a frame waits for the frame's end
    flushRackTrace();
    EXPECT_EQ(lineCount(trace.text()), 50);
    EXPECT_TRUE(segments(blue).empty());
}

// ---- Header and modes ----

TEST(Cutdemo1Header, CaptionsAxisCrossAndFourSolidCirclesWithoutACentreMark)
{
    startPhiProgram(20, '2');
    TraceCapture trace;
    drawFrame();
    const auto& captions = glstub::recording().captions;
    ASSERT_EQ(captions.size(), 2u);
    EXPECT_EQ(captions[0].text, "blue:pitch circle,  green:base circle");
    EXPECT_FLOAT_EQ(captions[0].viewX, -0.9f);
    EXPECT_FLOAT_EQ(captions[0].viewY, 0.9f);
    EXPECT_EQ(captions[1].text, "(2) draw dedendum involute generation");
    EXPECT_FLOAT_EQ(captions[1].viewY, 0.85f);
    const auto loops = glstub::primitivesOf(GL_LINE_LOOP);
    ASSERT_EQ(loops.size(), 4u);
    const Rgba colours[] = {blue, red, red, green};
    const double radii[] = {10, 11, 8.75, 10 * std::cos(geometry::alpha)};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(isColour(loops[i]->colour, colours[i])) << i;
        EXPECT_EQ(loops[i]->vertices.size(), 2u * 99) << i;  // 100 corners, emitted as pairs
        EXPECT_NEAR(distance(0, -k * 10, loops[i]->vertices[0].viewX, loops[i]->vertices[0].viewY), k * radii[i], 1e-12);
    }
    EXPECT_TRUE(discs(black).empty());
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 1);
}

TEST(Cutdemo1ModeOne, FirstFrameMarksThePitchPointAndDrawsOnlyTheCurrentRack)
{
    startPhiProgram(20, '1');
    TraceCapture trace;
    drawFrame();
    const auto reds = discs(red), blues = discs(blue);
    ASSERT_EQ(reds.size(), 1u);
    ASSERT_EQ(blues.size(), 1u);
    EXPECT_NEAR(reds[0].x, 0, 1e-12);
    EXPECT_NEAR(reds[0].y, 0, 1e-12);
    EXPECT_NEAR(reds[0].r, 0.01, 1e-12);
    EXPECT_EQ(reds[0].vertices, 100);
    EXPECT_NEAR(blues[0].x, 0, 1e-12);
    EXPECT_NEAR(blues[0].r, 0.006, 1e-12);
    EXPECT_TRUE(segments(red).empty());  // a curve of one point draws nothing
    EXPECT_TRUE(segments(green).empty());
    EXPECT_EQ(segments(black).size(), 40u);
    EXPECT_EQ(lineCount(trace.text()), 50);
    EXPECT_EQ(rackView.addendumStep, 1);
}

TEST(Cutdemo1ModeOne, LinesPerFrameFollowThePastRacksEveryFifthStep)
{
    startPhiProgram(20, '1');
    TraceCapture trace;
    for (int n = 0; n <= 12; ++n) {
        trace.clear();
        drawFrame();
        EXPECT_EQ(lineCount(trace.text()), 50 * ((n + 4) / 5 + 1)) << n;
        EXPECT_EQ(segments(green).size(), size_t(40 * ((n + 4) / 5))) << n;
    }
}

TEST(Cutdemo1ModeOne, StopsAtTheLastTablePointAndTheGeneratedPointIsOnTheRackFlank)
{
    startPhiProgram(100, '1');
    TraceCapture trace;
    for (int i = 0; i < 30; ++i) drawFrame();
    const int last = rackTables.addendumLast;  // 24
    EXPECT_EQ(rackView.addendumStep, last + 1);
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    const auto q = geometry::flankContact(50, std::tan(0.0025 * last));
    EXPECT_NEAR(reds[0].x, k * q.x, 1e-12);
    EXPECT_NEAR(reds[0].y, k * q.y, 1e-12);
    EXPECT_EQ(segments(red).size(), size_t(4 * last));  // four strokes a segment
    EXPECT_EQ(segments(green).size(), size_t(40 * 5));  // steps 0, 5, … 20
    // The contact marker sits on the pitch circle at roll tan φ.
    const auto blues = discs(blue);
    ASSERT_EQ(blues.size(), 1u);
    const auto g = geometry::contact(50, std::tan(0.0025 * last));
    EXPECT_NEAR(blues[0].x, k * g.x, 1e-12);
    EXPECT_NEAR(blues[0].y, k * g.y, 1e-12);
}

TEST(Cutdemo1ModeTwo, TheRootSideRunsWithTheRackTurningBackwards)
{
    startPhiProgram(20, '2');
    TraceCapture trace;
    for (int i = 0; i < 31; ++i) drawFrame();
    const auto reds = discs(red);
    ASSERT_EQ(reds.size(), 1u);
    const double t = std::tan(-0.005 * 30);
    const auto q = geometry::flankContact(10, t);
    EXPECT_NEAR(reds[0].x, k * q.x, 1e-12);
    EXPECT_NEAR(reds[0].y, k * q.y, 1e-12);
    const auto g = geometry::contact(10, t);
    EXPECT_NEAR(discs(blue)[0].x, k * g.x, 1e-12);
    EXPECT_EQ(segments(red).size(), 4u * 30);
    EXPECT_EQ(rackView.dedendumStep, 31);
}

TEST(Cutdemo1ModeThree, TheTipCornerStartsOnTheRootCircleBelowTheWholeInvolute)
{
    startPhiProgram(20, '3');
    TraceCapture trace;
    drawFrame();
    EXPECT_EQ(segments(red).size(), size_t(4 * rackTables.involuteLast));
    const auto blues = discs(blue);
    ASSERT_EQ(blues.size(), 2u);
    EXPECT_NEAR(blues[0].x, k * -0.3980, 5e-5);
    EXPECT_NEAR(blues[0].y, k * -1.2591, 5e-5);
    EXPECT_NEAR(distance(0, -k * 10, blues[0].x, blues[0].y), k * 8.75, 1e-12);
    EXPECT_NEAR(blues[0].r, 0.01, 1e-12);
    const auto g = geometry::contact(10, std::tan(-geometry::phi0(10)));
    EXPECT_NEAR(blues[1].x, k * g.x, 1e-12);
    EXPECT_NEAR(blues[1].y, k * g.y, 1e-12);
    EXPECT_NEAR(blues[1].r, 0.008, 1e-12);
    // The rack's tip corner touches the marker: the end of tooth 0's flank.
    const auto teeth = segments(black);
    ASSERT_EQ(teeth.size(), 40u);
    EXPECT_NEAR(teeth[20]->vertices[1].viewX, blues[0].x, 1e-12);
    EXPECT_NEAR(teeth[20]->vertices[1].viewY, blues[0].y, 1e-12);
}

TEST(Cutdemo1ModeFour, StopsAtStepFiftyWithTheCurrentRackAtThmin)
{
    startPhiProgram(20, '4');
    TraceCapture trace;
    for (int i = 0; i < 50; ++i) drawFrame();
    trace.clear();
    drawFrame();  // step 50
    EXPECT_EQ(lineCount(trace.text()), 51 * 50);
    const double rp = 10, t = std::tan(phiRack.thmin);
    const auto R1 = geometry::add(geometry::reference(rp, t), 1 / std::cos(geometry::alpha), geometry::flankDirection(t));
    const auto current = segments(black);
    ASSERT_EQ(current.size(), 40u);
    EXPECT_NEAR(current[20]->vertices[0].viewX, k * R1.x, 1e-12);
    EXPECT_NEAR(current[20]->vertices[0].viewY, k * R1.y, 1e-12);
    const auto g = geometry::contact(rp, t);
    ASSERT_EQ(discs(blue).size(), 1u);
    EXPECT_NEAR(discs(blue)[0].x, k * g.x, 1e-12);
    EXPECT_EQ(segments(green).size(), 50u * 40);
    // The current rack's pitch line: 40 mm, centred on the reference point.
    const auto pitch = segments(blue);
    ASSERT_EQ(pitch.size(), 1u);
    const auto a = geometry::add(geometry::reference(rp, t), 20, geometry::pitchDirection(t));
    EXPECT_NEAR(pitch[0]->vertices[0].viewX, k * a.x, 1e-12);
    EXPECT_NEAR(pitch[0]->vertices[0].viewY, k * a.y, 1e-12);
    EXPECT_NEAR(pitch[0]->vertices[1].viewX, k * (2 * geometry::reference(rp, t).x - a.x), 1e-12);
    const std::size_t primitives = glstub::recording().primitives.size();
    const double currentX = current[20]->vertices[0].viewX;

    trace.clear();
    drawFrame();  // later frames repeat the last position
    EXPECT_EQ(rackView.wholeStep, 51);
    EXPECT_EQ(glstub::recording().primitives.size(), primitives);
    EXPECT_EQ(segments(black)[20]->vertices[0].viewX, currentX);
    EXPECT_EQ(lineCount(trace.text()), 51 * 50);
}

TEST(Cutdemo1ModeFive, DrawsOnlyTheFinishedProfile)
{
    startPhiProgram(20, '5');
    rackView.wholeStep = 3;
    TraceCapture trace;
    drawFrame();
    drawFrame();
    EXPECT_EQ(trace.text(), "");
    EXPECT_TRUE(glstub::primitivesOf(GL_POLYGON).empty());
    EXPECT_TRUE(segments(black).empty());
    EXPECT_TRUE(segments(red).empty());
    const auto strokes = segments(blue);
    ASSERT_EQ(strokes.size(), size_t(4 * rackTables.profileLast));
    // The band starts at the bottom of the tooth space and ends on the tip circle.
    const auto first = geometry::tipCorner(10, std::tan(-geometry::phi0(10)));
    const auto& start = strokes[2]->vertices[0];  // the stroke on the curve itself
    EXPECT_NEAR(start.viewX, k * first.x, 1e-12);
    EXPECT_NEAR(start.viewY, k * first.y, 1e-12);
    const auto& end = strokes.back()->vertices[1];
    EXPECT_NEAR(distance(0, -k * 10, end.viewX, end.viewY), k * 11, 0.002);
    EXPECT_EQ(glstub::primitivesOf(GL_LINE_LOOP).size(), 4u);
    EXPECT_EQ(glstub::recording().captions.back().text, "(5) display whole involute curve");
    EXPECT_EQ(rackView.wholeStep, 3);
}

// ---- Keys ----

TEST(Cutdemo1Keys, DigitsOneToFiveChooseTheModeAndRestartIt)
{
    startPhiProgram(20, '1');
    TraceCapture trace;
    rackView.addendumStep = 9;
    onCutDemoKey('5', 0, 0);
    EXPECT_EQ(rackView.mode, '5');
    EXPECT_EQ(rackView.addendumStep, 0);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 1);
    onCutDemoKey('4', 0, 0);
    onCutDemoKey('s', 0, 0);
    onCutDemoKey('s', 0, 0);
    EXPECT_EQ(rackView.wholeStep, 3);
    glstub::clearLog();
    for (unsigned char key : {'6', '0', 'S', 'Z', 'd'}) onCutDemoKey(key, 0, 0);
    EXPECT_TRUE(glstub::recording().calls.empty());
    EXPECT_EQ(rackView.mode, '4');
    EXPECT_EQ(rackView.wholeStep, 3);
}

// Presses the key with the console's standard input and output on files.
std::string withConsole(const std::string& input, unsigned char key)
{
    return withStandardConsole(input, [key] { onCutDemoKey(key, 0, 0); });
}

TEST(Cutdemo1Keys, ZRunsThisEditionsSetUpAgainAndDrawsNothing)
{
    startPhiProgram(20, '4');
    rackView.zoom = 0.3;
    rackView.wholeStep = 9;
    const std::string printed = withConsole("10\n0\n", 'z');
    EXPECT_NE(printed.find("\n(thmax thmin)=( 33.56 -33.85) dth4= 1.3481"), std::string::npos);
    EXPECT_NE(printed.find("\n'5'キーで：全歯形のみ描画の選択"), std::string::npos);
    EXPECT_EQ(rackGear.toothCount, 10);
    EXPECT_EQ(rackTables.profileLast, 304);
    EXPECT_EQ(rackView.mode, '1');
    EXPECT_EQ(rackView.wholeStep, 0);
    EXPECT_EQ(rackView.zoom, 0.5);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 0);
}

}  // namespace
