// unwinddemo for real, under Xvfb: its console text and title, the involute point under the
// measuring arrow, and the contact dot travelling along the belt both ways.
#include "program_under_xvfb.h"
#include "unwind.h"

#include <cmath>

namespace {

using namespace e2e;

const std::string title = "糸の巻き戻しによるインボリュート曲線創成　1,..,6：創成画面変更，d,D:正逆回転，s:継続";

class Unwinddemo : public ProgramUnderXvfb {};

TEST_F(Unwinddemo, PrintsItsSetUpWithoutAskingAndShowsItsTitle)
{
    const WindowId w = start("unwinddemo", "", title);
    ASSERT_NE(w, 0u) << run_->errors();
    EXPECT_EQ(screen_->netWmName(w), title);
    // The same text as the set-up prints in-process, which the unit tests check line by line.
    char* buffer = nullptr;
    size_t length = 0;
    std::FILE* out = open_memstream(&buffer, &length);
    runUnwindSetUp(out);
    std::fclose(out);
    const std::string expected(buffer, length);
    std::free(buffer);
    EXPECT_EQ(run_->output(), expected);
    EXPECT_EQ(expected.rfind("\n糸の巻き戻しによるインボリュート曲線創成\n(1) 歯数設定   歯数z0=4 ", 0), 0u);
    const std::string lastLine = "\n'd' 'D'    ：(4),(5),(6)の場合，正逆回転の選択";  // no line end after it
    EXPECT_EQ(expected.substr(expected.size() - lastLine.size()), lastLine);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Unwinddemo, TheRollingCirclesInvolutePointStaysUnderTheArrow)
{
    const WindowId w = start("unwinddemo", "", title);
    ASSERT_NE(w, 0u) << run_->errors();
    const double k = 0.5, rb = std::cos(gearPi / 9);
    screen_->key(w, "3");
    for (int step = 1; step <= 160; ++step) {
        screen_->key(w, "s");
        if (step % 40 != 0) continue;
        const Capture c = settled(w);
        const int x = pixelX(0, 800), y = pixelY(k * rb, 800);
        EXPECT_GT(c.countNear(x, y, 3, pixel::red), 10) << step;
        // The arrow comes from the left: its head just behind the tip, nothing beyond it.
        EXPECT_GT(c.countNear(x - 20, y, 3, pixel::blue), 5) << step;
        EXPECT_EQ(c.countNear(x + 25, y + 12, 2, pixel::blue), 0) << step;
    }
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Unwinddemo, TheContactDotFollowsTheTurningBothWays)
{
    const WindowId w = start("unwinddemo", "", title);
    ASSERT_NE(w, 0u) << run_->errors();
    const double k = 0.5, rb = std::cos(gearPi / 9);
    const auto dotAt = [&](const Capture& c, double rollAngle) {
        return c.countNear(pixelX(k * (rb - rollAngle * rb), 800), pixelY(0, 800), 3, pixel::blue);
    };
    screen_->key(w, "4");  // turns to 0.01
    pressTimes(w, "d", 99);  // forward to 1.00: the pitch point
    Capture c = settled(w);
    EXPECT_GT(dotAt(c, 1.0), 15);
    EXPECT_LT(dotAt(c, 0.5), 8);
    pressTimes(w, "D", 50);  // back to 0.50
    c = settled(w);
    EXPECT_GT(dotAt(c, 0.5), 15);
    EXPECT_LT(dotAt(c, 1.0), 8);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

}  // namespace
