#pragma once
// List files ("@file"): one name per line, in GB18030 or in UTF-8 (or UTF-16LE) with a
// byte-order mark. Line ends may be CR LF or LF; blank lines are skipped and blanks
// around a name dropped.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace console {

// Larger list files are refused rather than read into memory.
inline constexpr std::uint64_t kMaxListFileSize = 64 * 1024 * 1024;

std::vector<std::string> namesFromListText(std::string_view bytes);
platform::Result<std::vector<std::string>> readListFile(const std::filesystem::path& path);

}  // namespace console
