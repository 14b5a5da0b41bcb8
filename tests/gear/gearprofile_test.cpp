// gearprofile's command line: every bad option is named and ends with status 2, a failed
// write with 1. The files themselves are read back by real readers (check_files.py).
#include "gearprofile.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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

// Refused with status 2 and one printable line on standard error that names the fault.
void expectRefused(const BadCommand& b)
{
    const ProfileRun r = runProfile(b.args);
    EXPECT_EQ(r.status, exitUsage) << b.named;
    EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(std::none_of(r.err.begin(), r.err.end() - 1, [](char c) { return c >= 0 && c < ' '; })) << r.err;
    EXPECT_EQ(r.out, "") << b.named;
}

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
        {{"--teeth", "12", "--rack", "D", "--pressure-angle", "25", "--tip-radius", "0.39"}, "the largest that fits is 0.2081"},
        {{"--teeth", "100000", "--tolerance", "1e-7"}, "larger tolerance"},
        // Values where a flag takes none, numbers in other notations, raw control bytes.
        {{"--teeth", "10", "--json=false"}, "--json takes no value"},
        {{"--teeth", "10", "--module", "0x10"}, "--module needs a decimal number"},
        {{"--teeth", "20\n"}, "'20\\n'"},                   {{"--teeth", "\x1b[31m"}, "'\\x1b[31m'"},
        {{"--teeth", "10", "--module", "1e-320"}, "--module must be at least"},
        // Sizes that would run away or overflow, refused before any outline is made.
        {{"--teeth", "20", "--shift", "1e153"}, "between -1000000 and 1000000"},
        {{"--teeth", "20", "--module", "1e12"}, "below the precision"},
        {{"--teeth", "20", "--module", "1e300", "--tolerance", "1e290"}, "too large to compute"},
        {{"--teeth", "20", "--module", "3e7"}, "larger tolerance"},
        // Gears that cannot be cut, each saying which and why.
        {{"--teeth", "6", "--shift", "-0.7"}, "the undercut cuts through the tooth at radius"},
        {{"--teeth", "10", "--mate", "2"}, "the mate cannot be cut"},
        // A pin that would touch off the involute, and a backlash beyond the tooth.
        {{"--teeth", "20", "--pin-diameter", "5"}, "pins from 1."},
        {{"--teeth", "20", "--backlash", "2"}, "the backlash must be"},
        {{"--teeth", "20", "--chords=yes"}, "--chords takes no value"},
    };
    for (const BadCommand& b : bad) expectRefused(b);
}

// The cutter and the ring: a value of the cutter that does not cut the gear is refused rather
// than ignored, and a gear the engine cannot cut is refused with the engine's reason.
TEST(CommandLine, CutterAndRingOptionsAreRefusedWithTheirReasons)
{
    const BadCommand bad[] = {
        {{"--teeth", "20", "--cutter", "shaper"}, "--cutter must be rack or pinion, not 'shaper'"},
        {{"--teeth", "20", "--cutter-teeth", "0"}, "--cutter-teeth must be a tooth count"},
        {{"--teeth", "20", "--cutter-shift", "0x1"}, "--cutter-shift needs a decimal number"},
        {{"--teeth", "20", "--internal=yes"}, "--internal takes no value"},
        {{"--teeth", "20", "--rim-diameter", "30"}, "--rim-diameter needs --internal"},
        {{"--teeth", "60", "--internal", "--rim-diameter", "0"}, "--rim-diameter must be a number above 0"},
        {{"--teeth", "60", "--internal", "--rack", "C"}, "--rack shapes the rack, but the pinion cutter cuts"},
        {{"--teeth", "20", "--cutter", "pinion", "--tip-radius", "0.2"}, "--tip-radius shapes the rack"},
        {{"--teeth", "20", "--cutter", "rack", "--cutter-teeth", "30"}, "--cutter-teeth shapes the pinion cutter"},
        // The engine's own reasons.
        {{"--teeth", "60", "--internal", "--cutter", "rack"}, "a ring gear is cut by a pinion cutter, not by a rack"},
        {{"--teeth", "20", "--internal"}, "a ring gear needs more teeth than its cutter (25)"},
        {{"--teeth", "60", "--internal", "--rim-diameter", "62"}, "the rim (diameter 62 mm) must lie outside the root circle"},
        {{"--teeth", "60", "--internal", "--backlash", "0.1"}, "backlash is cut by a rack"},
        {{"--teeth", "60", "--internal", "--mate", "60"}, "the pinion needs fewer teeth than the ring gear"},
        {{"--teeth", "60", "--internal", "--pin-diameter", "1.5"}, "no measurement over pins for a ring gear"},
    };
    for (const BadCommand& b : bad) expectRefused(b);
}

// The number after "key": in a one-line JSON object, or after a label in the text report.
double valueAfter(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find(key);
    return at == std::string::npos ? NAN : std::strtod(text.c_str() + at + key.size(), nullptr);
}

// The textbook's centre distance of a pair of gears, or of a gear and its pinion cutter, at
// inv α_w = inv α + 2 tan α (x ± x0)/(z ± z0), a_w = m(z ± z0) cos α / (2 cos α_w), − inside a ring.
double textbookCentreDistance(double m, int z, double x, int z0, double x0, bool ring)
{
    const auto inv = [](double a) { return std::tan(a) - a; };
    const double alpha = 20 * 3.14159265358979323846 / 180, sign = ring ? -1 : 1;
    const double target = inv(alpha) + 2 * std::tan(alpha) * (x + sign * x0) / (z + sign * z0);
    double low = 0, high = 1.5;
    for (int i = 0; i < 200; ++i) (inv((low + high) / 2) < target ? low : high) = (low + high) / 2;
    return m * (z + sign * z0) * std::cos(alpha) / (2 * std::cos(low));
}

TEST(CommandLine, ThePinionCutterAndTheRingAreReportedAsTextAndAsJson)
{
    // --cutter-teeth alone chooses the pinion cutter, and the cutting pair is the textbook's.
    const ProfileRun external =
        runProfile({"--teeth", "18", "--module", "2", "--shift", "0.1", "--cutter-teeth", "30", "--cutter-shift", "-0.2", "--json"});
    EXPECT_NE(external.out.find("\"kind\": \"pinion\""), std::string::npos) << external.err;
    EXPECT_NEAR(valueAfter(external.out, "\"cutting_centre_distance\": "), textbookCentreDistance(2, 18, 0.1, 30, -0.2, false),
                1e-9);

    std::vector<const char*> ring = {"--teeth", "50", "--shift", "0.2", "--internal", "--cutter-teeth", "20",
                                     "--cutter-shift", "0.1", "--mate", "38", "--mate-shift", "0.3"};
    const ProfileRun text = runProfile(ring);
    ring.push_back("--json");
    const ProfileRun json = runProfile(ring);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NEAR(valueAfter(json.out, "\"cutting_centre_distance\": "), textbookCentreDistance(1, 50, 0.2, 20, 0.1, true), 1e-9);
    EXPECT_NEAR(valueAfter(json.out, "\"centre_distance\": "), textbookCentreDistance(1, 50, 0.2, 38, 0.3, true), 1e-9);
    EXPECT_NEAR(valueAfter(json.out, "\"rim_diameter\": "), valueAfter(json.out, "\"tip_diameter\": ") + 6, 1e-12);
    EXPECT_NE(text.out.find("(da + 6·m, the default)"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("no measurement over pins for a ring gear"), std::string::npos);
    // One report: each number the text prints is the JSON's to its decimals, each check's
    // reason the same in both.
    for (const auto& [label, key] : {std::pair{"rim diameter              D", "rim_diameter"},
                                     {"cutting centre distance   aw0", "cutting_centre_distance"},
                                     {"centre distance           aw ", "centre_distance"},
                                     {"effective contact ratio   ε  ", "effective_contact_ratio"}})
        EXPECT_NEAR(valueAfter(text.out, label), valueAfter(json.out, std::string("\"") + key + "\": "), 0.00005) << key;
    for (const char* check : {"involute_check", "tip_check", "radial_check"}) {
        const std::size_t at = json.out.find(std::string("\"") + check + "\": {\"passed\": ");
        const std::size_t reason = json.out.find("\"reason\": ", at) + 10;
        ASSERT_NE(at, std::string::npos) << check;
        if (json.out.compare(reason, 4, "null") != 0) {
            EXPECT_NE(text.out.find(json.out.substr(reason + 1, json.out.find('"', reason + 1) - reason - 1)), std::string::npos)
                << check;
        }
    }
    EXPECT_EQ(valueAfter(runProfile({"--teeth", "60", "--internal", "--rim-diameter", "70.5", "--json"}).out, "\"rim_diameter\": "),
              70.5);
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

TEST(CommandLine, AReportOrHelpThatCannotBeDeliveredEndsWithStatusOne)
{
    struct Lost {
        std::vector<const char*> args;
        const char* output;
        const char* mode;
        const char* message;
    };
    const Lost lost[] = {
        {{"gearprofile", "--teeth", "10"}, "/dev/full", "w", "No space left on device"},
        {{"gearprofile", "--help"}, "/dev/full", "w", "No space left on device"},
        // A closed standard output is reopened read-only at start: writing to it fails.
        {{"gearprofile", "--teeth", "20"}, "/dev/null", "r", "the stream is closed"},
    };
    for (const Lost& l : lost) {
        std::FILE* out = std::fopen(l.output, l.mode);
        ASSERT_NE(out, nullptr);
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(runGearProfile(static_cast<int>(l.args.size()), l.args.data(), out, err), exitWriteFailed);
        std::fclose(out);
        EXPECT_EQ(contentOf(err), std::string("gearprofile: cannot write the report: ") + l.message + "\n");
    }
    // A gear without bottom clearance is cut, with a warning on standard error and in the report.
    const ProfileRun shallow = runProfile({"--teeth", "20", "--dedendum", "0.8"});
    EXPECT_EQ(shallow.status, 0);
    EXPECT_NE(shallow.err.find("warning: the dedendum is no deeper than the addendum"), std::string::npos);
    EXPECT_NE(shallow.out.find("no bottom clearance"), std::string::npos);
    // What is printed back is what the gear is: no negative zero.
    EXPECT_NE(runProfile({"--teeth", "20", "--shift", "-0"}).out.find("profile shift 0\n"), std::string::npos);
}

class Exports : public InScratchDir {};

TEST_F(Exports, AFailedWriteIsReportedWithStatusOneAndTheOthersAreStillWritten)
{
    const ProfileRun r = runProfile({"--teeth", "9", "--csv", "missing/gear.csv", "--svg", "gear.svg"});
    EXPECT_EQ(r.status, exitWriteFailed);
    EXPECT_EQ(r.err, "gearprofile: cannot write 'missing/gear.csv': No such file or directory\n");
    EXPECT_NE(readWholeFile("gear.svg").find("</svg>"), std::string::npos);
}

TEST_F(Exports, TwoOutputsNamingOneFileAreRefusedBeforeAnythingIsWritten)
{
    ASSERT_EQ(symlink("gear.svg", "link.dxf"), 0);
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"--teeth", "9", "--svg", "gear.svg", "--dxf", "./gear.svg"},
          std::vector<const char*>{"--teeth", "9", "--svg", "gear.svg", "--dxf", "link.dxf"},
          std::vector<const char*>{"--teeth", "9", "--csv", "gear.svg", "--svg", "gear.svg"}}) {
        const ProfileRun r = runProfile(args);
        EXPECT_EQ(r.status, exitUsage);
        EXPECT_NE(r.err.find("name the same file"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(readWholeFile("gear.svg"), "");
    }
}

}  // namespace
