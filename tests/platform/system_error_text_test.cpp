#include "platform/system_error_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemErrorText, TheReasonsAPersonCanActOnAreChinese) {
    struct Case {
        std::errc error;
        const char* text;
    } cases[] = {
        {std::errc::permission_denied, "没有权限"},
        {std::errc::operation_not_permitted, "没有权限"},
        {std::errc::no_such_file_or_directory, "找不到文件或文件夹"},
        {std::errc::filename_too_long, "文件名或路径过长"},
        {std::errc::no_space_on_device, "磁盘空间不足"},
        {std::errc::device_or_resource_busy, "文件正被其他程序使用"},
        {std::errc::read_only_file_system, "文件系统是只读的"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::describeSystemError(std::make_error_code(c.error)), c.text) << static_cast<int>(c.error);
    }
    // Any other reason keeps the system's words, after a Chinese lead.
    const std::error_code other = std::make_error_code(std::errc::bad_file_descriptor);
    EXPECT_EQ(platform::describeSystemError(other), "系统错误（" + other.message() + "）");
}

}  // namespace
