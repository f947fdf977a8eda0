// What d writes, checked by readers that share no code with ours: bsdtar, lsar and 7z
// list exactly the entries that remain, and bsdtar extracts them to the same bytes as
// from the original. A reader that cannot read an original (bsdtar on solid RAR 1.5-4
// archives and on encrypted headers, lsar on some of those) is not asked about the copy.
#include <algorithm>
#include <map>
#include <gtest/gtest.h>
#include <set>

#include "archiver/rar/name_matcher.h"
#include "tests/console/console_support.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/fixtures.h"

// The readers are Linux programs: the Windows build finds none of them, and the Linux
// build checks the same archive code with them.
#ifdef _WIN32
#define SKIP_WITHOUT_INDEPENDENT_READERS()                                                                    \
    do {                                                                                                     \
        if (!testconsole::programAvailable("bsdtar") && !testconsole::programAvailable("lsar") &&              \
            !testconsole::programAvailable("7z"))                                                            \
            GTEST_SKIP() << "no independent reader (bsdtar, lsar, 7z) on this system's PATH";               \
    } while (0)
#else
#define SKIP_WITHOUT_INDEPENDENT_READERS() \
    do {                                   \
    } while (0)
#endif

namespace {

using testconsole::readFile;

struct ReaderCase {
    const char* file;
    std::vector<std::string> names;
    const char* password = "";
};

std::vector<std::string> withoutMatches(const std::vector<std::string>& listed, const std::vector<std::string>& names) {
    const rar::NameMatcher matcher(names);
    std::vector<std::string> out;
    for (const auto& p : listed)
        if (!matcher.matches(p)) out.push_back(p);
    return out;
}

std::map<std::string, std::string> extractedFiles(const std::filesystem::path& root) {
    std::map<std::string, std::string> out;
    for (auto it = std::filesystem::recursive_directory_iterator(root); it != std::filesystem::recursive_directory_iterator(); ++it) {
        // Lexically: relative() would resolve the links being compared.
        const auto rel = it->path().lexically_relative(root).string();
        if (it->is_symlink()) out[rel] = "-> " + std::filesystem::read_symlink(it->path()).string();
        else if (it->is_regular_file()) out[rel] = readFile(it->path());
    }
    return out;
}

// Runs d on a copy and compares every reader that could read the original.
void checkWithReaders(const ReaderCase& c, const std::filesystem::path& original) {
    testsupport::TempDir originalDir, copyDir;
    const auto reference = originalDir / original.filename().string();
    std::filesystem::copy_file(original, reference);
    const auto copy = copyDir / original.filename().string();
    std::filesystem::copy_file(original, copy);
    std::filesystem::permissions(copy, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);

    const auto bsdtarBefore = testconsole::bsdtarNames(reference);
    const auto lsarBefore = testconsole::lsarNames(reference, c.password);
    const auto sevenBefore = testconsole::sevenZipNames(reference, c.password);
    ASSERT_TRUE(bsdtarBefore || lsarBefore || sevenBefore) << "no reader reads the original";

    std::vector<std::string> args = {"d", "-y", copy.filename().string()};
    args.insert(args.end(), c.names.begin(), c.names.end());
    if (*c.password) args.push_back(std::string("-p") + c.password);
    const auto run = testconsole::runMyrar(args, copyDir.path());
    ASSERT_EQ(run.exitCode, 0) << run.text;

    if (bsdtarBefore) {
        auto after = testconsole::bsdtarNames(copy);
        ASSERT_TRUE(after) << "bsdtar fails on the result";
        EXPECT_EQ(*after, withoutMatches(*bsdtarBefore, c.names)) << "bsdtar";
    }
    if (lsarBefore) {
        auto after = testconsole::lsarNames(copy, c.password);
        ASSERT_TRUE(after) << "lsar fails on the result";
        EXPECT_EQ(*after, withoutMatches(*lsarBefore, c.names)) << "lsar";
    }
    if (sevenBefore) {
        auto after = testconsole::sevenZipNames(copy, c.password);
        ASSERT_TRUE(after) << "7z fails on the result";
        EXPECT_EQ(*after, withoutMatches(*sevenBefore, c.names)) << "7z";
    }
    if (!*c.password && testconsole::bsdtarExtract(reference, originalDir / "x")) {
        ASSERT_TRUE(testconsole::bsdtarExtract(copy, copyDir / "x")) << "bsdtar cannot extract the result";
        const auto before = extractedFiles(originalDir / "x");
        const auto after = extractedFiles(copyDir / "x");
        for (const auto& [path, bytes] : after) {
            auto it = before.find(path);
            ASSERT_NE(it, before.end()) << path;
            EXPECT_EQ(bytes, it->second) << path;
        }
        std::vector<std::string> expected;
        for (const auto& [path, bytes] : before)
            if (!rar::NameMatcher(c.names).matches(path)) expected.push_back(path);
        std::vector<std::string> got;
        for (const auto& [path, bytes] : after) got.push_back(path);
        EXPECT_EQ(got, expected);
    }
}

TEST(IndependentReaders, ListAndExtractWhatRemains) {
    SKIP_WITHOUT_INDEPENDENT_READERS();
    SKIP_WITHOUT_FIXTURES();
    const ReaderCase cases[] = {
        // RAR 1.5-4.x
        {"rar3-subdirs.rar", {"file2.txt", "sub\\dir1"}},
        {"rar3-symlink-unix.rar", {"data.txt"}},
        {"rar3-readonly-win.rar", {"ro_dir\\ro_file.txt"}},
        {"unicode2.rar", {"уииоотивл.txt"}},
        {"test_read_format_rar.rar", {"testdir"}},
        {"test_read_format_rar_windows.rar", {"test.txt"}},
        {"test_read_format_rar_unicode.rar", {"表だよ\\新しいフォルダ"}},
        {"test_read_format_rar_encryption_data.rar", {"foo.txt"}},
        {"test_read_format_rar_encryption_partially.rar", {"foo.txt"}},
        {"test_read_format_rar4_encrypted.rar", {"b.txt", "c.txt"}},
        {"test_read_format_rar4_encrypted_filenames.rar", {"a.txt"}, "password"},
        {"test_read_format_rar_compress_normal.rar", {"testlink", "testdir\\test.txt"}},
        {"test_read_format_rar_compress_best.rar", {"LibarchiveAddingTest.html"}},
        {"test_read_format_rar_sfx.exe", {"testdir"}},
        {"rar15-comment.rar", {"FILE2.TXT"}},
        {"rar202-comment-nopsw.rar", {"FILE1.TXT"}},
        {"rar202-comment-psw.rar", {"FILE2.TXT"}},
        {"rar3-comment-plain.rar", {"file2.txt"}},
        {"rar3-comment-psw.rar", {"file1.txt"}},
        {"rar3-comment-hpsw.rar", {"file1.txt"}, "password"},
        {"rar3-solid.rar", {"stest2.txt"}},
        {"unicode.rar", {"𝐀𝐁𝐁𝐂.txt"}},
        {"test_read_format_rar4_solid_encrypted.rar", {"c.txt", "d.txt"}},
        {"zimuku-10-ass.rar", {"*简体.srt", "*.ass"}},
        // RAR5
        {"rar5-crc.rar", {"stest1.txt"}},
        {"rar5-blake.rar", {"stest2.txt"}},
        {"rar5-psw.rar", {"stest1.txt"}},
        {"rar5-hpsw.rar", {"stest2.txt"}, "password"},
        {"rar5-solid.rar", {"stest2.txt"}},
        {"rar5-subdirs.rar", {"sub\\empty", "file1.txt"}},
        {"rar5-symlink-win.rar", {"links"}},
        {"rar5-hlink.rar", {"stest3.txt"}},
        {"test_read_format_rar5_stored_manyfiles.rar", {"cebula.txt"}},
        {"test_read_format_rar5_multiple_files.rar", {"test2.bin"}},
        {"test_read_format_rar5_multiple_files_solid.rar", {"test3.bin", "test4.bin"}},
        {"test_read_format_rar5_unicode.rar", {"Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ.txt"}},
        {"test_read_format_rar5_win32.rar", {"testdir", "test1.bin"}},
        {"test_read_format_rar5_fileattr.rar", {"readonly.txt"}},
        {"test_read_format_rar5_symlink.rar", {"file.txt"}},
        {"test_read_format_rar5_encrypted.rar", {"b.txt"}},
        {"test_read_format_rar5_solid_encrypted.rar", {"d.txt"}},
        {"test_read_format_rar5_encrypted_filenames.rar", {"c.txt"}, "password"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        checkWithReaders(c, testsupport::fixture(c.file));
    }
}

TEST(IndependentReaders, Rar5QuickOpenAndRecoveryRecordAreDropped) {
    SKIP_WITHOUT_INDEPENDENT_READERS();
    // Crafted: a locator pointing at quick-open data and a recovery record, whose stale
    // copies would make readers see the deleted entry.
    using namespace testrar;
    Bytes locator = vint(1);
    append(locator, vint(3));
    append(locator, {0x80 | 100, 0x80, 0x00});
    append(locator, {0x80 | 120, 0x80, 0x00});
    Bytes extra = vint(locator.size());
    append(extra, locator);
    Bytes image = rar5Signature();
    append(image, rar5Main(0x0008, extra));
    append(image, rar5FileBlock({"a.txt", bytesOf("first file\n")}));
    append(image, rar5FileBlock({"b.txt", bytesOf("second file\n")}));
    append(image, rar5FileBlock({"QO", bytesOf("stale")}, 3));
    append(image, rar5FileBlock({"RR", bytesOf("stale")}, 3));
    append(image, rar5End());
    testsupport::TempDir dir;
    const auto path = dir.write("crafted.rar", std::string(image.begin(), image.end()));
    checkWithReaders({"crafted.rar", {"a.txt"}}, path);
}

// A d that cuts the archive in place and is killed between its two steps leaves the end
// block written over the first removed header and the removed bytes behind it: every
// reader lists exactly the kept entries there too.
TEST(IndependentReaders, ACutLeftHalfWayListsExactlyTheKeptEntries) {
    SKIP_WITHOUT_INDEPENDENT_READERS();
    SKIP_WITHOUT_FIXTURES();
    const ReaderCase cases[] = {
        {"rar3-comment-plain.rar", {"file2.txt"}},
        {"test_read_format_rar4_encrypted.rar", {"c.txt", "d.txt"}},
        {"rar15-comment.rar", {"FILE2.TXT"}},
        {"test_read_format_rar_sfx.exe", {"testemptydir"}},
        {"rar5-hlink.rar", {"stest3.txt"}},
        {"rar5-hpsw.rar", {"stest2.txt"}, "password"},
        {"test_read_format_rar5_multiple_files_solid.rar", {"test3.bin", "test4.bin"}},
        {"zimuku-10-ass.rar", {"*繁体&英文.ass"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const auto reference = dir / "reference" / c.file;
        const auto copy = dir / "copy" / c.file;
        for (const auto& p : {reference, copy}) {
            std::filesystem::create_directories(p.parent_path());
            std::filesystem::copy_file(testsupport::fixture(c.file), p);
            std::filesystem::permissions(p, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        }
        ASSERT_TRUE(testconsole::leaveCutHalfWay(copy, c.names, c.password));
        const auto bsdtarBefore = testconsole::bsdtarNames(reference);
        const auto lsarBefore = testconsole::lsarNames(reference, c.password);
        const auto sevenBefore = testconsole::sevenZipNames(reference, c.password);
        ASSERT_TRUE(bsdtarBefore || lsarBefore || sevenBefore) << "no reader reads the original";
        if (bsdtarBefore) {
            EXPECT_EQ(testconsole::bsdtarNames(copy), withoutMatches(*bsdtarBefore, c.names)) << "bsdtar";
        }
        if (lsarBefore) {
            EXPECT_EQ(testconsole::lsarNames(copy, c.password), withoutMatches(*lsarBefore, c.names)) << "lsar";
        }
        if (sevenBefore) {
            EXPECT_EQ(testconsole::sevenZipNames(copy, c.password), withoutMatches(*sevenBefore, c.names)) << "7z";
        }
    }
}

}  // namespace
