#pragma once
// Deleting entries: the new archive is the old one with the blocks of the removed entries
// left out, every kept block copied byte for byte (RAR headers hold no absolute offsets),
// the recovery record and RAR5 quick-open data dropped because they would describe the
// old bytes, and the main header's flags and locator fixed to match. It is written to a
// temporary file beside the original, flushed, and renamed over it in one step, so a
// crash or a full disk leaves the original as it was. (Where only entries at the end go,
// tail_cut.h cuts the file short in place instead.)
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "archiver/rar/archive.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/byte_source.h"
#include "archiver/rar/deletion_plan.h"
#include "archiver/rar/name_matcher.h"
#include "platform/status.h"

namespace rar {

// One piece of the new file: a byte range copied from the original, or new bytes.
struct CopyRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};
using OutputPiece = std::variant<CopyRange, std::vector<std::uint8_t>>;

// Builds the new file's pieces block by block in archive order, as the reader hands the
// blocks on. Neighbouring kept blocks become one range, so the layout grows with the
// number of removed runs, not with the number of blocks.
class LayoutBuilder {
public:
    // `fileRemoved`: for a file block, whether its entry goes (the blocks after a file
    // header up to the next one belong to it and share its fate).
    void add(const Block& block, bool fileRemoved);
    // `password` is needed only when a main header under RAR5 header encryption must be
    // rewritten.
    platform::Result<std::vector<OutputPiece>> finish(const ByteSource& source, const Archive& archive,
                                                      const std::string& password);

private:
    void copy(std::uint64_t offset, std::uint64_t length);

    std::vector<OutputPiece> pieces_;
    std::optional<std::size_t> mainPiece_;  // kept apart: it may be replaced by new bytes
    bool started_ = false;
    bool inFile_ = false;
    bool fileRemoved_ = false;
    bool droppedIndex_ = false;
    bool droppedAuthenticity_ = false;
};

// The reader's visitor for a deletion: plans and lays out in one pass over the headers,
// keeping nothing per entry beyond what the plan needs.
class DeletionScan : public ArchiveVisitor {
public:
    explicit DeletionScan(const NameMatcher& matcher) : matcher_(matcher) {}
    void entry(const Archive& archive, Entry&& entry) override;
    void block(const Archive& archive, const Block& block) override;

    DeletionPlan plan(const Archive& archive) { return planner_.finish(archive); }
    platform::Result<std::vector<OutputPiece>> layout(const ByteSource& source, const Archive& archive,
                                                      const std::string& password) {
        return layout_.finish(source, archive, password);
    }

private:
    const NameMatcher& matcher_;
    DeletionPlanner planner_;
    LayoutBuilder layout_;
    bool lastEntryRemoved_ = false;
};

// The new archive as pieces, in order, from an archive read whole.
platform::Result<std::vector<OutputPiece>> layoutWithoutRemoved(const ByteSource& source, const Archive& archive,
                                                                const DeletionPlan& plan,
                                                                const std::string& password);

// Writes the layout over `target`, which `source` reads. Takes `source` because it closes
// it before the replace: Windows refuses to replace a file that is still open.
platform::Status writeLayout(platform::ReadableFile source, const std::vector<OutputPiece>& pieces,
                             const std::filesystem::path& target);

}  // namespace rar
