// The pinion cutter and the ring gear in the lab: c, i and the entry switch them and the status
// line says which, view 1 rolls the cutter to the textbook's root circle, view 2 draws the ring
// with its rim, and view 3 meshes the pinion inside the ring, each contact on both outlines and
// each interference in red.
#include "lab_probe.h"

#include <cmath>
#include <tuple>

namespace {

using labprobe::anyCaptionHas;
using labprobe::captionTexts;
using labprobe::expectLabelNear;
using labprobe::Lab;
using labprobe::typeLine;

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

TEST_F(Switches, KeysAndEntrySwitchTheCutterAndTheRingAndTheStatusLineSaysWhich)
{
    press("c");
    drawFrame();
    EXPECT_EQ(statusLine(), "z 10   m 1   α 20°   x 0.000   cutter z0 25 x0 0.000   mate z 10 x 0.000");
    press("i");  // ten teeth cannot be a ring round 25: refused, said, the gear kept
    drawFrame();
    EXPECT_FALSE(lab.gear.internal);
    EXPECT_TRUE(anyCaptionHas("refused: a ring gear needs more teeth than its cutter (25)"));
    typeLine("z 70");
    typeLine("cutter 30");
    typeLine("cutterx 0.1");
    press("cci");  // back to the rack, the pinion cutter again, a ring
    drawFrame();
    EXPECT_EQ(statusLine(), "z 70 ring   m 1   α 20°   x 0.000   cutter z0 30 x0 0.100   mate z 10 x 0.000");
    EXPECT_EQ(exportStem(), "ring-z70-m1-a20-x0-cutter-z30-x0.1");
    // No rack cuts a ring, by key or by name; wrong values are said: the ring stays.
    for (const char* line : {"c", "r", "rack C", "internal maybe", "cutter 2.5", "cutter 70"}) {
        if (std::string(line).size() == 1) press(line); else typeLine(line);
        drawFrame();
        EXPECT_TRUE(anyCaptionHas("refused: ")) << line;
        if (lab.entryOpen) onLabKey(27, 0, 0);
        EXPECT_EQ(exportStem(), "ring-z70-m1-a20-x0-cutter-z30-x0.1") << line;
    }
    typeLine("internal off");  // external again, still the pinion cutter; r and rack take the rack
    EXPECT_EQ(lab.gear.cutter, CutterKind::pinion);
    press("r");
    EXPECT_EQ(exportStem(), "gear-z70-m1-a20-x0-B");
}

using Generation = Lab;

// The cutter rolls and cuts the space from nothing, each of its parts marked where it cuts,
// and reaches the textbook's root circle at the middle of the cut and no further: its
// addendum ha0·m inside the pitch circle, outside it for a ring.
TEST_F(Generation, ThePinionCutterRollsToTheRootCircleAndCutsTheSpace)
{
    for (const bool ring : {false, true}) {
        typeLine(ring ? "z 60" : "cutter 25");
        if (ring) press("i");
        const double rootRadius = lab.gear.teeth / 2.0 + (ring ? 1 : -1) * standardPinionCutter.addendum;
        double deepest = ring ? 0 : 1e9;
        bool flank = false, rounding = false;
        std::size_t cut = 0;
        for (int step = 0; step <= generationSteps; ++step, press("s")) {
            drawFrame();
            for (const auto* p : linesOf(rackColour, 2))
                for (const auto& v : p->vertices)
                    deepest = ring ? std::max(deepest, std::hypot(v.x, v.y)) : std::min(deepest, std::hypot(v.x, v.y));
            flank = flank || !linesOf(flankCutColour, 5).empty();
            rounding = rounding || !linesOf(roundingCutColour, 5).empty();
            std::size_t now = 0;
            for (const Rgba& c : {involuteColour, filletColour, undercutColour})
                for (const auto* p : linesOf(c, 3)) now += p->vertices.size();
            EXPECT_TRUE(now >= cut && (step > 0 || now == 0)) << ring << " step " << step;
            cut = now;
            if (step != generationSteps / 2) continue;
            // The cutter centred in the space: its pitch point on the line of centres.
            const double r = lab.gear.teeth / 2.0, roll = generationRoll(step);
            expectLabelNear("C", {r * std::sin(roll), r * std::cos(roll)});
            expectLabelNear("N0", pinionCutterAt(lab.gear, roll).cutterInterferencePoint);
            const std::vector<std::string> texts = captionTexts();
            for (const char* name : {"cutter pitch", "cutter base", "cutter tip", "cutter root", "cutter form"})
                EXPECT_NE(std::find(texts.begin(), texts.end(), name), texts.end()) << ring << " " << name;
        }
        EXPECT_NEAR(deepest, rootRadius, 1e-9) << ring;
        EXPECT_TRUE(flank && rounding) << ring;
        EXPECT_GT(cut, figures.pointsPerTooth / 2) << ring;
        resetLab();
        changeGear(defaultGearParameters(10), 20, 0);
    }
}

// What the panel and the help say of the pinion cutter: its z_min as the engine gives it (a
// display check: the engine's tests hold its limits to the rack's for a cutter of 10,000
// teeth) beside the textbook's 2(h/m − x)/sin²α for the rack of its profile, with h that
// rack's straight flank, worked out here.
TEST_F(Generation, ThePanelAndTheHelpGiveThePinionCuttersUndercutLimit)
{
    typeLine("cutter 25");
    drawFrame();
    const double sinA = std::sin(lab.gear.pressureAngle);
    const double rackZMin = 2 * (standardPinionCutter.addendum - standardPinionCutter.tipRadius * (1 - sinA)) / (sinA * sinA);
    char line[128];
    std::snprintf(line, sizeof line, "; %.2f for the rack of its profile", rackZMin);
    EXPECT_TRUE(anyCaptionHas(line)) << line;
    std::snprintf(line, sizeof line, "z_min %.1f with 25 teeth, %.1f for the rack of its profile",
                  figures.numbers.minTeethWithoutUndercut, rackZMin);
    EXPECT_NE(std::string(labTexts().cutterNotes[2]).find(line), std::string::npos) << line;
}

using RingViews = Lab;

// View 2 of a ring of 60 teeth: the teeth between the textbook's tip and root circles
// (da = m(z − 2), df = da + 2·2.25m), the rim a circle of da + 6m round them.
TEST_F(RingViews, TheFinishedRingHasItsRimAndItsNumbers)
{
    typeLine("z 60");
    press("i2");
    drawFrame();
    const double da = 60 - 2.0, df = da + 2 * 2.25, rim = da + 6;
    double least = 1e9, most = 0;
    int rims = 0;
    for (const auto* p : linesOf(landColour, 2)) {
        double low = 1e9, high = 0;
        for (const auto& v : p->vertices) low = std::min(low, std::hypot(v.x, v.y)), high = std::max(high, std::hypot(v.x, v.y));
        if (std::fabs(low - rim / 2) < 1e-9 && std::fabs(high - rim / 2) < 1e-9)
            ++rims;
        else
            least = std::min(least, low), most = std::max(most, high);
    }
    EXPECT_EQ(rims, 1);
    EXPECT_NEAR(least, da / 2, 1e-9);
    EXPECT_NEAR(most, df / 2, 1e-9);
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "da %.4f   df %.4f   db", da, df);
    EXPECT_TRUE(anyCaptionHas(numbers)) << numbers;
    EXPECT_TRUE(anyCaptionHas("no measurement over pins for a ring gear"));
}

// The pinion inside the ring: each contact on both outlines, the pinion turned with the ring
// by z/z1, one base pitch apart; the points labelled where the engine puts them.
TEST_F(RingViews, EveryContactOfThePinionInsideLiesOnBothOutlines)
{
    for (const auto& [ring, ringShift, pinion, pinionShift] : {std::tuple{60, 0.0, 50, 0.0}, std::tuple{40, 0.3, 29, 0.1}}) {
        GearParameters gear = defaultGearParameters(ring);
        gear.shift = ringShift, gear.cutter = CutterKind::pinion, gear.internal = true;
        lab.mateTeeth = pinion, lab.mateShift = pinionShift;
        ASSERT_TRUE(changeGear(gear, 20, 0)) << lab.problem;
        ASSERT_TRUE(figures.paired) << figures.pairProblem;
        EXPECT_GT(labprobe::checkContactsOnBothOutlines(static_cast<double>(ring) / pinion, "ring " + std::to_string(ring)),
                  2 * meshStepsPerPitch / 5);
        press("3");
        drawFrame();
        // N1 on the pinion's base circle, N2 on the ring's, as the textbooks number them.
        const InternalPair& q = figures.ringPair;
        for (const auto& [name, at] : {std::pair{"N1", q.interferencePinionPoint}, {"N2", q.interferenceRingPoint},
                                       {"C", q.pitchPoint}, {"A", q.contactStart}, {"E", q.contactEnd}})
            expectLabelNear(name, at);
    }
}

// Each interference of the pair red with its reason, and gone where the pair is free of it: the
// ring's tips run past a 10-tooth pinion's N1, from A on; 52 teeth in 60 catch the ring's tips
// as they leave a space (the pinion's tip circle red among the ring's teeth), 51 do not: a
// difference of nine, as the help says.
TEST_F(RingViews, EachInterferenceOfThePairIsRedWithItsReason)
{
    typeLine("z 60");
    press("i3");
    drawFrame();
    EXPECT_TRUE(saidInRed("involute interference: the ring's tips run")) << figures.ringPair.involute.reason;
    EXPECT_TRUE(anyCaptionHas("radial assembly: the pinion can be pushed in radially"));
    const std::vector<const glstub::Primitive*> red = linesOf(undercutColour, 5);
    ASSERT_EQ(red.size(), 1u);
    const Vec2 a = figures.ringPair.contactStart, n1 = figures.ringPair.interferencePinionPoint;
    const auto& from = red[0]->vertices.front(), & to = red[0]->vertices.back();
    EXPECT_NEAR(std::hypot(from.x - a.x, from.y - a.y), 0, 1e-9);
    EXPECT_GT(std::hypot(to.x - a.x, to.y - a.y), std::hypot(n1.x - a.x, n1.y - a.y));

    typeLine("mate 52");
    drawFrame();
    EXPECT_TRUE(saidInRed("tip interference: the pinion's tip corners catch the ring's tip corners"));
    EXPECT_TRUE(saidInRed("radial assembly: pushed in radially"));
    const double ra1 = figures.mateNumbers.tipDiameter / 2, ra2 = figures.numbers.tipDiameter / 2;
    ASSERT_FALSE(linesOf(undercutColour, 3).empty());
    for (const auto* arc : linesOf(undercutColour, 3))
        for (const auto& v : arc->vertices) {
            EXPECT_NEAR(std::hypot(v.x - figures.ringPair.pinionCentre.x, v.y - figures.ringPair.pinionCentre.y), ra1, 1e-9);
            EXPECT_GT(std::hypot(v.x, v.y), ra2);
        }
    press("m");  // the mate keys change the pinion
    drawFrame();
    EXPECT_TRUE(anyCaptionHas("pinion z 51   x 0.000 inside the ring"));
    EXPECT_TRUE(anyCaptionHas("tip interference: none"));
    EXPECT_TRUE(linesOf(undercutColour, 3).empty());
}

}  // namespace
