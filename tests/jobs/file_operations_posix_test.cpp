// The platform's file operations the jobs stand on: moving without replacing, telling
// whether two names reach one file, and the desktop trash.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "platform/file.h"
#include "platform/file_identity.h"
#include "platform/file_move.h"
#include "platform/trash.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using platform::MoveOutcome;

std::string read(const fs::path& p) { return platform::readWholeFile(p).value(); }

TEST(MoveWithoutReplacing, MovesButNeverOverwrites) {
    testsupport::TempDir dir;
    auto a = dir.write("a.rar", "A");
    auto b = dir.write("b.rar", "B");

    MoveOutcome blocked = platform::moveWithoutReplacing(a, b);
    EXPECT_EQ(blocked.kind, MoveOutcome::Kind::TargetExists);
    EXPECT_EQ(read(a), "A");
    EXPECT_EQ(read(b), "B");

    EXPECT_TRUE(platform::moveWithoutReplacing(a, dir / "新名.rar").moved());
    EXPECT_FALSE(fs::exists(a));
    EXPECT_EQ(read(dir / "新名.rar"), "A");

    MoveOutcome missing = platform::moveWithoutReplacing(dir / "none.rar", dir / "x.rar");
    EXPECT_EQ(missing.kind, MoveOutcome::Kind::Failed);
    EXPECT_NE(missing.message.find("none.rar"), std::string::npos);

    // A dangling link is a name too.
    fs::create_symlink(dir / "nowhere", dir / "link.rar");
    EXPECT_EQ(platform::moveWithoutReplacing(b, dir / "link.rar").kind, MoveOutcome::Kind::TargetExists);
}

TEST(FileIdentity, SameFileWhateverTheName) {
    testsupport::TempDir dir;
    auto a = dir.write("sub/a.rar", "A");
    auto b = dir.write("b.rar", "A");
    fs::create_hard_link(a, dir / "hard.rar");
    fs::create_symlink(a, dir / "soft.rar");
    struct Case {
        fs::path x, y;
        bool same;
    } cases[] = {
        {a, a, true},
        {a, dir / "sub/../sub/a.rar", true},
        {a, dir / "hard.rar", true},
        {a, dir / "soft.rar", true},
        {a, b, false},
        {a, dir / "missing.rar", false},
        {dir / "missing.rar", dir / "missing.rar", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::isSameFile(c.x, c.y), c.same) << c.x << " " << c.y;
    EXPECT_FALSE(platform::fileIdentity(dir / "missing.rar").ok());
    EXPECT_NE(platform::fileIdentity(dir / "missing.rar").message().find("missing.rar"), std::string::npos);
}

class Trash : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path home = dir / "data/Trash";
};

TEST_F(Trash, HomeTrashTakesAFileAndRecordsWhereItWas) {
    auto file = dir.write("资料/a b%.rar", "archive");
    auto trashed = platform::moveToTrash(file, home);
    ASSERT_TRUE(trashed.ok()) << trashed.message();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(trashed->file, home / "files/a b%.rar");
    EXPECT_EQ(read(trashed->file), "archive");
    EXPECT_EQ(trashed->info, home / "info/a b%.rar.trashinfo");

    const std::string info = read(trashed->info);
    const std::string encodedDir = "%E8%B5%84%E6%96%99";  // 资料
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir.path().string() + "/" + encodedDir + "/a%20b%25.rar\n", 0), 0u)
        << info;
    EXPECT_TRUE(std::regex_search(info, std::regex("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")))
        << info;
    struct stat st {};
    ASSERT_EQ(::stat(home.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(Trash, EqualNamesGetTheirOwnPlaces) {
    auto first = platform::moveToTrash(dir.write("1/a.rar", "one"), home);
    auto second = platform::moveToTrash(dir.write("2/a.rar", "two"), home);
    // A file left in files/ without its record still owns its name.
    dir.write("data/Trash/files/a.3.rar", "orphan");
    auto third = platform::moveToTrash(dir.write("3/a.rar", "three"), home);
    ASSERT_TRUE(first.ok() && second.ok() && third.ok());
    EXPECT_EQ(first->file.filename(), "a.rar");
    EXPECT_EQ(second->file.filename(), "a.2.rar");
    EXPECT_EQ(third->file.filename(), "a.4.rar");
    EXPECT_EQ(read(second->file), "two");
    EXPECT_EQ(read(third->file), "three");
    EXPECT_FALSE(fs::exists(home / "info/a.3.rar.trashinfo"));
    EXPECT_EQ(read(home / "files/a.3.rar"), "orphan");
}

TEST_F(Trash, RestorePutsItBackButNeverOverAFile) {
    auto file = dir.write("a.rar", "archive");
    auto trashed = platform::moveToTrash(file, home);
    ASSERT_TRUE(trashed.ok());
    dir.write("a.rar", "newcomer");
    EXPECT_FALSE(platform::restoreFromTrash(*trashed, file).ok());
    EXPECT_EQ(read(file), "newcomer");
    EXPECT_TRUE(fs::exists(trashed->info));

    fs::remove(file);
    ASSERT_TRUE(platform::restoreFromTrash(*trashed, file).ok());
    EXPECT_EQ(read(file), "archive");
    EXPECT_FALSE(fs::exists(trashed->file));
    EXPECT_FALSE(fs::exists(trashed->info));
}

TEST_F(Trash, FailureLeavesTheFileWhereItWas) {
    auto missing = platform::moveToTrash(dir / "none.rar", home);
    EXPECT_FALSE(missing.ok());
    EXPECT_NE(missing.message().find("none.rar"), std::string::npos);

    // A home trash that cannot be made (a plain file has its name) on the file's device.
    dir.write("data/Trash", "not a folder");
    auto file = dir.write("a.rar", "archive");
    auto refused = platform::moveToTrash(file, home);
    EXPECT_FALSE(refused.ok());
    EXPECT_NE(refused.message().find("a.rar"), std::string::npos) << refused.message();
    EXPECT_EQ(read(file), "archive");
}

TEST_F(Trash, HomeTrashFollowsTheEnvironment) {
    ::setenv("XDG_DATA_HOME", (dir / "xdg").c_str(), 1);
    EXPECT_EQ(platform::homeTrashDirectory(), dir / "xdg/Trash");
    ::setenv("XDG_DATA_HOME", "relative/ignored", 1);
    ::setenv("HOME", (dir / "home").c_str(), 1);
    EXPECT_EQ(platform::homeTrashDirectory(), dir / "home/.local/share/Trash");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(platform::homeTrashDirectory(), dir / "home/.local/share/Trash");
}

// A file on another device than the home trash goes to the trash at the top of its own
// mount, renamed there, never copied. Needs /dev/shm on a mount of its own.
TEST(TrashOnAnotherDevice, UsesTheTrashAtTheTopOfTheFilesMount) {
    struct stat shm {}, tmp {};
    const fs::path top = "/dev/shm";
    if (::stat(top.c_str(), &shm) != 0 || ::stat(fs::temp_directory_path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev || ::access(top.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "/dev/shm is not a writable mount of its own here";
    }
    testsupport::TempDir home;
    char folderTemplate[] = "/dev/shm/pimingbao-trash-test-XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    const fs::path folder = folderTemplate;
    const fs::path own = top / (".Trash-" + std::to_string(::getuid()));
    const bool ownExisted = fs::exists(own);

    auto file = folder / "远方.rar";
    { std::ofstream(file) << "far"; }
    auto trashed = platform::moveToTrash(file, home / "Trash");
    ASSERT_TRUE(trashed.ok()) << trashed.message();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(trashed->file.parent_path(), own / "files");
    const std::string info = read(trashed->info);
    // Recorded below the mount, so the record holds wherever the medium is mounted next.
    EXPECT_NE(info.find("\nPath=" + folder.filename().string() + "/%E8%BF%9C%E6%96%B9.rar\n"), std::string::npos)
        << info;
    EXPECT_FALSE(fs::exists(home / "Trash/files"));

    fs::remove(trashed->file);
    fs::remove(trashed->info);
    fs::remove_all(folder);
    if (!ownExisted) fs::remove_all(own);
}

}  // namespace
