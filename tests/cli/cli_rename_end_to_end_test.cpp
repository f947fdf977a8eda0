// The rename job from the command line on copies of real archives, where the faults only
// show with the real myrar: damaged listings, volume sets, the folder walk's order.
#include <gtest/gtest.h>

#include "tests/cli/cli_folder_test.h"

namespace {

namespace fs = std::filesystem;

class CliRename : public testsupport::CliFolderTest {};

// An archive the archiver cannot list, or lists only up to the damage, is a failure with
// the archiver's reason, never "no entry with that extension".
TEST_F(CliRename, AListingThatFailsIsAFailure) {
    SKIP_WITHOUT_FIXTURES();
    const std::string whole = platform::readWholeFile(testsupport::fixture("zimuku-10-ass.rar")).value();
    struct Case {
        const char* what;
        std::string bytes;        // empty: the fixture's own
        const char* fixture;
        const char* reasonPart;
    } cases[] = {
        {"truncated after its first entry", whole.substr(0, 3000), nullptr, "已损坏"},
        {"damaged", {}, "test_read_format_rar_invalid1.rar", "已损坏"},
        {"RAR 3 with encrypted headers", {}, "rar3-comment-hpsw.rar", "密码"},
        {"no RAR archive at all", {}, "test_read_format_zip.zip", "不是 RAR 压缩包"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        const std::string path = c.fixture ? copy(c.fixture, "f" + std::to_string(i) + "/坏.rar")
                                           : platform::utf8FromPath(dir.write("f" + std::to_string(i) + "/坏.rar", c.bytes));
        EXPECT_EQ(run({"rename", "--ext", "ass", path}), 1) << last.out << last.err;
        const Lines lines = out();
        ASSERT_EQ(lines.size(), 4u) << last.out;
        EXPECT_EQ(lines[2].rfind("[1] " + path + "（未更名：无法读取压缩包内容：", 0), 0u) << lines[2];
        EXPECT_NE(lines[2].find(c.reasonPart), std::string::npos) << lines[2];
        EXPECT_EQ(lines[3], "已更名 0 个，未改动 0 个，失败 1 个。(renamed 0, unchanged 0, failed 1)");
        EXPECT_TRUE(fs::exists(platform::pathFromUtf8(path)));
    }
}

}  // namespace
