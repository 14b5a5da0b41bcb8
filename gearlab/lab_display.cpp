// One frame of the lab: the figure of the current view under the zoom and pan, the labels it
// puts beside its points, then the white bands with the status line and the panel, and the
// help overlay over everything. Every caption wraps to the window's width.
#include "gear_request.h"
#include "gearlab.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr float lineHeight = 20;     // pixels between caption lines
constexpr float margin = 8;          // pixels from the window's edge to the text
constexpr float pieceGap = 24;       // pixels between the pieces of a legend line
constexpr Rgba white{1, 1, 1, 1};
constexpr Rgba textColour{0, 0, 0, 1};
constexpr Rgba helpFrameColour{0.3f, 0.3f, 0.3f, 1};

// A caption line made of pieces in their own colours (a legend), or of one.
struct Piece {
    std::string text;
    Rgba colour;
};
using Line = std::vector<Piece>;

void caption(float x, float y, const std::string& text, const Rgba& colour)
{
    lightingOff();
    setColour(colour);
    drawLabText(x, y, text);
    lightingOn();
}

std::string number(const char* pattern, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string stepText(const LabTexts& t)
{
    if (lab.view == 1) return lab.step >= generationSteps ? t.finished : t.step + number(" %.0f/", lab.step) + number("%.0f", generationSteps);
    if (lab.view == 3) return t.step + number(" %.0f/", lab.meshStep) + number("%.0f", meshStepsPerPitch * lab.gear.teeth);
    return t.finished;
}

// What part of the cutter cuts at the current step of view 1.
const char* cuttingText(const LabTexts& t)
{
    bool flank = false, rounding = false;
    for (const RackContact& c : cuttingContacts()) (c.part == RackPart::flank ? flank : rounding) = true;
    const bool pinion = lab.gear.cutter == CutterKind::pinion;
    if (flank && rounding) return pinion ? t.cuttingCutterBoth : t.cuttingBoth;
    if (flank) return pinion ? t.cuttingCutterFlank : t.cuttingFlank;
    return rounding ? t.cuttingRounding : t.notCutting;
}

Line plain(const std::string& text, const Rgba& colour = textColour) { return {{text, colour}}; }

std::vector<Line> statusLines(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    // What cuts the gear: the rack, or the pinion cutter in its place.
    std::string rack = std::string(t.rack) + " " + (lab.rack >= 0 ? labRackNames[lab.rack] : "custom");
    if (lab.roundingReduced) rack += number(" ρf* %.4g ", lab.gear.rack.tipRadius) + t.reduced;
    if (lab.gear.cutter == CutterKind::pinion)
        rack = sayText(t.cutter, number("%.0f", lab.gear.pinionCutter.teeth), number("%.3f", lab.gear.pinionCutter.shift));
    const std::string gear = number("z %.0f", lab.gear.teeth) + (lab.gear.internal ? std::string(" ") + t.ring : "") +
                             "   m " + shortestText(lab.gear.module) + "   α " +
                             shortestText(lab.pressureDegrees) + "°" + number("   x %.3f   ", lab.gear.shift) + rack +
                             (lab.gear.backlash > 0 ? number("   j %.3f mm", lab.gear.backlash) : "") + "   " + t.mate +
                             number(" z %.0f", lab.mateTeeth) + number(" x %.3f", lab.mateShift);
    const std::string view = t.view + number(" %.0f ", lab.view) + t.viewNames[lab.view - 1] + "   " + stepText(t) +
                             "   " + t.zoom +
                             // Far out or far in, two decimals would say 0.00 or run long.
                             number(lab.zoom >= 0.01 && lab.zoom < 1000 ? " %.2f" : " %.2e", lab.zoom);
    Line state = plain(n.undercut ? t.undercut : t.noUndercut);
    if (n.pointed) state.push_back({sayText(t.pointedTip, number("%.4f", n.tipThickness)), warningColour});
    if (lab.view == 1) state.push_back({cuttingText(t), textColour});
    if (lab.playing) state.push_back({t.playing, textColour});
    state.push_back({t.helpHint, textColour});
    // The message line is kept even when empty, so that a message does not move the figure.
    return {plain(gear), plain(view), state,
            lab.problem.empty() ? plain(lab.notice) : plain(lab.problem, undercutColour)};
}

// Why z_min and x_min are what they are: for this rack's straight flank, at this shift.
std::vector<Line> undercutLimits(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    // The textbook's, for a straight flank one module deep.
    const double textbook = fewestTeethWithoutUndercut(1, lab.gear.pressureAngle, lab.gear.shift);
    return {plain(sayText(t.zMin, number("%.2f", n.minTeethWithoutUndercut), number("%.3f", lab.gear.shift),
                      number("%.4g", n.flankDepth / lab.gear.module), number("%.2f", textbook))),
            plain(sayText(t.xMin, number("%.3f", n.minShiftWithoutUndercut), number("%.0f", lab.gear.teeth)))};
}

// What the pinion cutter makes of the gear: the cutting pair, and the undercut limits of an
// external gear beside those of the rack of the cutter's profile; a ring has none.
std::vector<Line> cutterLimits(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    const PinionCutter& c = lab.gear.pinionCutter;
    std::vector<Line> lines{plain(sayText(t.cuttingPair, number("%.3f", n.cuttingPressureAngle * 180 / exactPi),
                                          number("%.4f", n.cuttingCentreDistance), number("%.0f", c.teeth),
                                          number("%.3f", c.shift)))};
    if (lab.gear.internal) {
        lines.push_back(plain(t.ringNote));
        return lines;
    }
    // The rack of the cutter's profile: its straight flank reaches as deep as the cutter's addendum.
    const double alpha = lab.gear.pressureAngle;
    const double rackZMin = fewestTeethWithoutUndercut(straightFlankDepth(c.addendum, c.tipRadius, alpha), alpha,
                                                       lab.gear.shift);
    lines.push_back(plain(sayText(t.zMinCutter, number("%.2f", n.minTeethWithoutUndercut), number("%.3f", lab.gear.shift),
                                  number("%.2f", rackZMin))));
    lines.push_back(plain(sayText(t.xMin, number("%.3f", n.minShiftWithoutUndercut), number("%.0f", lab.gear.teeth))));
    return lines;
}

// View 3's first lines for either pair: the mate (or the pinion inside), the centre distance
// and α_w; the two contact ratios, the effective one in red where it says less than the
// textbook's, the base pitch and the piece given; a sentence where the teeth lose contact.
std::vector<Line> pairLines(const LabTexts& t, const char* mateLine, const Line& more)
{
    const MeshLayout p = meshLayout();
    std::vector<Line> lines;
    lines.push_back(plain(sayText(mateLine, number("%.0f", lab.mateTeeth), number("%.3f", lab.mateShift)) + "   " +
                          t.centreDistance + number(" %.4f", p.centreDistance) +
                          number("   α_w %.3f°", p.workingPressureAngle * 180 / exactPi)));
    const bool short_ = p.effectiveContactRatio < 1 || p.effectiveContactRatio < p.contactRatio - 1e-9;
    Line ratios{{sayText(t.contactRatio, number("%.4f", p.contactRatio)), textColour},
                {sayText(t.effectiveRatio, number("%.4f", p.effectiveContactRatio)), short_ ? undercutColour : textColour},
                {t.basePitch + number(" %.4f", figures.numbers.basePitch), textColour}};
    ratios.insert(ratios.end(), more.begin(), more.end());
    lines.push_back(ratios);
    if (p.effectiveContactRatio < 1) lines.push_back(plain(t.loseContact, undercutColour));
    return lines;
}

// View 3 of a ring gear: the pinion inside it and the pair's three checks, each in red with
// its reason where it fails.
std::vector<Line> ringPairLines(const LabTexts& t)
{
    const InternalPair& p = figures.ringPair;
    std::vector<Line> lines = pairLines(t, t.pinionLine, {});
    const auto check = [&](const char* pattern, const PairCheck& c, const char* passed) {
        lines.push_back(c.passed ? plain(sayText(pattern, passed)) : plain(sayText(pattern, labReason(c.reason)), undercutColour));
    };
    check(t.involuteCheck, p.involute, t.checkPassed);
    check(t.tipCheck, p.tip, t.checkPassed);
    check(t.radialCheck, p.radial, t.radialPassed);
    lines.push_back(plain(t.meshLegend));
    return lines;
}

std::vector<Line> panelLines(const LabTexts& t)
{
    const GearNumbers& n = figures.numbers;
    std::vector<Line> lines;
    if (lab.view == 1) {
        lines.push_back({{t.legendInvolute, involuteColour}, {t.legendFillet, filletColour}, {t.legendUndercut, undercutColour}});
    } else if (lab.view == 2) {
        lines.push_back(plain(number("d %.4f", n.pitchDiameter) + number("   da %.4f", n.tipDiameter) +
                              number("   df %.4f", n.rootDiameter) + number("   db %.4f", n.baseDiameter) +
                              number("   pb %.4f", n.basePitch) +
                              (lab.gear.internal ? number("   D %.4f", n.rimDiameter) : "")));
        std::string thickness = t.toothThickness + number(" %.4f", n.toothThickness);
        if (n.backlash > 0) thickness += sayText(t.beforeBacklash, number("%.4f", n.toothThicknessNominal));
        lines.push_back(plain(thickness + "   " + t.tipThickness + number(" %.4f   ", n.tipThickness) +
                              (n.spanTeeth > 0 ? t.span + number(" W%.0f", n.spanTeeth) + number(" %.4f", n.spanMeasurement) +
                                                     number(" (k %.0f)", n.spanTeeth)
                                               : std::string(t.noSpan))));
        const PinMeasurement& pins = figures.pins;
        if (pins.fits)
            lines.push_back(plain(sayText(t.overPins, number("%.4f", pins.measurement), number("%.4f", pins.pinDiameter)) +
                                  number("   s̄ %.4f", n.chordalThickness) + number("   h̄ %.4f", n.chordalHeight)));
        else if (lab.gear.internal)
            lines.push_back(plain(t.noPinsRing + number("   s̄ %.4f", n.chordalThickness) + number("   h̄ %.4f", n.chordalHeight)));
        if (!figures.rackCutOutline.empty()) lines.push_back(plain(t.rackCompared, flankCutColour));
    }
    if (lab.view != 3) {
        for (const Line& l : lab.gear.cutter == CutterKind::pinion ? cutterLimits(t) : undercutLimits(t)) lines.push_back(l);
    } else if (!figures.paired) {
        lines.push_back(plain(t.pairRefused + figures.pairProblem, undercutColour));
    } else if (lab.gear.internal) {
        for (const Line& l : ringPairLines(t)) lines.push_back(l);
    } else {
        const GearPair& p = figures.pair;
        std::string interference = p.interferenceGear || p.interferenceMate ? t.interference : t.noInterference;
        if (p.interferenceGear) interference += " (N1)";
        if (p.interferenceMate) interference += " (N2)";
        for (const Line& l : pairLines(t, t.mateLine, {{interference, textColour}})) lines.push_back(l);
        if (p.gearFormCutsPath) lines.push_back(plain(t.gearFormCut, undercutColour));
        if (p.mateFormCutsPath) lines.push_back(plain(t.mateFormCut, undercutColour));
        lines.push_back(plain(t.meshLegend));
    }
    if (lab.entryOpen) lines.push_back(plain(t.entryPrompt + lab.entry + "_"));
    return lines;
}

// The line cut to the width: pieces side by side while they fit, each piece wrapped alone.
std::vector<Line> wrapped(const Line& line, double width)
{
    std::vector<Line> out(1);
    double used = 0;
    for (const Piece& piece : line) {
        const double w = labTextWidth(piece.text);
        if (!out.back().empty() && used + pieceGap + w > width) {
            out.emplace_back();
            used = 0;
        }
        if (w <= width - used) {
            out.back().push_back(piece);
            used += (used > 0 ? pieceGap : 0) + w;
            continue;
        }
        for (const std::string& part : wrappedLines(piece.text, width)) {
            if (!out.back().empty()) out.emplace_back();
            out.back().push_back({part, piece.colour});
            used = labTextWidth(part);
        }
    }
    return out;
}

std::vector<Line> wrappedAll(const std::vector<Line>& lines)
{
    const double width = std::max(1.0, windowWidth() - 2.0 * margin);
    std::vector<Line> out;
    for (const Line& l : lines)
        for (Line& w : wrapped(l, width)) out.push_back(std::move(w));
    return out;
}

void drawBand(float bottom, float height) { fillRectangle({0, bottom}, windowWidth(), height, 0, white); }

void drawLine(float y, const Line& line)
{
    float x = margin;
    for (const Piece& p : line) {
        caption(x, y, p.text, p.colour);
        x += static_cast<float>(labTextWidth(p.text)) + pieceGap;
    }
}

void drawHelp(const LabTexts& t)
{
    std::vector<std::string> lines;
    const double most = std::max(1.0, windowWidth() - 4.0 * margin);
    const auto add = [&](const std::string& line) {
        for (const std::string& part : wrappedLines(line, most)) lines.push_back(part);
    };
    for (const KeyHelp& keys : t.keys) add(keyHelpLine(keys, labKeyColumn));
    lines.push_back("");
    for (const char* note : t.helpNotes) add(note);
    for (const char* note : t.cutterNotes) add(note);
    double widest = labTextWidth(t.helpTitle);
    for (const std::string& l : lines) widest = std::max(widest, labTextWidth(l));
    const float width = static_cast<float>(widest + 2 * margin);
    const float height = (lines.size() + 2) * lineHeight + margin;
    const float left = std::max(0.0f, (windowWidth() - width) / 2);
    const float bottom = std::max(0.0f, (windowHeight() - height) / 2);
    fillRectangle({left, bottom}, width, height, 0, white);
    drawRectangle({left, bottom}, width, height, 0, helpFrameColour);
    float y = bottom + height - lineHeight;
    caption(left + margin, y, t.helpTitle, textColour);
    for (const std::string& l : lines) caption(left + margin, y -= lineHeight, l, textColour);
}

}  // namespace

std::vector<std::string> wrappedLines(const std::string& text, double pixels)
{
    std::vector<std::string> lines;
    std::string rest = text;
    while (!rest.empty() && labTextWidth(rest) > pixels) {
        // The longest head that fits, cut at the last blank where there is one, else between
        // characters (Japanese has no blanks).
        // Every character has its own cell's width, so the head's width adds up as it grows.
        std::size_t fits = 0, blank = std::string::npos;
        double width = 0;
        for (std::size_t i = 1; i <= rest.size(); ++i) {
            if (i < rest.size() && (static_cast<unsigned char>(rest[i]) & 0xC0) == 0x80) continue;
            width += labTextWidth(rest.substr(fits, i - fits));
            if (width > pixels) break;
            fits = i;
            if (i < rest.size() && rest[i] == ' ') blank = i;
        }
        if (fits == 0) fits = std::min<std::size_t>(1, rest.size());  // not even one character: one anyway
        const std::size_t cut = blank != std::string::npos && blank > 0 ? blank : fits;
        lines.push_back(rest.substr(0, cut));
        rest.erase(0, cut);
        rest.erase(0, rest.find_first_not_of(' ') == std::string::npos ? rest.size() : rest.find_first_not_of(' '));
    }
    if (!rest.empty() || lines.empty()) lines.push_back(rest);
    return lines;
}

void captionBands(double* top, double* bottom)
{
    const LabTexts& t = labTexts();
    *top = wrappedAll(statusLines(t)).size() * lineHeight + margin;
    *bottom = wrappedAll(panelLines(t)).size() * lineHeight + margin;
}

void drawLabCaptions()
{
    drawLabCaptions(labView());
}

void drawLabCaptions(const LabView& view)
{
    const LabTexts& t = labTexts();
    beginWindowPixels();
    for (const FigureLabel& l : figureLabels(view)) caption(static_cast<float>(l.at.x), static_cast<float>(l.at.y), l.text, l.colour);

    const float top = static_cast<float>(windowHeight());
    const std::vector<Line> status = wrappedAll(statusLines(t));
    drawBand(top - status.size() * lineHeight - margin, status.size() * lineHeight + margin);
    float y = top - lineHeight + 4;
    for (const Line& line : status) {
        drawLine(y, line);
        y -= lineHeight;
    }

    const std::vector<Line> panel = wrappedAll(panelLines(t));
    drawBand(0, panel.size() * lineHeight + margin);
    y = margin + (panel.size() - 1) * lineHeight;
    for (const Line& line : panel) {
        drawLine(y, line);
        y -= lineHeight;
    }
    if (lab.help) drawHelp(t);
    endWindowPixels();
}

void displayLab()
{
    if (lab.pictureRequested) beginSvgRecording(windowWidth(), windowHeight());
    beginFrame();
    const LabView view = labView();
    const double unit = std::max(1, std::min(windowWidth(), windowHeight())) / 2.0;  // pixels a view unit
    glPushMatrix();
    glTranslated(0, view.lift / unit, 0);
    glScaled(view.pixelsPerMm / unit, view.pixelsPerMm / unit, 1);
    glTranslated(-view.centre.x, -view.centre.y, 0);
    if (lab.view == 1)
        drawGenerationView(view);
    else if (lab.view == 2)
        drawFinishedView(view);
    else
        drawMeshView(view);
    glPopMatrix();
    drawLabCaptions(view);
    if (lab.pictureRequested) {
        lab.pictureRequested = false;
        savePicture(stdout, stderr);
    }
    endFrame();
}

void reshapeLab(int width, int height) { reshapeKeepingAspect(width, height); }
