// d -dry: the same reading, matching and checks as a real d, the same lines and exit code,
// and nothing on disk changes. Each case runs dry on one copy and for real on another.
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <fstream>

#include <gtest/gtest.h>

#include "tests/console/console_support.h"
#include "tests/support/file_time.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::readFile;
using testconsole::runMyrar;

// 512 bytes of a TAR member header for a file named inner.rar: the archive after it is
// the member's data.
std::string tarHeader() {
    std::string header(512, '\0');
    const std::string name = "inner.rar";
    header.replace(0, name.size(), name);
    header.replace(100, 7, "0000644");
    header.replace(124, 11, "00000000000");
    header.replace(257, 6, std::string("ustar\0", 6));
    header.replace(263, 2, "00");
    return header;
}

enum class CopyKind { Copy, ReadOnly, InsideTar };

void prepare(const std::filesystem::path& archive, const char* fixture, CopyKind setup) {
    std::string bytes = readFile(testsupport::fixture(fixture));
    if (setup == CopyKind::InsideTar) bytes = tarHeader() + bytes;
    {
        std::ofstream out(archive, std::ios::binary);
        out << bytes;
    }
    if (setup != CopyKind::ReadOnly) return;
#ifdef _WIN32
    ::SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_READONLY);
#else
    ::chmod(archive.c_str(), 0444);
#endif
}

// The real run's lines less the one that says where the trash put the emptied archive.
std::string withoutTrashLine(const std::string& text) {
    const auto at = text.find("\r\n已移到回收站");
    if (at == std::string::npos) return text;
    const auto end = text.find("\r\n", at + 2);
    return text.substr(0, at) + (end == std::string::npos ? std::string() : text.substr(end));
}

TEST(DeleteDryRun, SaysAndReturnsWhatTheRealRunDoesAndChangesNothing) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* fixture;
        std::vector<std::string> args;
        int exitCode;
        CopyKind setup = CopyKind::Copy;
    } cases[] = {
        {"rar3-subdirs.rar", {"FILE2.TXT", "sub/dir1"}, 0},
        {"test_read_format_rar4_encrypted.rar", {"c.txt", "d.txt"}, 0},  // cut in place
        {"rar3-comment-hpsw.rar", {"-ppassword", "file2.txt"}, 0},
        {"test_read_format_rar_sfx.exe", {"testdir"}, 0},
        {"rar5-subdirs.rar", {"nothing.txt", "sub\\dir9"}, 1},
        {"test_read_format_rar_noeof.rar", {"*"}, 0},  // emptied
        {"test_read_format_rar_subblock.rar", {"*.*"}, 0},
        {"test_read_format_rar5_sfx.exe", {"*"}, 0},
        {"rar15-comment-lock.rar", {"FILE1.TXT"}, 3},
        {"rar3-vols.part1.rar", {"vols\\bigfile.txt"}, 8},
        {"rar3-vols.part1.rar", {"nothing.txt"}, 1},
        {"rar5-vols.part1.rar", {"*"}, 8},
        {"rar3-solid.rar", {"stest1.txt"}, 8},
        {"rar5-hlink.rar", {"stest1.txt"}, 8},
        {"test_read_format_rar_invalid1.rar", {"test"}, 4},
        {"rar5-hpsw.rar", {"stest1.txt"}, 2},
        {"rar5-hpsw.rar", {"-pwrong", "stest1.txt"}, 2},
        {"test_read_format_rar.rar", {"test.txt"}, 5, CopyKind::ReadOnly},
        {"rar3-subdirs.rar", {"FILE2.TXT"}, 8, CopyKind::InsideTar},
        {"rar5-subdirs.rar", {"nothing.txt"}, 1, CopyKind::InsideTar},
    };
    for (const auto& c : cases) {
        const std::string name = c.setup == CopyKind::InsideTar ? "inner.tar" : c.fixture;
        SCOPED_TRACE(std::string(c.fixture) + " " + c.args.back());
        testsupport::TempDir dry;
        testsupport::TempDir real;
        const testconsole::ScopedDataHome dataHome(real / "data");
        std::filesystem::create_directory(real / "work");
        prepare(dry / name, c.fixture, c.setup);
        prepare(real / "work" / name, c.fixture, c.setup);
        testsupport::setModificationTime(dry / name, 1600000000, 123456700);
        const std::string before = readFile(dry / name);

        std::vector<std::string> args = {"d", "-dry", name};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto planned = runMyrar(args, dry.path());
        args.erase(args.begin() + 1);
        const auto done = runMyrar(args, real / "work");

        EXPECT_EQ(done.exitCode, c.exitCode) << done.text;
        EXPECT_EQ(planned.exitCode, done.exitCode) << planned.text;
        EXPECT_EQ(planned.text, withoutTrashLine(done.text));
        EXPECT_EQ(readFile(dry / name), before);
        EXPECT_EQ(testsupport::modificationTime(dry / name), (std::pair<std::int64_t, long>{1600000000, 123456700}));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dry.path()), {}), 1) << "a file was made";
    }
}

// Dry runs only plan deletions; another command refuses the switch rather than run for real.
TEST(DeleteDryRun, OnlyTheDeleteCommandTakesTheSwitch) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto archive = testconsole::copyFixture(dir, "rar3-subdirs.rar");
    const std::string before = readFile(archive);
    dir.write("new.txt", "data");
    const auto run = runMyrar({"a", "-dry", "rar3-subdirs.rar", "new.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 6);
    EXPECT_NE(run.text.find("-dry 只能用于命令 d"), std::string::npos) << run.text;
    EXPECT_EQ(readFile(archive), before);
    const auto usage = runMyrar({"-?"}, dir.path());
    EXPECT_NE(usage.text.find("\r\n  dry "), std::string::npos) << usage.text;
}

}  // namespace
