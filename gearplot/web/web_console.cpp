// Linked into every web page: standard output goes to the page's console panel byte by
// byte, so a question shows before the program waits for its answer, and nothing is left
// in a buffer when a key handler ends the program.
#include <cstdio>

// Brings the page's console (gearplot_page.js) into every page, drawing or not.
extern "C" void gearplot_web_console();

namespace {

struct PageConsole {
    PageConsole()
    {
        gearplot_web_console();
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    }
};
const PageConsole pageConsole;

}  // namespace
