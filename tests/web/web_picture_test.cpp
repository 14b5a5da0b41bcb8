// gearlab's p in a page against the desktop's p of the same view: the desktop program under
// a private Xvfb, the page in headless Chromium, and both SVGs read by a real XML parser.
// What each draws must agree element for element in kind, colour, width and dash array,
// and caption for caption in text and colour.
#include "program_under_xvfb.h"
#include "test_support.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace e2e;

std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

bool haveCommand(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

// What the SVG draws, by kind and style, as svg_summary.py reads it.
std::string summary(const std::string& svg, const ScratchDir& scratch)
{
    const std::string out = scratch.path("summary.txt");
    std::system(("python3 " + quoted(SVG_SUMMARY_SCRIPT) + " " + quoted(svg) + " >" + quoted(out)).c_str());
    return readWholeFile(out);
}

class GearlabPictures : public ProgramUnderXvfb {
protected:
    void SetUp() override
    {
        if (!std::ifstream(std::string(WEB_SITE_DIR) + "/gearlab.html"))
            GTEST_SKIP() << "the web pages were not built (see the test web_pages_build)";
        if (!haveCommand("node") || !haveCommand("chromium"))
            GTEST_SKIP() << "the page tests need node and chromium (scripts/packages.sh installs them)";
        ProgramUnderXvfb::SetUp();
        ASSERT_NE(getcwd(home_, sizeof home_), nullptr);
        ASSERT_EQ(chdir(desktop_.dir().c_str()), 0);  // where the desktop lab writes its pictures
    }
    void TearDown() override { ASSERT_EQ(chdir(home_), 0); }
    ScratchDir desktop_, page_;
    char home_[4096];
};

TEST_F(GearlabPictures, TheSvgOfAPageDrawsWhatTheDesktopsDoes)
{
    const std::string stem = "gear-z10-m1-a20-x0-A-view";
    const WindowId w = start("gearlab", "", "gearlab");
    ASSERT_NE(w, 0u) << run_->errors();
    press(w, {"p"});
    ASSERT_TRUE(run_->waitForOutput(stem + "1-1.svg\n", 60)) << run_->output() << run_->errors();
    press(w, {"3", "p"});
    ASSERT_TRUE(run_->waitForOutput(stem + "3-1.svg\n", 60)) << run_->output() << run_->errors();

    std::string command = "node " + quoted(PAGE_SESSION_SCRIPT) + " " + quoted(WEB_SITE_DIR) + " gearlab.html " +
                          quoted(page_.dir());
    for (const std::string step : {"idle", "key:p", "idle", "key:3", "key:p", "idle"}) command += " " + quoted(step);
    for (const char* view : {"1", "3"}) command += " " + quoted("file:/" + stem + view + "-1.svg");
    ASSERT_EQ(std::system((command + " 2>" + quoted(page_.path("errors"))).c_str()), 0) << readWholeFile(page_.path("errors"));

    for (const char* view : {"1", "3"}) {
        SCOPED_TRACE(std::string("view ") + view);
        const std::string file = stem + view + "-1.svg";
        const std::string desktop = summary(desktop_.path(file), desktop_), page = summary(page_.path(file), page_);
        EXPECT_EQ(page, desktop);
        // Not agreeing in black alone: the colours, the dashes and the captions are there.
        EXPECT_NE(desktop.find("fill=#ff0000"), std::string::npos);         // the N marks
        EXPECT_NE(desktop.find("stroke-dasharray="), std::string::npos);    // the dashed circles and limit
        EXPECT_NE(desktop.find("text=z 10   m 1"), std::string::npos);  // the status line, first in its band
    }
    const std::string mesh = summary(desktop_.path(stem + "3-1.svg"), desktop_);
    EXPECT_NE(mesh.find("stroke=#008c00 stroke-width=4"), std::string::npos);  // the path of contact
    EXPECT_NE(mesh.find("fill=#ff8000"), std::string::npos);                    // the contact points
}

}  // namespace
