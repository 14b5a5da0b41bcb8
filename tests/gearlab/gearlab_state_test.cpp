// gearlab's start options, its animation timer, the meshing pair's contacts, and what it
// writes: the outline files, the PNG read back by libpng and the SVG of the recorded frame.
#include "lab_probe.h"
#include "png_reader.h"
#include "test_support.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <regex>

namespace {

using labprobe::Lab;

bool parse(std::vector<const char*> args, std::string* message = nullptr)
{
    args.insert(args.begin(), "gearlab");
    bool help = false;
    std::string ignored;
    return parseLabOptions(static_cast<int>(args.size()), args.data(), &help, message ? message : &ignored);
}

TEST(LabOptions, GearprofilesOptionsWithTenTeethByDefaultAndALanguage)
{
    ASSERT_TRUE(parse({}));
    EXPECT_EQ(lab.gear.teeth, 10);
    EXPECT_EQ(lab.language, LabLanguage::english);
    ASSERT_TRUE(parse({"--teeth", "23", "--shift=0.3", "--pressure-angle", "14.5", "--rack", "D", "--mate", "17",
                       "--lang", "ja"}));
    EXPECT_EQ(lab.gear.teeth, 23);
    EXPECT_DOUBLE_EQ(lab.gear.shift, 0.3);
    EXPECT_EQ(lab.pressureDegrees, 14.5);
    EXPECT_STREQ(labRackNames[lab.rack], "D");
    EXPECT_EQ(lab.mateTeeth, 17);
    EXPECT_EQ(lab.language, LabLanguage::japanese);
    EXPECT_EQ(exportStem(), "gear-z23-m1-a14.5-x0.3-D");

    std::string message;
    EXPECT_FALSE(parse({"--lang", "fr"}, &message));
    EXPECT_EQ(message, "--lang must be en or ja, not 'fr'");
    EXPECT_FALSE(parse({"--svg", "a.svg"}, &message));
    EXPECT_NE(message.find("e key"), std::string::npos);
    EXPECT_FALSE(parse({"--teeth", "1001"}, &message));
    EXPECT_NE(message.find("at most 1000"), std::string::npos);
    EXPECT_FALSE(parse({"--teeth", "2"}, &message));  // the root circle falls inside the centre
    EXPECT_NE(message.find("cannot be cut"), std::string::npos);
    EXPECT_FALSE(parse({"--module", "0"}, &message));
    EXPECT_EQ(message, "--module must be at least 0.000001 (mm), not '0'");

    // The cutter and the ring, as gearprofile takes them.
    ASSERT_TRUE(parse({"--teeth", "60", "--internal", "--cutter-teeth", "30", "--rim-diameter", "70", "--mate", "50"}, &message))
        << message;
    EXPECT_TRUE(lab.gear.internal);
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);
    EXPECT_EQ(lab.gear.pinionCutter.teeth, 30);
    EXPECT_EQ(figures.numbers.rimDiameter, 70);
    EXPECT_EQ(lab.mateTeeth, 50);
    EXPECT_EQ(exportStem(), "ring-z60-m1-a20-x0-cutter-z30-x0-rim70");
    EXPECT_FALSE(parse({"--internal"}, &message));  // ten teeth round a 25-tooth cutter
    EXPECT_EQ(message, "this gear cannot be cut: a ring gear needs more teeth than its cutter (25)");
}

using Animation = Lab;

TEST_F(Animation, SpacePlaysOnATimerAtASteadyRateAndPausesAndStopsAtTheEnd)
{
    press(" ");
    EXPECT_TRUE(lab.playing);
    EXPECT_EQ(glstub::recording().timerDelay, animationInterval);
    press(" ");  // pause before it fires: the pending timer must not step or set another
    ASSERT_TRUE(glstub::fireTimer());
    EXPECT_EQ(lab.step, 0);
    EXPECT_FALSE(glstub::fireTimer());

    press(" ");
    press(" ");
    press(" ");  // three presses: one timer pending, not three
    int fired = 0;
    while (glstub::fireTimer()) ++fired;
    EXPECT_EQ(fired, generationSteps);
    EXPECT_EQ(lab.step, generationSteps);
    EXPECT_FALSE(lab.playing);

    // Drawing does not step: only the timer does.
    press("3 ");
    const int before = lab.meshStep;
    for (int i = 0; i < 5; ++i) drawFrame();
    EXPECT_EQ(lab.meshStep, before);
    ASSERT_TRUE(glstub::fireTimer());
    EXPECT_EQ(lab.meshStep, before + 1);
}

using Mesh = Lab;


TEST_F(Mesh, EveryContactLiesOnBothTurnedOutlinesOneBasePitchApart)
{
    for (int mate : {10, 23}) {
        lab.mateTeeth = mate;
        lab.gear.teeth = 17;
        changeGear(lab.gear, 20, 0);
        ASSERT_TRUE(figures.paired) << figures.pairProblem;
        // Outside, the mate turns against the gear by z/z2.
        EXPECT_GT(labprobe::checkContactsOnBothOutlines(-17.0 / mate, "mate " + std::to_string(mate)),
                  2 * meshStepsPerPitch / 5);
    }
}

TEST_F(Mesh, TheTenTenPairInterferesInRed)
{
    press("3");
    drawFrame();
    EXPECT_TRUE(figures.pair.interferenceGear);
    int redLines = 0;
    for (const auto* p : glstub::primitivesOf(GL_LINE_STRIP))
        if (p->colour[0] == 1 && p->colour[1] == 0 && p->lineWidth == 5) ++redLines;
    EXPECT_EQ(redLines, 2);  // both tips run past N
    EXPECT_TRUE(labprobe::anyCaptionHas("interference (N1) (N2)"));
    pressTimes('M', 40);  // a 50-tooth mate: this gear's tip no longer passes N2
    drawFrame();
    EXPECT_TRUE(labprobe::anyCaptionHas("mate z 50"));
    EXPECT_FALSE(labprobe::anyCaptionHas("(N2)"));
}

class Files : public Lab {
protected:
    void SetUp() override
    {
        Lab::SetUp();
        if (IsSkipped()) return;
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        ASSERT_EQ(chdir(scratch_.dir().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(home_), 0); }
    ScratchDir scratch_;
    char home_[4096];
};

// Runs f with two memory streams for out and err; what they got.
std::pair<std::string, std::string> capture(const std::function<void(std::FILE*, std::FILE*)>& f)
{
    char *o = nullptr, *e = nullptr;
    std::size_t on = 0, en = 0;
    std::FILE* out = open_memstream(&o, &on);
    std::FILE* err = open_memstream(&e, &en);
    f(out, err);
    std::fclose(out);
    std::fclose(err);
    std::pair<std::string, std::string> result{std::string(o, on), std::string(e, en)};
    std::free(o);
    std::free(e);
    return result;
}

TEST_F(Files, ExportWritesTheThreeOutlinesNamedAfterTheGearAndSaysWhere)
{
    press("+XX");
    const auto [out, err] = capture([](std::FILE* o, std::FILE* e) { EXPECT_TRUE(exportOutline(o, e)); });
    EXPECT_EQ(out, "gear-z11-m1-a20-x0.1-A.svg\ngear-z11-m1-a20-x0.1-A.dxf\ngear-z11-m1-a20-x0.1-A.csv\n");
    EXPECT_EQ(err, "");
    // The CSV holds the outline the lab shows, point for point.
    const std::string csv = readWholeFile(scratch_.path("gear-z11-m1-a20-x0.1-A.csv"));
    std::size_t rows = 0;
    for (char c : csv) rows += c == '\n';
    EXPECT_EQ(rows, figures.outline.size() + 1);
    drawFrame();
    EXPECT_TRUE(labprobe::anyCaptionHas("wrote gear-z11-m1-a20-x0.1-A.svg, gear-z11-m1-a20-x0.1-A.dxf"));
}

TEST_F(Files, AFailedExportSaysWhyAndTheLabGoesOn)
{
    ASSERT_EQ(rmdir(scratch_.dir().c_str()), 0);  // the working folder is gone
    const auto [out, err] = capture([](std::FILE* o, std::FILE* e) { EXPECT_FALSE(exportOutline(o, e)); });
    EXPECT_EQ(out, "");
    EXPECT_NE(err.find("cannot write 'gear-z10-m1-a20-x0-A.svg': "), std::string::npos) << err;
    EXPECT_NE(err.find("No such file or directory"), std::string::npos) << err;
    drawFrame();
    EXPECT_TRUE(labprobe::anyCaptionHas("could not write gear-z10-m1-a20-x0-A.svg"));
    const auto [pictureOut, pictureErr] = capture([](std::FILE* o, std::FILE* e) { EXPECT_FALSE(savePicture(o, e)); });
    EXPECT_EQ(pictureOut, "");
    EXPECT_NE(pictureErr.find("cannot write 'gear-z10-m1-a20-x0-A-view1-1.png': "), std::string::npos) << pictureErr;
    press("+");
    EXPECT_EQ(lab.gear.teeth, 11);
    ASSERT_EQ(mkdir(scratch_.dir().c_str(), 0700), 0);  // for the scratch folder's own clean-up
}

TEST_F(Files, PictureWritesTheFrameAsPngAndTheSameDrawingAsSvg)
{
    reshapeLab(640, 480);
    glstub::recording().framePixel = {0.2f, 0.4f, 0.6f, 1};
    press("2p");
    const auto [out, err] = capture([](std::FILE* o, std::FILE* e) {
        beginSvgRecording(windowWidth(), windowHeight());
        lab.pictureRequested = false;
        glstub::clearLog();
        beginFrame();
        drawLabCaptions();
        EXPECT_TRUE(savePicture(o, e));
    });
    EXPECT_EQ(out, "gear-z10-m1-a20-x0-A-view2-1.png\ngear-z10-m1-a20-x0-A-view2-1.svg\n");
    int width = 0, height = 0;
    const std::vector<unsigned char> pixels = readPngRgb(scratch_.path("gear-z10-m1-a20-x0-A-view2-1.png"), &width, &height);
    ASSERT_EQ(width, 640);
    ASSERT_EQ(height, 480);
    EXPECT_EQ(pixels[0], 51);
    EXPECT_EQ(pixels[1], 102);
    EXPECT_EQ(pixels[pixels.size() - 1], 153);

    // The SVG has the captions the frame drew, where it drew them.
    const std::string svg = readWholeFile(scratch_.path("gear-z10-m1-a20-x0-A-view2-1.svg"));
    EXPECT_NE(svg.find("width=\"640\" height=\"480\""), std::string::npos);
    const glstub::Caption* status = nullptr;
    for (const auto& c : glstub::recording().captions)
        if (!status && labprobe::textOf(c).rfind("z 10 ", 0) == 0) status = &c;
    ASSERT_NE(status, nullptr);
    const auto& first = *status;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(svg, m, std::regex("<text x=\"([0-9.]+)\" y=\"([0-9.]+)\"[^>]*>z 10 ")));
    EXPECT_NEAR(std::stod(m[1]), (first.viewX + 1) / 2 * 640, 0.01);
    EXPECT_NEAR(std::stod(m[2]), (1 - first.viewY) / 2 * 480, 0.01);

    // A second picture does not overwrite the first.
    capture([](std::FILE* o, std::FILE* e) { EXPECT_TRUE(savePicture(o, e)); });
    EXPECT_FALSE(readWholeFile(scratch_.path("gear-z10-m1-a20-x0-A-view2-2.png")).empty());
}

TEST(SvgRecording, EveryPrimitiveLandsWhereTheFrameShowsIt)
{
    glstub::reset();
    reshapeKeepingAspect(900, 600);
    beginSvgRecording(900, 600);
    glScaled(0.5, 0.5, 1);
    glTranslated(0.3, -0.2, 0);
    const Point2 triangle[3] = {{0, 0}, {1, 0.25}, {-0.5, 1}};
    drawPolyline(triangle, 3, true, {{0, 0.6f, 0, 1}, 3, dashedPattern});
    drawDot({0.5, 0.5}, 6, {1, 0, 0, 1});
    fillRectangle({-1, -1}, 0.5, 0.25, 0, {0, 0, 1, 1});
    drawWideSegment({0, 0}, {0.25, 0}, 0.01, {1, 0, 1, 0});  // 4 pixels wide at 400 per unit
    drawChainCircle({0, 0}, 0.5, {0, 1, 1, 0});
    const std::string svg = finishSvgRecording();
    EXPECT_EQ(finishSvgRecording(), "");  // a recording ends once

    const auto& loop = *glstub::primitivesOf(GL_LINE_LOOP).at(0);
    std::string expected;
    char pair[64];
    for (const auto& v : loop.vertices) {
        std::snprintf(pair, sizeof pair, "%s%.2f,%.2f", expected.empty() ? "" : " ", (v.viewX + 1) / 2 * 900,
                      (1 - v.viewY) / 2 * 600);
        expected += pair;
    }
    EXPECT_NE(svg.find("<polygon points=\"" + expected + "\" fill=\"none\" stroke=\"#009900\" stroke-width=\"3\" "
                       "stroke-dasharray=\"4 4 4 4\"/>"),
              std::string::npos)
        << svg;
    EXPECT_NE(svg.find("fill=\"#ff0000\""), std::string::npos);
    EXPECT_NE(svg.find("fill=\"#0000ff\""), std::string::npos);
    // The four programs' own operations record too, with the width and colour in force.
    EXPECT_NE(svg.find("stroke=\"#ff00ff\" stroke-width=\"4\""), std::string::npos);
    const auto lines = glstub::primitivesOf(GL_LINES);
    std::size_t cyan = 0, pos = 0;
    while ((pos = svg.find("stroke=\"#00ffff\"", pos + 1)) != std::string::npos) ++cyan;
    std::size_t chords = 0;
    for (const auto* p : lines)
        if (p->colour[1] == 1 && p->colour[2] == 1) chords += p->vertices.size() / 2;
    EXPECT_EQ(cyan, chords);
}

TEST(UnicodeText, GlyphsAreHalfOrFullWidthAndMissingOnesShowAsBoxes)
{
    std::string reason;
    if (!unicodeFontLoaded() && !loadUnicodeFont(labprobe::fontFile, &reason)) GTEST_SKIP() << reason;
    glstub::reset();
    drawUnicodeText(0.1f, 0.2f, "Aあ\xF0\x9F\x98\x80");  // an emoji: outside the font's plane
    const auto& glyphs = glstub::recording().captions.at(0).glyphs;
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].size(), 16u);
    EXPECT_EQ(glyphs[1].size(), 32u);
    EXPECT_EQ(labprobe::textOf(glstub::recording().captions.at(0)).substr(0, 4), "Aあ");
    EXPECT_EQ(unicodeTextWidth("Aあ"), 24);
    EXPECT_FALSE(loadUnicodeFont("/nonexistent.hex", &reason));
    EXPECT_NE(reason.find("No such file"), std::string::npos);
    EXPECT_TRUE(unicodeFontLoaded());  // a failed load keeps the font there was
}

}  // namespace

namespace {

// What the lab refuses so that it never freezes, never dies and never overwrites an export.
using Refusals = Files;

TEST_F(Refusals, RunawayGearsAreRefusedWithTheirReasonInsteadOfDrawn)
{
    std::string message;
    EXPECT_FALSE(parse({"--module", "1e12"}, &message));
    EXPECT_NE(message.find("precision"), std::string::npos) << message;
    // More points than a frame can draw: refused in red, the gear stays.
    GearParameters fine = lab.gear;
    fine.teeth = labMostTeeth;
    fine.tolerance = 1e-7;
    EXPECT_FALSE(changeGear(fine, 20, 0));
    EXPECT_NE(lab.problem.find("use a larger tolerance"), std::string::npos) << lab.problem;
    EXPECT_EQ(lab.gear.teeth, 10);
}

TEST_F(Refusals, TwoDifferentGearsNeverShareAFileName)
{
    std::vector<std::string> stems;
    const auto stemWith = [&](const std::function<void(GearParameters*)>& change) {
        GearParameters g = defaultGearParameters(12);
        change(&g);
        const int rack = g.rack.tipRadius == 0.38 && g.rack.dedendum == 1.25 ? 0 : -1;
        EXPECT_TRUE(changeGear(g, 20, rack)) << lab.problem;
        stems.push_back(exportStem());
    };
    stemWith([](GearParameters* g) { g->shift = 0.001; });
    stemWith([](GearParameters* g) { g->shift = 0.004; });
    stemWith([](GearParameters* g) { g->shift = 0.1 + 0.2; });  // 0.30000000000000004, not 0.3
    stemWith([](GearParameters* g) { g->shift = 0.3; });
    stemWith([](GearParameters* g) { g->rack.tipRadius = 0.2; });
    stemWith([](GearParameters* g) { g->rack.tipRadius = 0.21; });
    stemWith([](GearParameters* g) { g->tolerance = 0.0005; });
    for (std::size_t i = 0; i < stems.size(); ++i)
        for (std::size_t k = i + 1; k < stems.size(); ++k) EXPECT_NE(stems[i], stems[k]);
}

TEST_F(Refusals, AnExportNamedLikeAPipeIsRefusedWithoutWaiting)
{
    ASSERT_EQ(mkfifo((exportStem() + ".svg").c_str(), 0644), 0);
    const pid_t child = fork();
    if (child == 0) {
        alarm(60);  // a window that waited on the pipe fails the test instead of hanging it
        const bool written = exportOutline(stdout, stderr);
        _exit(!written && lab.problem.find("not a regular file") != std::string::npos ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

}  // namespace
