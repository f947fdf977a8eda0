#include "platform/file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

using namespace platform;
using testsupport::TempDir;

namespace {
// A mark that a replacing file must carry over: mode 0600 on POSIX, the hidden attribute
// on Windows (whose read-only attribute refuses the replacement instead).
void markPermissions(const std::filesystem::path& file) {
#ifdef _WIN32
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_HIDDEN);
#else
    ::chmod(file.c_str(), 0600);
#endif
}

bool hasMarkedPermissions(const std::filesystem::path& file) {
#ifdef _WIN32
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
#else
    struct stat st {};
    return ::stat(file.c_str(), &st) == 0 && (st.st_mode & 0777) == 0600;
#endif
}

std::size_t filesIn(const std::filesystem::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
    return n;
}
}  // namespace

TEST(AtomicFileWriter, ReplacesTargetOnlyOnCommitAndKeepsItsPermissions) {
    TempDir dir;
    auto target = dir.write("a.rar", "old");
    markPermissions(target);
    {
        auto writer = AtomicFileWriter::create(target);
        ASSERT_TRUE(writer) << writer.message();
        ASSERT_TRUE(writer->append("new bytes"));
        EXPECT_EQ(*readWholeFile(target), "old");
        ASSERT_TRUE(writer->commit());
    }
    EXPECT_EQ(*readWholeFile(target), "new bytes");
    EXPECT_TRUE(hasMarkedPermissions(target));
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
