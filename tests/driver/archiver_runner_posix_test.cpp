// The parts of the runner that depend on POSIX file modes, links and the search path.
#include "archiver/driver/archiver_runner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/file.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using drivertest::FakeWorkspace;
using testsupport::TempDir;

std::span<const unsigned char> bytesOf(std::string_view s) {
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

ino_t inodeOf(const std::filesystem::path& p) {
    struct stat st {};
    ::lstat(p.c_str(), &st);
    return st.st_ino;
}

TEST(WritePayload, MakesMyrarExeRunnable) {
    TempDir dir;
    const std::string payload = std::string("\x7F" "ELF fake payload\0with a zero", 28);
    ArchiverRunner runner(dir.path(), bytesOf(payload));
    ASSERT_TRUE(runner.writePayload());
    EXPECT_EQ(*platform::readWholeFile(dir / "myrar.exe"), payload);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "myrar.exe").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
}

TEST(WritePayload, KeepsAnIdenticalArchiverAndReplacesAnythingElse) {
    const std::string payload = "the archiver";
    struct Case {
        const char* what;
        std::function<void(const TempDir&)> plant;
        bool kept;
    };
    const std::vector<Case> cases = {
        {"identical and runnable",
         [&](const TempDir& d) {
             d.write("myrar.exe", payload);
             ::chmod((d / "myrar.exe").c_str(), 0755);
         },
         true},
        {"identical but not runnable", [&](const TempDir& d) { d.write("myrar.exe", payload); }, false},
        {"an older archiver",
         [&](const TempDir& d) {
             d.write("myrar.exe", "the archiveR");
             ::chmod((d / "myrar.exe").c_str(), 0755);
         },
         false},
        {"a longer planted program",
         [&](const TempDir& d) {
             d.write("myrar.exe", payload + "#!/bin/sh\ntouch pwned\n");
             ::chmod((d / "myrar.exe").c_str(), 04755);
         },
         false},
        {"a link to an identical file",
         [&](const TempDir& d) {
             auto target = d.write("elsewhere", payload);
             ::chmod(target.c_str(), 0755);
             std::filesystem::create_symlink(target, d / "myrar.exe");
         },
         false},
        {"a link to another file",
         [&](const TempDir& d) {
             auto target = d.write("elsewhere", "keep me");
             std::filesystem::create_symlink(target, d / "myrar.exe");
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        c.plant(dir);
        const ino_t before = inodeOf(dir / "myrar.exe");
        // A link is removed before the new file is made, which may then get its inode number.
        const bool wasLink = std::filesystem::is_symlink(dir / "myrar.exe");
        const auto elsewhereBefore = platform::readWholeFile(dir / "elsewhere");
        ArchiverRunner runner(dir.path(), bytesOf(payload));
        ASSERT_TRUE(runner.writePayload());
        if (!wasLink) {
            EXPECT_EQ(inodeOf(dir / "myrar.exe") == before, c.kept);
        }
        EXPECT_FALSE(std::filesystem::is_symlink(dir / "myrar.exe"));
        EXPECT_EQ(*platform::readWholeFile(dir / "myrar.exe"), payload);
        struct stat st {};
        ::stat((dir / "myrar.exe").c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, 0755u);
        // What a planted link points to is never written through it.
        EXPECT_EQ(platform::readWholeFile(dir / "elsewhere").ok(), elsewhereBefore.ok());
        if (elsewhereBefore) {
            EXPECT_EQ(*platform::readWholeFile(dir / "elsewhere"), *elsewhereBefore);
        }
        for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
            EXPECT_FALSE(platform::isTemporaryFileName(e.path().filename().string())) << e.path();
        }
    }
}

TEST(ArchiverRunnerRun, NeverLooksForMyrarOnTheSearchPath) {
    FakeWorkspace ws;
    TempDir elsewhere;
    // A myrar.exe on PATH that would leave a mark if it ever ran.
    auto impostor = elsewhere.write("myrar.exe", "#!/bin/sh\ntouch \"" + (elsewhere / "ran").string() + "\"\n");
    ::chmod(impostor.c_str(), 0755);
    std::filesystem::remove(ws / "myrar.exe");
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", (elsewhere.path().string() + ":" + saved).c_str(), 1);
    ArchiverRun run = ws.runner().run(drivertest::commandOf({"v"}));
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_FALSE(run.started);
    EXPECT_NE(run.problem.find("myrar.exe"), std::string::npos) << run.problem;
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "ran"));
}

}  // namespace
