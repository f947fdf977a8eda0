// The RAR 1.5-4.x name field in its three forms.
#include <gtest/gtest.h>

#include "archiver/rar/rar4_name.h"
#include "tests/rar/archive_builder.h"

namespace {

using testrar::Bytes;

TEST(Rar4Name, DecodesEveryFormOfTheField) {
    const struct {
        const char* what;
        Bytes field;
        bool unicodeFlag;
        std::string expected;
    } cases[] = {
        {"plain ASCII", testrar::bytesOf("dir\\a.txt"), false, "dir\\a.txt"},
        {"8-bit GBK name of Chinese Windows", {0xCE, 0xC4, 0xBC, 0xFE, 0x2E, 0x74, 0x78, 0x74}, false, "文件.txt"},
        {"8-bit UTF-8 name of a Unix RAR", testrar::bytesOf("文件.txt"), false, "文件.txt"},
        {"flag 0x0200 without NUL: the field is UTF-8", testrar::bytesOf("子目录\\文件2.exe"), true, "子目录\\文件2.exe"},
        {"encoded part, types 0 and 1",
         {0xCE, 0xC4, 0xBC, 0xFE, 0x31, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x65, 0x60, 0x87, 0xF6, 0x4E, 0x31, 0x2E, 0x00, 0x74,
          0x78, 0x74},
         true, "文件1.txt"},
        {"encoded part with type 2 units and a folder",
         {0xD7, 0xD3, 0xC4, 0xBF, 0xC2, 0xBC, 0x5C, 0xCE, 0xC4, 0xBC, 0xFE, 0x32, 0x2E, 0x65, 0x78, 0x65, 0x00, 0x5B,
          0x68, 0x50, 0xEE, 0x76, 0x55, 0x5F, 0x5C, 0xA0, 0x87, 0x65, 0xF6, 0x4E, 0x32, 0x2E, 0x00, 0x65, 0x78, 0x65},
         true, "子目录\\文件2.exe"},
        {"type 3 with correction and plain copies (unicode2.rar)",
         {0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x3F, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x04, 0x7D, 0x43, 0x80,
          0xF9, 0x80, 0xFF, 0x42, 0x57, 0x38, 0x32, 0x3B, 0x02},
         true, "уииоотивл.txt"},
        {"encoded part that runs off the OEM name falls back to it",
         {0x61, 0x00, 0x00, 0xC0, 0x05}, true, "a"},
        {"encoded part cut inside a type 2 unit falls back to the OEM name",
         {0x61, 0x62, 0x00, 0x00, 0x80, 0x41}, true, "ab"},
        {"empty encoded part", {0x61, 0x62, 0x00}, true, "ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(rar::decodeRar4Name(c.field, c.unicodeFlag), c.expected);
    }
}

TEST(Rar4Name, EncodedPartNeverGrowsBeyondTheBound) {
    // Type 3 with the longest run asks for 129 copies; the bound stops it.
    const Bytes oem(200, 'x');
    const Bytes encoded = {0x00, 0xFF, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F, 0xFF, 0x7F};
    auto units = rar::decodeRar4UnicodePart(oem, encoded, 10);
    ASSERT_TRUE(units);
    EXPECT_EQ(units->size(), 10u);
}

}  // namespace
