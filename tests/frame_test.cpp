// The application frame: start-up order, the per-frame begin and end, reshaping, captions.
#include "gearplot.h"
#include "gl_standin.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

int framesDrawn = 0;
void countingDisplay()
{
    beginFrame();
    drawText(-0.9f, 0.95f, GLUT_BITMAP_HELVETICA_18, "caption");
    ++framesDrawn;
    endFrame();
}
void ignoreKey(unsigned char, int, int) {}
const char testTitle[] = "歯形テスト　z:歯数";

std::vector<std::string> callNames()
{
    std::vector<std::string> names;
    for (const auto& c : glstub::recording().calls) names.push_back(c.name);
    return names;
}

TEST(RunWindow, SetsUpGlutInOrderAndEntersTheMainLoopLast)
{
    glstub::reset();
    int argc = 1;
    char name[] = "cutdemo3";
    char* argv[] = {name, nullptr};
    runWindow(&argc, argv, {testTitle, countingDisplay, ignoreKey});
    const auto& r = glstub::recording();
    const std::vector<std::string> expected = {
        "glutInitWindowSize", "glutInit",         "glutInitDisplayMode", "glutCreateWindow",
        "glutDisplayFunc",    "glutReshapeFunc",  "glutKeyboardFunc",    "glClearColor",
        "glEnable",           "glutMainLoop"};
    EXPECT_EQ(callNames(), expected);
    EXPECT_EQ(r.windowWidth, 800);
    EXPECT_EQ(r.windowHeight, 800);
    EXPECT_EQ(r.displayMode, unsigned(GLUT_DOUBLE | GLUT_DEPTH));
    EXPECT_EQ(r.windowTitle, testTitle);
    EXPECT_EQ(r.display, countingDisplay);
    EXPECT_EQ(r.reshape, reshapeView);
    EXPECT_EQ(r.keyboard, ignoreKey);
    EXPECT_FALSE(r.idleOrTimerOrMouse);
    EXPECT_EQ(r.clearColour, (glstub::Colour{1, 1, 1, 1}));
    EXPECT_TRUE(r.errors.empty());
}

TEST(RunWindow, TheTitleIsPublishedAsUtf8ForTheWindowAndItsIcon)
{
    glstub::reset();
    createTitledWindow(testTitle);
    const auto& properties = glstub::recording().windowProperties;
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].name, "_NET_WM_NAME");
    EXPECT_EQ(properties[1].name, "_NET_WM_ICON_NAME");
    for (const auto& p : properties) {
        EXPECT_EQ(p.type, "UTF8_STRING") << p.name;
        EXPECT_EQ(p.format, 8) << p.name;
        EXPECT_EQ(p.value, testTitle) << p.name;
    }
}

TEST(RunWindow, TheFirstFramesCaptionsAreAlreadyDark)
{
    glstub::reset();
    int argc = 1;
    char name[] = "unwinddemo";
    char* argv[] = {name, nullptr};
    runWindow(&argc, argv, {testTitle, countingDisplay, ignoreKey});
    glstub::clearLog();
    glstub::recording().display();  // GLUT's first redraw
    ASSERT_EQ(glstub::recording().captions.size(), 1u);
    EXPECT_TRUE(glstub::recording().captions[0].lit);
    EXPECT_EQ(glstub::recording().captions[0].text, "caption");
}

TEST(Frame, BeginClearsAndLoadsTheIdentityEndFlushesAndSwaps)
{
    glstub::reset();
    glTranslated(0.3, 0.2, 0);
    beginFrame();
    EXPECT_EQ(glstub::currentModelview(), (glstub::Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    endFrame();
    const auto names = callNames();
    EXPECT_EQ(std::vector<std::string>(names.begin() + 1, names.end()),
              (std::vector<std::string>{"glClear", "glLoadIdentity", "glFlush", "glutSwapBuffers"}));
    EXPECT_EQ(glstub::callsNamed("glClear")[0]->args[0], double(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

TEST(Frame, ReshapeFollowsTheWindowWithoutAspectCorrection)
{
    glstub::reset();
    reshapeView(800, 400);
    const auto& r = glstub::recording();
    EXPECT_EQ(r.viewport, (std::array<int, 4>{0, 0, 800, 400}));
    EXPECT_EQ(r.matrixMode, GLenum(GL_MODELVIEW));
    EXPECT_EQ(r.projection.back(), (glstub::Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(callNames(), (std::vector<std::string>{"glViewport", "glMatrixMode", "glLoadIdentity", "glMatrixMode"}));
}

void ignoreSpecialKey(int, int, int) {}

TEST(RunWindow, TakesAReshapeAndASpecialKeyHandlerWhenGiven)
{
    glstub::reset();
    int argc = 1;
    char name[] = "gearlab";
    char* argv[] = {name, nullptr};
    WindowDescription window{testTitle, countingDisplay, ignoreKey};
    window.reshape = reshapeKeepingAspect;
    window.special = ignoreSpecialKey;
    runWindow(&argc, argv, window);
    EXPECT_EQ(glstub::recording().reshape, reshapeKeepingAspect);
    EXPECT_EQ(glstub::recording().special, ignoreSpecialKey);
}

TEST(Frame, TheAspectKeepingReshapeMakesAUnitSquareSquareInPixelsAndCentred)
{
    glstub::reset();
    for (const auto& [width, height] : {std::pair{1000, 500}, std::pair{300, 900}}) {
        reshapeKeepingAspect(width, height);
        EXPECT_EQ(windowWidth(), width);
        EXPECT_EQ(windowHeight(), height);
        glstub::clearLog();
        drawRectangle({-1, -1}, 2, 2, 0, black);
        const auto& square = glstub::recording().primitives.at(0).vertices;
        const auto px = [&](const glstub::Vertex& v) { return (v.viewX + 1) / 2 * width; };
        const auto py = [&](const glstub::Vertex& v) { return (v.viewY + 1) / 2 * height; };
        const int shorter = std::min(width, height);
        EXPECT_NEAR(px(square[1]) - px(square[0]), shorter, 1e-9);
        EXPECT_NEAR(py(square[2]) - py(square[1]), shorter, 1e-9);
        EXPECT_NEAR((px(square[0]) + px(square[1])) / 2, width / 2.0, 1e-9);
        EXPECT_NEAR((py(square[1]) + py(square[2])) / 2, height / 2.0, 1e-9);
    }
    // Window pixels for captions: the origin at the bottom left corner, whatever the size.
    beginWindowPixels();
    glRasterPos2f(8, 20);
    endWindowPixels();
    EXPECT_NEAR((glstub::recording().captions.back().viewX + 1) / 2 * 300, 8, 1e-9);
    EXPECT_NEAR((glstub::recording().captions.back().viewY + 1) / 2 * 900, 20, 1e-9);
    EXPECT_TRUE(glstub::recording().errors.empty());
}

TEST(Frame, CaptionsKeepTheColourAndTakeTheLightingState)
{
    glstub::reset();
    glColor4f(1, 0, 0, 0);
    drawText(-0.9f, 0.85f, GLUT_BITMAP_HELVETICA_18, "(1) 歯");
    const auto& r = glstub::recording();
    ASSERT_EQ(r.captions.size(), 1u);
    EXPECT_EQ(r.captions[0].text, "(1) 歯");  // every byte of the UTF-8 text, in order
    EXPECT_FLOAT_EQ(r.captions[0].viewX, -0.9f);
    EXPECT_FLOAT_EQ(r.captions[0].viewY, 0.85f);
    EXPECT_FALSE(r.captions[0].lit);
    EXPECT_EQ(r.captions[0].font, GLUT_BITMAP_HELVETICA_18);
    EXPECT_EQ(r.colour, (glstub::Colour{1, 0, 0, 0}));
    EXPECT_EQ(glstub::countCalls("glPushAttrib"), 1);
    EXPECT_EQ(glstub::callsNamed("glPushAttrib")[0]->args[0], double(GL_CURRENT_BIT));
    EXPECT_EQ(glstub::countCalls("glPopAttrib"), 1);
    EXPECT_EQ(glstub::countCalls("glutBitmapCharacter"), 7);  // 4 ASCII bytes and 3 for 歯
}

}  // namespace

namespace {

// A picture that cannot be written fails, and says nothing itself: the caller gives the reason,
// once (libpng's own handler would print "libpng error: Write Error" as well).
TEST(Picture, AFailedWriteReturnsFalseWithoutALineOfItsOwn)
{
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::setvbuf(full, nullptr, _IONBF, 0);  // every write reaches the device and fails there
    const std::vector<unsigned char> rgb(64 * 64 * 3, 200);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writePng(full, 64, 64, rgb));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::fclose(full);
}

}  // namespace
