#include "archiver/driver/archiver_command_line.h"

#include <gtest/gtest.h>

namespace {

using Args = std::vector<std::string>;

struct ParseCase {
    std::string line;
    Args arguments;
    std::string outputFile;
    bool append;
};

class ParsesLikeWindows : public testing::TestWithParam<ParseCase> {};

TEST_P(ParsesLikeWindows, SplitsArgumentsAndTakesOutTheRedirection) {
    const auto& c = GetParam();
    auto parsed = parseArchiverCommandLine(c.line);
    ASSERT_TRUE(parsed) << parsed.message();
    EXPECT_EQ(parsed->arguments, c.arguments);
    EXPECT_EQ(parsed->outputFile, c.outputFile);
    EXPECT_EQ(parsed->appendOutput, c.append);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParsesLikeWindows,
    testing::Values(
        ParseCase{R"(cmd /c myrar.exe v -p"tz5083" "D:\资料\a b.rar" >filelist.txt)",
                  {"myrar.exe", "v", "-ptz5083", R"(D:\资料\a b.rar)"}, "filelist.txt", false},
        ParseCase{R"(myrar.exe cw "a.rar"  mycomm.txt -p"tz5083")", {"myrar.exe", "cw", "a.rar", "mycomm.txt", "-ptz5083"}, "", false},
        ParseCase{R"(cmd.exe /c cmd /c command.exe /c myrar.exe d)", {"myrar.exe", "d"}, "", false},
        ParseCase{R"(CMD.EXE /C Cmd /c myrar.exe d)", {"myrar.exe", "d"}, "", false},
        ParseCase{"myrar.exe\ta\t\tb", {"myrar.exe", "a", "b"}, "", false},
        // Backslashes: literal unless they stand before a quote.
        ParseCase{R"(myrar.exe C:\dir\file.rar)", {"myrar.exe", R"(C:\dir\file.rar)"}, "", false},
        ParseCase{R"(myrar.exe "C:\dir\\")", {"myrar.exe", R"(C:\dir\)"}, "", false},
        ParseCase{R"(myrar.exe "a\"b")", {"myrar.exe", R"(a"b)"}, "", false},
        ParseCase{R"(myrar.exe a\\\"b)", {"myrar.exe", R"(a\"b)"}, "", false},
        ParseCase{R"(myrar.exe a\\\\"b c")", {"myrar.exe", R"(a\\b c)"}, "", false},
        ParseCase{R"(myrar.exe "C:\dir\" next)", {"myrar.exe", R"(C:\dir" next)"}, "", false},
        // Quotes: embedded, doubled, empty.
        ParseCase{R"(myrar.exe "a b"c)", {"myrar.exe", "a bc"}, "", false},
        ParseCase{R"(myrar.exe "a""b")", {"myrar.exe", R"(a"b)"}, "", false},
        ParseCase{R"(myrar.exe "a""b c")", {"myrar.exe", R"(a"b)", "c"}, "", false},
        ParseCase{R"(myrar.exe "" x)", {"myrar.exe", "", "x"}, "", false},
        ParseCase{R"("myrar.exe" v)", {"myrar.exe", "v"}, "", false},
        // Nothing a shell would act on is special, inside quotes or out (but for > < | &).
        ParseCase{R"~(myrar.exe "$(touch x)" `id` %PATH% !PATH! a^b ;)~",
                  {"myrar.exe", "$(touch x)", "`id`", "%PATH%", "!PATH!", "a^b", ";"}, "", false},
        ParseCase{R"(myrar.exe "a & b | c < d > e")", {"myrar.exe", "a & b | c < d > e"}, "", false},
        // Redirection anywhere outside quotes, with or without blanks.
        ParseCase{R"(myrar.exe v x>out.txt)", {"myrar.exe", "v", "x"}, "out.txt", false},
        ParseCase{R"(myrar.exe v >> "log file.txt" y)", {"myrar.exe", "v", "y"}, "log file.txt", true}));

class RefusedLines : public testing::TestWithParam<std::string> {};

TEST_P(RefusedLines, AreNotRun) {
    auto parsed = parseArchiverCommandLine(GetParam());
    EXPECT_FALSE(parsed) << "parsed into " << (parsed ? parsed->arguments.size() : 0) << " arguments";
    if (!parsed) {
        EXPECT_FALSE(parsed.message().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, RefusedLines,
                         testing::Values("", "   ", "cmd /c ", "myrar.exe a & touch x", "myrar.exe a && touch x",
                                         "myrar.exe a | sh", "myrar.exe < input", "myrar.exe >a >b", "myrar.exe >",
                                         "myrar.exe > | x", "myrar.exe a\ntouch x", "myrar.exe a\rtouch x",
                                         std::string("myrar.exe a\0b", 13), "myrar.exe \x7F"));

TEST(StripInterpreterPrefixes, RemovesOnlyWholePrefixesAtTheStart) {
    struct Case {
        std::string line;
        std::string rest;
    };
    const std::vector<Case> cases = {
        {"cmd /c myrar.exe", "myrar.exe"},
        {"cmd.exe /c myrar.exe", "myrar.exe"},
        {"command.exe /c myrar.exe", "myrar.exe"},
        {"cmd.exe /c cmd /c myrar.exe", "myrar.exe"},
        {"  cmd   /C   myrar.exe", "myrar.exe"},
        {"cmd /cmyrar.exe", "cmd /cmyrar.exe"},
        {"cmdx /c myrar.exe", "cmdx /c myrar.exe"},
        {"cmd /k myrar.exe", "cmd /k myrar.exe"},
        {"myrar.exe cmd /c x", "myrar.exe cmd /c x"},
    };
    for (const auto& c : cases) EXPECT_EQ(stripInterpreterPrefixes(c.line), c.rest) << c.line;
}

}  // namespace
