// The command set against the myrar this build carries, on copies of the fixtures. The
// archives lie in a folder whose name is full of shell syntax, apart from the working
// directory, as archives picked in a file dialog do.
#include "archiver/driver/archiver_command_set.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "archiver/driver/archiver_session.h"
#include "archiver/driver/empty_archive_image.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using drivertest::RecordingSink;
using Entries = std::vector<ListingEntry>;
using Texts = std::vector<std::string>;

// Windows forbids "|" in a file name; its command interpreter gives the rest, "%" and "!"
// included, their meanings.
#ifdef _WIN32
const char kShellFolder[] = "资料 $(touch pwned) `touch pwned` ; & ' %PATH% !x!";
#else
const char kShellFolder[] = "资料 $(touch pwned) `touch pwned` ; & | ' %PATH% !x!";
#endif

// The trash an emptied archive goes to is the test's own. Windows has one recycle bin.
class TrashOfTheTest {
public:
    explicit TrashOfTheTest(const std::filesystem::path& dataHome) {
#ifndef _WIN32
        if (const char* old = std::getenv("XDG_DATA_HOME")) saved_ = old;
        point(dataHome);
#else
        (void)dataHome;
#endif
    }
    ~TrashOfTheTest() {
#ifndef _WIN32
        if (saved_) ::setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else ::unsetenv("XDG_DATA_HOME");
#endif
    }
    TrashOfTheTest(const TrashOfTheTest&) = delete;
    TrashOfTheTest& operator=(const TrashOfTheTest&) = delete;

    void point([[maybe_unused]] const std::filesystem::path& dataHome) {
#ifndef _WIN32
        ::setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
#endif
    }

private:
    std::optional<std::string> saved_;
};

class RealArchiver : public testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_FIXTURES();
        if (archiverPayload().empty()) GTEST_SKIP() << "this build carries no myrar";
        trash_.emplace(dataHome_.path());
        auto begun = ArchiverSession::begin(runner_);
        ASSERT_TRUE(begun) << begun.message();
        session_.emplace(std::move(*begun));
        std::filesystem::create_directories(shellFolder());
    }

    void TearDown() override {
        for (const auto& dir : {work_.path(), archives_.path(), shellFolder()}) {
            EXPECT_FALSE(std::filesystem::exists(dir / "pwned")) << dir;
        }
    }

    // A writable copy of a fixture in the archives folder.
    std::string copyOf(std::string_view fixture, std::string_view as = {}) {
        auto target = drivertest::under(shellFolder(), as.empty() ? fixture : as);
        std::filesystem::copy_file(testsupport::fixture(fixture), target, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return drivertest::utf8(target);
    }

    std::filesystem::path shellFolder() const { return drivertest::under(archives_.path(), kShellFolder); }
    std::string inShellFolder(std::string_view name) const { return drivertest::utf8(drivertest::under(shellFolder(), name)); }

    // Whether this myrar offers a command yet (its usage text lists each one on a line).
    bool archiverKnows(std::string_view command) {
        ArchiverRun run = runner_.run(drivertest::commandOf({"-?"}));
        return run.output.find("\r\n  " + std::string(command) + " ") != std::string::npos;
    }
    // The planning switch came with the trash for emptied archives.
    bool archiverPlans() { return runner_.run(drivertest::commandOf({"-?"})).output.find("dry") != std::string::npos; }

    std::string bytesOf(const std::string& path) const {
        auto read = platform::readWholeFile(platform::pathFromUtf8(path));
        return read ? *read : std::string("(unreadable)");
    }

    testsupport::TempDir dataHome_;
    std::optional<TrashOfTheTest> trash_;
    testsupport::TempDir work_;
    testsupport::TempDir archives_;
    ArchiverRunner runner_{work_.path()};
    ArchiverCommandSet commands_{runner_};
    std::optional<ArchiverSession> session_;
};

TEST_F(RealArchiver, ListsFixturesIntoTheirEntries) {
    struct Case {
        const char* fixture;
        Entries entries;
    };
    const std::vector<Case> cases = {
        {"test_read_format_rar.rar",
         {{' ', "test.txt"}, {' ', "testlink"}, {' ', "testdir\\test.txt"}, {' ', "testdir"}, {' ', "testemptydir"}}},
        {"test_read_format_rar4_encrypted.rar", {{' ', "a.txt"}, {'*', "b.txt"}, {' ', "c.txt"}, {'*', "d.txt"}}},
        {"rar3-comment-plain.rar", {{' ', "file1.txt"}, {' ', "file2.txt"}}},
        {"rar15-comment.rar", {{' ', "FILE1.TXT"}, {' ', "FILE2.TXT"}}},
        {"rar5-subdirs.rar",
         {{' ', "sub\\dir2\\file2.txt"},
          {' ', "sub\\with space\\long fn.txt"},
          {' ', "sub\\üȵĩöḋè\\file.txt"},
          {' ', "sub\\dir1\\file1.txt"},
          {' ', "sub\\dir2"},
          {' ', "sub\\with space"},
          {' ', "sub\\empty"},
          {' ', "sub\\üȵĩöḋè"},
          {' ', "sub\\dir1"},
          {' ', "sub"}}},
        {"empty.rar", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        Listing listing = commands_.listArchive(copyOf(c.fixture), "");
        EXPECT_TRUE(listing.listed) << listing.problem;
        EXPECT_EQ(listing.entries, c.entries);
    }
}

TEST_F(RealArchiver, TakesTheEmptyArchiveImageForAnArchiveWithoutEntries) {
    const std::string archive = inShellFolder("image.rar");
    std::filesystem::path path = drivertest::under(shellFolder(), "image.rar");
    ASSERT_TRUE(platform::writeFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(EmptyArchiveImage.data()), EmptyArchiveImage.size())));
    Listing listing = commands_.listArchive(archive, "");
    EXPECT_TRUE(listing.listed) << listing.problem;
    EXPECT_TRUE(listing.entries.empty());
}

TEST_F(RealArchiver, SaysWhyAFileCouldNotBeListed) {
    struct Case {
        std::string path;
        const char* problemPart;
    };
    const std::vector<Case> cases = {
        {copyOf("test_read_format_zip.zip"), "不是 RAR 压缩包"},
        {drivertest::utf8(archives_ / "missing.rar"), "找不到压缩包"},
        {drivertest::utf8(archives_.path()), "是文件夹"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        Listing listing = commands_.listArchive(c.path, "");
        EXPECT_FALSE(listing.listed);
        EXPECT_TRUE(listing.entries.empty());
        EXPECT_NE(listing.problem.find(c.problemPart), std::string::npos) << listing.problem;
        EXPECT_NE(listing.problem.find(c.path), std::string::npos) << listing.problem;
    }
}

TEST_F(RealArchiver, ReadsTheArchiveComment) {
    // The fixture's comment is packed; a myrar built without libarchive cannot unpack it.
#ifdef PIMINGBAO_HAVE_LIBARCHIVE
    const std::string packedComment = "RARcomment\n";
#else
    const std::string packedComment;
#endif
    EXPECT_EQ(commands_.readArchiveComment(copyOf("rar3-comment-plain.rar"), ""), packedComment);
    EXPECT_EQ(commands_.readArchiveComment(copyOf("test_read_format_rar.rar"), ""), "");
    // A second comment in a row: the first one's mycomm.txt must not make the archiver ask.
    EXPECT_EQ(commands_.readArchiveComment(copyOf("rar3-comment-plain.rar", "again.rar"), ""), packedComment);
}

TEST_F(RealArchiver, DeletesTheNamedEntriesAndReportsSuccess) {
    const std::string archive = copyOf("test_read_format_rar.rar");
    RecordingSink sink;
    DeleteOutcome outcome = commands_.deleteFromArchive(archive, {"testdir\\test.txt", "testlink"}, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.removedEntries, (Texts{"testlink", "testdir\\test.txt"}));
    EXPECT_EQ(outcome.emptied, DeleteOutcome::Emptied::No);
    EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "删除成功！"}));
    Listing listing = commands_.listArchive(archive, "");
    EXPECT_EQ(listing.entries, (Entries{{' ', "test.txt"}, {' ', "testdir"}, {' ', "testemptydir"}}));
}

TEST_F(RealArchiver, ADeleteThatMatchesNothingLeavesTheArchiveUntouched) {
    const std::string archive = copyOf("test_read_format_rar.rar");
    const auto before = platform::readWholeFile(platform::pathFromUtf8(archive)).value();
    // "-y" and "@x" would be a switch and a list file without the "--" before them.
    for (const auto& names : std::vector<std::vector<std::string>>{{"nothing.txt"}, {"-y", "@x"}, {"$(touch pwned)"}}) {
        RecordingSink sink;
        DeleteOutcome outcome = commands_.deleteFromArchive(archive, names, sink.sink());
        EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::NothingMatched) << outcome.detail;
        EXPECT_TRUE(outcome.removedEntries.empty());
        EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "没有要文件的删除"}));
    }
    EXPECT_EQ(platform::readWholeFile(platform::pathFromUtf8(archive)).value(), before);
}

TEST_F(RealArchiver, DeletingEveryEntryTakesTheArchiveAway) {
    const std::string archive = copyOf("test_read_format_rar_noeof.rar");
    RecordingSink sink;
    DeleteOutcome outcome = commands_.deleteFromArchive(archive, {"test.txt"}, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    EXPECT_EQ(outcome.removedEntries, (Texts{"test.txt"}));
    EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "删除成功！"}));
    EXPECT_FALSE(std::filesystem::exists(platform::pathFromUtf8(archive)));
    EXPECT_TRUE(std::filesystem::exists(shellFolder()));
}

// ---- what the archiver does with an emptied archive, and its plans

TEST_F(RealArchiver, AnEmptiedArchiveGoesToTheTrashWhole) {
    if (!archiverPlans()) GTEST_SKIP() << "this myrar has no trash for emptied archives yet";
    const std::string archive = copyOf("test_read_format_rar_subblock.rar", "广告 only.rar");
    const std::string before = bytesOf(archive);
    const auto entries = commands_.listArchive(archive, "").entries;
    ASSERT_FALSE(entries.empty());
    std::vector<std::string> names;
    for (const auto& e : entries) names.push_back(e.path);
    DeleteOutcome outcome = commands_.deleteFromArchive(archive, names, {});
    ASSERT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    EXPECT_EQ(outcome.removedEntries.size(), names.size());
    EXPECT_EQ(outcome.emptied, DeleteOutcome::Emptied::MovedToTrash);
    EXPECT_FALSE(std::filesystem::exists(platform::pathFromUtf8(archive)));
#ifdef _WIN32
    // A recycle bin need not say where an item went (Wine's does not); then the path stays
    // unknown and undo sends the user to the recycle bin.
    if (outcome.trashedFile.empty()) return;
#endif
    ASSERT_FALSE(outcome.trashedFile.empty());
    EXPECT_EQ(bytesOf(outcome.trashedFile), before);
#ifndef _WIN32
    EXPECT_EQ(platform::pathFromUtf8(outcome.trashedFile).parent_path(), dataHome_ / "Trash" / "files");
#endif
}

#ifndef _WIN32
TEST_F(RealArchiver, AnEmptiedArchiveNoTrashTakesIsKeptWithoutEntries) {
    if (!archiverPlans()) GTEST_SKIP() << "this myrar has no trash for emptied archives yet";
    // A file where the trash's folders would have to be made.
    trash_->point(dataHome_.write("not a folder", "x") / "data");
    const std::string archive = copyOf("test_read_format_rar_noeof.rar");
    DeleteOutcome outcome = commands_.deleteFromArchive(archive, {"test.txt"}, {});
    ASSERT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    EXPECT_EQ(outcome.emptied, DeleteOutcome::Emptied::KeptEmpty);
    EXPECT_EQ(outcome.trashedFile, "");
    Listing listing = commands_.listArchive(archive, "");
    EXPECT_TRUE(listing.listed) << listing.problem;
    EXPECT_TRUE(listing.entries.empty());
}
#endif

TEST_F(RealArchiver, APlanSaysWhatTheDeleteThenDoesAndWritesNothing) {
    if (!archiverPlans()) GTEST_SKIP() << "this myrar has no planning switch yet";
    struct Case {
        const char* fixture;
        std::vector<std::string> names;
        DeleteOutcome::Kind kind;
        DeleteOutcome::Emptied emptied;
    };
    using K = DeleteOutcome::Kind;
    using E = DeleteOutcome::Emptied;
    const std::vector<Case> cases = {
        {"test_read_format_rar.rar", {"testdir\\test.txt", "testlink"}, K::Deleted, E::No},
        {"test_read_format_rar.rar", {"nothing.txt", "-y"}, K::NothingMatched, E::No},
        {"test_read_format_rar_noeof.rar", {"test.txt"}, K::Deleted, E::MovedToTrash},
        {"rar15-comment-lock.rar", {"FILE1.TXT"}, K::Failed, E::No},
        {"test_read_format_zip.zip", {"a.txt"}, K::Failed, E::No},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const std::string archive = copyOf(c.fixture);
        const std::string before = bytesOf(archive);
        DeleteOutcome plan = commands_.planDelete(archive, c.names);
        EXPECT_EQ(plan.kind, c.kind) << plan.detail;
        EXPECT_EQ(plan.emptied, c.emptied);
        EXPECT_EQ(plan.trashedFile, "");
        EXPECT_EQ(bytesOf(archive), before);

        DeleteOutcome real = commands_.deleteFromArchive(archive, c.names, {});
        EXPECT_EQ(real.kind, plan.kind);
        EXPECT_EQ(real.exitCode, plan.exitCode);
        EXPECT_EQ(real.removedEntries, plan.removedEntries);
        EXPECT_EQ(real.detail, plan.detail);
    }
}

#ifndef _WIN32
// Names no Windows file system allows, but a Linux one does: each one reaches myrar whole.
TEST_F(RealArchiver, ListsAndCleansArchivesWhoseNamesHoldQuotesAndLineEnds) {
    for (const char* name : {"it's \"q\".rar", "line\nend.rar", "a\r\nb\t\"\\.rar", "-dash.rar"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(name)));
        const std::string archive = copyOf("test_read_format_rar.rar", name);
        Listing listing = commands_.listArchive(archive, "");
        EXPECT_TRUE(listing.listed) << listing.problem;
        EXPECT_EQ(listing.entries.size(), 5u);
        DeleteOutcome outcome = commands_.deleteFromArchive(archive, {"testlink"}, {});
        EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
        EXPECT_EQ(outcome.removedEntries, (Texts{"testlink"}));
        EXPECT_EQ(commands_.listArchive(archive, "").entries,
                  (Entries{{' ', "test.txt"}, {' ', "testdir\\test.txt"}, {' ', "testdir"}, {' ', "testemptydir"}}));
    }
}

TEST_F(RealArchiver, DeletesEntriesWhoseNamesHoldQuotesAndLineEnds) {
    if (!archiverKnows("a")) GTEST_SKIP() << "this myrar has no add command yet";
    testsupport::TempDir sources;
    const std::vector<std::string> names = {"it's \"q\".txt", "line\nend.txt", "-dash.txt", "keep.txt"};
    std::vector<std::string> arguments = {"a", "-ep1", inShellFolder("names.rar"), "--"};
    for (const auto& n : names) arguments.push_back(drivertest::utf8(sources.write(n, n)));
    ArchiverRun added = runner_.run(drivertest::commandOf(arguments));
    ASSERT_TRUE(added.exitedCleanly()) << added.problem << added.output;

    const std::vector<std::string> doomed(names.begin(), names.end() - 1);
    DeleteOutcome outcome = commands_.deleteFromArchive(inShellFolder("names.rar"), doomed, {});
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    EXPECT_EQ(outcome.removedEntries, doomed);
    EXPECT_EQ(commands_.listArchive(inShellFolder("names.rar"), "").entries, (Entries{{' ', "keep.txt"}}));
}
#endif

TEST_F(RealArchiver, AFailedDeleteCarriesTheArchiversReason) {
    struct Case {
        std::string archive;
        const char* detailPart;
    };
    const std::vector<Case> cases = {
        {copyOf("rar15-comment-lock.rar"), "已锁定"},
        {copyOf("test_read_format_zip.zip"), "不是 RAR 压缩包"},
        {drivertest::utf8(archives_ / "missing.rar"), "找不到压缩包"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archive);
        RecordingSink sink;
        DeleteOutcome outcome = commands_.deleteFromArchive(c.archive, {"FILE1.TXT"}, sink.sink());
        EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Failed);
        EXPECT_NE(outcome.detail.find(c.detailPart), std::string::npos) << outcome.detail;
        EXPECT_EQ(outcome.detail.find("myrar -?"), std::string::npos) << outcome.detail;
        EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "删除失败！"}));
    }
}

TEST_F(RealArchiver, AddsFilesAndExtractsThemBesideTheArchive) {
    if (!archiverKnows("a") || !archiverKnows("x")) GTEST_SKIP() << "this myrar has no add or extract command yet";
    testsupport::TempDir sources;
    const auto first = sources.write("文件1.txt", "第一个文件\r\n");
    const auto second = sources.write("a b.exe", "MZ");
    const std::string archive = inShellFolder("新压缩包.rar");

    RecordingSink added;
    EXPECT_TRUE(commands_.addToArchive(archive, {drivertest::utf8(first), drivertest::utf8(second)}, added.sink()));
    EXPECT_EQ(added.texts, (Texts{"正在压缩中……", "压缩成功！"}));
    Listing listing = commands_.listArchive(archive, "");
    EXPECT_EQ(listing.entries, (Entries{{'*', "文件1.txt"}, {'*', "a b.exe"}})) << listing.problem;

    RecordingSink extracted;
    EXPECT_TRUE(commands_.extractArchive(archive, true, extracted.sink()));
    EXPECT_EQ(extracted.texts, (Texts{"正在解压缩中……", "解压缩成功！"}));
    const auto folder = drivertest::under(shellFolder(), "新压缩包");
    EXPECT_EQ(*platform::readWholeFile(drivertest::under(folder, "文件1.txt")), "第一个文件\r\n");
    EXPECT_EQ(*platform::readWholeFile(folder / "a b.exe"), "MZ");
}

TEST_F(RealArchiver, ExtractsAFixtureWithAndWithoutItsFolders) {
    if (!archiverKnows("x") || !archiverKnows("e")) GTEST_SKIP() << "this myrar has no extract commands yet";
    const auto folder = drivertest::under(shellFolder(), "rar3-subdirs");
    for (bool withPaths : {true, false}) {
        SCOPED_TRACE(withPaths);
        std::filesystem::remove_all(folder);
        RecordingSink sink;
        EXPECT_TRUE(commands_.extractArchive(copyOf("rar3-subdirs.rar"), withPaths, sink.sink()));
        EXPECT_EQ(sink.texts, (Texts{"正在解压缩中……", "解压缩成功！"}));
        const auto file = withPaths ? folder / "sub" / "with space" / "long fn.txt" : folder / "long fn.txt";
        EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
        EXPECT_EQ(std::filesystem::exists(folder / "sub"), withPaths);
    }
    EXPECT_FALSE(std::filesystem::exists(work_ / "long fn.txt"));
}

TEST_F(RealArchiver, AddsToAnExistingArchiveAndKeepsItsEntries) {
    if (!archiverKnows("a")) GTEST_SKIP() << "this myrar has no add command yet";
    testsupport::TempDir sources;
    const auto added = sources.write("新文件.pdf", "%PDF");
    const std::string archive = copyOf("test_read_format_rar_noeof.rar");
    RecordingSink sink;
    EXPECT_TRUE(commands_.addToArchive(archive, {drivertest::utf8(added)}, sink.sink()));
    EXPECT_EQ(sink.texts, (Texts{"正在压缩中……", "压缩成功！"}));
    EXPECT_EQ(commands_.listArchive(archive, "").entries, (Entries{{' ', "test.txt"}, {'*', "新文件.pdf"}}));
}

TEST_F(RealArchiver, AnAddThatFailsSaysSo) {
    if (!archiverKnows("a")) GTEST_SKIP() << "this myrar has no add command yet";
    RecordingSink sink;
    EXPECT_FALSE(commands_.addToArchive(copyOf("test_read_format_rar.rar"), {drivertest::utf8(archives_ / "missing.txt")}, sink.sink()));
    EXPECT_EQ(sink.texts, (Texts{"正在压缩中……", "压缩失败！"}));
}

}  // namespace
