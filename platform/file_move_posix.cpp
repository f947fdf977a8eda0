#include "platform/file_move.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform {
namespace {

MoveOutcome failed(const std::filesystem::path& from, const std::filesystem::path& to, int error) {
    return {MoveOutcome::Kind::Failed,
            "无法把 " + utf8FromPath(from) + " 改名为 " + utf8FromPath(to) + "：" + describeErrno(error)};
}

MoveOutcome targetExists(const std::filesystem::path& to) {
    return {MoveOutcome::Kind::TargetExists, "已经有名为 " + utf8FromPath(to) + " 的文件"};
}

}  // namespace

MoveOutcome moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {MoveOutcome::Kind::Moved, {}};
    }
    int error = errno;
    if (error == EEXIST) return targetExists(to);
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) return failed(from, to, error);

    // File systems without the one-step form: a hard link fails on an existing name just
    // as atomically; only where links are unknown too (FAT) is a look before the rename
    // the best there is.
    if (::link(from.c_str(), to.c_str()) == 0) {
        if (::unlink(from.c_str()) != 0) {
            int e = errno;
            ::unlink(to.c_str());
            return failed(from, to, e);
        }
        return {MoveOutcome::Kind::Moved, {}};
    }
    error = errno;
    if (error == EEXIST) return targetExists(to);
    if (error != EPERM && error != EOPNOTSUPP && error != EMLINK) return failed(from, to, error);
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return targetExists(to);
    if (::rename(from.c_str(), to.c_str()) != 0) return failed(from, to, errno);
    return {MoveOutcome::Kind::Moved, {}};
}

}  // namespace platform
