#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/open_file_names.h"
#include "ui/win32/window_text.h"
#include "ui/win32/working_directory_guard.h"

namespace win32ui {
namespace {

// Room for a few thousand picked files; the dialog gives nothing when they do not fit.
constexpr std::size_t kPickedFilesBuffer = 1u << 20;

// Opens the browser at the start folder, once its tree is there.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED && startFolder) ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, startFolder);
    return 0;
}

// The folder browser's new style needs COM on the calling thread.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (initialised_) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

}  // namespace

std::vector<std::string> SystemFileDialogs::askForFiles(HWND owner, const OpenFilesRequest& request) {
    WorkingDirectoryGuard keepWorkingDirectory;
    std::wstring title = wide(request.title);
    std::wstring filter = wide(request.filterName);
    filter += L'\0';
    filter += wide(request.filterPattern);
    filter += L'\0';  // the string's own NUL ends the list
    std::wstring buffer(kPickedFilesBuffer, L'\0');

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = buffer.data();
    dialog.nMaxFile = static_cast<DWORD>(buffer.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                   OFN_NOCHANGEDIR;
    std::vector<std::string> files;
    if (!::GetOpenFileNameW(&dialog)) return files;
    for (const std::wstring& file : pickedFiles(buffer.c_str())) files.push_back(utf8(file));
    return files;
}

std::optional<std::string> SystemFileDialogs::askForDirectory(HWND owner, const std::string& title,
                                                              const std::string& startDirectory) {
    WorkingDirectoryGuard keepWorkingDirectory;
    ComApartment com;
    std::wstring caption = wide(title);
    std::wstring start;
    std::error_code ec;
    if (!startDirectory.empty() && std::filesystem::is_directory(platform::pathFromUtf8(startDirectory), ec)) {
        start = wide(startDirectory);
    }

    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_EDITBOX | BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = browseCallback;
    browse.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    PIDLIST_ABSOLUTE picked = ::SHBrowseForFolderW(&browse);
    if (!picked) return std::nullopt;
    // Long paths too: the classic call stops at MAX_PATH.
    std::wstring path(32768, L'\0');
    const bool found = ::SHGetPathFromIDListEx(picked, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    ::CoTaskMemFree(picked);
    if (!found) return std::nullopt;
    path.resize(std::wcslen(path.c_str()));
    if (path.empty()) return std::nullopt;
    return utf8(path);
}

}  // namespace win32ui
