// The console texts of the rack dialogue as a user sees them, for the tests to compare with.
#pragma once

#include <string>

namespace texts {

const std::string banner =
    "\nラックによる歯形創成.  歯末のたけ=m, 歯元のたけ=1.25m"
    "\n(1) 歯数設定";
const std::string prompt = "\nInput 歯数z= ";
const std::string offer = "\nファイルへ歯面データ書き込み？  yes:1  no:0";
const std::string fileQuestion = "\ndataz10,20,..（など歯数付加）へ書き込み\nfilename=";
const std::string sharedKeys =
    "\n's'キーで    ：描画継続"
    "\n'z'キーで    ：歯数変更"
    "\n'w' 'W'キーで：図の縮小拡大";
const std::string keyList = sharedKeys +
                            "\n'1' '2' '3'キーで：歯先・歯元・切り下げ曲線・全歯形創成描画の選択"
                            "\n'4' '5' '6'キーで：ラックを転がす全歯の創成・歯車回転の全歯の創成の選択";

// The module line and the radii line, without its line end.
inline std::string radii(const char* values) { return std::string("\nモジュールm=1[mm]") + values; }

// What follows the tooth count in cutdemo3's dialogue, up to the file offer.
inline std::string circles(const char* values, const char* rolls)
{
    return radii(values) + "\nピッチ点からの転がり量(αmax αmin)=(" + rolls + ")[deg]\n";
}

const std::string circles20 =
    circles("\n歯数= 20, 歯先円=11.000[mm], 歯元円= 8.750[mm], 基礎円= 9.397[mm]", " 23.25  -2.61");

const std::string title3 = "ラックカッタによる歯形創成　z:歯数　1,2,3,4,5,6：創成画面変更，s:継続";

}  // namespace texts
