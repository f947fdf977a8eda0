#include "jobs/naming_rules.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using jobs::findEntryWithExtension;

std::vector<ListingEntry> entries(std::initializer_list<const char*> paths) {
    std::vector<ListingEntry> out;
    for (const char* p : paths) {
        std::string s(p);
        char marker = ' ';
        if (!s.empty() && s[0] == '*') {
            marker = '*';
            s.erase(0, 1);
        }
        out.push_back(ListingEntry{marker, s});
    }
    return out;
}

TEST(NormalizedExtension, DropsBlanksAndOneLeadingDot) {
    struct Case {
        const char* typed;
        const char* expected;
    } cases[] = {
        {"exe", "exe"}, {".exe", "exe"}, {"  exe ", "exe"}, {" .EXE\t", "EXE"},
        {"..exe", ".exe"}, {"", ""}, {".", ""}, {"tar.gz", "tar.gz"},
    };
    for (const auto& c : cases) EXPECT_EQ(jobs::normalizedExtension(c.typed), c.expected) << c.typed;
}

TEST(FindEntryWithExtension, PicksTheEntryTheNewNameComesFrom) {
    struct Case {
        const char* what;
        std::vector<ListingEntry> listing;
        const char* extension;
        std::optional<std::size_t> expected;
    } cases[] = {
        {"help example", entries({"文件1.txt", "文件2.exe", "文件3.pdf"}), "exe", 1},
        {"first match wins", entries({"甲.exe", "乙.exe"}), "exe", 0},
        {"letter case ignored both ways", entries({"a.txt", "Setup.EXE"}), "exe", 1},
        {"typed in capitals", entries({"a.txt", "setup.exe"}), "EXE", 1},
        {"encrypted entries take part", entries({"*秘密.exe", "公开.txt"}), "exe", 0},
        {"entry in a folder", entries({"子目录", "子目录\\文件2.exe"}), "exe", 1},
        {"folder with the extension never matches", entries({"工具.exe", "工具.exe\\readme.txt", "安装.EXE"}), "exe", 2},
        {"folder shown by a trailing separator", entries({"旧版.exe\\", "新版.exe"}), "exe", 1},
        {"forward slashes separate folders too", entries({"a.exe/b.txt", "a.exe", "c.exe"}), "exe", 2},
        {"no entry with the extension", entries({"文件1.txt", "文件3.pdf"}), "exe", std::nullopt},
        {"an extension is after a dot", entries({"exe", "notexe"}), "exe", std::nullopt},
        {"only the end counts", entries({"a.exe.txt"}), "exe", std::nullopt},
        {"empty extension matches nothing", entries({"a.", "b"}), "", std::nullopt},
        {"an extension with a dot inside", entries({"软件.gz", "软件.tar.gz"}), "tar.gz", 1},
        {"empty listing", {}, "exe", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findEntryWithExtension(c.listing, c.extension), c.expected) << c.what;
    }
}

TEST(ArchiveNameForEntry, ReplacesTheExtensionWithRar) {
    EXPECT_EQ(jobs::archiveNameForEntry("文件2.exe", "exe"), "文件2.rar");
    EXPECT_EQ(jobs::archiveNameForEntry("Setup.EXE", "exe"), "Setup.rar");
    EXPECT_EQ(jobs::archiveNameForEntry("软件.tar.gz", "tar.gz"), "软件.rar");
    EXPECT_EQ(jobs::archiveNameForEntry("a.b.exe", "exe"), "a.b.rar");
    EXPECT_EQ(jobs::bareEntryName("子目录\\深层\\文件2.exe"), "文件2.exe");
    EXPECT_EQ(jobs::bareEntryName("top.exe"), "top.exe");
}

TEST(RunningNumberText, KeepsTheWidthAndEveryDigit) {
    struct Case {
        const char* start;
        std::size_t offset;
        std::optional<std::string> expected;
    } cases[] = {
        {"00005", 0, "00005"}, {"00005", 1, "00006"}, {"00005", 2, "00007"},
        {"00009", 1, "00010"}, {"7", 2, "9"},         {"7", 3, "10"},
        {"99", 1, "100"},      {"0", 0, "0"},         {"0", 123, "123"},
        {"000", 1000, "1000"}, {"09", 91, "100"},
        {"99999999999999999999999", 1, "100000000000000000000000"},
        {"", 0, std::nullopt}, {"-5", 0, std::nullopt}, {"5-", 0, std::nullopt},
        {"1a", 0, std::nullopt}, {" 1", 0, std::nullopt}, {"１", 0, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jobs::runningNumberText(c.start, c.offset), c.expected) << c.start << " + " << c.offset;
    }
}

TEST(RefusedNameReason, RefusesWhatWindowsRefuses) {
    std::string name85, name86;
    for (int i = 0; i < 85; ++i) name85 += "字";
    name86 = name85 + "字";
    struct Case {
        std::string name;
        bool refused;
    } cases[] = {
        {"文件2.rar", false}, {"示例00005.rar", false}, {"00005.rar", false}, {"a..rar", false},
        {"console.rar", false}, {"COM0.rar", false}, {"LPT10.rar", false}, {"nul_file.rar", false},
        {"a\\b.rar", true}, {"a/b.rar", true}, {"a:b.rar", true}, {"a*b.rar", true}, {"a?b.rar", true},
        {"a\"b.rar", true}, {"a<b.rar", true}, {"a>b.rar", true}, {"a|b.rar", true},
        {"a\tb.rar", true}, {std::string("a\x01") + "b.rar", true},
        {"CON.rar", true}, {"con.rar", true}, {"Nul.rar", true}, {"PRN.rar", true}, {"aux.tar.rar", true},
        {"CON .rar", true}, {"COM1.rar", true}, {"lpt9.rar", true},
        {"a.rar.", true}, {"a.rar ", true}, {"", true},
        {std::string(251, 'a') + ".rar", false}, {std::string(252, 'a') + ".rar", true},
        {name85, false}, {name86, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(jobs::refusedNameReason(c.name).has_value(), c.refused) << c.name;
    }
    EXPECT_EQ(jobs::refusedNameReason("a:b.rar").value(), "名称含有不允许的字符“:”");
    EXPECT_EQ(jobs::refusedNameReason("CON.rar").value(), "“CON”是系统保留的名称");
    EXPECT_FALSE(jobs::refusedPathReason("/" + std::string(4094, 'a')).has_value());
    EXPECT_TRUE(jobs::refusedPathReason("/" + std::string(4095, 'a')).has_value());
}

}  // namespace
