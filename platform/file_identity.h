#pragma once
// Whether two paths name one file. Names alone cannot tell: hard links, letter-case
// variants on a file system that ignores case and "a/../a" all reach the same file,
// and only the device and file number the system gives it are the same for them.
#include <cstdint>
#include <filesystem>

#include "platform/status.h"

namespace platform {

struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` names (links followed); fails when there is none.
Result<FileIdentity> fileIdentity(const std::filesystem::path& path);

// True when both paths exist and name the same file.
bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace platform
