// The lab's entry: options, the font for the captions, then the window.
#include "gearlab.h"

#include <GL/glut.h>

#include <csignal>

namespace {

// Unifont's Japanese-style glyphs first, its plain ones if only those are installed.
constexpr const char* fontFiles[] = {"/usr/share/unifont/unifont_jp.hex", "/usr/share/unifont/unifont.hex"};

}  // namespace

int runGearLab(int argc, char** argv)
{
    ensureStandardStreams();  // the X connection must not become standard output
    // A reader of standard output that leaves must not end the lab and its state.
    std::signal(SIGPIPE, SIG_IGN);
    bool help = false;
    std::string message;
    if (!parseLabOptions(argc, argv, &help, &message)) {
        std::fprintf(stderr, "gearlab: %s (see gearlab --help)\n", message.c_str());
        return 2;
    }
    if (help) {
        std::fputs(labUsage(), stdout);
        return 0;
    }
    std::string reason;
    bool loaded = false;
    for (const char* file : fontFiles) loaded = loaded || loadUnicodeFont(file, &reason);
    if (!loaded)
        std::fprintf(stderr, "gearlab: no Unifont (%s); captions fall back to GLUT's Latin font\n", reason.c_str());

    WindowDescription window{"gearlab", displayLab, onLabKey};
    window.reshape = reshapeLab;
    window.special = onLabSpecialKey;
    window.keys = labTexts().keys;
    window.keyCount = labKeyCount;
    runWindow(&argc, argv, window);
    return 0;
}
