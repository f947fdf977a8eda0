#include "platform/utf8_chunk_buffer.h"

#include <gtest/gtest.h>

#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "platform/terminal_output.h"

namespace {

using platform::completeUtf8Prefix;
using platform::Utf8ChunkBuffer;

TEST(CompleteUtf8Prefix, StopsBeforeAnUnfinishedCharacter) {
    struct Case {
        std::string text;
        std::size_t expected;
    };
    const std::string han = "\xE6\x96\x87";        // 文
    const std::string emoji = "\xF0\x9F\x98\x80";  // four bytes
    const std::vector<Case> cases = {
        {"", 0},
        {"abc", 3},
        {"a" + han, 4},
        {"a" + han.substr(0, 1), 1},
        {"a" + han.substr(0, 2), 1},
        {emoji.substr(0, 3), 0},
        {emoji, 4},
        {"\xC3", 0},
        {"x\xC3\xA9", 3},
        // Bytes that can never become a character are passed on, not held for ever.
        {"\x80\x80\x80\x80", 4},
        {"a\xFF", 2},
    };
    for (const auto& c : cases) EXPECT_EQ(completeUtf8Prefix(c.text), c.expected) << c.text.size();
}

TEST(Utf8ChunkBuffer, HandsOnWholeCharactersOnlyWhateverTheSeams) {
    const std::string text = "正在打扫第1个文件。。。\n文件打扫完毕！\n";
    for (std::size_t seam = 1; seam < text.size(); ++seam) {
        std::vector<std::string> pieces;
        {
            Utf8ChunkBuffer buffer([&](std::string_view piece) {
                pieces.emplace_back(piece);
                return true;
            });
            std::ostream out(&buffer);
            out << text.substr(0, seam) << std::flush;
            out << text.substr(seam) << std::flush;
        }
        std::string joined;
        for (const auto& p : pieces) {
            EXPECT_EQ(completeUtf8Prefix(p), p.size()) << "seam " << seam;
            joined += p;
        }
        EXPECT_EQ(joined, text) << "seam " << seam;
    }
}

TEST(Utf8ChunkBuffer, SendsEachFinishedLineAndTheRestWhenDone) {
    std::vector<std::string> pieces;
    {
        Utf8ChunkBuffer buffer([&](std::string_view piece) {
            pieces.emplace_back(piece);
            return true;
        });
        std::ostream out(&buffer);
        out << "第一行\n";
        EXPECT_EQ(pieces, std::vector<std::string>{"第一行\n"});
        out << "未完" << '\xE6';  // a dangling lead byte at the very end is still handed on
    }
    EXPECT_EQ(pieces, (std::vector<std::string>{"第一行\n", "未完\xE6"}));
}

TEST(Utf8ChunkBuffer, AFailedWriteMarksTheStreamBad) {
    Utf8ChunkBuffer buffer([](std::string_view) { return false; });
    std::ostream out(&buffer);
    out << "x\n" << std::flush;
    EXPECT_TRUE(out.bad());
}

}  // namespace

namespace {

// The tests run with their output in a pipe: no console window there, so the text stays
// the plain UTF-8 byte stream that files and pipes get. (On Windows a pipe gets the
// console's code page instead; RedirectedTextIsInTheConsolesCodePage and the command-line
// tests read it back that way.)
#ifndef _WIN32
TEST(TerminalOutput, OutputIntoAPipeStaysTheByteStream) {
    EXPECT_EQ(&platform::terminalOut(), &std::cout);
    EXPECT_EQ(&platform::terminalErr(), &std::cerr);
}
#endif

}  // namespace
