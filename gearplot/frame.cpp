// The application frame: the window, the per-frame begin and end, reshaping, captions and
// the pixels read back.
#include "emit.h"

#include <algorithm>

#include <GL/glut.h>
#include <malloc.h>

namespace {

bool unlitRun = false;  // an unlit run is open: lighting stays off between operations

}  // namespace

void beginUnlitRun()
{
    setLighting(false);
    unlitRun = true;
}

void endUnlitRun()
{
    unlitRun = false;
    setLighting(true);
}

void lightingOff()
{
    if (!unlitRun) setLighting(false);
}

void lightingOn()
{
    if (!unlitRun) setLighting(true);
}

void holdDriverHeap()
{
    // Mesa's software renderer gathers each frame's primitives in blocks it allocates while
    // drawing and frees when the next frame clears. Freed at the top of the heap, glibc
    // hands them back to the system, and the next frame faults every page in again.
    mallopt(M_TRIM_THRESHOLD, heldDriverHeap);
}

namespace {

// The window's size as the last reshape gave it: what window pixels and aspects refer to.
int windowWidthPixels = 800;
int windowHeightPixels = 800;
int reshapes = 0;

// Keeps the new size, covers the whole window and leaves an identity projection current.
void beginReshape(int width, int height)
{
    windowWidthPixels = width;
    windowHeightPixels = height;
    ++reshapes;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
}

}  // namespace

void runWindow(int* argc, char** argv, const WindowDescription& window)
{
    holdDriverHeap();
    glutInitWindowSize(800, 800);
    glutInit(argc, argv);  // without a display, freeglut says so and exits with status 1
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_DEPTH);
    createTitledWindow(window.title);
    glutDisplayFunc(window.display);
    glutReshapeFunc(window.reshape ? window.reshape : reshapeView);
    glutKeyboardFunc(window.keyboard);
    if (window.special) glutSpecialFunc(window.special);
    publishKeys(window.keys, window.keyCount);
    setWhiteBackground();
    // Every drawing operation leaves lighting on, which makes the captions near-black.
    // Starting with it on gives the first frame the same dark captions as every later one.
    setLighting(true);
    glutMainLoop();
}

void createTitledWindow(const char* title)
{
    glutCreateWindow(title);
    publishUtf8Title(title);
}

void beginFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void endFrame()
{
    glFlush();
    glutSwapBuffers();
}

void reshapeView(int width, int height)
{
    beginReshape(width, height);
    glMatrixMode(GL_MODELVIEW);
}

void reshapeKeepingAspect(int width, int height)
{
    beginReshape(width, height);
    const double shorter = std::max(1, std::min(width, height));
    glOrtho(-width / shorter, width / shorter, -height / shorter, height / shorter, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

int windowWidth() { return windowWidthPixels; }

int reshapeCount() { return reshapes; }

int windowHeight() { return windowHeightPixels; }

void beginWindowPixels()
{
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, windowWidthPixels, 0, windowHeightPixels, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
}

void endWindowPixels()
{
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void setWhiteBackground() { glClearColor(1, 1, 1, 1); }

void drawText(float x, float y, void* font, const char* text)
{
    glPushAttrib(GL_CURRENT_BIT);
    glRasterPos2f(x, y);
    recordCaption(x, y, text);
    for (const char* c = text; *c; ++c) glutBitmapCharacter(font, static_cast<unsigned char>(*c));
    glPopAttrib();
}

void drawCaption(float y, const char* text) { drawText(captionLeft, y, GLUT_BITMAP_HELVETICA_18, text); }

std::vector<unsigned char> readFramePixels(int width, int height)
{
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::vector<unsigned char> bottomUp(rowBytes * std::size_t(height));
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    // OpenGL counts rows from the bottom, PNG from the top.
    std::vector<unsigned char> topDown(bottomUp.size());
    for (int row = 0; row < height; ++row)
        std::copy_n(bottomUp.begin() + std::ptrdiff_t(rowBytes) * row, rowBytes,
                    topDown.begin() + std::ptrdiff_t(rowBytes) * (height - 1 - row));
    return topDown;
}

#if defined(__SANITIZE_ADDRESS__)
// The GL driver keeps allocations to the end, and the leak checker runs after the driver has
// been unloaded, when they look lost and their library has no name. Sanitized builds keep
// libraries loaded, so the driver's leaks can be passed over by name and the programs' own
// are still reported. Here, beside runWindow, so that every program with a window has them:
// a program that asks nothing on the console never links the console's code.
extern "C" int dlclose(void*) { return 0; }
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:_dri.so\nleak:libgallium-\n";  // the driver library, by its old and new names
}
#endif
