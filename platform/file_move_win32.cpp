#include "platform/file_move.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

namespace platform {

MoveOutcome moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the system refuses an existing name in the same
    // step as the rename; without MOVEFILE_COPY_ALLOWED it never copies across volumes.
    if (::MoveFileExW(from.c_str(), to.c_str(), 0)) return {MoveOutcome::Kind::Moved, {}};
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return {MoveOutcome::Kind::TargetExists, "已经有名为 " + utf8FromPath(to) + " 的文件"};
    }
    return {MoveOutcome::Kind::Failed,
            "无法把 " + utf8FromPath(from) + " 改名为 " + utf8FromPath(to) + "：" +
                describeSystemError(std::error_code(static_cast<int>(error), std::system_category()))};
}

}  // namespace platform
