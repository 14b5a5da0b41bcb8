// What gearlab's tests share: a fresh lab, a frame drawn through the stand-in, and its
// captions read back as text by matching each glBitmap against Unifont's own glyphs.
#pragma once

#include "gearlab.h"
#include "gl_standin.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace labprobe {

constexpr const char* fontFile = "/usr/share/unifont/unifont_jp.hex";

// Unifont's glyphs as the window shows them (rows bottom first), to the UTF-8 character.
inline const std::map<std::vector<unsigned char>, std::string>& glyphNames()
{
    static const std::map<std::vector<unsigned char>, std::string> names = [] {
        std::map<std::vector<unsigned char>, std::string> m;
        std::ifstream in(fontFile);
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t colon = line.find(':');
            const std::string bits = line.substr(colon + 1);
            const std::size_t rowBytes = bits.size() / 32;
            std::vector<unsigned char> glyph(bits.size() / 2);
            for (std::size_t i = 0; i < glyph.size(); ++i) {
                const std::size_t row = i / rowBytes, column = i % rowBytes;
                glyph[(15 - row) * rowBytes + column] = static_cast<unsigned char>(std::stoi(bits.substr(2 * i, 2), nullptr, 16));
            }
            const unsigned long code = std::stoul(line.substr(0, colon), nullptr, 16);
            std::string utf8;
            if (code < 0x80) {
                utf8 += static_cast<char>(code);
            } else if (code < 0x800) {
                utf8 += static_cast<char>(0xC0 | (code >> 6));
                utf8 += static_cast<char>(0x80 | (code & 0x3F));
            } else {
                utf8 += static_cast<char>(0xE0 | (code >> 12));
                utf8 += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
                utf8 += static_cast<char>(0x80 | (code & 0x3F));
            }
            m.emplace(glyph, utf8);  // the first of identical glyphs (the space, say) wins
        }
        return m;
    }();
    return names;
}

// A caption's text, read from its glyphs.
inline std::string textOf(const glstub::Caption& c)
{
    std::string text;
    for (const auto& g : c.glyphs) {
        const auto found = glyphNames().find(g);
        text += found == glyphNames().end() ? "?" : found->second;
    }
    return text;
}

// Every caption of the last frame as text, top to bottom as drawn.
inline std::vector<std::string> captionTexts()
{
    std::vector<std::string> texts;
    for (const auto& c : glstub::recording().captions) texts.push_back(textOf(c));
    return texts;
}

inline bool anyCaptionHas(const std::string& part)
{
    for (const std::string& t : captionTexts())
        if (t.find(part) != std::string::npos) return true;
    return false;
}

// Types a line into the entry: Enter, the characters, Enter.
inline void typeLine(const std::string& line)
{
    onLabKey(13, 0, 0);
    for (char c : line) onLabKey(static_cast<unsigned char>(c), 0, 0);
    onLabKey(13, 0, 0);
}

// A label drawn near where it names, in window pixels.
inline void expectLabelNear(const std::string& text, const Vec2& at)
{
    const Point2 pixel = windowPixelOf(at);
    bool found = false;
    for (const auto& c : glstub::recording().captions) {
        if (textOf(c) != text) continue;
        const double x = (c.viewX + 1) / 2 * windowWidth(), y = (c.viewY + 1) / 2 * windowHeight();
        found = found || (std::fabs(x - pixel.x) < 12 && std::fabs(y - pixel.y) < 12);
    }
    EXPECT_TRUE(found) << text;
}

// Every caption of the last frame inside the window, whatever it says.
inline void expectCaptionsFit(const std::string& what)
{
    for (const auto& c : glstub::recording().captions) {
        double width = 0;
        for (const auto& g : c.glyphs) width += 8.0 * (g.size() / 16);
        const double left = (c.viewX + 1) / 2 * windowWidth();
        EXPECT_GE(left, -0.5) << what << ": " << textOf(c);
        EXPECT_LE(left + width, windowWidth() + 0.5) << what << ": " << textOf(c);
    }
}

// The distance from (x, y) to the closed polyline.
inline double distanceTo(const std::vector<Point2>& outline, double x, double y)
{
    double best = 1e9;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const Point2 a = outline[i], b = outline[(i + 1) % outline.size()];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, std::hypot(a.x + t * dx - x, a.y + t * dy - y));
    }
    return best;
}

// Turns view 3 through two pitches and checks each contact: one base pitch from the last, and
// on both outlines, each turned back into its own frame (the mate by the engine's turn plus
// mateTurnRate times the gear's), where both flanks there are involute. How many it checked.
inline int checkContactsOnBothOutlines(double mateTurnRate, const std::string& what)
{
    const MeshLayout p = meshLayout();
    GearParameters mate = lab.gear;
    mate.teeth = lab.mateTeeth, mate.shift = lab.mateShift, mate.internal = false;
    const double gearForm = involuteStartRadius(lab.gear), mateForm = involuteStartRadius(mate);
    const auto turnedBack = [](const Vec2& q, const Vec2& centre, double turn) {
        const double x = q.x - centre.x, y = q.y - centre.y;
        return Vec2{x * std::cos(-turn) - y * std::sin(-turn), x * std::sin(-turn) + y * std::cos(-turn)};
    };
    int seen = 0;
    for (lab.meshStep = 0; lab.meshStep < 2 * meshStepsPerPitch; lab.meshStep += 5) {
        const double turn = meshTurn(), mateTurn = p.mateTurn + turn * mateTurnRate;
        const std::vector<Vec2> contacts = meshContacts();
        EXPECT_GE(contacts.size(), 1u) << what;
        for (std::size_t i = 0; i < contacts.size(); ++i) {
            const Vec2 c = contacts[i];
            if (i > 0) {
                EXPECT_NEAR(std::hypot(c.x - contacts[i - 1].x, c.y - contacts[i - 1].y), figures.numbers.basePitch, 1e-9)
                    << what;
            }
            // Beyond a form circle a tip meets the other gear's fillet or undercut, not its involute
            // (a ring's involute lies inside its form circle).
            const double gearRadius = std::hypot(c.x, c.y);
            if ((lab.gear.internal ? gearRadius > gearForm : gearRadius < gearForm) ||
                std::hypot(c.x - p.mateCentre.x, c.y - p.mateCentre.y) < mateForm)
                continue;
            const Vec2 g = turnedBack(c, {0, 0}, turn), m = turnedBack(c, p.mateCentre, mateTurn);
            EXPECT_LT(distanceTo(figures.outline, g.x, g.y), 2e-3) << what << " step " << lab.meshStep;
            EXPECT_LT(distanceTo(figures.mateOutline, m.x, m.y), 2e-3) << what << " step " << lab.meshStep;
            ++seen;
        }
    }
    return seen;
}

// A lab with the defaults, the font loaded and an 800 × 800 window; skips without Unifont.
class Lab : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string reason;
        if (!unicodeFontLoaded() && !loadUnicodeFont(fontFile, &reason)) GTEST_SKIP() << "no Unifont: " << reason;
        glstub::reset();
        reshapeLab(800, 800);
        resetLab();
        changeGear(defaultGearParameters(10), 20, 0);
    }
    // Presses the keys in order, as GLUT would deliver them.
    static void press(const std::string& keys)
    {
        for (char k : keys) onLabKey(static_cast<unsigned char>(k), 0, 0);
    }
    static void pressTimes(char key, int times)
    {
        for (int i = 0; i < times; ++i) onLabKey(static_cast<unsigned char>(key), 0, 0);
    }
    // Draws one frame and keeps only its record.
    static void drawFrame()
    {
        glstub::clearLog();
        displayLab();
    }
    // The status line's first line: the gear (the figure's labels are drawn before it).
    static std::string statusLine()
    {
        for (const std::string& t : captionTexts())
            if (t.rfind("z ", 0) == 0) return t;
        return "";
    }
};

}  // namespace labprobe
