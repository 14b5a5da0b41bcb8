// Every scene drawn through real Mesa on a private Xvfb must give, pixel for pixel over the
// whole 800 × 800 window, the picture captured from it before its drawing was made cheaper:
// skipping what cannot reach the window and sparing state changes must change nothing seen.
// The pictures are llvmpipe's as this machine's Mesa draws them; should a new Mesa draw a
// line a pixel differently, capture them again (frame_benchmark --capture) from a build of
// the commit that added them and of the current one, and check that both agree.
#include "frame_scenes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Where and how far two pictures differ.
struct Difference {
    int pixels = 0;
    int left = frameSize, top = frameSize, right = -1, bottom = -1;
};

Difference compare(const FramePicture& want, const FramePicture& got)
{
    Difference d;
    for (int y = 0; y < want.height; ++y)
        for (int x = 0; x < want.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * want.width + x) * 3;
            if (std::equal(&want.rgb[i], &want.rgb[i] + 3, &got.rgb[i])) continue;
            ++d.pixels;
            d.left = std::min(d.left, x);
            d.right = std::max(d.right, x);
            d.top = std::min(d.top, y);
            d.bottom = std::max(d.bottom, y);
        }
    return d;
}

}  // namespace

// A scene reads as its name in test names and messages.
void PrintTo(const FrameScene& scene, std::ostream* out) { *out << scene.name; }

namespace {

class FramePictures : public ::testing::TestWithParam<FrameScene> {
protected:
    static void SetUpTestSuite() { windowOpen = openFrameWindow(); }
    static bool windowOpen;
};
bool FramePictures::windowOpen = false;

TEST_P(FramePictures, MatchTheCapturedPicturePixelForPixel)
{
    ASSERT_TRUE(windowOpen) << "no private Xvfb window to draw in";
    const FrameScene& scene = GetParam();
    FramePicture want;
    const std::string reference = std::string(FRAME_REFERENCE_DIR) + "/" + scene.name + ".png";
    ASSERT_TRUE(readPicture(reference, &want)) << "cannot read " << reference;

    setUpScene(scene);
    drawSceneFrame(scene);
    const FramePicture got = readWindow();
    ASSERT_EQ(got.width, want.width);
    ASSERT_EQ(got.height, want.height);
    // The picture must not be blank either, or a window that shows nothing would pass a blank reference.
    ASSERT_NE(std::count(got.rgb.begin(), got.rgb.end(), 255), static_cast<long>(got.rgb.size()));

    const Difference d = compare(want, got);
    if (d.pixels > 0) writePicture(std::string(scene.name) + "-drawn.png", got);
    EXPECT_EQ(d.pixels, 0) << scene.name << " differs within x " << d.left << "…" << d.right << ", y " << d.top
                           << "…" << d.bottom << "; the drawn picture is " << scene.name << "-drawn.png";
}

std::string sceneName(const ::testing::TestParamInfo<FrameScene>& info)
{
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

INSTANTIATE_TEST_SUITE_P(Scenes, FramePictures, ::testing::ValuesIn(frameScenes), sceneName);

}  // namespace
