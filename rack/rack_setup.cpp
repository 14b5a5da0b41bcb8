// The console set-up of cutdemo3 (cutdemo2 shares it unchanged).
#include "rack_program.h"

#include <cmath>

const KeyHelp rollingModeKeys[2] = {
    {{'1', '2', '3'}, "'1' '2' '3'キーで", "歯先・歯元・切り下げ曲線・全歯形創成描画の選択"},
    {{'4', '5', '6'}, "'4' '5' '6'キーで", "ラックを転がす全歯の創成・歯車回転の全歯の創成の選択"},
};

namespace {

bool fillRollTables(const RackGear& gear) { return generateRackTables(gear, rollSteps(gear), &rackTables) >= 0; }

}  // namespace

bool runRackDialogue(std::FILE* in, std::FILE* out)
{
    if (!askForRackGear(in, out, fillRollTables)) return false;
    const RackGear& g = rackGear;
    const int z = g.toothCount;
    // The roll line shows the arctangent of the roll limit, not the limit itself: that is the
    // figure this dialogue has always given, and the one students' worked tables carry.
    const double shownRollLimit = std::atan(std::acos(g.pitchRadius / g.tipRadius));
    std::fprintf(out, "\n歯数=%3d, 歯先円=%6.3f[mm], 歯元円=%6.3f[mm], 基礎円=%6.3f[mm]", z,
                 g.tipRadius, g.rootRadius, g.baseRadius);
    std::fprintf(out, "\nピッチ点からの転がり量(αmax αmin)=(%6.2f %6.2f)[deg]\n",
                 shownRollLimit * degreesPerRadian, -g.undercutStartRoll * degreesPerRadian);

    finishRackDialogue(in, out, z, rackTables.profileLast, rackTables.toothProfile, rollingModeKeys);
    return true;
}
