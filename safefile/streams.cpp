// The standard streams, the signals a program keeps or catches, and messages that quote what
// a user typed without letting it act on the terminal.
#include "safefile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

void ensureStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        // Read-only: output sent to a closed stream must still fail, so a program can say its
        // report was lost instead of pretending it arrived.
        const int opened = open("/dev/null", O_RDONLY);  // the lowest free descriptor: fd itself
        if (opened > fd) {
            dup2(opened, fd);
            close(opened);
        }
    }
}

bool streamDelivered(std::FILE* out, std::string* reason)
{
    errno = 0;
    if (std::fflush(out) == 0 && !std::ferror(out)) return true;
    const int error = errno;
    // A stream that was closed at start is open read-only on /dev/null (ensureStandardStreams).
    const int fd = fileno(out);
    const bool closed = error == EBADF || (fd >= 0 && (fcntl(fd, F_GETFL) & O_ACCMODE) == O_RDONLY);
    *reason = closed ? "the stream is closed" : error ? std::strerror(error) : "a write failed";
    return false;
}

void catchSignalUnlessIgnored(int sig, void (*handler)(int), struct sigaction* previous)
{
    sigaction(sig, nullptr, previous);
    if (previous->sa_handler == SIG_IGN) return;  // nohup and trap "" keep it ignored
    struct sigaction catching {};
    catching.sa_handler = handler;
    catching.sa_flags = SA_RESTART;
    sigemptyset(&catching.sa_mask);
    sigaction(sig, &catching, nullptr);
}

namespace {

// The length of the well-formed UTF-8 sequence at text[i], or 0.
std::size_t utf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    const std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (std::size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and the C1 controls (U+0080 … U+009F) are escaped too.
    if (length == 2 && c == 0xC2 && byte(i + 1) < 0xA0) return 0;
    if (length == 3 && ((c == 0xE0 && byte(i + 1) < 0xA0) || (c == 0xED && byte(i + 1) >= 0xA0))) return 0;
    if (length == 4 && ((c == 0xF0 && byte(i + 1) < 0x90) || (c == 0xF4 && byte(i + 1) >= 0x90))) return 0;
    return length;
}

}  // namespace

std::string printable(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
            ++i;
        } else if (c == '\\') {
            shown += "\\\\";
            ++i;
        } else if (const std::size_t length = c >= 0x80 ? utf8Length(text, i) : 0) {
            shown += text.substr(i, length);
            i += length;
        } else {
            const char* named = c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\r' ? "\\r" : nullptr;
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            shown += named ? named : hex;
            ++i;
        }
    }
    return shown;
}
