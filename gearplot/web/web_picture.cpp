// The window as a picture in a page: there is no libpng for the web build, so the PNG is
// written with stored (uncompressed) deflate blocks, which every PNG reader takes. An 800 ×
// 800 picture is 1.9 MB instead of some 30 KB; the page offers it for download as it is.
#include "gearplot.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace {

constexpr std::size_t storedBlockLimit = 65535;  // bytes, the most one stored block holds

const std::array<std::uint32_t, 256> crcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

void putBigEndian(std::string* s, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8) s->push_back(static_cast<char>((v >> shift) & 0xFF));
}

// Writes one chunk: length, type, data and the CRC of type and data.
bool writeChunk(std::FILE* out, const char* type, const std::string& data)
{
    std::string chunk;
    putBigEndian(&chunk, static_cast<std::uint32_t>(data.size()));
    chunk += type;
    chunk += data;
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 4; i < chunk.size(); ++i) crc = crcTable[(crc ^ static_cast<unsigned char>(chunk[i])) & 0xFF] ^ (crc >> 8);
    putBigEndian(&chunk, crc ^ 0xFFFFFFFFu);
    return std::fwrite(chunk.data(), 1, chunk.size(), out) == chunk.size();
}

// A zlib stream of stored blocks around raw.
std::string storedZlib(const std::string& raw)
{
    std::string z = "\x78\x01";
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t at = 0;
    do {
        const std::size_t n = std::min(storedBlockLimit, raw.size() - at);
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, at, n);
        at += n;
    } while (at < raw.size());
    putBigEndian(&z, (b << 16) | a);
    return z;
}

}  // namespace

bool writePng(std::FILE* out, int width, int height, const std::vector<unsigned char>& rgb)
{
    if (width <= 0 || height <= 0 || rgb.size() != std::size_t(width) * std::size_t(height) * 3) return false;
    std::string header;
    putBigEndian(&header, static_cast<std::uint32_t>(width));
    putBigEndian(&header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, no filter, no interlace
    const std::size_t rowBytes = std::size_t(width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * std::size_t(height));
    for (int row = 0; row < height; ++row) {
        raw.push_back(0);  // filter: none
        raw.append(reinterpret_cast<const char*>(rgb.data()) + rowBytes * std::size_t(row), rowBytes);
    }
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    return std::fwrite(signature, 1, 8, out) == 8 && writeChunk(out, "IHDR", header) &&
           writeChunk(out, "IDAT", storedZlib(raw)) && writeChunk(out, "IEND", "") && std::fflush(out) == 0 &&
           !std::ferror(out);
}
