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

// What the writers write: one gear, its outline as points and as arcs, and how.
struct GearExport {
    GearNumbers numbers;
    double tolerance;                    // the outline's, mm: the digits written honour it
    std::vector<OutlinePoint> outline;   // chords within the tolerance
    std::vector<ArcVertex> arcs;         // the same outline as arcs within the tolerance
    ExportOptions options;
    int decimals;                        // of every coordinate written (decimalsFor)
};

// Computes the outline, its arcs and its numbers for gear; false, with the reason, as the engine.
bool prepareGearExport(const GearParameters& gear, const ExportOptions& options, GearExport* out, std::string* reason,
                       long mostPoints = mostOutlinePoints);

// Writes a whole export to out; false when a write failed.
using OutlineWriter = bool (*)(std::FILE* out, const GearExport& gear);

// One closed path id="gear-outline", no fill, a hairline stroke, arcs as A commands (chords
// with options.chords), mm, y up (flipped for SVG), the view box round the tip circle; with
// options.referenceCircles, the pitch, base, tip and root circles in a group id="reference".
bool writeOutlineSvg(std::FILE* out, const GearExport& gear);
// ASCII DXF R12 (AC1009), mm: the outline on layer GEAR as ARC and LINE entities end to end
// (LINEs alone with options.chords), the pitch circle as a CIRCLE on layer PITCH.
bool writeOutlineDxf(std::FILE* out, const GearExport& gear);
// "x_mm,y_mm,part", then one row per outline point in order.
bool writeOutlineCsv(std::FILE* out, const GearExport& gear);

// Writes fileName through write, atomically (temporary file, then rename); on failure says why.
bool saveOutline(const std::string& fileName, OutlineWriter write, const GearExport& gear, std::string* reason,
                 SaveTargets targets = SaveTargets::any);

// The decimals that keep every point within a tenth of the tolerance of where it is and no two
// neighbours (of the points or of the arcs' ends) in one place: six at least, as the files
// have always had.
int decimalsFor(const std::vector<OutlinePoint>& outline, const std::vector<ArcVertex>& arcs, double tolerance);

// "involute", "fillet", "tip" or "root".
const char* outlinePartName(OutlinePart part);
