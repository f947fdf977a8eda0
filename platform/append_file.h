#pragma once
// A file that grows by whole records: each append reaches the disk before it returns,
// so a record written before an action is still there after a crash during the action.
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/status.h"

namespace platform {

class AppendFile {
public:
    // Opens `path` for appending, creating it when missing.
    static Result<AppendFile> open(const std::filesystem::path& path);
    AppendFile(AppendFile&&) noexcept;
    AppendFile& operator=(AppendFile&&) noexcept;
    ~AppendFile();

    Status append(std::string_view bytes);
    const std::filesystem::path& path() const { return path_; }

private:
    AppendFile(std::filesystem::path path, std::intptr_t handle);
    std::filesystem::path path_;
    std::intptr_t handle_ = -1;
};

}  // namespace platform
