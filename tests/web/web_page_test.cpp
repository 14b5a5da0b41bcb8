// The programs as web pages, in headless Chromium: the console answered in the page, keys
// typed on the page or pressed as its buttons, and what the page shows compared with the
// desktop programs: their standard output for the same answers, their pictures
// (docs/pictures, captured by scripts/pictures.sh) for the same answers and keys, and the
// SVG gearlab records of the same view; the window fitted to a projector's screen.
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

// The page run through the steps (see page_session.js), its results in out; true when every
// step was done, its errors in out/errors otherwise.
bool runPage(const ScratchDir& out, const std::string& page, const std::vector<std::string>& steps)
{
    std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " " + quoted(WEB_SITE_DIR) + " " + quoted(page) +
                          " " + quoted(out.dir());
    for (const std::string& step : steps) command += " " + quoted(step);
    command += " 2>" + quoted(out.path("errors"));
    return std::system(command.c_str()) == 0;
}

// A PNG as a picture, through the page session's decoder.
Picture pngPicture(const std::string& png, const ScratchDir& scratch)
{
    const std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " --png-to-ppm " + quoted(png) + " " +
                                quoted(scratch.path("png.ppm"));
    std::system(command.c_str());
    return readPpm(scratch.path("png.ppm"));
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
    return pngPicture(std::string(DESKTOP_PICTURE_DIR) + "/" + name + ".png", dir);
}

// Why the page tests cannot run here, or empty.
std::string pagesMissing()
{
    if (!std::ifstream(std::string(WEB_SITE_DIR) + "/index.html")) return "the web pages were not built (see the test web_pages_build)";
    if (!haveCommand("node") || !haveCommand("chromium"))
        return "the page tests need node and chromium (scripts/packages.sh installs them)";
    return "";
}

class WebPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (const std::string missing = pagesMissing(); !missing.empty()) GTEST_SKIP() << missing;
    }

    // Runs the page through the steps (see page_session.js); true when every step was done.
    bool run(const std::string& page, const std::vector<std::string>& steps) { return runPage(out_, page, steps); }
    Picture pictureFile(const std::string& name) const { return pngPicture(out_.path(name), out_); }
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
                                     "text:played", "key:e", "key:e", "idle", "screen:files"}))
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
    // Its captions are drawn into it as the page shows them: the status band and the panel.
    int darkText = 0;
    for (int y = 0; y < statusBand; ++y)
        for (int x = 0; x < windowSize; ++x) darkText += png.at(x, y).r < 100;
    EXPECT_GT(darkText, 500);
    EXPECT_GT(drawingAgreement(png, web, 0, statusBand, 0, 1), 0.95);
    EXPECT_GT(drawingAgreement(png, web, windowSize - panelBand, windowSize, 0, 1), 0.95);

    // Every file written is one download link, however often it is written again.
    const std::string links = readWholeFile(out_.path("files.layout.json"));
    for (const std::string& name : {stem.substr(1) + ".png", stem.substr(1) + ".svg", std::string("gear-z10-m1-a20-x0-A.csv")}) {
        const std::string quotedName = "\"" + name + "\"";
        const std::size_t first = links.find(quotedName);
        EXPECT_NE(first, std::string::npos) << name << " in " << links;
        EXPECT_EQ(links.find(quotedName, first + 1), std::string::npos) << name << " twice in " << links;
    }
}

// The numbers of a layout.json field: "name":[a,b] or "name":{"left":…,"top":…,"right":…,"bottom":…}.
std::vector<double> layoutNumbers(const std::string& json, const std::string& name)
{
    std::vector<double> numbers;
    std::size_t at = json.find("\"" + name + "\":");
    if (at == std::string::npos) return numbers;
    at += name.size() + 3;
    const std::size_t end = json.find_first_of("]}", at);
    for (std::size_t i = at; i < end;) {
        const std::size_t start = json.find_first_of("-0123456789", i);
        if (start >= end) break;
        std::size_t used = 0;
        numbers.push_back(std::stod(json.substr(start), &used));
        i = start + used;
    }
    return numbers;
}

// Dark pixels of a screenshot in the rows top … bottom and columns left … right, but for
// the few columns of the axis cross at centreX.
int darkPixels(const Picture& p, int left, int top, int right, int bottom, int centreX)
{
    int n = 0;
    for (int y = std::max(0, top); y < std::min(p.height, bottom); ++y)
        for (int x = std::max(0, left); x < std::min(p.width, right); ++x) {
            if (std::abs(x - centreX) <= 3) continue;
            const Rgb c = p.at(x, y);
            n += c.r < 100 && c.g < 100 && c.b < 100;
        }
    return n;
}

// A projector, a phone in landscape and a sharp screen: the whole window and its captions show
// without scrolling, drawn at the screen's own pixels, the keys beside it.
TEST_F(WebPage, TheWindowFitsTheScreenWithItsCaptionsAtTheDevicePixelRatio)
{
    ASSERT_TRUE(run("cutdemo3.html?input=20,0", {"idle", "viewport:1280x720", "screen:projector", "viewport:844x390@3",
                                                 "screen:phone", "viewport:1366x768@2", "screen:sharp"}))
        << errors();
    struct Screen {
        const char* name;
        int width, height;
        double ratio;
    };
    for (const Screen& screen : {Screen{"projector", 1280, 720, 1}, Screen{"phone", 844, 390, 3}, Screen{"sharp", 1366, 768, 2}}) {
        SCOPED_TRACE(screen.name);
        const std::string layout = readWholeFile(out_.path(std::string(screen.name) + ".layout.json"));
        EXPECT_EQ(layoutNumbers(layout, "scroll"), (std::vector<double>{double(screen.width), double(screen.height)}))
            << "the page scrolls: " << layout;
        const std::vector<double> box = layoutNumbers(layout, "window"), canvas = layoutNumbers(layout, "canvas");
        ASSERT_EQ(box.size(), 4u) << layout;
        ASSERT_EQ(canvas.size(), 2u) << layout;
        const double side = box[2] - box[0];
        EXPECT_EQ(box[3] - box[1], side);
        EXPECT_GE(box[0], 0);
        EXPECT_GE(box[1], 0);
        EXPECT_LE(box[2], screen.width);
        EXPECT_LE(box[3], screen.height);
        EXPECT_GT(side, 0.85 * (screen.height - 24)) << "the window should take the screen's height";
        EXPECT_EQ(canvas[0], std::round(side * screen.ratio));
        EXPECT_GE(layoutNumbers(layout, "keys").at(0), box[2]) << "the keys stand beside the window";
        // The captions in the window's top tenth, scaled with it, in the screen's pixels.
        const Picture shot = pngPicture(out_.path(std::string(screen.name) + ".png"), out_);
        ASSERT_EQ(shot.width, std::lround(screen.width * screen.ratio));
        const auto at = [&](double v) { return static_cast<int>(std::lround(v * screen.ratio)); };
        EXPECT_GT(darkPixels(shot, at(box[0]), at(box[1]), at(box[2]), at(box[1] + side / 10), at((box[0] + box[2]) / 2)),
                  100 * screen.ratio * screen.ratio * side / 800);
    }
}

// A button does what its key does: the same frame, the same captions.
TEST_F(WebPage, EveryKeyIsAlsoAButtonThatActsLikeIt)
{
    ASSERT_TRUE(run("cutdemo3.html?input=20,0", {"idle", "screen:buttons", "key:W", "key:6", "idle", "shot:typed", "text:typed"}))
        << errors();
    const std::string buttons = readWholeFile(out_.path("buttons.layout.json"));
    // s, z, w, W, the six modes and Escape, in the order the help lists them.
    EXPECT_NE(buttons.find("\"buttons\":[\"115\",\"122\",\"119\",\"87\",\"49\",\"50\",\"51\",\"52\",\"53\",\"54\",\"27\"]"),
              std::string::npos)
        << buttons;
    const Picture typed = shot("typed");
    const std::string typedCaptions = text("typed.captions");
    ASSERT_TRUE(run("cutdemo3.html?input=20,0", {"idle", "click:87", "click:54", "idle", "shot:clicked", "text:clicked"}))
        << errors();
    EXPECT_EQ(text("clicked.captions"), typedCaptions);
    EXPECT_NE(typedCaptions.find("(6) display whole tooth profile"), std::string::npos);
    EXPECT_EQ(drawingAgreement(shot("clicked"), typed, 0), 1.0);

    // An arrow, which is no character, pans gearlab as its key does.
    ASSERT_TRUE(run("gearlab.html", {"idle", "key:ArrowRight", "idle", "shot:arrow"})) << errors();
    const Picture arrow = shot("arrow");
    ASSERT_TRUE(run("gearlab.html", {"idle", "click:358", "idle", "shot:arrowButton", "key:ArrowLeft", "idle", "shot:back"}))
        << errors();
    EXPECT_EQ(drawingAgreement(shot("arrowButton"), arrow, 0), 1.0);
    EXPECT_LT(drawingAgreement(shot("back"), arrow, 0), 0.9);
}

// The index: every program with its picture and its line, the lab first.
TEST(WebIndex, ListsEveryProgramWithItsPictureTheLabFirst)
{
    const std::string index = readWholeFile(std::string(WEB_SITE_DIR) + "/index.html");
    if (index.empty()) GTEST_SKIP() << pagesMissing();
    std::vector<std::string> order;
    for (std::size_t at = 0; (at = index.find("<li><a href=\"", at)) != std::string::npos;) {
        at += 13;
        const std::string page = index.substr(at, index.find('"', at) - at);
        order.push_back(page);
        const std::size_t item = index.find("</li>", at);
        const std::size_t picture = index.find("<img src=\"", at);
        ASSERT_LT(picture, item) << page << " has no picture";
        const std::string file = index.substr(picture + 10, index.find('"', picture + 10) - picture - 10);
        EXPECT_TRUE(std::ifstream(std::string(WEB_SITE_DIR) + "/" + file).good()) << file;
    }
    EXPECT_EQ(order, (std::vector<std::string>{"gearlab.html", "cutdemo3.html", "cutdemo2.html", "cutdemo1.html",
                                               "unwinddemo.html", "gearprofile.html"}));
}

}  // namespace
