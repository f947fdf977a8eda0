#pragma once
// A PNG file of an RgbImage, without a compression library: the image data goes into
// stored (uncompressed) deflate blocks, which every PNG reader takes. Screenshots are
// small enough that the size does not matter.
#include <string>

#include "ui/win32/rgb_image.h"

namespace win32ui {

std::string encodePng(const RgbImage& image);

}  // namespace win32ui
