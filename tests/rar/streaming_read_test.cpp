// Reading with a visitor, as listing and deleting do: the visitor sees exactly what a
// whole read collects, in file order, each file block right after its entry and each
// entry complete (its comment included); and a deletion planned and laid out while
// reading comes out as one planned from the whole read.
#include <gtest/gtest.h>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_reader.h"
#include "tests/rar/archive_builder.h"
#include "tests/support/fixtures.h"

namespace {

class Recorder : public rar::ArchiveVisitor {
public:
    void entry(const rar::Archive&, rar::Entry&& e) override {
        pendingFile = true;
        entries.push_back(std::move(e));
    }
    void block(const rar::Archive&, const rar::Block& b) override {
        if (b.kind == rar::BlockKind::File) {
            EXPECT_TRUE(pendingFile) << "file block at " << b.offset << " without its entry just before";
            EXPECT_EQ(b.entry, static_cast<int>(entries.size()) - 1);
        } else {
            EXPECT_FALSE(pendingFile) << "an entry not followed by its file block";
        }
        pendingFile = false;
        blocks.push_back(b);
    }
    bool pendingFile = false;
    std::vector<rar::Entry> entries;
    std::vector<rar::Block> blocks;
};

void expectSameEntries(const std::vector<rar::Entry>& seen, const std::vector<rar::Entry>& whole) {
    ASSERT_EQ(seen.size(), whole.size());
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].path, whole[i].path);
        EXPECT_EQ(seen[i].blockOffset, whole[i].blockOffset);
        EXPECT_EQ(seen[i].packedSize, whole[i].packedSize);
        EXPECT_EQ(seen[i].solid, whole[i].solid);
        EXPECT_EQ(seen[i].hasComment, whole[i].hasComment);
        EXPECT_EQ(seen[i].comment, whole[i].comment);
    }
}

TEST(StreamingRead, TheVisitorSeesWhatAWholeReadCollects) {
    SKIP_WITHOUT_FIXTURES();
    std::size_t withEntryComments = 0;
    for (const auto& item : std::filesystem::directory_iterator(testsupport::fixturesDir())) {
        const std::string name = item.path().filename().string();
        if (item.path().extension() == ".json" || item.path().extension() == ".md") continue;
        SCOPED_TRACE(name);
        auto source = rar::FileByteSource::open(item.path());
        ASSERT_TRUE(source);
        rar::ReadOptions options;
        options.password = "password";
        const rar::ReadResult whole = rar::readArchive(**source, options);
        Recorder recorder;
        const rar::ReadResult streamed = rar::readArchive(**source, options, recorder);
        EXPECT_TRUE(streamed.archive.entries.empty());
        EXPECT_TRUE(streamed.archive.blocks.empty());
        EXPECT_EQ(streamed.isRar, whole.isRar);
        EXPECT_EQ(streamed.problem.has_value(), whole.problem.has_value());
        EXPECT_EQ(streamed.archive.comment, whole.archive.comment);
        EXPECT_EQ(streamed.archive.endOffset, whole.archive.endOffset);
        expectSameEntries(recorder.entries, whole.archive.entries);
        ASSERT_EQ(recorder.blocks.size(), whole.archive.blocks.size());
        for (std::size_t i = 0; i < recorder.blocks.size(); ++i) {
            EXPECT_EQ(recorder.blocks[i].offset, whole.archive.blocks[i].offset);
            EXPECT_EQ(recorder.blocks[i].kind, whole.archive.blocks[i].kind);
        }
        for (const auto& e : whole.archive.entries) withEntryComments += e.comment.has_value();
    }
    EXPECT_GT(withEntryComments, 0u) << "no fixture tried the comment that follows its entry";
}

TEST(StreamingRead, AnEntryBeforeDamageIsStillHandedOn) {
    using namespace testrar;
    Bytes image = rar4Marker();
    append(image, rar4Main());
    append(image, rar4FileBlock({"kept.txt", bytesOf("kept")}));
    Bytes broken = rar4FileBlock({"broken.txt", bytesOf("data")});
    broken[0] ^= 0xFF;  // its header checksum
    append(image, broken);
    rar::MemoryByteSource source(image);
    Recorder recorder;
    const auto read = rar::readArchive(source, rar::ReadOptions{}, recorder);
    ASSERT_TRUE(read.problem);
    EXPECT_EQ(read.problem->kind, rar::ProblemKind::HeaderCrc);
    ASSERT_EQ(recorder.entries.size(), 1u);
    EXPECT_EQ(recorder.entries[0].path, "kept.txt");
}

TEST(StreamingRead, ADeletionPlannedWhileReadingMatchesOnePlannedFromTheWholeRead) {
    SKIP_WITHOUT_FIXTURES();
    const struct {
        const char* file;
        std::vector<std::string> names;
    } cases[] = {
        {"rar3-subdirs.rar", {"file2.txt", "sub\\dir1"}},
        {"rar3-comment-plain.rar", {"file1.txt"}},
        {"rar2-unix-owner.rar", {"nothing"}},
        {"rar3-solid.rar", {"stest1.txt"}},
        {"rar5-hlink.rar", {"stest1.txt"}},
        {"test_read_format_rar_sfx.exe", {"test.txt"}},
        {"zimuku-10-ass.rar", {"*.ass"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        auto source = rar::FileByteSource::open(testsupport::fixture(c.file));
        ASSERT_TRUE(source);
        rar::ReadOptions options;
        options.readComments = false;
        const rar::NameMatcher matcher(c.names);
        const rar::ReadResult whole = rar::readArchive(**source, options);
        const rar::DeletionPlan wholePlan = rar::planDeletion(whole.archive, matcher);
        auto wholeLayout = rar::layoutWithoutRemoved(**source, whole.archive, wholePlan, {});
        ASSERT_TRUE(wholeLayout);

        rar::DeletionScan scan(matcher);
        const rar::ReadResult streamed = rar::readArchive(**source, options, scan);
        const rar::DeletionPlan plan = scan.plan(streamed.archive);
        EXPECT_EQ(plan.check, wholePlan.check);
        EXPECT_EQ(plan.removed, wholePlan.removed);
        EXPECT_EQ(plan.removedPaths, wholePlan.removedPaths);
        EXPECT_EQ(plan.dependentPath, wholePlan.dependentPath);
        EXPECT_EQ(plan.neededPath, wholePlan.neededPath);
        auto layout = scan.layout(**source, streamed.archive, {});
        ASSERT_TRUE(layout);
        ASSERT_EQ(layout->size(), wholeLayout->size());
        for (std::size_t i = 0; i < layout->size(); ++i) {
            const auto* a = std::get_if<rar::CopyRange>(&(*layout)[i]);
            const auto* b = std::get_if<rar::CopyRange>(&(*wholeLayout)[i]);
            ASSERT_EQ(a != nullptr, b != nullptr);
            if (a) {
                EXPECT_EQ(a->offset, b->offset);
                EXPECT_EQ(a->length, b->length);
            } else {
                EXPECT_EQ(std::get<std::vector<std::uint8_t>>((*layout)[i]), std::get<std::vector<std::uint8_t>>((*wholeLayout)[i]));
            }
        }
    }
}

}  // namespace
