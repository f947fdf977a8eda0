// v as a process: what the driver relies on beyond the golden files.
#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

std::size_t count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

const std::string kSeparator = std::string(79, '-') + "\r\n";

TEST(ListCommand, EncryptedHeadersNeedThePassword) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* file : {"rar3-comment-hpsw.rar", "rar5-hpsw.rar", "test_read_format_rar4_encrypted_filenames.rar",
                             "test_read_format_rar5_encrypted_filenames.rar"}) {
        SCOPED_TRACE(file);
        auto run = testconsole::runMyrar({"v", "-ptz5083", file}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.text.find("密码错误"), std::string::npos);
        EXPECT_EQ(run.text.find(kSeparator), std::string::npos);

        run = testconsole::runMyrar({"v", file}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.text.find("需要用 -p<密码> 给出密码"), std::string::npos);

        run = testconsole::runMyrar({"v", "-ppassword", file}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(count(run.text, kSeparator), 2u);
        EXPECT_NE(run.text.find("\r\n*"), std::string::npos) << "encrypted entries carry the marker";
    }
}

TEST(ListCommand, SelfExtractingArchivesAreFound) {
    SKIP_WITHOUT_FIXTURES();
    auto run = testconsole::runMyrar({"v", "test_read_format_rar_sfx.exe"}, testsupport::fixturesDir());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.text.find("\r\n testdir\\test.txt\r\n"), std::string::npos) << run.text;
    run = testconsole::runMyrar({"v", "test_read_format_rar5_sfx.exe"}, testsupport::fixturesDir());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.text.find("\r\n test.txt.txt\r\n"), std::string::npos) << run.text;
}

TEST(ListCommand, VolumesShowWhereEntriesContinue) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        const char* marker;
    } cases[] = {
        {"rar3-vols.part1.rar", " -->"},
        {"rar3-vols.part3.rar", " <--"},
        {"rar5-vols.part2.rar", " <->"},
        {"test_read_format_rar5_multiarchive.part08.rar", " <--"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto run = testconsole::runMyrar({"v", c.file}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.text.find(c.marker), std::string::npos) << run.text;
    }
}

TEST(ListCommand, DamagedArchivesListWhatPrecedesTheDamage) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        const char* entry;
        const char* says;
    } cases[] = {
        {"test_read_format_rar_invalid1.rar", "\r\n test\r\n", "意外结束"},
        {"test_read_splitted_rar_aa", "\r\n test.txt\r\n", "意外结束"},
        {"test_read_format_rar5_truncated_huff.rar", nullptr, "块头无法解读"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto run = testconsole::runMyrar({"v", c.file}, testsupport::fixturesDir());
        EXPECT_EQ(run.exitCode, 4);
        EXPECT_NE(run.text.find(c.says), std::string::npos) << run.text;
        EXPECT_NE(run.text.find(c.file), std::string::npos) << "the message names the file";
        if (c.entry) {
            EXPECT_NE(run.text.find(c.entry), std::string::npos) << run.text;
        }
    }
}

TEST(ListCommand, NamesNarrowTheListing) {
    SKIP_WITHOUT_FIXTURES();
    const auto run = testconsole::runMyrar({"v", "rar3-subdirs.rar", "*.txt"}, testsupport::fixturesDir());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(count(run.text, "\r\n sub\\"), 4u) << run.text;
    EXPECT_NE(run.text.find("    4               25       25 100%"), std::string::npos);
    const auto none = testconsole::runMyrar({"v", "rar3-subdirs.rar", "nothing"}, testsupport::fixturesDir());
    EXPECT_NE(none.text.find("  0 文件"), std::string::npos);
}

TEST(ListCommand, ChineseNamesAreGb18030) {
    SKIP_WITHOUT_FIXTURES();
    const auto run = testconsole::runMyrar({"v", "zimuku-10-ass.rar"}, testsupport::fixturesDir());
    EXPECT_EQ(run.exitCode, 0);
    // "简体" in GB18030.
    EXPECT_NE(run.raw.find("\xBC\xF2\xCC\xE5"), std::string::npos);
    EXPECT_NE(run.text.find(" Modern.Family.S05E05.720p.WEB-DL.DD5.1.H.264-HWD.简体&英文.ass\r\n"), std::string::npos);
}

}  // namespace
