#include "archiver/driver/listing_parser.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "tests/driver/fake_workspace.h"

namespace {

using Entries = std::vector<ListingEntry>;

struct ListingCase {
    const char* file;
    bool listed;
    Entries entries;
    const char* problemPart;  // a piece of the problem text when not listed
};

class ListingFiles : public testing::TestWithParam<ListingCase> {};

TEST_P(ListingFiles, CutsIntoEntriesOrSaysWhyNot) {
    const auto& c = GetParam();
    Listing listing = listingFromOutput(drivertest::dataFile(c.file));
    EXPECT_EQ(listing.listed, c.listed);
    EXPECT_EQ(listing.entries, c.entries);
    if (c.listed) {
        EXPECT_EQ(listing.problem, "");
    } else {
        EXPECT_NE(listing.problem.find(c.problemPart), std::string::npos) << listing.problem;
    }
}

INSTANTIATE_TEST_SUITE_P(
    HandMade, ListingFiles,
    testing::Values(
        ListingCase{"listing_three_entries.txt", true, {{' ', "文件1.txt"}, {' ', "文件2.exe"}, {' ', "文件3.pdf"}}, ""},
        ListingCase{"listing_folders_and_encrypted.txt",
                    true,
                    {{' ', "子目录\\文件2.exe"},
                     {'*', "secret.txt"},
                     {' ', "子目录"},
                     {' ', " 前导空格.txt"},
                     {' ', "-dash.txt"},
                     {'*', "子目录\\深层\\加密 文件.doc"}},
                    ""},
        // A comment that holds dashes and even a whole table of its own comes before the real table.
        ListingCase{"listing_archive_comment.txt", true, {{' ', "真条目.txt"}, {' ', "文件2.exe"}}, ""},
        ListingCase{"listing_entry_comment.txt", true, {{' ', "文件1.txt"}, {' ', "文件2.exe"}, {' ', "文件3.pdf"}}, ""},
        ListingCase{"listing_empty_archive.txt", true, {}, ""},
        ListingCase{"listing_comment_table_then_empty.txt", true, {}, ""},
        ListingCase{"listing_lf_line_ends.txt", true, {{' ', "文件1.txt"}}, ""},
        ListingCase{"listing_not_an_archive.txt", false, {}, "D:\\资料\\x.zip 不是 RAR 压缩包"},
        ListingCase{"listing_truncated.txt", false, {}, "不完整"},
        // The archiver prints entries as it reads them: a damaged archive ends with the reason.
        ListingCase{"listing_damaged_after_table.txt", false, {}, "已损坏: 在位置 20 处意外结束"},
        ListingCase{"listing_name_without_details.txt", false, {}, "无法识别"}),
    [](const testing::TestParamInfo<ListingCase>& param) {
        std::string name = param.param.file;
        name = name.substr(0, name.find('.'));
        for (auto& ch : name) {
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        }
        return name;
    });

// Listings written by our myrar over fixtures, kept byte for byte.
INSTANTIATE_TEST_SUITE_P(
    Recorded, ListingFiles,
    testing::Values(
        ListingCase{"recorded_rar3_subdirs.txt",
                    true,
                    {{' ', "sub\\dir2\\file2.txt"},
                     {' ', "sub\\with space\\long fn.txt"},
                     {' ', "sub\\üȵĩöḋè\\file.txt"},
                     {' ', "sub\\dir1\\file1.txt"},
                     {' ', "sub\\dir2"},
                     {' ', "sub\\with space"},
                     {' ', "sub\\empty"},
                     {' ', "sub\\üȵĩöḋè"},
                     {' ', "sub\\dir1"},
                     {' ', "sub"}},
                    ""},
        ListingCase{"recorded_rar3_comment_plain.txt", true, {{' ', "file1.txt"}, {' ', "file2.txt"}}, ""},
        ListingCase{"recorded_rar15_comment.txt", true, {{' ', "FILE1.TXT"}, {' ', "FILE2.TXT"}}, ""},
        ListingCase{"recorded_test_read_format_rar4_encrypted.txt",
                    true,
                    {{' ', "a.txt"}, {'*', "b.txt"}, {' ', "c.txt"}, {'*', "d.txt"}},
                    ""},
        ListingCase{"recorded_test_read_format_rar_unicode.txt",
                    true,
                    {{' ', "表だよ\\新しいフォルダ\\新規テキスト ドキュメント.txt"},
                     {' ', "表だよ\\漢字長いファイル名long-filename-in-漢字.txt"},
                     {' ', "表だよ\\新しいフォルダ"},
                     {' ', "表だよ"},
                     {' ', "表だよ\\ファイル"},
                     {' ', "abcdefghijklmnopqrsテスト.txt"}},
                    ""},
        ListingCase{"recorded_empty.txt", true, {}, ""},
        ListingCase{"recorded_test_read_format_zip.txt", false, {}, "/tmp/资料/test_read_format_zip.zip 不是 RAR 压缩包"}),
    [](const testing::TestParamInfo<ListingCase>& param) {
        std::string name = param.param.file;
        name = name.substr(0, name.find('.'));
        return name;
    });

TEST(ListingFromOutput, NothingAtAllIsNoListing) {
    Listing listing = listingFromOutput("");
    EXPECT_FALSE(listing.listed);
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_FALSE(listing.problem.empty());
}

TEST(ListingFromOutput, ABannerAloneIsNoListingAndNamesNoBannerLine) {
    Listing listing = listingFromOutput(*platform::utf8ToGb18030("\r\nmyrar 1.00  控制台工具\r\n用 myrar -? 查看说明\r\n"));
    EXPECT_FALSE(listing.listed);
    EXPECT_EQ(listing.problem.find("myrar"), std::string::npos) << listing.problem;
}

TEST(ListingFromOutput, ANameThatIsNoGb18030KeepsItsReadablePart) {
    std::string dashes(79, '-');
    std::string bytes = *platform::utf8ToGb18030("                  大小  方法版本\r\n" + dashes + "\r\n") +
                        " a\xFF.txt\r\n             12 12\r\n" + dashes + "\r\n";
    Listing listing = listingFromOutput(bytes);
    ASSERT_TRUE(listing.listed) << listing.problem;
    ASSERT_EQ(listing.entries.size(), 1u);
    EXPECT_EQ(listing.entries[0].path, "a\xEF\xBF\xBD.txt");
}

// The state machine line by line, for the turns that the files above pass quickly.
TEST(ListingParser, WalksThroughItsStates) {
    using S = ListingParser::State;
    const std::string dashes(79, '-');
    struct Step {
        std::string line;
        S after;
    };
    const std::vector<Step> steps = {
        {"", S::SeekingTitles},
        {dashes, S::SeekingTitles},  // dashes before any titles belong to a comment
        {"          大小  方法版本", S::ExpectingSeparator},
        {"不是分隔线", S::SeekingTitles},  // titles not followed by the separator were text
        {"          大小  方法版本", S::ExpectingSeparator},
        {dashes, S::ExpectingName},
        {"*加密.txt", S::ExpectingDetails},
        {"             18 18", S::AfterEntry},
        {"注释: 一行", S::AfterEntry},
        {" 下一个.txt", S::ExpectingDetails},
        {"             1 1", S::AfterEntry},
        {dashes, S::TableClosed},
        {"    2   19   19", S::TableClosed},
    };
    ListingParser parser;
    for (const auto& step : steps) {
        parser.feedLine(step.line);
        EXPECT_EQ(parser.state(), step.after) << "after: " << step.line;
    }
    EXPECT_EQ(parser.entries(), (Entries{{'*', "加密.txt"}, {' ', "下一个.txt"}}));
}

TEST(ListingParser, AMarkerOtherThanBlankOrStarBreaksTheTable) {
    ListingParser parser;
    parser.feedLine("  方法版本");
    parser.feedLine(std::string(79, '-'));
    parser.feedLine("x文件.txt");
    EXPECT_EQ(parser.state(), ListingParser::State::Malformed);
}

}  // namespace
