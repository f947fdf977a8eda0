// The PNG files the screenshots are written as.
#include "ui/win32/png_encoder.h"

#include <gtest/gtest.h>

#include "tests/ui_win32/stored_png_reader.h"

namespace {

win32ui::RgbImage pattern(int width, int height) {
    win32ui::RgbImage image{width, height, {}};
    for (int i = 0; i < width * height * 3; ++i) image.pixels.push_back(static_cast<std::uint8_t>(i * 7 + i / 3));
    return image;
}

TEST(PngEncoder, WritesWhatReadsBackPixelForPixel) {
    // One pixel; one stored block just short of and just past its limit of 65535 bytes; several.
    const std::pair<int, int> sizes[] = {{1, 1}, {21844, 1}, {21845, 1}, {581, 453}};
    for (auto [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const win32ui::RgbImage image = pattern(width, height);
        std::string problem;
        auto back = readStoredPng(win32ui::encodePng(image), problem);
        ASSERT_TRUE(back) << problem;
        EXPECT_EQ(back->width, width);
        EXPECT_EQ(back->height, height);
        EXPECT_EQ(back->pixels, image.pixels);
    }
}

TEST(PngEncoder, EndsWithTheWellKnownIendChunk) {
    const std::string png = win32ui::encodePng(pattern(2, 2));
    EXPECT_EQ(png.substr(png.size() - 12), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));
}

}  // namespace
