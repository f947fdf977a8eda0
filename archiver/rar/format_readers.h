#pragma once
// The two block walkers behind readArchive; each fills `archive` from the signature at
// `signatureOffset` on and returns the first problem it met.
#include <cstdint>
#include <optional>

#include "archiver/rar/archive.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/byte_source.h"

namespace rar {

std::optional<ReadProblem> readRar4Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive);
std::optional<ReadProblem> readRar5Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive);

}  // namespace rar
