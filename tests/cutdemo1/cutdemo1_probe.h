// Running cutdemo1's frames through the recording stand-in, with the console trace captured.
#pragma once

#include "cutdemo1.h"
#include "rack_probe.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace probe1 {

// Sets up cutdemo1 for tooth count z in the given mode, with a fresh GL context that has
// lighting on, as every later frame finds it.
inline void startPhiProgram(int z, char mode, double zoom = 0.5)
{
    useRackEdition(cutdemo1Edition);
    rackGear = makeRackGear(z);
    generatePhiTables(rackGear, &rackTables, &phiRack);
    rackView = RackView{mode, 0, 0, 0, 0, zoom};
    glstub::reset();
    glEnable(GL_LIGHTING);
    glstub::clearLog();
}

// Sends the rack trace into memory for as long as it lives; text() is what was written.
class TraceCapture {
public:
    TraceCapture()
    {
        saved_ = rackTrace.sink;
        stream_ = open_memstream(&buffer_, &size_);
        rackTrace.sink = stream_;
        rackTrace.length = 0;
    }
    ~TraceCapture()
    {
        rackTrace.sink = saved_;
        rackTrace.length = 0;
        std::fclose(stream_);
        std::free(buffer_);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;
    std::string text()
    {
        std::fflush(stream_);
        return std::string(buffer_, size_);
    }
    // Forgets what was written so far.
    void clear()
    {
        std::fflush(stream_);
        std::rewind(stream_);
        std::fflush(stream_);
    }

private:
    std::FILE* saved_;
    std::FILE* stream_;
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
};

inline int lineCount(const std::string& trace) { return static_cast<int>(std::count(trace.begin(), trace.end(), '\n')); }

// The plain two-vertex segments of a colour, in drawing order: rack teeth, pitch lines, strokes.
inline std::vector<const glstub::Primitive*> segments(const Rgba& colour)
{
    std::vector<const glstub::Primitive*> found;
    for (const auto* p : probe::lines(colour))
        if (p->vertices.size() == 2) found.push_back(p);
    return found;
}

}  // namespace probe1
