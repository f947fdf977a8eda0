#include "archiver/driver/command_lines.h"

#include <gtest/gtest.h>

#include <functional>

#include "archiver/driver/archiver_command_line.h"

namespace {

using namespace commandlines;
using Args = std::vector<std::string>;

struct LineCase {
    const char* name;
    std::function<platform::Result<std::string>()> build;
    std::string line;       // byte for byte
    Args arguments;         // what the archiver receives from it
    std::string outputFile;
};

class CommandLines : public testing::TestWithParam<LineCase> {};

TEST_P(CommandLines, AreBuiltFromTheExactPiecesAndReachTheArchiverWhole) {
    const auto& c = GetParam();
    auto line = c.build();
    ASSERT_TRUE(line) << line.message();
    EXPECT_EQ(*line, c.line);
    auto parsed = parseArchiverCommandLine(*line);
    ASSERT_TRUE(parsed) << parsed.message();
    EXPECT_EQ(parsed->arguments, c.arguments);
    EXPECT_EQ(parsed->outputFile, c.outputFile);
}

const std::string kPath = R"(D:\资料\a b.rar)";

INSTANTIATE_TEST_SUITE_P(
    Operations, CommandLines,
    testing::Values(
        LineCase{"listing", [] { return listingCommandLine(kPath, "tz5083"); },
                 R"(cmd /c myrar.exe v -p"tz5083" "D:\资料\a b.rar" >filelist.txt)",
                 {"myrar.exe", "v", "-ptz5083", kPath}, "filelist.txt"},
        LineCase{"listing_other_password", [] { return listingCommandLine("/home/用户/x.rar", "secret"); },
                 R"(cmd /c myrar.exe v -p"secret" "/home/用户/x.rar" >filelist.txt)",
                 {"myrar.exe", "v", "-psecret", "/home/用户/x.rar"}, "filelist.txt"},
        LineCase{"listing_without_password", [] { return listingCommandLine(kPath, ""); },
                 R"(cmd /c myrar.exe v -p"tz5083" "D:\资料\a b.rar" >filelist.txt)",
                 {"myrar.exe", "v", "-ptz5083", kPath}, "filelist.txt"},
        LineCase{"comment", [] { return commentCommandLine(kPath, "tz5083"); },
                 R"(myrar.exe cw "D:\资料\a b.rar"  mycomm.txt -p"tz5083")",
                 {"myrar.exe", "cw", kPath, "mycomm.txt", "-ptz5083"}, ""},
        LineCase{"comment_without_password", [] { return commentCommandLine("a.rar", ""); },
                 R"(myrar.exe cw "a.rar"  mycomm.txt -p"tz5083")",
                 {"myrar.exe", "cw", "a.rar", "mycomm.txt", "-ptz5083"}, ""},
        LineCase{"add", [] { return addCommandLine(kPath); },
                 R"(myrar.exe a -ed -ep1  "D:\资料\a b.rar" @mylist.lst -p"tz5083")",
                 {"myrar.exe", "a", "-ed", "-ep1", kPath, "@mylist.lst", "-ptz5083"}, ""},
        LineCase{"extract_with_paths", [] { return extractCommandLine("/data/a.rar", true, "/data/a/"); },
                 R"(myrar.exe x -y "/data/a.rar" "/data/a/" -p"tz5083")",
                 {"myrar.exe", "x", "-y", "/data/a.rar", "/data/a/", "-ptz5083"}, ""},
        LineCase{"extract_flat", [] { return extractCommandLine(R"(D:\a.rar)", false, R"(D:\a\)"); },
                 R"(myrar.exe e -y "D:\a.rar" "D:\a\\" -p"tz5083")",
                 {"myrar.exe", "e", "-y", R"(D:\a.rar)", R"(D:\a\)", "-ptz5083"}, ""},
        LineCase{"delete", [] { return deleteCommandLine(kPath, {"文件1.txt", "-r", "/x"}); },
                 R"(myrar.exe d -y "D:\资料\a b.rar" -- "文件1.txt" "-r" "/x")",
                 {"myrar.exe", "d", "-y", kPath, "--", "文件1.txt", "-r", "/x"}, ""},
        LineCase{"delete_folder_name", [] { return deleteCommandLine("a.rar", {R"(子目录\)", "a b"}); },
                 R"(myrar.exe d -y "a.rar" -- "子目录\\" "a b")",
                 {"myrar.exe", "d", "-y", "a.rar", "--", R"(子目录\)", "a b"}, ""},
        LineCase{"delete_shell_text", [] { return deleteCommandLine("a.rar", {"$(id)", "`id`", "%PATH%", "a&b|c>d"}); },
                 R"~(myrar.exe d -y "a.rar" -- "$(id)" "`id`" "%PATH%" "a&b|c>d")~",
                 {"myrar.exe", "d", "-y", "a.rar", "--", "$(id)", "`id`", "%PATH%", "a&b|c>d"}, ""}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

TEST(CommandLines, RefuseTextsThatWouldEndTheQuotingEarly) {
    const std::vector<std::string> unsafe = {"a\"b", "a\nb", "a\rb", "a\tb", std::string("a\0b", 3), "a\x1B", "\x7F"};
    for (const auto& text : unsafe) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_FALSE(isPassable(text));
        EXPECT_FALSE(listingCommandLine(text, ""));
        EXPECT_FALSE(listingCommandLine("a.rar", text));
        EXPECT_FALSE(commentCommandLine(text, ""));
        EXPECT_FALSE(addCommandLine(text));
        EXPECT_FALSE(extractCommandLine(text, true, "d/"));
        EXPECT_FALSE(extractCommandLine("a.rar", true, text));
        EXPECT_FALSE(deleteCommandLine(text, {"x"}));
        auto refused = deleteCommandLine("a.rar", {"fine.txt", text});
        ASSERT_FALSE(refused);
        EXPECT_NE(refused.message().find("文件名"), std::string::npos) << refused.message();
    }
    EXPECT_TRUE(isPassable("普通 名字 $(x) `y` %z% 'q' ; & | < > ^ ! \\"));
}

TEST(CommandLines, ADeleteNamingNoEntryIsNotBuilt) { EXPECT_FALSE(deleteCommandLine("a.rar", {})); }

TEST(WithinQuotes, DoublesOnlyTheBackslashesBeforeTheClosingQuote) {
    EXPECT_EQ(withinQuotes(R"(a\b)"), R"(a\b)");
    EXPECT_EQ(withinQuotes(R"(a\)"), R"(a\\)");
    EXPECT_EQ(withinQuotes(R"(a\\)"), R"(a\\\\)");
    EXPECT_EQ(withinQuotes(""), "");
    EXPECT_EQ(quoted(R"(x\)"), R"("x\\")");
}

}  // namespace
