// cutdemo1 for real, under Xvfb: the console dialogue and data file, the window's title, the
// trace of the first frame, and where the finished profile shows.
#include "cutdemo1_texts.h"
#include "program_under_xvfb.h"
#include "test_support.h"

#include <fstream>

namespace {

using namespace e2e;
using namespace texts1;

class Cutdemo1 : public ProgramUnderXvfb {};

const std::string dialogue20 = texts::banner + texts::prompt + radii20 + range20 + texts::offer;

TEST_F(Cutdemo1, DialogueDataFileTitleAndTheTraceOfTheFirstFrame)
{
    ScratchDir dir;
    const std::string file = dir.path("dataz20");
    const WindowId w = start("cutdemo1", "20\n1\n" + file + "\n", title1);
    ASSERT_NE(w, 0u) << run_->errors();
    EXPECT_EQ(screen_->netWmName(w), title1);
    int width, height;
    screen_->size(w, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 800);

    // The dialogue, then the first frame: mode 1 at φ = 0, the current rack alone.
    const std::string expected = dialogue20 + texts::fileQuestion + keyList1 + traceAtPhiZero();
    EXPECT_TRUE(run_->waitForOutput(expected, idleLimitSeconds));
    EXPECT_EQ(run_->output().substr(0, expected.size()), expected);

    std::ifstream data(file);
    std::string line;
    std::getline(data, line);
    EXPECT_EQ(line, "z=20   m=229");
    std::getline(data, line);
    const auto deepest = geometry::tipCorner(10, std::tan(-geometry::phi0(10)));
    char row[64];
    std::snprintf(row, sizeof row, "%lf,%lf", deepest.x, deepest.y);
    EXPECT_EQ(line, row);
    int rows = 1;
    while (std::getline(data, line) && !line.empty()) ++rows;
    EXPECT_EQ(rows, 230);

    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo1, ModeFiveShowsTheBlueProfileAndNoRack)
{
    const WindowId w = start("cutdemo1", "20\n0\n", title1);
    ASSERT_NE(w, 0u) << run_->errors();
    pressTimes(w, "W", 3);  // larger, with the whole tooth space still in the window
    const double k = 0.5 / std::pow(0.9, 3);
    screen_->key(w, "5");
    const Capture c = settled(w);
    // Half-way up the involute, and at the deepest point of the tooth space.
    const auto flank = geometry::flankContact(10, std::tan(0.0025 * 40));
    const auto deepest = geometry::tipCorner(10, std::tan(-geometry::phi0(10)));
    for (const auto& p : {flank, deepest})
        EXPECT_GT(c.countNear(pixelX(k * p.x, 800), pixelY(k * p.y, 800), 2, pixel::blue), 3) << p.x;
    // No rack: the rack's tooth tip at φ = 0 would cross here.
    EXPECT_EQ(c.countNear(pixelX(k * -0.8, 800), pixelY(k * -1.25, 800), 4, pixel::black), 0);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo1, WithItsOutputClosedItStillDrawsAndEndsAtEscape)
{
    // The X connection must not take descriptor 1, where the trace would corrupt it.
    const WindowId w = start("cutdemo1", "20\n0\n", title1, true);
    ASSERT_NE(w, 0u) << run_->errors();
    screen_->key(w, "4");
    pressTimes(w, "s", 5);
    waitForProgram();
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0) << run_->errors();
}

}  // namespace
