#pragma once
// Reads back the PNG files the window writes (truecolour, stored deflate blocks, no row
// filters), checking every chunk CRC and the zlib Adler-32 on the way. Written apart from
// the encoder, bit by bit, so that the two do not share a mistake.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "ui/win32/rgb_image.h"

// The image, or nothing with `problem` saying what is wrong.
std::optional<win32ui::RgbImage> readStoredPng(std::string_view file, std::string& problem);
std::string readWholeFile(const std::filesystem::path& path);
