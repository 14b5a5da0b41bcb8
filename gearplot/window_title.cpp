// What only the desktop window does: the title as UTF-8, and no key list beside it.
//
// The window title as UTF-8. freeglut 3.4 stores the title only as a Latin-1 STRING in
// WM_NAME, which shows Japanese as mojibake; window managers prefer _NET_WM_NAME.
#include "gearplot.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstring>

void publishUtf8Title(const char* title)
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();  // the window GLUT has just created
    if (!display || !window) return;
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    const auto bytes = reinterpret_cast<const unsigned char*>(title);
    const int length = static_cast<int>(std::strlen(title));
    for (const char* property : {"_NET_WM_NAME", "_NET_WM_ICON_NAME"})
        XChangeProperty(display, window, XInternAtom(display, property, False), utf8, 8, PropModeReplace,
                        bytes, length);
    XFlush(display);
}

// The desktop's keys are listed by each program's own help.
void publishKeys(const KeyHelp[], int) {}
