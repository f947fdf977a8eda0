#include "platform/system_error_text.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemErrorText, CommonFileErrorsAreChinese) {
    const struct {
        std::errc error;
        const char* text;
    } cases[] = {
        {std::errc::permission_denied, "没有权限"},
        {std::errc::operation_not_permitted, "没有权限"},
        {std::errc::no_such_file_or_directory, "找不到文件或文件夹"},
        {std::errc::filename_too_long, "文件名或路径太长"},
        {std::errc::no_space_on_device, "磁盘空间不足"},
        {std::errc::device_or_resource_busy, "文件正被其他程序使用"},
        {std::errc::text_file_busy, "文件正被其他程序使用"},
        {std::errc::read_only_file_system, "所在的磁盘或文件系统是只读的"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(platform::describeSystemError(std::make_error_code(c.error)), c.text);
        EXPECT_EQ(platform::describeErrno(static_cast<int>(c.error)), c.text);
    }
}

TEST(SystemErrorText, AnyOtherErrorSaysItsNumberAndKeepsTheSystemText) {
    const std::error_code rare = std::make_error_code(std::errc::protocol_error);
    const std::string text = platform::describeSystemError(rare);
    EXPECT_EQ(text.rfind("系统错误 " + std::to_string(rare.value()) + " (", 0), 0u) << text;
    EXPECT_NE(text.find(rare.message()), std::string::npos) << text;
}

#ifdef _WIN32
TEST(SystemErrorText, WindowsCodesOfTheSameMeaningGiveTheSameText) {
    const auto win = [](int code) { return platform::describeSystemError(std::error_code(code, std::system_category())); };
    EXPECT_EQ(win(5), "没有权限");                 // ERROR_ACCESS_DENIED
    EXPECT_EQ(win(2), "找不到文件或文件夹");       // ERROR_FILE_NOT_FOUND
    EXPECT_EQ(win(32), "文件正被其他程序使用");    // ERROR_SHARING_VIOLATION
    EXPECT_EQ(win(112), "磁盘空间不足");           // ERROR_DISK_FULL
    EXPECT_EQ(win(206), "文件名或路径太长");       // ERROR_FILENAME_EXCED_RANGE
}
#endif

}  // namespace
