// The front end's whole run against the fake command set: what it prints, line by line,
// and its exit codes.
#include "cli/cli_program.h"
#include "cli/cli_report.h"

#include <gtest/gtest.h>

#include <sstream>

#include "jobs/real_job_file_system.h"
#include "jobs/rename_journal.h"
#include "tests/jobs/fake_archive_commands.h"
#include "tests/support/temp_dir.h"

namespace {

using Lines = std::vector<std::string>;

class FakeEnvironment final : public cli::CliEnvironment {
public:
    FakeEnvironment(testsupport::FakeArchiveCommands& commands, const std::filesystem::path& dir)
        : commands_(commands), files_(dir / "trash"), journal_(dir / "work" / std::string(jobs::kRenameJournalName)) {
        std::filesystem::create_directories(journal_.parent_path());
    }
    platform::Status begin(const StatusSink&) override {
        ++begun;
        return platform::Status::success();
    }
    ArchiveCommands& commands() override { return commands_; }
    jobs::JobFileSystem& files() override { return files_; }
    std::filesystem::path journalFile() override { return journal_; }
    int begun = 0;

private:
    testsupport::FakeArchiveCommands& commands_;
    jobs::RealJobFileSystem files_;
    std::filesystem::path journal_;
};

Lines split(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

class CliProgram : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::FakeArchiveCommands commands{std::filesystem::path(PIMINGBAO_JOBS_TEST_DATA) / "fake_archives.txt"};
    FakeEnvironment env{commands, dir.path()};
    std::string out, err;

    CliProgram() { commands.trash = dir / "trash"; }

    int run(Lines args) {
        args.insert(args.begin(), "pimingbao-cli");
        std::ostringstream o, e;
        int code = cli::runCliProgram(args, env, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
    std::string archive(const std::string& relative, const std::string& contents) {
        commands.writeArchive(dir / relative, contents, relative);
        return at(relative);
    }
    std::string at(const std::string& relative) const { return (dir / relative).string(); }
};

TEST_F(CliProgram, RenamePrintsStatusTextsThenResultsThenASummary) {
    archive("d/1.rar", "help-example");
    archive("d/2.rar", "help-example");
    archive("d/3.rar", "no-exe");
    EXPECT_EQ(run({"rename", "--ext", "exe", at("d/1.rar"), at("d/2.rar"), at("d/3.rar")}), cli::kExitSomeFailed);
    const Lines lines = split(out);
    ASSERT_EQ(lines.size(), 9u) << out;
    EXPECT_EQ(lines[0], "正在修改第1个文件名称。");
    EXPECT_EQ(lines[1], "正在修改第2个文件名称。");
    EXPECT_EQ(lines[2], "文件已存在！该文件被删除！");
    EXPECT_EQ(lines[3], "正在修改第3个文件名称。");
    EXPECT_EQ(lines[4], "RAR文件名称修改完毕！");
    EXPECT_EQ(lines[5], "[1] 已更名：" + at("d/1.rar") + " -> " + at("d/文件2.rar"));
    EXPECT_EQ(lines[6], "[2] " + at("d/2.rar") + "（文件已存在：" + at("d/文件2.rar") + "；本压缩包已移到回收站：" +
                            (dir / "trash/files/2.rar").string() + "）");
    EXPECT_EQ(lines[7], "[3] " + at("d/3.rar") + "（未更名：压缩包内没有后缀为“exe”的文件）");
    EXPECT_EQ(lines[8], "已更名 1 个，未改动 1 个，失败 1 个（其中 1 个已移到回收站）。(renamed 1, unchanged 1, failed 1, 1 went to the trash)");
    EXPECT_TRUE(err.empty()) << err;
}

TEST_F(CliProgram, FolderArgumentsAreWalkedAndExitCodeIsZeroWhenNothingFailed) {
    archive("top/a.rar", "help-example");
    archive("top/sub/b.RAR", "two-exe");
    archive("top/sub/deeper/c.rar", "no-exe");
    dir.write("top/readme.txt", "not an archive");
    EXPECT_EQ(run({"rename", "--ext", "exe", at("top")}), cli::kExitSuccess) << out << err;
    EXPECT_TRUE(std::filesystem::exists(dir / "top/文件2.rar"));
    EXPECT_TRUE(std::filesystem::exists(dir / "top/sub/甲.rar"));
    const Lines lines = split(out);
    ASSERT_EQ(lines.size(), 8u) << out;
    EXPECT_EQ(lines[6], "[3] " + at("top/sub/deeper/c.rar") + "（未更名：压缩包内没有后缀为“exe”的文件）");
    EXPECT_EQ(lines[7], "已更名 2 个，未改动 1 个，失败 0 个。(renamed 2, unchanged 1, failed 0)");
}

TEST_F(CliProgram, DryRunChangesNothing) {
    archive("d/a.rar", "help-example");
    archive("d/b.rar", "in-folders");
    EXPECT_EQ(run({"rename", "--prefix", "示例", "--start", "009", "--dry-run", at("d")}), cli::kExitSuccess);
    const Lines lines = split(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[0], cli::kDryRunNotice);
    EXPECT_NE(lines[1].find(" -> " + at("d/示例009.rar")), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" -> " + at("d/示例010.rar")), std::string::npos) << lines[2];
    EXPECT_EQ(lines[1].rfind("[1] 将更名：", 0), 0u);
    EXPECT_EQ(lines[3].rfind("试运行：将更名 2 个", 0), 0u);
    EXPECT_TRUE(std::filesystem::exists(dir / "d/a.rar"));
    EXPECT_TRUE(std::filesystem::exists(dir / "d/b.rar"));
    EXPECT_FALSE(std::filesystem::exists(env.journalFile()));

    EXPECT_EQ(run({"clean", "--name", "文件1.txt", "--name", "文件3.pdf", "--dry-run", at("d/a.rar"), at("d/b.rar")}),
              cli::kExitSuccess);
    EXPECT_EQ(split(out), (Lines{cli::kDryRunNotice, "[1] " + at("d/a.rar") + "：将删除 2 个文件", "    文件1.txt",
                                 "    文件3.pdf", "[2] " + at("d/b.rar") + "：未改动：压缩包内没有要删除的文件",
                                 "试运行：将打扫 1 个，不变 1 个，失败 0 个。(dry run: would clean 1, unchanged 1, failed 0)"}));
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "d/a.rar").size(), 3u);
}

// The dry run says, in the archiver's words, which archives it would refuse and why, and which
// would be left empty and go to the trash.
TEST_F(CliProgram, CleanDryRunNamesRefusalsAndArchivesThatWouldGoToTheTrash) {
    archive("d/a.rar", "help-example");
    archive("d/b.rar", "no-exe");
    archive("d/c.rar", "locked");
    archive("d/d.rar", "two-exe");
    EXPECT_EQ(run({"clean", "--dry-run", "--name", "文件1.txt", "--name", "文件3.pdf", at("d/a.rar"),
                   at("d/b.rar"), at("d/c.rar"), at("d/d.rar")}),
              cli::kExitSomeFailed);
    EXPECT_EQ(split(out), (Lines{cli::kDryRunNotice, "[1] " + at("d/a.rar") + "：将删除 2 个文件", "    文件1.txt",
                                 "    文件3.pdf", "[2] " + at("d/b.rar") + "：将删除 2 个文件，删除后压缩包为空，将移到回收站",
                                 "    文件1.txt", "    文件3.pdf", "[3] " + at("d/c.rar") + "：将无法删除：压缩包已锁定，不能修改",
                                 "[4] " + at("d/d.rar") + "：未改动：压缩包内没有要删除的文件",
                                 "试运行：将打扫 2 个，不变 1 个，失败 1 个（其中 1 个将移到回收站）。(dry run: would clean 2, "
                                 "unchanged 1, failed 1, 1 would go to the trash)"}));
    EXPECT_TRUE(err.empty()) << err;
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "d/b.rar").size(), 2u);

    // The real run then counts the same.
    EXPECT_EQ(run({"clean", "--name", "文件1.txt", "--name", "文件3.pdf", at("d/a.rar"), at("d/b.rar"), at("d/c.rar"),
                   at("d/d.rar")}),
              cli::kExitSomeFailed);
    EXPECT_EQ(split(out).back(), "已打扫 2 个，未改动 1 个，失败 1 个（其中 1 个已移到回收站）。(cleaned 2, unchanged 1, "
                                 "failed 1, 1 went to the trash)");
}

// An archive the clean leaves without entries goes to the trash, its line says where, and
// undo brings it back, saying that only such archives come back.
TEST_F(CliProgram, CleanSendsAnEmptiedArchiveToTheTrashAndUndoBringsItBack) {
    archive("a.rar", "help-example");
    archive("b.rar", "no-exe");
    const std::string trashed = (dir / "trash/files/b.rar").string();
    EXPECT_EQ(run({"clean", "--name", "文件1.txt", "--name", "文件3.pdf", at("a.rar"), at("b.rar")}), cli::kExitSuccess);
    EXPECT_EQ(split(out), (Lines{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！", "正在打扫第2个文件。。。",
                                 "正在删除中……", "删除成功！", "文件打扫完毕！", "[1] " + at("a.rar") + "：删除成功",
                                 "[2] " + at("b.rar") + "：删除成功，压缩包已空，已移到回收站：" + trashed,
                                 "已打扫 2 个，未改动 0 个，失败 0 个（其中 1 个已移到回收站）。(cleaned 2, unchanged 0, "
                                 "failed 0, 1 went to the trash)"}));
    EXPECT_FALSE(std::filesystem::exists(dir / "b.rar"));

    EXPECT_EQ(run({"undo"}), cli::kExitSuccess) << out << err;
    const Lines lines = split(out);
    ASSERT_EQ(lines.size(), 3u) << out;
    EXPECT_EQ(lines[0].rfind("撤销 ", 0), 0u);
    EXPECT_NE(lines[0].find(" 的打扫（删除 文件1.txt、文件3.pdf）：只放回被清空后移到回收站的压缩包，从压缩包中删除的文件不会恢复"),
              std::string::npos)
        << lines[0];
    EXPECT_EQ(lines[1], "已还原：" + trashed + " -> " + at("b.rar"));
    EXPECT_EQ(lines[2], "已还原 1 个，未还原 0 个。(restored 1, not restored 0)");
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "b.rar"), (Lines{"文件1.txt", "文件3.pdf"}));
}

TEST_F(CliProgram, CleanShowsTheArchiversReasonForAFailure) {
    archive("a.rar", "help-example");
    archive("b.rar", "locked");
    dir.write("names.txt", "\xEF\xBB\xBF文件1.txt\r\n\r\n  文件2.exe \r\n");
    EXPECT_EQ(run({"clean", "--names-file", at("names.txt"), at("a.rar"), at("b.rar")}), cli::kExitSomeFailed);
    EXPECT_EQ(split(out), (Lines{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！", "正在打扫第2个文件。。。",
                                 "正在删除中……", "删除失败！", "文件打扫完毕！", "[1] " + at("a.rar") + "：删除成功",
                                 "[2] " + at("b.rar") + "：删除失败！压缩包已锁定，不能修改",
                                 "已打扫 1 个，未改动 0 个，失败 1 个。(cleaned 1, unchanged 0, failed 1)"}));
    EXPECT_EQ(commands.calls[0], "delete " + at("a.rar") + ": 文件1.txt|文件2.exe");
}

// A name the archiver cannot take is told once and left out; the dry run tells it too.
TEST_F(CliProgram, CleanSkipsANameTheArchiverCannotTake) {
    archive("a.rar", "help-example");
    const std::string skipped = "已跳过删除列表中的名称“坏\"名”：压缩程序无法接收这个名称，其他名称照常删除";
    EXPECT_EQ(run({"clean", "--dry-run", "--name", "坏\"名", "--name", "文件1.txt", at("a.rar")}), cli::kExitSuccess);
    EXPECT_EQ(split(out), (Lines{cli::kDryRunNotice, skipped, "[1] " + at("a.rar") + "：将删除 1 个文件", "    文件1.txt",
                                 "试运行：将打扫 1 个，不变 0 个，失败 0 个。(dry run: would clean 1, unchanged 0, failed 0)"}));
    EXPECT_EQ(run({"clean", "--name", "坏\"名", "--name", "文件1.txt", at("a.rar")}), cli::kExitSuccess);
    EXPECT_EQ(split(out).front(), skipped);
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "a.rar"), (Lines{"文件2.exe", "文件3.pdf"}));
}

TEST_F(CliProgram, NamesFileInGbkIsRead) {
    archive("a.rar", "help-example");
    dir.write("names.txt", "\xce\xc4\xbc\xfe" "1.txt\r\n");  // 文件1.txt in GBK
    EXPECT_EQ(run({"clean", "--names-file", at("names.txt"), at("a.rar")}), cli::kExitSuccess) << out << err;
    EXPECT_EQ(commands.calls[0], "delete " + at("a.rar") + ": 文件1.txt");
}

// Notepad saves UTF-8 on a current system and offers UTF-16; each gives the same names.
TEST_F(CliProgram, NamesFileInEveryEncodingIsRead) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"GBK", "\xCE\xC4\xBC\xFE" "1.txt\r\n"},
        {"UTF-8", "文件1.txt\n"},
        {"UTF-8 with a mark", "\xEF\xBB\xBF文件1.txt\r\n"},
        {"UTF-16 LE", std::string("\xFF\xFE\x87\x65\xF6\x4E" "1\0.\0t\0x\0t\0\r\0\n\0", 20)},
        {"UTF-16 BE", std::string("\xFE\xFF\x65\x87\x4E\xF6\0" "1\0.\0t\0x\0t\0\r\0\n", 20)},
    };
    for (const Case& c : cases) {
        archive("a.rar", "help-example");
        dir.write("names.txt", c.bytes);
        commands.calls.clear();
        EXPECT_EQ(run({"clean", "--names-file", at("names.txt"), at("a.rar")}), cli::kExitSuccess) << c.what << out << err;
        ASSERT_EQ(commands.calls.size(), 1u) << c.what;
        EXPECT_EQ(commands.calls[0], "delete " + at("a.rar") + ": 文件1.txt") << c.what;
    }
}

TEST_F(CliProgram, ANamesFileThatCannotBeDecodedStopsBeforeAnyArchive) {
    archive("a.rar", "help-example");
    dir.write("names.txt", "\xFF\xFE" "a");  // UTF-16 cut in the middle of a character
    EXPECT_EQ(run({"clean", "--names-file", at("names.txt"), at("a.rar")}), cli::kExitBadCommandLine);
    EXPECT_NE(err.find("无法读取删除列表：无法读取 " + at("names.txt") + "：无法识别文本编码"), std::string::npos) << err;
    EXPECT_TRUE(commands.calls.empty());
}

TEST_F(CliProgram, UndoRevertsTheLastRename) {
    archive("d/a.rar", "help-example");
    archive("d/b.rar", "help-example");
    ASSERT_EQ(run({"rename", "--prefix", "", "--start", "1", at("d")}), cli::kExitSuccess) << out << err;
    ASSERT_TRUE(std::filesystem::exists(dir / "d/2.rar"));

    EXPECT_EQ(run({"undo"}), cli::kExitSuccess) << out << err;
    const Lines lines = split(out);
    ASSERT_EQ(lines.size(), 4u) << out;
    EXPECT_EQ(lines[0].rfind("撤销 ", 0), 0u);
    EXPECT_NE(lines[0].find("按序号 前缀“” 起始序号 1"), std::string::npos);
    EXPECT_EQ(lines[1], "已还原：" + at("d/2.rar") + " -> " + at("d/b.rar"));
    EXPECT_EQ(lines[2], "已还原：" + at("d/1.rar") + " -> " + at("d/a.rar"));
    EXPECT_EQ(lines[3], "已还原 2 个，未还原 0 个。(restored 2, not restored 0)");
    EXPECT_TRUE(std::filesystem::exists(dir / "d/a.rar"));

    EXPECT_EQ(run({"undo"}), cli::kExitSuccess);
    EXPECT_EQ(out, "没有可以撤销的更名。(nothing to undo)\n");
}

TEST_F(CliProgram, BadCommandLinesExitWithTwoAndTouchNothing) {
    archive("a.rar", "help-example");
    for (Lines args : {Lines{"rename", "--prefix", "p", "--start", "-1", at("a.rar")}, Lines{"clean", at("a.rar")},
                       Lines{"rename", "--ext", "exe", at("missing.rar")}, Lines{"bogus"},
                       Lines{"clean", "--names-file", at("none.txt"), at("a.rar")}}) {
        EXPECT_EQ(run(args), cli::kExitBadCommandLine) << args[0];
        EXPECT_FALSE(err.empty());
    }
    EXPECT_EQ(env.begun, 0);
    EXPECT_TRUE(commands.calls.empty());
    EXPECT_TRUE(std::filesystem::exists(dir / "a.rar"));
}

TEST_F(CliProgram, HelpIsInChineseAndEnglish) {
    EXPECT_EQ(run({"--help"}), cli::kExitSuccess);
    for (const char* piece : {"用法 / Usage:", "pimingbao-cli rename --ext 后缀", "--dry-run", "pimingbao-cli undo",
                              "Exit codes: 0", "退出码", "trash", "回收站", "pimingbao-rename-journal.txt"}) {
        EXPECT_NE(out.find(piece), std::string::npos) << piece;
    }
    EXPECT_EQ(env.begun, 0);
}

}  // namespace
