// Linked into every web page: standard output goes to the page's console panel byte by
// byte, so a question shows before the program waits for its answer, and nothing is left
// in a buffer when a key handler ends the program. Files are made as a desktop shell makes
// them: Emscripten's umask of 0777 would leave every file the program writes unreadable, so
// the page could not offer it for download.
#include <sys/stat.h>

#include <cstdio>

// Brings the page's console (gearplot_page.js) into every page, drawing or not.
extern "C" void gearplot_web_console();

namespace {

struct PageConsole {
    PageConsole()
    {
        gearplot_web_console();
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        umask(022);
    }
};
const PageConsole pageConsole;

}  // namespace
