// An archive that lies inside another kind of file (here a TAR member) is listed but never
// rewritten: a rewrite would corrupt the file around it. A self-extractor's program is no
// such container, and its archive stays editable.
#include <fstream>

#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::readFile;
using testconsole::runMyrar;

// A TAR member header of 512 bytes for inner.rar, then the archive as the member's data.
std::filesystem::path writeInsideTar(const testsupport::TempDir& dir, const char* fixture) {
    std::string header(512, '\0');
    header.replace(0, 9, "inner.rar");
    header.replace(100, 7, "0000644");
    header.replace(257, 6, std::string("ustar\0", 6));
    const auto path = dir / "inner.tar";
    std::ofstream(path, std::ios::binary) << header << readFile(testsupport::fixture(fixture));
    return path;
}

TEST(ForeignPrefix, ListedButNeverRewritten) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* fixture : {"rar3-subdirs.rar", "rar5-subdirs.rar"}) {
        SCOPED_TRACE(fixture);
        testsupport::TempDir dir;
        const auto file = writeInsideTar(dir, fixture);
        const std::string before = readFile(file);

        const auto listing = runMyrar({"v", "inner.tar"}, dir.path());
        EXPECT_EQ(listing.exitCode, 0) << listing.text;
        EXPECT_NE(listing.text.find("\r\n sub\\dir1\\file1.txt\r\n"), std::string::npos) << listing.text;

        dir.write("new.txt", "data");
        for (const auto& args : {std::vector<std::string>{"d", "inner.tar", "file1.txt"},
                                 std::vector<std::string>{"d", "inner.tar", "*"},
                                 std::vector<std::string>{"a", "inner.tar", "new.txt"}}) {
            SCOPED_TRACE(args[0] + " " + args[2]);
            const auto run = runMyrar(args, dir.path());
            EXPECT_EQ(run.exitCode, 8) << run.text;
            EXPECT_NE(run.text.find("inner.tar 中的 RAR 压缩包从第 512 字节开始，前面不是自解压程序"), std::string::npos)
                << run.text;
            EXPECT_EQ(run.text.find("正在删除 "), std::string::npos) << run.text;
            EXPECT_EQ(readFile(file), before);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "a file was made";
    }
}

TEST(ForeignPrefix, ASelfExtractorStaysEditable) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto archive = testconsole::copyFixture(dir, "test_read_format_rar_sfx.exe");
    const auto run = runMyrar({"d", "test_read_format_rar_sfx.exe", "testdir"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.text;
    EXPECT_NE(run.text.find("正在删除 testdir\\test.txt\r\n正在删除 testdir\r\n完成"), std::string::npos) << run.text;
    EXPECT_EQ(readFile(archive).substr(0, 2), "MZ");
    const auto listing = runMyrar({"v", "test_read_format_rar_sfx.exe"}, dir.path());
    EXPECT_EQ(listing.text.find("testdir"), std::string::npos) << listing.text;
    EXPECT_NE(listing.text.find(" testshortcut.lnk"), std::string::npos) << listing.text;
}

}  // namespace
