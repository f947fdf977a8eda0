#include "archiver/driver/command_lines.h"

#include <gtest/gtest.h>

#include <functional>

#include "archiver/driver/command_line_text.h"

namespace {

using namespace commandlines;
using Args = std::vector<std::string>;

struct CommandCase {
    const char* name;
    std::function<platform::Result<ArchiverCommand>()> build;
    std::string line;  // the classic command line, byte for byte
    Args arguments;    // what the archiver receives
    std::string outputFile;
};

class Commands : public testing::TestWithParam<CommandCase> {};

TEST_P(Commands, AreBuiltFromTheExactPiecesAndRenderTheClassicLine) {
    const auto& c = GetParam();
    auto command = c.build();
    ASSERT_TRUE(command) << command.message();
    EXPECT_EQ(command->arguments, c.arguments);
    EXPECT_EQ(command->outputFile, c.outputFile);
    EXPECT_FALSE(command->append);
    EXPECT_EQ(renderCommandLine(*command), c.line);
}

const std::string kPath = R"(D:\资料\a b.rar)";

INSTANTIATE_TEST_SUITE_P(
    Operations, Commands,
    testing::Values(
        CommandCase{"listing", [] { return listingCommand(kPath, "tz5083"); },
                    R"(cmd /c myrar.exe v -p"tz5083" "D:\资料\a b.rar" >filelist.txt)",
                    {"v", "-ptz5083", kPath}, "filelist.txt"},
        CommandCase{"listing_other_password", [] { return listingCommand("/home/用户/x.rar", "secret"); },
                    R"(cmd /c myrar.exe v -p"secret" "/home/用户/x.rar" >filelist.txt)",
                    {"v", "-psecret", "/home/用户/x.rar"}, "filelist.txt"},
        CommandCase{"listing_without_password", [] { return listingCommand(kPath, ""); },
                    R"(cmd /c myrar.exe v -p"tz5083" "D:\资料\a b.rar" >filelist.txt)",
                    {"v", "-ptz5083", kPath}, "filelist.txt"},
        CommandCase{"comment", [] { return commentCommand(kPath, "tz5083"); },
                    R"(myrar.exe cw "D:\资料\a b.rar"  mycomm.txt -p"tz5083")",
                    {"cw", kPath, "mycomm.txt", "-ptz5083"}, ""},
        CommandCase{"comment_without_password", [] { return commentCommand("a.rar", ""); },
                    R"(myrar.exe cw "a.rar"  mycomm.txt -p"tz5083")",
                    {"cw", "a.rar", "mycomm.txt", "-ptz5083"}, ""},
        CommandCase{"add", [] { return addCommand(kPath); },
                    R"(myrar.exe a -ed -ep1  "D:\资料\a b.rar" @mylist.lst -p"tz5083")",
                    {"a", "-ed", "-ep1", kPath, "@mylist.lst", "-ptz5083"}, ""},
        CommandCase{"extract_with_paths", [] { return extractCommand("/data/a.rar", true, "/data/a/"); },
                    R"(myrar.exe x -y "/data/a.rar" "/data/a/" -p"tz5083")",
                    {"x", "-y", "/data/a.rar", "/data/a/", "-ptz5083"}, ""},
        CommandCase{"extract_flat", [] { return extractCommand(R"(D:\a.rar)", false, R"(D:\a\)"); },
                    R"(myrar.exe e -y "D:\a.rar" "D:\a\\" -p"tz5083")",
                    {"e", "-y", R"(D:\a.rar)", R"(D:\a\)", "-ptz5083"}, ""},
        CommandCase{"delete", [] { return deleteCommand(kPath, {"文件1.txt", "-r", "/x"}); },
                    R"(myrar.exe d -y "D:\资料\a b.rar" -- "文件1.txt" "-r" "/x")",
                    {"d", "-y", kPath, "--", "文件1.txt", "-r", "/x"}, ""},
        CommandCase{"delete_folder_name", [] { return deleteCommand("a.rar", {R"(子目录\)", "a b"}); },
                    R"(myrar.exe d -y "a.rar" -- "子目录\\" "a b")",
                    {"d", "-y", "a.rar", "--", R"(子目录\)", "a b"}, ""},
        CommandCase{"delete_shell_text", [] { return deleteCommand("a.rar", {"$(id)", "`id`", "%PATH%", "a&b|c>d", "@list"}); },
                    R"~(myrar.exe d -y "a.rar" -- "$(id)" "`id`" "%PATH%" "a&b|c>d" "@list")~",
                    {"d", "-y", "a.rar", "--", "$(id)", "`id`", "%PATH%", "a&b|c>d", "@list"}, ""},
        CommandCase{"delete_archive_like_a_switch", [] { return deleteCommand("-x.rar", {"mycomm.txt"}); },
                    R"(myrar.exe d -y "-x.rar" -- "mycomm.txt")",
                    {"d", "-y", "-x.rar", "--", "mycomm.txt"}, ""},
        CommandCase{"plan_delete", [] { return planDeleteCommand(kPath, {"文件1.txt", "-r"}); },
                    R"(myrar.exe d -dry -y "D:\资料\a b.rar" -- "文件1.txt" "-r")",
                    {"d", "-dry", "-y", kPath, "--", "文件1.txt", "-r"}, ""}),
    [](const testing::TestParamInfo<CommandCase>& param) { return std::string(param.param.name); });

TEST(RenderCommandLine, WritesAnAppendingRedirectionAndAnyOtherCommandPlainly) {
    EXPECT_EQ(renderCommandLine({{"v", "-pa b", "x.rar"}, "log.txt", true}), R"(cmd /c myrar.exe v -p"a b" "x.rar" >>log.txt)");
    EXPECT_EQ(renderCommandLine({{"-?"}, "", false}), "myrar.exe -?");
    EXPECT_EQ(renderCommandLine({}), "myrar.exe");
}

// Only what no process start can carry is refused; everything else, quotes and line ends
// included, is handed over as the very argument.
TEST(Commands, CarryEveryTextWholeButANul) {
    const std::vector<std::string> whole = {"a\"b", "a\nb", "a\rb", "a\r\nb", "a\tb", "a\x1B", "\x7F", "it's \"q\".rar", "end\\"};
    for (const auto& text : whole) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_TRUE(isPassable(text));
        EXPECT_EQ(listingCommand(text, "")->arguments, (Args{"v", "-ptz5083", text}));
        EXPECT_EQ(listingCommand("a.rar", text)->arguments, (Args{"v", "-p" + text, "a.rar"}));
        EXPECT_EQ(commentCommand(text, "")->arguments, (Args{"cw", text, "mycomm.txt", "-ptz5083"}));
        EXPECT_EQ(addCommand(text)->arguments, (Args{"a", "-ed", "-ep1", text, "@mylist.lst", "-ptz5083"}));
        EXPECT_EQ(extractCommand(text, true, text)->arguments, (Args{"x", "-y", text, text, "-ptz5083"}));
        EXPECT_EQ(deleteCommand(text, {text})->arguments, (Args{"d", "-y", text, "--", text}));
        EXPECT_EQ(planDeleteCommand(text, {text})->arguments, (Args{"d", "-dry", "-y", text, "--", text}));
    }
    EXPECT_TRUE(isPassable("普通 名字 $(x) `y` %z% 'q' ; & | < > ^ ! \\"));

    const std::string nul("a\0b", 3);
    EXPECT_FALSE(isPassable(nul));
    EXPECT_FALSE(listingCommand(nul, ""));
    EXPECT_FALSE(listingCommand("a.rar", nul));
    EXPECT_FALSE(commentCommand(nul, ""));
    EXPECT_FALSE(addCommand(nul));
    EXPECT_FALSE(extractCommand(nul, true, "d/"));
    EXPECT_FALSE(extractCommand("a.rar", true, nul));
    EXPECT_FALSE(deleteCommand(nul, {"x"}));
    EXPECT_FALSE(planDeleteCommand(nul, {"x"}));
    for (auto build : {deleteCommand, planDeleteCommand}) {
        auto refused = build("a.rar", {"fine.txt", nul});
        ASSERT_FALSE(refused);
        EXPECT_NE(refused.message().find("文件名"), std::string::npos) << refused.message();
        EXPECT_NE(refused.message().find("a\\0b"), std::string::npos) << refused.message();
    }
}

// Windows hands arguments over as UTF-16: a byte that is not UTF-8 would not arrive.
TEST(Commands, CarryBytesThatAreNotUtf8OnlyWhereArgumentsAreBytes) {
    const std::string latin1 = "caf\xE9.rar";
#ifdef _WIN32
    EXPECT_FALSE(isPassable(latin1));
    EXPECT_FALSE(listingCommand(latin1, ""));
#else
    EXPECT_TRUE(isPassable(latin1));
    EXPECT_EQ(listingCommand(latin1, "")->arguments, (Args{"v", "-ptz5083", latin1}));
#endif
}

TEST(Commands, ADeleteNamingNoEntryIsNotBuilt) {
    EXPECT_FALSE(deleteCommand("a.rar", {}));
    EXPECT_FALSE(planDeleteCommand("a.rar", {}));
}

TEST(WithinQuotes, DoublesOnlyTheBackslashesBeforeTheClosingQuote) {
    EXPECT_EQ(withinQuotes(R"(a\b)"), R"(a\b)");
    EXPECT_EQ(withinQuotes(R"(a\)"), R"(a\\)");
    EXPECT_EQ(withinQuotes(R"(a\\)"), R"(a\\\\)");
    EXPECT_EQ(withinQuotes(""), "");
    EXPECT_EQ(quoted(R"(x\)"), R"("x\\")");
}

}  // namespace
