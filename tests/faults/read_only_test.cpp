// Read-only archives and read-only folders: myrar refuses with a clear message and keeps
// the archive; in a batch each archive gets its own result and the job goes on.
// As root permission bits stop nothing, so the programs then run as an unprivileged user.
// On Windows a read-only archive is one with the read-only attribute; a folder's attribute
// keeps nobody from writing in it (only an access list does, which Wine does not enforce),
// so the read-only folders are left out there.
#include <gtest/gtest.h>

#include "tests/faults/fault_workspace.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

namespace fs = std::filesystem;

const FileList kFiles = {{"ad.txt", "advert\r\n"}, {"episode.exe", randomBytes(64 << 10, 21)}, {"说明.txt", "说明\r\n"}};
const std::vector<std::string> kCleaned = {"episode.exe", "说明.txt"};

#ifdef _WIN32
constexpr bool kFoldersCanBeReadOnly = false;
#else
constexpr bool kFoldersCanBeReadOnly = true;
#endif

void makeReadOnly(const fs::path& p) {
    fs::permissions(p, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
}

class ReadOnlyTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    const std::optional<UserId> user = unprivilegedUser();

    ChildOptions options() const {
        ChildOptions o;
        o.user = user;
        o.environment = cliEnvironment(dir / "home");
        return o;
    }
    // Hands everything made so far to the user the programs run as.
    void handOver() const {
        fs::create_directories(dir / "home");
        giveTo(dir.path(), user);
    }
};

struct RefusalCase {
    const char* name;
    const char* command;  // "d" deletes ad.txt, "a" adds a new file
    bool readOnlyFolder;  // else the archive itself is read-only
    const char* message;
};

// Both commands that change an archive refuse the same way.
TEST_F(ReadOnlyTest, ChangingCommandsRefuseAndKeepTheArchive) {
    const RefusalCase cases[] = {
        {"delete from a read-only archive", "d", false, "是只读的，不能修改"},
        {"delete in a read-only folder", "d", true, "原文件没有改动"},
        {"add to a read-only archive", "a", false, "是只读的，不能修改"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.readOnlyFolder && !kFoldersCanBeReadOnly) continue;
        const auto folder = dir / c.name;
        const auto archive = folder / "archive.rar";
        buildArchive(archive, kFiles);
        const auto added = dir.write(std::string(c.name) + ".txt", "new file\r\n");
        const std::string before = readBytes(archive);
        const auto myrar = installMyrar(dir / "bin");
        handOver();
        makeReadOnly(c.readOnlyFolder ? folder : archive);

        const std::string what = std::string(c.command) == "d" ? std::string("ad.txt") : added.string();
        const ChildExit done = run({myrar.string(), c.command, "-y", archive.string(), what}, options());
        EXPECT_EQ(done.exitCode, 5) << utf8(done.output);
        EXPECT_NE(utf8(done.output).find(c.message), std::string::npos) << utf8(done.output);
        EXPECT_EQ(readBytes(archive), before);
        EXPECT_TRUE(temporaryFilesIn(folder).empty());
    }
}

TEST_F(ReadOnlyTest, CleanReportsEachArchiveAndGoesOn) {
    std::vector<fs::path> archives = {dir / "open" / "first.rar", dir / "open" / "read-only.rar",
                                      dir / "locked" / "in-read-only-folder.rar", dir / "open" / "last.rar"};
    if (!kFoldersCanBeReadOnly) archives.erase(archives.begin() + 2);
    for (const auto& a : archives) buildArchive(a, kFiles);
    const std::string before = readBytes(archives[1]);
    const auto cli = installCli(dir / "bin");
    handOver();
    makeReadOnly(archives[1]);
    if (kFoldersCanBeReadOnly) makeReadOnly(dir / "locked");

    std::vector<std::string> argv = {cli.string(), "clean", "--name", "ad.txt"};
    for (const auto& a : archives) argv.push_back(a.string());
    const ChildExit done = run(argv, options());
    const std::string out = cliText(done.output);
    EXPECT_EQ(done.exitCode, 1) << out;
    EXPECT_NE(out.find("[1] " + archives[0].string() + "：删除成功"), std::string::npos) << out;
    EXPECT_NE(out.find("[2] " + archives[1].string() + "：删除失败！"), std::string::npos) << out;
    EXPECT_NE(out.find("是只读的，不能修改"), std::string::npos) << out;
    if (kFoldersCanBeReadOnly) {
        EXPECT_NE(out.find("[3] " + archives[2].string() + "：删除失败！"), std::string::npos) << out;
        EXPECT_EQ(entryPaths(archives[2]), (std::vector<std::string>{"ad.txt", "episode.exe", "说明.txt"}));
    }
    const std::size_t last = archives.size();
    EXPECT_NE(out.find("[" + std::to_string(last) + "] " + archives.back().string() + "：删除成功"), std::string::npos) << out;
    EXPECT_NE(out.find(kFoldersCanBeReadOnly ? "失败 2 个" : "失败 1 个"), std::string::npos) << out;

    EXPECT_EQ(entryPaths(archives[0]), kCleaned);
    EXPECT_EQ(readBytes(archives[1]), before);
    EXPECT_EQ(entryPaths(archives.back()), kCleaned);
    EXPECT_TRUE(temporaryFilesIn(dir / "locked").empty());
    EXPECT_TRUE(temporaryFilesIn(dir / "open").empty());
}

TEST_F(ReadOnlyTest, RenameReportsEachArchiveAndGoesOn) {
    // A read-only file may still be renamed in a folder that can be written, as everywhere
    // else on the system; a read-only folder keeps its names.
    buildArchive(dir / "a" / "first.rar", {{"one.exe", "1"}});
    buildArchive(dir / "b" / "read-only.rar", {{"two.exe", "2"}});
    if (kFoldersCanBeReadOnly) buildArchive(dir / "locked" / "in-read-only-folder.rar", {{"three.exe", "3"}});
    buildArchive(dir / "c" / "last.rar", {{"four.exe", "4"}});
    const std::string kept = kFoldersCanBeReadOnly ? readBytes(dir / "locked" / "in-read-only-folder.rar") : std::string();
    const auto cli = installCli(dir / "bin");
    handOver();
    makeReadOnly(dir / "b" / "read-only.rar");
    if (kFoldersCanBeReadOnly) makeReadOnly(dir / "locked");

    std::vector<std::string> argv = {cli.string(), "rename", "--ext", "exe", (dir / "a" / "first.rar").string(),
                                     (dir / "b" / "read-only.rar").string()};
    if (kFoldersCanBeReadOnly) argv.push_back((dir / "locked" / "in-read-only-folder.rar").string());
    argv.push_back((dir / "c" / "last.rar").string());
    const ChildExit done = run(argv, options());
    const std::string out = cliText(done.output);
    EXPECT_EQ(done.exitCode, kFoldersCanBeReadOnly ? 1 : 0) << out;
    if (kFoldersCanBeReadOnly) {
        EXPECT_NE(out.find("[3] " + (dir / "locked" / "in-read-only-folder.rar").string() + "（未更名："), std::string::npos) << out;
        EXPECT_NE(out.find("失败 1 个"), std::string::npos) << out;
        EXPECT_EQ(readBytes(dir / "locked" / "in-read-only-folder.rar"), kept);
        EXPECT_FALSE(fs::exists(dir / "locked" / "three.rar"));
    }
    EXPECT_TRUE(fs::exists(dir / "a" / "one.rar"));
    EXPECT_TRUE(fs::exists(dir / "b" / "two.rar"));
    EXPECT_TRUE(fs::exists(dir / "c" / "four.rar"));
}

}  // namespace
}  // namespace testfaults
