// How d treats the archive file itself: names of the longest length, symbolic links, the
// owner (POSIX: owners and links as Linux has them).
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "archiver/rar/archive_reader.h"
#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::readFile;
using testconsole::runMyrar;

std::vector<std::string> entryPaths(const std::filesystem::path& archive) {
    std::vector<std::string> out;
    for (const auto& e : rar::readArchive(archive, rar::ReadOptions{}).archive.entries) out.push_back(e.path);
    return out;
}

// 83 three-byte characters and "ab.rar": 255 bytes, the most a name may have, which
// leaves no room for a temporary name made from it.
TEST(DeleteFileHandling, AnArchiveWhoseNameTakesAll255BytesIsCleaned) {
    SKIP_WITHOUT_FIXTURES();
    std::string name;
    for (int i = 0; i < 83; ++i) name += "广";
    name += "ab.rar";
    ASSERT_EQ(name.size(), 255u);
    testsupport::TempDir dir;
    const auto archive = dir / name;
    std::filesystem::copy_file(testsupport::fixture("rar3-subdirs.rar"), archive);
    std::filesystem::permissions(archive, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    const auto run = runMyrar({"d", name, "FILE2.TXT"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.text;
    EXPECT_NE(run.text.find("正在删除 sub\\dir2\\file2.txt"), std::string::npos) << run.text;
    EXPECT_EQ(entryPaths(archive).size(), 9u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "temporary file left";
}

TEST(DeleteFileHandling, ThroughALinkTheTargetChangesAndTheLinkStays) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "real");
    const auto target = dir / "real" / "a.rar";
    std::filesystem::copy_file(testsupport::fixture("rar3-subdirs.rar"), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    std::filesystem::create_symlink("real/a.rar", dir / "link.rar");
    const auto run = runMyrar({"d", "link.rar", "sub/dir1"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.text;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.rar"));
    const auto left = entryPaths(target);
    EXPECT_EQ(std::find(left.begin(), left.end(), "sub\\dir1"), left.end());
    EXPECT_EQ(left.size(), 8u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"), {}), 1) << "temporary file left";
}

TEST(DeleteFileHandling, ALinkToNothingIsReported) {
    testsupport::TempDir dir;
    std::filesystem::create_symlink("gone.rar", dir / "link.rar");
    const auto run = runMyrar({"d", "link.rar", "x.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 5) << run.text;
    EXPECT_NE(run.text.find("压缩包 link.rar 是符号链接，它指向的文件不存在"), std::string::npos) << run.text;
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.rar"));
}

// Cleaning as root gives root no archive of another user's: the owner and group stay.
TEST(DeleteFileHandling, TheRewrittenArchiveKeepsItsOwner) {
    SKIP_WITHOUT_FIXTURES();
    if (::geteuid() != 0) GTEST_SKIP() << "giving a file to another owner needs root";
    testsupport::TempDir dir;
    const auto archive = testconsole::copyFixture(dir, "rar3-subdirs.rar");
    ASSERT_EQ(::chown(archive.c_str(), 2345, 3456), 0);
    const auto run = runMyrar({"d", "rar3-subdirs.rar", "FILE2.TXT"}, dir.path());
    EXPECT_EQ(run.exitCode, 0) << run.text;
    struct stat st {};
    ASSERT_EQ(::stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 2345u);
    EXPECT_EQ(st.st_gid, 3456u);
}

}  // namespace
