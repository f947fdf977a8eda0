#pragma once
// What lies in front of an archive that does not start at the file's first byte. A
// self-extractor's program (an executable) is part of the archive file and is copied in
// front of the rewritten archive. Anything else is another file format that carries the
// archive inside it (a TAR, a disk image, a mail): its own headers describe the bytes
// after them, so any rewrite of the archive corrupts it, and the archive is read but
// never changed.
#include "archiver/rar/archive.h"
#include "archiver/rar/byte_source.h"

namespace rar {

enum class ArchivePrefix {
    None,            // the archive starts the file
    SelfExtractor,   // a Windows (MZ) or ELF executable before it
    ForeignContainer,
};

ArchivePrefix prefixOf(const ByteSource& source, const Archive& archive);

inline bool mayBeRewritten(ArchivePrefix prefix) { return prefix != ArchivePrefix::ForeignContainer; }

}  // namespace rar
