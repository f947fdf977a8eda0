#include "platform/file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace platform;
using testsupport::TempDir;

namespace {
std::size_t filesIn(const std::filesystem::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}
}  // namespace

TEST(AtomicFileWriter, ReplacesTargetOnlyOnCommitAndKeepsItsPermissions) {
    TempDir dir;
    auto target = dir.write("a.rar", "old");
    ::chmod(target.c_str(), 0600);
    {
        auto writer = AtomicFileWriter::create(target);
        ASSERT_TRUE(writer) << writer.message();
        ASSERT_TRUE(writer->append("new bytes"));
        EXPECT_EQ(*readWholeFile(target), "old");
        ASSERT_TRUE(writer->commit());
    }
    EXPECT_EQ(*readWholeFile(target), "new bytes");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, AbandonedWriterLeavesTargetAndNoTemporaryFile) {
    TempDir dir;
    auto target = dir.write("a.rar", "old");
    {
        auto writer = AtomicFileWriter::create(target);
        ASSERT_TRUE(writer);
        ASSERT_TRUE(writer->append("half"));
    }
    EXPECT_EQ(*readWholeFile(target), "old");
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(AtomicFileWriter, CopiesRangesOfAnotherFile) {
    TempDir dir;
    auto source = dir.write("src", "0123456789");
    auto target = dir / "dst";
    auto in = ReadableFile::open(source);
    ASSERT_TRUE(in);
    auto writer = AtomicFileWriter::create(target);
    ASSERT_TRUE(writer);
    ASSERT_TRUE(writer->appendRange(*in, 2, 3));
    ASSERT_TRUE(writer->append("-"));
    ASSERT_TRUE(writer->appendRange(*in, 8, 2));
    EXPECT_FALSE(writer->appendRange(*in, 9, 5));  // past the end
    ASSERT_TRUE(writer->commit());
    EXPECT_EQ(readWholeFile(target)->substr(0, 6), "234-89");
}

TEST(AtomicFileWriter, StaleTemporaryFilesOfDeadProcessesAreRemoved) {
    TempDir dir;
    auto target = dir.write("a.rar", "x");
    dir.write(".a.rar.999999999.pmbtmp", "left by a killed run");
    dir.write(".a.rar.notapid.pmbtmp", "not ours");
    removeStaleTemporaryFiles(target);
    EXPECT_FALSE(std::filesystem::exists(dir / ".a.rar.999999999.pmbtmp"));
    EXPECT_TRUE(std::filesystem::exists(dir / ".a.rar.notapid.pmbtmp"));
}

TEST(ReadableFile, ReportsMissingFilesAndFolders) {
    TempDir dir;
    auto missing = ReadableFile::open(dir / "nope");
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.message().find("nope"), std::string::npos);
    EXPECT_FALSE(ReadableFile::open(dir.path()));
}
