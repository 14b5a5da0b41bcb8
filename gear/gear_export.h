// Outline exports: SVG, DXF and CSV. Each writer writes to any stream (tests capture it in
// memory); saveOutline writes one to a file atomically, through safefile's writer.
#pragma once

#include "gear.h"
#include "safefile.h"

#include <cstdio>
#include <string>
#include <vector>

// Writes a whole export to out; false when a write failed.
using OutlineWriter = bool (*)(std::FILE* out, const GearNumbers& numbers,
                               const std::vector<OutlinePoint>& outline);

// One closed path id="gear-outline" in mm, y up (flipped for SVG), and the pitch and base
// circles in a thin group id="reference-circles".
bool writeOutlineSvg(std::FILE* out, const GearNumbers& numbers, const std::vector<OutlinePoint>& outline);
// ASCII DXF (R2000, mm): one closed LWPOLYLINE on layer GEAR, the pitch circle on layer PITCH.
bool writeOutlineDxf(std::FILE* out, const GearNumbers& numbers, const std::vector<OutlinePoint>& outline);
// "x_mm,y_mm,part", then one row per outline point in order.
bool writeOutlineCsv(std::FILE* out, const GearNumbers& numbers, const std::vector<OutlinePoint>& outline);

// Writes fileName through write, atomically (temporary file, then rename); on failure says why.
bool saveOutline(const std::string& fileName, OutlineWriter write, const GearNumbers& numbers,
                 const std::vector<OutlinePoint>& outline, std::string* reason,
                 SaveTargets targets = SaveTargets::any);

// "involute", "fillet", "tip" or "root".
const char* outlinePartName(OutlinePart part);
