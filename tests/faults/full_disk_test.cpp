// A full disk and a file-size limit while myrar writes the new archive: a clear message,
// the original untouched, no temporary file left behind; in a batch the job goes on.
#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/faults/fault_workspace.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

// A small tmpfs, mounted in a mount namespace of this test process's own, so that it
// vanishes with the process whatever happens; only root may do this (CI runs as root).
class SmallFileSystem {
public:
#ifdef _WIN32
    // A volume small enough to fill is a virtual disk on Windows, which only an
    // administrator may attach (and Wine has none).
    SmallFileSystem(const std::filesystem::path& at, std::size_t) : at_(at) {
        problem_ = "Windows attaches a small volume (a virtual disk) for administrators only";
    }
#else
    SmallFileSystem(const std::filesystem::path& at, std::size_t bytes) : at_(at) {
        std::filesystem::create_directories(at);
        static bool ownNamespace = false;
        if (!ownNamespace) {
            if (::unshare(CLONE_NEWNS) != 0) {
                problem_ = std::string("unshare: ") + std::strerror(errno);
                return;
            }
            // Nothing mounted here may reach the system's own mount table.
            if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
                problem_ = std::string("mount --make-rprivate: ") + std::strerror(errno);
                return;
            }
            ownNamespace = true;
        }
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", at.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            problem_ = std::string("mount tmpfs: ") + std::strerror(errno);
            return;
        }
        mounted_ = true;
    }
    ~SmallFileSystem() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
#endif
    bool mounted() const { return mounted_; }
    const std::string& problem() const { return problem_; }

private:
    std::filesystem::path at_;
    bool mounted_ = false;
    std::string problem_;
};

#define SKIP_WITHOUT(fs) \
    if (!(fs).mounted()) GTEST_SKIP() << "no small file system to fill: " << (fs).problem()

constexpr std::size_t kPart = 1 << 20;

// The archive fills most of a 4 MiB file system: its rewrite cannot fit beside it.
FileList filesOfAFullArchive() {
    return {{"part1.bin", randomBytes(kPart, 11)}, {"ad.txt", "advert\r\n"}, {"part2.bin", randomBytes(kPart, 12)},
            {"part3.bin", randomBytes(kPart, 13)}};
}

void expectRefusedWrite(const ChildExit& done, const std::filesystem::path& archive, const std::string& before) {
    EXPECT_EQ(done.exitCode, 5) << utf8(done.output);
    EXPECT_NE(utf8(done.output).find("原文件没有改动"), std::string::npos) << utf8(done.output);
    EXPECT_EQ(readBytes(archive), before);
    EXPECT_TRUE(temporaryFilesIn(archive.parent_path()).empty());
}

class FullDiskTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
};

TEST_F(FullDiskTest, DeleteOnAFullDiskKeepsTheArchive) {
    SmallFileSystem fs(dir / "small", 4 << 20);
    SKIP_WITHOUT(fs);
    const auto archive = dir / "small" / "archive.rar";
    buildArchive(dir / "archive.rar", filesOfAFullArchive());
    std::filesystem::copy_file(dir / "archive.rar", archive);
    const std::string before = readBytes(archive);
    expectRefusedWrite(run({myrarProgram().string(), "d", "-y", archive.string(), "ad.txt"}), archive, before);
}

TEST_F(FullDiskTest, AddOnAFullDiskKeepsTheArchive) {
    SmallFileSystem fs(dir / "small", 4 << 20);
    SKIP_WITHOUT(fs);
    const auto archive = dir / "small" / "archive.rar";
    buildArchive(dir / "archive.rar", filesOfAFullArchive());
    std::filesystem::copy_file(dir / "archive.rar", archive);
    const std::string before = readBytes(archive);
    writeBytes(dir / "more.bin", randomBytes(64 << 10, 14));
    expectRefusedWrite(run({myrarProgram().string(), "a", "-ep1", archive.string(), (dir / "more.bin").string()}),
                       archive, before);
}

TEST_F(FullDiskTest, CleanGoesOnAfterAnArchiveOnAFullDisk) {
    SmallFileSystem fs(dir / "small", 4 << 20);
    SKIP_WITHOUT(fs);
    buildArchive(dir / "roomy" / "a.rar", filesOfAFullArchive());
    std::filesystem::copy_file(dir / "roomy" / "a.rar", dir / "small" / "full.rar");
    std::filesystem::copy_file(dir / "roomy" / "a.rar", dir / "roomy" / "b.rar");
    const std::string before = readBytes(dir / "small" / "full.rar");
    const auto cli = installCli(dir / "bin");

    const ChildExit done = run({cli.string(), "clean", "--name", "ad.txt", (dir / "small" / "full.rar").string(),
                                (dir / "roomy" / "a.rar").string(), (dir / "roomy" / "b.rar").string()},
                               withEnvironment(cliEnvironment(dir / "home")));
    const std::string out = cliText(done.output);
    EXPECT_EQ(done.exitCode, 1) << out;
    EXPECT_NE(out.find("[1] " + (dir / "small" / "full.rar").string() + "：删除失败！"), std::string::npos) << out;
    EXPECT_NE(out.find("原文件没有改动"), std::string::npos) << out;
    EXPECT_NE(out.find("失败 1 个"), std::string::npos) << out;
    EXPECT_EQ(readBytes(dir / "small" / "full.rar"), before);
    EXPECT_TRUE(temporaryFilesIn(dir / "small").empty());
    for (const char* name : {"a.rar", "b.rar"}) {
        EXPECT_EQ(entryPaths(dir / "roomy" / name), (std::vector<std::string>{"part1.bin", "part2.bin", "part3.bin"})) << name;
    }
}

// Fills what is left of the file system that holds `folder`.
void fill(const std::filesystem::path& folder) {
    std::ofstream out(folder / "filler", std::ios::binary);
    ASSERT_TRUE(out.is_open());
    const std::string chunk(64 << 10, 'x');
    while (out.write(chunk.data(), static_cast<std::streamsize>(chunk.size())) && out.flush()) {
    }
}

// Windows limits no process to a file size.
#ifdef _WIN32
#define SKIP_WITHOUT_FILE_SIZE_LIMITS() GTEST_SKIP() << "Windows has no file-size limit for a process"
#else
#define SKIP_WITHOUT_FILE_SIZE_LIMITS() \
    do {                                \
    } while (0)
#endif

// The program's own folder is where the archiver is written out; when that is full, the
// job says so before it touches any archive.
TEST_F(FullDiskTest, JobsInAFullProgramFolderSaySoAndTouchNothing) {
    // Room for the program itself (its size depends on the build type), then filled up.
    SmallFileSystem fs(dir / "small", static_cast<std::size_t>(std::filesystem::file_size(cliProgram())) + (4 << 20));
    SKIP_WITHOUT(fs);
    const auto cli = installCli(dir / "small");
    fill(dir / "small");
    buildArchive(dir / "tree" / "archive.rar", filesOfAFullArchive());
    const std::string before = readBytes(dir / "tree" / "archive.rar");

    const std::vector<std::string> jobs[] = {{cli.string(), "rename", "--ext", "bin", (dir / "tree").string()},
                                             {cli.string(), "clean", "--name", "ad.txt", (dir / "tree").string()}};
    for (const auto& job : jobs) {
        SCOPED_TRACE(job[1]);
        const ChildExit done = run(job, withEnvironment(cliEnvironment(dir / "home")));
        EXPECT_EQ(done.exitCode, 1) << cliText(done.output);
        EXPECT_NE(cliText(done.output).find("无法准备压缩程序"), std::string::npos) << cliText(done.output);
        EXPECT_EQ(readBytes(dir / "tree" / "archive.rar"), before);
        EXPECT_TRUE(temporaryFilesIn(dir / "small").empty());
    }
}

// A file-size limit needs no privileges: writes past it fail with EFBIG.
TEST_F(FullDiskTest, DeleteUnderAFileSizeLimitKeepsTheArchive) {
    SKIP_WITHOUT_FILE_SIZE_LIMITS();
    const auto archive = dir / "archive.rar";
    buildArchive(archive, filesOfAFullArchive());
    const std::string before = readBytes(archive);
    ChildOptions limited;
    limited.fileSizeLimit = kPart;
    expectRefusedWrite(run({myrarProgram().string(), "d", "-y", archive.string(), "ad.txt"}, limited), archive, before);
}

TEST_F(FullDiskTest, AddUnderAFileSizeLimitKeepsTheArchive) {
    SKIP_WITHOUT_FILE_SIZE_LIMITS();
    const auto archive = dir / "archive.rar";
    buildArchive(archive, filesOfAFullArchive());
    const std::string before = readBytes(archive);
    writeBytes(dir / "more.bin", randomBytes(2 * kPart, 15));
    ChildOptions limited;
    limited.fileSizeLimit = 3 * kPart + kPart / 2;
    expectRefusedWrite(run({myrarProgram().string(), "a", "-ep1", archive.string(), (dir / "more.bin").string()}, limited),
                       archive, before);
}

}  // namespace
}  // namespace testfaults
