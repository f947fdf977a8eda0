// The list the open-file dialog writes when several files may be picked.
#include "ui/win32/open_file_names.h"

#include <gtest/gtest.h>

namespace {

TEST(PickedFiles, OneFileOrAFolderWithNames) {
    struct Case {
        const char* what;
        std::wstring buffer;  // NULs inside, the list's own end included
        std::vector<std::wstring> files;
    };
    const Case cases[] = {
        {"nothing", std::wstring(L"\0\0", 2), {}},
        {"one file", std::wstring(L"C:\\资料\\a.rar\0\0", 13), {L"C:\\资料\\a.rar"}},
        {"several", std::wstring(L"C:\\资料\0b.rar\0a b.rar\0\0", 20), {L"C:\\资料\\b.rar", L"C:\\资料\\a b.rar"}},
        {"in a drive's root", std::wstring(L"D:\\\0x.rar\0y.rar\0\0", 17), {L"D:\\x.rar", L"D:\\y.rar"}},
    };
    for (const Case& c : cases) EXPECT_EQ(win32ui::pickedFiles(c.buffer.c_str()), c.files) << c.what;
}

}  // namespace
