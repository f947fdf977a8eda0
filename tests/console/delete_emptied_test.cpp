// d that leaves no entry: the archive is never destroyed. The original, every byte of it,
// goes to the trash; where no trash takes it, it stays as a valid archive without entries
// that keeps its archive comment.
#include <gtest/gtest.h>

#include "archiver/rar/archive_reader.h"
#include "platform/file.h"
#include "platform/trash.h"
#include "tests/console/console_support.h"
#include "tests/support/fixtures.h"

namespace {

using testconsole::copyFixture;
using testconsole::readFile;
using testconsole::runMyrar;

// Archives that lose every entry to the names: ones that hold nothing but the unwanted
// file, one without an end block, one with an archive comment, RAR5, a self-extractor.
const struct EmptiedCase {
    const char* file;
    std::vector<std::string> names;
} kEmptied[] = {
    {"test_read_format_rar_noeof.rar", {"*"}},
    {"test_read_format_rar_subblock.rar", {"*.*"}},
    {"test_read_format_rar.rar", {"*"}},
    {"rar3-readonly-win.rar", {"*"}},
    {"rar5-crc.rar", {"*"}},
    {"test_read_format_rar5_stored.rar", {"*"}},
    {"test_read_format_rar5_sfx.exe", {"*"}},
};

TEST(DeleteEmptied, TheOriginalGoesToTheTrashWholeAndTheLinesSaySo) {
    SKIP_WITHOUT_FIXTURES();
    for (const auto& c : kEmptied) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const testconsole::ScopedDataHome dataHome(dir / "data");
        std::filesystem::create_directory(dir / "work");
        const auto archive = dir / "work" / c.file;
        std::filesystem::copy_file(testsupport::fixture(c.file), archive);
        std::filesystem::permissions(archive, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        const std::string before = readFile(archive);
        std::vector<std::string> args = {"d", "-y", c.file};
        args.insert(args.end(), c.names.begin(), c.names.end());
        const auto run = runMyrar(args, dir / "work");
        EXPECT_EQ(run.exitCode, 0) << run.text;
        EXPECT_FALSE(std::filesystem::exists(archive));
#ifdef _WIN32
        // The recycle bin says where the file went only through the newer shell interface.
        EXPECT_NE(run.text.find(std::string("\r\n擦除空的压缩包 ") + c.file + "\r\n已移到回收站"), std::string::npos) << run.text;
#else
        const auto trashed = dir / "data" / "Trash" / "files" / c.file;
        const std::string said = std::string("\r\n擦除空的压缩包 ") + c.file + "\r\n已移到回收站 " +
                                 platform::utf8FromPath(trashed) + "\r\n完成";
        ASSERT_GE(run.text.size(), said.size());
        EXPECT_EQ(run.text.substr(run.text.size() - said.size()), said) << run.text;
        EXPECT_EQ(readFile(trashed), before);
        const auto record = platform::trashRecordOf(trashed);
        EXPECT_TRUE(std::filesystem::exists(record.info)) << record.info;
        ASSERT_TRUE(platform::restoreFromTrash(record, archive));
        EXPECT_EQ(readFile(archive), before);
#endif
    }
}

#ifndef _WIN32
// A trash that cannot be made (a plain file where its folder would be) leaves the archive
// in place without entries: readable by every reader, its comment kept, nothing left over.
TEST(DeleteEmptied, WithoutATrashTheArchiveStaysWithoutEntries) {
    SKIP_WITHOUT_FIXTURES();
    for (const auto& c : kEmptied) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const testconsole::ScopedDataHome dataHome(dir / "data");
        dir.write("data/Trash", "not a folder");
        std::filesystem::create_directory(dir / "work");
        const auto archive = dir / "work" / c.file;
        std::filesystem::copy_file(testsupport::fixture(c.file), archive);
        std::filesystem::permissions(archive, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        const auto was = rar::readArchive(archive, rar::ReadOptions{});
        ASSERT_FALSE(was.problem);
        const auto namesOf = [&](const std::string& reader) {
            return reader == "lsar" ? testconsole::lsarNames(archive) : testconsole::bsdtarNames(archive);
        };
        // The other readers are asked about the result where they read the original.
        std::vector<std::string> readers;
        for (const char* reader : {"lsar", "bsdtar"})
            if (namesOf(reader)) readers.push_back(reader);
        std::vector<std::string> args = {"d", c.file};
        args.insert(args.end(), c.names.begin(), c.names.end());
        const auto run = runMyrar(args, dir / "work");
        EXPECT_EQ(run.exitCode, 0) << run.text;
        const std::string said = std::string("\r\n擦除空的压缩包 ") + c.file + "\r\n回收站无法接收，已保留为不含文件的压缩包 " +
                                 c.file + "\r\n完成";
        ASSERT_GE(run.text.size(), said.size());
        EXPECT_EQ(run.text.substr(run.text.size() - said.size()), said) << run.text;

        const auto now = rar::readArchive(archive, rar::ReadOptions{});
        EXPECT_FALSE(now.problem) << now.problem->detail;
        EXPECT_TRUE(now.archive.entries.empty());
        EXPECT_EQ(now.archive.format, was.archive.format);
        EXPECT_EQ(now.archive.comment, was.archive.comment);
        EXPECT_EQ(now.archive.signatureOffset, was.archive.signatureOffset) << "a self-extractor keeps its program";

        const auto listing = runMyrar({"v", c.file}, dir / "work");
        EXPECT_EQ(listing.exitCode, 0) << listing.text;
        EXPECT_NE(listing.text.find("\r\n  0 文件\r\n"), std::string::npos) << listing.text;
        for (const std::string& reader : readers) {
            const auto names = namesOf(reader);
            ASSERT_TRUE(names) << reader << " cannot read it";
            EXPECT_TRUE(names->empty()) << reader;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir / "work"), {}), 1) << "temporary file left";
    }
}
#endif

}  // namespace
