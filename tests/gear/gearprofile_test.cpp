// gearprofile's command line: every bad option is named and ends with status 2, a failed
// write with 1. The files themselves are read back by real readers (check_files.py).
#include "gearprofile.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
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
    for (const BadCommand& b : bad) {
        const ProfileRun r = runProfile(b.args);
        EXPECT_EQ(r.status, exitUsage) << b.named;
        EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(std::none_of(r.err.begin(), r.err.end() - 1, [](char c) { return c >= 0 && c < ' '; })) << r.err;
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
