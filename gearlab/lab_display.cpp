// One frame of the lab: the figure of the current view under the zoom and pan, then the
// white bands with the status line and the panel, and the help overlay over everything.
#include "gearlab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float lineHeight = 20;     // pixels between caption lines
constexpr float margin = 8;          // pixels from the window's edge to the text
constexpr float glyphWidth = 8;      // pixels of a half-width Unifont glyph
constexpr Rgba white{1, 1, 1, 1};
constexpr Rgba textColour{0, 0, 0, 1};
constexpr Rgba helpFrameColour{0.3f, 0.3f, 0.3f, 1};

void caption(float x, float y, const std::string& text, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    drawLabText(x, y, text);
    lightingOn();
}

std::string format(const char* pattern, double a, double b = 0, double c = 0)
{
    char text[200];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string stepText(const LabTexts& t)
{
    if (lab.view == 1)
        return lab.step >= generationSteps ? t.finished : t.step + format(" %.0f/%.0f", lab.step, generationSteps);
    if (lab.view == 3) return t.step + format(" %.0f/%.0f", lab.meshStep, meshStepsPerPitch * lab.gear.teeth);
    return t.finished;
}

// What part of the rack cuts at the current step of view 1.
const char* cuttingText(const LabTexts& t)
{
    bool flank = false, rounding = false;
    for (const RackContact& c : cuttingContacts()) (c.part == RackPart::flank ? flank : rounding) = true;
    return flank && rounding ? t.cuttingBoth : flank ? t.cuttingFlank : rounding ? t.cuttingRounding : t.notCutting;
}

std::vector<std::string> statusLines(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    const char* rack = lab.rack >= 0 ? labRackNames[lab.rack] : "custom";
    std::string first = format("z %.0f   m %g   α %g°", lab.gear.teeth, lab.gear.module, lab.pressureDegrees) +
                        format("   x %.2f   ", lab.gear.shift) + t.rack + " " + rack + "   " + t.view +
                        format(" %.0f ", lab.view) + t.viewNames[lab.view - 1] + "   " + stepText(t) + "   " + t.zoom +
                        // Far out or far in, two decimals would say 0.00 or run long.
                        format(lab.zoom >= 0.01 && lab.zoom < 1000 ? " %.2f" : " %.2e", lab.zoom);
    std::string second = std::string(n.undercut ? t.undercut : t.noUndercut) +
                         format("  (z_min %.2f, x_min %.3f)", n.minTeethWithoutUndercut, n.minShiftWithoutUndercut);
    if (lab.view == 1) second += std::string("   ") + cuttingText(t);
    if (lab.playing) second += std::string("   ") + t.playing;
    second += std::string("   ") + t.helpHint;
    return {first, second};
}

std::vector<std::string> panelLines(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    if (lab.view == 1) return {t.legendLimits};
    if (lab.view == 2)
        return {format("d %.4f   da %.4f   df %.4f", n.pitchDiameter, n.tipDiameter, n.rootDiameter) +
                    format("   db %.4f   pb %.4f", n.baseDiameter, n.basePitch),
                t.toothThickness + format(" %.4f   ", n.toothThickness) + t.tipThickness + format(" %.4f   ", n.tipThickness) +
                    t.span + format(" W%.0f %.4f (k %.0f)", n.spanTeeth, n.spanMeasurement, n.spanTeeth),
                format("z_min %.3f   x_min %.4f", n.minTeethWithoutUndercut, n.minShiftWithoutUndercut)};
    if (!figures.paired) return {t.pairRefused + figures.pairProblem};
    const GearPair& p = figures.pair;
    std::string interference = p.interferenceGear || p.interferenceMate ? t.interference : t.noInterference;
    if (p.interferenceGear) interference += " (N1)";
    if (p.interferenceMate) interference += " (N2)";
    return {t.mate + format(" z %.0f   ", lab.mateTeeth) + t.centreDistance + format(" %.4f   α_w %.3f°", p.centreDistance, p.workingPressureAngle * 180 / exactPi),
            t.contactRatio + format(" %.4f   ", p.contactRatio) + t.basePitch + format(" %.4f   ", n.basePitch) + interference};
}

void drawBand(float bottom, float height)
{
    fillRectangle({0, bottom}, windowWidth(), height, 0, white);
}

void drawHelp(const LabTexts& t)
{
    const int lines = labKeyCount;
    const float width = 60 * glyphWidth;
    const float height = (lines + 2) * lineHeight + margin;
    const float left = std::max(0.0f, (windowWidth() - width) / 2);
    const float bottom = std::max(0.0f, (windowHeight() - height) / 2);
    fillRectangle({left, bottom}, width, height, 0, white);
    drawRectangle({left, bottom}, width, height, 0, helpFrameColour);
    float y = bottom + height - lineHeight;
    caption(left + margin, y, t.helpTitle, textColour);
    for (int i = 0; i < lines; ++i) caption(left + margin, y -= lineHeight, keyHelpLine(t.keys[i], labKeyColumn), textColour);
}

}  // namespace

void drawLabCaptions()
{
    const LabTexts& t = labTexts();
    beginWindowPixels();
    const float top = static_cast<float>(windowHeight());
    std::vector<std::string> status = statusLines(t);
    const std::string& message = lab.problem.empty() ? lab.notice : t.refused + lab.problem;
    const int statusRows = static_cast<int>(status.size()) + (message.empty() ? 0 : 1);
    drawBand(top - statusRows * lineHeight - margin, statusRows * lineHeight + margin);
    float y = top - lineHeight + 4;
    for (const std::string& line : status) {
        caption(margin, y, line, textColour);
        y -= lineHeight;
    }
    if (!message.empty()) caption(margin, y, message, lab.problem.empty() ? textColour : undercutColour);

    const std::vector<std::string> panel = panelLines(t);
    const int panelRows = static_cast<int>(panel.size()) + (lab.view == 1 ? 1 : 0);
    drawBand(0, panelRows * lineHeight + margin);
    y = margin + (panelRows - 1) * lineHeight;
    if (lab.view == 1) {  // the legend of the outline's colours
        float x = margin;
        const std::pair<const char*, Rgba> legend[] = {
            {t.legendInvolute, involuteColour}, {t.legendFillet, filletColour}, {t.legendUndercut, undercutColour}};
        for (const auto& [text, colour] : legend) {
            caption(x, y, text, colour);
            x += static_cast<float>(unicodeFontLoaded() ? unicodeTextWidth(text) : 10 * std::string(text).size()) + 3 * glyphWidth;
        }
        y -= lineHeight;
    }
    for (const std::string& line : panel) {
        caption(margin, y, line, textColour);
        y -= lineHeight;
    }
    if (lab.help) drawHelp(t);
    endWindowPixels();
}

void displayLab()
{
    if (lab.pictureRequested) beginSvgRecording(windowWidth(), windowHeight());
    beginFrame();
    Vec2 centre{};
    double half = 1;
    fittedFrame(&centre, &half);
    const double scale = viewScale();
    glPushMatrix();
    glScaled(scale, scale, 1);
    glTranslated(-(centre.x + lab.pan.x), -(centre.y + lab.pan.y), 0);
    if (lab.view == 1)
        drawGenerationView();
    else if (lab.view == 2)
        drawFinishedView();
    else
        drawMeshView();
    glPopMatrix();
    drawLabCaptions();
    if (lab.pictureRequested) {
        lab.pictureRequested = false;
        savePicture(stdout, stderr);
    }
    endFrame();
}

void reshapeLab(int width, int height) { reshapeKeepingAspect(width, height); }
