// The lesson a teacher gives with the lab: every angle with every rack, exact values typed,
// the mate, the labels of the construction and of the path of contact, and captions that fit
// the window in both languages.
#include "gear_reasons.h"
#include "lab_probe.h"

#include <cmath>
#include <regex>

namespace {

using labprobe::anyCaptionHas;
using labprobe::captionTexts;
using labprobe::expectCaptionsFit;
using labprobe::expectLabelNear;
using labprobe::Lab;
using labprobe::typeLine;

using Entry = Lab;

TEST_F(Entry, ExactValuesAreTypedAndAppliedAsTheKeysWouldApplyThem)
{
    typeLine("z 8");
    typeLine("x 0.532");
    EXPECT_EQ(lab.gear.teeth, 8);
    EXPECT_DOUBLE_EQ(lab.gear.shift, 0.532);
    EXPECT_FALSE(lab.entryOpen);
    drawFrame();
    EXPECT_EQ(statusLine(), "z 8   m 1   α 20°   x 0.532   rack A   mate z 10 x 0.000");
    EXPECT_FALSE(anyCaptionHas("no undercut"));  // x_min of z = 8 is 0.53206: a hair more
    typeLine("x 0.5321");
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("no undercut"));

    typeLine("a 17.5");
    typeLine("m 2");
    typeLine("rack C");
    typeLine("mate 31");
    typeLine("matex -0.2");
    typeLine("tol 0.0005");
    EXPECT_EQ(lab.pressureDegrees, 17.5);
    EXPECT_DOUBLE_EQ(lab.gear.pressureAngle, 17.5 * 3.14159265358979323846 / 180);
    EXPECT_EQ(lab.gear.module, 2);
    EXPECT_STREQ(labRackNames[lab.rack], "C");
    EXPECT_EQ(lab.mateTeeth, 31);
    EXPECT_EQ(lab.mateShift, -0.2);
    EXPECT_EQ(lab.gear.tolerance, 0.0005);
    drawFrame();
    EXPECT_EQ(statusLine(), "z 8   m 2   α 17.5°   x 0.532   rack C   mate z 31 x -0.200");

    // Typing is edited with Backspace; Escape closes the entry and nothing else.
    onLabKey(13, 0, 0);
    for (char c : std::string("z 99")) onLabKey(static_cast<unsigned char>(c), 0, 0);
    onLabKey(8, 0, 0);
    EXPECT_EQ(lab.entry, "z 9");
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("z 9_"));
    onLabKey(27, 0, 0);
    EXPECT_FALSE(lab.entryOpen);
    EXPECT_EQ(lab.gear.teeth, 8);
}

TEST_F(Entry, AWrongValueSaysWhyAndLeavesTheEntryOpenToMend)
{
    struct Wrong {
        const char* line;
        const char* said;
    };
    for (const Wrong& w : {Wrong{"q 3", "unknown name 'q'"}, Wrong{"x abc", "'abc' is not a number"},
                           Wrong{"x 0x10", "'0x10' is not a number"}, Wrong{"z 8.5", "'8.5' is not a whole number"},
                           Wrong{"rack E", "no rack 'E'"}, Wrong{"a 50", "above 0° and below 45°"},
                           Wrong{"x 3", "the tooth is pointed"}, Wrong{"mate 2", "the mate cannot be cut"},
                           Wrong{"z 0", "at least 1"}}) {
        typeLine(w.line);
        EXPECT_TRUE(lab.entryOpen) << w.line;
        EXPECT_EQ(lab.entry, w.line);
        drawFrame();
        EXPECT_TRUE(anyCaptionHas("refused: ")) << w.line;
        EXPECT_TRUE(anyCaptionHas(w.said)) << w.line;
        onLabKey(27, 0, 0);
        EXPECT_EQ(lab.gear.teeth, 10) << w.line;
        EXPECT_EQ(lab.gear.shift, 0) << w.line;
    }
}

using Lesson = Lab;

// Every pressure angle of the lab with every named rack: cut, never refused; where the rack's
// own rounding does not fit, the full-round tip, said in the status line.
TEST_F(Lesson, EveryAngleWithEveryRackIsCutAndAReducedRoundingIsSaid)
{
    press("+++++ +++++");  // z 20
    int reduced = 0;
    for (double degrees : labPressureAngles)
        for (int rack = 0; rack < labRackCount; ++rack) {
            GearParameters g = lab.gear;
            g.pressureAngle = degrees * 3.14159265358979323846 / 180;
            ASSERT_TRUE(changeGear(g, degrees, rack)) << degrees << " " << labRackNames[rack] << ": " << lab.problem;
            BasicRack own{};
            basicRackNamed(labRackNames[rack], &own);
            const double largest = largestTipRadius(own, g.pressureAngle);
            EXPECT_EQ(lab.roundingReduced, own.tipRadius > largest) << degrees << " " << labRackNames[rack];
            EXPECT_DOUBLE_EQ(lab.gear.rack.tipRadius, std::min(own.tipRadius, largest));
            drawFrame();
            EXPECT_EQ(statusLine().find("(reduced)") != std::string::npos, lab.roundingReduced);
            reduced += lab.roundingReduced;
        }
    EXPECT_GE(reduced, 3);  // A and D at 25° at least
    // The keys reach them from the start: a and A through the angles, r through the racks.
    resetLab();
    changeGear(defaultGearParameters(10), 20, 0);
    for (char key : std::string("aaaarrrrraAAA")) {
        press(std::string(1, key));
        EXPECT_EQ(lab.problem, "") << key;
    }
}

TEST_F(Lesson, TheMateIsChangedLikeTheGearAndRefusedWhenItCannotBeCut)
{
    press("3");
    pressTimes('m', 7);  // 10 → 3
    EXPECT_EQ(lab.mateTeeth, 3);
    press("m");  // 2 teeth cannot be cut: refused, the mate kept
    EXPECT_EQ(lab.mateTeeth, 3);
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("refused: the mate cannot be cut"));
    press("YY");
    EXPECT_DOUBLE_EQ(lab.mateShift, 0.1);
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("mate z 3 x 0.100"));
    EXPECT_FALSE(anyCaptionHas("refused"));  // the next key that acts clears the refusal

    std::string message;
    const char* start[] = {"gearlab", "--mate", "2"};
    bool help = false;
    EXPECT_FALSE(parseLabOptions(3, start, &help, &message));
    EXPECT_NE(message.find("the mate cannot be cut"), std::string::npos) << message;
    const char* shifted[] = {"gearlab", "--mate", "25", "--mate-shift", "0.3"};
    ASSERT_TRUE(parseLabOptions(5, shifted, &help, &message)) << message;
    EXPECT_EQ(lab.mateShift, 0.3);
    // inv α_w = inv α + 2 tan α (x1 + x2)/(z1 + z2), solved here by bisection.
    const double a = lab.gear.pressureAngle, wanted = std::tan(a) - a + 2 * std::tan(a) * 0.3 / 35;
    double low = 0, high = 1.5;
    for (int i = 0; i < 100; ++i) (std::tan((low + high) / 2) - (low + high) / 2 < wanted ? low : high) = (low + high) / 2;
    EXPECT_NEAR(figures.pair.workingPressureAngle, low, 1e-12);
}

TEST_F(Lesson, ThePathOfContactIsLabelledAndFFramesTheMeshingZone)
{
    press("3f");
    drawFrame();
    const GearPair& p = figures.pair;
    expectLabelNear("N1", p.interferenceGearPoint);
    expectLabelNear("N2", p.interferenceMatePoint);
    expectLabelNear("C", p.pitchPoint);
    expectLabelNear("A", p.contactStart);
    expectLabelNear("E", p.contactEnd);
    EXPECT_TRUE(anyCaptionHas("p_b"));
    EXPECT_TRUE(anyCaptionHas("path of contact (green)"));
    // Framed: both ends of the path and the tip circles' crossings well inside the window.
    const double ra1 = figures.numbers.tipDiameter / 2, ra2 = figures.mateNumbers.tipDiameter / 2, aw = p.centreDistance;
    const double y = (ra1 * ra1 - ra2 * ra2 + aw * aw) / (2 * aw), x = std::sqrt(ra1 * ra1 - y * y);
    for (const Vec2& q : {p.contactStart, p.contactEnd, Vec2{x, y}, Vec2{-x, y}}) {
        const Point2 pixel = windowPixelOf(q);
        EXPECT_GT(pixel.x, 50);
        EXPECT_LT(pixel.x, windowWidth() - 50);
    }
    EXPECT_GT(std::hypot(windowPixelOf(p.contactStart).x - windowPixelOf(p.contactEnd).x,
                         windowPixelOf(p.contactStart).y - windowPixelOf(p.contactEnd).y),
              200);  // the zone fills the window, not a corner of it
    // 10/10 interferes: the effective ratio (measured on the outlines by the engine's tests)
    // below the tip circles' one, shown in red, with the reason.
    EXPECT_LT(p.effectiveContactRatio, 1);
    char effective[32];
    std::snprintf(effective, sizeof effective, "_eff %.4f", p.effectiveContactRatio);
    bool red = false;
    for (const auto& c : glstub::recording().captions)
        red = red || (labprobe::textOf(c).find(effective) != std::string::npos && c.colour[0] == 1 && c.colour[1] == 0);
    EXPECT_TRUE(red);
    EXPECT_TRUE(anyCaptionHas("the teeth lose contact"));
    EXPECT_TRUE(anyCaptionHas("the mate's tip runs into this gear's fillet or undercut"));
    press("f");  // and back to the whole pair
    EXPECT_FALSE(lab.meshZone);
}

TEST_F(Lesson, ViewOneNamesItsConstructionAndEveryCircle)
{
    press("X");  // a shift, so that the reference line leaves the rolling line
    pressTimes('s', 60);
    drawFrame();
    const std::vector<std::string> texts = captionTexts();
    for (const char* name : {"C", "N", "reference line", "rolling line", "x·m = 0.05 mm", "line of action",
                             "straight flank ends", "pitch", "base", "tip", "root", "form"})
        EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << name;
    const double roll = generationRoll(lab.step), r = figures.numbers.pitchDiameter / 2;
    expectLabelNear("C", {r * std::sin(roll), r * std::cos(roll)});
    // The textbook's 2(h/m − x)/sin²α for rack A's straight flank, h = 1.25 − 0.38 (1 − sin α).
    const double sinA = std::sin(lab.gear.pressureAngle), h = 1.25 - 0.38 * (1 - sinA);
    char zMin[64];
    std::snprintf(zMin, sizeof zMin, "z_min %.2f at x = 0.050 for this rack", 2 * (h - 0.05) / (sinA * sinA));
    EXPECT_TRUE(anyCaptionHas(zMin)) << zMin;
    EXPECT_TRUE(anyCaptionHas("x_min 0.415 at z = 10"));
}

TEST_F(Lesson, APointedTipIsDrawnAndSaidInOrange)
{
    typeLine("z 8");
    typeLine("x 0.55");
    ASSERT_EQ(lab.gear.shift, 0.55);
    drawFrame();
    bool orange = false;
    for (const auto& c : glstub::recording().captions)
        orange = orange || (labprobe::textOf(c) == "pointed tip: sa = 0.0189 mm" && c.colour[0] == warningColour.red &&
                            c.colour[1] == warningColour.green);
    EXPECT_TRUE(orange);
    EXPECT_FALSE(figures.outline.empty());
}

// Every caption inside the window at 800 pixels and more, in both languages, whatever it says:
// the lesson's views, the help, and a ring gear's and a pinion-cut gear's.
TEST_F(Lesson, EveryCaptionFitsTheWindow)
{
    for (LabLanguage language : {LabLanguage::english, LabLanguage::japanese})
        for (int width : {800, 1280}) {
            resetLab();
            lab.language = language;
            changeGear(defaultGearParameters(10), 20, 0);
            reshapeLab(width, 800);
            press("3f");
            typeLine("x 3");  // a long refusal, with the entry open beneath it
            drawFrame();
            expectCaptionsFit("view 3 and a refusal");
            onLabKey(27, 0, 0);
            press("1h");
            drawFrame();
            expectCaptionsFit("help over view 1");
            EXPECT_EQ(anyCaptionHas("覧"), language == LabLanguage::japanese);  // the Japanese help's title, キー一覧
            // A ring with a pinion failing every check, each with a long reason, in every view.
            press("h");
            typeLine("z 60");
            typeLine("internal on");
            typeLine("mate 52");
            for (const char* keys : {"1", "2", "3", "3f", "1h"}) {
                press(keys);
                pressTimes('s', 30);
                drawFrame();
                expectCaptionsFit(std::string("a ring, keys ") + keys);
            }
            press("h");
            typeLine("internal off");
            typeLine("z 10");
            press("2");  // the pinion cutter's gear over the rack's
            drawFrame();
            expectCaptionsFit("view 2 of a gear cut by the pinion cutter");
        }
    EXPECT_TRUE(anyCaptionHas("カッタ z0 25"));
}

// With --lang ja every message is Japanese: the engine's reasons too, each with its numbers.
TEST_F(Lesson, EveryReasonOfTheEngineIsSaidInJapanese)
{
    lab.language = LabLanguage::japanese;
    static const std::regex conversion("%[-+ 0#]*[0-9]*(\\.[0-9]+)?l?[dfgs]");
    for (const char* pattern : allGearReasons) {
        const std::string english = std::regex_replace(std::string(pattern), conversion, "12.5");
        const std::string said = labReason(english);
        EXPECT_NE(said, english) << pattern;
        EXPECT_LE(std::count(english.begin(), english.end(), '5'), std::count(said.begin(), said.end(), '5'))
            << "numbers lost: " << said;
        EXPECT_FALSE(std::regex_search(said, std::regex("[a-z]{4,}"))) << said;  // no English words left
    }
    typeLine("x 3");
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("変更できません: 歯がとがります"));
}

}  // namespace
