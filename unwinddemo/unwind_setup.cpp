// The gear data, the unwinding tables and the console text of unwinddemo. Plain maths and
// stdio: nothing here draws.
#include "unwind.h"

#include <cmath>

UnwindGear unwindGear{gearPi / 9, 1.0, 1.25, 4, 1.0, 2.0, -0.25, 0.0};
UnwindTables unwindTables{};
UnwindView unwindView{'1', 'd', 0, 0, 0.0, startZoom};

void unwindPoint(double t, Point2* tangent, Point2* involute)
{
    const double rb = unwindGear.baseRadius;
    const double phi = std::atan(t);  // the string's end lies this far behind the tangent point
    *tangent = {rb * std::sin(t), rb * std::cos(t)};
    const double r = rb / std::cos(phi);
    *involute = {r * std::sin(t - phi), r * std::cos(t - phi)};
}

int countPointsWithin(const Point2 points[], int n, double limitRadius)
{
    const double limit = limitRadius * limitRadius;
    int count = 0;
    while (count < n && points[count].x * points[count].x + points[count].y * points[count].y < limit)
        ++count;
    return count;
}

const KeyHelp unwindKeys[unwindKeyCount] = {
    {{'s'}, "'s'        ", "描画継続"},
    {{'1', '2', '3'}, "'1' '2' '3'", "(1)基礎円固定,(2)基礎円回転，(3)基礎円転がり の選択"},
    {{'4'}, "'4'        ", "(4)１歯だけの一対invlute歯車のかみ合い運動の選択"},
    {{'5', '6'}, "'5' '6'    ", "１対z歯数歯車かみ合い運動 (5):斜がけ糸あり(6):なしの選択"},
    {{'w', 'W'}, "'w' 'W'    ", "図の縮小拡大"},
    {{'d', 'D'}, "'d' 'D'    ", "(4),(5),(6)の場合，正逆回転の選択"},
    // Not in the printed list, but taken all the same.
    {{'z'}, "'z'        ", "設定の表示をやり直す"},
    {{escapeKey}, "Esc", "終了"},
};

void runUnwindSetUp(std::FILE* out)
{
    UnwindGear& g = unwindGear;
    std::fputs("\n糸の巻き戻しによるインボリュート曲線創成", out);
    g.pressureAngle = gearPi / 9;
    const double tanAlpha = std::tan(g.pressureAngle);
    const double cosAlpha = std::cos(g.pressureAngle);

    // The tooth count is announced, not asked: the four only shows in the summary.
    std::fputs("\n(1) 歯数設定", out);
    std::fputs("   歯数z0=4 ", out);
    g.toothCount = 4;
    g.pitchRadius = 1.0;
    g.tipRadius = g.pitchRadius + g.addendum;
    g.rootRadius = g.pitchRadius - g.dedendum;
    g.baseRadius = g.pitchRadius * cosAlpha;
    const double rollIn = std::atan2(g.dedendum * tanAlpha, g.pitchRadius);
    const double rollOut = std::acos(g.pitchRadius / g.tipRadius);

    std::fputs("\nモジュールm=1[mm]", out);
    std::fprintf(out, "\n歯数=%3d, 歯先円=%6.3f[mm], 歯元円=%6.3f[mm], 基礎円=%6.3f[mm]", g.toothCount,
                 g.tipRadius, g.rootRadius, g.baseRadius);
    // The roll line shows the arctangent of the outer roll and the tangent of the inner one:
    // the figures this dialogue has always printed, and the ones the class's tables carry.
    std::fprintf(out, "\nピッチ点からの転がり量(αmax αmin)=(%6.2f %6.2f)[deg]\n",
                 std::atan(rollOut) * degreesPerRadian, -std::tan(rollIn) * degreesPerRadian);

    unwindView.fixedStep = unwindView.turnStep = 0;
    unwindView.zoom = startZoom;
    for (int i = 0; i <= unwindSteps; ++i)
        unwindPoint(i * unwindAngleStep, &unwindTables.tangentPoints[i], &unwindTables.involutePoints[i]);

    std::fputs("\n１対歯車のかみ合いアニメーション", out);
    g.toothCount = 10;
    unwindTables.meshPointCount =
        countPointsWithin(unwindTables.involutePoints, unwindSteps, g.baseRadius + meshReach);
    unwindView.fixedStep = unwindView.turnStep = 0;
    unwindView.direction = 'd';

    std::fputs("\nキーによるアニメーション選択", out);
    printKeyHelp(out, unwindKeys, 4, "：");
    std::fputs("\n", out);  // a blank line before zoom and direction
    printKeyHelp(out, unwindKeys + 4, 2, "：");
    // The last line ends without a line break: flush so it shows before the window opens.
    std::fflush(out);
}

void setUpUnwinding() { runUnwindSetUp(stdout); }
