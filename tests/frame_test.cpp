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
    runWindow(&argc, argv, countingDisplay, ignoreKey);
    const auto& r = glstub::recording();
    const std::vector<std::string> expected = {
        "glutInitWindowSize", "glutInit",         "glutInitDisplayMode", "glutCreateWindow",
        "glutDisplayFunc",    "glutReshapeFunc",  "glutKeyboardFunc",    "glClearColor",
        "glEnable",           "glutMainLoop"};
    EXPECT_EQ(callNames(), expected);
    EXPECT_EQ(r.windowWidth, 800);
    EXPECT_EQ(r.windowHeight, 800);
    EXPECT_EQ(r.displayMode, unsigned(GLUT_DOUBLE | GLUT_DEPTH));
    EXPECT_EQ(r.windowTitle, windowTitle);
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
    createTitledWindow();
    const auto& properties = glstub::recording().windowProperties;
    ASSERT_EQ(properties.size(), 2u);
    EXPECT_EQ(properties[0].name, "_NET_WM_NAME");
    EXPECT_EQ(properties[1].name, "_NET_WM_ICON_NAME");
    for (const auto& p : properties) {
        EXPECT_EQ(p.type, "UTF8_STRING") << p.name;
        EXPECT_EQ(p.format, 8) << p.name;
        EXPECT_EQ(p.value, windowTitle) << p.name;
    }
}

TEST(RunWindow, TheFirstFramesCaptionsAreAlreadyDark)
{
    glstub::reset();
    int argc = 1;
    char name[] = "unwinddemo";
    char* argv[] = {name, nullptr};
    runWindow(&argc, argv, countingDisplay, ignoreKey);
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
