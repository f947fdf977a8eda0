#include "ui/core/settings_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec_file.h"
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

// The files as Notepad saves them on a current system (UTF-8), as it offers them (UTF-8 with
// a mark, UTF-16), and as older editors and the program itself write them (GBK).
TEST(SettingsFile, ReadsEachEncodingAndWritesItBackInTheSame) {
    using platform::TextEncoding;
    const std::string ini = "; 我的设置\r\n[配置]\r\n路径=D:\\资料\r\n后缀=exe\r\n前缀=示例\r\n序号=00005\r\n";
    const std::string list = "文件1.txt\r\n广告.url\r\n";
    const std::string changedIni = "; 我的设置\r\n[配置]\r\n路径=D:\\资料\r\n后缀=exe\r\n前缀=第\r\n序号=00005\r\n";
    const std::string changedList = "文件1.txt\r\n广告.url\r\n说明.htm";
    for (TextEncoding encoding : {TextEncoding::Gb18030, TextEncoding::Utf8, TextEncoding::Utf8WithBom, TextEncoding::Utf16Le,
                                  TextEncoding::Utf16Be}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        Folders f;
        Folders::put(Folders::ini(f.program), platform::encodeTextFile(ini, encoding));
        Folders::put(Folders::list(f.program), platform::encodeTextFile(list, encoding));
        const SettingsFile::Loaded loaded = f.settings().loadReportingProblems();
        EXPECT_EQ(loaded.values, (SettingsValues{"D:\\资料", "exe", "示例", "00005", list}));
        EXPECT_TRUE(loaded.problems.empty());

        SettingsValues changed = loaded.values;
        changed.prefix = "第";
        changed.deleteList = changedList;
        ASSERT_TRUE(f.settings().save(changed));
        EXPECT_EQ(Folders::bytes(Folders::ini(f.program)), platform::encodeTextFile(changedIni, encoding));
        EXPECT_EQ(Folders::bytes(Folders::list(f.program)), platform::encodeTextFile(changedList, encoding));
    }
}

TEST(SettingsFile, AFileThatCannotBeDecodedIsReportedAndKeptUntilSomethingReplacesIt) {
    const std::string badIni = "[" GBK_PEIZHI "]\r\n" GBK_HOUZHUI "=\x80\x80\r\n";
    const std::string badList = "\xEF\xBB\xBF" GBK_WENJIAN "1.txt";  // a UTF-8 mark over GBK
    Folders f;
    Folders::put(Folders::ini(f.program), badIni);
    Folders::put(Folders::list(f.program), badList);
    const SettingsFile::Loaded loaded = f.settings().loadReportingProblems();
    EXPECT_EQ(loaded.values, SettingsValues{});
    ASSERT_EQ(loaded.problems.size(), 2u);
    EXPECT_EQ(loaded.problems[0].rfind("设置未载入：" + platform::utf8FromPath(Folders::ini(f.program)) + "：无法识别文本编码", 0),
              0u) << loaded.problems[0];
    EXPECT_EQ(loaded.problems[1].rfind("删除列表未载入：" + platform::utf8FromPath(Folders::list(f.program)) + "：无法识别文本编码", 0),
              0u) << loaded.problems[1];

    // Closing the window without typing anything loses nothing.
    ASSERT_TRUE(f.settings().save(loaded.values));
    EXPECT_EQ(Folders::bytes(Folders::ini(f.program)), badIni);
    EXPECT_EQ(Folders::bytes(Folders::list(f.program)), badList);

    // What the user typed instead is kept, in GBK.
    ASSERT_TRUE(f.settings().save(SettingsValues{"", "exe", "", "", "a.txt"}));
    EXPECT_EQ(Folders::bytes(Folders::ini(f.program)),
              "[" GBK_PEIZHI "]\r\n" GBK_LUJING "=\r\n" GBK_HOUZHUI "=exe\r\n" GBK_QIANZHUI "=\r\n" GBK_XUHAO "=\r\n");
    EXPECT_EQ(Folders::bytes(Folders::list(f.program)), "a.txt");
    EXPECT_TRUE(f.settings().loadReportingProblems().problems.empty());
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
