#include "ui/win32/png_encoder.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace win32ui {
namespace {

// CRC-32 as PNG chunks carry it (polynomial 0xEDB88320, reflected).
std::uint32_t crc32(std::string_view bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::string_view bytes) {
    std::uint32_t a = 1, b = 0;
    for (unsigned char byte : bytes) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

void putBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& out, std::string_view type, std::string_view data) {
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    std::string typed(type);
    typed += data;
    out += typed;
    putBigEndian(out, crc32(typed));
}

// A zlib stream of stored deflate blocks, at most 65535 bytes each.
std::string storedZlib(std::string_view raw) {
    std::string out("\x78\x01", 2);
    std::size_t at = 0;
    do {
        const std::size_t length = std::min<std::size_t>(raw.size() - at, 65535);
        const bool last = at + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xFF);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xFF);
        out += static_cast<char>((~length >> 8) & 0xFF);
        out.append(raw.substr(at, length));
        at += length;
    } while (at < raw.size());
    putBigEndian(out, adler32(raw));
    return out;
}

}  // namespace

std::string encodePng(const RgbImage& image) {
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(image.width));
    putBigEndian(header, static_cast<std::uint32_t>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, truecolour, deflate, no filter, no interlace

    // Each row starts with its filter type, 0 (none).
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(image.pixels.data()) + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    }

    std::string png("\x89PNG\r\n\x1a\n", 8);
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", storedZlib(raw));
    putChunk(png, "IEND", {});
    return png;
}

}  // namespace win32ui
