// Deleting entries at the library level: which deletions a solid stream allows, and
// what the rewritten archive holds, read back with our reader.
#include <algorithm>
#include <gtest/gtest.h>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/rar5_header.h"
#include "platform/file.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace testrar;

rar::Entry entry(bool solid, unsigned method, std::uint64_t packed = 10) {
    rar::Entry e;
    e.solid = solid;
    e.method = method;
    e.packedSize = packed;
    return e;
}

TEST(DeletionPlan, SolidStreamsAllowOnlySafeRemovals) {
    const struct {
        const char* what;
        std::vector<rar::Entry> entries;
        std::vector<bool> removed;
        rar::DeleteCheck check;
        std::optional<std::size_t> dependent;
    } cases[] = {
        {"trailing entries of a stream", {entry(false, 3), entry(true, 3), entry(true, 3)}, {false, true, true},
         rar::DeleteCheck::Allowed, {}},
        {"first entry with a compressed follower", {entry(false, 3), entry(true, 3)}, {true, false},
         rar::DeleteCheck::SolidDependency, 1},
        {"a stored entry feeds no window", {entry(false, 0), entry(true, 3)}, {true, false}, rar::DeleteCheck::Allowed, {}},
        {"an empty entry feeds no window", {entry(false, 3, 0), entry(true, 3)}, {true, false},
         rar::DeleteCheck::Allowed, {}},
        {"a kept stored entry does not end the dependency", {entry(false, 3), entry(true, 0), entry(true, 3)},
         {true, false, false}, rar::DeleteCheck::SolidDependency, 2},
        {"a new stream starts clean", {entry(false, 3), entry(false, 3), entry(true, 3)}, {true, false, false},
         rar::DeleteCheck::Allowed, {}},
        {"the whole stream goes", {entry(false, 3), entry(true, 3)}, {true, true}, rar::DeleteCheck::Allowed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rar::Archive archive;
        archive.solid = true;
        archive.entries = c.entries;
        const auto plan = rar::planDeletion(archive, c.removed);
        EXPECT_EQ(plan.check, c.check);
        EXPECT_EQ(plan.dependentEntry, c.dependent);
    }
}

TEST(DeletionPlan, HardLinksKeepTheirSource) {
    rar::Archive archive;
    archive.entries = {entry(false, 0), entry(false, 0), entry(false, 0)};
    archive.entries[0].path = "dir\\data.txt";
    archive.entries[1].path = "copy.txt";
    archive.entries[1].link = rar::LinkKind::HardLink;
    archive.entries[1].linkTarget = "dir/data.txt";
    archive.entries[2].path = "symlink.txt";
    archive.entries[2].link = rar::LinkKind::UnixSymlink;
    archive.entries[2].linkTarget = "dir/data.txt";
    auto plan = rar::planDeletion(archive, {true, false, true});
    EXPECT_EQ(plan.check, rar::DeleteCheck::LinkTarget);
    EXPECT_EQ(plan.dependentEntry, 1u);
    EXPECT_EQ(plan.neededEntry, 0u);
    // A symbolic link only names its target; removing the link itself is always fine.
    EXPECT_EQ(rar::planDeletion(archive, {true, true, false}).check, rar::DeleteCheck::Allowed);
    archive.entries[1].link = rar::LinkKind::FileCopy;
    EXPECT_EQ(rar::planDeletion(archive, {true, false, false}).check, rar::DeleteCheck::LinkTarget);
}

TEST(DeletionPlan, LockedArchivesAndVolumesAreRefused) {
    rar::Archive locked;
    locked.locked = true;
    locked.entries = {entry(false, 0)};
    EXPECT_EQ(rar::planDeletion(locked, {true}).check, rar::DeleteCheck::Locked);
    rar::Archive volume;
    volume.volume = true;
    volume.entries = {entry(false, 0)};
    EXPECT_EQ(rar::planDeletion(volume, {true}).check, rar::DeleteCheck::Volume);
}

// Reads `path`, removes the entries the names match, writes the result over it and reads
// it back.
struct RoundTrip {
    rar::ReadResult before;
    rar::ReadResult after;
    rar::DeletionPlan plan;
};

RoundTrip deleteAndReread(const std::filesystem::path& path, const std::vector<std::string>& names,
                          const std::string& password = {}) {
    RoundTrip t;
    auto source = rar::FileByteSource::open(path);
    EXPECT_TRUE(source);
    rar::ReadOptions options;
    options.password = password;
    t.before = rar::readArchive(**source, options);
    EXPECT_FALSE(t.before.problem);
    t.plan = rar::planDeletion(t.before.archive, rar::NameMatcher(names));
    auto layout = rar::layoutWithoutRemoved(**source, t.before.archive, t.plan, password);
    EXPECT_TRUE(layout) << layout.message();
    if (!layout) return t;
    auto s = rar::writeLayout(rar::FileByteSource::releaseFile(std::move(*source)), *layout, path);
    EXPECT_TRUE(s) << s.message();
    t.after = rar::readArchive(path, options);
    return t;
}

std::vector<std::string> paths(const rar::Archive& a) {
    std::vector<std::string> out;
    for (const auto& e : a.entries) out.push_back(e.path);
    return out;
}

std::filesystem::path copyFixture(const testsupport::TempDir& dir, const std::string& name) {
    const auto target = dir / name;
    std::filesystem::copy_file(testsupport::fixture(name), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target;
}

TEST(DeleteFromFixtures, KeptEntriesStayByteForByte) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        const char* password;
        std::vector<std::string> names;
        std::size_t removed;
    } cases[] = {
        {"rar3-subdirs.rar", "", {"file2.txt", "sub\\dir1"}, 3},
        {"rar5-subdirs.rar", "", {"sub/with space"}, 2},
        {"test_read_format_rar_sfx.exe", "", {"test.txt"}, 2},
        {"rar15-comment.rar", "", {"file1.txt"}, 1},
        {"rar3-comment-plain.rar", "", {"file2.txt"}, 1},
        {"rar3-comment-hpsw.rar", "password", {"file1.txt"}, 1},
        {"rar5-hpsw.rar", "password", {"stest2.txt"}, 1},
        {"rar5-psw.rar", "", {"stest1.txt"}, 1},
        {"test_read_format_rar4_encrypted.rar", "", {"a.txt", "d.txt"}, 2},
        {"test_read_format_rar5_multiple_files_solid.rar", "", {"test4.bin"}, 1},
        {"rar3-solid.rar", "", {"stest2.txt"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        testsupport::TempDir dir;
        const auto path = copyFixture(dir, c.file);
        const auto t = deleteAndReread(path, c.names, c.password);
        ASSERT_EQ(t.plan.check, rar::DeleteCheck::Allowed);
        EXPECT_EQ(t.plan.removedEntries.size(), c.removed);
        ASSERT_FALSE(t.after.problem) << t.after.problem->detail;
        std::vector<std::string> expected;
        for (std::size_t i = 0; i < t.before.archive.entries.size(); ++i)
            if (!t.plan.removed[i]) expected.push_back(t.before.archive.entries[i].path);
        EXPECT_EQ(paths(t.after.archive), expected);
        EXPECT_TRUE(t.after.archive.hasEndBlock);
        EXPECT_EQ(t.after.archive.signatureOffset, t.before.archive.signatureOffset);
        EXPECT_EQ(t.after.archive.hasComment, t.before.archive.hasComment);

        // The data areas of the kept entries are the original bytes.
        auto original = rar::FileByteSource::open(testsupport::fixture(c.file));
        auto rewritten = rar::FileByteSource::open(path);
        ASSERT_TRUE(original && rewritten);
        std::size_t k = 0;
        for (std::size_t i = 0; i < t.before.archive.entries.size(); ++i) {
            if (t.plan.removed[i]) continue;
            const auto& was = t.before.archive.entries[i];
            const auto& now = t.after.archive.entries[k++];
            EXPECT_EQ((*original)->readExact(was.dataOffset, static_cast<std::size_t>(was.packedSize)).value(),
                      (*rewritten)->readExact(now.dataOffset, static_cast<std::size_t>(now.packedSize)).value());
            EXPECT_EQ(now.comment.has_value() || now.hasComment, was.hasComment);
        }
        // No temporary file is left beside the archive.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

TEST(DeleteFromFixtures, StubBytesArePreserved) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto path = copyFixture(dir, "test_read_format_rar_sfx.exe");
    const auto t = deleteAndReread(path, {"testdir"});
    const auto stub = t.before.archive.signatureOffset;
    auto before = platform::readWholeFile(testsupport::fixture("test_read_format_rar_sfx.exe"));
    auto after = platform::readWholeFile(path);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(before->substr(0, stub), after->substr(0, stub));
}

TEST(DeleteFromFixtures, OldRecoveryRecordIsDroppedAndItsFlagCleared) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto path = copyFixture(dir, "rar2-unix-owner.rar");
    const auto t = deleteAndReread(path, {"no-such-entry"});
    ASSERT_FALSE(t.after.problem);
    EXPECT_TRUE(t.before.archive.recoveryRecord);
    EXPECT_FALSE(t.after.archive.recoveryRecord);
    EXPECT_EQ(paths(t.after.archive), paths(t.before.archive));
    for (const auto& b : t.after.archive.blocks) EXPECT_NE(b.kind, rar::BlockKind::OldProtect);
    // The owner sub-block belongs to the kept file and stays.
    EXPECT_TRUE(std::any_of(t.after.archive.blocks.begin(), t.after.archive.blocks.end(),
                            [](const rar::Block& b) { return b.kind == rar::BlockKind::OldSub; }));
}

// A RAR5 archive with quick-open data, a recovery record and a locator pointing at both.
Bytes rar5WithQuickOpenAndRecovery(std::uint64_t& mainAt) {
    Bytes locator = vint(1);                        // locator record type
    append(locator, vint(3));                       // both offsets present
    append(locator, {0x80 | 100, 0x80, 0x00});      // padded vints, rewritten below
    append(locator, {0x80 | 120, 0x80, 0x00});
    Bytes extra = vint(locator.size());
    append(extra, locator);
    Bytes out = rar5Signature();
    mainAt = out.size();
    append(out, rar5Main(0x0008, extra));
    append(out, rar5FileBlock({"a.txt", bytesOf("first file")}));
    append(out, rar5FileBlock({"b.txt", bytesOf("second file")}));
    append(out, rar5FileBlock({"QO", bytesOf("stale copies of the headers")}, 3));
    append(out, rar5FileBlock({"RR", bytesOf("stale recovery data")}, 3));
    append(out, rar5End());
    return out;
}

TEST(DeleteCrafted, Rar5QuickOpenAndRecoveryGoAndTheLocatorIsCleared) {
    testsupport::TempDir dir;
    std::uint64_t mainAt = 0;
    const Bytes image = rar5WithQuickOpenAndRecovery(mainAt);
    const auto path = dir.write("qo.rar", std::string(image.begin(), image.end()));
    const auto t = deleteAndReread(path, {"a.txt"});
    ASSERT_FALSE(t.after.problem) << t.after.problem->detail;
    EXPECT_TRUE(t.before.archive.recoveryRecord);
    EXPECT_EQ(t.before.archive.quickOpenOffset.value_or(0), 100u);
    EXPECT_FALSE(t.after.archive.recoveryRecord);
    EXPECT_EQ(t.after.archive.quickOpenOffset.value_or(99), 0u);
    EXPECT_EQ(t.after.archive.recoveryOffset.value_or(99), 0u);
    EXPECT_EQ(t.after.archive.mainHeaderSize, t.before.archive.mainHeaderSize);
    EXPECT_EQ(paths(t.after.archive), (std::vector<std::string>{"b.txt"}));
    for (const auto& b : t.after.archive.blocks) {
        EXPECT_NE(b.serviceName, "QO");
        EXPECT_NE(b.serviceName, "RR");
    }
}

TEST(DeleteCrafted, Rar4AuthenticityBlocksGoAndTheirFieldsAreCleared) {
    testsupport::TempDir dir;
    Bytes mainBody = {0x34, 0x12, 0x78, 0x56, 0x34, 0x12};  // the AV position fields
    Bytes image = rar4Marker();
    append(image, rar4Block(0x73, 0x0020, mainBody));
    append(image, rar4FileBlock({"a.txt", bytesOf("aaa")}));
    append(image, rar4Block(0x76, 0x0000, {1, 1, 1, 0, 0, 0, 0}));
    append(image, rar4FileBlock({"b.txt", bytesOf("bbb")}));
    append(image, rar4End());
    const auto path = dir.write("av.rar", std::string(image.begin(), image.end()));
    const auto t = deleteAndReread(path, {"a.txt"});
    ASSERT_FALSE(t.after.problem) << t.after.problem->detail;
    EXPECT_EQ(t.after.archive.archiveFlags & 0x0020, 0u);
    EXPECT_EQ(paths(t.after.archive), (std::vector<std::string>{"b.txt"}));
    auto bytes = platform::readWholeFile(path);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(14, 6), std::string(6, '\0'));
}

TEST(DeleteCrafted, EncryptedRar5MainHeaderIsRewrittenUnderTheSameKey) {
    // Header encryption without a check value: the reader trusts the header CRCs.
    const std::string password = "secret";
    std::array<std::uint8_t, 16> salt{};
    salt.fill(0x42);
    const auto keys = rar::deriveRar5Keys(password, salt, 15);
    auto encrypted = [&](const Bytes& header) {
        Bytes padded = header;
        padded.resize((padded.size() + 15) / 16 * 16, 0);
        std::array<std::uint8_t, 16> iv{};
        iv.fill(0x17);
        auto aes = rar::AesCbc::create(keys.key, iv);
        aes->encrypt(padded);
        Bytes out(iv.begin(), iv.end());
        append(out, padded);
        return out;
    };
    Bytes encFields = vint(0);
    append(encFields, vint(0));
    encFields.push_back(15);
    append(encFields, Bytes(salt.begin(), salt.end()));
    Bytes locator = vint(1);
    append(locator, vint(1));
    append(locator, {0x80 | 60, 0x00});
    Bytes extra = vint(locator.size());
    append(extra, locator);

    Bytes image = rar5Signature();
    append(image, rar5Block(4, 0, encFields));
    append(image, encrypted(rar5Main(0x0008, extra)));
    for (const char* name : {"a.txt", "b.txt"}) {
        const Bytes block = rar5FileBlock({name, {}});
        append(image, encrypted(block));
    }
    append(image, encrypted(rar5End()));

    testsupport::TempDir dir;
    const auto path = dir.write("hp.rar", std::string(image.begin(), image.end()));
    const auto t = deleteAndReread(path, {"a.txt"}, password);
    ASSERT_FALSE(t.after.problem) << t.after.problem->detail;
    EXPECT_TRUE(t.before.archive.recoveryRecord);
    EXPECT_FALSE(t.after.archive.recoveryRecord);
    EXPECT_EQ(t.after.archive.quickOpenOffset.value_or(99), 0u);
    EXPECT_EQ(paths(t.after.archive), (std::vector<std::string>{"b.txt"}));
}

TEST(DeleteCrafted, ArchiveWithoutEndBlockGetsOne) {
    testsupport::TempDir dir;
    const Bytes image = rar4Archive({rar4FileBlock({"a.txt", bytesOf("a")}), rar4FileBlock({"b.txt", bytesOf("b")})}, 0, false);
    const auto path = dir.write("old.rar", std::string(image.begin(), image.end()));
    const auto t = deleteAndReread(path, {"a.txt"});
    EXPECT_FALSE(t.before.archive.hasEndBlock);
    EXPECT_TRUE(t.after.archive.hasEndBlock);
    EXPECT_EQ(paths(t.after.archive), (std::vector<std::string>{"b.txt"}));
}

TEST(DeleteCrafted, BytesAfterTheEndBlockAreLeftBehind) {
    testsupport::TempDir dir;
    Bytes image = rar4Archive({rar4FileBlock({"a.txt", bytesOf("a")}), rar4FileBlock({"b.txt", bytesOf("b")})});
    const std::size_t archiveSize = image.size() - rar4FileBlock({"a.txt", bytesOf("a")}).size();
    append(image, bytesOf("trailing junk"));
    const auto path = dir.write("junk.rar", std::string(image.begin(), image.end()));
    deleteAndReread(path, {"a.txt"});
    EXPECT_EQ(std::filesystem::file_size(path), archiveSize);
}

TEST(WriteLayout, AFailedWriteLeavesTheOriginalAndNoTemporaryFile) {
    testsupport::TempDir dir;
    const auto path = dir.write("a.rar", "original bytes");
    auto file = platform::ReadableFile::open(path);
    ASSERT_TRUE(file);
    const std::vector<rar::OutputPiece> pieces = {rar::CopyRange{0, 4}, rar::CopyRange{10, 1000}};
    EXPECT_FALSE(rar::writeLayout(std::move(*file), pieces, path));
    EXPECT_EQ(platform::readWholeFile(path).value(), "original bytes");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Rar5MainHeader, RewriteKeepsEveryFieldWidth) {
    Bytes locator = vint(1);
    append(locator, vint(3));
    append(locator, {0x85, 0x80, 0x00, 0x86, 0x00});
    Bytes extra = vint(locator.size());
    append(extra, locator);
    const Bytes header = rar5Main(0x0008 | 0x0004, extra);
    auto rewritten = rar::rar5MainHeaderWithoutLocator(header);
    ASSERT_TRUE(rewritten);
    ASSERT_EQ(rewritten->size(), header.size());
    EXPECT_TRUE(rar::rar5CrcMatches(*rewritten));
    rar::Rar5RawHeader h;
    h.bytes = *rewritten;
    rar::Rar5Fields f;
    ASSERT_TRUE(rar::parseRar5Header(h, f));
    EXPECT_EQ(f.archiveFlags, 0x0004u);
    EXPECT_EQ(f.quickOpenOffset, 0u);
    EXPECT_EQ(f.recoveryOffset, 0u);
}

}  // namespace
