#include "platform/system_error_text.h"

namespace platform {
namespace {

#ifdef _WIN32
// Windows' own codes, which the C++ library does not all map to the portable conditions.
const char* windowsText(int code) {
    switch (code) {
        case 2:    // ERROR_FILE_NOT_FOUND
        case 3:    // ERROR_PATH_NOT_FOUND
            return "找不到文件或文件夹";
        case 5:    // ERROR_ACCESS_DENIED
            return "没有权限";
        case 19:   // ERROR_WRITE_PROTECT
            return "磁盘是只读的";
        case 32:   // ERROR_SHARING_VIOLATION
        case 33:   // ERROR_LOCK_VIOLATION
            return "文件正被其他程序使用";
        case 39:   // ERROR_HANDLE_DISK_FULL
        case 112:  // ERROR_DISK_FULL
            return "磁盘空间不足";
        case 206:  // ERROR_FILENAME_EXCED_RANGE
            return "文件名或路径过长";
        default:
            return nullptr;
    }
}
#endif

}  // namespace

std::string describeSystemError(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category()) {
        if (const char* text = windowsText(error.value())) return text;
    }
#endif
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted) return "没有权限";
    if (error == std::errc::no_such_file_or_directory) return "找不到文件或文件夹";
    if (error == std::errc::filename_too_long) return "文件名或路径过长";
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large) return "磁盘空间不足";
    if (error == std::errc::device_or_resource_busy || error == std::errc::text_file_busy) return "文件正被其他程序使用";
    if (error == std::errc::read_only_file_system) return "文件系统是只读的";
    return "系统错误（" + error.message() + "）";
}

}  // namespace platform
