#pragma once
// A picture as rows of 8-bit red, green, blue triples, top row first.
#include <cstdint>
#include <vector>

namespace win32ui {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3

    struct Rgb {
        std::uint8_t r, g, b;
        bool operator==(const Rgb&) const = default;
    };
    Rgb at(int x, int y) const {
        const auto i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
        return Rgb{pixels[i], pixels[i + 1], pixels[i + 2]};
    }
};

}  // namespace win32ui
