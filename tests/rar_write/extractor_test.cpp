#include "archiver/rar/extractor.h"

#include <gtest/gtest.h>

#include <map>

#include "archiver/rar/crc32.h"
#include "archiver/rar/extractor_libarchive.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "hex.h"
#include "platform/paths.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "extract_test_support.h"
#include "write_test_support.h"

using namespace rarwritetest;
using testsupport::TempDir;

namespace {

std::filesystem::path makeSample(const TempDir& dir, const std::string& password = {}) {
    const auto a = dir.write("src/a.txt", "hello world\n");
    const auto b = dir.write("src/子目录/文件2.exe", std::string(300000, 'q'));
    const auto c = dir.write("src/👋🌎.txt", "wave");
    std::filesystem::create_directories(dir / "src/空目录");
    setMtime(a, 1714979291, 250000000);
    const auto archive = dir / "sample.rar";
    const rar::Rar4AddItem items[] = {
        fileItem(a, "a.txt"), folderItem(dir / "src/子目录", "子目录"), fileItem(b, "子目录\\文件2.exe"),
        fileItem(c, "👋🌎.txt"), folderItem(dir / "src/空目录", "空目录"),
    };
    rar::Rar4AddOptions opt;
    opt.password = password;
    EXPECT_TRUE(rar::addToRar4Archive(archive, items, opt));
    return archive;
}

TEST(Extractor, KeepsFoldersTimesAndBytes) {
    TempDir dir;
    const auto archive = makeSample(dir);
    const auto out = dir / "out";
    std::filesystem::create_directories(out);
    auto r = rar::extractEntries(archive, into(out));
    ASSERT_TRUE(r.ok()) << r.message();
    EXPECT_TRUE(r->allOk());
    EXPECT_EQ(r->selected, 5u);
    EXPECT_EQ(r->extracted, 5u);
    EXPECT_EQ(readText(out / "a.txt"), "hello world\n");
    EXPECT_EQ(readText(out / platform::pathFromUtf8("子目录/文件2.exe")), std::string(300000, 'q'));
    EXPECT_EQ(readText(out / platform::pathFromUtf8("👋🌎.txt")), "wave");
    EXPECT_TRUE(std::filesystem::is_directory(out / platform::pathFromUtf8("空目录")));
    const auto [seconds, nanoseconds] = mtimeOf(out / "a.txt");
    EXPECT_EQ(seconds, 1714979291);  // the odd second comes back from EXT_TIME
    EXPECT_EQ(nanoseconds, 250000000);
}

TEST(Extractor, FlatLayoutPutsEveryFileInOneFolder) {
    TempDir dir;
    const auto archive = makeSample(dir);
    const auto out = dir / "flat";
    std::filesystem::create_directories(out);
    auto r = rar::extractEntries(archive, into(out, false));
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->allOk());
    EXPECT_EQ(r->selected, 3u) << "folders are not extracted without paths";
    EXPECT_TRUE(std::filesystem::exists(out / platform::pathFromUtf8("文件2.exe")));
    EXPECT_FALSE(std::filesystem::exists(out / platform::pathFromUtf8("子目录")));
    EXPECT_FALSE(std::filesystem::exists(out / platform::pathFromUtf8("空目录")));
}

TEST(Extractor, SelectionAndOverwrite) {
    TempDir dir;
    const auto archive = makeSample(dir);
    const auto out = dir / "sel";
    std::filesystem::create_directories(out);
    dir.write("sel/a.txt", "old");
    auto opt = into(out);
    opt.overwrite = false;
    opt.select = [](const rar::Entry& e) { return e.path == "a.txt" || e.path == "👋🌎.txt"; };
    Failures f;
    auto r = rar::extractEntries(archive, opt, &f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r->selected, 2u);
    EXPECT_EQ(r->extracted, 1u);
    EXPECT_EQ(f.byEntry["a.txt"], rar::EntryFailure::Exists);
    EXPECT_EQ(readText(out / "a.txt"), "old");
    EXPECT_FALSE(std::filesystem::exists(out / platform::pathFromUtf8("子目录")));

    opt.overwrite = true;
    r = rar::extractEntries(archive, opt);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->allOk());
    EXPECT_EQ(readText(out / "a.txt"), "hello world\n");
}

TEST(Extractor, EncryptedStoredEntriesNeedTheRightPassword) {
    TempDir dir;
    const auto archive = makeSample(dir, "tz5083");
    struct Case {
        const char* password;
        rar::EntryFailure failure;
    };
    const Case cases[] = {{"tz5083", rar::EntryFailure::None},
                          {"tz5084", rar::EntryFailure::BadChecksum},
                          {"", rar::EntryFailure::PasswordMissing}};
    for (const auto& c : cases) {
        TempDir outDir;
        Failures f;
        auto r = rar::extractEntries(archive, into(outDir.path(), true, c.password), &f);
        ASSERT_TRUE(r.ok());
        if (c.failure == rar::EntryFailure::None) {
            EXPECT_TRUE(r->allOk()) << c.password;
            EXPECT_EQ(readText(outDir / "a.txt"), "hello world\n");
        } else {
            EXPECT_EQ(f.byEntry.size(), 3u) << c.password;
            EXPECT_EQ(f.byEntry["a.txt"], c.failure) << c.password;
            // A file that fails its check is not left behind.
            EXPECT_FALSE(std::filesystem::exists(outDir / "a.txt")) << c.password;
        }
    }
}

TEST(Extractor, RefusesPathsOutsideTheDestination) {
    TempDir dir;
    const auto archive = CraftedArchive()
                             .add("..\\evil1.txt", "x")
                             .add("sub\\..\\..\\evil2.txt", "x")
                             .add("\\evil3.txt", "x")
                             .add("C:\\evil4.txt", "x")
                             .add("c:evil5.txt", "x")
                             .add("/evil6.txt", "x")
                             .add("ok\\.\\fine.txt", "fine")
                             .writeTo(dir, "bad.rar");
    const auto out = dir / "deep/out";
    std::filesystem::create_directories(out);
    for (bool keep : {true, false}) {
        Failures f;
        auto r = rar::extractEntries(archive, into(out, keep), &f);
        ASSERT_TRUE(r.ok());
        EXPECT_EQ(f.byEntry.size(), 6u);
        for (const auto& [name, why] : f.byEntry) EXPECT_EQ(why, rar::EntryFailure::UnsafePath) << name;
    }
    EXPECT_EQ(readText(out / "ok/fine.txt"), "fine");
    for (const char* evil : {"evil1.txt", "evil2.txt", "evil3.txt", "evil4.txt", "evil5.txt", "evil6.txt"}) {
        EXPECT_FALSE(std::filesystem::exists(dir / "deep" / evil));
        EXPECT_FALSE(std::filesystem::exists(dir / evil));
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::path("/") / evil));
    }
}

TEST(Extractor, CorruptStoredDataFailsItsCheck) {
    TempDir dir;
    const auto archive = CraftedArchive().add("a.txt", "hello").writeTo(dir, "c.rar");
    auto bytes = readBytes(archive);
    bytes[bytes.size() - 7 - 1] ^= 0x01;  // last data byte
    dir.write("c.rar", std::string(bytes.begin(), bytes.end()));
    Failures f;
    auto r = rar::extractEntries(archive, into(dir / "."), &f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(f.byEntry["a.txt"], rar::EntryFailure::BadChecksum);
    EXPECT_FALSE(std::filesystem::exists(dir / "a.txt"));
}

TEST(Extractor, WholeArchiveFailures) {
    TempDir dir;
    const auto text = dir.write("x.rar", "not an archive");
    EXPECT_FALSE(rar::extractEntries(text, into(dir.path())).ok());
    EXPECT_FALSE(rar::extractEntries(dir / "missing.rar", into(dir.path())).ok());
}

TEST(Extractor, CompressedEntriesWithoutDecompressor) {
    SKIP_WITHOUT_FIXTURES();
    if (rar::LibarchiveReader::available()) GTEST_SKIP() << "this build decompresses through libarchive";
    TempDir out;
    Failures f;
    auto r = rar::extractEntries(testsupport::fixture("test_read_format_rar4_encrypted.rar"),
                                 into(out.path(), true, "password"), &f);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(readText(out / "a.txt"), "This is from a.txt") << "stored entries need no decompressor";
    ASSERT_EQ(f.byEntry.count("b.txt"), 1u);
    EXPECT_EQ(f.byEntry["b.txt"], rar::EntryFailure::UnsupportedCompression);
}

TEST(Extractor, RarMadeEncryptedFixtures) {
    SKIP_WITHOUT_FIXTURES();
    if (!rar::LibarchiveReader::available()) GTEST_SKIP() << "no decompressor in this build";
    struct Case {
        const char* fixture;
        const char* password;
        std::map<std::string, std::string> files;          // extracted with this content
        std::map<std::string, rar::EntryFailure> failing;  // and these fail
    };
    const Case cases[] = {
        // b.txt: compressed and AES-encrypted, decrypted by us, unpacked by libarchive.
        {"test_read_format_rar4_encrypted.rar", "password",
         {{"a.txt", "This is from a.txt"}, {"b.txt", "This is from b.txt"}, {"c.txt", "This is from c.txt"}},
         {{"d.txt", rar::EntryFailure::BadChecksum}}},
        {"test_read_format_rar4_encrypted.rar", "password2",
         {{"d.txt", "This is from d.txt"}},
         {{"b.txt", rar::EntryFailure::BadChecksum}}},
        // RAR5: the password check value says "wrong" before any byte is written.
        {"rar5-psw.rar", "wrong", {}, {{"stest2.txt", rar::EntryFailure::WrongPassword}}},
        // Compressed RAR5 data decrypted by us, its padding cut off, unpacked by libarchive.
        {"test_read_format_rar5_encrypted.rar", "password",
         {{"a.txt", "This is from a.txt"}, {"b.txt", "This is from b.txt"}, {"c.txt", "This is from c.txt"}},
         {{"d.txt", rar::EntryFailure::WrongPassword}}},
        // Header encryption: the entries open with the same password.
        {"test_read_format_rar4_encrypted_filenames.rar", "password",
         {{"a.txt", "This is from a.txt"}, {"d.txt", "This is from d.txt"}}, {}},
        // Solid and encrypted: only the first entry stands on its own.
        {"test_read_format_rar4_solid_encrypted.rar", "password", {{"a.txt", "This is from a.txt"}},
         {{"b.txt", rar::EntryFailure::UnsupportedCompression}}},
    };
    for (const auto& c : cases) {
        TempDir out;
        Failures f;
        auto r = rar::extractEntries(testsupport::fixture(c.fixture), into(out.path(), true, c.password), &f);
        ASSERT_TRUE(r.ok()) << c.fixture << ": " << r.message();
        for (const auto& [name, content] : c.files) EXPECT_EQ(readText(out / name), content) << c.fixture << " " << name;
        for (const auto& [name, why] : c.failing) EXPECT_EQ(f.byEntry[name], why) << c.fixture << " " << name;
    }
    // Both entries (one stored, one compressed) decrypt and their keyed CRCs match.
    TempDir out;
    Failures f;
    auto r = rar::extractEntries(testsupport::fixture("rar5-psw.rar"), into(out.path(), true, "password"), &f);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r->allOk());
    EXPECT_EQ(rar::crc32(readBytes(out / "stest1.txt")), 0xC5B7E6A2u);
    EXPECT_EQ(rar::crc32(readBytes(out / "stest2.txt")), 0xC5B7E6A2u);
}

}  // namespace
