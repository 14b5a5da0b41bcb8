// The keys of unwinddemo, and what the program supplies to the toolkit.
#include "unwind_recording.h"

#include <gtest/gtest.h>

namespace {

using namespace unwindtest;

void press(const char* keys)
{
    for (const char* c = keys; *c; ++c) onUnwindKey(static_cast<unsigned char>(*c), 17, 42);
}

TEST(UnwindKeys, ModeKeysRestartTheirModeForwardsAndDrawOneFrame)
{
    for (char key = '1'; key <= '6'; ++key) {
        startFresh('1');
        unwindView = UnwindView{'3', 'D', 50, 60, 3.3, 0.37};
        glstub::clearLog();
        onUnwindKey(key, 0, 0);
        EXPECT_EQ(unwindView.mode, key);
        EXPECT_EQ(unwindView.direction, 'd');
        EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 1);
        // The frame the key draws is the mode's first step.
        EXPECT_EQ(unwindView.fixedStep, key == '1' ? 1 : 0) << key;
        EXPECT_EQ(unwindView.turnStep, key == '2' || key == '3' ? 1 : 0) << key;
        EXPECT_NEAR(unwindView.rollAngle, key == '1' ? 0.0 : 0.01, 1e-15) << key;
        EXPECT_EQ(unwindView.zoom, 0.37);
    }
}

TEST(UnwindKeys, ReverseInModeOneStopsAtStepZeroAndForwardGoesOnFromThere)
{
    startFresh('1');
    press("1");
    EXPECT_EQ(unwindView.fixedStep, 1);
    press("D");
    EXPECT_EQ(unwindView.fixedStep, 0);
    press("Ds");
    EXPECT_EQ(unwindView.fixedStep, 0);
    press("d");
    EXPECT_EQ(unwindView.fixedStep, 1);
    unwindView.fixedStep = 399;
    press("sss");
    EXPECT_EQ(unwindView.fixedStep, 400);
}

TEST(UnwindKeys, ReverseAfterForwardPassesRetracesTheSamePositions)
{
    startFresh('1');
    std::vector<std::vector<double>> forward;
    press("4");
    forward.push_back(picture());
    for (int i = 0; i < 4; ++i) {
        glstub::clearLog();
        press("s");
        forward.push_back(picture());
    }
    glstub::clearLog();
    press("D");  // back from 0.05 to 0.04
    for (int i = 3; i >= 0; --i) {
        const std::vector<double> back = picture();
        ASSERT_EQ(back.size(), forward[i].size());
        for (std::size_t v = 0; v < back.size(); ++v) ASSERT_NEAR(back[v], forward[i][v], 1e-9) << i;
        glstub::clearLog();
        press("s");
    }
    EXPECT_NEAR(unwindView.rollAngle, 0.0, 1e-12);
    press("s");
    EXPECT_NEAR(unwindView.rollAngle, -0.01, 1e-12);  // and on past the start, without bounds
}

TEST(UnwindKeys, TenShrinksThenTenGrowsRestoreTheZoom)
{
    startFresh('1');
    glstub::clearLog();
    press("wwwwwwwwww");
    EXPECT_NEAR(unwindView.zoom, 0.5 * std::pow(0.9, 10), 1e-15);
    EXPECT_NEAR(unwindView.zoom, 0.174, 5e-4);
    const auto& circle = *glstub::primitivesOf(GL_LINE_LOOP).back();
    EXPECT_NEAR(gap(shown(circle.vertices[0]), {0, 0}), unwindView.zoom * rb, 1e-12);
    press("WWWWWWWWWW");
    EXPECT_NEAR(unwindView.zoom, 0.5, 1e-12);
    EXPECT_EQ(glstub::countCalls("glutSwapBuffers"), 20);  // each key draws a frame
}

TEST(UnwindKeys, ZRunsTheSetUpAgainWithoutDrawingAndTheNextPassStartsModeOne)
{
    startFresh('1');
    unwindView = UnwindView{'4', 'D', 7, 8, 1.23, 0.2};
    testing::internal::CaptureStdout();
    onUnwindKey('z', 0, 0);
    const std::string printed = testing::internal::GetCapturedStdout();
    const std::string lastLine = "\n'd' 'D'    ：(4),(5),(6)の場合，正逆回転の選択";
    EXPECT_EQ(printed.rfind("\n糸の巻き戻しによるインボリュート曲線創成\n(1) 歯数設定", 0), 0u);
    ASSERT_GE(printed.size(), lastLine.size());
    EXPECT_EQ(printed.substr(printed.size() - lastLine.size()), lastLine);  // flushed, no line break
    EXPECT_EQ(glstub::countCalls("glClear"), 0);
    EXPECT_EQ(unwindView.mode, '1');
    EXPECT_EQ(unwindView.direction, 'd');
    EXPECT_EQ(unwindView.zoom, 0.5);
    EXPECT_EQ(unwindView.fixedStep + unwindView.turnStep, 0);
    EXPECT_EQ(unwindView.rollAngle, 1.23);
    press("s");
    EXPECT_EQ(unwindView.fixedStep, 1);
}

TEST(UnwindKeys, UnlistedKeysDoNothing)
{
    startFresh('2');
    unwindView = UnwindView{'2', 'D', 5, 6, 0.06, 0.45};
    glstub::clearLog();
    press("ZS0789x ");
    onUnwindKey(200, 0, 0);
    EXPECT_TRUE(glstub::recording().calls.empty());
    EXPECT_EQ(unwindView.mode, '2');
    EXPECT_EQ(unwindView.direction, 'D');
    EXPECT_EQ(unwindView.fixedStep * 10 + unwindView.turnStep, 56);
    EXPECT_EQ(unwindView.rollAngle, 0.06);
    EXPECT_EQ(unwindView.zoom, 0.45);
}

TEST(UnwindKeys, EscapeEndsTheProgramWithStatusZero)
{
    EXPECT_EXIT(onUnwindKey(27, 0, 0), testing::ExitedWithCode(0), "");
}

TEST(UnwindProgram, DescribesItsWindowWithItsTitleAndHandlers)
{
    // An ideographic space, a full-width colon and full-width commas where the title has them.
    EXPECT_STREQ(unwindWindow.title,
                 "糸の巻き戻しによるインボリュート曲線創成\u30001,..,6\uFF1A創成画面変更\uFF0Cd,D:正逆回転\uFF0Cs:継続");
    EXPECT_EQ(unwindWindow.display, displayUnwindDemo);
    EXPECT_EQ(unwindWindow.keyboard, onUnwindKey);
}

}  // namespace
