// Every fixture read by our reader against what the independent readers reported in
// the manifest: paths, sizes, CRCs, folder, link and encryption flags, split parts,
// archive and entry comments, and the failures of the damaged and foreign files.
#include <algorithm>
#include <set>
#include <string>
#include <gtest/gtest.h>

#include "archiver/rar/archive_reader.h"
#include "archiver/rar/crc32.h"
#include "tests/rar/fixture_manifest.h"
#include "tests/support/fixtures.h"

namespace {

using testsupport::ManifestArchive;

std::string slashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

// Comment texts as the manifest has them: readers differ in how they join lines.
std::string squeezed(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// RAR 1.5 and 2.0 packed their archive comments with algorithms only their own
// decompressors know; those comments are found but left out.
bool commentPackedByOldAlgorithm(const ManifestArchive& m) {
    return m.file.rfind("rar15-", 0) == 0 || m.file.rfind("rar202-", 0) == 0;
}

// Comments packed by RAR 3.x (method 0x33 in their CMT headers) are unpacked through
// libarchive; a build without it finds them but cannot read them.
#ifdef PIMINGBAO_HAVE_LIBARCHIVE
constexpr bool kUnpacksRar3Comments = true;
#else
constexpr bool kUnpacksRar3Comments = false;
#endif

bool commentPackedByRar3(const std::string& file) {
    static const std::set<std::string> packed = {"rar3-comment-plain.rar", "rar3-comment-psw.rar",
                                                 "rar3-comment-hpsw.rar", "test_read_format_rar_subblock.rar"};
    return packed.count(file) != 0;
}

bool commentReadable(const std::string& file) { return kUnpacksRar3Comments || !commentPackedByRar3(file); }

class ReaderAgainstManifest : public ::testing::Test {
protected:
    void SetUp() override {
        SKIP_WITHOUT_FIXTURES();
        manifest_ = testsupport::loadManifest();
        ASSERT_FALSE(manifest_.empty());
    }
    std::vector<ManifestArchive> manifest_;
};

TEST_F(ReaderAgainstManifest, EveryArchiveGivesTheCataloguedEntries) {
    for (const ManifestArchive& m : manifest_) {
        SCOPED_TRACE(m.file);
        rar::ReadOptions options;
        options.password = m.password;
        const rar::ReadResult r = rar::readArchive(testsupport::fixture(m.file), options);
        if (!m.isRar) {
            EXPECT_FALSE(r.isRar);
            ASSERT_TRUE(r.problem);
            EXPECT_EQ(r.problem->kind, rar::ProblemKind::NotArchive);
            continue;
        }
        ASSERT_TRUE(r.isRar);
        EXPECT_EQ(r.archive.format == rar::Format::Rar5, m.rar5);
        if (m.damaged()) {
            EXPECT_TRUE(r.problem) << "damage not noticed";
        } else {
            EXPECT_FALSE(r.problem) << (r.problem ? r.problem->detail : "");
        }
        const rar::Archive& a = r.archive;
        EXPECT_EQ(a.volume, m.volume);
        EXPECT_EQ(a.solid, m.solid);
        EXPECT_EQ(a.locked, m.locked);
        EXPECT_EQ(a.headersEncrypted, m.encryptedHeaders);
        EXPECT_EQ(a.signatureOffset, m.sfxOffset.value_or(0));
        ASSERT_EQ(a.entries.size(), m.entries.size());
        for (std::size_t i = 0; i < m.entries.size(); ++i) {
            const auto& want = m.entries[i];
            const rar::Entry& got = a.entries[i];
            SCOPED_TRACE(want.path);
            EXPECT_EQ(slashes(got.path), want.path);
            EXPECT_EQ(got.isDirectory, want.isDir);
            EXPECT_EQ(got.encrypted, want.encrypted);
            EXPECT_EQ(got.link != rar::LinkKind::None, want.isLink);
            EXPECT_EQ(got.splitBefore, want.splitBefore);
            EXPECT_EQ(got.splitAfter, want.splitAfter);
            EXPECT_EQ(got.crcIsMac, want.crcIsMac);
            if (!want.isDir) {
                EXPECT_EQ(got.unpackedSize, want.size);
            }
            if (want.crc32) {
                ASSERT_TRUE(got.crc32);
                EXPECT_EQ(*got.crc32, *want.crc32);
            }
            EXPECT_EQ(got.hasComment, want.fileCommentPresent);
            if (got.comment && want.fileComment) {
                EXPECT_EQ(squeezed(*got.comment), squeezed(*want.fileComment));
            }
        }
        if (m.comment) {
            EXPECT_TRUE(a.hasComment);
            if (commentPackedByOldAlgorithm(m) || !commentReadable(m.file)) {
                EXPECT_FALSE(a.comment);
            } else {
                ASSERT_TRUE(a.comment) << "comment not read";
                EXPECT_EQ(squeezed(*a.comment), squeezed(*m.comment));
            }
        } else if (!m.damaged()) {
            // The catalogue's readers missed some comments its feature list records.
            EXPECT_EQ(a.hasComment, m.hasFeature("archive-comment"));
        }
    }
}

// Stored file comments of RAR 1.5-2.x and packed ones of RAR 3.x (through libarchive)
// are both shown; without libarchive the packed ones are found but left out.
TEST_F(ReaderAgainstManifest, EntryCommentsAreDecoded) {
    const struct {
        const char* file;
        const char* password;
        std::vector<std::string> comments;
    } cases[] = {
        {"rar15-comment.rar", "", {"file1comment -----", "file2comment -----"}},
        {"rar202-comment-nopsw.rar", "", {"file1comment", "file2comment"}},
        {"rar3-comment-plain.rar", "", {"Comment1v2", "Comment2v2"}},
        {"rar3-comment-hpsw.rar", "password", {"Comment1v2", "Comment2v2"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        rar::ReadOptions options;
        options.password = c.password;
        const auto r = rar::readArchive(testsupport::fixture(c.file), options);
        ASSERT_FALSE(r.problem);
        ASSERT_EQ(r.archive.entries.size(), c.comments.size());
        for (std::size_t i = 0; i < c.comments.size(); ++i) {
            EXPECT_TRUE(r.archive.entries[i].hasComment);
            if (!commentReadable(c.file)) {
                EXPECT_FALSE(r.archive.entries[i].comment);
                continue;
            }
            ASSERT_TRUE(r.archive.entries[i].comment);
            EXPECT_EQ(squeezed(*r.archive.entries[i].comment), c.comments[i]);
        }
    }
}

TEST_F(ReaderAgainstManifest, EncryptedHeadersNeedTheRightPassword) {
    for (const ManifestArchive& m : manifest_) {
        if (!m.encryptedHeaders) continue;
        SCOPED_TRACE(m.file);
        rar::ReadOptions none;
        auto r = rar::readArchive(testsupport::fixture(m.file), none);
        ASSERT_TRUE(r.problem);
        EXPECT_EQ(r.problem->kind, rar::ProblemKind::PasswordRequired);
        EXPECT_TRUE(r.archive.entries.empty());

        rar::ReadOptions wrong;
        wrong.password = m.password + "x";
        r = rar::readArchive(testsupport::fixture(m.file), wrong);
        ASSERT_TRUE(r.problem);
        EXPECT_EQ(r.problem->kind, rar::ProblemKind::WrongPassword);
        EXPECT_TRUE(r.archive.entries.empty());
    }
}

TEST_F(ReaderAgainstManifest, DataOffsetsPointAtTheStoredBytes) {
    // The stored entries' data areas hold exactly the bytes their CRC describes, which
    // checks the offsets extraction will seek to.
    for (const char* file : {"rar3-subdirs.rar", "test_read_format_rar_sfx.exe", "rar5-subdirs.rar",
                             "test_read_format_rar5_stored_manyfiles.rar"}) {
        SCOPED_TRACE(file);
        auto source = rar::FileByteSource::open(testsupport::fixture(file));
        ASSERT_TRUE(source);
        const auto r = rar::readArchive(**source, {});
        ASSERT_FALSE(r.problem);
        for (const auto& e : r.archive.entries) {
            if (e.isDirectory || e.method != 0 || e.encrypted || !e.crc32 || e.link != rar::LinkKind::None) continue;
            auto bytes = (*source)->readExact(e.dataOffset, static_cast<std::size_t>(e.packedSize));
            ASSERT_TRUE(bytes);
            EXPECT_EQ(rar::crc32(*bytes), *e.crc32) << e.path;
        }
    }
}

}  // namespace
