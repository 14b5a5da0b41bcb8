// The programs as web pages, in headless Chromium: the console answered in the page, keys
// typed on the page, and what the page shows compared with the desktop programs: their
// standard output for the same answers, and their pictures (docs/pictures, captured by
// scripts/pictures.sh) for the same answers and keys.
#include "dialogue_texts.h"
#include "rack_generation.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int windowSize = 800;
constexpr int captionBandBottom = 80;  // pixel rows above this hold captions in every program

struct Rgb {
    int r, g, b;
};
constexpr Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};

// An 800 × 800 picture read from a binary PPM.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;

    Rgb at(int x, int y) const
    {
        const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
    bool isWhite(int x, int y) const
    {
        const Rgb c = at(x, y);
        return c.r == 255 && c.g == 255 && c.b == 255;
    }
};

Picture readPpm(const std::string& path)
{
    Picture picture;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maximum = 0;
    in >> magic >> picture.width >> picture.height >> maximum;
    in.get();
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()), static_cast<std::streamsize>(picture.rgb.size()));
    if (magic != "P6" || maximum != 255 || !in) picture.width = picture.height = 0;
    return picture;
}

bool near(const Rgb& a, const Rgb& b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 60; }

// Pixels of the given colour within radius r (a square) of (x, y).
int countNear(const Picture& p, int x, int y, int r, const Rgb& colour)
{
    int n = 0;
    for (int j = std::max(0, y - r); j <= std::min(p.height - 1, y + r); ++j)
        for (int i = std::max(0, x - r); i <= std::min(p.width - 1, x + r); ++i) n += near(p.at(i, j), colour);
    return n;
}

// Between rows top and bottom: of the pixels drawn in either picture, the share drawn in
// both in the same colour. Picture a is looked at shiftX pixels right of b; with reach 1, a
// pixel agrees when the other picture has its colour one pixel away (thin lines that
// WebGL and Mesa rasterise a pixel apart).
double drawingAgreement(const Picture& a, const Picture& b, int top = captionBandBottom, int bottom = windowSize,
                        int shiftX = 0, int reach = 0)
{
    long either = 0, same = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = std::max(0, shiftX); x < std::min(a.width, b.width + shiftX); ++x) {
            if (a.isWhite(x, y) && b.isWhite(x - shiftX, y)) continue;
            ++either;
            same += reach == 0 ? near(a.at(x, y), b.at(x - shiftX, y))
                               : countNear(b, x - shiftX, y, reach, a.at(x, y)) > 0 && countNear(a, x, y, reach, b.at(x - shiftX, y)) > 0;
        }
    return either ? static_cast<double>(same) / either : 0;
}

int pixelX(double x) { return static_cast<int>(std::lround((x + 1) * windowSize / 2.0)); }
int pixelY(double y) { return static_cast<int>(std::lround((1 - y) * windowSize / 2.0)); }

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool haveCommand(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

// What the desktop program prints on standard output for the given arguments, and nothing on
// standard input; it runs in dir, where it writes its files.
std::string desktopRun(const std::string& program, const std::string& arguments, const ScratchDir& dir)
{
    const std::string command = "cd " + quoted(dir.dir()) + " && env -u DISPLAY " +
                                quoted(std::string(DESKTOP_PROGRAM_DIR) + "/" + program + "/" + program) + " " +
                                arguments + " </dev/null >" + quoted(dir.path("stdout")) + " 2>/dev/null";
    std::system(command.c_str());
    return readWholeFile(dir.path("stdout"));
}

// What the desktop program prints for the given answers. Without a display it stops where
// its window would open, so this is the whole console dialogue.
std::string desktopOutput(const std::string& program, const std::string& input)
{
    ScratchDir dir;
    std::ofstream(dir.path("input")) << input;
    const std::string command = "env -u DISPLAY " + quoted(std::string(DESKTOP_PROGRAM_DIR) + "/" + program + "/" + program) +
                                " <" + quoted(dir.path("input")) + " >" + quoted(dir.path("output")) + " 2>/dev/null";
    std::system(command.c_str());
    return readWholeFile(dir.path("output"));
}

// A desktop picture from docs/pictures.
Picture desktopPicture(const std::string& name)
{
    ScratchDir dir;
    const std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " --png-to-ppm " +
                                quoted(std::string(DESKTOP_PICTURE_DIR) + "/" + name + ".png") + " " + quoted(dir.path("p.ppm"));
    std::system(command.c_str());
    return readPpm(dir.path("p.ppm"));
}

class WebPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::ifstream(std::string(WEB_SITE_DIR) + "/index.html"))
            GTEST_SKIP() << "the web pages were not built (see the test web_pages_build)";
        if (!haveCommand("node") || !haveCommand("chromium"))
            GTEST_SKIP() << "the page tests need node and chromium (scripts/packages.sh installs them)";
    }

    // Runs the page through the steps (see page_session.js); true when every step was done.
    bool run(const std::string& page, const std::vector<std::string>& steps)
    {
        std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " " + quoted(WEB_SITE_DIR) + " " + quoted(page) +
                              " " + quoted(out_.dir());
        for (const std::string& step : steps) command += " " + quoted(step);
        command += " 2>" + quoted(out_.path("errors"));
        return std::system(command.c_str()) == 0;
    }
    Picture pictureFile(const std::string& name) const
    {
        const std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " --png-to-ppm " + quoted(out_.path(name)) +
                                    " " + quoted(out_.path(name + ".ppm"));
        std::system(command.c_str());
        return readPpm(out_.path(name + ".ppm"));
    }
    std::string errors() const { return readWholeFile(out_.path("errors")); }
    std::string text(const std::string& name) const { return readWholeFile(out_.path(name + ".txt")); }
    Picture shot(const std::string& name) const { return readPpm(out_.path(name + ".ppm")); }

    ScratchDir out_;
};

TEST_F(WebPage, Cutdemo3AnsweredInThePageShowsTheDesktopDialogueAndPicture)
{
    ASSERT_TRUE(run("cutdemo3.html", {"line:10", "line:0", "idle", "text:dialogue", "key:1", "key:s*40", "idle",
                                      "shot:mode1", "key:Escape", "ended", "text:end"}))
        << errors();
    const std::string dialogue = text("dialogue");
    EXPECT_EQ(dialogue, desktopOutput("cutdemo3", "10\n0\n"));
    EXPECT_EQ(dialogue.substr(0, texts::banner.size() + texts::prompt.size()), texts::banner + texts::prompt);
    EXPECT_EQ(text("dialogue.panel"), dialogue);  // the panel shows it all, besides the answers
    EXPECT_EQ(text("dialogue.title"), texts::title3);
    EXPECT_EQ(text("end"), dialogue);             // Escape ends it without a word

    const Picture web = shot("mode1"), desktop = desktopPicture("cutdemo3-mode1");
    ASSERT_EQ(web.width, windowSize);
    ASSERT_EQ(desktop.width, windowSize);
    EXPECT_GT(drawingAgreement(web, desktop), 0.97);

    // The red marker where step 40 generates its flank point, in both.
    static RackTables tables;
    const RackGear g = makeRackGear(10);
    generateRackTables(g, rollSteps(g), &tables);
    const Point2 p = tables.addendumFlank[40];
    const int x = pixelX(0.5 * p.x), y = pixelY(0.5 * p.y);
    EXPECT_GT(countNear(desktop, x, y, 3, red), 10);
    EXPECT_GT(countNear(web, x, y, 3, red), 10);  // a filled disc, not an outline
    // Captions: near-black (lighting is on from the first frame), as dark as the desktop's.
    int darkest = 255, desktopDarkest = 255, coloured = 0;
    for (int j = 0; j < captionBandBottom; ++j)
        for (int i = pixelX(-0.95); i < pixelX(0.3); ++i) {
            const Rgb c = web.at(i, j);
            if (std::abs(i - windowSize / 2) <= 2) continue;  // the axis cross runs through the band
            darkest = std::min(darkest, c.r);
            coloured += c.r != c.g || c.g != c.b;
            desktopDarkest = std::min(desktopDarkest, desktop.at(i, j).r);
        }
    EXPECT_EQ(darkest, desktopDarkest);
    EXPECT_LT(darkest, 20);
    EXPECT_EQ(coloured, 0);
}

TEST_F(WebPage, KeysGoByTheCharacterTypedAndTheAddressCanAnswer)
{
    // On a German keyboard 'z' and 'y' swap places: the key a US layout calls KeyZ types 'y'.
    ASSERT_TRUE(run("cutdemo3.html?input=20,0", {"idle", "key:y@KeyZ", "key:s", "idle", "text:before", "key:z@KeyY",
                                                  "line:10", "line:0", "idle", "key:s", "idle", "shot:z10",
                                                  "text:after"}))
        << errors();
    const std::string before = text("before");
    EXPECT_EQ(before, desktopOutput("cutdemo3", "20\n0\n"));
    EXPECT_EQ(text("after"), before + desktopOutput("cutdemo3", "10\n0\n"));

    // The base circle of the new ten-tooth gear, 20 pixels right of the axis, and not the old one.
    const Picture c = shot("z10");
    const double k = 0.5, x = 0.05, cos20 = std::cos(gearPi / 9);
    const auto baseCircleY = [&](double rp, double rb) { return -k * rp + std::sqrt(k * rb * k * rb - x * x); };
    EXPECT_GT(countNear(c, pixelX(x), pixelY(baseCircleY(5, 5 * cos20)), 2, green), 0);
    EXPECT_EQ(countNear(c, pixelX(x), pixelY(baseCircleY(10, 10 * cos20)), 2, green), 0);
}

// Each of the other pages against its desktop picture: the same answers, the same keys.
struct PagePicture {
    const char* program;
    const char* input;     // the answers, as the page address gives them
    std::vector<std::string> keys;
    const char* picture;   // in docs/pictures
};

void PrintTo(const PagePicture& page, std::ostream* out) { *out << page.program << " " << page.picture; }

class EveryPage : public WebPage, public ::testing::WithParamInterface<PagePicture> {};

TEST_P(EveryPage, PrintsTheDesktopDialogueAndDrawsTheDesktopPicture)
{
    const PagePicture& page = GetParam();
    std::vector<std::string> steps{"idle", "text:dialogue"};
    for (const std::string& key : page.keys) steps.push_back("key:" + key);
    steps.insert(steps.end(), {"idle", "shot:picture"});
    std::string address = std::string(page.program) + ".html";
    std::string answers;
    if (*page.input) {
        address += std::string("?input=") + page.input;
        for (char c : std::string(page.input)) answers += c == ',' ? '\n' : c;
        answers += '\n';
    }
    ASSERT_TRUE(run(address, steps)) << errors();
    EXPECT_NE(readWholeFile(std::string(WEB_SITE_DIR) + "/index.html").find(std::string("href=\"") + page.program + ".html\""),
              std::string::npos);
    // cutdemo1 goes on to trace its first frame's rack corners: the dialogue comes first.
    const std::string desktop = desktopOutput(page.program, answers);
    ASSERT_FALSE(desktop.empty());
    EXPECT_EQ(text("dialogue").substr(0, desktop.size()), desktop);
    const Picture web = shot("picture"), desktopDrawing = desktopPicture(page.picture);
    ASSERT_EQ(web.width, windowSize);
    ASSERT_EQ(desktopDrawing.width, windowSize);
    EXPECT_GT(drawingAgreement(web, desktopDrawing), 0.97);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, EveryPage,
    ::testing::Values(PagePicture{"cutdemo2", "10,0", {"6"}, "cutdemo2-mode6"},
                      PagePicture{"cutdemo1", "10,0", {"4", "s*50"}, "cutdemo1-mode4"},
                      PagePicture{"unwinddemo", "", {"5", "s*30"}, "unwinddemo-mode5"}),
    [](const ::testing::TestParamInfo<PagePicture>& info) { return std::string(info.param.program); });

// The command-line tool: its report in the panel as the desktop prints it, its files offered
// for download byte for byte as the desktop writes them.
TEST_F(WebPage, GearprofileReportsAsOnTheDesktopAndOffersItsFiles)
{
    ASSERT_TRUE(run("gearprofile.html?args=--teeth%2023%20--shift%200.3%20--json", {"ended", "text:json"})) << errors();
    ScratchDir desktop;
    const std::string json = desktopRun("gearprofile", "--teeth 23 --shift 0.3 --json", desktop);
    ASSERT_NE(json.find("\"teeth\""), std::string::npos) << json;
    EXPECT_EQ(text("json"), json);
    EXPECT_EQ(text("json.panel").substr(0, json.size()), json);  // then the page's note that it ended
    EXPECT_EQ(text("json.files"), "");

    ASSERT_TRUE(run("gearprofile.html?args=--teeth%2013%20--svg%20tooth.svg%20--csv%20tooth.csv",
                    {"ended", "text:files", "file:/tooth.svg", "file:/tooth.csv"}))
        << errors();
    EXPECT_EQ(text("files"), desktopRun("gearprofile", "--teeth 13 --svg tooth.svg --csv tooth.csv", desktop));
    EXPECT_EQ(text("files.files"), "tooth.svg\ntooth.csv");  // as the command line named them
    for (const char* file : {"tooth.svg", "tooth.csv"}) {
        const std::string written = readWholeFile(desktop.path(file));
        ASSERT_FALSE(written.empty()) << file;
        EXPECT_EQ(readWholeFile(out_.path(file)), written) << file;
    }
}

// The lab: keys and arrows in the page loop, the status line in the page's font, its picture
// against the desktop's, and the PNG it writes against what the page shows.
TEST_F(WebPage, GearlabTakesKeysAndArrowsAndWritesThePictureItShows)
{
    const std::string stem = "/gear-z10-m1-a20-x0-A-view2-1";
    ASSERT_TRUE(run("gearlab.html", {"idle", "text:start", "key:+", "key:>", "idle", "text:z21", "key:<", "key:-",
                                     "key:2", "idle", "shot:view2", "key:p", "idle", "text:picture",
                                     "file:" + stem + ".png", "file:" + stem + ".svg", "key:ArrowRight", "idle",
                                     "shot:panned", "key:1", "key: ", "caption:view 1 generation   finished", "idle",
                                     "text:played"}))
        << errors();
    // The status line: the first caption that names the gear (the figure's labels come first).
    const auto firstCaption = [&](const std::string& name) {
        const std::string captions = "\n" + text(name + ".captions");
        const std::size_t at = captions.find("\nz ");
        return at == std::string::npos ? std::string() : captions.substr(at + 1, captions.find('\n', at + 1) - at - 1);
    };
    EXPECT_EQ(firstCaption("start").rfind("z 10   m 1   α 20°", 0), 0u) << firstCaption("start");
    EXPECT_EQ(firstCaption("z21").rfind("z 21   m 1   α 20°", 0), 0u) << firstCaption("z21");
    EXPECT_EQ(text("start.title"), "gearlab");
    // Space plays view 1 on the lab's timer to the end of the cut, which then stops it.
    EXPECT_EQ(firstCaption("played"), "z 10   m 1   α 20°   x 0.000   rack A   mate z 10 x 0.000");
    EXPECT_NE(text("played.captions").find("view 1 generation   finished"), std::string::npos);
    EXPECT_EQ(text("played.captions").find("playing"), std::string::npos);

    // Between the status band and the panel, as the desktop draws view 2 of the same gear. The
    // dashes of the stippled circles start a few pixels apart from Mesa's, and the circles'
    // names are in the page's font: some 7 % differ.
    constexpr int statusBand = 100, panelBand = 110;  // pixels kept clear of captions, top and bottom
    const Picture web = shot("view2"), desktop = desktopPicture("gearlab-view2");
    ASSERT_EQ(web.width, windowSize);
    ASSERT_EQ(desktop.width, windowSize);
    EXPECT_GT(drawingAgreement(web, desktop, statusBand, windowSize - panelBand, 0, 1), 0.9);
    // The circles' blue: the dashed and chain circles keep their gaps (drawn solid, they
    // would add some 30 %).
    const auto bluePixels = [&](const Picture& p) {
        int n = 0;
        for (int y = statusBand; y < windowSize - panelBand; ++y)
            for (int x = 0; x < windowSize; ++x) {
                const Rgb c = p.at(x, y);
                n += c.b > c.r + 30 && c.b > c.g + 30;
            }
        return n;
    };
    const int desktopBlue = bluePixels(desktop);
    EXPECT_GT(desktopBlue, 1000);
    EXPECT_NEAR(bluePixels(web), desktopBlue, desktopBlue * 0.05);
    // The arrow pans by a tenth of the half window: the figure moves 40 pixels left.
    EXPECT_GT(drawingAgreement(shot("panned"), desktop, statusBand, windowSize - panelBand, -40, 1), 0.9);
    EXPECT_LT(drawingAgreement(shot("panned"), desktop, statusBand, windowSize - panelBand, 0, 1), 0.5);

    // p: the names as the desktop prints them, then the PNG, read by a real decoder, is the
    // frame shown (its captions and the figure's labels are the page's: only the drawing is
    // compared).
    EXPECT_EQ(text("picture").substr(text("start").size()), stem.substr(1) + ".png\n" + stem.substr(1) + ".svg\n");
    EXPECT_EQ(text("picture.files"), stem.substr(1) + ".png\n" + stem.substr(1) + ".svg");
    const Picture png = pictureFile(stem.substr(1) + ".png");
    ASSERT_EQ(png.width, windowSize);
    EXPECT_GT(drawingAgreement(png, web, statusBand, windowSize - panelBand), 0.9);
    EXPECT_NE(readWholeFile(out_.path(stem.substr(1) + ".svg")).find("<svg"), std::string::npos);
}

}  // namespace
