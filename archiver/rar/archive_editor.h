#pragma once
// Deleting entries: the new archive is the old one with the blocks of the removed entries
// left out, every kept block copied byte for byte (RAR headers hold no absolute offsets),
// the recovery record and RAR5 quick-open data dropped because they would describe the
// old bytes, and the main header's flags and locator fixed to match. It is written to a
// temporary file beside the original, flushed, and renamed over it in one step, so a
// crash or a full disk leaves the original as it was.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "archiver/rar/archive.h"
#include "archiver/rar/byte_source.h"
#include "archiver/rar/name_matcher.h"
#include "platform/status.h"

namespace rar {

enum class DeleteCheck {
    Allowed,
    Locked,           // the archive's lock flag forbids changes
    Volume,           // one volume of a multi-volume set
    SolidDependency,  // a kept entry of a solid stream needs the data of a removed one
    LinkTarget,       // a kept hard link or file copy names a removed entry as its source
};

struct DeletionPlan {
    std::vector<bool> removed;                // per entry
    std::vector<std::size_t> removedEntries;  // indices, in archive order
    std::size_t keptEntries = 0;
    DeleteCheck check = DeleteCheck::Allowed;
    // For SolidDependency and LinkTarget: the kept entry that could not be extracted any
    // more, and the removed entry whose data it needs.
    std::optional<std::size_t> dependentEntry;
    std::optional<std::size_t> neededEntry;

    bool nothingMatched() const { return removedEntries.empty(); }
    bool removesEverything() const { return !removedEntries.empty() && keptEntries == 0; }
};

// Which entries the names take, and whether the archive allows removing them.
DeletionPlan planDeletion(const Archive& archive, const NameMatcher& matcher);
// The same from explicit per-entry choices (tests, the fuzzer).
DeletionPlan planDeletion(const Archive& archive, std::vector<bool> removed);

// One piece of the new file: a byte range copied from the original, or new bytes.
struct CopyRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};
using OutputPiece = std::variant<CopyRange, std::vector<std::uint8_t>>;

// The new archive as pieces, in order. `password` is needed only when a main header
// under RAR5 header encryption must be rewritten.
platform::Result<std::vector<OutputPiece>> layoutWithoutRemoved(const ByteSource& source, const Archive& archive,
                                                                const DeletionPlan& plan,
                                                                const std::string& password);

// Writes the layout over `target`, which `source` reads. Takes `source` because it closes
// it before the replace: Windows refuses to replace a file that is still open.
platform::Status writeLayout(platform::ReadableFile source, const std::vector<OutputPiece>& pieces,
                             const std::filesystem::path& target);

}  // namespace rar
