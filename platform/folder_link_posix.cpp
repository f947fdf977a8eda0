#include "platform/folder_link.h"

#include <system_error>

namespace platform {

bool isFolderLink(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec)) || ec) return false;
    return std::filesystem::is_directory(std::filesystem::status(path, ec)) && !ec;
}

}  // namespace platform
