// The console set-up of cutdemo1: the shared tooth-count read and file offer, its own radii
// line, the mode-4 range and its own last two key lines.
#include "cutdemo1.h"

PhiRack phiRack{};

const KeyHelp phiModeKeys[2] = {
    {{'1', '2', '3', '4'}, "'1' '2' '3' '4'キーで", "歯先・歯元・切り下げ曲線・全歯形創成描画の選択"},
    {{'5'}, "'5'キーで", "全歯形のみ描画の選択"},
};

namespace {

bool fillPhiTables(const RackGear& gear) { return generatePhiTables(gear, &rackTables, &phiRack); }

}  // namespace

bool runPhiDialogue(std::FILE* in, std::FILE* out)
{
    if (!askForRackGear(in, out, fillPhiTables)) return false;
    const RackGear& g = rackGear;
    const int z = g.toothCount;
    // This edition ends the radii line itself and prints no roll line.
    std::fprintf(out, "\n歯数=%3d, 歯先円=%6.3f[mm], 歯元円=%6.3f[mm], 基礎円=%6.3f[mm]\n", z,
                 g.tipRadius, g.rootRadius, g.baseRadius);
    const double toDegrees = 180.0 / gearPi;
    std::fprintf(out, "\n(thmax thmin)=(%6.2f %6.2f) dth4=%7.4f", phiRack.thmax * toDegrees,
                 phiRack.thmin * toDegrees, phiRack.dth4 * toDegrees);

    finishRackDialogue(in, out, z, rackTables.profileLast, rackTables.toothProfile, phiModeKeys);
    return true;
}
