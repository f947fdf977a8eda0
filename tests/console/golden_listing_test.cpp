// The verbose listing byte for byte (GB18030, CR LF) against golden files, for archives
// that show each part of the layout: folders and Unix attributes, Windows attributes,
// archive and entry comments, encrypted entries, a continued entry of a volume, RAR5,
// Japanese names, an empty archive, and a file that is no archive.
#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

TEST(GoldenListing, MatchesByteForByte) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* fixture;
        const char* golden;
        int exitCode;
        bool packedComments = false;  // shown only by a build that can unpack them
    } cases[] = {
        {"rar3-subdirs.rar", "v-rar3-subdirs.txt", 0},
        {"rar3-comment-plain.rar", "v-rar3-comment-plain.txt", 0, true},
        {"rar15-comment.rar", "v-rar15-comment.txt", 0},
        {"test_read_format_rar_windows.rar", "v-test_read_format_rar_windows.txt", 0},
        {"test_read_format_rar4_encrypted.rar", "v-test_read_format_rar4_encrypted.txt", 0},
        {"test_read_format_rar_unicode.rar", "v-test_read_format_rar_unicode.txt", 0},
        {"rar3-vols.part2.rar", "v-rar3-vols.part2.txt", 0},
        {"rar5-subdirs.rar", "v-rar5-subdirs.txt", 0},
        {"empty.rar", "v-empty.txt", 0},
        {"test_read_format_zip.zip", "v-test_read_format_zip.txt", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
#ifndef PIMINGBAO_HAVE_LIBARCHIVE
        // Without the decompressor (the Windows build) packed comments are left out, and
        // the comment tests check what is said instead.
        if (c.packedComments) continue;
#endif
        // Run beside the fixture so that the archive line names it without a folder.
        const auto run = testconsole::runMyrar({"v", "-ptz5083", c.fixture}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, c.exitCode);
        const std::string golden = testconsole::readFile(std::filesystem::path(CONSOLE_GOLDEN_DIR) / c.golden);
        ASSERT_FALSE(golden.empty());
        EXPECT_EQ(run.raw, golden) << run.text;
    }
}

}  // namespace
