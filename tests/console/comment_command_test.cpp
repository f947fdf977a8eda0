// cw as a process: the comment file, its encoding, and the overwrite question.
#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/fixtures.h"

namespace {

using namespace testrar;

// A RAR4 archive whose comment is stored, in GBK, as our own writer stores it.
std::string archiveWithGbkComment() {
    const Bytes text = {0xD6, 0xD0, 0xCE, 0xC4, 0xD7, 0xA2, 0xCA, 0xCD, '\r', '\n'};  // 中文注释
    Rar4File cmt{"CMT", text};
    cmt.hostOs = 2;
    cmt.attributes = 0;
    Bytes image = rar4Archive({rar4FileBlock(cmt, 0x7A), rar4FileBlock({"a.txt", bytesOf("a")})});
    return std::string(image.begin(), image.end());
}

TEST(CommentCommand, WritesTheCommentAsGb18030) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    dir.write("gbk.rar", archiveWithGbkComment());
    const struct {
        std::filesystem::path archive;
        const char* password;
        std::string expected;
        bool packed = false;  // unpacked only by a build with the decompressor
    } cases[] = {
        {dir / "gbk.rar", "", "\xD6\xD0\xCE\xC4\xD7\xA2\xCA\xCD\r\n"},
        {testsupport::fixture("rar5-crc.rar"), "", "RAR5 archive - crc\n"},
        {testsupport::fixture("rar3-comment-plain.rar"), "", "RARcomment\n", true},
        {testsupport::fixture("rar5-hpsw.rar"), "-ppassword", "RAR5 archive - hdr-password\n"},
        {testsupport::fixture("rar3-comment-hpsw.rar"), "-ppassword", "RARcomment\n", true},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive.string());
        const std::string out = "comment" + std::to_string(n++) + ".txt";
        std::vector<std::string> args = {"cw", c.archive.string(), out};
        if (*c.password) args.push_back(c.password);
        const auto run = testconsole::runMyrar(args, dir.path());
#ifndef PIMINGBAO_HAVE_LIBARCHIVE
        // The Windows build says so and writes nothing.
        if (c.packed) {
            EXPECT_EQ(run.exitCode, 8) << run.text;
            EXPECT_NE(run.text.find("无法解压"), std::string::npos) << run.text;
            EXPECT_FALSE(std::filesystem::exists(dir / out));
            continue;
        }
#endif
        EXPECT_EQ(run.exitCode, 0) << run.text;
        EXPECT_EQ(testconsole::readFile(dir / out), c.expected);
    }
}

TEST(CommentCommand, ArchiveWithoutComment) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto run = testconsole::runMyrar({"cw", testsupport::fixture("rar3-subdirs.rar").string(), "c.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.text.find("没有备注"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "c.txt"));
}

TEST(CommentCommand, CommentPackedByAnOldAlgorithmIsReportedNotGuessed) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto run = testconsole::runMyrar({"cw", testsupport::fixture("rar15-comment.rar").string(), "c.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 8);
    EXPECT_NE(run.text.find("无法解压"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "c.txt"));
}

TEST(CommentCommand, AsksBeforeOverwriting) {
    testsupport::TempDir dir;
    dir.write("gbk.rar", archiveWithGbkComment());
    const struct {
        std::optional<std::string> input;
        bool yesSwitch;
        int exitCode;
        bool overwritten;
    } cases[] = {
        {std::nullopt, false, 7, false},  // input closed: no answer is no
        {"n\n", false, 7, false},
        {"y\n", false, 0, true},
        {"Y\r\n", false, 0, true},
        {std::nullopt, true, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.value_or("(closed)") + (c.yesSwitch ? " -y" : ""));
        dir.write("c.txt", "old");
        std::vector<std::string> args = {"cw", "gbk.rar", "c.txt"};
        if (c.yesSwitch) args.push_back("-y");
        const auto run = testconsole::runMyrar(args, dir.path(), c.input);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_EQ(testconsole::readFile(dir / "c.txt") != "old", c.overwritten);
        EXPECT_EQ(run.text.find("已经存在") != std::string::npos, !c.yesSwitch);
    }
}

}  // namespace
