// gearprofile's command line and the exports' stream twins: every bad option is named and
// ends with status 2, a failed write with 1, and each export holds the outline once, closed.
#include "gear_export.h"
#include "gearprofile.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <vector>

namespace {

struct ProfileRun {
    int status;
    std::string out, err;
};

std::string contentOf(std::FILE* f)
{
    std::rewind(f);
    std::string text;
    for (int c; (c = std::fgetc(f)) != EOF;) text += static_cast<char>(c);
    std::fclose(f);
    return text;
}

ProfileRun runProfile(std::vector<const char*> args)
{
    args.insert(args.begin(), "gearprofile");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    const int status = runGearProfile(static_cast<int>(args.size()), args.data(), out, err);
    return {status, contentOf(out), contentOf(err)};
}

struct BadCommand {
    std::vector<const char*> args;
    const char* named;  // what the message must name
};

TEST(CommandLine, EveryBadOptionIsNamedOnOneLineWithStatusTwo)
{
    const BadCommand bad[] = {
        {{"--teeth", "10", "--colour", "red"}, "--colour"},   {{"--teeth"}, "--teeth"},
        {{"--module", "1"}, "--teeth"},                      {{"--teeth", "0"}, "--teeth"},
        {{"--teeth", "7.5"}, "--teeth"},                     {{"--teeth", "10", "--module", "0"}, "--module"},
        {{"--teeth", "10", "--module", "-2"}, "--module"},   {{"--teeth", "10", "--module", "1mm"}, "--module"},
        {{"--teeth", "10", "--pressure-angle", "45"}, "--pressure-angle"},
        {{"--teeth", "10", "--pressure-angle=0"}, "--pressure-angle"},
        {{"--teeth", "10", "--shift", "inf"}, "--shift"},    {{"--teeth", "10", "--shift", "nan"}, "--shift"},
        {{"--teeth", "10", "--rack", "E"}, "--rack"},        {{"--teeth", "10", "--tip-radius", "-0.1"}, "--tip-radius"},
        {{"--teeth", "10", "--tolerance", "0"}, "--tolerance"}, {{"--teeth", "10", "--mate-shift", "0.1"}, "--mate"},
        {{"--teeth", "10", "--mate", "1e3"}, "--mate"},       {{"--teeth", "10", "extra"}, "extra"},
        {{"--teeth", "2"}, "root circle"},                   {{"--teeth", "10", "--shift", "1.5"}, "pointed"},
        {{"--teeth", "20", "--shift", "1", "--mate", "20", "--mate-shift", "1"}, "overlap"},
        {{"--teeth", "12", "--rack", "D", "--pressure-angle", "25"}, "roundings overlap"},
        {{"--teeth", "100000", "--tolerance", "1e-7"}, "larger tolerance"},
    };
    for (const BadCommand& b : bad) {
        const ProfileRun r = runProfile(b.args);
        EXPECT_EQ(r.status, exitUsage) << b.named;
        EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "") << b.named;
    }
}

TEST(CommandLine, HelpAndReportGoToStandardOutput)
{
    const ProfileRun help = runProfile({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, profileUsage());
    const ProfileRun report = runProfile({"--teeth=10", "--rack", "straight", "--mate", "25"});
    EXPECT_EQ(report.status, 0);
    EXPECT_EQ(report.err, "");
    for (const char* line : {"undercut                       yes", "span over 2 teeth", "contact ratio", "centre distance"})
        EXPECT_NE(report.out.find(line), std::string::npos) << line << "\n" << report.out;
}

TEST(CommandLine, AReportThatCannotBeWrittenEndsWithStatusOne)
{
    const char* args[] = {"gearprofile", "--teeth", "10"};
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(runGearProfile(3, args, full, err), exitWriteFailed);
    std::fclose(full);
    EXPECT_EQ(contentOf(err), "gearprofile: cannot write the report: No space left on device\n");
}

class Exports : public InScratchDir {};

TEST_F(Exports, AFailedWriteIsReportedWithStatusOneAndTheOthersAreStillWritten)
{
    const ProfileRun r = runProfile({"--teeth", "9", "--csv", "missing/gear.csv", "--svg", "gear.svg"});
    EXPECT_EQ(r.status, exitWriteFailed);
    EXPECT_EQ(r.err, "gearprofile: cannot write 'missing/gear.csv': No such file or directory\n");
    EXPECT_NE(readWholeFile("gear.svg").find("</svg>"), std::string::npos);
}

// Writes one export of an asymmetric gear (odd z, shifted) through its stream twin.
std::string exported(OutlineWriter write, GearNumbers* numbers, std::vector<OutlinePoint>* outline)
{
    GearParameters g = defaultGearParameters(11);
    g.shift = 0.25;
    std::string reason;
    EXPECT_TRUE(computeGearNumbers(g, numbers, &reason) && computeGearOutline(g, outline, &reason)) << reason;
    std::FILE* f = std::tmpfile();
    EXPECT_TRUE(write(f, *numbers, *outline));
    return contentOf(f);
}

std::size_t countOf(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST_F(Exports, CsvHoldsEveryPointInOrderWithItsPart)
{
    GearNumbers n{};
    std::vector<OutlinePoint> outline;
    std::istringstream csv(exported(writeOutlineCsv, &n, &outline));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "x_mm,y_mm,part");
    std::size_t i = 0;
    for (double x, y; std::getline(csv, line); ++i) {
        char part[16] = "";
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf,%lf,%15s", &x, &y, part), 3) << line;
        ASSERT_LT(i, outline.size());
        EXPECT_NEAR(x, outline[i].at.x, 5e-7);
        EXPECT_NEAR(y, outline[i].at.y, 5e-7);
        EXPECT_STREQ(part, outlinePartName(outline[i].part));
    }
    EXPECT_EQ(i, outline.size());
}

TEST_F(Exports, SvgHasOneClosedPathFlippedInMillimetres)
{
    GearNumbers n{};
    std::vector<OutlinePoint> outline;
    const std::string svg = exported(writeOutlineSvg, &n, &outline);
    EXPECT_EQ(countOf(svg, "<path"), 1u);
    EXPECT_EQ(countOf(svg, "id=\"gear-outline\""), 1u);
    EXPECT_EQ(countOf(svg, " L"), outline.size() - 1);
    EXPECT_EQ(countOf(svg, " Z\""), 1u);
    EXPECT_EQ(countOf(svg, "mm\""), 2u);  // width and height
    char first[64];
    std::snprintf(first, sizeof first, "d=\"M%.6f %.6f L", outline[0].at.x, -outline[0].at.y);
    EXPECT_EQ(countOf(svg, first), 1u) << "y flipped";
    const std::size_t group = svg.find("<g id=\"reference-circles\"");
    ASSERT_NE(group, std::string::npos);
    EXPECT_EQ(countOf(svg.substr(group), "<circle"), 2u);
}

TEST_F(Exports, DxfHasOneClosedPolylineOnGearAndThePitchCircle)
{
    GearNumbers n{};
    std::vector<OutlinePoint> outline;
    std::istringstream dxf(exported(writeOutlineDxf, &n, &outline));
    std::vector<std::pair<int, std::string>> groups;
    for (std::string code, value; std::getline(dxf, code) && std::getline(dxf, value);)
        groups.emplace_back(std::stoi(code), value);
    ASSERT_EQ(groups.back(), (std::pair<int, std::string>{0, "EOF"}));
    std::vector<std::string> entities;
    std::size_t vertices = 0;
    for (std::size_t i = 0; i + 1 < groups.size(); ++i) {
        const auto& [code, value] = groups[i];
        if (code == 9 && value == "$INSUNITS") {
            EXPECT_EQ(groups[i + 1].second, "4");
        }
        if (code == 0 && (value == "LWPOLYLINE" || value == "CIRCLE")) entities.push_back(value);
        if (code == 8) entities.back() += ":" + value;
        if (code == 90) {
            EXPECT_EQ(std::stoul(value), outline.size());
        }
        if (code == 70 && entities.size() == 1) {
            EXPECT_EQ(value, "1");  // closed
        }
        if (code == 10 && entities.size() == 1) ++vertices;
        if (code == 40) {
            EXPECT_NEAR(std::stod(value), n.pitchDiameter / 2, 1e-6);
        }
    }
    EXPECT_EQ(entities, (std::vector<std::string>{"LWPOLYLINE:GEAR", "CIRCLE:PITCH"}));
    EXPECT_EQ(vertices, outline.size());
}

}  // namespace
