#include "archiver/rar/rar4_writer_headers.h"

#include <gtest/gtest.h>

#include "archiver/rar/crc32.h"
#include "hex.h"

using rarwritetest::fromHex;
using rarwritetest::toHex;

namespace {

rar::Rar4StoredEntry entryNamed(const char* name) {
    rar::Rar4StoredEntry e;
    e.name = *rar::encodeRar4Name(name);
    e.mtime.dosTime = 0x58A63905;  // 2024-05-06 07:08:10
    return e;
}

TEST(Rar4FileHeader, GoldenHeaders) {
    auto file = entryNamed("a.txt");
    file.unpackedSize = file.packedSize = 12;
    file.crc = 0xAF083B2D;

    auto dir = entryNamed("子目录");
    dir.directory = true;
    dir.attributes = rar::kWindowsAttrDirectory;

    auto secret = entryNamed("secret.txt");
    secret.unpackedSize = 37;
    secret.packedSize = 48;
    secret.crc = 0x3C07E325;
    secret.salt = std::array<std::uint8_t, 8>{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};

    struct Case {
        const rar::Rar4StoredEntry* entry;
        const char* bytes;
    };
    const Case cases[] = {
        {&file, "CB65 74 0080 2500  0C000000 0C000000 02 2D3B08AF 0539A658 1D 30 0500 20000000  612E747874"},
        {&dir, "9F83 74 E082 2E00  00000000 00000000 02 00000000 0539A658 14 30 0E00 10000000  D7D3C4BFC2BC 00 5B6850EE76555F"},
        {&secret, "40F5 74 0484 3200  30000000 25000000 02 25E3073C 0539A658 1D 30 0A00 20000000  736563726574"
                  "2E747874  0123456789ABCDEF"},
    };
    for (const auto& c : cases) EXPECT_EQ(toHex(rar::encodeRar4FileHeader(*c.entry)), toHex(fromHex(c.bytes)));
}

TEST(Rar4FileHeader, LargeSizesUseHighFields) {
    struct Case {
        std::uint64_t size;
        bool large;
    };
    const Case cases[] = {{0x7FFFFFFFull, false}, {0x80000000ull, true}, {0x1'2345'6789ull, true}};
    for (const auto& c : cases) {
        auto e = entryNamed("big.bin");
        e.unpackedSize = e.packedSize = c.size;
        const auto h = rar::encodeRar4FileHeader(e);
        const std::uint16_t flags = static_cast<std::uint16_t>(h[3] | h[4] << 8);
        const std::uint16_t headSize = static_cast<std::uint16_t>(h[5] | h[6] << 8);
        ASSERT_EQ(headSize, h.size());
        EXPECT_EQ((flags & 0x0100) != 0, c.large) << c.size;
        EXPECT_EQ(h.size(), 32u + 7 + (c.large ? 8 : 0));
        const auto low = static_cast<std::uint32_t>(h[7] | h[8] << 8 | h[9] << 16 | static_cast<std::uint32_t>(h[10]) << 24);
        EXPECT_EQ(low, static_cast<std::uint32_t>(c.size));
        if (c.large) {
            EXPECT_EQ(h[32], static_cast<std::uint8_t>(c.size >> 32));  // HIGH_PACK_SIZE
            EXPECT_EQ(h[36], static_cast<std::uint8_t>(c.size >> 32));  // HIGH_UNP_SIZE
        }
        EXPECT_EQ(rar::crc16(std::span(h).subspan(2)), static_cast<std::uint16_t>(h[0] | h[1] << 8));
    }
}

TEST(Rar4FileHeader, ExtTimeOnlyWhenItAddsPrecision) {
    struct Case {
        bool odd;
        std::uint32_t fraction;
        const char* tail;  // bytes after the name
    };
    const Case cases[] = {
        {false, 0, ""},
        {true, 0, "00C0"},                    // present + one second, no fraction bytes
        {false, 5000000, "00B0404B4C"},       // 0.5 s as three bytes, low byte first
        {true, 1234567, "00F087D612"},
    };
    for (const auto& c : cases) {
        auto e = entryNamed("t");
        e.mtime.oddSecond = c.odd;
        e.mtime.fraction100ns = c.fraction;
        const auto h = rar::encodeRar4FileHeader(e);
        const std::uint16_t flags = static_cast<std::uint16_t>(h[3] | h[4] << 8);
        EXPECT_EQ((flags & 0x1000) != 0, *c.tail != 0);
        EXPECT_EQ(toHex(std::span(h).subspan(33)), toHex(fromHex(c.tail)));
    }
}

TEST(Rar4Mtime, SplitsSecondsAndFraction) {
    const auto t = rar::rar4MtimeFromUnix(1715000001, 123456789);
    EXPECT_TRUE(t.oddSecond);
    EXPECT_EQ(t.fraction100ns, 1234567u);
    EXPECT_FALSE(rar::rar4MtimeFromUnix(1715000000, 0).oddSecond);
}

TEST(Rar4Blocks, EmptyArchiveImageAndEndBlock) {
    std::vector<std::uint8_t> image(rar::kRar4Marker.begin(), rar::kRar4Marker.end());
    image.insert(image.end(), rar::kRar4PlainMainHeader.begin(), rar::kRar4PlainMainHeader.end());
    EXPECT_EQ(toHex(image), toHex(fromHex("526172211A0700 CF90 73 0000 0D00 000000000000")));
    EXPECT_EQ(rar::crc16(std::span(rar::kRar4PlainMainHeader).subspan(2)), 0x90CF);
    EXPECT_EQ(rar::crc16(std::span(rar::kRar4EndBlock).subspan(2)), 0x3DC4);
}

}  // namespace
