// The console trace of the rack drawing: collected per frame, written once per frame.
#include "cutdemo1.h"

#include <cerrno>
#include <charconv>
#include <cstring>

RackTrace rackTrace{stdout, 0, {}};

namespace {

// Longest trace line: an int, a two-letter label and two fixed-point doubles of up to 315
// characters each.
constexpr std::size_t longestTraceLine = 720;

// Appends text and returns the end of what was written.
char* append(char* at, const char* text)
{
    const std::size_t n = std::strlen(text);
    std::memcpy(at, text, n);
    return at + n;
}

// Appends v as "%7.4f" would print it. to_chars rounds exactly as printf does (to the nearest,
// ties to even on the exact binary value) at a fraction of its cost, which matters when a frame
// traces thousands of corners.
char* appendFixed(char* at, double v)
{
    char digits[longestTraceLine / 2];
    const auto written = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed, 4);
    const std::size_t n = static_cast<std::size_t>(written.ptr - digits);
    for (std::size_t pad = n; pad < 7; ++pad) *at++ = ' ';
    std::memcpy(at, digits, n);
    return at + n;
}

// A trace that cannot be written is switched off, once, with the reason on standard error.
void stopRackTrace()
{
    std::fprintf(stderr, "\n(座標の出力を止めます：%s)\n", std::strerror(errno));
    rackTrace.sink = nullptr;
    rackTrace.length = 0;
}

// Writes out what has been collected, without flushing: used when a frame outgrows the buffer.
void spillRackTrace()
{
    if (rackTrace.length > 0 && std::fwrite(rackTrace.text, 1, rackTrace.length, rackTrace.sink) != rackTrace.length)
        return stopRackTrace();
    rackTrace.length = 0;
}

}  // namespace

void traceCorner(int I, const char* label, const Point2& p)
{
    if (!rackTrace.sink) return;  // switched off: not even formatted
    if (rackTraceCapacity - rackTrace.length < longestTraceLine) spillRackTrace();

    // "\nI=%d  <label>[]=(%7.4f %7.4f)"
    char* const start = rackTrace.text + rackTrace.length;
    char* at = append(start, "\nI=");
    at = std::to_chars(at, start + longestTraceLine, I).ptr;
    at = append(at, "  ");
    at = append(at, label);
    at = append(at, "[]=(");
    at = appendFixed(at, p.x);
    *at++ = ' ';
    at = appendFixed(at, p.y);
    *at++ = ')';
    rackTrace.length += static_cast<std::size_t>(at - start);
}

void flushRackTrace()
{
    if (!rackTrace.sink) return;
    spillRackTrace();
    if (rackTrace.sink && std::fflush(rackTrace.sink) != 0) stopRackTrace();
}
