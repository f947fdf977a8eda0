// The rename job from the command line on copies of real archives, where the faults only
// show with the real myrar: damaged listings, volume sets, the folder walk's order.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>

#include "jobs/rename_journal.h"
#include "platform/file_identity.h"
#include "tests/cli/cli_folder_test.h"

namespace {

namespace fs = std::filesystem;

class CliRename : public testsupport::CliFolderTest {};

// An archive the archiver cannot list, or lists only up to the damage, is a failure with
// the archiver's reason, never "no entry with that extension".
TEST_F(CliRename, AListingThatFailsIsAFailure) {
    SKIP_WITHOUT_FIXTURES();
    const std::string whole = platform::readWholeFile(testsupport::fixture("zimuku-10-ass.rar")).value();
    struct Case {
        const char* what;
        std::string bytes;        // empty: the fixture's own
        const char* fixture;
        const char* reasonPart;
    } cases[] = {
        {"truncated after its first entry", whole.substr(0, 3000), nullptr, "已损坏"},
        {"damaged", {}, "test_read_format_rar_invalid1.rar", "已损坏"},
        {"RAR 3 with encrypted headers", {}, "rar3-comment-hpsw.rar", "密码"},
        {"no RAR archive at all", {}, "test_read_format_zip.zip", "不是 RAR 压缩包"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.what);
        const std::string path = c.fixture ? copy(c.fixture, "f" + std::to_string(i) + "/坏.rar")
                                           : platform::utf8FromPath(dir.write("f" + std::to_string(i) + "/坏.rar", c.bytes));
        EXPECT_EQ(run({"rename", "--ext", "ass", path}), 1) << last.out << last.err;
        const Lines lines = out();
        ASSERT_EQ(lines.size(), 4u) << last.out;
        EXPECT_EQ(lines[2].rfind("[1] " + path + "（未更名：无法读取压缩包内容：", 0), 0u) << lines[2];
        EXPECT_NE(lines[2].find(c.reasonPart), std::string::npos) << lines[2];
        EXPECT_EQ(lines[3], "已更名 0 个，未改动 0 个，失败 1 个。(renamed 0, unchanged 0, failed 1)");
        EXPECT_TRUE(fs::exists(platform::pathFromUtf8(path)));
    }
}

// The folder walk takes names in NTFS's order, not in the file system's (hash order on
// ext4): numbering a folder again finds every archive under the name it was given.
TEST_F(CliRename, NumberingAFolderThreeTimesGivesEachArchiveTheSameName) {
    SKIP_WITHOUT_FIXTURES();
    const char* fixtures[] = {"zimuku-10-ass.rar", "rar5-subdirs.rar", "rar3-subdirs.rar",
                              "test_read_format_rar5_win32.rar", "unicode.rar", "rar5-crc.rar"};
    const char* names[] = {"字幕.rar", "b.rar", "A.rar", "_下划线.rar", "一.rar", "Z.rar"};
    for (std::size_t i = 0; i < std::size(fixtures); ++i) copy(fixtures[i], std::string("下载/") + names[i]);
    copy("rar3-solid.rar", "下载/子目录/固实.rar");

    std::map<std::string, std::string> first;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(run({"rename", "--prefix", "示例", "--start", "01", at("下载")}), 0) << last.out << last.err;
        std::map<std::string, std::string> mapping;
        for (const auto& e : fs::recursive_directory_iterator(dir / "下载")) {
            if (e.is_regular_file()) mapping[platform::utf8FromPath(e.path())] = platform::readWholeFile(e.path()).value();
        }
        ASSERT_EQ(mapping.size(), 7u);
        if (round == 0) {
            first = mapping;
            // NTFS's order: A, b, Z, then "_" (after every letter), then 一, 字; the subfolder last.
            EXPECT_TRUE(sameBytes("下载/示例01.rar", "rar3-subdirs.rar"));
            EXPECT_TRUE(sameBytes("下载/示例02.rar", "rar5-subdirs.rar"));
            EXPECT_TRUE(sameBytes("下载/示例03.rar", "rar5-crc.rar"));
            EXPECT_TRUE(sameBytes("下载/示例04.rar", "test_read_format_rar5_win32.rar"));
            EXPECT_TRUE(sameBytes("下载/示例05.rar", "unicode.rar"));
            EXPECT_TRUE(sameBytes("下载/示例06.rar", "zimuku-10-ass.rar"));
            EXPECT_TRUE(sameBytes("下载/子目录/示例07.rar", "rar3-solid.rar"));
        } else {
            EXPECT_EQ(mapping, first);
            EXPECT_EQ(out().back(), "已更名 0 个，未改动 7 个，失败 0 个。(renamed 0, unchanged 7, failed 0)");
        }
    }
}

// A numbering run killed while archives stood aside under hidden names: whatever the
// command line is asked next, it first gives them their names back and says so.
TEST_F(CliRename, AnInterruptedNumberingRunIsUndoneBeforeTheNextCommand) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* command : {"rename", "undo"}) {
        SCOPED_TRACE(command);
        const std::string first = copy("zimuku-10-ass.rar", std::string(command) + "/示例2.rar");
        const std::string second = copy("rar5-subdirs.rar", std::string(command) + "/示例1.rar");
        const std::string hidden1 = at(std::string(command) + "/.~pimingbao-0badf00d-1.rar");
        const std::string hidden2 = at(std::string(command) + "/.~pimingbao-0badf00d-2.rar");
        {
            auto journal = jobs::RenameJournal::open(dir / "bin" / std::string(jobs::kRenameJournalName));
            ASSERT_TRUE(journal.ok());
            ASSERT_TRUE(journal->begin("按序号 前缀“示例” 起始序号 1"));
            auto id1 = platform::fileIdentity(platform::pathFromUtf8(first)).value();
            auto id2 = platform::fileIdentity(platform::pathFromUtf8(second)).value();
            ASSERT_TRUE(journal->recordMove(id1, first, hidden1));
            fs::rename(platform::pathFromUtf8(first), platform::pathFromUtf8(hidden1));
            ASSERT_TRUE(journal->recordMove(id2, second, hidden2));
            fs::rename(platform::pathFromUtf8(second), platform::pathFromUtf8(hidden2));
            // killed here: no end
        }
        const Lines args = std::string(command) == "undo"
                               ? Lines{"undo"}
                               : Lines{"rename", "--ext", "ass", copy("zimuku-10-ass.rar", "other/字幕.rar")};
        ASSERT_EQ(run(args), 0) << last.out << last.err;
        ASSERT_FALSE(out().empty());
        EXPECT_EQ(out()[0], "上次更名被中断，已恢复原名");
        EXPECT_TRUE(sameBytes(std::string(command) + "/示例2.rar", "zimuku-10-ass.rar"));
        EXPECT_TRUE(sameBytes(std::string(command) + "/示例1.rar", "rar5-subdirs.rar"));
        EXPECT_FALSE(fs::exists(platform::pathFromUtf8(hidden1)));
        EXPECT_FALSE(fs::exists(platform::pathFromUtf8(hidden2)));
        if (std::string(command) == "undo") {
            EXPECT_EQ(out().size(), 1u) << last.out;  // nothing else undone
        }
    }
}

#ifndef _WIN32
// A name that is no UTF-8 is left out when the folder is collected, one line each, and the
// run says it did not do everything; the other archives are renamed.
TEST_F(CliRename, ANameThatIsNoUtf8IsLeftOutWithItsReason) {
    SKIP_WITHOUT_FIXTURES();
    const std::string good = copy("zimuku-10-ass.rar", "d/好.rar");
    fs::copy_file(testsupport::fixture("rar5-subdirs.rar"), dir.path() / "d" / "坏\xff.rar");
    EXPECT_EQ(run({"rename", "--ext", "ass", at("d")}), 1) << last.out << last.err;
    const Lines lines = out();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "跳过：" + at("d/坏") + "\\xFF.rar（文件名不是有效的 UTF-8 编码，无法处理，已跳过）");
    EXPECT_EQ(lines.back(), "已更名 1 个，未改动 0 个，失败 0 个。(renamed 1, unchanged 0, failed 0)");
    EXPECT_TRUE(fs::exists(dir.path() / "d" / "坏\xff.rar"));
    EXPECT_FALSE(fs::exists(platform::pathFromUtf8(good)));
}
#endif

#ifndef _WIN32
// What lsar, another reader, makes of a set from its first volume: its heading (with the
// number of volumes) and its entries.
struct LsarView {
    std::string kind;
    std::vector<std::string> entries;
    friend bool operator==(const LsarView&, const LsarView&) = default;
};

std::optional<LsarView> lsarView(const fs::path& firstVolume) {
    if (!fs::exists("/usr/bin/lsar")) return std::nullopt;
    auto listed = testsupport::runProcess("/usr/bin/lsar", {firstVolume.string()}, {}, firstVolume.parent_path());
    if (listed.exitCode != 0) return LsarView{"lsar failed: " + listed.err, {}};
    LsarView view;
    std::istringstream in(listed.out);
    std::string line;
    std::getline(in, line);
    view.kind = line.substr(line.rfind(": ") + 2);
    while (std::getline(in, line)) view.entries.push_back(line);
    return view;
}

// Real volume sets of both formats and both namings among single archives: each set takes
// one number, keeps its naming and its digit width, and still opens from its first volume.
TEST_F(CliRename, VolumeSetsTakeOneNumberAndStillOpen) {
    SKIP_WITHOUT_FIXTURES();
    if (!fs::exists("/usr/bin/lsar")) GTEST_SKIP() << "lsar is not installed";
    struct Set {
        std::vector<std::string> fixtures;
        std::vector<std::string> renamed;
    };
    std::vector<std::string> wide, wideRenamed;
    for (int i = 1; i <= 10; ++i) {
        const std::string n = (i < 10 ? "0" : "") + std::to_string(i);
        wide.push_back("test_rar_multivolume_uncompressed_files.part" + n + ".rar");
        wideRenamed.push_back("示例00008.part" + n + ".rar");
    }
    const std::vector<Set> sets = {
        {{"rar3-old.rar", "rar3-old.r00", "rar3-old.r01"}, {"示例00005.rar", "示例00005.r00", "示例00005.r01"}},
        {{"rar3-vols.part1.rar", "rar3-vols.part2.rar", "rar3-vols.part3.rar"},
         {"示例00006.part1.rar", "示例00006.part2.rar", "示例00006.part3.rar"}},
        {{"rar5-vols.part1.rar", "rar5-vols.part2.rar", "rar5-vols.part3.rar"},
         {"示例00007.part1.rar", "示例00007.part2.rar", "示例00007.part3.rar"}},
        {wide, wideRenamed},
        {{"zimuku-10-ass.rar"}, {"示例00009.rar"}},
    };
    std::vector<LsarView> before;
    for (const auto& set : sets) {
        for (const auto& f : set.fixtures) copy(f, "卷/" + f);
        before.push_back(*lsarView(dir / ("卷/" + set.fixtures.front())));
    }
    EXPECT_EQ(before[3].kind, "RAR (10 volumes)");

    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ASSERT_EQ(run({"rename", "--prefix", "示例", "--start", "00005", at("卷")}), 0) << last.out << last.err;
        EXPECT_EQ(out().back(), round == 0 ? "已更名 5 个，未改动 0 个，失败 0 个。(renamed 5, unchanged 0, failed 0)"
                                           : "已更名 0 个，未改动 5 个，失败 0 个。(renamed 0, unchanged 5, failed 0)");
        std::size_t files = 0;
        for (const auto& e : fs::directory_iterator(dir / "卷")) files += e.is_regular_file();
        EXPECT_EQ(files, 20u);
        for (std::size_t s = 0; s < sets.size(); ++s) {
            for (std::size_t v = 0; v < sets[s].fixtures.size(); ++v) {
                EXPECT_TRUE(sameBytes("卷/" + sets[s].renamed[v], sets[s].fixtures[v])) << sets[s].renamed[v];
            }
            EXPECT_EQ(*lsarView(dir / ("卷/" + sets[s].renamed.front())), before[s]) << sets[s].renamed.front();
        }
    }
    // One row speaks for a set; its other volumes say they went with it.
    ASSERT_EQ(run({"rename", "--prefix", "示例", "--start", "00005", at("卷")}), 0);
    EXPECT_NE(last.out.find("[3] " + at("卷/示例00006.part2.rar") + "（分卷压缩包的一卷，与第2个一同处理）"),
              std::string::npos)
        << last.out;
}

// By extension a set takes its name from its first volume's entries; a set whose new name
// is taken stays whole, and none of its volumes goes to the trash.
TEST_F(CliRename, ByExtensionASetIsNamedAfterItsFirstVolume) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* f : {"rar3-vols.part1.rar", "rar3-vols.part2.rar", "rar3-vols.part3.rar", "rar5-vols.part1.rar",
                          "rar5-vols.part2.rar", "rar5-vols.part3.rar", "rar3-old.rar", "rar3-old.r00", "rar3-old.r01"}) {
        copy(f, std::string("e/") + f);
    }
    EXPECT_EQ(run({"rename", "--ext", "txt", at("e")}), 1) << last.out << last.err;
    const Lines lines = out();
    // rar3-old, rar3-vols and rar5-vols all hold vols\bigfile.txt first.
    EXPECT_NE(last.out.find("[1] 已更名：" + at("e/rar3-old.rar") + " -> " + at("e/bigfile.rar")), std::string::npos) << last.out;
    EXPECT_NE(last.out.find("[2] 已更名：" + at("e/rar3-vols.part1.rar") + " -> " + at("e/bigfile.part1.rar")),
              std::string::npos);
    EXPECT_NE(last.out.find("[5] " + at("e/rar5-vols.part1.rar") + "（文件已存在：" + at("e/bigfile.part1.rar") +
                            "；分卷压缩包的各卷都保留原名）"),
              std::string::npos);
    EXPECT_EQ(lines.back(), "已更名 2 个，未改动 0 个，失败 1 个。(renamed 2, unchanged 0, failed 1)");
    EXPECT_TRUE(sameBytes("e/bigfile.r01", "rar3-old.r01"));
    EXPECT_TRUE(sameBytes("e/bigfile.part3.rar", "rar3-vols.part3.rar"));
    EXPECT_TRUE(sameBytes("e/rar5-vols.part2.rar", "rar5-vols.part2.rar"));
    EXPECT_FALSE(fs::exists(dir / "data/Trash/files"));
}
#endif

}  // namespace
