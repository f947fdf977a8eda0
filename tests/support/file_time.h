#pragma once
// A file's modification time to the nanosecond the file system keeps. The standard
// library of the Windows build reads and sets whole seconds only.
#include <cstdint>
#include <filesystem>
#include <utility>

namespace testsupport {

// Seconds and nanoseconds since 1970.
void setModificationTime(const std::filesystem::path& path, std::int64_t seconds, long nanoseconds = 0);
std::pair<std::int64_t, long> modificationTime(const std::filesystem::path& path);

}  // namespace testsupport
