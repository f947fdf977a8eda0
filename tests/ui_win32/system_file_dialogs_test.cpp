// The system's own dialogs, answered from a timer on the window's thread the way a user
// would: a name typed into the dialog's box, then OK.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "tests/ui_win32/window_fixture.h"
#include "ui/win32/window_text.h"

namespace fs = std::filesystem;

namespace {

// The explorer-style open-file dialog's name box, and the folder browser's edit field.
constexpr int kFileNameBox = 0x47C;  // cmb13
constexpr int kFolderEditBox = 0x3744;

// Answers the next dialog of this thread: types each text in turn into the box (an empty
// one: types nothing) and presses OK, where a folder's path first takes the open-file
// dialog into that folder; Cancel when the texts are used up and the dialog is still open.
struct DialogAnswer {
    static inline std::vector<std::wstring> typed;
    static inline std::size_t next = 0;
    static inline int box = 0;
    static inline std::string title;
    static inline int ticks = 0;

    static void arm(int nameBox, std::vector<std::wstring> texts) {
        box = nameBox;
        typed = std::move(texts);
        next = 0;
        title.clear();
        ticks = 0;
        ::SetTimer(nullptr, 0, 50, tick);
    }

    static BOOL CALLBACK findDialog(HWND h, LPARAM found) {
        wchar_t name[16] = {};
        ::GetClassNameW(h, name, 16);
        if (std::wstring(name) == L"#32770" && ::IsWindowVisible(h)) {
            *reinterpret_cast<HWND*>(found) = h;
            return FALSE;
        }
        return TRUE;
    }

    static void press(HWND dialog, int button) {
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
    }

    static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD) {
        HWND dialog = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), findDialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) {
            // Ten seconds: it never came, or it has gone.
            if (++ticks > 200) ::KillTimer(nullptr, timer);
            return;
        }
        if (title.empty()) title = win32ui::windowText(dialog);
        if (next == typed.size()) {
            press(dialog, IDCANCEL);
            ::KillTimer(nullptr, timer);
            return;
        }
        HWND field = ::GetDlgItem(dialog, box);
        // A combo box takes its text in the edit field inside it.
        if (HWND inner = field ? ::FindWindowExW(field, nullptr, L"Edit", nullptr) : nullptr) field = inner;
        if (field && !typed[next].empty()) ::SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed[next].c_str()));
        ++next;
        press(dialog, IDOK);
    }
};

struct SystemDialogTest : WindowTest {
    win32ui::SystemFileDialogs system;
    fs::path before = fs::current_path();
    OpenFilesRequest request{"请选择需要添加的文件", "Rar压缩包", "*.rar"};
};

TEST_F(SystemDialogTest, TheOpenFileDialogGivesSeveralFilesAndLeavesTheWorkingDirectory) {
    tmp.write("选/a.rar", "");
    tmp.write("选/b c.rar", "");
    const fs::path folder = tmp.path() / win32ui::wide("选");

    DialogAnswer::arm(kFileNameBox, {folder.wstring(), L"\"b c.rar\" \"a.rar\""});
    auto files = system.askForFiles(window->hwnd(), request);
    EXPECT_EQ(DialogAnswer::title, "请选择需要添加的文件");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{win32ui::utf8((folder / L"a.rar").wstring()),
                                               win32ui::utf8((folder / L"b c.rar").wstring())}));
    EXPECT_EQ(fs::current_path(), before);

    DialogAnswer::arm(kFileNameBox, {(folder / L"a.rar").wstring()});
    EXPECT_EQ(system.askForFiles(window->hwnd(), request),
              (std::vector<std::string>{win32ui::utf8((folder / L"a.rar").wstring())}));
    EXPECT_EQ(fs::current_path(), before);

    DialogAnswer::arm(kFileNameBox, {});
    EXPECT_TRUE(system.askForFiles(window->hwnd(), request).empty());
}

// (Wine's browser takes the folder selected in its tree, not one typed into its field.)
TEST_F(SystemDialogTest, TheFolderBrowserOpensAtTheStartFolder) {
    const fs::path folder = tmp.path() / win32ui::wide("资料") / L"下载";
    fs::create_directories(folder);
    DialogAnswer::arm(kFolderEditBox, {L""});
    auto picked = system.askForDirectory(window->hwnd(), "选择目录：", win32ui::utf8(folder.wstring()));
    EXPECT_FALSE(DialogAnswer::title.empty()) << "no dialog opened";
    ASSERT_TRUE(picked);
    EXPECT_EQ(fs::path(win32ui::wide(*picked)), folder);
    EXPECT_EQ(fs::current_path(), before);

    DialogAnswer::arm(kFolderEditBox, {});
    EXPECT_FALSE(system.askForDirectory(window->hwnd(), "选择目录：", "Q:\\no such folder"));
    EXPECT_EQ(fs::current_path(), before);
}

}  // namespace
