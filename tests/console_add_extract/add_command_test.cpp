#include <gtest/gtest.h>

#include <regex>

#include "archiver/rar/archive_reader.h"
#include "myrar_run.h"
#include "platform/text_codec.h"
#include "tests/rar_write/write_test_support.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

using namespace addextracttest;
using rarwritetest::readText;
using testsupport::TempDir;

namespace {

const std::string kEmptyImage("Rar!\x1A\x07\x00\xCF\x90\x73\x00\x00\x0D\x00\x00\x00\x00\x00\x00\x00", 20);

std::vector<std::string> storedNames(const std::filesystem::path& archive) {
    return rarwritetest::entryPaths(rarwritetest::readBack(archive).archive);
}

TEST(AddCommand, DriverCallOnEmptyImageWithListFile) {
    // The command set's own call: the 20-byte image, absolute paths in a GB18030 list
    // file with CR LF, -ed -ep1 and a password.
    TempDir dir;
    const auto a = dir.write("资料/文件1.txt", "一");
    const auto b = dir.write("资料/子目录/文件2.exe", std::string(200000, 'b'));
    std::filesystem::create_directories(dir / "资料/空目录");
    const std::string list = *platform::utf8ToGb18030(a.string() + "\r\n" + (dir / "资料/子目录").string() + "\r\n" +
                                                      (dir / "资料/空目录").string() + "\r\n");
    dir.write("mylist.lst", list);
    dir.write("测试 包.rar", kEmptyImage);

    auto r = runMyrar(dir.path(), {"a", "-ed", "-ep1", "测试 包.rar", "@mylist.lst", "-ptz5083"});
    EXPECT_EQ(r.exitCode, 0) << r.text;
    // Success as the command set tests it: "完成" within the last 5 bytes, after a line feed.
    ASSERT_GE(r.raw.size(), 5u);
    EXPECT_EQ(r.raw.substr(r.raw.size() - 5), "\n" + *platform::utf8ToGb18030("完成")) << r.text;
    EXPECT_TRUE(std::regex_search(r.text, std::regex("(^|[ \\b])[ 0-9]{2}[0-9]%"))) << r.text;
    EXPECT_NE(r.text.find("100%"), std::string::npos) << r.text;

    const auto read = rarwritetest::readBack(dir / "测试 包.rar");
    ASSERT_FALSE(read.problem);
    // -ed: no folder entries; -ep1: names start at what was listed.
    EXPECT_EQ(rarwritetest::entryPaths(read.archive), (std::vector<std::string>{"文件1.txt", "子目录\\文件2.exe"}));
    for (const auto& e : read.archive.entries) EXPECT_TRUE(e.encrypted) << e.path;
}

TEST(AddCommand, StoredNamesPerSwitch) {
    struct Case {
        std::vector<std::string> arguments;  // after "a", the switches, "out.rar"
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {{"out.rar", "src"}, {"src", "src\\a.txt", "src\\empty", "src\\sub", "src\\sub\\b.txt"}},
        {{"-ed", "out.rar", "src"}, {"src\\a.txt", "src\\sub\\b.txt"}},
        {{"-ep1", "out.rar", "src/sub/b.txt", "src/a.txt"}, {"b.txt", "a.txt"}},
        {{"out.rar", "src/sub/b.txt", "./src/../src/a.txt"}, {"src\\sub\\b.txt", "src\\a.txt"}},
        {{"-ep1", "out.rar", "src/sub/"}, {"sub", "sub\\b.txt"}},
        {{"out.rar", "src/*.txt"}, {"src\\a.txt"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("src/a.txt", "a");
        dir.write("src/sub/b.txt", "b");
        std::filesystem::create_directories(dir / "src/empty");
        std::vector<std::string> arguments = {"a"};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        std::string shown;
        for (const auto& a : c.arguments) shown += " " + a;
        auto r = runMyrar(dir.path(), arguments);
        EXPECT_EQ(r.exitCode, 0) << shown << "\n" << r.text;
        EXPECT_EQ(storedNames(dir / "out.rar"), c.names) << shown;
    }
}

TEST(AddCommand, AddingTheArchivesFolderSkipsTheArchive) {
    TempDir dir;
    dir.write("a.txt", "a");
    auto r = runMyrar(dir.path(), {"a", "out.rar", "."});
    EXPECT_EQ(r.exitCode, 0) << r.text;
    EXPECT_EQ(storedNames(dir / "out.rar"), std::vector<std::string>{"a.txt"});
    r = runMyrar(dir.path(), {"a", "out.rar", "."});  // again, with out.rar now present
    EXPECT_EQ(r.exitCode, 0) << r.text;
    EXPECT_EQ(storedNames(dir / "out.rar"), std::vector<std::string>{"a.txt"});
}

TEST(AddCommand, ReplacesAndReportsIt) {
    TempDir dir;
    dir.write("a.txt", "one");
    ASSERT_EQ(runMyrar(dir.path(), {"a", "out.rar", "a.txt"}).exitCode, 0);
    dir.write("a.txt", "two two");
    auto r = runMyrar(dir.path(), {"a", "out.rar", "a.txt"});
    EXPECT_EQ(r.exitCode, 0) << r.text;
    EXPECT_NE(r.text.find("正在替换 a.txt"), std::string::npos) << r.text;
    const auto read = rarwritetest::readBack(dir / "out.rar");
    ASSERT_EQ(read.archive.entries.size(), 1u);
    EXPECT_EQ(read.archive.entries[0].unpackedSize, 7u);
}

TEST(AddCommand, FailuresLeaveArchiveAndSayWhy) {
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* archive;  // fixture copied in, or "" for a fresh name
        std::vector<std::string> arguments;
        int exitCode;
        const char* says;
    };
    const Case cases[] = {
        {"", {"a", "out.rar", "missing.txt"}, 5, "找不到 missing.txt"},
        {"rar5-crc.rar", {"a", "rar5-crc.rar", "a.txt"}, 8, "RAR 5.0"},
        {"rar15-comment-lock.rar", {"a", "rar15-comment-lock.rar", "a.txt"}, 3, "已锁定"},
        {"rar3-comment-hpsw.rar", {"a", "rar3-comment-hpsw.rar", "a.txt"}, 8, "文件头已加密"},
        {"", {"a", "out.rar"}, 6, "没有给出要添加的文件"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        dir.write("a.txt", "a");
        std::string before;
        if (*c.archive) {
            std::filesystem::copy_file(testsupport::fixture(c.archive), dir / c.archive);
            before = readText(dir / c.archive);
        }
        SCOPED_TRACE(c.arguments.back());
        auto r = runMyrar(dir.path(), c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.text;
        EXPECT_NE(r.text.find(c.says), std::string::npos) << r.text;
        EXPECT_EQ(r.text.find("完成"), std::string::npos);
        if (*c.archive)
            EXPECT_EQ(readText(dir / c.archive), before);
        else
            EXPECT_FALSE(std::filesystem::exists(dir / "out.rar"));
    }
}

}  // namespace
