// gearlab for real, under Xvfb: keys change the gear, e writes the same files as gearprofile
// given the same gear (a ring gear too), p writes the window as it shows, and Escape ends it
// with status 0.
#include "program_under_xvfb.h"
#include "png_reader.h"
#include "test_support.h"

#include <unistd.h>

#include <cstdlib>

namespace {

using namespace e2e;

class Gearlab : public ProgramUnderXvfb {
protected:
    void SetUp() override
    {
        ProgramUnderXvfb::SetUp();
        // The lab writes into its working folder, which it inherits from the test.
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        ASSERT_EQ(chdir(scratch_.dir().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(home_), 0); }
    ScratchDir scratch_;
    char home_[4096];
};

// The PNG's pixels as 0xRRGGBB, as a capture holds them; empty if it cannot be read.
std::vector<std::uint32_t> readPng(const std::string& file, int* width, int* height)
{
    const std::vector<unsigned char> rgb = readPngRgb(file, width, height);
    std::vector<std::uint32_t> pixels(rgb.size() / 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (std::uint32_t(rgb[3 * i]) << 16) | (std::uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
    return pixels;
}

TEST_F(Gearlab, KeysExportsAndPictureAgainstGearprofileAndTheScreen)
{
    const WindowId w = start("gearlab", "", "gearlab");
    ASSERT_NE(w, 0u) << run_->errors();
    press(w, {"-", "X", "X", "X"});  // z 9, shift 0.15
    press(w, {"e"});
    const std::string stem = "gear-z9-m1-a20-x0.15-A";
    ASSERT_TRUE(run_->waitForOutput(stem + ".csv\n", 60)) << run_->output() << run_->errors();
    EXPECT_EQ(run_->output(), stem + ".svg\n" + stem + ".dxf\n" + stem + ".csv\n");

    const std::string command = programPath("gearprofile") + " --teeth 9 --shift 0.15 --svg reference.svg --dxf reference.dxf --csv reference.csv >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* extension : {".svg", ".dxf", ".csv"}) {
        const std::string mine = readWholeFile(scratch_.path(stem + extension));
        EXPECT_FALSE(mine.empty()) << extension;
        EXPECT_EQ(mine, readWholeFile(scratch_.path(std::string("reference") + extension))) << extension;
    }

    // The picture is the frame drawn for p; the window then shows the same frame but for the
    // status band, which has gained a line saying what was written. Below the band they agree.
    press(w, {"2", "p"});
    ASSERT_TRUE(run_->waitForOutput(stem + "-view2-1.svg\n", 60)) << run_->output() << run_->errors();
    const Capture shown = settled(w);
    int width = 0, height = 0;
    const std::vector<std::uint32_t> picture = readPng(scratch_.path(stem + "-view2-1.png"), &width, &height);
    ASSERT_EQ(width, shown.width);
    ASSERT_EQ(height, shown.height);
    const int belowBand = 100;
    long compared = 0, same = 0;
    for (int y = belowBand; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (!shown.has(x, y)) continue;  // the part of the window off the screen
            ++compared;
            same += shown.pixels[std::size_t(y) * width + x] == picture[std::size_t(y) * width + x];
        }
    EXPECT_GT(compared, long(width) * (height - belowBand) * 9 / 10);
    EXPECT_EQ(same, compared);
    // And the figure is there: the outline's black and the undercut's red.
    long black = 0, red = 0;
    for (std::uint32_t p : picture) black += p == 0x000000, red += p == 0xFF0000;
    EXPECT_GT(black, 1000);
    EXPECT_GT(red, 100);
    const std::string svg = readWholeFile(scratch_.path(stem + "-view2-1.svg"));
    EXPECT_NE(svg.find(">z 9   m 1   α 20°   x 0.150   rack A   mate z 10 x 0.000<"), std::string::npos);

    // A value typed exactly after Enter, then exported: the names carry it.
    press(w, {"Return", "x", "space", "0", "period", "5", "3", "2", "Return", "e"});
    const std::string typed = "gear-z9-m1-a20-x0.532-A";
    ASSERT_TRUE(run_->waitForOutput(typed + ".csv\n", 60)) << run_->output() << run_->errors();
    EXPECT_FALSE(readWholeFile(scratch_.path(typed + ".dxf")).empty());

    // A ring gear of 60 teeth, i, and its files as gearprofile writes them.
    press(w, {"Return", "z", "space", "6", "0", "Return", "Return", "x", "space", "0", "Return", "i", "e"});
    const std::string ring = "ring-z60-m1-a20-x0-cutter-z25-x0";
    ASSERT_TRUE(run_->waitForOutput(ring + ".csv\n", 60)) << run_->output() << run_->errors();
    const std::string ringCommand = programPath("gearprofile") +
                                    " --teeth 60 --internal --svg ring.svg --dxf ring.dxf --csv ring.csv >/dev/null";
    ASSERT_EQ(std::system(ringCommand.c_str()), 0);
    for (const char* extension : {".svg", ".dxf", ".csv"}) {
        const std::string mine = readWholeFile(scratch_.path(ring + extension));
        EXPECT_FALSE(mine.empty()) << extension;
        EXPECT_EQ(mine, readWholeFile(scratch_.path(std::string("ring") + extension))) << extension;
    }

    screen_->key(w, "Escape");
    EXPECT_EQ(run_->wait(30), 0);
}

}  // namespace
