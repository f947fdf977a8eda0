#include "platform/file_move.h"

#include <windows.h>

#include "platform/paths.h"
#include "platform/windows_api.h"

namespace platform {

MoveOutcome moveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the system refuses an existing name in the same
    // step as the rename; without MOVEFILE_COPY_ALLOWED it never copies across volumes.
    if (::MoveFileExW(from.c_str(), to.c_str(), 0)) return {MoveOutcome::Kind::Moved, {}};
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return {MoveOutcome::Kind::TargetExists, "a file named " + utf8FromPath(to) + " already exists"};
    }
    return {MoveOutcome::Kind::Failed,
            "cannot rename " + utf8FromPath(from) + " to " + utf8FromPath(to) + ": " + win32::errorText(error)};
}

}  // namespace platform
