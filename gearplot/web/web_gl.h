// The browser build's view of OpenGL and GLUT, included ahead of every source file of the
// web build (-include). WebGL under Emscripten's legacy GL emulation lacks a few things the
// programs use; the calls that exist there but behave differently are routed to the toolkit's
// web layer (web_gl.cpp), the missing ones are defined there under their own names.
//
// - Each glBegin … glEnd is a costly draw of its own in the emulation: the primitives are
//   gathered, placed by their matrices, and drawn a run of the same kind at a time. The
//   matrices are the web layer's own, kept in double precision; the emulation's stay the
//   identity.
// - glBegin(GL_POLYGON) throws in the emulation: polygons are drawn as triangle fans, which
//   is how Mesa fills them on the desktop too.
// - glLineWidth above 1 draws one-pixel lines in WebGL: wide lines become quads.
// - WebGL has no line stipple: stippled lines are cut into dashes.
// - WebGL reads pixels only as RGBA: an RGB read is narrowed from that.
// - glutMainLoop would call the handlers from browser events, where a handler cannot wait for
//   the console: the web layer runs its own loop from main instead, which can.
// - glutSwapBuffers also paints the captions, which the page draws with its own font.
// - The page shows the window fitted to the screen at the device's pixel ratio: viewports,
//   line widths and point sizes are scaled from the window's pixels to the canvas's.
// - Timers, redisplay requests and special keys are events of that same loop.
// - A layer kept between frames is a framebuffer and texture of the window's size: a
//   texture, like a viewport, is sized in window pixels and made at the canvas's. Binding
//   either, changing the viewport or enabling anything but lighting and stipple first draws
//   what was gathered, which belongs to the framebuffer and state before.
// Emscripten's libc++ 13 also lacks the floating-point std::to_chars; a stand-in follows.
#pragma once

#ifndef GL_GLEXT_PROTOTYPES
#define GL_GLEXT_PROTOTYPES  // the framebuffer calls of the kept layers
#endif
#include <GL/gl.h>
#include <GL/glut.h>

#ifdef __cplusplus
#include <charconv>
#include <cstdio>

#if _LIBCPP_VERSION < 14000
namespace std {
// Fixed or scientific with the given precision, rounded as printf rounds: to the nearest,
// ties to even on the exact binary value, which is what the real to_chars promises too.
inline to_chars_result to_chars(char* first, char* last, double value, chars_format format, int precision)
{
    char text[512];
    const int n = std::snprintf(text, sizeof text, format == chars_format::fixed ? "%.*f" : "%.*e", precision, value);
    if (n < 0 || n >= static_cast<int>(sizeof text) || n > last - first) return {last, errc::value_too_large};
    for (int i = 0; i < n; ++i) first[i] = text[i];
    return {first + n, errc{}};
}
}  // namespace std
#endif
#endif

void gearplotWebBegin(GLenum mode);
void gearplotWebEnd();
void gearplotWebLineWidth(GLfloat width);
void gearplotWebEnable(GLenum capability);
void gearplotWebDisable(GLenum capability);
void gearplotWebLineStipple(GLint factor, GLushort pattern);
void gearplotWebPointSize(GLfloat size);
void gearplotWebColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void gearplotWebClear(GLbitfield mask);
void gearplotWebMatrixMode(GLenum mode);
void gearplotWebLoadIdentity();
void gearplotWebLoadMatrixf(const GLfloat* m);
void gearplotWebLoadMatrixd(const GLdouble* m);
void gearplotWebPushMatrix();
void gearplotWebPopMatrix();
void gearplotWebTranslated(GLdouble x, GLdouble y, GLdouble z);
void gearplotWebRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);
void gearplotWebScaled(GLdouble x, GLdouble y, GLdouble z);
void gearplotWebOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble near, GLdouble far);
void gearplotWebGetFloatv(GLenum name, GLfloat* values);
void gearplotWebGetIntegerv(GLenum name, GLint* values);
void gearplotWebViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void gearplotWebBindFramebuffer(GLenum target, GLuint framebuffer);
void gearplotWebBindTexture(GLenum target, GLuint texture);
void gearplotWebTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                           GLint border, GLenum format, GLenum type, const void* pixels);
void gearplotWebReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, void* pixels);
void gearplotWebSwapBuffers();
void gearplotWebDisplayFunc(void (*display)());
void gearplotWebReshapeFunc(void (*reshape)(int width, int height));
void gearplotWebKeyboardFunc(void (*keyboard)(unsigned char key, int x, int y));
void gearplotWebSpecialFunc(void (*special)(int key, int x, int y));
void gearplotWebTimerFunc(unsigned int milliseconds, void (*timer)(int value), int value);
void gearplotWebPostRedisplay();
[[noreturn]] void gearplotWebMainLoop();

#define glBegin(mode) gearplotWebBegin(mode)
#define glEnd() gearplotWebEnd()
#define glLineWidth(width) gearplotWebLineWidth(width)
#define glEnable(capability) gearplotWebEnable(capability)
#define glDisable(capability) gearplotWebDisable(capability)
#define glLineStipple(factor, pattern) gearplotWebLineStipple(factor, pattern)
#define glPointSize(size) gearplotWebPointSize(size)
#define glColor4f(red, green, blue, alpha) gearplotWebColor(red, green, blue, alpha)
#define glClear(mask) gearplotWebClear(mask)
#define glMatrixMode(mode) gearplotWebMatrixMode(mode)
#define glLoadIdentity() gearplotWebLoadIdentity()
#define glLoadMatrixf(m) gearplotWebLoadMatrixf(m)
#define glLoadMatrixd(m) gearplotWebLoadMatrixd(m)
#define glPushMatrix() gearplotWebPushMatrix()
#define glPopMatrix() gearplotWebPopMatrix()
#define glTranslated(x, y, z) gearplotWebTranslated(x, y, z)
#define glRotated(angle, x, y, z) gearplotWebRotated(angle, x, y, z)
#define glScaled(x, y, z) gearplotWebScaled(x, y, z)
#define glOrtho(left, right, bottom, top, near, far) gearplotWebOrtho(left, right, bottom, top, near, far)
#define glGetFloatv(name, values) gearplotWebGetFloatv(name, values)
#define glGetIntegerv(name, values) gearplotWebGetIntegerv(name, values)
#define glViewport(x, y, width, height) gearplotWebViewport(x, y, width, height)
#define glBindFramebuffer(target, framebuffer) gearplotWebBindFramebuffer(target, framebuffer)
#define glBindTexture(target, texture) gearplotWebBindTexture(target, texture)
#define glTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels) \
    gearplotWebTexImage2D(target, level, internalFormat, width, height, border, format, type, pixels)
#define glReadPixels(x, y, width, height, format, type, pixels) \
    gearplotWebReadPixels(x, y, width, height, format, type, pixels)
#define glutSwapBuffers() gearplotWebSwapBuffers()
#define glutDisplayFunc(display) gearplotWebDisplayFunc(display)
#define glutReshapeFunc(reshape) gearplotWebReshapeFunc(reshape)
#define glutKeyboardFunc(keyboard) gearplotWebKeyboardFunc(keyboard)
#define glutSpecialFunc(special) gearplotWebSpecialFunc(special)
#define glutTimerFunc(milliseconds, timer, value) gearplotWebTimerFunc(milliseconds, timer, value)
#define glutPostRedisplay() gearplotWebPostRedisplay()
#define glutMainLoop() gearplotWebMainLoop()
// No program tests depth: a page's window has no depth buffer to clear every frame.
#define glutInitDisplayMode(mode) glutInitDisplayMode((mode) & ~GLUT_DEPTH)
// WebGL 1 reads the frame being drawn, which is the desktop's back buffer.
#define glReadBuffer(mode) ((void)(mode))
