// gearlab's frames through the recording stand-in: the status line and its changes, the
// outline coloured by part, the help overlay, the bands drawn last and the undistorted,
// centred figure in a window that is not square.
#include "lab_probe.h"

#include <cmath>

namespace {

using labprobe::anyCaptionHas;
using labprobe::captionTexts;
using labprobe::Lab;

bool sameColour(const glstub::Colour& c, const Rgba& want)
{
    return c[0] == want.red && c[1] == want.green && c[2] == want.blue;
}

// The width-3 polylines of the cut outline, by colour.
std::vector<const glstub::Primitive*> cutOutline(const Rgba& colour)
{
    std::vector<const glstub::Primitive*> found;
    for (const auto* p : glstub::primitivesOf(GL_LINE_STRIP))
        if (p->lineWidth == 3 && sameColour(p->colour, colour)) found.push_back(p);
    return found;
}

using StatusLine = Lab;

TEST_F(StatusLine, SaysWhatIsShownAndFollowsTheKeys)
{
    drawFrame();
    EXPECT_EQ(statusLine(), "z 10   m 1   α 20°   x 0.000   rack A   mate z 10 x 0.000");
    EXPECT_TRUE(anyCaptionHas("view 1 generation   step 0/120   zoom 1.00"));
    EXPECT_TRUE(anyCaptionHas("z_min 17.10 at x = 0.000 for this rack (straight flank 1 m deep); 17.10 when it is 1 m deep"));
    EXPECT_TRUE(anyCaptionHas("h: help"));

    press("+++>XXraaw");
    pressTimes('s', 7);
    drawFrame();
    EXPECT_EQ(statusLine(), "z 23   m 1   α 25°   x 0.100   rack B   mate z 10 x 0.000");
    EXPECT_TRUE(anyCaptionHas("view 1 generation   step 7/120   zoom 0.90"));

    press("-<xxAA2Yy");
    press("Y");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 12   m 1   α 20°   x 0.000   rack B   mate z 10 x 0.050");
    EXPECT_TRUE(anyCaptionHas("view 2 finished gear   finished   zoom 0.90"));
    press("1");
    pressTimes('s', 200);  // stepping stops at the end of the cut
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("view 1 generation   finished"));
    EXPECT_EQ(lab.step, generationSteps);
}

TEST_F(StatusLine, ShiftingTheTenToothGearToXminRemovesTheUndercut)
{
    // z_min and x_min from the textbook: 2/sin²α and 1 − (z/2)·sin²α for a rack whose
    // straight flank reaches one module below its reference line; rack A's tip rounding
    // shortens that flank to 1.25 − 0.38(1 − sin α).
    const double s = std::sin(20 * 3.14159265358979 / 180);
    const double h = 1.25 - 0.38 * (1 - s);
    const double xMin = h - 5 * s * s;
    int presses = 0;
    for (; presses < 20 && figures.numbers.undercut; ++presses) press("X");
    EXPECT_NEAR(lab.gear.shift, std::ceil(xMin / shiftStep) * shiftStep, 1e-9);
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("no undercut"));
    press("x");
    drawFrame();
    EXPECT_FALSE(anyCaptionHas("no undercut"));
    char expected[64];
    std::snprintf(expected, sizeof expected, "x_min %.3f", xMin);
    EXPECT_TRUE(anyCaptionHas(expected)) << expected;
}

TEST_F(StatusLine, APointedToothIsRefusedInRedAndTheGearKept)
{
    pressTimes('X', 30);  // far past the shift at which the tip comes to a point
    const double kept = lab.gear.shift;
    EXPECT_LT(kept, 1.0);
    drawFrame();
    const auto& captions = glstub::recording().captions;
    bool red = false;
    for (const auto& c : captions)
        if (labprobe::textOf(c).find("refused: ") == 0) red = !c.lit && sameColour(c.colour, undercutColour);
    EXPECT_TRUE(red);
    EXPECT_TRUE(anyCaptionHas("point"));
    // A change that works clears the message.
    press("x");
    drawFrame();
    EXPECT_FALSE(anyCaptionHas("refused"));
    EXPECT_NEAR(lab.gear.shift, kept - shiftStep, 1e-9);
}

TEST_F(StatusLine, JapaneseCaptions)
{
    lab.language = LabLanguage::japanese;
    press("2");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 10   m 1   α 20°   x 0.000   ラック A   相手歯車 z 10 x 0.000");
    EXPECT_TRUE(anyCaptionHas("画面 2 完成歯車   完了   倍率 1.00"));
    EXPECT_TRUE(anyCaptionHas("切下げあり"));
    EXPECT_TRUE(anyCaptionHas("歯厚 s 1.5708"));
}

using Colours = Lab;

TEST_F(Colours, TheCutOutlineIsColouredByPartWhereThePartsLie)
{
    pressTimes('s', generationSteps);
    drawFrame();
    const double rb = figures.numbers.baseDiameter / 2, ra = figures.numbers.tipDiameter / 2;
    const double start = involuteStartRadius(lab.gear);
    const auto radius = [](const glstub::Vertex& v) { return std::hypot(v.x, v.y); };
    ASSERT_FALSE(cutOutline(involuteColour).empty());
    ASSERT_FALSE(cutOutline(filletColour).empty());
    ASSERT_FALSE(cutOutline(undercutColour).empty());
    for (const auto* p : cutOutline(involuteColour))
        for (const auto& v : p->vertices) {
            EXPECT_GE(radius(v), start * (1 - 1e-9));
            EXPECT_LE(radius(v), ra * (1 + 1e-9));
        }
    for (const auto* p : cutOutline(undercutColour))
        for (const auto& v : p->vertices) EXPECT_LT(radius(v), start * (1 + 1e-9));
    // The undercut eats into the involute's base: part of it lies inside the base circle.
    double lowest = ra;
    for (const auto* p : cutOutline(undercutColour))
        for (const auto& v : p->vertices) lowest = std::min(lowest, radius(v));
    EXPECT_LT(lowest, rb);
}

TEST_F(Colours, WithoutUndercutNothingIsRedAndTheCutGrowsStepByStep)
{
    pressTimes('X', 9);  // x = 0.45, past x_min
    ASSERT_FALSE(figures.numbers.undercut);
    std::size_t before = 0;
    for (int step = 0; step <= generationSteps; step += 20) {
        drawFrame();
        std::size_t points = 0;
        for (const Rgba& c : {involuteColour, filletColour})
            for (const auto* p : cutOutline(c)) points += p->vertices.size();
        EXPECT_GE(points, before) << step;
        before = points;
        EXPECT_TRUE(cutOutline(undercutColour).empty()) << step;
        pressTimes('s', 20);
    }
    EXPECT_GT(before, figures.pointsPerTooth / 2);
}

TEST_F(Colours, TheCuttingPartOfTheRackIsMarked)
{
    bool flank = false, rounding = false;
    for (int step = 0; step < generationSteps; ++step) {
        drawFrame();
        for (const auto* p : glstub::primitivesOf(GL_LINE_STRIP)) {
            if (p->lineWidth != 5) continue;
            flank = flank || sameColour(p->colour, flankCutColour);
            rounding = rounding || sameColour(p->colour, roundingCutColour);
        }
        if (step == 60) {
            EXPECT_TRUE(anyCaptionHas("cutting: straight flank"));
        }
        press("s");
    }
    EXPECT_TRUE(flank);
    EXPECT_TRUE(rounding);
}

using Help = Lab;

TEST_F(Help, ListsEveryKeyOverTheFigureAndGoesAway)
{
    press("h");
    drawFrame();
    for (const char* key : {"+ / -", "> / <", "x / X", "a / A", "r ", "c ", "i ", "m / M", "1 2 3", "space", "s ", "0 ",
                            "w / W", "arrows", "f ", "e ", "p ", "h ", "Esc / q"}) {
        bool listed = false;
        for (const std::string& t : captionTexts()) listed = listed || t.rfind(key, 0) == 0;
        EXPECT_TRUE(listed) << key;
    }
    // The overlay's white box comes after every line of the figure.
    const auto& primitives = glstub::recording().primitives;
    std::size_t lastWhite = 0, lastLine = 0;
    for (std::size_t i = 0; i < primitives.size(); ++i) {
        if (primitives[i].mode == GL_POLYGON && sameColour(primitives[i].colour, {1, 1, 1, 1})) lastWhite = i;
        if (primitives[i].mode == GL_LINE_STRIP) lastLine = i;
    }
    EXPECT_GT(lastWhite, lastLine);
    press("h");
    drawFrame();
    EXPECT_FALSE(anyCaptionHas("Esc / q"));
}

TEST_F(Help, LinesUpTheEffectsInUnifontColumnsInBothLanguages)
{
    press("h");
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("+ / -     z + 1 / - 1"));
    EXPECT_TRUE(anyCaptionHas("Esc / q   end"));
    EXPECT_TRUE(anyCaptionHas("c         cutter: rack ↔ pinion cutter"));
    EXPECT_TRUE(anyCaptionHas("i         external ↔ ring gear"));
    EXPECT_TRUE(anyCaptionHas("N0: where the line of action touches the cutter's base circle"));
    // The arrows' name is two wide characters: four columns, then six blanks.
    lab.language = LabLanguage::japanese;
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("矢印      移動"));
    EXPECT_TRUE(anyCaptionHas("space     再生 / 停止"));
    EXPECT_TRUE(anyCaptionHas("c         カッタ: ラック ↔ ピニオンカッタ"));
    EXPECT_TRUE(anyCaptionHas("i         外歯車 ↔ 内歯車"));
    lab.language = LabLanguage::english;
}

using Window = Lab;

// Where a recorded vertex shows, in pixels of a width × height window.
double pixelX(const glstub::Vertex& v, int width) { return (v.viewX + 1) / 2 * width; }
double pixelY(const glstub::Vertex& v, int height) { return (v.viewY + 1) / 2 * height; }

// The status line's caption record.
const glstub::Caption& statusCaption()
{
    for (const auto& c : glstub::recording().captions)
        if (labprobe::textOf(c).rfind("z ", 0) == 0) return c;
    return glstub::recording().captions.at(0);
}

TEST_F(Window, AWideWindowKeepsCirclesRoundTheFigureCentredAndCaptionsTheirSize)
{
    press("2");
    drawFrame();
    const glstub::Caption first800 = statusCaption();
    for (const auto& [width, height] : {std::pair{1000, 500}, std::pair{500, 900}}) {
        reshapeLab(width, height);
        drawFrame();
        // The tip circle: the solid circle of the largest radius.
        const glstub::Primitive* tip = nullptr;
        double largest = 0;
        for (const auto* p : glstub::primitivesOf(GL_LINE_LOOP)) {
            const double r = std::hypot(p->vertices[0].x, p->vertices[0].y);
            if (p->stipple == 0 && r > largest && p->lineWidth == 1) largest = r, tip = p;
        }
        ASSERT_NE(tip, nullptr);
        double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
        for (const auto& v : tip->vertices) {
            left = std::min(left, pixelX(v, width));
            right = std::max(right, pixelX(v, width));
            bottom = std::min(bottom, pixelY(v, height));
            top = std::max(top, pixelY(v, height));
        }
        // The white bands, as drawn: the top one's lower edge, the bottom one's upper edge.
        double bandBelow = height, bandAbove = 0;
        for (const auto* p : glstub::primitivesOf(GL_POLYGON)) {
            if (!sameColour(p->colour, {1, 1, 1, 1}) || p->vertices.size() != 4) continue;
            double low = 1e9, high = -1e9;
            for (const auto& v : p->vertices) low = std::min(low, pixelY(v, height)), high = std::max(high, pixelY(v, height));
            if (high >= height - 0.5) bandBelow = std::min(bandBelow, low);
            if (low <= 0.5) bandAbove = std::max(bandAbove, high);
        }
        EXPECT_NEAR(right - left, top - bottom, 1.0) << width << "×" << height;
        EXPECT_NEAR((left + right) / 2, width / 2.0, 0.5);
        EXPECT_NEAR((bottom + top) / 2, (bandBelow + bandAbove) / 2, 0.5);  // midway between the bands
        EXPECT_LT(top, bandBelow);                                         // and clear of them
        EXPECT_GT(bottom, bandAbove);
        // The status line sits as far from the top left corner as in the 800 × 800 window.
        const glstub::Caption& first = statusCaption();
        EXPECT_NEAR((first.viewX + 1) / 2 * width, (first800.viewX + 1) / 2 * 800, 1e-6);
        EXPECT_NEAR((1 - first.viewY) / 2 * height, (1 - first800.viewY) / 2 * 800, 1e-6);
    }
}

TEST_F(Window, TheBandsAreDrawnAfterTheFigureAndTheCaptionsAfterTheBands)
{
    press("3");
    drawFrame();
    const auto& calls = glstub::recording().calls;
    std::size_t lastFigureVertex = 0, firstBand = 0, statusCaption = 0;
    bool inBands = false;
    // The status line is the first caption after the figure's labels.
    std::size_t labels = 0;
    for (const std::string& t : captionTexts()) {
        if (t.rfind("z ", 0) == 0) break;
        ++labels;
    }
    std::size_t rasterPositions = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == "glOrtho" && i > 0) inBands = true;  // the switch to window pixels
        if (!inBands && calls[i].name == "glVertex2d") lastFigureVertex = i;
        if (inBands && !firstBand && calls[i].name == "glBegin" && calls[i].args[0] == GL_POLYGON) firstBand = i;
        if (calls[i].name == "glRasterPos2f" && rasterPositions++ == labels) statusCaption = i;
    }
    EXPECT_GT(labels, 4u);  // N1, N2, C, A, E at least
    EXPECT_LT(lastFigureVertex, firstBand);
    EXPECT_LT(firstBand, statusCaption);
    EXPECT_TRUE(anyCaptionHas("between the tip circles"));
}

}  // namespace
