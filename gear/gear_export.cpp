// The SVG, DXF and CSV writers of the outline, and the atomic file wrapper they share.
#include "gear_export.h"

#include "gearplot.h"

namespace {

constexpr double marginShare = 0.03;          // of the tip radius, round the picture
constexpr double outlineStrokeShare = 0.002;  // of the tip diameter
constexpr double circleStrokeShare = 0.001;   // of the tip diameter

// A DXF group: its code on one line, its value on the next.
bool dxfGroup(std::FILE* out, int code, const char* value) { return std::fprintf(out, "%d\n%s\n", code, value) >= 0; }

bool dxfNumber(std::FILE* out, int code, double value) { return std::fprintf(out, "%d\n%.6f\n", code, value) >= 0; }

bool dxfHandle(std::FILE* out, int handle) { return std::fprintf(out, "5\n%X\n", handle) >= 0; }

bool dxfLayer(std::FILE* out, int handle, const char* name, int colour)
{
    bool ok = dxfGroup(out, 0, "LAYER") && dxfHandle(out, handle) && dxfGroup(out, 100, "AcDbSymbolTableRecord") &&
              dxfGroup(out, 100, "AcDbLayerTableRecord") && dxfGroup(out, 2, name) && dxfGroup(out, 70, "0");
    ok = ok && std::fprintf(out, "62\n%d\n", colour) >= 0 && dxfGroup(out, 6, "CONTINUOUS");
    return ok;
}

}  // namespace

const char* outlinePartName(OutlinePart part)
{
    switch (part) {
    case OutlinePart::involute: return "involute";
    case OutlinePart::fillet: return "fillet";
    case OutlinePart::tip: return "tip";
    case OutlinePart::root: return "root";
    case OutlinePart::rim: return "rim";
    }
    return "?";
}

bool writeOutlineSvg(std::FILE* out, const GearNumbers& numbers, const std::vector<OutlinePoint>& outline)
{
    const double da = numbers.tipDiameter;
    const double half = da / 2 * (1 + 2 * marginShare);
    const double size = 2 * half;
    bool ok = std::fprintf(out,
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%.6fmm\" height=\"%.6fmm\" "
                           "viewBox=\"%.6f %.6f %.6f %.6f\">\n",
                           size, size, -half, -half, size, size) >= 0;
    // SVG's y grows downwards: every y is negated so the gear is seen as drawn, not mirrored.
    ok = ok && std::fprintf(out, "<path id=\"gear-outline\" fill=\"none\" stroke=\"#000000\" "
                                 "stroke-width=\"%.6f\" d=\"", da * outlineStrokeShare) >= 0;
    for (std::size_t i = 0; i < outline.size() && ok; ++i)
        ok = std::fprintf(out, "%s%.6f %.6f", i == 0 ? "M" : " L", outline[i].at.x, -outline[i].at.y) >= 0;
    ok = ok && std::fputs(" Z\"/>\n", out) >= 0;
    ok = ok && std::fprintf(out, "<g id=\"reference-circles\" fill=\"none\" stroke-width=\"%.6f\">\n",
                            da * circleStrokeShare) >= 0;
    ok = ok && std::fprintf(out, "<circle id=\"pitch-circle\" cx=\"0\" cy=\"0\" r=\"%.6f\" stroke=\"#0000ff\"/>\n",
                            numbers.pitchDiameter / 2) >= 0;
    ok = ok && std::fprintf(out, "<circle id=\"base-circle\" cx=\"0\" cy=\"0\" r=\"%.6f\" stroke=\"#00a000\"/>\n",
                            numbers.baseDiameter / 2) >= 0;
    ok = ok && std::fputs("</g>\n</svg>\n", out) >= 0;
    return ok;
}

bool writeOutlineDxf(std::FILE* out, const GearNumbers& numbers, const std::vector<OutlinePoint>& outline)
{
    bool ok = dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "HEADER") && dxfGroup(out, 9, "$ACADVER") &&
              dxfGroup(out, 1, "AC1015") && dxfGroup(out, 9, "$INSUNITS") && dxfGroup(out, 70, "4") &&
              dxfGroup(out, 9, "$MEASUREMENT") && dxfGroup(out, 70, "1") && dxfGroup(out, 9, "$HANDSEED") &&
              dxfGroup(out, 5, "100") && dxfGroup(out, 0, "ENDSEC");
    ok = ok && dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "TABLES") && dxfGroup(out, 0, "TABLE") &&
         dxfGroup(out, 2, "LAYER") && dxfHandle(out, 2) && dxfGroup(out, 100, "AcDbSymbolTable") &&
         dxfGroup(out, 70, "3") && dxfLayer(out, 0x10, "0", 7) && dxfLayer(out, 0x11, "GEAR", 7) &&
         dxfLayer(out, 0x12, "PITCH", 5) && dxfGroup(out, 0, "ENDTAB") && dxfGroup(out, 0, "ENDSEC");
    ok = ok && dxfGroup(out, 0, "SECTION") && dxfGroup(out, 2, "ENTITIES");
    ok = ok && dxfGroup(out, 0, "LWPOLYLINE") && dxfHandle(out, 0x20) && dxfGroup(out, 100, "AcDbEntity") &&
         dxfGroup(out, 8, "GEAR") && dxfGroup(out, 100, "AcDbPolyline") &&
         std::fprintf(out, "90\n%zu\n", outline.size()) >= 0 && dxfGroup(out, 70, "1");  // 1: closed
    for (std::size_t i = 0; i < outline.size() && ok; ++i)
        ok = dxfNumber(out, 10, outline[i].at.x) && dxfNumber(out, 20, outline[i].at.y);
    ok = ok && dxfGroup(out, 0, "CIRCLE") && dxfHandle(out, 0x21) && dxfGroup(out, 100, "AcDbEntity") &&
         dxfGroup(out, 8, "PITCH") && dxfGroup(out, 100, "AcDbCircle") && dxfNumber(out, 10, 0) &&
         dxfNumber(out, 20, 0) && dxfNumber(out, 30, 0) && dxfNumber(out, 40, numbers.pitchDiameter / 2);
    ok = ok && dxfGroup(out, 0, "ENDSEC") && dxfGroup(out, 0, "EOF");
    return ok;
}

bool writeOutlineCsv(std::FILE* out, const GearNumbers&, const std::vector<OutlinePoint>& outline)
{
    bool ok = std::fputs("x_mm,y_mm,part\n", out) >= 0;
    for (std::size_t i = 0; i < outline.size() && ok; ++i)
        ok = std::fprintf(out, "%.6f,%.6f,%s\n", outline[i].at.x, outline[i].at.y, outlinePartName(outline[i].part)) >= 0;
    return ok;
}

bool saveOutline(const std::string& fileName, OutlineWriter write, const GearNumbers& numbers,
                 const std::vector<OutlinePoint>& outline, std::string* reason)
{
    return saveFileAtomically(fileName, [&](std::FILE* f) { return write(f, numbers, outline); }, reason);
}
