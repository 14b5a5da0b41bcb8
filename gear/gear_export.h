// Outline exports: SVG, DXF and CSV. Each writer writes to any stream (tests capture it in
// memory); saveOutline writes one to a file atomically, through safefile's writer.
#pragma once

#include "gear.h"
#include "safefile.h"

#include <cstdio>
#include <string>
#include <vector>

// How the files are written.
struct ExportOptions {
    bool chords = false;            // SVG and DXF: straight chords instead of arcs
    bool referenceCircles = false;  // SVG: the pitch, base, tip and root circles in a group of their own
    double strokeWidth = 0.01;      // SVG: the outline's stroke, mm: a hairline a cutter follows
};

// What the writers write: one gear, its loops as points and as arcs, and how. An external
// gear has one loop, its toothed outline; a ring gear two: its teeth (clockwise), then its rim.
struct GearExport {
    GearNumbers numbers;
    double tolerance;                                 // the outline's, mm: the digits written honour it
    std::vector<std::vector<OutlinePoint>> loops;     // chords within the tolerance
    std::vector<std::vector<ArcVertex>> arcLoops;     // the same loops as arcs within the tolerance
    ExportOptions options;
    int decimals;                                     // of every coordinate written (decimalsFor)
};

// The points, and the arcs, of every loop together.
std::size_t pointCount(const GearExport& gear);
std::size_t arcCount(const GearExport& gear);

// Computes the outline, its arcs and its numbers for gear; false, with the reason, as the engine.
bool prepareGearExport(const GearParameters& gear, const ExportOptions& options, GearExport* out, std::string* reason,
                       long mostPoints = mostOutlinePoints);

// Writes a whole export to out; false when a write failed.
using OutlineWriter = bool (*)(std::FILE* out, const GearExport& gear);

// One closed path id="gear-outline", no fill, a hairline stroke, arcs as A commands (chords
// with options.chords), mm, y up (flipped for SVG), the view box round the tip circle (a
// ring's rim); a ring's two loops are two subpaths of the one path, fill-rule="evenodd" so a
// program that fills it gets the ring; with options.referenceCircles, the pitch, base, tip and
// root circles in a group id="reference".
bool writeOutlineSvg(std::FILE* out, const GearExport& gear);
// ASCII DXF R12 (AC1009), mm: each loop on layer GEAR as ARC and LINE entities end to end
// (LINEs alone with options.chords), the pitch circle as a CIRCLE on layer PITCH.
bool writeOutlineDxf(std::FILE* out, const GearExport& gear);
// "x_mm,y_mm,part", then one row per outline point in order; a ring gear's rows have a fourth
// column, "loop": 0 for the teeth, 1 for the rim.
bool writeOutlineCsv(std::FILE* out, const GearExport& gear);

// Writes fileName through write, atomically (temporary file, then rename); on failure says why.
bool saveOutline(const std::string& fileName, OutlineWriter write, const GearExport& gear, std::string* reason,
                 SaveTargets targets = SaveTargets::any);

// The decimals that keep every point within a tenth of the tolerance of where it is and no two
// neighbours in a loop (of the points or of the arcs' ends) in one place: six at least, as the
// files have always had.
int decimalsFor(const std::vector<std::vector<OutlinePoint>>& loops, const std::vector<std::vector<ArcVertex>>& arcLoops,
                double tolerance);

// "involute", "fillet", "tip", "root" or "rim".
const char* outlinePartName(OutlinePart part);
