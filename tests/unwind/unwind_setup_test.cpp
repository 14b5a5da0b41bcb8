// The unwinding tables and the console text of unwinddemo.
#include "test_support.h"
#include "unwind.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double rb = std::cos(gearPi / 9);  // base radius of the pitch circle 1.0 at 20°

double radiusOf(const Point2& p) { return std::hypot(p.x, p.y); }

std::string setUpText()
{
    return runOnConsole("", [](std::FILE*, std::FILE* out) {
               runUnwindSetUp(out);
               return true;
           }).output;
}

TEST(UnwindTables, EntryZeroIsTheTopOfTheBaseCircleInBothTables)
{
    setUpText();
    for (const Point2& p : {unwindTables.tangentPoints[0], unwindTables.involutePoints[0]}) {
        EXPECT_DOUBLE_EQ(p.x, 0.0);
        EXPECT_DOUBLE_EQ(p.y, rb);
    }
    EXPECT_DOUBLE_EQ(unwindGear.baseRadius, rb);
}

// The string leaves the circle at T, tangent to it, and is rb·t long, unwound towards +x.
TEST(UnwindTables, EveryInvolutePointEndsATautStringUnwoundClockwise)
{
    setUpText();
    for (int i = 0; i <= unwindSteps; ++i) {
        const double t = i * 0.01;
        const Point2& tp = unwindTables.tangentPoints[i];
        const Point2& ip = unwindTables.involutePoints[i];
        EXPECT_NEAR(tp.x, rb * std::sin(t), 1e-12) << i;
        EXPECT_NEAR(tp.y, rb * std::cos(t), 1e-12) << i;
        EXPECT_NEAR(ip.x, tp.x - rb * t * std::cos(t), 1e-12) << i;
        EXPECT_NEAR(ip.y, tp.y + rb * t * std::sin(t), 1e-12) << i;
    }
}

TEST(UnwindTables, LastEntryLiesAtRadiusAbout3874)
{
    setUpText();
    EXPECT_NEAR(radiusOf(unwindTables.involutePoints[400]), 3.874, 5e-4);
    EXPECT_NEAR(radiusOf(unwindTables.involutePoints[400]), rb * std::sqrt(17.0), 1e-12);
}

TEST(UnwindTables, MeshPointCountStopsAtTheFirstPointReachingTheLimit)
{
    setUpText();
    const Point2* inv = unwindTables.involutePoints;
    EXPECT_EQ(unwindTables.meshPointCount, 252);
    EXPECT_LT(radiusOf(inv[251]), rb + 1.6);
    EXPECT_NEAR(radiusOf(inv[252]), 2.548, 5e-4);
    // A limit no entry reaches stops at N; one below the first entry counts none.
    EXPECT_EQ(countPointsWithin(inv, unwindSteps, 10.0), 400);
    EXPECT_EQ(countPointsWithin(inv, unwindSteps, 0.5), 0);
}

TEST(UnwindConsole, PrintsTheGearDataAndKeyListExactly)
{
    const std::string expected =
        "\n糸の巻き戻しによるインボリュート曲線創成"
        "\n(1) 歯数設定   歯数z0=4 "
        "\nモジュールm=1[mm]"
        "\n歯数=  4, 歯先円= 2.000[mm], 歯元円=-0.250[mm], 基礎円= 0.940[mm]"
        "\nピッチ点からの転がり量(αmax αmin)=( 46.32 -26.07)[deg]\n"
        "\n１対歯車のかみ合いアニメーション"
        "\nキーによるアニメーション選択"
        "\n's'        ：描画継続"
        "\n'1' '2' '3'：(1)基礎円固定,(2)基礎円回転，(3)基礎円転がり の選択"
        "\n'4'        ：(4)１歯だけの一対invlute歯車のかみ合い運動の選択"
        "\n'5' '6'    ：１対z歯数歯車かみ合い運動 (5):斜がけ糸あり(6):なしの選択\n"
        "\n'w' 'W'    ：図の縮小拡大"
        "\n'd' 'D'    ：(4),(5),(6)の場合，正逆回転の選択";
    EXPECT_EQ(setUpText(), expected);
    EXPECT_EQ(unwindGear.toothCount, 10);  // the summary's 4 gives way to the meshing gears' 10
}

TEST(UnwindConsole, TwoSetUpsGiveIdenticalTablesAndTextAndResetTheView)
{
    const std::string first = setUpText();
    const UnwindTables tables = unwindTables;
    unwindView = UnwindView{'5', 'D', 17, 23, 1.37, 0.2};
    EXPECT_EQ(setUpText(), first);
    for (int i = 0; i <= unwindSteps; ++i) {
        EXPECT_EQ(unwindTables.tangentPoints[i].x, tables.tangentPoints[i].x);
        EXPECT_EQ(unwindTables.tangentPoints[i].y, tables.tangentPoints[i].y);
        EXPECT_EQ(unwindTables.involutePoints[i].x, tables.involutePoints[i].x);
        EXPECT_EQ(unwindTables.involutePoints[i].y, tables.involutePoints[i].y);
    }
    EXPECT_EQ(unwindTables.meshPointCount, tables.meshPointCount);
    // Mode and turning angle are the keys' business; the rest starts afresh.
    EXPECT_EQ(unwindView.mode, '5');
    EXPECT_EQ(unwindView.rollAngle, 1.37);
    EXPECT_EQ(unwindView.direction, 'd');
    EXPECT_EQ(unwindView.fixedStep + unwindView.turnStep, 0);
    EXPECT_EQ(unwindView.zoom, 0.5);
}

}  // namespace
