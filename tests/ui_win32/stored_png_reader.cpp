#include "tests/ui_win32/stored_png_reader.h"

#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

std::uint32_t bitwiseCrc(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::uint32_t bigEndian(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

}  // namespace

std::string readWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::optional<win32ui::RgbImage> readStoredPng(std::string_view file, std::string& problem) {
    if (file.substr(0, 8) != std::string_view("\x89PNG\r\n\x1a\n", 8)) return problem = "no PNG signature", std::nullopt;
    win32ui::RgbImage image;
    std::string zlib;
    bool ended = false;
    for (std::size_t at = 8; at + 12 <= file.size() && !ended;) {
        const std::uint32_t length = bigEndian(file, at);
        if (at + 12 + length > file.size()) return problem = "chunk past the end", std::nullopt;
        const std::string_view typed = file.substr(at + 4, 4 + length);
        if (bitwiseCrc(typed) != bigEndian(file, at + 8 + length)) return problem = "bad CRC", std::nullopt;
        const std::string_view type = typed.substr(0, 4), data = typed.substr(4);
        if (type == "IHDR") {
            image.width = static_cast<int>(bigEndian(data, 0));
            image.height = static_cast<int>(bigEndian(data, 4));
            if (data.substr(8) != std::string_view("\x08\x02\x00\x00\x00", 5)) return problem = "not 8-bit RGB", std::nullopt;
        } else if (type == "IDAT") {
            zlib.append(data);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    if (!ended) return problem = "no IEND", std::nullopt;
    if (zlib.size() < 6 || ((static_cast<unsigned char>(zlib[0]) << 8) | static_cast<unsigned char>(zlib[1])) % 31 != 0)
        return problem = "bad zlib header", std::nullopt;
    std::string raw;
    std::size_t at = 2;
    for (bool last = false; !last;) {
        if (at + 5 > zlib.size()) return problem = "deflate stream cut short", std::nullopt;
        const auto header = static_cast<unsigned char>(zlib[at]);
        last = header & 1;
        if ((header >> 1) != 0) return problem = "not a stored block", std::nullopt;
        const unsigned len = static_cast<unsigned char>(zlib[at + 1]) | (static_cast<unsigned char>(zlib[at + 2]) << 8);
        const unsigned nlen = static_cast<unsigned char>(zlib[at + 3]) | (static_cast<unsigned char>(zlib[at + 4]) << 8);
        if ((len ^ nlen) != 0xFFFF) return problem = "bad stored block length", std::nullopt;
        raw.append(zlib, at + 5, len);
        at += 5 + len;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    if (at + 4 != zlib.size() || bigEndian(zlib, at) != ((b << 16) | a)) return problem = "bad Adler-32", std::nullopt;
    const std::size_t row = static_cast<std::size_t>(image.width) * 3 + 1;
    if (raw.size() != row * static_cast<std::size_t>(image.height)) return problem = "wrong amount of image data", std::nullopt;
    for (int y = 0; y < image.height; ++y) {
        if (raw[static_cast<std::size_t>(y) * row] != 0) return problem = "row filter other than none", std::nullopt;
        image.pixels.insert(image.pixels.end(), raw.begin() + static_cast<std::ptrdiff_t>(y * row + 1),
                            raw.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
    }
    return image;
}
