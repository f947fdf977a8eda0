// pimingbao-cli as the user runs it, with the real myrar, on copies of real archives. Each
// test copies the program into a folder of its own, so that folder is its working
// directory (myrar.exe, the exchange files, the journal) and its trash is its own too.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "archiver/driver/listing_parser.h"
#include "jobs/rename_job.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "tests/cli/cli_folder_test.h"
#include "tests/cli/cli_process.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

const std::string kZimukuStem = "Modern.Family.S05E05.720p.WEB-DL.DD5.1.H.264-HWD.";

Lines progress(const char* each, std::size_t count, const char* done) {
    Lines t;
    for (std::size_t i = 1; i <= count; ++i) {
        std::string s(each);
        t.push_back(s.replace(s.find("%"), 1, std::to_string(i)));
    }
    t.push_back(done);
    return t;
}

// The program's own folder, trash and run helpers come from CliFolderTest; here what
// reads the archives back with the archiver itself.
class CliEndToEnd : public testsupport::CliFolderTest {
protected:
    // Whether a file the program named (in UTF-8) is there.
    static bool exists(const std::string& path) { return fs::exists(platform::pathFromUtf8(path)); }
    bool sameBytes(const std::string& relative, const std::string& fixture) const {
        return platform::readWholeFile(dir / relative).value() == platform::readWholeFile(testsupport::fixture(fixture)).value();
    }
    // The entries an archive holds now, from the archiver's own listing.
    Lines entries(const std::string& path) {
        const Lines args = {"v", std::string("-p") + jobs::kListingPassword, path};
        const auto listed = testsupport::runProcess(myrarProgram(), args, {}, dir.path());
#ifdef _WIN32
        // There runProcess hands output back as UTF-8, read from the console's code page;
        // the listing is read in the archiver's own GB18030.
        const std::string output = platform::utf8ToGb18030(listed.out).value_or(listed.out);
#else
        const std::string& output = listed.out;
#endif
        Lines found;
        for (const auto& e : listingFromOutput(output).entries) found.push_back(e.path);
        return found;
    }
    // Whether the built archiver can plan a delete without doing it.
    static bool archiverPlansDeletes() {
        return testsupport::runProcess(myrarProgram(), {}, {}, fs::current_path()).out.find("dry") != std::string::npos;
    }
    // Whole and in the platform's form: a child is started from another folder, and under
    // Wine a path in the build's form names no drive.
    static fs::path myrarProgram() { return fs::absolute(fs::path(PIMINGBAO_MYRAR_PROGRAM)).make_preferred(); }
};

TEST_F(CliEndToEnd, RenamesRealArchivesAfterTheirEntries) {
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* fixture;
        const char* extension;
        std::string newName;  // empty: keeps its name
        const char* reason;   // for one that keeps its name
        int exitCode;
    } cases[] = {
        {"zimuku-10-ass.rar", "ass", kZimukuStem + "英文.rar", nullptr, 0},           // Chinese names, RAR 2.9
        {"zimuku-10-ass.rar", ".SRT", kZimukuStem + "英文.rar", nullptr, 0},
        {"rar5-subdirs.rar", "txt", "file2.rar", nullptr, 0},                         // RAR5, entries in folders
        {"rar3-subdirs.rar", "txt", "file2.rar", nullptr, 0},                         // RAR 3, backslash paths
        {"test_read_format_rar5_win32.rar", "bin", "test.rar", nullptr, 0},           // a folder listed first
        {"rar5-subdirs.rar", "exe", "", "（未更名：压缩包内没有后缀为“exe”的文件）", 0},
        {"test_read_format_rar5_encrypted_filenames.rar", "txt", "", "（未更名：无法读取压缩包内容", 1},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(std::string(c.fixture) + " " + c.extension);
        const std::string folder = "case" + std::to_string(i);
        const std::string original = copy(c.fixture, folder + "/下载的 " + c.fixture);
        ASSERT_EQ(run({"rename", "--ext", c.extension, original}), c.exitCode) << last.out << last.err;
        const Lines lines = out();
        ASSERT_EQ(lines.size(), 4u) << last.out;
        EXPECT_EQ(lines[0], "正在修改第1个文件名称。");
        EXPECT_EQ(lines[1], "RAR文件名称修改完毕！");
        if (!c.newName.empty()) {
            EXPECT_EQ(lines[2], "[1] 已更名：" + original + " -> " + at(folder + "/" + c.newName));
            EXPECT_EQ(lines[3], "已更名 1 个，未改动 0 个，失败 0 个。(renamed 1, unchanged 0, failed 0)");
            EXPECT_FALSE(exists(original));
            EXPECT_TRUE(sameBytes(folder + "/" + c.newName, c.fixture));
        } else {
            EXPECT_EQ(lines[2].rfind("[1] " + original + c.reason, 0), 0u) << lines[2];
            EXPECT_TRUE(exists(original));
        }
    }
}

#ifndef _WIN32
TEST_F(CliEndToEnd, ClashSendsTheArchiveToTheTrashAndUndoBringsItBack) {
    SKIP_WITHOUT_FIXTURES();
    const std::string first = copy("zimuku-10-ass.rar", "d/第一.rar");
    const std::string second = copy("zimuku-10-ass.rar", "d/第二.rar");
    EXPECT_EQ(run({"rename", "--ext", "ass", first, second}), 1);
    const std::string target = at("d/" + kZimukuStem + "英文.rar");
    const fs::path trashed = dir / "data/Trash/files/第二.rar";
    EXPECT_EQ(out(), (Lines{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "文件已存在！该文件被删除！",
                            "RAR文件名称修改完毕！", "[1] 已更名：" + first + " -> " + target,
                            "[2] " + second + "（文件已存在：" + target + "；本压缩包已移到回收站：" + trashed.string() + "）",
                            "已更名 1 个，未改动 0 个，失败 1 个（其中 1 个已移到回收站）。(renamed 1, unchanged 0, failed 1, 1 went to the trash)"}));
    EXPECT_TRUE(fs::exists(trashed));
    const std::string info = platform::readWholeFile(dir / "data/Trash/info/第二.rar.trashinfo").value();
    EXPECT_EQ(info.rfind("[Trash Info]\nPath=" + dir.path().string() + "/d/%E7%AC%AC%E4%BA%8C.rar\n", 0), 0u) << info;
    EXPECT_TRUE(fs::exists(dir / "bin/pimingbao-rename-journal.txt"));

    EXPECT_EQ(run({"undo"}), 0) << last.out << last.err;
    const Lines lines = out();
    ASSERT_EQ(lines.size(), 4u) << last.out;
    EXPECT_EQ(lines[1], "已还原：" + trashed.string() + " -> " + second);
    EXPECT_EQ(lines[2], "已还原：" + target + " -> " + first);
    EXPECT_TRUE(sameBytes("d/第一.rar", "zimuku-10-ass.rar"));
    EXPECT_TRUE(sameBytes("d/第二.rar", "zimuku-10-ass.rar"));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(trashed));
}
#else
// The recycle bin takes the archive; where the shell does not say where it went (Wine's
// shell, which has no IFileOperation), the result names no place, and undo brings back
// only the renamed one and sends the user to the recycle bin for the other.
TEST_F(CliEndToEnd, ClashSendsTheArchiveToTheRecycleBinAndUndoRevertsTheRename) {
    SKIP_WITHOUT_FIXTURES();
    const std::string first = copy("zimuku-10-ass.rar", "d/第一.rar");
    const std::string second = copy("zimuku-10-ass.rar", "d/第二.rar");
    EXPECT_EQ(run({"rename", "--ext", "ass", first, second}), 1);
    const std::string target = at("d/" + kZimukuStem + "英文.rar");
    const Lines lines = out();
    ASSERT_EQ(lines.size(), 7u) << last.out;
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 5),
              (Lines{"正在修改第1个文件名称。", "正在修改第2个文件名称。", "文件已存在！该文件被删除！",
                     "RAR文件名称修改完毕！", "[1] 已更名：" + first + " -> " + target}));
    const std::string clash = "[2] " + second + "（文件已存在：" + target + "；本压缩包已移到回收站";
    const bool placeTold = lines[5] != clash + "）";
    if (placeTold) {
        EXPECT_EQ(lines[5].rfind(clash + "：", 0), 0u) << lines[5];
    }
    EXPECT_EQ(lines[6], "已更名 1 个，未改动 0 个，失败 1 个（其中 1 个已移到回收站）。(renamed 1, unchanged 0, failed 1, 1 went to the trash)");
    EXPECT_FALSE(exists(second));
    EXPECT_TRUE(fs::exists(dir / "bin/pimingbao-rename-journal.txt"));

    const int undone = run({"undo"});
    EXPECT_NE(last.out.find("已还原：" + target + " -> " + first), std::string::npos) << last.out;
    EXPECT_TRUE(sameBytes("d/第一.rar", "zimuku-10-ass.rar"));
    EXPECT_FALSE(exists(target));
    if (exists(second)) {
        // A shell that said where the archive went: undo brought it back too.
        EXPECT_EQ(undone, 0) << last.out;
        EXPECT_TRUE(sameBytes("d/第二.rar", "zimuku-10-ass.rar"));
    } else {
        EXPECT_FALSE(placeTold);
        EXPECT_EQ(undone, 1) << last.out;
        EXPECT_NE(last.out.find("未还原：" + second + " 已移到回收站，请在回收站中还原"), std::string::npos) << last.out;
    }
}
#endif

TEST_F(CliEndToEnd, NumbersKeepTheirWidthAcrossDirectoriesAndARerunChangesNothing) {
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* start;
        Lines names;
    } cases[] = {
        {"00005", {"甲/示例00005.rar", "乙/示例00006.rar", "甲/示例00007.rar"}},
        {"00009", {"甲/示例00009.rar", "乙/示例00010.rar", "甲/示例00011.rar"}},
        {"7", {"甲/示例7.rar", "乙/示例8.rar", "甲/示例9.rar"}},
    };
    const char* fixtures[] = {"zimuku-10-ass.rar", "rar5-subdirs.rar", "test_read_format_rar5_win32.rar"};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        const std::string root = std::string("n") + c.start + "/";
        Lines paths = {copy(fixtures[0], root + "甲/a.rar"), copy(fixtures[1], root + "乙/b.rar"),
                       copy(fixtures[2], root + "甲/c.rar")};
        Lines args = {"rename", "--prefix", "示例", "--start", c.start};
        args.insert(args.end(), paths.begin(), paths.end());
        ASSERT_EQ(run(args), 0) << last.out << last.err;
        Lines expected = progress("正在修改第%个文件名称。", 3, "RAR文件名称修改完毕！");
        Lines renamed;
        for (std::size_t i = 0; i < 3; ++i) {
            renamed.push_back(at(root + c.names[i]));
            expected.push_back("[" + std::to_string(i + 1) + "] 已更名：" + paths[i] + " -> " + renamed[i]);
            EXPECT_TRUE(sameBytes(root + c.names[i], fixtures[i]));
        }
        expected.push_back("已更名 3 个，未改动 0 个，失败 0 个。(renamed 3, unchanged 0, failed 0)");
        EXPECT_EQ(out(), expected);

        // The same numbering over the same archives again: every one already has its name.
        args.resize(5);
        args.insert(args.end(), renamed.begin(), renamed.end());
        ASSERT_EQ(run(args), 0);
        EXPECT_EQ(out().back(), "已更名 0 个，未改动 3 个，失败 0 个。(renamed 0, unchanged 3, failed 0)");
        for (std::size_t i = 0; i < 3; ++i) EXPECT_TRUE(sameBytes(root + c.names[i], fixtures[i]));
    }
}

TEST_F(CliEndToEnd, NumberingInTheOtherOrderSwapsNamesAndUndoSwapsThemBack) {
    SKIP_WITHOUT_FIXTURES();
    const std::string a = copy("zimuku-10-ass.rar", "d/示例1.rar");
    const std::string b = copy("rar5-subdirs.rar", "d/示例2.rar");
    ASSERT_EQ(run({"rename", "--prefix", "示例", "--start", "1", b, a}), 0) << last.out << last.err;
    EXPECT_TRUE(sameBytes("d/示例1.rar", "rar5-subdirs.rar"));
    EXPECT_TRUE(sameBytes("d/示例2.rar", "zimuku-10-ass.rar"));
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(dir / "d")) files += e.is_regular_file();
    EXPECT_EQ(files, 2u);  // no temporary name left behind

    ASSERT_EQ(run({"undo"}), 0) << last.out << last.err;
    EXPECT_TRUE(sameBytes("d/示例1.rar", "zimuku-10-ass.rar"));
    EXPECT_TRUE(sameBytes("d/示例2.rar", "rar5-subdirs.rar"));
}

TEST_F(CliEndToEnd, CleansRealArchivesAndReportsWhatTheArchiverRefused) {
    SKIP_WITHOUT_FIXTURES();
    Lines paths = {copy("zimuku-10-ass.rar", "c/字幕.rar"), copy("test_read_format_rar5_win32.rar", "c/win32.rar"),
                   copy("test_read_format_rar5_stored.rar", "c/stored.rar"), copy("rar15-comment-lock.rar", "c/lock.rar"),
                   copy("rar5-vols.part1.rar", "c/vols.part1.rar")};
    copy("rar5-vols.part2.rar", "c/vols.part2.rar");
    copy("rar5-vols.part3.rar", "c/vols.part3.rar");
    // The window keeps its delete list as GBK text with CR LF line ends.
    const std::string names = kZimukuStem + "英文.srt\r\n" + kZimukuStem + "繁体.ass\r\nhelloworld.txt\r\nfile1.txt\r\nbigfile.txt\r\n";
    dir.write("删除.txt", platform::utf8ToGb18030(names).value());

    Lines args = {"clean", "--names-file", at("删除.txt")};
    args.insert(args.end(), paths.begin(), paths.end());
    EXPECT_EQ(run(args), 1) << last.out << last.err;
    const Lines lines = out();
    ASSERT_EQ(lines.size(), 22u) << last.out;
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 16),
              (Lines{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！", "正在打扫第2个文件。。。", "正在删除中……",
                     "没有要文件的删除", "正在打扫第3个文件。。。", "正在删除中……", "删除成功！",
                     "正在打扫第4个文件。。。", "正在删除中……", "删除失败！", "正在打扫第5个文件。。。",
                     "正在删除中……", "删除失败！", "文件打扫完毕！"}));
    EXPECT_EQ(lines[16], "[1] " + paths[0] + "：删除成功");
    EXPECT_EQ(lines[17], "[2] " + paths[1] + "：未改动：压缩包内没有要删除的文件");
    // Emptied: the line goes on to say where the archive went.
    EXPECT_EQ(lines[18].rfind("[3] " + paths[2] + "：删除成功", 0), 0u) << lines[18];
    // The archiver's own reason follows the failure text.
    EXPECT_EQ(lines[19].rfind("[4] " + paths[3] + "：删除失败！", 0), 0u);
    EXPECT_GT(lines[19].size(), ("[4] " + paths[3] + "：删除失败！").size()) << lines[19];
    EXPECT_EQ(lines[20].rfind("[5] " + paths[4] + "：删除失败！", 0), 0u);
    EXPECT_GT(lines[20].size(), ("[5] " + paths[4] + "：删除失败！").size()) << lines[20];
    EXPECT_EQ(lines[21].rfind("已打扫 2 个，未改动 1 个，失败 2 个", 0), 0u) << lines[21];

    const Lines left = entries(paths[0]);
    EXPECT_EQ(left.size(), 8u);
    for (const auto& e : left) {
        EXPECT_NE(e, kZimukuStem + "英文.srt");
        EXPECT_NE(e, kZimukuStem + "繁体.ass");
    }
    EXPECT_TRUE(sameBytes("c/win32.rar", "test_read_format_rar5_win32.rar"));
    EXPECT_FALSE(exists(paths[2]));  // emptied: no longer in its folder
    EXPECT_TRUE(sameBytes("c/lock.rar", "rar15-comment-lock.rar"));
    EXPECT_TRUE(sameBytes("c/vols.part1.rar", "rar5-vols.part1.rar"));
}

#ifndef _WIN32
// An archive the clean leaves without entries goes to the trash whole, the dry run says it
// would, and undo puts it back byte for byte.
TEST_F(CliEndToEnd, AnEmptiedArchiveGoesToTheTrashAndUndoBringsItBack) {
    SKIP_WITHOUT_FIXTURES();
    if (!archiverPlansDeletes()) GTEST_SKIP() << "the built myrar cannot plan a delete yet";
    const char* fixture = "test_read_format_rar5_stored.rar";
    const std::string path = copy(fixture, "e/只有广告.rar");
    const std::string trashed = at("data/Trash/files/只有广告.rar");

    ASSERT_EQ(run({"clean", "--dry-run", "--name", "*", path}), 0) << last.out << last.err;
    const Lines foreseen = out();
    ASSERT_GE(foreseen.size(), 3u) << last.out;
    EXPECT_EQ(foreseen[1].rfind("[1] " + path + "：将删除 ", 0), 0u) << foreseen[1];
    EXPECT_NE(foreseen[1].find("，删除后压缩包为空，将移到回收站"), std::string::npos) << foreseen[1];
    EXPECT_NE(foreseen.back().find("（其中 1 个将移到回收站）"), std::string::npos) << foreseen.back();
    EXPECT_TRUE(sameBytes("e/只有广告.rar", fixture));

    ASSERT_EQ(run({"clean", "--name", "*", path}), 0) << last.out << last.err;
    const Lines done = out();
    EXPECT_NE(std::find(done.begin(), done.end(), "[1] " + path + "：删除成功，压缩包已空，已移到回收站：" + trashed),
              done.end())
        << last.out;
    EXPECT_FALSE(exists(path));
    EXPECT_TRUE(sameBytes("data/Trash/files/只有广告.rar", fixture));

    ASSERT_EQ(run({"undo"}), 0) << last.out << last.err;
    ASSERT_GE(out().size(), 2u) << last.out;
    EXPECT_NE(out()[0].find("的打扫"), std::string::npos) << out()[0];
    EXPECT_EQ(out()[1], "已还原：" + trashed + " -> " + path);
    EXPECT_TRUE(sameBytes("e/只有广告.rar", fixture));
    EXPECT_TRUE(fs::is_empty(dir / "data/Trash/info"));
}
#endif

// Rename, clean (the archiver writes the archive anew), then undo: the cleaned archive
// still gets its old name back.
TEST_F(CliEndToEnd, UndoAfterACleanStillRevertsTheRename) {
    SKIP_WITHOUT_FIXTURES();
    const std::string original = copy("zimuku-10-ass.rar", "u/字幕.rar");
    ASSERT_EQ(run({"rename", "--ext", "ass", original}), 0) << last.out << last.err;
    const std::string renamed = at("u/" + kZimukuStem + "英文.rar");
    ASSERT_EQ(run({"clean", "--name", kZimukuStem + "英文.srt", renamed}), 0) << last.out << last.err;
    ASSERT_EQ(run({"undo"}), 0) << last.out << last.err;
    EXPECT_EQ(out()[1], "已还原：" + renamed + " -> " + original);
    EXPECT_EQ(entries(original).size(), 9u);
    EXPECT_FALSE(exists(renamed));
}

// The dry run foresees exactly what the archiver then takes away.
TEST_F(CliEndToEnd, DryRunForeseesTheDelete) {
    SKIP_WITHOUT_FIXTURES();
    if (!archiverPlansDeletes()) GTEST_SKIP() << "the built myrar cannot plan a delete yet";
    const Lines names = {"FILE1.TXT", "sub/dir2", "*简体*", "?est?.bin"};
    Lines paths = {copy("rar3-subdirs.rar", "p/rar3.rar"), copy("rar5-subdirs.rar", "p/rar5.rar"),
                   copy("zimuku-10-ass.rar", "p/字幕.rar"), copy("test_read_format_rar5_win32.rar", "p/win32.rar")};
    std::vector<Lines> before;
    for (const auto& p : paths) before.push_back(entries(p));

    Lines args = {"clean", "--dry-run"};
    for (const auto& n : names) {
        args.push_back("--name");
        args.push_back(n);
    }
    Lines withPaths = args;
    withPaths.insert(withPaths.end(), paths.begin(), paths.end());
    ASSERT_EQ(run(withPaths), 0) << last.out << last.err;
    std::vector<Lines> foreseen(paths.size());
    int current = -1;
    for (const auto& line : out()) {
        if (line.rfind("[", 0) == 0) current = std::stoi(line.substr(1)) - 1;
        if (line.rfind("    ", 0) == 0 && current >= 0) foreseen[current].push_back(line.substr(4));
    }

    withPaths.erase(withPaths.begin() + 1);  // the same, for real
    ASSERT_EQ(run(withPaths), 0) << last.out << last.err;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        SCOPED_TRACE(paths[i]);
        EXPECT_FALSE(foreseen[i].empty());
        Lines expectedLeft;
        for (const auto& e : before[i]) {
            if (std::find(foreseen[i].begin(), foreseen[i].end(), e) == foreseen[i].end()) expectedLeft.push_back(e);
        }
        EXPECT_EQ(entries(paths[i]), expectedLeft);
    }
}

TEST_F(CliEndToEnd, HelpAndBadCommandLines) {
    EXPECT_EQ(run({"--help"}), 0);
    EXPECT_NE(last.out.find("用法 / Usage:"), std::string::npos);
    EXPECT_EQ(run({"rename", "--prefix", "x", "--start", "-3", at("a.rar")}), 2);
    EXPECT_NE(last.err.find("起始序号只能由数字0到9组成"), std::string::npos) << last.err;
    EXPECT_EQ(run({"rename", "--ext", "exe", at("nowhere")}), 2);
    EXPECT_NE(last.err.find("找不到"), std::string::npos) << last.err;
    EXPECT_EQ(run({}), 2);
    // A bad command line never reaches the archiver.
    EXPECT_FALSE(fs::exists(dir / "bin/myrar.exe"));
}

}  // namespace
