// Scenes of the four programs drawn by their real display code through real OpenGL, in a
// window on a private Xvfb server: the frame benchmark times them, the pixel test compares
// them with the pictures captured from the drawing code as it was before it was sped up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One scene: a program's state set directly, as its keys would have left it.
struct FrameScene {
    const char* name;      // file stem of its reference picture
    const char* program;   // "cutdemo3", "cutdemo2", "cutdemo1" or "unwinddemo"
    int toothCount;        // z of the rack programs (unwinddemo has none of its own)
    char mode;             // the mode key
    int step;              // every step counter of the mode; past the last it stays at the last
    int zoomIns;           // 'W' presses from the starting zoom
};

// Every scene: each program, each mode at its end, modes 4 and 5 far on, huge z and 20 × 'W'.
extern const std::vector<FrameScene> frameScenes;

constexpr int frameSize = 800;  // the programs' window, pixels each way

// An RGB picture of the window, rows from the top.
struct FramePicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;
};

// Starts a private Xvfb server and opens the programs' 800 × 800 window on it, mapped and
// ready to draw. False, after saying why on standard error, when either fails.
bool openFrameWindow();
// Stops the private server (also done at exit).
void closeFrameWindow();

// Sets the scene's program state: its dialogue answered with the tooth count, its mode,
// steps and zoom.
void setUpScene(const FrameScene& scene);
// Draws one frame of the scene's program with its display handler, as a key would.
void drawSceneFrame(const FrameScene& scene);
// Waits for the frame to be drawn and reads the whole window.
FramePicture readWindow();

// PNG files, through libpng: false when the file cannot be written or read.
bool writePicture(const std::string& path, const FramePicture& picture);
bool readPicture(const std::string& path, FramePicture* picture);
