// The command set over the fake archiver: what each operation hands the archiver, which
// exchange files it prepares or clears, how it reads the outcome and what the sink hears.
#include "archiver/driver/archiver_command_set.h"

#include <gtest/gtest.h>

#include "archiver/driver/empty_archive_image.h"
#include "platform/text_codec.h"
#include "tests/driver/fake_workspace.h"

namespace {

using drivertest::FakeWorkspace;
using drivertest::RecordingSink;
using Args = std::vector<std::string>;
using Texts = std::vector<std::string>;

std::string gb(std::string_view utf8) { return *platform::utf8ToGb18030(utf8); }

// A workspace whose archiver prints `output` (given in UTF-8, printed in GB18030) and ends
// with `exitCode`.
void answerWith(const FakeWorkspace& ws, std::string_view output, int exitCode = 0) {
    ws.write("answer.txt", gb(output));
    ws.script("print answer.txt\nexit " + std::to_string(exitCode) + "\n");
}

// ---- listArchive

TEST(ListArchive, ReadsTheListingTheArchiverWroteIntoFilelist) {
    FakeWorkspace ws;
    ws.script("print " + drivertest::utf8(drivertest::dataPath("listing_three_entries.txt")) + "\n");
    ArchiverCommandSet commands(ws.runner());
    const std::string path = ws.at("资料 1/a.rar");
    Listing listing = commands.listArchive(path, "tz5083");
    ASSERT_TRUE(listing.listed) << listing.problem;
    EXPECT_EQ(listing.entries, (std::vector<ListingEntry>{{' ', "文件1.txt"}, {' ', "文件2.exe"}, {' ', "文件3.pdf"}}));
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"v", "-ptz5083", path}}));
}

TEST(ListArchive, PassesTheCallersPasswordOrTheFixedOne) {
    FakeWorkspace ws;
    ws.script("exit 0\n");
    ArchiverCommandSet commands(ws.runner());
    commands.listArchive("a.rar", "secret");
    commands.listArchive("a.rar", "");
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"v", "-psecret", "a.rar"}, {"v", "-ptz5083", "a.rar"}}));
}

TEST(ListArchive, NeverHandsBackTheListingOfTheArchiveBefore) {
    FakeWorkspace ws;
    ws.write("filelist.txt", drivertest::dataFile("listing_three_entries.txt"));
    // The redirection is the runner's: a fake that fails before writing anything still
    // gets an emptied file; a command that does not start gets none at all.
    ws.script("exit 1\n");
    ArchiverCommandSet commands(ws.runner());
    Listing listing = commands.listArchive("other.rar", "");
    EXPECT_FALSE(listing.listed);
    EXPECT_TRUE(listing.entries.empty());

    ws.write("filelist.txt", drivertest::dataFile("listing_three_entries.txt"));
    std::filesystem::remove(ws / "myrar.exe");
    listing = commands.listArchive("other.rar", "");
    EXPECT_FALSE(listing.listed);
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_NE(listing.problem.find("myrar.exe"), std::string::npos) << listing.problem;
    EXPECT_FALSE(ws.has("filelist.txt"));
}

TEST(ListArchive, SaysWhyAnArchiveCouldNotBeListed) {
    struct Case {
        const char* what;
        std::string script;
        const char* problemPart;
    };
    const std::vector<Case> cases = {
        {"not an archive", "print " + drivertest::utf8(drivertest::dataPath("listing_not_an_archive.txt")) + "\nexit 3\n", "不是 RAR 压缩包"},
        {"only an error message", "say-error 无法打开压缩包\nexit 3\n", "无法打开压缩包"},
        {"a broken-off table", "print " + drivertest::utf8(drivertest::dataPath("listing_truncated.txt")) + "\nexit 3\n", "不完整"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWorkspace ws;
        ws.script(c.script);
        Listing listing = ArchiverCommandSet(ws.runner()).listArchive("x.rar", "");
        EXPECT_FALSE(listing.listed);
        EXPECT_TRUE(listing.entries.empty());
        EXPECT_NE(listing.problem.find(c.problemPart), std::string::npos) << listing.problem;
    }
}

TEST(ListArchive, AnEmptyArchiveIsListedWithoutEntries) {
    FakeWorkspace ws;
    ws.script("print " + drivertest::utf8(drivertest::dataPath("listing_empty_archive.txt")) + "\n");
    Listing listing = ArchiverCommandSet(ws.runner()).listArchive("empty.rar", "");
    EXPECT_TRUE(listing.listed) << listing.problem;
    EXPECT_TRUE(listing.entries.empty());
}

// Quotes, line ends and a redirection in a path are only ever part of the path.
TEST(ListArchive, HandsEveryPathOverWholeButOneHoldingANul) {
    FakeWorkspace ws;
    const std::string path = ws.at("it's \"q\" >x\n.rar");
    ArchiverCommandSet commands(ws.runner());
    commands.listArchive(path, "");
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"v", "-ptz5083", path}}));
    EXPECT_FALSE(ws.has("x"));

    Listing listing = commands.listArchive(std::string("a\0.rar", 6), "");
    EXPECT_FALSE(listing.listed);
    EXPECT_NE(listing.problem.find("压缩文件路径"), std::string::npos) << listing.problem;
    EXPECT_EQ(ws.calls().size(), 1u);
}

// ---- readArchiveComment

TEST(ReadArchiveComment, ReturnsWhatTheArchiverWroteIntoMycomm) {
    FakeWorkspace ws;
    ws.write("comment.txt", gb("压缩包的注释\r\n第二行"));
    // The fake refuses to overwrite mycomm.txt, as the archiver would ask first.
    ws.write("mycomm.txt", "stale comment of another archive");
    ws.script("copy-to-arg comment.txt 3\n");
    ArchiverCommandSet commands(ws.runner());
    EXPECT_EQ(commands.readArchiveComment("a b.rar", "tz5083"), "压缩包的注释\r\n第二行");
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"cw", "a b.rar", "mycomm.txt", "-ptz5083"}}));
}

TEST(ReadArchiveComment, AnArchiveWithoutCommentGivesAnEmptyText) {
    FakeWorkspace ws;
    ws.write("mycomm.txt", "stale comment of another archive");
    answerWith(ws, "\r\n没有备注\r\n");
    EXPECT_EQ(ArchiverCommandSet(ws.runner()).readArchiveComment("a.rar", ""), "");
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"cw", "a.rar", "mycomm.txt", "-ptz5083"}}));
}

// ---- addToArchive

TEST(AddToArchive, WritesTheListStartsANewArchiveAndReportsSuccess) {
    FakeWorkspace ws;
    ws.write("answer.txt", gb("\r\n正在添加 文件1.txt  100%\r\n完成"));
    ws.script("keep-arg 4 seen.rar\nprint answer.txt\n");
    ws.write("mylist.lst", "old list\r\nold.txt\r\n");
    const std::string archive = ws.at("新 压缩包.rar");
    RecordingSink sink;
    ArchiverCommandSet commands(ws.runner());
    EXPECT_TRUE(commands.addToArchive(archive, {"/data/文件1.txt", "/data/a b.txt"}, sink.sink()));
    EXPECT_EQ(sink.texts, (Texts{"正在压缩中……", "压缩成功！"}));
    EXPECT_EQ(ws.read("mylist.lst"), gb("/data/文件1.txt\r\n/data/a b.txt\r\n"));
    EXPECT_EQ(ws.read("seen.rar"), std::string(EmptyArchiveImage.begin(), EmptyArchiveImage.end()));
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"a", "-ed", "-ep1", archive, "@mylist.lst", "-ptz5083"}}));
}

TEST(AddToArchive, LeavesAnExistingArchiveAsItIs) {
    FakeWorkspace ws;
    answerWith(ws, "\r\n完成");
    auto archive = ws.write("old.rar", "existing archive bytes");
    RecordingSink sink;
    EXPECT_TRUE(ArchiverCommandSet(ws.runner()).addToArchive(drivertest::utf8(archive), {"x.txt"}, sink.sink()));
    EXPECT_EQ(ws.read("old.rar"), "existing archive bytes");
}

TEST(AddToArchive, SucceedsOnlyWhenTheLastLineIsDoneAndTheExitCodeZero) {
    struct Case {
        const char* output;
        int exitCode;
        bool success;
    };
    const std::vector<Case> cases = {
        {"\r\n正在添加 a.txt   50%\r\n完成", 0, true},
        {"\r\n完成\r\n", 0, true},
        {"\r\n完成", 1, false},
        {"\r\n正在添加 完成.txt\r\n无法读取 b.txt", 0, false},
        {"\r\n已完成", 0, false},
        {"\r\n完成\r\n\r\n", 0, false},
        {"", 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.output)));
        FakeWorkspace ws;
        answerWith(ws, c.output, c.exitCode);
        RecordingSink sink;
        EXPECT_EQ(ArchiverCommandSet(ws.runner()).addToArchive(ws.at("a.rar"), {"x.txt"}, sink.sink()), c.success);
        EXPECT_EQ(sink.texts, (Texts{"正在压缩中……", c.success ? "压缩成功！" : "压缩失败！"}));
    }
}

TEST(AddToArchive, RefusesWhatCannotBeWrittenIntoTheListWithoutRunning) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"no files", {}},
        {"a path with a line end", {"a.txt\r\nb.txt"}},
        {"a path with a line feed", {"a.txt\nb.txt"}},
        {"a path with a blank at its end", {"a.txt "}},
        {"a path with a tab at its start", {"\ta.txt"}},
        {"an empty path", {""}},
        {"a path that is no UTF-8", {"a\xFF.txt"}},
        {"an archive path with a NUL", {"ok.txt"}},
    };
    for (const auto& [what, files] : cases) {
        SCOPED_TRACE(what);
        FakeWorkspace ws;
        const std::string archive = what == "an archive path with a NUL" ? std::string("a\0.rar", 6) : ws.at("a.rar");
        RecordingSink sink;
        EXPECT_FALSE(ArchiverCommandSet(ws.runner()).addToArchive(archive, files, sink.sink()));
        EXPECT_EQ(sink.texts, (Texts{"压缩失败！"}));
        EXPECT_TRUE(ws.calls().empty());
        EXPECT_FALSE(ws.has("a.rar"));
    }
}

// Windows allows no double quote in a file name, so the archive cannot be made there.
#ifndef _WIN32
TEST(AddToArchive, TakesAnArchivePathWithQuotesAndAFileWithBlanksInside) {
    FakeWorkspace ws;
    answerWith(ws, "\r\n完成");
    const std::string archive = ws.at("it's \"q\".rar");
    RecordingSink sink;
    EXPECT_TRUE(ArchiverCommandSet(ws.runner()).addToArchive(archive, {"/d/a \"b\" c.txt"}, sink.sink()));
    EXPECT_EQ(ws.read("mylist.lst"), "/d/a \"b\" c.txt\r\n");
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"a", "-ed", "-ep1", archive, "@mylist.lst", "-ptz5083"}}));
}
#endif

// ---- extractArchive

TEST(ExtractArchive, ExtractsIntoTheFolderNamedAfterTheArchive) {
    for (bool withPaths : {true, false}) {
        SCOPED_TRACE(withPaths);
        FakeWorkspace ws;
        answerWith(ws, "\r\n正在解压 文件1.txt  OK\r\n全部OK");
        const std::string archive = ws.at("资料/a b.rar");
        // The folder is built from the archive's path, so it has the platform's separators.
        const std::string folder = drivertest::utf8((ws / "资料/a b/").make_preferred());
        RecordingSink sink;
        EXPECT_TRUE(ArchiverCommandSet(ws.runner()).extractArchive(archive, withPaths, sink.sink()));
        EXPECT_EQ(sink.texts, (Texts{"正在解压缩中……", "解压缩成功！"}));
        EXPECT_EQ(ws.calls(), (std::vector<Args>{{withPaths ? "x" : "e", "-y", archive, folder, "-ptz5083"}}));
    }
}

TEST(ExtractArchive, FailsWithoutAllOkAtTheEndOrWithAnExitCode) {
    struct Case {
        const char* output;
        int exitCode;
    };
    for (const auto& c : std::vector<Case>{{"\r\nCRC 错误\r\n", 3}, {"\r\n全部OK", 2}, {"\r\n全部OK 之后还有\r\n", 0}}) {
        FakeWorkspace ws;
        answerWith(ws, c.output, c.exitCode);
        RecordingSink sink;
        EXPECT_FALSE(ArchiverCommandSet(ws.runner()).extractArchive(ws.at("a.rar"), true, sink.sink()));
        EXPECT_EQ(sink.texts, (Texts{"正在解压缩中……", "解压缩失败！"}));
    }
}

TEST(ExtractionFolderFor, IsBesideTheArchiveAndNamedAfterIt) {
    struct Case {
        const char* archive;
        const char* folder;
    };
    const std::vector<Case> cases = {
        {"/d/a.rar", "/d/a"},
        {"/d/资料 1.RAR", "/d/资料 1"},
        {"/d/set.part1.rar", "/d/set.part1"},
        {"/d/noextension", "/d/noextension_files"},
        {"/d/.rar", "/d/.rar_files"},
    };
    for (const auto& c : cases) EXPECT_EQ(ArchiverCommandSet::extractionFolderFor(c.archive), c.folder) << c.archive;
}

// ---- deleteFromArchive

TEST(DeleteFromArchive, PassesEveryNameAfterTheEndOfSwitches) {
    FakeWorkspace ws;
    answerWith(ws, "\r\n正在从 a.rar 删除\r\n正在删除 文件1.txt\r\n正在删除 -r\r\n完成");
    RecordingSink sink;
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("a b.rar", {"文件1.txt", "", "-r", " 前后空格 "}, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted);
    EXPECT_TRUE(outcome.success());
    EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "删除成功！"}));
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"d", "-y", "a b.rar", "--", "文件1.txt", "-r", " 前后空格 "}}));
}

TEST(DeleteFromArchive, ReadsTheOutcomeFromTheArchiversLastLine) {
    struct Case {
        const char* what;
        const char* output;
        int exitCode;
        DeleteOutcome::Kind kind;
        const char* finalText;
        const char* detailPart;
    };
    using K = DeleteOutcome::Kind;
    const std::vector<Case> cases = {
        {"entries removed", "\r\n正在删除 a.txt\r\n完成", 0, K::Deleted, "删除成功！", ""},
        {"the last entry removed", "\r\n正在删除 a.txt\r\n擦除空的压缩包 a.rar", 0, K::Deleted, "删除成功！", ""},
        {"the last entry removed, then done", "\r\n正在删除 a.txt\r\n擦除空的压缩包 a.rar\r\n完成", 0, K::Deleted, "删除成功！", ""},
        {"nothing matched", "\r\n正在从 a.rar 删除\r\n没有要文件的删除", 0, K::NothingMatched, "没有要文件的删除", ""},
        {"nothing matched, exit code", "\r\n没有要文件的删除\r\n", 1, K::NothingMatched, "没有要文件的删除", ""},
        {"not an archive", "\r\nRAR 3.71 (myrar)\r\n输入 myrar -? 获取帮助\r\n\r\nx.rar 不是 RAR 压缩包\r\n", 3, K::Failed, "删除失败！", "x.rar 不是 RAR 压缩包"},
        {"done but an exit code", "\r\n完成", 2, K::Failed, "删除失败！", "退出码 2"},
        {"silence", "", 0, K::Failed, "删除失败！", "没有报告"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWorkspace ws;
        answerWith(ws, c.output, c.exitCode);
        RecordingSink sink;
        DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("a.rar", {"a.txt"}, sink.sink());
        EXPECT_EQ(outcome.kind, c.kind);
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(sink.texts, (Texts{"正在删除中……", c.finalText}));
        if (c.kind == K::Failed) {
            EXPECT_NE(outcome.detail.find(c.detailPart), std::string::npos) << outcome.detail;
            EXPECT_EQ(outcome.detail.find("RAR 3.71"), std::string::npos) << outcome.detail;
        }
    }
}

// A name with a quote or a line end once failed the whole archive, and with it every
// other name of the list; now each reaches the archiver as it is.
TEST(DeleteFromArchive, HandsQuotesLineEndsAndTabsInNamesOverWhole) {
    const std::vector<std::string> names = {"ok.txt", "a\"b.txt", "a\nb.txt", "a\r\nb.txt", "tab\there", "\"", "end\\"};
    FakeWorkspace ws;
    answerWith(ws, "\r\n正在删除 ok.txt\r\n完成");
    RecordingSink sink;
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("it's \"q\".rar", names, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted) << outcome.detail;
    Args expected = {"d", "-y", "it's \"q\".rar", "--"};
    expected.insert(expected.end(), names.begin(), names.end());
    EXPECT_EQ(ws.calls(), (std::vector<Args>{expected}));
}

TEST(DeleteFromArchive, ANameHoldingANulFailsWithoutRunning) {
    FakeWorkspace ws;
    RecordingSink sink;
    ArchiverCommandSet commands(ws.runner());
    DeleteOutcome outcome = commands.deleteFromArchive("a.rar", {"ok.txt", std::string("nul\0", 4)}, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Failed);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_FALSE(outcome.detail.empty());
    EXPECT_EQ(sink.texts, (Texts{"删除失败！"}));
    outcome = commands.planDelete("a.rar", {"ok.txt", std::string("nul\0", 4)});
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Failed);
    EXPECT_FALSE(outcome.detail.empty());
    EXPECT_TRUE(ws.calls().empty());
}

TEST(DeleteFromArchive, NoNamesNeverReachTheArchiver) {
    for (const auto& names : std::vector<std::vector<std::string>>{{}, {""}, {"", ""}}) {
        FakeWorkspace ws;
        RecordingSink sink;
        DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("a.rar", names, sink.sink());
        EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::NothingMatched);
        EXPECT_EQ(sink.texts, (Texts{"没有要文件的删除"}));
        EXPECT_TRUE(ws.calls().empty());
    }
}

// What a real delete and its plan say they take out, and what becomes of an archive left
// without entries, read from the archiver's output as it prints it (GB18030, CR LF).
struct OutcomeCase {
    const char* what;
    const char* output;
    int exitCode;
    DeleteOutcome::Kind kind;
    std::vector<std::string> removed;
    DeleteOutcome::Emptied emptied;
    std::string trashedFile;
};

using K = DeleteOutcome::Kind;
using E = DeleteOutcome::Emptied;
const char kBanner[] = "\r\nRAR 3.71 (myrar)\r\n输入 myrar -? 获取帮助\r\n\r\n";

std::string withBanner(const char* output) { return std::string(kBanner) + output; }

TEST(DeleteFromArchive, TellsWhatItTookOutAndWhereAnEmptiedArchiveWent) {
    const std::vector<OutcomeCase> cases = {
        {"entries removed", "正在从 /d/a.rar 删除\r\n正在删除 a.txt\r\n正在删除 子目录\\b.txt\r\n完成", 0, K::Deleted,
         {"a.txt", "子目录\\b.txt"}, E::No, ""},
        {"emptied into the trash",
         "正在从 /d/a.rar 删除\r\n正在删除 a.txt\r\n擦除空的压缩包 /d/a.rar\r\n已移到回收站 /t/Trash/files/a.rar\r\n完成", 0,
         K::Deleted, {"a.txt"}, E::MovedToTrash, "/t/Trash/files/a.rar"},
        {"emptied into a recycle bin that did not say where",
         "正在删除 a.txt\r\n擦除空的压缩包 /d/a.rar\r\n已移到回收站\r\n完成", 0, K::Deleted, {"a.txt"}, E::MovedToTrash, ""},
        {"emptied, no trash took it",
         "正在从 /d/a.rar 删除\r\n正在删除 a.txt\r\n擦除空的压缩包 /d/a.rar\r\n回收站无法接收，已保留为不含文件的压缩包 /d/a.rar\r\n完成", 0,
         K::Deleted, {"a.txt"}, E::KeptEmpty, ""},
        {"emptied by an archiver without the trash", "正在删除 a.txt\r\n擦除空的压缩包 /d/a.rar\r\n完成", 0, K::Deleted, {"a.txt"},
         E::No, ""},
        // The archiver writes a line feed in a name as a line end.
        {"names with line feeds",
         "正在从 /d/x\r\ny.rar 删除\r\n正在删除 a\r\nb.txt\r\n正在删除 c\r\n\r\n擦除空的压缩包 /d/x\r\ny.rar\r\n已移到回收站 /t/files/x\r\ny.rar\r\n完成",
         0, K::Deleted, {"a\nb.txt", "c\n"}, E::MovedToTrash, "/t/files/x\ny.rar"},
        {"a lone carriage return in a name", "正在删除 a\rb.txt\r\n完成", 0, K::Deleted, {"a\rb.txt"}, E::No, ""},
        {"failed after naming the entries", "正在删除 a.txt\r\n无法写入压缩包 /d/a.rar：磁盘已满\r\n", 5, K::Failed, {}, E::No, ""},
        {"nothing matched", "正在从 /d/a.rar 删除\r\n没有要文件的删除\r\n", 1, K::NothingMatched, {}, E::No, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWorkspace ws;
        answerWith(ws, withBanner(c.output), c.exitCode);
        DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("/d/a.rar", {"a.txt"}, {});
        EXPECT_EQ(outcome.kind, c.kind) << outcome.detail;
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(outcome.removedEntries, c.removed);
        EXPECT_EQ(outcome.emptied, c.emptied);
        EXPECT_EQ(outcome.trashedFile, c.trashedFile);
    }
}

TEST(CanPassName, RefusesOnlyWhatNoArgumentCanCarry) {
    ArchiverCommandSet commands;
    for (const std::string& name : std::vector<std::string>{"a.txt", "a\"b.txt", "a\nb.txt", "a\r\nb", "tab\there", "-r", "@list",
                                                             "$(touch x)", "%PATH%", "!x!", "end\\", "广告 文件.url"}) {
        EXPECT_TRUE(commands.canPassName(name)) << testing::PrintToString(name);
    }
    EXPECT_FALSE(commands.canPassName(""));
    EXPECT_FALSE(commands.canPassName(std::string("a\0b", 3)));
#ifdef _WIN32
    EXPECT_FALSE(commands.canPassName("caf\xE9"));
#else
    EXPECT_TRUE(commands.canPassName("caf\xE9"));
#endif
}

// ---- planDelete

TEST(PlanDelete, AsksTheArchiverWithThePlanningSwitchAndSaysNothingToASink) {
    FakeWorkspace ws;
    answerWith(ws, withBanner("正在从 a b.rar 删除\r\n正在删除 文件1.txt\r\n完成"));
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).planDelete("a b.rar", {"文件1.txt", "", "-r", "a\"b"});
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Deleted);
    EXPECT_EQ(ws.calls(), (std::vector<Args>{{"d", "-dry", "-y", "a b.rar", "--", "文件1.txt", "-r", "a\"b"}}));
}

TEST(PlanDelete, ReadsWhatTheDeleteWouldDoOrWhyItWouldBeRefused) {
    const std::vector<OutcomeCase> cases = {
        {"would remove entries", "正在从 /d/a.rar 删除\r\n正在删除 a.txt\r\n正在删除 b.txt\r\n完成", 0, K::Deleted, {"a.txt", "b.txt"},
         E::No, ""},
        {"would empty the archive", "正在从 /d/a.rar 删除\r\n正在删除 a.txt\r\n擦除空的压缩包 /d/a.rar\r\n完成", 0, K::Deleted, {"a.txt"},
         E::MovedToTrash, ""},
        {"nothing would match", "正在从 /d/a.rar 删除\r\n没有要文件的删除\r\n", 1, K::NothingMatched, {}, E::No, ""},
        {"a volume", "正在从 /d/a.part1.rar 删除\r\n/d/a.part1.rar 是分卷压缩包的一部分，无法删除其中的文件\r\n", 8, K::Failed, {}, E::No,
         ""},
        {"a locked archive", "正在从 /d/a.rar 删除\r\n压缩包 /d/a.rar 已锁定\r\n", 8, K::Failed, {}, E::No, ""},
        {"an archiver without the planning switch", "未知的开关 -dry\r\n", 7, K::Failed, {}, E::No, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWorkspace ws;
        answerWith(ws, withBanner(c.output), c.exitCode);
        DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).planDelete("/d/a.rar", {"a.txt", "b.txt"});
        EXPECT_EQ(outcome.kind, c.kind) << outcome.detail;
        EXPECT_EQ(outcome.exitCode, c.exitCode);
        EXPECT_EQ(outcome.removedEntries, c.removed);
        EXPECT_EQ(outcome.emptied, c.emptied);
        EXPECT_EQ(outcome.trashedFile, "");
        if (c.kind == K::Failed) {
            EXPECT_NE(outcome.detail.find("退出码 " + std::to_string(c.exitCode)), std::string::npos) << outcome.detail;
            EXPECT_EQ(outcome.detail.find("RAR 3.71"), std::string::npos) << outcome.detail;
        }
    }
}

TEST(PlanDelete, NoNamesNeverReachTheArchiver) {
    FakeWorkspace ws;
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).planDelete("a.rar", {"", ""});
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::NothingMatched);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_TRUE(ws.calls().empty());
}

TEST(PlanDelete, AnArchiverThatCannotStartIsAFailureWithItsReason) {
    FakeWorkspace ws;
    std::filesystem::remove(ws / "myrar.exe");
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).planDelete("a.rar", {"a.txt"});
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Failed);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_NE(outcome.detail.find("myrar.exe"), std::string::npos) << outcome.detail;
}

TEST(DeleteFromArchive, AnArchiverThatCannotStartIsAFailureWithItsReason) {
    FakeWorkspace ws;
    std::filesystem::remove(ws / "myrar.exe");
    RecordingSink sink;
    DeleteOutcome outcome = ArchiverCommandSet(ws.runner()).deleteFromArchive("a.rar", {"a.txt"}, sink.sink());
    EXPECT_EQ(outcome.kind, DeleteOutcome::Kind::Failed);
    EXPECT_NE(outcome.detail.find("myrar.exe"), std::string::npos) << outcome.detail;
    EXPECT_EQ(sink.texts, (Texts{"正在删除中……", "删除失败！"}));
}

TEST(ArchiverCommandSet, WorksWithoutASink) {
    FakeWorkspace ws;
    answerWith(ws, "\r\n完成");
    ArchiverCommandSet commands(ws.runner());
    EXPECT_TRUE(commands.deleteFromArchive("a.rar", {"a.txt"}, {}).success());
    EXPECT_TRUE(commands.addToArchive(ws.at("n.rar"), {"a.txt"}, {}));
}

}  // namespace
