// The command line: parsing (in process) and what the program says and returns for
// help, mistakes and unusable archive paths (as a process).
#include <gtest/gtest.h>

#include "archiver/console/command_line.h"
#include "archiver/console/list_file.h"
#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

using console::parseCommandLine;

TEST(CommandLineParsing, SwitchesNamesAndListFiles) {
    const auto p = parseCommandLine({"d", "-y", "a.rar", "x.txt", "-pSecret", "@list.lst", "--", "-dash", "@literal"}, false);
    ASSERT_FALSE(p.error);
    EXPECT_EQ(p.line.command, "d");
    EXPECT_EQ(p.line.archive, "a.rar");
    EXPECT_TRUE(p.line.assumeYes);
    EXPECT_EQ(p.line.password, "Secret");
    ASSERT_EQ(p.line.names.size(), 4u);
    EXPECT_EQ(p.line.names[0].text, "x.txt");
    EXPECT_FALSE(p.line.names[0].listFile);
    EXPECT_EQ(p.line.names[1].text, "list.lst");
    EXPECT_TRUE(p.line.names[1].listFile);
    EXPECT_EQ(p.line.names[2].text, "-dash");
    EXPECT_FALSE(p.line.names[2].listFile);
    EXPECT_EQ(p.line.names[3].text, "@literal");
    EXPECT_FALSE(p.line.names[3].listFile);
}

TEST(CommandLineParsing, Table) {
    const struct {
        std::vector<std::string> args;
        bool slashSwitches;
        const char* command;
        const char* archive;
        std::optional<std::string> password;
        bool yes, ed, ep1, help, error;
    } cases[] = {
        {{"V", "A.RAR"}, false, "v", "A.RAR", {}, false, false, false, false, false},
        {{"a", "-ED", "-Ep1", "x.rar"}, false, "a", "x.rar", {}, false, true, true, false, false},
        {{"v", "-p", "x.rar"}, false, "v", "x.rar", {}, false, false, false, false, false},
        {{"v", "-p-", "x.rar"}, false, "v", "x.rar", {}, false, false, false, false, false},
        {{"v", "-ptz5083", "-p", "x.rar"}, false, "v", "x.rar", {}, false, false, false, false, false},
        {{"-y", "d", "x.rar", "n"}, false, "d", "x.rar", {}, true, false, false, false, false},
        {{"v", "/tmp/x.rar"}, false, "v", "/tmp/x.rar", {}, false, false, false, false, false},
        {{"v", "/y", "x.rar"}, true, "v", "x.rar", {}, true, false, false, false, false},
        {{"v", "/pPw", "x.rar"}, true, "v", "x.rar", "Pw", false, false, false, false, false},
        {{"-?"}, false, "", "", {}, false, false, false, true, false},
        {{}, false, "", "", {}, false, false, false, true, false},
        {{"v", "-zz", "x.rar"}, false, "v", "x.rar", {}, false, false, false, false, true},
        {{"-y"}, false, "", "", {}, true, false, false, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
        const auto p = parseCommandLine(c.args, c.slashSwitches);
        EXPECT_EQ(p.error.has_value(), c.error);
        EXPECT_EQ(p.line.command, c.command);
        EXPECT_EQ(p.line.archive, c.archive);
        EXPECT_EQ(p.line.password, c.password);
        EXPECT_EQ(p.line.assumeYes, c.yes);
        EXPECT_EQ(p.line.noEmptyFolders, c.ed);
        EXPECT_EQ(p.line.excludeBaseFolder, c.ep1);
        EXPECT_EQ(p.line.help, c.help);
    }
}

TEST(ListFile, EncodingsLineEndsAndBlanks) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<std::string> names;
    } cases[] = {
        {"GB18030 with CR LF", "\xCE\xC4\xBC\xFE.txt\r\n\r\n  sub\\b.txt  \r\n", {"文件.txt", "sub\\b.txt"}},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF文件.txt\nx", {"文件.txt", "x"}},
        {"UTF-16LE with a byte-order mark", std::string("\xFF\xFE" "a\0\n\0b\0", 8), {"a", "b"}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(console::namesFromListText(c.bytes), c.names);
    }
}

bool allLinesEndInCrLf(const std::string& raw) {
    for (std::size_t i = 0; i < raw.size(); ++i)
        if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) return false;
    return true;
}

TEST(ConsoleOutput, BannerAndUsage) {
    testsupport::TempDir dir;
    const auto run = testconsole::runMyrar({}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.text.rfind("\r\nmyrar ", 0), 0u) << run.text;
    EXPECT_TRUE(allLinesEndInCrLf(run.raw));
    for (const char* text : {"cw", "d ", "v ", "退出代码", "6  命令行有误", "不分字母大小写"})
        EXPECT_NE(run.text.find(text), std::string::npos) << text;
}

TEST(ConsoleOutput, MistakesOnTheCommandLine) {
    testsupport::TempDir dir;
    dir.write("a.rar", "x");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* says;
    } cases[] = {
        {{"zz", "a.rar"}, 6, "未知的命令: zz"},
        {{"v", "-zz", "a.rar"}, 6, "未知的开关: -zz"},
        {{"v"}, 6, "没有给出压缩包"},
        {{"d", "a.rar"}, 6, "没有给出要删除的文件名称"},
        {{"-y"}, 6, "没有给出命令"},
        {{"d", "a.rar", "@missing.lst"}, 5, "无法读取列表文件 missing.lst"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const auto run = testconsole::runMyrar(c.args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.text.find(c.says), std::string::npos) << run.text;
    }
}

TEST(ConsoleOutput, ArchivePathsThatAreNoArchives) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "folder.rar");
    dir.write("text.rar", "just some text, no archive");
    for (const char* command : {"v", "cw", "d"}) {
        const struct {
            const char* path;
            int exitCode;
            const char* says;
        } cases[] = {
            {"missing.rar", 5, "找不到压缩包 missing.rar"},
            {"folder.rar", 5, "folder.rar 是文件夹，不是压缩包"},
            {"text.rar", 4, "text.rar 不是 RAR 压缩包"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(command) + " " + c.path);
            const auto run = testconsole::runMyrar({command, c.path, "x"}, dir.path());
            EXPECT_EQ(run.exitCode, c.exitCode);
            EXPECT_NE(run.text.find(c.says), std::string::npos) << run.text;
        }
    }
}

}  // namespace
