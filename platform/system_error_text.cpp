#include "platform/system_error_text.h"

#include <optional>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {
namespace {

#ifdef _WIN32
// Windows error codes (GetLastError, std::system_category) of the same meaning.
std::optional<std::errc> portable(int code) {
    switch (code) {
        case ERROR_ACCESS_DENIED:
        case ERROR_PRIVILEGE_NOT_HELD:
            return std::errc::permission_denied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return std::errc::no_such_file_or_directory;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BUFFER_OVERFLOW:
            return std::errc::filename_too_long;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return std::errc::no_space_on_device;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE:
            return std::errc::device_or_resource_busy;
        case ERROR_WRITE_PROTECT:
            return std::errc::read_only_file_system;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return std::errc::file_exists;
        case ERROR_DIRECTORY:
            return std::errc::not_a_directory;
        case ERROR_NOT_SAME_DEVICE:
            return std::errc::cross_device_link;
        case ERROR_CANT_RESOLVE_FILENAME:
            return std::errc::too_many_symbolic_link_levels;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return std::errc::not_enough_memory;
        default:
            return std::nullopt;
    }
}
#endif

std::optional<std::errc> meaningOf(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category()) return portable(error.value());
#endif
    const std::error_condition condition = error.default_error_condition();
    if (condition.category() != std::generic_category()) return std::nullopt;
    return static_cast<std::errc>(condition.value());
}

const char* chineseText(std::errc meaning) {
    switch (meaning) {
        case std::errc::permission_denied:
        case std::errc::operation_not_permitted:
            return "没有权限";
        case std::errc::no_such_file_or_directory:
            return "找不到文件或文件夹";
        case std::errc::filename_too_long:
            return "文件名或路径太长";
        case std::errc::no_space_on_device:
            return "磁盘空间不足";
        case std::errc::file_too_large:
            return "文件太大";
        case std::errc::device_or_resource_busy:
        case std::errc::text_file_busy:
            return "文件正被其他程序使用";
        case std::errc::read_only_file_system:
            return "所在的磁盘或文件系统是只读的";
        case std::errc::file_exists:
            return "文件已经存在";
        case std::errc::is_a_directory:
            return "这是一个文件夹";
        case std::errc::not_a_directory:
            return "路径中有一部分不是文件夹";
        case std::errc::too_many_symbolic_link_levels:
            return "符号链接太多或成环";
        case std::errc::cross_device_link:
            return "不能跨磁盘移动";
        case std::errc::io_error:
            return "磁盘读写出错";
        case std::errc::not_enough_memory:
            return "内存不足";
        case std::errc::too_many_files_open:
        case std::errc::too_many_files_open_in_system:
            return "打开的文件太多";
        case std::errc::directory_not_empty:
            return "文件夹不是空的";
        case std::errc::invalid_argument:
            return "参数无效";
        default:
            return nullptr;
    }
}

}  // namespace

std::string describeSystemError(const std::error_code& error) {
    if (!error) return "没有错误";
    if (const auto meaning = meaningOf(error)) {
        if (const char* text = chineseText(*meaning)) return text;
    }
    std::string systemText = error.message();
    while (!systemText.empty() && (systemText.back() == '\n' || systemText.back() == '\r' || systemText.back() == ' '))
        systemText.pop_back();
    return "系统错误 " + std::to_string(error.value()) + " (" + systemText + ")";
}

std::string describeErrno(int error) { return describeSystemError(std::error_code(error, std::generic_category())); }

}  // namespace platform
