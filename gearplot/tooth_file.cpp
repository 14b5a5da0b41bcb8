// The tooth data file: a header, one "x,y" row per point and a Japanese trailer, saved
// through the atomic writer every export shares.
#include "gearplot.h"

bool writeToothData(std::FILE* out, int z, int m, const Point2 table[])
{
    bool ok = std::fprintf(out, "z=%d   m=%d\n", z, m) >= 0;
    for (int i = 0; i <= m && ok; ++i) ok = std::fprintf(out, "%lf,%lf\n", table[i].x, table[i].y) >= 0;
    ok = ok && std::fputs("\n/********************************************************/", out) >= 0;
    // The value written after m= is the last index; the file holds m + 1 rows.
    ok = ok && std::fprintf(out, "\nz=%d : 歯数  m=%d：インボリュート・切り下げを含むデータ数", z, m) >= 0;
    return ok;
}

bool saveToothData(const std::string& fileName, int z, int m, const Point2 table[],
                   std::string* reason)
{
    return saveFileAtomically(
        fileName, [&](std::FILE* f) { return writeToothData(f, z, m, table); }, reason);
}

void writeToothFile(std::FILE* in, std::FILE* out, int z, int m, const Point2 table[])
{
    std::fputs("\ndataz10,20,..（など歯数付加）へ書き込み", out);
    std::fputs("\nfilename=", out);
    std::fflush(out);
    std::string name;
    if (!readTrimmedLine(in, &name)) {
        std::fputs("\n入力が終わりました：ファイルは書き込みません", out);
        return;
    }
    std::string reason;
    if (!saveToothData(name, z, m, table, &reason))
        std::fprintf(out, "\nファイル「%s」に書き込めません：%s", name.c_str(), reason.c_str());
}
