#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "archiver/rar/file_stamp.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace rar {

platform::Result<FileStamp> readFileStamp(const std::filesystem::path& path) {
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return platform::Status::failure("无法读取 " + platform::utf8FromPath(path) + " 的时间：" +
                                         platform::describeErrno(errno));
    FileStamp s;
    s.unixSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    s.nanoseconds = static_cast<std::uint32_t>(st.st_mtim.tv_nsec);
    s.windowsAttributes = S_ISDIR(st.st_mode) ? 0x10u : 0x20u;
    if (!(st.st_mode & S_IWUSR)) s.windowsAttributes |= 0x01u;
    return s;
}

platform::Status applyFileStamp(const std::filesystem::path& path, const FileStamp& stamp, bool directory) {
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_NOW;
    times[1].tv_sec = static_cast<time_t>(stamp.unixSeconds);
    times[1].tv_nsec = static_cast<long>(stamp.nanoseconds % 1000000000u);
    if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        return platform::Status::failure("无法设置 " + platform::utf8FromPath(path) + " 的时间：" +
                                         platform::describeErrno(errno));
    if (!directory && (stamp.windowsAttributes & 0x01u)) {
        struct stat st{};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            ::chmod(path.c_str(), st.st_mode & ~static_cast<mode_t>(0222)) != 0)
            return platform::Status::failure("无法把 " + platform::utf8FromPath(path) + " 设为只读：" +
                                             platform::describeErrno(errno));
    }
    return platform::Status::success();
}

}  // namespace rar
