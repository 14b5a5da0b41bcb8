// Every caption and message of the lab, in English and in Japanese.
#include "gearlab.h"

#include <GL/glut.h>

namespace {

// The arrow keys of a help line.
constexpr int left = specialKey(GLUT_KEY_LEFT), up = specialKey(GLUT_KEY_UP), right = specialKey(GLUT_KEY_RIGHT),
              down = specialKey(GLUT_KEY_DOWN);

const LabTexts english{
    {"generation", "finished gear", "meshing pair"},
    "rack", "view", "step", "zoom",
    "finished", "playing",
    "undercut", "no undercut",
    "cutting: straight flank", "cutting: tip rounding", "cutting: straight flank and tip rounding", "not cutting",
    "refused: ", "no meshing pair: ",
    "h: help", "Keys",
    {{{'+', '-'}, "+ / -", "z + 1 / - 1"},
     {{'>', '<'}, "> / <", "z + 10 / - 10"},
     {{'x', 'X'}, "x / X", "shift - / + 0.05"},
     {{'a', 'A'}, "a / A", "pressure angle 14.5° → 20° → 25°"},
     {{'r'}, "r", "rack A → B → C → D → straight"},
     {{'m', 'M'}, "m / M", "the mate's teeth - / + 1"},
     {{'1', '2', '3'}, "1 2 3", "generation, finished gear, meshing pair"},
     {{' '}, "space", "play / pause"},
     {{'s'}, "s", "one step"},
     {{'0'}, "0", "back to the first step"},
     {{'w', 'W'}, "w / W", "zoom out / in"},
     {{left, up, right, down}, "arrows", "pan"},
     {{'f'}, "f", "fit the figure to the window"},
     {{'e'}, "e", "export the outline (SVG, DXF, CSV)"},
     {{'p'}, "p", "picture (PNG and SVG)"},
     {{'h'}, "h", "show / hide this help"},
     {{27, 'q'}, "Esc / q", "end"}},
    "involute", "fillet", "undercut",
    "N: interference point   dashed: end of the rack's straight flank",
    "tooth thickness s", "tip thickness sa", "span",
    "contact ratio ε", "centre distance a_w", "interference", "no interference", "base pitch pb", "mate",
    "wrote ", "cannot write: ",
};

const LabTexts japanese{
    {"創成", "完成歯車", "かみ合い"},
    "ラック", "画面", "ステップ", "倍率",
    "完了", "再生中",
    "切下げあり", "切下げなし",
    "切削中: 直線部", "切削中: 歯先丸み", "切削中: 直線部と歯先丸み", "切削なし",
    "変更できません: ", "かみ合いできません: ",
    "h: ヘルプ", "キー一覧",
    {{{'+', '-'}, "+ / -", "歯数 z + 1 / - 1"},
     {{'>', '<'}, "> / <", "歯数 z + 10 / - 10"},
     {{'x', 'X'}, "x / X", "転位係数 - / + 0.05"},
     {{'a', 'A'}, "a / A", "圧力角 14.5° → 20° → 25°"},
     {{'r'}, "r", "ラック A → B → C → D → 直線"},
     {{'m', 'M'}, "m / M", "相手歯車の歯数 - / + 1"},
     {{'1', '2', '3'}, "1 2 3", "創成, 完成歯車, かみ合い"},
     {{' '}, "space", "再生 / 停止"},
     {{'s'}, "s", "1ステップ進む"},
     {{'0'}, "0", "最初のステップに戻る"},
     {{'w', 'W'}, "w / W", "縮小 / 拡大"},
     {{left, up, right, down}, "矢印", "移動"},
     {{'f'}, "f", "図を窓に合わせる"},
     {{'e'}, "e", "歯形の書き出し (SVG, DXF, CSV)"},
     {{'p'}, "p", "画面の保存 (PNG と SVG)"},
     {{'h'}, "h", "このヘルプの表示 / 非表示"},
     {{27, 'q'}, "Esc / q", "終了"}},
    "インボリュート", "フィレット", "切下げ",
    "N: 干渉点   破線: ラック直線部の端",
    "歯厚 s", "歯先歯厚 sa", "またぎ歯厚",
    "かみ合い率 ε", "中心距離 a_w", "干渉あり", "干渉なし", "法線ピッチ pb", "相手歯車",
    "書き出し ", "書き出せません: ",
};

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

void drawLabText(float x, float y, const std::string& text)
{
    if (unicodeFontLoaded())
        drawUnicodeText(x, y, text.c_str());
    else
        drawText(x, y, GLUT_BITMAP_HELVETICA_18, latin1(text).c_str());
}
