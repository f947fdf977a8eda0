#include "platform/file_identity.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {

Result<FileIdentity> fileIdentity(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return Status::failure("无法读取 " + utf8FromPath(path) + " 的文件信息：" + describeErrno(errno));
    }
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool isSameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    auto ia = fileIdentity(a);
    if (!ia) return false;
    auto ib = fileIdentity(b);
    return ib && *ia == *ib;
}

}  // namespace platform
