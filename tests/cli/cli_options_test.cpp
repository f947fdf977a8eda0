#include "cli/cli_options.h"

#include <gtest/gtest.h>

namespace {

using cli::CliOptions;
using Command = CliOptions::Command;
using Args = std::vector<std::string>;

Args line(Args rest) {
    rest.insert(rest.begin(), "pimingbao-cli");
    return rest;
}

TEST(CliOptions, ReadsEachFormOfTheCommandLine) {
    struct Case {
        const char* what;
        Args args;
        Command command;
        std::string extension, prefix, start;
        Args names, files, paths;
        bool dryRun;
    } cases[] = {
        {"by extension", {"rename", "--ext", "exe", "a.rar"}, Command::RenameByExtension, "exe", "", "", {}, {}, {"a.rar"}, false},
        {"value after =", {"rename", "--ext=.exe", "--dry-run", "d"}, Command::RenameByExtension, ".exe", "", "", {}, {}, {"d"}, true},
        {"by number", {"rename", "--prefix", "示例", "--start", "00005", "x", "y"}, Command::RenameByNumber, "", "示例", "00005", {}, {}, {"x", "y"}, false},
        {"empty prefix", {"rename", "--prefix", "", "--start", "7", "x"}, Command::RenameByNumber, "", "", "7", {}, {}, {"x"}, false},
        {"start alone", {"rename", "--start=1", "x"}, Command::RenameByNumber, "", "", "1", {}, {}, {"x"}, false},
        {"clean with names", {"clean", "--name", "广告.url", "--name", "说明.txt", "a.rar"}, Command::Clean, "", "", "", {"广告.url", "说明.txt"}, {}, {"a.rar"}, false},
        {"clean with a file", {"clean", "--names-file", "删除.txt", "--dry-run", "d"}, Command::Clean, "", "", "", {}, {"删除.txt"}, {"d"}, true},
        {"paths after --", {"clean", "--name", "a", "--", "--odd.rar", "-"}, Command::Clean, "", "", "", {"a"}, {}, {"--odd.rar", "-"}, false},
        {"options after paths", {"rename", "d", "--ext", "exe"}, Command::RenameByExtension, "exe", "", "", {}, {}, {"d"}, false},
        {"undo", {"undo"}, Command::Undo, "", "", "", {}, {}, {}, false},
        {"help", {"--help"}, Command::Help, "", "", "", {}, {}, {}, false},
        {"help anywhere", {"rename", "--ext", "exe", "-h"}, Command::Help, "", "", "", {}, {}, {}, false},
        {"help command", {"help"}, Command::Help, "", "", "", {}, {}, {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto o = cli::parseCliOptions(line(c.args));
        ASSERT_TRUE(o.ok()) << o.message();
        EXPECT_EQ(o->command, c.command);
        EXPECT_EQ(o->extension, c.extension);
        EXPECT_EQ(o->prefix, c.prefix);
        EXPECT_EQ(o->startNumber, c.start);
        EXPECT_EQ(o->names, c.names);
        EXPECT_EQ(o->namesFiles, c.files);
        EXPECT_EQ(o->paths, c.paths);
        EXPECT_EQ(o->dryRun, c.dryRun);
    }
}

TEST(CliOptions, RefusesABadCommandLineAndSaysWhy) {
    struct Case {
        Args args;
        const char* says;
    } cases[] = {
        {{}, "缺少命令"},
        {{"frobnicate"}, "未知的命令"},
        {{"rename", "a.rar"}, "rename 需要 --ext"},
        {{"rename", "--ext", "exe"}, "缺少路径"},
        {{"rename", "--ext"}, "缺少值"},
        {{"rename", "--ext", " . ", "a"}, "后缀为空"},
        {{"rename", "--ext", "exe", "--ext", "pdf", "a"}, "只能给一次"},
        {{"rename", "--ext", "exe", "--prefix", "p", "--start", "1", "a"}, "不能与"},
        {{"rename", "--prefix", "p", "a"}, "rename 需要 --ext"},
        {{"rename", "--prefix", "p", "--start", "-5", "a"}, "起始序号只能由数字0到9组成"},
        {{"rename", "--prefix", "p", "--start", "", "a"}, "起始序号只能由数字0到9组成"},
        {{"rename", "--prefix", "p", "--start", "1a", "a"}, "起始序号只能由数字0到9组成"},
        {{"rename", "--name", "x", "a"}, "不认识选项"},
        {{"clean", "a.rar"}, "clean 需要 --name"},
        {{"clean", "--ext", "exe", "a"}, "不认识选项"},
        {{"clean", "--name", "x"}, "缺少路径"},
        {{"undo", "a.rar"}, "undo 不需要路径"},
        {{"undo", "--dry-run"}, "不认识选项"},
    };
    for (const auto& c : cases) {
        auto o = cli::parseCliOptions(line(c.args));
        ASSERT_FALSE(o.ok()) << c.says;
        EXPECT_NE(o.message().find(c.says), std::string::npos) << o.message();
        // Every message also in English, on its own line.
        EXPECT_NE(o.message().find('\n'), std::string::npos) << o.message();
    }
}

}  // namespace
