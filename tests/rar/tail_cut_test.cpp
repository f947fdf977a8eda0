// Deleting entries at the end of an archive by cutting the file in place: which deletions
// may, that the file comes out byte for byte as the rewrite's, and that the state half-way
// (end block written, file not yet cut) is a whole archive of the kept entries that the
// next delete finishes.
#include <gtest/gtest.h>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/tail_cut.h"
#include "platform/file.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace testrar;

std::vector<std::string> paths(const rar::Archive& a) {
    std::vector<std::string> out;
    for (const auto& e : a.entries) out.push_back(e.path);
    return out;
}

std::string bytesOfFile(const std::filesystem::path& path) { return platform::readWholeFile(path).value(); }

// What the deletion of `removed` (entry indices from the end: 1 is the last entry) plans
// for the archive at `path`.
struct Prepared {
    rar::ReadResult read;
    rar::DeletionPlan plan;
    std::vector<rar::OutputPiece> layout;
    std::optional<rar::TailCut> cut;
    std::vector<std::string> kept;
};

Prepared prepare(const std::filesystem::path& path, const std::vector<std::size_t>& fromTheEnd, const std::string& password) {
    Prepared p;
    auto source = rar::FileByteSource::open(path);
    EXPECT_TRUE(source);
    rar::ReadOptions options;
    options.password = password;
    p.read = rar::readArchive(**source, options);
    EXPECT_FALSE(p.read.problem);
    const std::size_t n = p.read.archive.entries.size();
    std::vector<bool> removed(n, false);
    for (std::size_t k : fromTheEnd) removed[n - k] = true;
    p.plan = rar::planDeletion(p.read.archive, removed);
    EXPECT_EQ(p.plan.check, rar::DeleteCheck::Allowed);
    auto layout = rar::layoutWithoutRemoved(**source, p.read.archive, p.plan, password);
    EXPECT_TRUE(layout) << layout.message();
    if (layout) p.layout = *layout;
    p.cut = rar::tailCutOf(**source, p.read.archive, p.layout);
    for (std::size_t i = 0; i < n; ++i)
        if (!removed[i]) p.kept.push_back(p.read.archive.entries[i].path);
    return p;
}

// Writes the first step only, as a run killed between the two steps leaves the file.
void writeHalfWay(const std::filesystem::path& path, const rar::TailCut& cut) {
    std::string bytes = bytesOfFile(path);
    const auto first = cut.firstWrite();
    if (bytes.size() < cut.offset + first.size()) bytes.resize(cut.offset + first.size());
    std::copy(first.begin(), first.end(), bytes.begin() + static_cast<std::ptrdiff_t>(cut.offset));
    ASSERT_TRUE(platform::writeFileAtomically(path, bytes));
}

struct CutCase {
    const char* what;
    std::string file;                    // a fixture, or a crafted archive below
    std::vector<std::size_t> fromTheEnd;  // 1 = the last entry
    const char* password;
    bool inPlace;
};

// A RAR4 archive with blocks after its last file: a recovery record (the main header's
// flag then has to go, which the cut cannot do) or a block of unknown type that must be
// kept.
Bytes craftedRar4(std::uint16_t mainFlags, const Bytes& afterLastFile) {
    return rar4Archive({rar4FileBlock({"a.txt", bytesOf("first")}), rar4FileBlock({"b.txt", bytesOf("second")}),
                        afterLastFile},
                       mainFlags);
}

std::filesystem::path materialise(const testsupport::TempDir& dir, const CutCase& c) {
    const auto target = dir / "archive.rar";
    if (c.file == "crafted: recovery record") {
        const Bytes rr = rar4FileBlock({"RR", bytesOf("recovery"), 0xC000}, 0x7A);
        const Bytes image = craftedRar4(0x0040, rr);
        return dir.write("archive.rar", std::string(image.begin(), image.end()));
    }
    if (c.file == "crafted: unknown block kept") {
        const Bytes unknown = rar4Block(0x7C, 0x0000, bytesOf("keep me"));
        const Bytes image = craftedRar4(0, unknown);
        return dir.write("archive.rar", std::string(image.begin(), image.end()));
    }
    std::filesystem::copy_file(testsupport::fixture(c.file), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target;
}

TEST(TailCut, OnlyDeletionsAtTheEndWhereNothingAfterThemMatters) {
    SKIP_WITHOUT_FIXTURES();
    const CutCase cases[] = {
        {"RAR4 with an archive comment", "rar3-comment-plain.rar", {1}, "", true},
        {"RAR4, encrypted headers: the encrypted end block moves", "rar3-comment-hpsw.rar", {1}, "password", true},
        {"RAR 1.5 without an end block: the plain one is written", "rar15-comment.rar", {1}, "", true},
        {"RAR4 solid, trailing entry", "rar3-solid.rar", {1}, "", true},
        {"RAR4, the last two entries", "test_read_format_rar4_encrypted.rar", {1, 2}, "", true},
        {"self-extracting stub", "test_read_format_rar_sfx.exe", {1}, "", true},
        {"RAR5", "rar5-hlink.rar", {1}, "", true},
        {"RAR5, encrypted headers", "rar5-hpsw.rar", {1}, "password", true},
        {"RAR5 solid, the last two entries", "test_read_format_rar5_multiple_files_solid.rar", {1, 2}, "", true},
        {"an entry in the middle", "test_read_format_rar5_multiple_files.rar", {2}, "", false},
        {"the last and one in the middle", "test_read_format_rar4_encrypted.rar", {1, 3}, "", false},
        {"end block across a 512-byte sector boundary", "rar5-subdirs.rar", {1}, "", false},
        {"a recovery record after the last file", "crafted: recovery record", {1}, "", false},
        {"an unknown block after the last file", "crafted: unknown block kept", {1}, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        const auto original = materialise(dir, c);
        const Prepared p = prepare(original, c.fromTheEnd, c.password);
        ASSERT_EQ(p.cut.has_value(), c.inPlace);
        if (!p.cut) continue;

        // The rewrite's file, for comparison.
        const auto rewritten = dir / "rewritten.rar";
        std::filesystem::copy_file(original, rewritten);
        {
            auto source = platform::ReadableFile::open(rewritten);
            ASSERT_TRUE(source);
            ASSERT_TRUE(rar::writeLayout(std::move(*source), p.layout, rewritten));
        }
        const std::string expected = bytesOfFile(rewritten);

        const auto cutWhole = dir / "cut.rar";
        std::filesystem::copy_file(original, cutWhole);
        {
            auto file = platform::ReadableFile::open(cutWhole);
            ASSERT_TRUE(file);
            auto done = rar::cutInPlace(*file, *p.cut);
            ASSERT_TRUE(done) << done.message();
            EXPECT_TRUE(*done);
        }
        EXPECT_EQ(bytesOfFile(cutWhole), expected);

        // Half-way: a whole archive of exactly the kept entries, with the mark behind it.
        const auto halfWay = dir / "half.rar";
        std::filesystem::copy_file(original, halfWay);
        writeHalfWay(halfWay, *p.cut);
        rar::ReadOptions options;
        options.password = c.password;
        const auto seen = rar::readArchive(halfWay, options);
        ASSERT_FALSE(seen.problem) << seen.problem->detail;
        EXPECT_EQ(paths(seen.archive), p.kept);
        auto source = rar::FileByteSource::open(halfWay);
        ASSERT_TRUE(source);
        const auto at = rar::interruptedCut(**source, seen.archive);
        ASSERT_EQ(at, p.cut->newSize());
        auto finished = rar::finishInterruptedCut((*source)->file(), *at);
        ASSERT_TRUE(finished && *finished) << finished.message();
        EXPECT_EQ(bytesOfFile(halfWay), expected);
    }
}

TEST(TailCut, OnlyItsOwnMarkBehindTheEndBlockCountsAsAnInterruptedCut) {
    const Bytes archive = rar4Archive({rar4FileBlock({"a.txt", bytesOf("a")})});
    rar::TailCut cut;
    cut.offset = archive.size() - rar4End().size();
    cut.endBlock = rar4End();
    const auto mark = cut.firstWrite();
    Bytes markedElsewhere = archive;
    rar::TailCut shifted = cut;
    shifted.offset += 1;  // the same mark, naming another offset
    const auto other = shifted.firstWrite();
    markedElsewhere.insert(markedElsewhere.end(), other.begin() + static_cast<std::ptrdiff_t>(cut.endBlock.size()), other.end());
    Bytes marked = archive;
    marked.insert(marked.end(), mark.begin() + static_cast<std::ptrdiff_t>(cut.endBlock.size()), mark.end());
    Bytes junk = archive;
    append(junk, bytesOf("some trailing bytes, not ours"));
    const struct {
        const char* what;
        Bytes image;
        bool interrupted;
    } cases[] = {
        {"nothing after the end block", archive, false},
        {"other bytes after the end block", junk, false},
        {"a mark that names another offset", markedElsewhere, false},
        {"our mark", marked, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        rar::MemoryByteSource source(c.image);
        const auto read = rar::readArchive(source, rar::ReadOptions{});
        ASSERT_FALSE(read.problem);
        EXPECT_EQ(rar::interruptedCut(source, read.archive).has_value(), c.interrupted);
    }
}

}  // namespace
