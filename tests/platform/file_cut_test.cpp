// Cutting a file short in place: the bytes written and the length cut to, and the files it
// must leave alone because changing them in place would not be what a rewrite does (a
// second name sharing the file, a symbolic link) or would change them under someone
// (a reader holding them, a change since they were opened).
#include "platform/file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"

namespace {

using testsupport::TempDir;

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Holds `path` open the way a reader of another program would: with a shared lock on
// POSIX, without letting others write on Windows.
class OtherReader {
public:
    explicit OtherReader(const std::filesystem::path& path) {
#ifdef _WIN32
        handle_ = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
#else
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ >= 0) (void)::flock(fd_, LOCK_SH);
#endif
    }
    ~OtherReader() {
#ifdef _WIN32
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
#else
        if (fd_ >= 0) ::close(fd_);
#endif
    }

private:
#ifdef _WIN32
    HANDLE handle_ = INVALID_HANDLE_VALUE;
#else
    int fd_ = -1;
#endif
};

TEST(CutFileInPlace, WritesFlushesAndCutsInThatOrder) {
    TempDir dir;
    const auto path = dir.write("a.bin", "0123456789abcdefghij");
    auto file = platform::ReadableFile::open(path);
    ASSERT_TRUE(file);
    auto done = platform::cutFileInPlace(*file, 4, asBytes("XYZ!"), 7);
    ASSERT_TRUE(done) << done.message();
    EXPECT_TRUE(*done);
    EXPECT_EQ(platform::readWholeFile(path).value(), "0123XYZ");
    // Nothing to write: only the cut.
    auto again = platform::ReadableFile::open(path);
    ASSERT_TRUE(again);
    ASSERT_TRUE(platform::cutFileInPlace(*again, 5, {}, 5).value());
    EXPECT_EQ(platform::readWholeFile(path).value(), "0123X");
}

TEST(CutFileInPlace, LeavesAloneWhatARewriteWouldTreatOtherwise) {
    const struct {
        const char* what;
        void (*arrange)(const TempDir& dir, const std::filesystem::path& file);
    } cases[] = {
        {"a second name links to the file",
         [](const TempDir& dir, const std::filesystem::path& file) { std::filesystem::create_hard_link(file, dir / "link.bin"); }},
        {"the file changed size since it was opened",
         [](const TempDir&, const std::filesystem::path& file) {
             std::filesystem::resize_file(file, std::filesystem::file_size(file) + 1);
         }},
#ifndef _WIN32
        // (Windows does not let a file that is open be replaced by name.)
        {"the name now leads to another file",
         [](const TempDir& dir, const std::filesystem::path& file) {
             std::filesystem::rename(dir.write("other.bin", "0123456789abcdefghij"), file);
         }},
#endif
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto path = dir.write("a.bin", "0123456789abcdefghij");
        auto file = platform::ReadableFile::open(path);
        ASSERT_TRUE(file);
        c.arrange(dir, path);
        const std::string before = platform::readWholeFile(path).value();
        auto done = platform::cutFileInPlace(*file, 4, asBytes("XYZ!"), 7);
        ASSERT_TRUE(done) << done.message();
        EXPECT_FALSE(*done);
        EXPECT_EQ(platform::readWholeFile(path).value(), before);
    }
}

TEST(CutFileInPlace, LeavesAloneAFileAnotherReaderHolds) {
    TempDir dir;
    const auto path = dir.write("a.bin", "0123456789abcdefghij");
    auto file = platform::ReadableFile::open(path);
    ASSERT_TRUE(file);
    {
        OtherReader reader(path);
        auto done = platform::cutFileInPlace(*file, 4, asBytes("XYZ!"), 7);
        ASSERT_TRUE(done) << done.message();
        EXPECT_FALSE(*done);
        EXPECT_EQ(platform::readWholeFile(path).value(), "0123456789abcdefghij");
    }
    EXPECT_TRUE(platform::cutFileInPlace(*file, 4, asBytes("XYZ!"), 7).value());
}

#ifndef _WIN32
TEST(CutFileInPlace, DoesNotFollowASymbolicLink) {
    TempDir dir;
    const auto target = dir.write("target.bin", "0123456789abcdefghij");
    const auto link = dir / "link.bin";
    std::filesystem::create_symlink(target, link);
    auto file = platform::ReadableFile::open(link);
    ASSERT_TRUE(file);
    EXPECT_FALSE(platform::cutFileInPlace(*file, 4, asBytes("XYZ!"), 7).value());
    EXPECT_EQ(platform::readWholeFile(target).value(), "0123456789abcdefghij");
}
#endif

}  // namespace
