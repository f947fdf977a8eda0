#pragma once
// The existing archive an add updates: its decoded layout and the open file that kept
// blocks are copied from.
#include <filesystem>

#include "archiver/rar/archive.h"
#include "platform/file.h"
#include "platform/status.h"

namespace rar {

struct ExistingRar4Archive {
    Archive archive;
    platform::ReadableFile file;
};

// Fails with a message naming the file when it is no RAR archive or is damaged: an
// update copies blocks unchanged and must not carry damage into the new archive.
platform::Result<ExistingRar4Archive> readExistingRar4Archive(const std::filesystem::path& path);

}  // namespace rar
