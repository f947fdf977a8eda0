#pragma once
// The modification time and Windows-style attributes of a file on disk, read when a
// file is added and applied when an entry is extracted.
#include <cstdint>
#include <filesystem>

#include "platform/status.h"

namespace rar {

struct FileStamp {
    std::int64_t unixSeconds = 0;
    std::uint32_t nanoseconds = 0;
    // Windows attribute bits: 0x01 read-only, 0x02 hidden, 0x04 system, 0x10 folder,
    // 0x20 archive. On POSIX a file without owner write permission is read-only.
    std::uint32_t windowsAttributes = 0x20;
};

// Follows symbolic links, as adding stores what a link points to.
platform::Result<FileStamp> readFileStamp(const std::filesystem::path& path);

// Sets the modification time and the read-only state (files only; a read-only folder
// would refuse the entries extracted after it). Never follows a symbolic link.
platform::Status applyFileStamp(const std::filesystem::path& path, const FileStamp& stamp, bool directory);

}  // namespace rar
