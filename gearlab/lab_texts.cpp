// Every caption and message of the lab, in English and in Japanese, and the engine's reasons
// said in Japanese.
#include "gear_reasons.h"
#include "gearlab.h"

#include <GL/glut.h>

#include <cstdio>
#include <regex>
#include <iterator>
#include <utility>
#include <vector>

namespace {

// The arrow keys of a help line.
constexpr int left = specialKey(GLUT_KEY_LEFT), up = specialKey(GLUT_KEY_UP), right = specialKey(GLUT_KEY_RIGHT),
              down = specialKey(GLUT_KEY_DOWN);

const LabTexts english{
    {"generation", "finished gear", "meshing pair"},
    "rack", "(reduced)", "view", "step", "zoom", "mate",
    "finished", "playing",
    "undercut", "no undercut",
    "pointed tip: sa = %s mm",
    "cutting: straight flank", "cutting: tip rounding", "cutting: straight flank and tip rounding", "not cutting",
    "refused: ", "could not write ", "wrote ", "no meshing pair: ",
    "h: help", "Keys",
    {{{'+', '-'}, "+ / -", "z + 1 / - 1"},
     {{'>', '<'}, "> / <", "z + 10 / - 10"},
     {{'x', 'X'}, "x / X", "shift - / + 0.05"},
     {{'a', 'A'}, "a / A", "pressure angle 14.5° → 20° → 22.5° → 25°"},
     {{'r'}, "r", "rack A → B → C → D → straight, and cut with it"},
     {{'c'}, "c", "cutter: rack ↔ pinion cutter"},
     {{'i'}, "i", "external ↔ ring gear (cut by the pinion cutter)"},
     {{'m', 'M'}, "m / M", "the mate's teeth - / + 1"},
     {{'y', 'Y'}, "y / Y", "the mate's shift - / + 0.05"},
     {{'j', 'J'}, "j / J", "backlash - / + 0.05 mm"},
     {{13}, "Enter", "type a value: z 8, x 0.532, a 17.5, m 2, rack C, cutter 25, cutterx 0.1, internal on, mate 31, "
                     "matex -0.2, j 0.1"},
     {{'1', '2', '3'}, "1 2 3", "generation, finished gear, meshing pair"},
     {{' '}, "space", "play / pause"},
     {{'s'}, "s", "one step"},
     {{'0'}, "0", "back to the first step"},
     {{'w', 'W'}, "w / W", "zoom out / in"},
     {{left, up, right, down}, "arrows", "pan"},
     {{'f'}, "f", "fit the figure (view 3: the meshing zone, then the pair)"},
     {{'e'}, "e", "export the outline (SVG, DXF, CSV)"},
     {{'p'}, "p", "picture (PNG and SVG)"},
     {{'h'}, "h", "show / hide this help"},
     {{escapeKey, 'q'}, "Esc / q", "end (Esc closes an open entry first)"}},
    {"N: where the line of action touches the base circle; a tip cutting past it undercuts",
     "straight-flank limit: below it the rack's flank is rounded and cuts no involute",
     "form circle: where the involute starts; below it the flank is fillet or undercut"},
    "involute", "fillet", "undercut",
    {"pitch", "base", "tip", "root", "form"},
    "reference line", "rolling line", "x·m = %s mm", "reference line = rolling line (x = 0)",
    "line of action", "straight flank ends",
    "z_min %1$s at x = %2$s for this rack (straight flank %3$s m deep); %4$s when it is 1 m deep",
    "x_min %1$s at z = %2$s",
    "tooth thickness s", "tip thickness sa", "span", "no span measurement on the involute",
    " (%s before the backlash)", "M %s over pins of %s mm",
    "mate z %1$s   x %2$s",
    "centre distance a_w",
    "ε %s between the tip circles",
    "ε_eff %s where both flanks are involute",
    "ε_eff below 1: the teeth lose contact before the next pair takes over",
    "the mate's tip runs into this gear's fillet or undercut (below its form circle)",
    "this gear's tip runs into the mate's fillet or undercut (below its form circle)",
    "interference", "no interference", "base pitch pb",
    "A–E path of contact (green)   thick: both flanks involute   red: a tip past N or below a form circle   "
    "orange: contacts   purple: p_b   C: pitch point",
    "entry (Enter applies, Esc closes): ",
    "unknown name '%s': use z, x, a, m, rack, cutter, cutterx, internal, mate, matex, j or tol",
    "'%s' is not a number",
    "'%s' is not a whole number",
    "no rack '%s': use A, B, C, D or straight",
    "the pressure angle must lie above 0° and below 45°",
    "'%s' is neither on nor off",
    "gearlab shows at most %s teeth",
    "ring", "cutter z0 %s x0 %s",
    "cutting: cutter flank", "cutting: cutter flank and tip rounding",
    {"cutter pitch", "cutter base", "cutter tip", "cutter root", "cutter form"},
    {"rolling", "cutter rolling"},
    "cutting pair: α_w0 %1$s°   a_w0 %2$s mm (cutter z0 %3$s, x0 %4$s)",
    "z_min %1$s at x = %2$s for this cutter; %3$s for the rack of its profile",
    "ring gear: tip circle inside the pitch circle, root circle outside; a pinion cutter does not undercut it",
    "no measurement over pins for a ring gear",
    "pinion z %1$s   x %2$s inside the ring",
    "involute interference: %s", "tip interference: %s", "radial assembly: %s",
    "none", "the pinion can be pushed in radially",
    "orange: the same gear cut by the rack of the cutter's profile",
    {"N0: where the line of action touches the cutter's base circle; the gear's tips must not reach past it",
     "ring gear: the pinion's tips must leave its tooth spaces without catching the ring's tips; at 20° that takes "
     "some 9 teeth more in the ring than in the pinion",
     "pinion cutter: its tips roll on a circle, not a line, so the fillet comes out rounder and starts higher than "
     "the rack's, and it undercuts less (z_min 15.4 with 25 teeth, 18.6 for the rack of its profile)"},
};

const LabTexts japanese{
    {"創成", "完成歯車", "かみ合い"},
    "ラック", "(縮小)", "画面", "ステップ", "倍率", "相手歯車",
    "完了", "再生中",
    "切下げあり", "切下げなし",
    "歯先がとがっています: sa = %s mm",
    "切削中: 直線部", "切削中: 歯先丸み", "切削中: 直線部と歯先丸み", "切削なし",
    "変更できません: ", "書き出せません: ", "書き出し ", "かみ合いできません: ",
    "h: ヘルプ", "キー一覧",
    {{{'+', '-'}, "+ / -", "歯数 z + 1 / - 1"},
     {{'>', '<'}, "> / <", "歯数 z + 10 / - 10"},
     {{'x', 'X'}, "x / X", "転位係数 - / + 0.05"},
     {{'a', 'A'}, "a / A", "圧力角 14.5° → 20° → 22.5° → 25°"},
     {{'r'}, "r", "ラック A → B → C → D → 直線 (ラックで創成)"},
     {{'c'}, "c", "カッタ: ラック ↔ ピニオンカッタ"},
     {{'i'}, "i", "外歯車 ↔ 内歯車 (ピニオンカッタで創成)"},
     {{'m', 'M'}, "m / M", "相手歯車の歯数 - / + 1"},
     {{'y', 'Y'}, "y / Y", "相手歯車の転位係数 - / + 0.05"},
     {{'j', 'J'}, "j / J", "バックラッシ - / + 0.05 mm"},
     {{13}, "Enter", "値を入力: z 8, x 0.532, a 17.5, m 2, rack C, cutter 25, cutterx 0.1, internal on, mate 31, "
                     "matex -0.2, j 0.1"},
     {{'1', '2', '3'}, "1 2 3", "創成, 完成歯車, かみ合い"},
     {{' '}, "space", "再生 / 停止"},
     {{'s'}, "s", "1ステップ進む"},
     {{'0'}, "0", "最初のステップに戻る"},
     {{'w', 'W'}, "w / W", "縮小 / 拡大"},
     {{left, up, right, down}, "矢印", "移動"},
     {{'f'}, "f", "図を窓に合わせる (かみ合い: かみ合い域, 次に全体)"},
     {{'e'}, "e", "歯形の書き出し (SVG, DXF, CSV)"},
     {{'p'}, "p", "画面の保存 (PNG と SVG)"},
     {{'h'}, "h", "このヘルプの表示 / 非表示"},
     {{escapeKey, 'q'}, "Esc / q", "終了 (入力中の Esc は入力を閉じる)"}},
    {"N: 作用線が基礎円に接する点; 歯先がこれを越えて削ると切下げになる",
     "直線部の限界: これより下のラック歯面は丸みで, インボリュートを削らない",
     "有効円: インボリュートの始まる円; その下の歯面はフィレットか切下げ"},
    "インボリュート", "フィレット", "切下げ",
    {"ピッチ円", "基礎円", "歯先円", "歯底円", "有効円"},
    "基準線", "転がり線", "x·m = %s mm", "基準線 = 転がり線 (x = 0)",
    "作用線", "直線部の終わり",
    "z_min %1$s (x = %2$s, このラック: 直線部の深さ %3$s m); 深さ 1 m なら %4$s",
    "x_min %1$s (z = %2$s)",
    "歯厚 s", "歯先歯厚 sa", "またぎ歯厚", "インボリュート上でまたぎ歯厚は測れません",
    " (バックラッシ前 %s)", "オーバーピン寸法 M %s (ピン径 %s mm)",
    "相手歯車 z %1$s   x %2$s",
    "中心距離 a_w",
    "ε %s (歯先円の間)",
    "ε_eff %s (両歯面がインボリュートの間)",
    "ε_eff が 1 未満: 次の歯がかみ合う前に接触が切れます",
    "相手の歯先がこの歯車のフィレットか切下げに入ります (有効円の下)",
    "この歯車の歯先が相手のフィレットか切下げに入ります (有効円の下)",
    "干渉あり", "干渉なし", "法線ピッチ pb",
    "A–E かみ合い長さ (緑)   太線: 両歯面がインボリュート   赤: 歯先が N か有効円を越える   "
    "橙: 接触点   紫: p_b   C: ピッチ点",
    "入力 (Enter で適用, Esc で閉じる): ",
    "'%s' は使えない名前です: z, x, a, m, rack, cutter, cutterx, internal, mate, matex, j, tol のどれか",
    "'%s' は数ではありません",
    "'%s' は整数ではありません",
    "ラック '%s' はありません: A, B, C, D, straight のどれか",
    "圧力角は 0° より大きく 45° より小さくしてください",
    "'%s' は on でも off でもありません",
    "gearlab で表示できる歯数は %s までです",
    "内歯車", "カッタ z0 %s x0 %s",
    "切削中: カッタのインボリュート", "切削中: カッタのインボリュートと歯先丸み",
    {"カッタのピッチ円", "カッタの基礎円", "カッタの歯先円", "カッタの歯底円", "カッタの有効円"},
    {"かみ合いピッチ円", "カッタのかみ合いピッチ円"},
    "創成のかみ合い: α_w0 %1$s°   a_w0 %2$s mm (カッタ z0 %3$s, x0 %4$s)",
    "z_min %1$s (x = %2$s, このカッタ); 同じ歯形のラックなら %3$s",
    "内歯車: 歯先円はピッチ円の内側, 歯底円は外側; ピニオンカッタは切下げを作りません",
    "内歯車にはオーバーピン寸法はありません",
    "ピニオン z %1$s   x %2$s (内歯車の中)",
    "インボリュート干渉: %s", "歯先干渉 (トロコイド干渉): %s", "半径方向の組立て: %s",
    "なし", "ピニオンを半径方向から入れられます",
    "橙: 同じ歯形のラックで創成した歯形",
    {"N0: 作用線がカッタの基礎円に接する点; 歯車の歯先がこれを越えてはならない",
     "内歯車: ピニオンの歯先は内歯車の歯先にかからずに歯溝から抜けなければならない; 20° では歯数差がおよそ 9 必要",
     "ピニオンカッタ: 歯先は直線でなく円の上を転がるので, フィレットはラックより丸く高い位置から始まり, 切下げも少ない "
     "(25 歯で z_min 15.4, 同じ歯形のラックでは 18.6)"},
};

// The engine's reasons in Japanese, each number in the order the English pattern has them.
const std::pair<const char*, const char*> japaneseReasons[] = {
    {gearReason::fewTeeth, "歯数は 1 以上にしてください"},
    {gearReason::manyTeeth, "歯数は 100000 までです"},
    {gearReason::smallModule, "モジュールは 0.000001 mm 以上にしてください"},
    {gearReason::pressureAngle, "圧力角は 0° と 45° の間にしてください"},
    {gearReason::shiftRange, "転位係数は -1000000 と 1000000 の間にしてください"},
    {gearReason::addendumRange, "ラックの歯末のたけ係数は 0 から 1000000 までです"},
    {gearReason::dedendumRange, "ラックの歯元のたけ係数は 0 より大きく 1000000 までです"},
    {gearReason::tipRadiusRange, "ラックの歯先丸み係数は 0 から 1000000 までです"},
    {gearReason::toleranceRange, "許容差は 0.0000001 mm 以上にしてください"},
    {gearReason::backlashRange, "バックラッシは 0 以上で歯厚より小さくしてください"},
    {gearReason::tooLarge, "歯車が大きすぎて計算できません: 中心から %s mm あり, 1e100 mm を越えます"},
    {gearReason::belowPrecision, "この大きさの歯車では許容差を %s mm 以上にしてください: それより細かくは計算の精度が足りません"},
    {gearReason::overflow, "数値があふれます: 入力が大きすぎて計算できません"},
    {gearReason::rootInsideCentre, "歯底円が中心に届きます (歯底円直径 %s mm): 歯数か転位係数を大きくしてください"},
    {gearReason::roundingsOverlap, "ラックの歯先丸みが重なります: この圧力角と歯元のたけには丸みが大きすぎます; 入る最大は %s です"},
    {gearReason::rackPointed, "ラックの歯が全深さの前にとがります: この圧力角には歯元のたけが大きすぎます"},
    {gearReason::noStraightFlank, "ラックの歯先丸みで直線部が残りません"},
    {gearReason::tipInsideBase, "歯先円が基礎円の内側にあり, インボリュート歯面がありません"},
    {gearReason::pointed, "歯がとがります: 歯先円の下で両歯面が交わります (歯先歯厚 %s mm); 転位係数を小さくするか歯数を増やしてください"},
    {gearReason::undercutReachesTip, "フィレットと歯先円の間にインボリュートが残りません: 切下げが歯先に届きます; 転位係数か歯数を大きくしてください"},
    {gearReason::flankEndsAboveTip, "フィレットと歯先円の間にインボリュートが残りません: ラック直線部が歯先より上で終わります; 転位係数を小さくするか深いラックにしてください"},
    {gearReason::severed, "切下げが半径 %s mm で歯を切り抜きます: 両歯面の切下げが出会い, 歯が取れます; 転位係数か歯数を大きくしてください"},
    {gearReason::tooManyPoints, "歯形に約 %s 点が必要で, 上限 %s を越えます: 許容差を大きくしてください"},
    {gearReason::crossesItself, "歯形が半径 %s mm 付近で自分と交わります"},
    {gearReason::mateCannotBeCut, "相手歯車が創成できません: "},
    {gearReason::shiftsTooNegative, "歯が重なります: 二つの転位係数の和が負に大きすぎ, どの中心距離でもかみ合いません"},
    {gearReason::tipsReachRoots, "歯が重なります: 中心距離 %s mm では歯先円が相手の歯底円を越えます (歯先を低くする必要があります)"},
    {gearReason::cutterTeeth, "カッタの歯数は 1 から 100000 までです"},
    {gearReason::cutterShift, "カッタの転位係数は -1000000 と 1000000 の間にしてください"},
    {gearReason::cutterAddendum, "カッタの歯末のたけ係数は 0 より大きく 1000000 までです"},
    {gearReason::cutterDedendum, "カッタの歯元のたけ係数は 0 から 1000000 までです"},
    {gearReason::cutterTipRadius, "カッタの歯先丸み係数は 0 から 1000000 までです"},
    {gearReason::rimRange, "リム直径は 0 (既定) か正の数にしてください"},
    {gearReason::backlashByRack, "バックラッシはラックで削ります: ピニオンカッタの歯車には付けられません"},
    {gearReason::ringByRack, "内歯車はラックではなくピニオンカッタで削ります"},
    {gearReason::cutterRootInside, "カッタの歯底円が中心に届きます (歯底円直径 %s mm): 歯数を増やすか歯元のたけを小さくしてください"},
    {gearReason::cutterRoundingBelowBase, "カッタの歯先丸みが基礎円の下に入ります: 丸みを小さくするか歯数の多いカッタにしてください"},
    {gearReason::cutterTipInsideBase, "カッタの歯先円が基礎円の内側にあり, インボリュートがありません"},
    {gearReason::cutterRoundingsOverlap, "カッタの歯先丸みが重なります: このカッタには丸みが大きすぎます"},
    {gearReason::cutterPointed, "カッタの歯が歯先円の手前でとがります"},
    {gearReason::ringFewTeeth, "内歯車の歯数はカッタ (%s) より多くしてください"},
    {gearReason::cutterOverlaps, "カッタと歯車がどの中心距離でも重なります: 二つの転位係数の和が負に大きすぎます"},
    {gearReason::ringTipInsideBase, "内歯車の歯先円 (%s mm) が基礎円 (%s mm) の内側にあり, 歯がインボリュートの手前で終わります; 転位係数か歯数を大きくしてください"},
    {gearReason::tipsPastCutterN, "歯先がカッタの干渉点を越えます: カッタの基礎円より下の歯面が歯先を削ります; 歯数の多いカッタにしてください"},
    {gearReason::ringTipsPastCutterN, "内歯車の歯先がカッタの干渉点を %s mm 越えます: カッタの基礎円より下の歯面が削ります; 転位係数を大きくするか歯数の多いカッタにしてください"},
    {gearReason::cutterCutsRingTips, "カッタが抜けるとき歯先が内歯車の歯先を %s mm 削ります: 歯数の少ないカッタにしてください"},
    {gearReason::rimInsideRoot, "リム (直径 %s mm) は歯底円 (%s mm) の外にしてください"},
    {gearReason::pairNeedsRing, "この組には内歯車が必要です"},
    {gearReason::pinionCannotBeCut, "ピニオンが創成できません: "},
    {gearReason::pinionTeeth, "ピニオンの歯数は内歯車より少なくしてください"},
    {gearReason::ringShiftTooLow, "歯が重なります: 内歯車の転位係数がピニオンより小さすぎ, どの中心距離でもかみ合いません"},
    {gearReason::tipsMiss, "中心距離 %s mm ではピニオンの歯先が内歯車の歯に届きません"},
    {gearReason::ringTipsPastN1, "内歯車の歯先がピニオンの干渉点 N1 を %s mm 越え, 基礎円より下の歯面に食い込みます"},
    {gearReason::ringTipsBelowForm, "内歯車の歯先がピニオンの有効円 (直径 %2$s mm) より %1$s mm 下に入り, フィレットに食い込みます"},
    {gearReason::pinionTipsPastForm, "ピニオンの歯先が内歯車の有効円 (直径 %2$s mm) を %1$s mm 越え, フィレットに食い込みます"},
    {gearReason::tipInterference, "歯溝から抜けるときピニオンの歯先角が内歯車の歯先角に %s mm かかります (トロコイド干渉); 歯数差を大きくしてください"},
    {gearReason::radialAssembly, "半径方向に押し込むと歯先角が相手の歯に %s mm 入ります: ピニオンは軸方向から入れる必要があります"},
    // What the system says of a file that could not be written, most often.
    {"No such file or directory", "そのファイルやフォルダはありません"},
    {"Permission denied", "許可がありません"},
    {"No space left on device", "空き容量がありません"},
    {"Read-only file system", "読み出し専用のファイルシステムです"},
    {"Is a directory", "フォルダです"},
    {"File too large", "ファイルが大きすぎます"},
    {"Disk quota exceeded", "ディスク容量の割り当てを越えます"},
    {"Too many levels of symbolic links", "シンボリックリンクが多すぎます (ループ)"},
    {"not a regular file (a pipe or a device)", "通常のファイルではありません (パイプか装置)"},
};

// The pattern as a regular expression that captures its numbers.
std::regex patternExpression(const std::string& pattern)
{
    static const std::regex conversion("%[-+ 0#]*[0-9]*(\\.[0-9]+)?l?[dfgs]");
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    std::string expression;
    std::size_t at = 0;
    for (std::sregex_iterator i(pattern.begin(), pattern.end(), conversion), end; i != end; ++i) {
        expression += std::regex_replace(pattern.substr(at, i->position() - at), special, "\\$&");
        expression += "([-+0-9.e]+)";
        at = i->position() + i->length();
    }
    expression += std::regex_replace(pattern.substr(at), special, "\\$&");
    return std::regex(expression);
}

// Each reason's pattern as a regular expression, in the table's order: made once, since a
// frame may say several reasons and each would otherwise compile them all.
const std::vector<std::regex>& reasonExpressions()
{
    static const std::vector<std::regex> expressions = [] {
        std::vector<std::regex> made;
        for (const auto& reason : japaneseReasons) made.push_back(patternExpression(reason.first));
        return made;
    }();
    return expressions;
}

// UTF-8 to Latin-1 for GLUT's font, which is all there is when Unifont is missing.
std::string latin1(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size()) {
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
        } else {
            out += '?';
            while (i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) ++i;
        }
    }
    return out;
}

}  // namespace

const LabTexts& labTexts() { return lab.language == LabLanguage::japanese ? japanese : english; }

std::string labReason(const std::string& englishReason)
{
    if (lab.language != LabLanguage::japanese || englishReason.empty()) return englishReason;
    for (std::size_t r = 0; r < std::size(japaneseReasons); ++r) {
        const std::string pattern = japaneseReasons[r].first, translated = japaneseReasons[r].second;
        // A reason that ends in another one (the mate's): the prefix, then that one said too.
        if (pattern.back() == ' ' && englishReason.compare(0, pattern.size(), pattern) == 0)
            return translated + labReason(englishReason.substr(pattern.size()));
        std::smatch numbers;
        if (!std::regex_match(englishReason, numbers, reasonExpressions()[r])) continue;
        std::string said = translated;
        for (std::size_t i = 1; i < numbers.size(); ++i) {
            // %2$s where Japanese says the numbers in another order, else the next %s.
            const std::string numbered = "%" + std::to_string(i) + "$s";
            const std::size_t at = said.find(numbered);
            if (at != std::string::npos)
                said.replace(at, numbered.size(), numbers[i].str());
            else
                said.replace(said.find("%s"), 2, numbers[i].str());
        }
        return said;
    }
    // Reasons joined with "; " are said one by one.
    const std::size_t join = englishReason.find("; ");
    if (join != std::string::npos)
        return labReason(englishReason.substr(0, join)) + "; " + labReason(englishReason.substr(join + 2));
    return englishReason;  // a reason the table lacks, as given rather than not at all
}

std::string sayText(const char* pattern, const std::string& a, const std::string& b, const std::string& c,
                    const std::string& d)
{
    char text[512];
    std::snprintf(text, sizeof text, pattern, a.c_str(), b.c_str(), c.c_str(), d.c_str());
    return text;
}

void drawLabText(float x, float y, const std::string& text)
{
    if (unicodeFontLoaded())
        drawUnicodeText(x, y, text.c_str());
    else
        drawText(x, y, GLUT_BITMAP_HELVETICA_18, latin1(text).c_str());
}

double labTextWidth(const std::string& text)
{
    // GLUT's Helvetica is about 10 pixels a character where Unifont is missing.
    return unicodeFontLoaded() ? unicodeTextWidth(text.c_str()) : 10.0 * latin1(text).size();
}
