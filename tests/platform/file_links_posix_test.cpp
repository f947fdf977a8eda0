// A rewrite through a symbolic link, and the owner of a rewritten file (POSIX).
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/support/temp_dir.h"

using namespace platform;
using testsupport::TempDir;

namespace {

Status rewrite(const std::filesystem::path& target, std::string_view bytes) {
    auto writer = AtomicFileWriter::create(target);
    if (!writer) return writer.status();
    if (auto s = writer->append(bytes); !s) return s;
    return writer->commit();
}

TEST(AtomicFileWriter, ThroughALinkTheTargetIsRewrittenAndTheLinkStays) {
    TempDir dir;
    const auto real = dir.write("real/a.rar", "old");
    std::filesystem::create_symlink("real/a.rar", dir / "first.rar");
    std::filesystem::create_symlink(dir / "first.rar", dir / "second.rar");  // a chain, absolute
    ASSERT_TRUE(rewrite(dir / "second.rar", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "second.rar"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "first.rar"));
    EXPECT_EQ(*readWholeFile(real), "new");
    // The temporary file lay beside the target, and is gone.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "real"), {}), 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(AtomicFileWriter, ALinkToNothingIsReportedAndLeftAlone) {
    TempDir dir;
    std::filesystem::create_symlink("gone.rar", dir / "a.rar");
    const Status s = rewrite(dir / "a.rar", "new");
    ASSERT_FALSE(s);
    EXPECT_NE(s.message().find("符号链接"), std::string::npos) << s.message();
    EXPECT_NE(s.message().find("不存在"), std::string::npos) << s.message();
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "a.rar"));
    EXPECT_FALSE(std::filesystem::exists(dir / "gone.rar"));
}

TEST(AtomicFileWriter, KeepsOwnerAndGroupWhereTheProcessMaySetThem) {
    TempDir dir;
    const auto file = dir.write("a.rar", "old");
    if (::geteuid() != 0) {
        // Nobody else may give a file away; the rewrite must still succeed.
        ASSERT_TRUE(rewrite(file, "new"));
        struct stat st {};
        ASSERT_EQ(::stat(file.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, ::geteuid());
        GTEST_SKIP() << "giving the file to another owner needs root";
    }
    ASSERT_EQ(::chown(file.c_str(), 4321, 8765), 0);
    ::chmod(file.c_str(), 0640);
    ASSERT_TRUE(rewrite(file, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 8765u);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(*readWholeFile(file), "new");
}

}  // namespace
