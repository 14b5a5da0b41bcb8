// The pinion cutter and the ring gear in the lab: c, i and the entry switch them, the status
// line and the file names say them, view 1 rolls the cutter to the textbook's root circle, view 2
// draws the ring with its rim, and view 3 meshes the pinion inside the ring with each contact
// on both outlines and each interference in red, in both languages and within the window.
#include "lab_probe.h"

#include <cmath>
#include <tuple>

namespace {

using labprobe::anyCaptionHas;
using labprobe::captionTexts;
using labprobe::expectLabelNear;
using labprobe::Lab;
using labprobe::typeLine;

constexpr double pi = 3.14159265358979323846;

bool sameColour(const glstub::Colour& c, const Rgba& want)
{
    return c[0] == want.red && c[1] == want.green && c[2] == want.blue;
}

// The lines of the last frame drawn in colour at width, loops and strips alike.
std::vector<const glstub::Primitive*> linesOf(const Rgba& colour, float width)
{
    std::vector<const glstub::Primitive*> found;
    for (GLenum mode : {GL_LINE_LOOP, GL_LINE_STRIP})
        for (const auto* p : glstub::primitivesOf(mode))
            if (p->lineWidth == width && sameColour(p->colour, colour)) found.push_back(p);
    return found;
}

// A caption of the last frame that starts with text, drawn red.
bool saidInRed(const std::string& text)
{
    for (const auto& c : glstub::recording().captions)
        if (labprobe::textOf(c).rfind(text, 0) == 0 && sameColour(c.colour, undercutColour)) return true;
    return false;
}

using Switches = Lab;

TEST_F(Switches, CAndISwitchTheCutterAndTheRingAndTheStatusLineSaysWhich)
{
    press("c");
    drawFrame();
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);
    EXPECT_EQ(statusLine(), "z 10   m 1   α 20°   x 0.000   cutter z0 25 x0 0.000   mate z 10 x 0.000");
    press("c");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 10   m 1   α 20°   x 0.000   rack A   mate z 10 x 0.000");

    // Ten teeth cannot be a ring round a 25-tooth cutter: refused, said, the gear kept.
    press("i");
    drawFrame();
    EXPECT_FALSE(lab.gear.internal);
    EXPECT_TRUE(anyCaptionHas("refused: a ring gear needs more teeth than its cutter (25)"));
    typeLine("z 60");
    press("i");
    drawFrame();
    EXPECT_TRUE(lab.gear.internal);
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);  // a ring is cut by the pinion cutter
    EXPECT_EQ(statusLine(), "z 60 ring   m 1   α 20°   x 0.000   cutter z0 25 x0 0.000   mate z 10 x 0.000");
    for (char key : {'c', 'r'}) {  // no rack cuts a ring: the engine says why
        press(std::string(1, key));
        drawFrame();
        EXPECT_TRUE(anyCaptionHas("refused: a ring gear is cut by a pinion cutter, not by a rack")) << key;
        EXPECT_EQ(lab.gear.cutter, CutterKind::pinion) << key;
    }
    press("i");  // external again, still cut by the pinion cutter; r takes the next rack and cuts with it
    EXPECT_FALSE(lab.gear.internal);
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);
    press("r");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 60   m 1   α 20°   x 0.000   rack B   mate z 10 x 0.000");

    lab.language = LabLanguage::japanese;
    typeLine("internal on");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 60 内歯車   m 1   α 20°   x 0.000   カッタ z0 25 x0 0.000   相手歯車 z 10 x 0.000");
    lab.language = LabLanguage::english;
}

TEST_F(Switches, TheEntryTakesTheCuttersTeethItsShiftAndTheRing)
{
    typeLine("cutter 30");
    typeLine("cutterx 0.1");
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);
    EXPECT_EQ(lab.gear.pinionCutter.teeth, 30);
    EXPECT_EQ(lab.gear.pinionCutter.shift, 0.1);
    typeLine("z 70");
    typeLine("internal on");
    EXPECT_TRUE(lab.gear.internal);
    EXPECT_EQ(exportStem(), "ring-z70-m1-a20-x0-cutter-z30-x0.1");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 70 ring   m 1   α 20°   x 0.000   cutter z0 30 x0 0.100   mate z 10 x 0.000");

    struct Wrong {
        const char* line;
        const char* said;
    };
    for (const Wrong& w : {Wrong{"internal maybe", "'maybe' is neither on nor off"},
                           Wrong{"cutter 2.5", "'2.5' is not a whole number"}, Wrong{"cutterx no", "'no' is not a number"},
                           Wrong{"cutter 0", "the tooth count must be at least 1"},
                           Wrong{"cutter 70", "a ring gear needs more teeth than its cutter (70)"},
                           Wrong{"rack C", "a ring gear is cut by a pinion cutter, not by a rack"}}) {
        typeLine(w.line);
        EXPECT_TRUE(lab.entryOpen) << w.line;
        drawFrame();
        EXPECT_TRUE(anyCaptionHas(std::string("refused: ") + w.said)) << w.line;
        onLabKey(27, 0, 0);
        EXPECT_EQ(exportStem(), "ring-z70-m1-a20-x0-cutter-z30-x0.1") << w.line;
    }
    typeLine("internal off");
    typeLine("rack C");  // a rack named is the rack that cuts
    EXPECT_EQ(lab.gear.cutter, CutterKind::rack);
    EXPECT_EQ(exportStem(), "gear-z70-m1-a20-x0-C");
}

using Generation = Lab;

// The textbook's root circle of an unshifted gear cut by an unshifted pinion cutter: its
// addendum ha0·m below the pitch circle, or above it for a ring.
double textbookRootRadius(int z, bool ring)
{
    return (z + (ring ? 2 : -2) * standardPinionCutter.addendum) / 2.0;
}

// The cutter rolls, cuts the space, and reaches the root circle at the middle of the cut and
// no further; its flank and its rounding are each marked where they cut.
TEST_F(Generation, ThePinionCutterRollsToTheRootCircleAndCutsTheSpace)
{
    for (const bool ring : {false, true}) {
        typeLine(ring ? "z 60" : "z 10");
        typeLine(ring ? "internal on" : "cutter 25");
        const double rootRadius = textbookRootRadius(lab.gear.teeth, ring);
        double deepest = ring ? 0 : 1e9;
        bool flank = false, rounding = false;
        std::size_t cut = 0;
        for (int step = 0; step <= generationSteps; ++step) {
            drawFrame();
            for (const auto* p : linesOf(rackColour, 2))
                for (const auto& v : p->vertices)
                    deepest = ring ? std::max(deepest, std::hypot(v.x, v.y)) : std::min(deepest, std::hypot(v.x, v.y));
            for (const auto* p : glstub::primitivesOf(GL_LINE_STRIP)) {
                flank = flank || (p->lineWidth == 5 && sameColour(p->colour, flankCutColour));
                rounding = rounding || (p->lineWidth == 5 && sameColour(p->colour, roundingCutColour));
            }
            std::size_t now = 0;
            for (const Rgba& c : {involuteColour, filletColour, undercutColour})
                for (const auto* p : linesOf(c, 3)) now += p->vertices.size();
            EXPECT_GE(now, cut) << ring << " step " << step;  // the cut only grows, from nothing
            if (step == 0) {
                EXPECT_EQ(now, 0u) << ring;
            }
            cut = now;
            if (step == generationSteps / 2) {  // the cutter centred in the space: its pitch point on the line of centres
                const double r = lab.gear.teeth / 2.0, roll = generationRoll(step);
                expectLabelNear("C", {r * std::sin(roll), r * std::cos(roll)});
                expectLabelNear("N0", pinionCutterAt(lab.gear, roll).cutterInterferencePoint);
                const std::vector<std::string> texts = captionTexts();
                for (const char* name : {"cutter pitch", "cutter base", "cutter tip", "cutter root", "cutter form", "pitch",
                                         "tip", "root", "line of action"})
                    EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << ring << " " << name;
            }
            press("s");
        }
        EXPECT_NEAR(deepest, rootRadius, 1e-9) << ring;
        EXPECT_TRUE(flank) << ring;
        EXPECT_TRUE(rounding) << ring;
        EXPECT_GT(cut, figures.pointsPerTooth / 2) << ring;
        // The cutting pair of unshifted gears: at the pitch circles, a_w0 = m(z ± z0)/2.
        char pair[96];
        std::snprintf(pair, sizeof pair, "cutting pair: α_w0 20.000°   a_w0 %.4f mm (cutter z0 25, x0 0.000)",
                      (lab.gear.teeth + (ring ? -25 : 25)) / 2.0);
        EXPECT_TRUE(anyCaptionHas(pair)) << pair;
        EXPECT_EQ(anyCaptionHas("ring gear: tip circle inside the pitch circle, root circle outside"), ring);
        resetLab();
        changeGear(defaultGearParameters(10), 20, 0);
    }
}

// What the help says of the pinion cutter's fillet, measured: the gear's z_min with the
// standard cutter against the rack of its profile (the textbook's 2(h/m − x)/sin²α, h the depth
// of that rack's straight flank), and a fillet rounder than the rack's, drawn under it in view 2.
TEST_F(Generation, ThePinionCuttersFilletIsRounderAndUndercutsLessThanTheRacks)
{
    typeLine("z 20");
    typeLine("cutter 25");
    press("2");
    drawFrame();
    const double sinA = std::sin(20 * pi / 180);
    const double rackZMin = 2 * (standardPinionCutter.addendum - standardPinionCutter.tipRadius * (1 - sinA)) / (sinA * sinA);
    char line[128];
    std::snprintf(line, sizeof line, "z_min %.2f at x = 0.000 for this cutter; %.2f for the rack of its profile",
                  figures.numbers.minTeethWithoutUndercut, rackZMin);
    EXPECT_TRUE(anyCaptionHas(line)) << line;
    EXPECT_NEAR(figures.numbers.minTeethWithoutUndercut, 15.4, 0.05);  // as the help note says
    EXPECT_NEAR(rackZMin, 18.6, 0.05);
    EXPECT_TRUE(anyCaptionHas("orange: the same gear cut by the rack of the cutter's profile"));

    // The tightest bend of each fillet, from three neighbouring points of the drawn outlines.
    const auto tightest = [&](const Rgba& colour, float width) {
        double least = 1e9;
        const double below = figures.numbers.rootDiameter / 2 + 0.5;  // the fillets, not the tips
        for (const auto* p : linesOf(colour, width))
            for (std::size_t i = 1; i + 1 < p->vertices.size(); ++i) {
                const auto &a = p->vertices[i - 1], &b = p->vertices[i], &c = p->vertices[i + 1];
                if (std::hypot(b.x, b.y) > below) continue;
                const double cross = std::fabs((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x));
                if (cross < 1e-15) continue;
                least = std::min(least, std::hypot(a.x - b.x, a.y - b.y) * std::hypot(b.x - c.x, b.y - c.y) *
                                            std::hypot(c.x - a.x, c.y - a.y) / (2 * cross));
            }
        return least;
    };
    const double pinionCut = tightest(landColour, 2), rackCut = tightest(flankCutColour, 1);
    EXPECT_LT(rackCut, 1e8);
    EXPECT_GT(pinionCut, 1.1 * rackCut) << pinionCut << " " << rackCut;
}

using RingViews = Lab;

// View 2 of a ring gear of 60 teeth: the teeth between the textbook's tip and root circles
// (da = m(z − 2), df = da + 2·2.25m), the rim a circle of da + 6m round them.
TEST_F(RingViews, TheFinishedRingHasItsRimAndItsNumbers)
{
    typeLine("z 60");
    typeLine("internal on");
    press("2");
    drawFrame();
    const double da = 60 - 2.0, df = da + 2 * 2.25, rim = da + 6;
    double teethLeast = 1e9, teethMost = 0;
    int rims = 0;
    for (const auto* p : linesOf(landColour, 2)) {
        double least = 1e9, most = 0;
        for (const auto& v : p->vertices) least = std::min(least, std::hypot(v.x, v.y)), most = std::max(most, std::hypot(v.x, v.y));
        if (std::fabs(least - rim / 2) < 1e-9 && std::fabs(most - rim / 2) < 1e-9) {
            ++rims;
        } else {
            teethLeast = std::min(teethLeast, least);
            teethMost = std::max(teethMost, most);
        }
    }
    EXPECT_EQ(rims, 1);
    EXPECT_NEAR(teethLeast, da / 2, 1e-9);
    EXPECT_NEAR(teethMost, df / 2, 1e-9);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "da %.4f   df %.4f   db", da, df);
    EXPECT_TRUE(anyCaptionHas(numbers)) << numbers;
    std::snprintf(numbers, sizeof numbers, "   D %.4f", rim);
    EXPECT_TRUE(anyCaptionHas(numbers)) << numbers;
    EXPECT_TRUE(anyCaptionHas("no measurement over pins for a ring gear"));
    // The whole rim is in the fitted window, between the caption bands.
    for (const Vec2& edge : {Vec2{0, rim / 2}, Vec2{0, -rim / 2}, Vec2{rim / 2, 0}}) {
        const Point2 pixel = windowPixelOf(edge);
        EXPECT_GT(pixel.x, 0);
        EXPECT_LT(pixel.x, windowWidth());
        const LabView view = labView();
        EXPECT_GT(pixel.y, view.bottomBand);
        EXPECT_LT(pixel.y, windowHeight() - view.topBand);
    }
}

// The pinion inside the ring: each contact on both outlines, turned as view 3 draws them,
// one base pitch apart; the points labelled where the engine puts them.
TEST_F(RingViews, EveryContactOfThePinionInsideLiesOnBothOutlines)
{
    for (const auto& [ring, ringShift, pinion, pinionShift] :
         {std::tuple{60, 0.0, 50, 0.0}, std::tuple{40, 0.3, 29, 0.1}}) {
        resetLab();
        GearParameters gear = defaultGearParameters(ring);
        gear.shift = ringShift, gear.cutter = CutterKind::pinion, gear.internal = true;
        lab.mateTeeth = pinion, lab.mateShift = pinionShift;
        ASSERT_TRUE(changeGear(gear, 20, 0)) << lab.problem;
        ASSERT_TRUE(figures.paired) << figures.pairProblem;
        // Inside, the pinion turns with the ring by z/z1.
        EXPECT_GT(labprobe::checkContactsOnBothOutlines(static_cast<double>(ring) / pinion, "ring " + std::to_string(ring)),
                  2 * meshStepsPerPitch / 5);
        press("3");
        drawFrame();
        // N1 on the pinion's base circle, N2 on the ring's, as the textbooks number them.
        const InternalPair& q = figures.ringPair;
        for (const auto& [name, at] : {std::pair{"N1", q.interferencePinionPoint}, {"N2", q.interferenceRingPoint},
                                       {"C", q.pitchPoint}, {"A", q.contactStart}, {"E", q.contactEnd}})
            expectLabelNear(name, at);
        // f frames the path round C.
        press("f");
        drawFrame();
        EXPECT_GT(std::hypot(windowPixelOf(q.contactStart).x - windowPixelOf(q.contactEnd).x,
                             windowPixelOf(q.contactStart).y - windowPixelOf(q.contactEnd).y),
                  200);
    }
}

// The interferences of the internal pair in red with their reasons, and gone where the pair
// is free of them: a 10-tooth pinion's tips are run past by the ring's (N1); 52 teeth in 60
// catch the ring's tips as they leave a space, 51 do not, a difference of nine as the help says.
TEST_F(RingViews, EachInterferenceOfThePairIsRedWithItsReason)
{
    typeLine("z 60");
    typeLine("internal on");
    press("3");
    drawFrame();
    EXPECT_TRUE(saidInRed("involute interference: the ring's tips run")) << figures.ringPair.involute.reason;
    EXPECT_TRUE(anyCaptionHas("tip interference: none"));
    EXPECT_TRUE(anyCaptionHas("radial assembly: the pinion can be pushed in radially"));
    // N1 red, and the path red from A, past N1, to where the pinion's involute starts.
    bool redN1 = false;
    for (const auto* d : glstub::primitivesOf(GL_POINTS))
        for (const auto& v : d->vertices)
            redN1 = redN1 || (sameColour(d->colour, undercutColour) &&
                              std::hypot(v.x - figures.ringPair.interferencePinionPoint.x,
                                         v.y - figures.ringPair.interferencePinionPoint.y) < 1e-9);
    EXPECT_TRUE(redN1);
    const std::vector<const glstub::Primitive*> red = linesOf(undercutColour, 5);
    ASSERT_EQ(red.size(), 1u);
    const Vec2 a = figures.ringPair.contactStart, n1 = figures.ringPair.interferencePinionPoint;
    EXPECT_NEAR(std::hypot(red[0]->vertices[0].x - a.x, red[0]->vertices[0].y - a.y), 0, 1e-9);
    const auto& end = red[0]->vertices.back();
    EXPECT_GT(std::hypot(end.x - a.x, end.y - a.y), std::hypot(n1.x - a.x, n1.y - a.y));

    typeLine("mate 52");
    drawFrame();
    EXPECT_TRUE(saidInRed("tip interference: the pinion's tip corners catch the ring's tip corners"));
    EXPECT_TRUE(saidInRed("radial assembly: pushed in radially"));
    // The pinion's tip circle drawn red where it runs among the ring's teeth.
    const double ra1 = figures.mateNumbers.tipDiameter / 2, ra2 = figures.numbers.tipDiameter / 2;
    const std::vector<const glstub::Primitive*> arcs = linesOf(undercutColour, 3);
    ASSERT_FALSE(arcs.empty());
    for (const auto* a : arcs)
        for (const auto& v : a->vertices) {
            EXPECT_NEAR(std::hypot(v.x - figures.ringPair.pinionCentre.x, v.y - figures.ringPair.pinionCentre.y), ra1, 1e-9);
            EXPECT_GT(std::hypot(v.x, v.y), ra2);
        }
    press("m");  // the mate keys change the pinion
    EXPECT_EQ(lab.mateTeeth, 51);
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("tip interference: none"));
    EXPECT_TRUE(linesOf(undercutColour, 3).empty());
    EXPECT_TRUE(anyCaptionHas("pinion z 51   x 0.000 inside the ring"));
    typeLine("mate 60");  // no pinion as large as the ring
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("no meshing pair: the pinion needs fewer teeth than the ring gear"));

    lab.language = LabLanguage::japanese;
    typeLine("mate 52");
    drawFrame();
    EXPECT_TRUE(saidInRed("歯先干渉 (トロコイド干渉): 歯溝から抜けるときピニオンの歯先角が内歯車の歯先角に"));
    EXPECT_TRUE(anyCaptionHas("ピニオン z 52"));
    lab.language = LabLanguage::english;
}

}  // namespace
