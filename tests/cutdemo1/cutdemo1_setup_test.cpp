// cutdemo1's set-up: the φ-stepped tables, the mode-4 range, and the console dialogue byte for
// byte, with the same handling of bad answers as the other rack editions.
#include "cutdemo1.h"
#include "cutdemo1_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace {

using namespace texts;
using namespace texts1;

ConsoleRun dialogue(const std::string& input)
{
    rackGear = RackGear{};
    return runOnConsole(input, [](std::FILE* in, std::FILE* out) { return runPhiDialogue(in, out); });
}

// The "(thmax thmin)" line of a dialogue's output, from its line start to the file offer.
std::string rangeLine(const std::string& output)
{
    const auto from = output.find("\n(thmax thmin)");
    const auto to = output.find(offer);
    if (from == std::string::npos || to == std::string::npos || to < from) return "";
    return output.substr(from, to - from);
}

// Whether segments a–b and c–d cross, worked out with orientations.
bool segmentsCross(Point2 a, Point2 b, Point2 c, Point2 d)
{
    const auto side = [](Point2 p, Point2 q, Point2 r) { return (q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x); };
    return side(a, b, c) * side(a, b, d) <= 0 && side(c, d, a) * side(c, d, b) < 0;
}

bool samePoint(const Point2& a, const Point2& b) { return a.x == b.x && a.y == b.y; }

class PhiDialogue : public InScratchDir {};

// ---- The worked values, for seven tooth counts ----

struct Worked {
    int z, addendumLast, dedendumLast, involuteLast;
    int undercutSegment, involuteSegment;  // the crossing; involuteSegment -1: none
    int walkStop;                          // where the closest-approach walk stopped
    int profileLast;
    const char* printedRange;
};

const Worked worked[] = {
    {1, 485, 54, 539, 70, 418, -1, 191, "\n(thmax thmin)=( 70.53 -62.35) dth4= 2.6576"},
    {3, 334, 61, 395, 129, 146, -1, 378, "\n(thmax thmin)=( 53.13 -53.83) dth4= 2.1392"},
    {10, 163, 65, 228, 100, 24, -1, 304, "\n(thmax thmin)=( 33.56 -33.85) dth4= 1.3481"},
    {17, 110, 66, 176, 73, 3, -1, 246, "\n(thmax thmin)=( 26.53 -23.98) dth4= 1.0100"},
    {20, 96, 67, 163, -1, -1, 66, 229, "\n(thmax thmin)=( 24.62 -21.51) dth4= 0.9227"},
    {30, 69, 51, 120, -1, -1, 46, 166, "\n(thmax thmin)=( 20.36 -14.92) dth4= 0.7056"},
    {100, 24, 16, 40, -1, -1, 13, 53, "\n(thmax thmin)=( 11.36  -4.25) dth4= 0.3122"},
};

TEST_F(PhiDialogue, WorkedValuesOfSevenToothCountsAreExact)
{
    for (const Worked& w : worked) {
        const ConsoleRun run = dialogue(std::to_string(w.z) + "\n0\n");
        ASSERT_TRUE(run.result) << w.z;
        const RackTables& tb = rackTables;
        EXPECT_EQ(tb.addendumLast, w.addendumLast) << w.z;
        EXPECT_EQ(tb.dedendumLast, w.dedendumLast) << w.z;
        EXPECT_EQ(tb.involuteLast, w.involuteLast) << w.z;
        EXPECT_EQ(tb.undercutLast, 150) << w.z;
        EXPECT_EQ(tb.profileLast, w.profileLast) << w.z;
        EXPECT_EQ(rangeLine(run.output), w.printedRange) << w.z;

        const double phi0 = geometry::phi0(w.z / 2.0);
        int leaves;  // the undercut index at which the profile leaves the undercut curve
        if (w.involuteSegment >= 0) {
            const int i = w.undercutSegment, j = w.involuteSegment;
            EXPECT_TRUE(segmentsCross(tb.undercutCurve[i], tb.undercutCurve[i + 1], tb.involuteProfile[j],
                                      tb.involuteProfile[j + 1])) << w.z;
            EXPECT_TRUE(samePoint(tb.toothProfile[i], tb.undercutCurve[i])) << w.z;
            EXPECT_TRUE(samePoint(tb.toothProfile[i + 1], tb.involuteProfile[j + 1])) << w.z;
            leaves = i;
        } else {
            const int k = w.walkStop;
            EXPECT_TRUE(samePoint(tb.toothProfile[k - 1], tb.undercutCurve[k - 1])) << w.z;
            EXPECT_TRUE(samePoint(tb.toothProfile[k], tb.involuteProfile[0])) << w.z;
            leaves = k;
        }
        EXPECT_DOUBLE_EQ(phiRack.thmin, -phi0 - 0.005 * leaves) << w.z;
        EXPECT_DOUBLE_EQ(phiRack.thmax, std::acos(w.z / 2.0 / (w.z / 2.0 + 1))) << w.z;
        EXPECT_DOUBLE_EQ(phiRack.dth4, (phiRack.thmax - phiRack.thmin) / 50) << w.z;
    }
}

// ---- The tables themselves ----

TEST(PhiTables, TipAndRootSidesAreSteppedInTheAngleAtTheGearCentre)
{
    const RackGear gear = makeRackGear(20);
    static RackTables tb;
    PhiRack rack{};
    generatePhiTables(gear, &tb, &rack);
    const double rp = 10;
    for (int i : {1, 40, tb.addendumLast}) {
        const double t = std::tan(0.0025 * i);
        EXPECT_NEAR(tb.addendumRackPoints[i].x, geometry::reference(rp, t).x, 1e-12) << i;
        EXPECT_NEAR(tb.addendumFlank[i].x, geometry::flankContact(rp, t).x, 1e-12) << i;
        EXPECT_NEAR(tb.addendumFlank[i].y, geometry::flankContact(rp, t).y, 1e-12) << i;
    }
    for (int j : {1, 30, tb.dedendumLast}) {
        const double t = std::tan(-0.005 * j);
        EXPECT_NEAR(tb.dedendumFlank[j].x, geometry::flankContact(rp, t).x, 1e-12) << j;
        EXPECT_NEAR(tb.dedendumFlank[j].y, geometry::flankContact(rp, t).y, 1e-12) << j;
    }
    // The tip side ends with the first point on or beyond the tip circle; the merged profile
    // is clipped onto it.
    EXPECT_GE(geometry::fromCentre(rp, {tb.addendumFlank[tb.addendumLast].x, tb.addendumFlank[tb.addendumLast].y}), 11);
    EXPECT_LT(geometry::fromCentre(rp, {tb.addendumFlank[tb.addendumLast - 1].x, tb.addendumFlank[tb.addendumLast - 1].y}), 11);
    const Point2 tip = tb.involuteProfile[tb.involuteLast];
    EXPECT_NEAR(geometry::fromCentre(rp, {tip.x, tip.y}), 11, 1e-9);
    EXPECT_EQ(tb.involuteProfile[tb.dedendumLast].x, 0.0);  // the pitch point
    EXPECT_EQ(tb.involuteProfile[tb.dedendumLast].y, 0.0);
}

TEST(PhiTables, TheUndercutStartsOnTheRootCircleLeftOfThePitchPoint)
{
    const RackGear gear = makeRackGear(20);
    static RackTables tb;
    PhiRack rack{};
    generatePhiTables(gear, &tb, &rack);
    const double rp = 10;
    EXPECT_DOUBLE_EQ(rack.phi0, geometry::phi0(rp));
    const Point2 first = tb.undercutCurve[0];
    EXPECT_NEAR(first.x, -0.3980, 5e-5);  // on the line from the centre through the contact
    EXPECT_NEAR(first.y, -1.2591, 5e-5);
    EXPECT_NEAR(geometry::fromCentre(rp, {first.x, first.y}), rp - 1.25, 1e-12);
    for (int k : {0, 75, 150}) {
        const auto corner = geometry::tipCorner(rp, std::tan(-rack.phi0 - 0.005 * k));
        EXPECT_NEAR(tb.undercutCurve[k].x, corner.x, 1e-12) << k;
        EXPECT_NEAR(tb.undercutCurve[k].y, corner.y, 1e-12) << k;
    }
}

TEST(PhiTables, EveryTableFitsForTheSmallestAndTheLargestToothCount)
{
    for (int z : {1, 2, 2147483647}) {
        static RackTables tb;
        PhiRack rack{};
        generatePhiTables(makeRackGear(z), &tb, &rack);
        EXPECT_LE(tb.involuteLast, 600) << z;
        EXPECT_LE(tb.profileLast, 600) << z;
        EXPECT_GT(rack.thmax, rack.thmin) << z;
        EXPECT_TRUE(std::isfinite(rack.dth4)) << z;
    }
}

// ---- The dialogue ----

TEST_F(PhiDialogue, ToothCountTwentyIsExactByteForByte)
{
    rackView = RackView{'3', 7, 8, 9, 10, 0.405};
    const ConsoleRun run = dialogue("20\n0\n");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.output, banner + prompt + radii20 + range20 + offer + keyList1);
    // The set-up leaves the mode to its caller and restarts every step at zoom 0.5.
    EXPECT_EQ(rackView.mode, '3');
    EXPECT_EQ(rackView.addendumStep + rackView.dedendumStep + rackView.undercutStep + rackView.wholeStep, 0);
    EXPECT_EQ(rackView.zoom, 0.5);
}

TEST_F(PhiDialogue, KeyOneWritesTheProfileToTheNamedFile)
{
    const ConsoleRun run = dialogue("20\n1\ndataz20\n");
    EXPECT_EQ(run.output, banner + prompt + radii20 + range20 + offer + fileQuestion + keyList1);
    const std::string file = readWholeFile("dataz20");
    ASSERT_EQ(file.rfind("z=20   m=229\n", 0), 0u);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 1 + 230 + 2);  // header, rows, rule, trailer
    // The first row is the deepest point of the tooth space, where the undercut starts.
    const auto first = geometry::tipCorner(10, std::tan(-geometry::phi0(10)));
    char row[64];
    std::snprintf(row, sizeof row, "\n%lf,%lf\n", first.x, first.y);
    EXPECT_EQ(file.find(row), std::string("z=20   m=229").size());
    const std::string trailer = "\nz=20 : 歯数  m=229：インボリュート・切り下げを含むデータ数";
    EXPECT_EQ(file.substr(file.size() - trailer.size()), trailer);
}

TEST_F(PhiDialogue, BadToothCountsAreAskedAgain)
{
    const ConsoleRun run = dialogue("0\nabc\n20\n0\n");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.output, banner + prompt + "\n歯数は1以上の整数で入力してください" + prompt +
                              "\n歯数は数字で入力してください（1以上の整数）" + prompt + radii20 + range20 +
                              offer + keyList1);
}

TEST_F(PhiDialogue, EndOfInputAtStartUpEndsTheSetUpWithoutGenerating)
{
    const ConsoleRun none = dialogue("");
    EXPECT_FALSE(none.result);
    EXPECT_EQ(none.output, banner + prompt + "\n入力が終わりました：歯数が入力されないので終了します\n");
}

TEST_F(PhiDialogue, AFileThatCannotBeWrittenIsReportedAndTheSetUpGoesOn)
{
    const ConsoleRun run = dialogue("20\n1\nno-such-dir/dataz20\n");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.output, banner + prompt + radii20 + range20 + offer + fileQuestion +
                              "\nファイル「no-such-dir/dataz20」に書き込めません：No such file or directory" + keyList1);
}

}  // namespace
