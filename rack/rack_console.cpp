// The parts of the console set-up that every rack edition shares, and its state.
#include "rack_program.h"

RackGear rackGear{};
RackTables rackTables{};
RackView rackView{'1', 0, 0, 0, 0, 0.5};
RackEdition rackEdition{};

void resetRackSteps()
{
    rackView.addendumStep = rackView.dedendumStep = rackView.undercutStep = rackView.wholeStep = 0;
}

void resetRackView()
{
    resetRackSteps();
    rackView.zoom = 0.5;
}

bool askForRackGear(std::FILE* in, std::FILE* out, RackTableFiller fill)
{
    std::fputs("\nラックによる歯形創成.  歯末のたけ=m, 歯元のたけ=1.25m", out);
    std::fputs("\n(1) 歯数設定", out);
    const int previous = rackGear.toothCount;  // 0 before the first tooth count
    int z = previous;
    for (;;) {
        if (!readToothCount(in, out, "\nInput 歯数z= ", &z)) {
            if (previous < 1) {
                std::fputs("\n入力が終わりました：歯数が入力されないので終了します\n", out);
                std::fflush(out);
                return false;
            }
            z = previous;
            std::fprintf(out, "\n入力が終わりました：歯数z=%dのまま続けます", z);
            fill(makeRackGear(z));  // it fitted when it was first given
            break;
        }
        // The tables have a fixed size; a tooth count whose profile would overflow them is
        // refused here, never drawn or written.
        if (fill(makeRackGear(z))) break;
        std::fprintf(out, "\n歯数z=%dの歯形は%d点の表に収まりません：ほかの歯数を入力してください", z,
                     toothTableCapacity);
    }
    rackGear = makeRackGear(z);
    std::fputs("\nモジュールm=1[mm]", out);
    return true;
}

namespace {

void offerToothFile(std::FILE* in, std::FILE* out, int z, int last, const Point2 table[])
{
    std::fputs("\nファイルへ歯面データ書き込み？  yes:1  no:0", out);
    std::fflush(out);
    const int key = readKeyAfterLine(in);
    if (key == EOF)
        std::fputs("\n入力が終わりました：ファイルは書き込みません", out);
    else if (key == '1')
        writeToothFile(in, out, z, last, table);
}

}  // namespace

const KeyHelp rackKeys[3] = {
    {{'s'}, "'s'キーで    ", "描画継続"},
    {{'z'}, "'z'キーで    ", "歯数変更"},
    {{'w', 'W'}, "'w' 'W'キーで", "図の縮小拡大"},
};

void finishRackDialogue(std::FILE* in, std::FILE* out, int z, int last, const Point2 table[],
                        const KeyHelp modeKeys[2])
{
    offerToothFile(in, out, z, last, table);
    resetRackView();
    printKeyHelp(out, rackKeys, 3, "：");
    printKeyHelp(out, modeKeys, 2, "：");
    std::fflush(out);
}
