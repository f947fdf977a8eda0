#include "ui/core/settings_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

#define GBK_PEIZHI "\xC5\xE4\xD6\xC3"   // 配置
#define GBK_LUJING "\xC2\xB7\xBE\xB6"   // 路径
#define GBK_HOUZHUI "\xBA\xF3\xD7\xBA"  // 后缀
#define GBK_QIANZHUI "\xC7\xB0\xD7\xBA" // 前缀
#define GBK_XUHAO "\xD0\xF2\xBA\xC5"    // 序号
#define GBK_SHILI "\xCA\xBE\xC0\xFD"    // 示例
#define GBK_WENJIAN "\xCE\xC4\xBC\xFE"  // 文件

// A program folder and a per-user folder under one temporary folder; whether the program
// folder counts as writable is the test's choice (root can write anywhere).
struct Folders {
    testsupport::TempDir tmp;
    fs::path program = tmp.path() / "program";
    fs::path user = tmp.path() / "user";
    bool programWritable = true;
    int userAsked = 0;

    Folders() {
        fs::create_directories(program);
        fs::create_directories(user);
    }
    SettingsFile settings() {
        return SettingsFile(SettingsFile::Places{
            program, [this] { ++userAsked; return user; }, [this](const fs::path&) { return programWritable; }});
    }
    static fs::path ini(const fs::path& dir) { return dir / "peizhi.ini"; }
    static fs::path list(const fs::path& dir) { return dir / platform::pathFromUtf8("删除.txt"); }
    static void put(const fs::path& file, std::string_view bytes) { ASSERT_TRUE(platform::writeFileAtomically(file, bytes)); }
    static std::string bytes(const fs::path& file) {
        auto b = platform::readWholeFile(file);
        return b ? *b : "<missing>";
    }
};

TEST(SettingsFile, FirstStartWithoutFilesGivesEmptyTextsAndCreatesNothing) {
    Folders f;
    EXPECT_EQ(f.settings().load(), SettingsValues{});
    EXPECT_TRUE(fs::is_empty(f.program));
    EXPECT_EQ(f.userAsked, 0);
}

TEST(SettingsFile, AnIniWithOnlyTheExtensionFillsOnlyThatBox) {
    Folders f;
    Folders::put(Folders::ini(f.program), "[" GBK_PEIZHI "]\r\n" GBK_HOUZHUI "=exe\r\n");
    SettingsValues expected;
    expected.extension = "exe";
    EXPECT_EQ(f.settings().load(), expected);
}

TEST(SettingsFile, ReadsTheDeleteListWithEitherLineEnd) {
    struct Case {
        const char* what;
        const char* onDisk;
        const char* expected;
    };
    const Case cases[] = {
        {"three lines CR LF", GBK_WENJIAN "1.txt\r\nb.exe\r\nc.pdf", "文件1.txt\r\nb.exe\r\nc.pdf"},
        {"LF only", "a\nb\nc\n", "a\r\nb\r\nc\r\n"},
        {"mixed", "a\r\nb\nc\rd", "a\r\nb\r\nc\r\nd"},
        {"empty file", "", ""},
    };
    for (const Case& c : cases) {
        Folders f;
        Folders::put(Folders::list(f.program), c.onDisk);
        EXPECT_EQ(f.settings().load().deleteList, c.expected) << c.what;
    }
}

TEST(SettingsFile, WritesGbkWithCrLfAndReadsBackTheSameTexts) {
    Folders f;
    SettingsValues values{"/资料/示例", "exe", "示例", "00005", "文件1.txt\r\n文件2.exe\r\n"};
    ASSERT_TRUE(f.settings().save(values));
    EXPECT_EQ(Folders::bytes(Folders::ini(f.program)),
              "[" GBK_PEIZHI "]\r\n"
              GBK_LUJING "=/\xD7\xCA\xC1\xCF/" GBK_SHILI "\r\n"
              GBK_HOUZHUI "=exe\r\n"
              GBK_QIANZHUI "=" GBK_SHILI "\r\n"
              GBK_XUHAO "=00005\r\n");
    EXPECT_EQ(Folders::bytes(Folders::list(f.program)), GBK_WENJIAN "1.txt\r\n" GBK_WENJIAN "2.exe\r\n");
    EXPECT_EQ(f.settings().load(), values);
}

TEST(SettingsFile, TextsSurviveARestartExactly) {
    const SettingsValues cases[] = {
        {"", "", "", "00005", ""},
        {"C:\\Program Files\\x", " exe ", "\"quoted\"", "-1", "a\r\n\r\nb"},
        {"", "", "𠀀 beyond GBK", "", "€\r\n"},
    };
    for (const SettingsValues& values : cases) {
        Folders f;
        ASSERT_TRUE(f.settings().save(values));
        EXPECT_EQ(f.settings().load(), values) << values.prefix;
    }
}

TEST(SettingsFile, AHandWrittenIniKeepsItsOtherSectionsAndComments) {
    Folders f;
    Folders::put(Folders::ini(f.program),
                 "; settings of the tool\r\n"
                 "[Window]\r\n"
                 "left=10\r\n"
                 "\r\n"
                 "[" GBK_PEIZHI "]\r\n"
                 "; the extension\r\n"
                 GBK_HOUZHUI " = \"rar\"\r\n"
                 "extra=1\r\n");
    SettingsValues values = f.settings().load();
    EXPECT_EQ(values.extension, "rar");
    values.extension = "exe";
    values.startNumber = "007";
    ASSERT_TRUE(f.settings().save(values));
    EXPECT_EQ(Folders::bytes(Folders::ini(f.program)),
              "; settings of the tool\r\n"
              "[Window]\r\n"
              "left=10\r\n"
              "\r\n"
              "[" GBK_PEIZHI "]\r\n"
              "; the extension\r\n"
              GBK_HOUZHUI "=exe\r\n"
              "extra=1\r\n"
              GBK_LUJING "=\r\n"
              GBK_QIANZHUI "=\r\n"
              GBK_XUHAO "=007\r\n");
}

TEST(SettingsFile, SavingLeavesNoTemporaryFileBehind) {
    Folders f;
    ASSERT_TRUE(f.settings().save(SettingsValues{"a", "b", "c", "1", "x"}));
    ASSERT_TRUE(f.settings().save(SettingsValues{"a", "b", "c", "2", "y"}));
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(f.program)) names.push_back(platform::utf8FromPath(e.path().filename()));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"peizhi.ini", "删除.txt"}));
}

TEST(SettingsFile, UsesThePerUserFolderWhenTheProgramFolderIsNotWritable) {
    Folders f;
    f.programWritable = false;
    // Defaults shipped beside the program apply until the user has a copy of their own.
    Folders::put(Folders::ini(f.program), "[" GBK_PEIZHI "]\r\n" GBK_HOUZHUI "=exe\r\n[Shipped]\r\nk=v\r\n");
    Folders::put(Folders::list(f.program), "a.txt");
    SettingsValues first = f.settings().load();
    EXPECT_EQ(first.extension, "exe");
    EXPECT_EQ(first.deleteList, "a.txt");

    first.prefix = "示例";
    first.deleteList = "b.txt";
    ASSERT_TRUE(f.settings().save(first));
    EXPECT_GT(f.userAsked, 0);
    EXPECT_EQ(Folders::bytes(Folders::ini(f.program)), "[" GBK_PEIZHI "]\r\n" GBK_HOUZHUI "=exe\r\n[Shipped]\r\nk=v\r\n");
    EXPECT_EQ(Folders::bytes(Folders::list(f.program)), "a.txt");
    EXPECT_EQ(Folders::bytes(Folders::list(f.user)), "b.txt");
    EXPECT_NE(Folders::bytes(Folders::ini(f.user)).find("[Shipped]\r\nk=v\r\n"), std::string::npos);

    EXPECT_EQ(f.settings().load(), first);
}

TEST(SettingsFile, AWriteThatFailsInTheProgramFolderFallsBackToThePerUserOne) {
    Folders f;
    // A folder where the INI file should be makes the write fail.
    fs::create_directories(Folders::ini(f.program));
    ASSERT_TRUE(f.settings().save(SettingsValues{"", "exe", "", "", ""}));
    EXPECT_NE(Folders::bytes(Folders::ini(f.user)).find(GBK_HOUZHUI "=exe"), std::string::npos);
}

TEST(SettingsFile, AnUnreadableIniGivesEmptyTexts) {
    Folders f;
    fs::create_directories(Folders::ini(f.program));
    fs::create_directories(Folders::list(f.program));
    EXPECT_EQ(f.settings().load(), SettingsValues{});
}

}  // namespace
