// d as a process: its texts, its exit codes, and what happens to the archive file.
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include <chrono>
#include <gtest/gtest.h>

#include "archiver/rar/archive_reader.h"
#include "platform/file_identity.h"
#include "platform/text_codec.h"
#include "tests/console/console_support.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/file_time.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::copyFixture;
using testconsole::readFile;
using testconsole::runMyrar;

std::vector<std::string> entryPaths(const std::filesystem::path& archive, const std::string& password = {}) {
    rar::ReadOptions options;
    options.password = password;
    std::vector<std::string> out;
    for (const auto& e : rar::readArchive(archive, options).archive.entries) out.push_back(e.path);
    return out;
}

// The last bytes of the output are the completion text itself, as the driver reads it.
bool endsWithDone(const std::string& raw) {
    const std::string done = "\n" + platform::utf8ToGb18030("完成").value();
    return raw.size() >= done.size() && raw.compare(raw.size() - done.size(), done.size(), done) == 0;
}

TEST(DeleteCommand, RemovesTheMatchedEntriesAndSaysSo) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto archive = copyFixture(dir, "rar3-subdirs.rar");
    const auto run = runMyrar({"d", "-y", "rar3-subdirs.rar", "FILE2.TXT", "sub/dir1"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.text.find("\r\n正在从 rar3-subdirs.rar 删除\r\n"
                            "正在删除 sub\\dir2\\file2.txt\r\n"
                            "正在删除 sub\\dir1\\file1.txt\r\n"
                            "正在删除 sub\\dir1\r\n"
                            "完成"),
              std::string::npos)
        << run.text;
    EXPECT_TRUE(endsWithDone(run.raw));
    EXPECT_EQ(entryPaths(archive), (std::vector<std::string>{"sub\\with space\\long fn.txt", "sub\\üȵĩöḋè\\file.txt",
                                                             "sub\\dir2", "sub\\with space", "sub\\empty",
                                                             "sub\\üȵĩöḋè", "sub"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "temporary file left";
}

TEST(DeleteCommand, NothingMatchedLeavesTheFileUntouched) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto archive = copyFixture(dir, "rar5-subdirs.rar");
    const std::pair<std::int64_t, long> old = {1600000000, 123456700};
    testsupport::setModificationTime(archive, old.first, old.second);
    const std::string before = readFile(archive);
    const auto run = runMyrar({"d", "-y", "rar5-subdirs.rar", "nothing.txt", "sub\\dir9"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.text.find("没有要文件的删除"), std::string::npos);
    EXPECT_EQ(run.text.find("完成"), std::string::npos);
    EXPECT_EQ(readFile(archive), before);
    EXPECT_EQ(testsupport::modificationTime(archive), old);
}

// The archive leaves its place for the trash (delete_emptied_test.cpp has the details).
TEST(DeleteCommand, RemovingEveryEntryErasesTheArchive) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* file : {"rar3-readonly-win.rar", "rar5-crc.rar", "test_read_format_rar5_sfx.exe"}) {
        SCOPED_TRACE(file);
        testsupport::TempDir dir;
        testsupport::TempDir dataHome;
        const testconsole::ScopedDataHome trashHere(dataHome.path());
        const auto archive = copyFixture(dir, file);
        const auto run = runMyrar({"d", "-y", file, "*"}, dir.path());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_NE(run.text.find(std::string("擦除空的压缩包 ") + file), std::string::npos) << run.text;
        EXPECT_TRUE(endsWithDone(run.raw));
        EXPECT_FALSE(std::filesystem::exists(archive));
    }
}

TEST(DeleteCommand, RefusalsLeaveTheArchiveAsItWas) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        std::vector<std::string> extra;
        int exitCode;
        const char* says;
    } cases[] = {
        {"rar15-comment-lock.rar", {"FILE1.TXT"}, 3, "已锁定"},
        {"rar3-vols.part1.rar", {"vols\\bigfile.txt"}, 8, "分卷压缩包"},
        {"rar5-vols.part1.rar", {"*"}, 8, "分卷压缩包"},
        {"rar3-solid.rar", {"stest1.txt"}, 8, "保留的 stest2.txt 要用到删除的 stest1.txt"},
        {"rar5-solid.rar", {"stest1.txt"}, 8, "固实压缩包"},
        {"test_read_format_rar4_solid_encrypted.rar", {"b.txt"}, 8, "固实压缩包"},
        {"test_read_format_rar_invalid1.rar", {"test"}, 4, "已损坏"},
        {"test_read_splitted_rar_aa", {"test.txt"}, 4, "已损坏"},
        {"rar5-hlink.rar", {"stest1.txt"}, 8, "保留的 stest2.txt 是删除的 stest1.txt 的链接"},
        {"test_read_format_rar5_unicode.rar", {"👋🌎.txt"}, 8, "的链接"},
        {"rar5-hpsw.rar", {"stest1.txt"}, 2, "需要用 -p<密码> 给出密码"},
        {"rar5-hpsw.rar", {"-pwrong", "stest1.txt"}, 2, "密码错误"},
        {"rar3-comment-hpsw.rar", {"-pwrong", "file1.txt"}, 2, "密码错误"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const auto archive = copyFixture(dir, c.file);
        const std::string before = readFile(archive);
        std::vector<std::string> args = {"d", "-y", c.file};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const auto run = runMyrar(args, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.text;
        EXPECT_NE(run.text.find(c.says), std::string::npos) << run.text;
        EXPECT_EQ(run.text.find("完成"), std::string::npos);
        EXPECT_EQ(readFile(archive), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

// A volume in which none of the names occurs has nothing to delete, like any archive; one
// in which a name occurs cannot be rewritten, as a volume, and is refused.
TEST(DeleteCommand, AVolumeWithoutTheNamesHasNothingToDelete) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        const char* name;
        int exitCode;
        const char* says;
    } cases[] = {
        {"rar3-vols.part1.rar", "vols\\smallfile.txt", 1, "没有要文件的删除"},
        {"rar3-vols.part2.rar", "nothing.txt", 1, "没有要文件的删除"},
        {"rar3-vols.part3.rar", "vols\\smallfile.txt", 8, "分卷压缩包"},
        {"rar5-vols.part1.rar", "smallfile.txt", 1, "没有要文件的删除"},
        {"rar5-vols.part2.rar", "bigfile.txt", 8, "分卷压缩包"},
        {"rar5-vols.part3.rar", "*.txt", 8, "分卷压缩包"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name);
        testsupport::TempDir dir;
        const auto archive = copyFixture(dir, c.file);
        const std::string before = readFile(archive);
        const auto run = runMyrar({"d", c.file, c.name}, dir.path());
        EXPECT_EQ(run.exitCode, c.exitCode) << run.text;
        EXPECT_NE(run.text.find(c.says), std::string::npos) << run.text;
        EXPECT_EQ(run.text.find("正在删除 "), std::string::npos) << run.text;
        EXPECT_EQ(readFile(archive), before);
    }
}

TEST(DeleteCommand, EncryptedDataNeedsNoPasswordButEncryptedHeadersDo) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        const char* password;
        const char* name;
        std::vector<std::string> remaining;
    } cases[] = {
        {"test_read_format_rar4_encrypted.rar", nullptr, "b.txt", {"a.txt", "c.txt", "d.txt"}},
        {"test_read_format_rar5_encrypted.rar", nullptr, "d.txt", {"a.txt", "b.txt", "c.txt"}},
        {"rar3-comment-hpsw.rar", "password", "file2.txt", {"file1.txt"}},
        {"test_read_format_rar5_encrypted_filenames.rar", "password", "b.txt", {"a.txt", "c.txt", "d.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const auto archive = copyFixture(dir, c.file);
        std::vector<std::string> args = {"d", c.file, c.name};
        if (c.password) args.push_back(std::string("-p") + c.password);
        const auto run = runMyrar(args, dir.path());
        EXPECT_EQ(run.exitCode, 0) << run.text;
        EXPECT_EQ(entryPaths(archive, c.password ? c.password : ""), c.remaining);
    }
}

TEST(DeleteCommand, KeepsThePermissionsAndRefusesReadOnlyFiles) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto archive = copyFixture(dir, "test_read_format_rar.rar");
#ifdef _WIN32
    // Windows keeps no mode bits; what a rewrite must carry over are the attributes.
    ASSERT_TRUE(::SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    auto run = runMyrar({"d", "test_read_format_rar.rar", "testlink"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(::GetFileAttributesW(archive.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY), DWORD{FILE_ATTRIBUTE_HIDDEN});

    ASSERT_TRUE(::SetFileAttributesW(archive.c_str(), FILE_ATTRIBUTE_READONLY));
#else
    ::chmod(archive.c_str(), 0640);
    auto run = runMyrar({"d", "test_read_format_rar.rar", "testlink"}, dir.path());
    EXPECT_EQ(run.exitCode, 0);
    struct stat st {};
    ASSERT_EQ(::stat(archive.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    ::chmod(archive.c_str(), 0444);
#endif
    const std::string before = readFile(archive);
    run = runMyrar({"d", "test_read_format_rar.rar", "test.txt"}, dir.path());
    EXPECT_EQ(run.exitCode, 5);
    EXPECT_NE(run.text.find("只读"), std::string::npos);
    EXPECT_EQ(readFile(archive), before);
}

TEST(DeleteCommand, NamesFromListFilesAndAfterTheSwitchEnd) {
    using namespace testrar;
    std::vector<Bytes> blocks;
    for (const char* name : {"-dash.txt", "@at.txt", "文件.txt", "keep.txt", "sub\\文件.txt"})
        blocks.push_back(rar4FileBlock({name, bytesOf("data")}));
    const Bytes image = rar4Archive(blocks);
    const struct {
        const char* what;
        std::vector<std::string> args;
        std::string listFile;
        std::vector<std::string> remaining;
    } cases[] = {
        {"GB18030 list file", {"@names.lst"}, "\xCE\xC4\xBC\xFE.txt\r\n", {"-dash.txt", "@at.txt", "keep.txt"}},
        {"UTF-8 list file with a byte-order mark", {"@names.lst"}, "\xEF\xBB\xBFsub\\文件.txt\n",
         {"-dash.txt", "@at.txt", "文件.txt", "keep.txt"}},
        {"names after --", {"--", "-dash.txt", "@at.txt"}, "", {"文件.txt", "keep.txt", "sub\\文件.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        const auto archive = dir.write("x.rar", std::string(image.begin(), image.end()));
        dir.write("names.lst", c.listFile);
        std::vector<std::string> args = {"d", "x.rar"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto run = runMyrar(args, dir.path());
        EXPECT_EQ(run.exitCode, 0) << run.text;
        EXPECT_EQ(entryPaths(archive), c.remaining);
    }
}

TEST(DeleteCommand, StaleTemporaryFilesOfKilledRunsAreRemoved) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    copyFixture(dir, "rar5-subdirs.rar");
    // Process id 999999999 does not exist.
    dir.write(".rar5-subdirs.rar.999999999.pmbtmp", "half written");
    const auto run = runMyrar({"d", "rar5-subdirs.rar", "nothing"}, dir.path());
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / ".rar5-subdirs.rar.999999999.pmbtmp"));
}

// Removing the last entries cuts the archive short where it lies; another name linked to
// the archive keeps the original, as after a rewrite, and so the rewrite is used then.
TEST(DeleteCommand, EntriesAtTheEndAreCutOffInPlaceUnlessTheFileIsShared) {
    SKIP_WITHOUT_FIXTURES();
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "linked under another name" : "one name");
        testsupport::TempDir dir;
        const auto archive = copyFixture(dir, "test_read_format_rar4_encrypted.rar");
        const std::string before = readFile(archive);
        if (linked) std::filesystem::create_hard_link(archive, dir / "other-name.rar");
        const auto was = platform::fileIdentity(archive);
        ASSERT_TRUE(was) << was.message();
        const auto run = runMyrar({"d", "-y", "test_read_format_rar4_encrypted.rar", "c.txt", "d.txt"}, dir.path());
        EXPECT_EQ(run.exitCode, 0) << run.text;
        EXPECT_NE(run.text.find("正在删除 c.txt\r\n正在删除 d.txt\r\n完成"), std::string::npos) << run.text;
        EXPECT_EQ(entryPaths(archive), (std::vector<std::string>{"a.txt", "b.txt"}));
        const auto now = platform::fileIdentity(archive);
        ASSERT_TRUE(now) << now.message();
        EXPECT_EQ(*now == *was, !linked) << "cut in place, or rewritten";
        if (linked) {
            EXPECT_EQ(readFile(dir / "other-name.rar"), before);
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), linked ? 2 : 1) << "temporary file left";
    }
}

// A run killed between writing the end block and cutting the file leaves an archive of the
// kept entries with the removed bytes behind it; the same command run again finds nothing
// left to delete and finishes the cut.
TEST(DeleteCommand, ACutInterruptedHalfWayIsFinishedByTheNextRun) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* file : {"rar3-comment-plain.rar", "test_read_format_rar5_multiple_files_solid.rar"}) {
        SCOPED_TRACE(file);
        testsupport::TempDir dir;
        const auto archive = copyFixture(dir, file);
        const auto complete = dir / "complete.rar";
        std::filesystem::copy_file(archive, complete);
        const std::vector<std::string> names = {std::string(file).find("rar5") != std::string::npos ? "test4.bin" : "file2.txt"};
        std::vector<std::string> args = {"d", "-y", "complete.rar"};
        args.insert(args.end(), names.begin(), names.end());
        ASSERT_EQ(runMyrar(args, dir.path()).exitCode, 0);

        ASSERT_TRUE(testconsole::leaveCutHalfWay(archive, names));
        EXPECT_EQ(entryPaths(archive), entryPaths(complete));
        EXPECT_GT(std::filesystem::file_size(archive), std::filesystem::file_size(complete));
        args[2] = file;
        const auto run = runMyrar(args, dir.path());
        EXPECT_EQ(run.exitCode, 1) << run.text;
        EXPECT_NE(run.text.find("没有要文件的删除"), std::string::npos) << run.text;
        EXPECT_EQ(readFile(archive), readFile(complete));
    }
}

}  // namespace
