// cutdemo3 for real, under Xvfb: the console dialogue, the window, keys and pixels.
#include "dialogue_texts.h"
#include "program_under_xvfb.h"
#include "rack_generation.h"
#include "test_support.h"

#include <cmath>
#include <fstream>

namespace {

using namespace e2e;

class Cutdemo3 : public ProgramUnderXvfb {};

// Window pixel of a model point (mm) at zoom k in the 800 × 800 window.
int px(double k, double x) { return pixelX(k * x, 800); }
int py(double k, double y) { return pixelY(k * y, 800); }

TEST_F(Cutdemo3, DialogueTitleWhiteWindowAndEscape)
{
    ScratchDir dir;
    const std::string file = dir.path("dataz20");
    const WindowId w = start("cutdemo3", "20\n1\n" + file + "\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    EXPECT_EQ(run_->output(), texts::banner + texts::prompt + texts::circles20 + texts::offer + texts::fileQuestion +
                                  texts::keyList);
    EXPECT_EQ(screen_->netWmName(w), texts::title3);
    int width, height;
    screen_->size(w, &width, &height);
    EXPECT_EQ(width, 800);
    EXPECT_EQ(height, 800);
    const Capture first = screen_->capture(w);
    EXPECT_EQ(first.countNear(790, 790, 5, pixel::white), first.countNear(790, 790, 5, {255, 255, 255}));
    EXPECT_GT(first.countNear(790, 790, 5, pixel::white), 60);
    // The first frame's captions are already dark on the white background.
    int dark = 0;
    for (int x = pixelX(-0.9, 800); x < pixelX(-0.3, 800); ++x)
        for (int y = pixelY(0.97, 800); y < pixelY(0.93, 800); ++y) dark += first.at(x, y).r < 80;
    EXPECT_GT(dark, 50);

    std::ifstream data(file);
    std::string line;
    int rows = 0;
    std::getline(data, line);
    EXPECT_EQ(line, "z=20   m=188");
    while (std::getline(data, line) && !line.empty()) ++rows;
    EXPECT_EQ(rows, 189);

    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo3, TheRedMarkerOfModeOneIsWhereTheGeneratedPointLies)
{
    const WindowId w = start("cutdemo3", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    pressTimes(w, "W", 8);  // enlarge, so that neighbouring steps lie well apart
    const double k = 0.5 / std::pow(0.9, 8);
    screen_->key(w, "1");   // restart mode 1 at step 0
    pressTimes(w, "s", 10);
    const Capture c = settled(w);

    static RackTables tables;
    const RackGear g = makeRackGear(20);
    generateRackTables(g, rollSteps(g), &tables);
    const Point2 p = tables.addendumFlank[10], next = tables.addendumFlank[11];
    EXPECT_GT(c.countNear(px(k, p.x), py(k, p.y), 3, pixel::red), 10);  // the rest lies under the rack
    EXPECT_EQ(c.countNear(px(k, next.x), py(k, next.y), 1, pixel::red), 0);
    // The rack's generating flank passes through the marker.
    EXPECT_GT(c.countNear(px(k, p.x), py(k, p.y), 5, pixel::black), 2);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo3, ModeSixShowsBothBlueFlanksWhereTheGeometryPutsThem)
{
    const WindowId w = start("cutdemo3", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    screen_->key(w, "6");
    const Capture c = settled(w);

    static RackTables tables;
    const RackGear g = makeRackGear(20);
    generateRackTables(g, rollSteps(g), &tables);
    const double k = 0.5, rp = g.pitchRadius, half = gearPi / 20;
    // A point half-way up the flank, and the same point on the other flank: mirrored in the
    // y axis, then turned clockwise by half an angular pitch about the gear centre.
    const Point2 q = tables.toothProfile[tables.profileLast - 20];
    const Point2 m{-q.x, q.y + rp};
    const Point2 r{m.x * std::cos(half) + m.y * std::sin(half), -m.x * std::sin(half) + m.y * std::cos(half) - rp};
    EXPECT_GT(c.countNear(px(k, q.x), py(k, q.y), 2, pixel::blue), 4);
    EXPECT_GT(c.countNear(px(k, r.x), py(k, r.y), 2, pixel::blue), 4);
    EXPECT_EQ(c.countNear(px(k, -q.x), py(k, q.y), 3, pixel::blue), 0);  // not merely mirrored
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo3, ZAsksForANewToothCountAndTheNextFrameShowsTheNewGear)
{
    const WindowId w = start("cutdemo3", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    const std::string before = run_->output();
    screen_->key(w, "z");
    ASSERT_TRUE(run_->waitForOutput(before + texts::banner + texts::prompt, idleLimitSeconds));
    run_->type("10\n0\n");
    ASSERT_TRUE(run_->waitForOutput("歯数= 10, 歯先円= 6.000[mm]", idleLimitSeconds));
    ASSERT_TRUE(run_->waitForOutput(texts::keyList + texts::banner, 0) ||
                run_->waitForOutput(texts::offer + texts::keyList, idleLimitSeconds));
    screen_->key(w, "s");
    const Capture c = settled(w);
    // The base circle of the new gear, 20 pixels right of the axis.
    const double k = 0.5, x = 0.05;
    const auto baseCircleY = [&](double rp, double rb) { return -k * rp + std::sqrt(k * rb * k * rb - x * x); };
    const double cos20 = std::cos(gearPi / 9);
    EXPECT_GT(c.countNear(pixelX(x, 800), pixelY(baseCircleY(5, 5 * cos20), 800), 2, pixel::green), 0);
    EXPECT_EQ(c.countNear(pixelX(x, 800), pixelY(baseCircleY(10, 10 * cos20), 800), 2, pixel::green), 0);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST_F(Cutdemo3, AResizedWindowShowsTheFigureSquashed)
{
    const WindowId w = start("cutdemo3", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    screen_->resize(w, 800, 400);
    const Capture c = settled(w);
    ASSERT_EQ(c.height, 400);
    // The base circle's top, at half height: y = k·(rb − rp) of the 400-pixel window.
    const double y = 0.5 * (10 * std::cos(gearPi / 9) - 10);
    EXPECT_GT(c.countNear(pixelX(0.05, 800), pixelY(y, 400), 2, pixel::green), 0);
    EXPECT_EQ(c.countNear(pixelX(0.05, 800), pixelY(y, 800), 2, pixel::green), 0);
    // The axis cross's horizontal line runs through the middle.
    EXPECT_GT(c.countNear(700, 200, 1, pixel::black), 0);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

TEST(Cutdemo3WithoutDisplay, EndsWithAMessageAndAFailureStatus)
{
    ProgramRun run(programPath("cutdemo3"), "", "20\n0\n");
    EXPECT_NE(run.wait(idleLimitSeconds), 0);
    EXPECT_FALSE(run.running());
    EXPECT_NE(run.errors().find("failed to open display"), std::string::npos) << run.errors();
    EXPECT_EQ(run.output(), texts::banner + texts::prompt + texts::circles20 + texts::offer + texts::keyList);
}

}  // namespace
