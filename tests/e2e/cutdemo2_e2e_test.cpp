// cutdemo2 for real, under Xvfb, beside cutdemo3: the same dialogue and data file, a solid
// pitch circle instead of a chain line.
#include "dialogue_texts.h"
#include "program_under_xvfb.h"
#include "test_support.h"

#include <cmath>

namespace {

using namespace e2e;

class Cutdemo2 : public ProgramUnderXvfb {
protected:
    // Blue within a pixel of sample points along the pitch circle of z = 20 at zoom 0.5.
    int bluePitchCirclePoints(const Capture& c, int* samples)
    {
        int found = 0;
        *samples = 0;
        for (double x = -0.85; x <= 0.86; x += 0.05) {
            if (std::fabs(x) < 0.1) continue;  // the axis cross and the flanks
            const double y = -5 + std::sqrt(25 - x * x);
            ++*samples;
            found += c.countNear(pixelX(x, 800), pixelY(y, 800), 1, pixel::blue) > 0;
        }
        return found;
    }
};

TEST_F(Cutdemo2, DialogueAndDataFileEqualCutdemo3s)
{
    ScratchDir dir;
    std::string outputs[2], files[2];
    const char* programs[2] = {"cutdemo2", "cutdemo3"};
    for (int i = 0; i < 2; ++i) {
        const std::string file = dir.path(std::string("dataz17-") + programs[i]);
        const WindowId w = start(programs[i], "17\n1\n" + file + "\n", texts::title3);
        ASSERT_NE(w, 0u) << run_->errors();
        screen_->key(w, "Escape");
        EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
        outputs[i] = run_->output();
        files[i] = readWholeFile(file);
    }
    EXPECT_EQ(outputs[0], outputs[1]);
    EXPECT_NE(outputs[0].find("歯数= 17, "), std::string::npos);
    EXPECT_EQ(files[0], files[1]);
    EXPECT_EQ(files[0].rfind("z=17   m=200\n", 0), 0u);
}

TEST_F(Cutdemo2, ThePitchCircleIsSolidWhereCutdemo3DrawsAChainLine)
{
    int samples = 0;
    WindowId w = start("cutdemo2", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    screen_->key(w, "6");
    EXPECT_EQ(bluePitchCirclePoints(settled(w), &samples), samples);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);

    w = start("cutdemo3", "20\n0\n", texts::title3);
    ASSERT_NE(w, 0u) << run_->errors();
    screen_->key(w, "6");
    const int chainPoints = bluePitchCirclePoints(settled(w), &samples);
    EXPECT_LT(chainPoints, samples);
    EXPECT_GT(chainPoints, samples / 2);
    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(idleLimitSeconds), 0);
}

}  // namespace
