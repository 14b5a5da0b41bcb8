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

// The number after "key": in a one-line JSON object; NaN where the key is missing or null.
double jsonValue(const std::string& json, const std::string& key)
{
    const std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return NAN;
    const char* value = json.c_str() + at + key.size() + 4;
    char* end = nullptr;
    const double v = std::strtod(value, &end);
    return end == value ? NAN : v;
}

// The number after label in the English report, as printed (four decimals).
double reportValue(const std::string& report, const std::string& label)
{
    const std::size_t at = report.find(label);
    return at == std::string::npos ? NAN : std::strtod(report.c_str() + at + label.size(), nullptr);
}

double involute(double a) { return std::tan(a) - a; }

// The textbook's cutting pair of a pinion cutter, inv α_w0 = inv α + 2 tan α (x ± x0)/(z ± z0)
// and a_w0 = m(z ± z0)cos α / (2 cos α_w0), − for a ring, solved here by bisection.
double cuttingCentreDistance(double m, int z, double x, int z0, double x0, bool ring)
{
    const double alpha = 20 * 3.14159265358979323846 / 180, sign = ring ? -1 : 1;
    const double target = involute(alpha) + 2 * std::tan(alpha) * (x + sign * x0) / (z + sign * z0);
    double low = 0, high = 1.5;
    for (int i = 0; i < 200; ++i) (involute((low + high) / 2) < target ? low : high) = (low + high) / 2;
    return m * (z + sign * z0) * std::cos(alpha) / (2 * std::cos(low));
}

TEST(CommandLine, ThePinionCutterAndTheRingAreReportedAsTextAndAsJson)
{
    // --cutter-teeth alone chooses the pinion cutter; --internal does too.
    const ProfileRun external = runProfile({"--teeth", "18", "--module", "2", "--shift", "0.1", "--cutter-teeth", "30",
                                            "--cutter-shift", "-0.2", "--json"});
    ASSERT_EQ(external.status, 0) << external.err;
    EXPECT_NE(external.out.find("\"kind\": \"pinion\""), std::string::npos) << external.out;
    EXPECT_NE(external.out.find("\"rack\": null"), std::string::npos);
    EXPECT_NEAR(jsonValue(external.out, "cutting_centre_distance"), cuttingCentreDistance(2, 18, 0.1, 30, -0.2, false), 1e-9);
    EXPECT_EQ(jsonValue(external.out, "teeth"), 18);

    const std::vector<const char*> ring = {"--teeth", "50", "--shift", "0.2", "--internal", "--cutter-teeth", "20",
                                           "--cutter-shift", "0.1", "--mate", "38", "--mate-shift", "0.3"};
    std::vector<const char*> asJson = ring;
    asJson.push_back("--json");
    const ProfileRun text = runProfile(ring), json = runProfile(asJson);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_NEAR(jsonValue(json.out, "cutting_centre_distance"), cuttingCentreDistance(1, 50, 0.2, 20, 0.1, true), 1e-9);
    EXPECT_NE(json.out.find("\"internal\": true"), std::string::npos);
    // The rim da + 6m unless given, said so.
    EXPECT_NEAR(jsonValue(json.out, "rim_diameter"), jsonValue(json.out, "tip_diameter") + 6, 1e-12);
    EXPECT_NE(text.out.find("(da + 6·m, the default)"), std::string::npos) << text.out;
    // One report: every number the text prints is the JSON's, to the text's decimals.
    const std::pair<const char*, const char*> same[] = {
        {"rim diameter              D", "rim_diameter"},
        {"cutting centre distance   aw0", "cutting_centre_distance"},
        {"centre distance           aw ", "centre_distance"},
        {"contact ratio             ε  ", "contact_ratio"},
        {"effective contact ratio   ε  ", "effective_contact_ratio"},
        {"tip diameter              da", "tip_diameter"},
    };
    for (const auto& [label, key] : same) {
        EXPECT_FALSE(std::isnan(reportValue(text.out, label))) << label << "\n" << text.out;
        EXPECT_NEAR(reportValue(text.out, label), jsonValue(json.out, key), 0.00005) << key;
    }
    // The pinion inside sits m(z − z1)cos α/(2 cos α_w) from the ring's centre, α_w from the
    // shifts as for the cutting pair.
    EXPECT_NEAR(jsonValue(json.out, "centre_distance"), cuttingCentreDistance(1, 50, 0.2, 38, 0.3, true), 1e-9);
    // Each check with its reason in both, or passed in both.
    for (const char* check : {"involute_check", "tip_check", "radial_check"}) {
        const std::string key = std::string("\"") + check + "\": {\"passed\": ";
        const std::size_t at = json.out.find(key);
        ASSERT_NE(at, std::string::npos) << check;
        const bool passed = json.out.compare(at + key.size(), 4, "true") == 0;
        const std::size_t reason = json.out.find("\"reason\": ", at) + 10;
        if (passed) {
            EXPECT_EQ(json.out.compare(reason, 4, "null"), 0) << check;
        } else {
            const std::string said = json.out.substr(reason + 1, json.out.find('"', reason + 1) - reason - 1);
            EXPECT_NE(text.out.find(said), std::string::npos) << said;
        }
    }
    EXPECT_NE(text.out.find("no measurement over pins for a ring gear"), std::string::npos);
    EXPECT_EQ(text.out.find("fewest teeth without undercut"), std::string::npos);

    // A rim given is the rim cut, and not called the default.
    const ProfileRun given = runProfile({"--teeth", "60", "--internal", "--rim-diameter", "70.5", "--json"});
    EXPECT_EQ(jsonValue(given.out, "rim_diameter"), 70.5);
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
