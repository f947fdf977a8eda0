#pragma once
// Deleting entries at the end of an archive without rewriting the rest. Where the new
// archive would be the original's first bytes followed by an end block, the file is cut
// short in place: first the end block goes over the first removed header and is flushed
// to disk, so the file already lists exactly the kept entries (nothing after an end block
// belongs to the archive, and readers stop there); then the file is cut after the end
// block and flushed again. A kill or a crash between the two steps leaves a complete
// archive of the kept entries with the removed bytes behind its end block; a cut mark
// written with the end block tells the next delete to finish the cut.
//
// Only where nothing after the removed entries matters: the layout already says so (no
// recovery record or quick-open data to drop, no main header to rewrite, no block after
// them that a rewrite would keep), and the end block must be one a plain archive has. The
// end block and the mark must lie in one 512-byte sector, which a disk writes whole.
#include <cstdint>
#include <optional>
#include <vector>

#include "archiver/rar/archive.h"
#include "archiver/rar/archive_editor.h"
#include "archiver/rar/byte_source.h"
#include "platform/file.h"
#include "platform/status.h"

namespace rar {

struct TailCut {
    std::uint64_t offset = 0;            // where the kept bytes end and the end block goes
    std::vector<std::uint8_t> endBlock;  // as the rewrite would write it

    // What the first step writes at `offset`: the end block and the cut mark after it.
    std::vector<std::uint8_t> firstWrite() const;
    std::uint64_t newSize() const { return offset + endBlock.size(); }
};

// The cut that gives the same file as writing `pieces` (the deletion's layout), if any.
std::optional<TailCut> tailCutOf(const ByteSource& source, const Archive& archive, const std::vector<OutputPiece>& pieces);

// Cuts `file` (the archive `pieces` came from). False: the file cannot be changed in place
// (linked under another name, locked by a reader, changed since it was read); nothing was
// touched and the rewrite is the way. A failure leaves a whole archive, of the original
// entries or of the kept ones.
platform::Result<bool> cutInPlace(const platform::ReadableFile& file, const TailCut& cut);

// Where a cut was interrupted between its two steps: the end of the archive, when the
// cut mark follows it.
std::optional<std::uint64_t> interruptedCut(const ByteSource& source, const Archive& archive);
platform::Result<bool> finishInterruptedCut(const platform::ReadableFile& file, std::uint64_t at);

}  // namespace rar
