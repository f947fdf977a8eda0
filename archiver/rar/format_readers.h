#pragma once
// The two block walkers behind readArchive; each fills the archive-level fields of
// `archive` from the signature at `signatureOffset` on, hands every entry and block to
// `visitor` and returns the first problem it met.
#include <cstdint>
#include <optional>

#include "archiver/rar/archive.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/byte_source.h"

namespace rar {

std::optional<ReadProblem> readRar4Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor);
std::optional<ReadProblem> readRar5Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor);

}  // namespace rar
