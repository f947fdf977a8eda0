#include "archiver/rar/rar4_writer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "archiver/rar/crc32.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "hex.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "write_test_support.h"

using namespace rarwritetest;
using testsupport::TempDir;

namespace {

void setZone(const char* tz) {
#ifdef _WIN32
    _putenv_s("TZ", tz ? tz : "");
    _tzset();
#else
    if (tz)
        ::setenv("TZ", tz, 1);
    else
        ::unsetenv("TZ");
    ::tzset();
#endif
}

// DOS times are local; the golden bytes were made for UTC.
class UtcZone {
public:
    UtcZone() {
        const char* old = std::getenv("TZ");
        if (old) saved_ = old;
        hadTz_ = old != nullptr;
        setZone("UTC0");
    }
    ~UtcZone() { setZone(hadTz_ ? saved_.c_str() : nullptr); }

private:
    std::string saved_;
    bool hadTz_ = false;
};

constexpr std::int64_t k20240506_070810 = 1714979290;

const char* const kEmptyImage = "526172211A0700CF907300000D00000000000000";

struct Recorder : rar::Rar4AddObserver {
    std::vector<int> percents;
    std::vector<std::string> started, replaced;
    void progress(int p) override { percents.push_back(p); }
    void itemStarted(const rar::Rar4AddItem& i) override { started.push_back(i.storedName); }
    void entryReplaced(const std::string& n) override { replaced.push_back(n); }
};

TEST(Rar4Writer, NewArchiveMatchesGoldenBytes) {
    UtcZone utc;
    TempDir dir;
    const auto src = dir.write("a.txt", "hello world\n");
    setMtime(src, k20240506_070810);
    const auto archive = dir / "out.rar";
    const rar::Rar4AddItem items[] = {fileItem(src, "a.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, {}));
    EXPECT_EQ(toHex(readBytes(archive)),
              toHex(fromHex("526172211A0700 CF907300000D00000000000000"
                            "CB65 74 0080 2500 0C000000 0C000000 02 2D3B08AF 0539A658 1D 30 0500 20000000 612E747874"
                            "68656C6C6F20776F726C640A C43D7B00400700")));
}

TEST(Rar4Writer, EntriesReadBackWithNamesSizesTimesAndAttributes) {
    TempDir dir;
    const auto a = dir.write("src/a.txt", "hello world\n");
    const auto cn = dir.write("src/子目录/文件2.exe", std::string(100000, 'x'));
    const auto emoji = dir.write("src/👋🌎.txt", "wave");
    const auto empty = dir.write("src/空.txt", "");
    std::filesystem::create_directories(dir / "src/空目录");
    setMtime(a, k20240506_070810 + 1, 500000000);  // odd second and a fraction: EXT_TIME
    std::filesystem::permissions(empty, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);

    const auto archive = dir / "out.rar";
    const rar::Rar4AddItem items[] = {
        fileItem(a, "a.txt"),
        folderItem(dir / "src/子目录", "子目录"),
        fileItem(cn, "子目录\\文件2.exe"),
        fileItem(emoji, "👋🌎.txt"),
        fileItem(empty, "空.txt"),
        folderItem(dir / "src/空目录", "空目录"),
    };
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, {}));

    auto read = readBack(archive);
    ASSERT_FALSE(read.problem) << read.problem->detail;
    EXPECT_TRUE(read.archive.hasEndBlock);
    ASSERT_EQ(entryPaths(read.archive),
              (std::vector<std::string>{"a.txt", "子目录", "子目录\\文件2.exe", "👋🌎.txt", "空.txt", "空目录"}));
    const auto& e = read.archive.entries;
    EXPECT_EQ(e[0].crc32, rar::crc32(bytesOf("hello world\n")));
    EXPECT_EQ(e[0].unpackedSize, 12u);
    EXPECT_EQ(e[0].method, 0u);
    EXPECT_EQ(e[0].version, 29u);
    EXPECT_EQ(e[0].hostOs, 2u);
    EXPECT_EQ(e[0].attributes, 0x20u);
    EXPECT_TRUE(e[1].isDirectory);
    EXPECT_EQ(e[1].attributes & 0x10, 0x10u);
    EXPECT_EQ(e[1].version, 20u);
    EXPECT_EQ(e[2].unpackedSize, 100000u);
    EXPECT_EQ(e[4].unpackedSize, 0u);
    EXPECT_EQ(e[4].attributes & 0x01, 0x01u) << "read-only survives";
    EXPECT_TRUE(e[5].isDirectory);
    for (const auto& entry : e) EXPECT_FALSE(entry.encrypted);

    // The odd second and the fraction sit in EXT_TIME after the name.
    auto bytes = readBytes(archive);
    const std::size_t h = 20;
    auto ext = rar::decodeRar4ExtMtime(std::span(bytes).subspan(h, 32 + 5 + 5));
    ASSERT_TRUE(ext);
    EXPECT_TRUE(ext->oddSecond);
    EXPECT_EQ(ext->fraction100ns, 5000000u);
}

TEST(Rar4Writer, UpdatesEmptyArchiveImage) {
    TempDir dir;
    const auto archive = dir.write("empty.rar", std::string(reinterpret_cast<const char*>(fromHex(kEmptyImage).data()), 20));
    const auto src = dir.write("文件1.txt", "data");
    const rar::Rar4AddItem items[] = {fileItem(src, "文件1.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, {}));
    auto bytes = readBytes(archive);
    EXPECT_EQ(toHex(std::span(bytes).first(20)), toHex(fromHex(kEmptyImage)));
    EXPECT_EQ(toHex(std::span(bytes).last(7)), toHex(rar::kRar4EndBlock));
    auto read = readBack(archive);
    ASSERT_FALSE(read.problem);
    EXPECT_EQ(entryPaths(read.archive), std::vector<std::string>{"文件1.txt"});
}

TEST(Rar4Writer, SameNameReplacesTheOldEntry) {
    TempDir dir;
    const auto archive = dir / "out.rar";
    const auto v1 = dir.write("v1/a.txt", "first version");
    const auto b = dir.write("v1/b.txt", "bbb");
    const rar::Rar4AddItem first[] = {fileItem(v1, "a.txt"), fileItem(b, "Sub\\B.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, first, {}));

    const auto v2 = dir.write("v2/a.txt", "second, longer version");
    const auto c = dir.write("v2/c.txt", "c");
    Recorder rec;
    // Case and separator differences name the same entry.
    const rar::Rar4AddItem second[] = {fileItem(v2, "A.TXT"), fileItem(c, "c.txt"), fileItem(b, "sub/b.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, second, {}, &rec));
    EXPECT_EQ(rec.replaced, (std::vector<std::string>{"a.txt", "Sub\\B.txt"}));

    auto read = readBack(archive);
    ASSERT_FALSE(read.problem);
    ASSERT_EQ(entryPaths(read.archive), (std::vector<std::string>{"A.TXT", "c.txt", "sub\\b.txt"}));
    EXPECT_EQ(read.archive.entries[0].unpackedSize, 22u);
    EXPECT_EQ(read.archive.entries[0].crc32, rar::crc32(bytesOf("second, longer version")));
}

TEST(Rar4Writer, LaterDuplicateInOneCallWins) {
    TempDir dir;
    const auto archive = dir / "out.rar";
    const auto x = dir.write("x.txt", "x");
    const auto y = dir.write("y.txt", "yy");
    const rar::Rar4AddItem items[] = {fileItem(x, "n.txt"), fileItem(y, "N.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, {}));
    auto read = readBack(archive);
    ASSERT_EQ(read.archive.entries.size(), 1u);
    EXPECT_EQ(read.archive.entries[0].unpackedSize, 2u);
}

TEST(Rar4Writer, EncryptedEntriesCarrySaltAndPaddedData) {
    TempDir dir;
    const auto archive = dir / "out.rar";
    const auto s = dir.write("secret.txt", "this is secret data, 37 bytes long!!\n");
    const auto e = dir.write("empty.txt", "");
    std::filesystem::create_directories(dir / "d");
    const rar::Rar4AddItem items[] = {fileItem(s, "secret.txt"), fileItem(e, "empty.txt"), folderItem(dir / "d", "d")};
    rar::Rar4AddOptions opt;
    opt.password = "tz5083";
    ASSERT_TRUE(rar::addToRar4Archive(archive, items, opt));
    auto read = readBack(archive);
    ASSERT_FALSE(read.problem);
    ASSERT_EQ(read.archive.entries.size(), 3u);
    const auto& secret = read.archive.entries[0];
    EXPECT_TRUE(secret.encrypted);
    EXPECT_TRUE(secret.hasSalt);
    EXPECT_EQ(secret.packedSize, 48u);
    EXPECT_EQ(secret.unpackedSize, 37u);
    EXPECT_EQ(secret.version, 29u);
    EXPECT_EQ(secret.crc32, 0x3C07E325u);
    EXPECT_TRUE(read.archive.entries[1].encrypted);
    EXPECT_EQ(read.archive.entries[1].packedSize, 0u);
    // Folders carry no data: left unencrypted.
    EXPECT_FALSE(read.archive.entries[2].encrypted);
    // The data is not the plaintext.
    const auto bytes = readText(archive);
    EXPECT_EQ(bytes.find("secret data"), std::string::npos);
}

TEST(Rar4Writer, ProgressGrowsToHundred) {
    TempDir dir;
    const auto big = dir.write("big.bin", std::string(5 << 20, 'b'));
    const auto small = dir.write("small.bin", "s");
    Recorder rec;
    const rar::Rar4AddItem items[] = {fileItem(big, "big.bin"), fileItem(small, "small.bin")};
    ASSERT_TRUE(rar::addToRar4Archive(dir / "out.rar", items, {}, &rec));
    ASSERT_GE(rec.percents.size(), 3u);
    EXPECT_TRUE(std::is_sorted(rec.percents.begin(), rec.percents.end()));
    EXPECT_EQ(std::adjacent_find(rec.percents.begin(), rec.percents.end()), rec.percents.end());
    EXPECT_EQ(rec.percents.back(), 100);
    EXPECT_EQ(rec.started, (std::vector<std::string>{"big.bin", "small.bin"}));
}

TEST(Rar4Writer, FailureLeavesArchiveUntouched) {
    TempDir dir;
    const auto archive = dir / "out.rar";
    const auto a = dir.write("a.txt", "a");
    const rar::Rar4AddItem first[] = {fileItem(a, "a.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(archive, first, {}));
    const auto before = readText(archive);

    struct Case {
        const char* what;
        std::vector<rar::Rar4AddItem> items;
    };
    const Case cases[] = {
        {"missing source", {fileItem(a, "b.txt"), fileItem(dir / "nope.txt", "nope.txt")}},
        {"name with NUL", {fileItem(a, std::string("x\0y", 3))}},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(rar::addToRar4Archive(archive, c.items, {})) << c.what;
        EXPECT_EQ(readText(archive), before) << c.what;
    }
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u) << "no temporary file is left behind";
}

TEST(Rar4Writer, RefusesArchivesItMustNotChange) {
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* fixture;
        const char* why;
    };
    const Case cases[] = {
        {"rar15-comment-lock.rar", "已锁定"},
        {"rar3-vols.part1.rar", "分卷"},
        {"rar3-comment-hpsw.rar", "文件头已加密"},
        {"rar5-crc.rar", "RAR 1.5-4.x"},
        {"test_read_format_rar_invalid1.rar", ""},
    };
    TempDir dir;
    const auto src = dir.write("new.txt", "new");
    const rar::Rar4AddItem items[] = {fileItem(src, "new.txt")};
    for (const auto& c : cases) {
        const auto fixture = testsupport::fixture(c.fixture);
        if (!std::filesystem::exists(fixture)) continue;
        const auto copy = dir / c.fixture;
        std::filesystem::copy_file(fixture, copy, std::filesystem::copy_options::overwrite_existing);
        const auto before = readText(copy);
        auto s = rar::addToRar4Archive(copy, items, {});
        EXPECT_FALSE(s) << c.fixture;
        EXPECT_NE(s.message().find(c.why), std::string::npos) << c.fixture << ": " << s.message();
        EXPECT_EQ(readText(copy), before) << c.fixture;
    }
    // A file that is no archive at all.
    const auto text = dir.write("notes.rar", "just some text, no archive");
    EXPECT_FALSE(rar::addToRar4Archive(text, items, {}));
    EXPECT_EQ(readText(text), "just some text, no archive");
}

TEST(Rar4Writer, KeepsCommentsAndDropsRecoveryRecord) {
    SKIP_WITHOUT_FIXTURES();
    TempDir dir;
    const auto src = dir.write("new.txt", "new");
    const rar::Rar4AddItem items[] = {fileItem(src, "new.txt")};

    // RAR 3.x comments (archive and per file) are service blocks that stay with their owners.
    const auto commented = dir / "comment.rar";
    std::filesystem::copy_file(testsupport::fixture("rar3-comment-plain.rar"), commented);
    auto before = readBack(commented);
    ASSERT_TRUE(rar::addToRar4Archive(commented, items, {}));
    auto after = readBack(commented);
    ASSERT_FALSE(after.problem) << after.problem->detail;
    EXPECT_EQ(entryPaths(after.archive), (std::vector<std::string>{"file1.txt", "file2.txt", "new.txt"}));
    EXPECT_EQ(after.archive.comment, before.archive.comment);
    EXPECT_EQ(after.archive.entries[0].comment, before.archive.entries[0].comment);

    // An old-style recovery record no longer matches: dropped, and its main flag cleared.
    const auto owner = dir / "owner.rar";
    std::filesystem::copy_file(testsupport::fixture("rar2-unix-owner.rar"), owner);
    ASSERT_TRUE(readBack(owner).archive.recoveryRecord);
    ASSERT_TRUE(rar::addToRar4Archive(owner, items, {}));
    auto updated = readBack(owner);
    ASSERT_FALSE(updated.problem) << updated.problem->detail;
    EXPECT_FALSE(updated.archive.recoveryRecord);
    EXPECT_EQ(entryPaths(updated.archive), (std::vector<std::string>{"file.txt", "new.txt"}));
    for (const auto& b : updated.archive.blocks) EXPECT_NE(b.kind, rar::BlockKind::OldProtect);
}

TEST(Rar4Writer, SolidArchiveAcceptsNewEntriesButNotReplacingADependency) {
    SKIP_WITHOUT_FIXTURES();
    TempDir dir;
    const auto solid = dir / "solid.rar";
    std::filesystem::copy_file(testsupport::fixture("rar3-solid.rar"), solid);
    auto original = readBack(solid);
    ASSERT_GE(original.archive.entries.size(), 2u);
    const auto src = dir.write("x.txt", "x");

    const rar::Rar4AddItem replaceFirst[] = {fileItem(src, original.archive.entries[0].path)};
    const auto before = readText(solid);
    EXPECT_FALSE(rar::addToRar4Archive(solid, replaceFirst, {}));
    EXPECT_EQ(readText(solid), before);

    const rar::Rar4AddItem replaceLast[] = {fileItem(src, original.archive.entries.back().path)};
    EXPECT_TRUE(rar::addToRar4Archive(solid, replaceLast, {}));
    const rar::Rar4AddItem add[] = {fileItem(src, "new.txt")};
    ASSERT_TRUE(rar::addToRar4Archive(solid, add, {}));
    auto read = readBack(solid);
    ASSERT_FALSE(read.problem);
    EXPECT_EQ(read.archive.entries.size(), original.archive.entries.size() + 1);
    EXPECT_FALSE(read.archive.entries.back().solid);
}

}  // namespace
