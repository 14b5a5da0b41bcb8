// What cutdemo1 prints, as a user sees it: its own dialogue lines and the trace of its rack at
// φ = 0, for the tests to compare with.
#pragma once

#include "dialogue_texts.h"
#include "phi_geometry.h"

#include <cstdio>
#include <string>

namespace texts1 {

// The key list: the three shared lines and this edition's own last two.
const std::string keyList1 = texts::sharedKeys +
                             "\n'1' '2' '3' '4'キーで：歯先・歯元・切り下げ曲線・全歯形創成描画の選択"
                             "\n'5'キーで：全歯形のみ描画の選択";
// The radii line of z = 20, ended by its own line end; no roll line follows.
const std::string radii20 = texts::radii("\n歯数= 20, 歯先円=11.000[mm], 歯元円= 8.750[mm], 基礎円= 9.397[mm]\n");
// The mode-4 range of z = 20, printed after the generation.
const std::string range20 = "\n(thmax thmin)=( 24.62 -21.51) dth4= 0.9227";
const std::string title1 = "ラックカッタによる歯形創成　z:歯数　1,2,3,4：描画歯面変更，s:継続";

// One trace line, as the program prints it.
inline std::string traceLine(int I, const char* label, double x, double y)
{
    char line[800];  // room for two doubles of 300 digits
    std::snprintf(line, sizeof line, "\nI=%d  %s[]=(%7.4f %7.4f)", I, label, x, y);
    return line;
}

// The trace of the ten-tooth rack at φ = 0 (the first frame), whatever the tooth count.
inline std::string traceAtPhiZero()
{
    std::string expected;
    for (int I = -5; I <= 4; ++I) {
        const auto c = geometry::cornersAtPhiZero(I);
        expected += traceLine(I, "R2", c.R2.x, c.R2.y) + traceLine(I, "R1", c.R1.x, c.R1.y) +
                    traceLine(I, "r1", c.r1.x, c.r1.y) + traceLine(I, "r2", c.r2.x, c.r2.y) +
                    traceLine(I, "r3", c.r3.x, c.r3.y);
    }
    return expected;
}

}  // namespace texts1
