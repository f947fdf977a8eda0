#include "archiver/driver/empty_archive_image.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

std::uint32_t crc32(const unsigned char* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

TEST(EmptyArchiveImage, CarriesTheRightHeaderChecksum) {
    const std::uint32_t crc = crc32(EmptyArchiveImage.data() + 9, 11);
    const unsigned stored = EmptyArchiveImage[7] | (EmptyArchiveImage[8] << 8);
    EXPECT_EQ(crc & 0xFFFFu, stored);
    EXPECT_EQ(stored, 0x90CFu);
}

}  // namespace
