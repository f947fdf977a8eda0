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

// A folder the browser names by its item, as a path; empty when it has none.
std::wstring pathOfItem(PCIDLIST_ABSOLUTE item) {
    if (!item) return {};
    // Long paths too: the classic call stops at MAX_PATH.
    std::wstring path(32768, L'\0');
    if (!::SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT)) return {};
    path.resize(std::wcslen(path.c_str()));
    return path;
}

bool sameFolder(const std::wstring& a, const std::wstring& b) {
    auto comparable = [](const std::wstring& path) {
        auto normal = std::filesystem::path(path).make_preferred().lexically_normal();
        if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
        return normal.wstring();
    };
    const std::wstring left = comparable(a);
    const std::wstring right = comparable(b);
    return ::CompareStringOrdinal(left.c_str(), static_cast<int>(left.size()), right.c_str(),
                                  static_cast<int>(right.size()), TRUE) == CSTR_EQUAL;
}

// Where the browser is to open, and where its tree selection went last.
struct BrowseStart {
    std::wstring folder;
    std::wstring selected;
};

// Opens the browser at the start folder, once its tree is there. Wine's browser walks its
// tree down to the folder comparing each step, modification time included, with what it
// read as the walk began, so a folder that changed meanwhile (the one for temporary files
// often does) stops the walk short; a second walk reads it afresh.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM item, LPARAM data) {
    auto* start = reinterpret_cast<BrowseStart*>(data);
    if (message == BFFM_SELCHANGED) start->selected = pathOfItem(reinterpret_cast<PCIDLIST_ABSOLUTE>(item));
    if (message == BFFM_INITIALIZED && !start->folder.empty()) {
        for (int walk = 0; walk < 3 && !sameFolder(start->selected, start->folder); ++walk) {
            ::SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->folder.c_str()));
        }
    }
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
    BrowseStart start;
    std::error_code ec;
    if (!startDirectory.empty() && std::filesystem::is_directory(platform::pathFromUtf8(startDirectory), ec)) {
        start.folder = wide(startDirectory);
    }

    BROWSEINFOW browse{};
    browse.hwndOwner = owner;
    browse.lpszTitle = caption.c_str();
    browse.ulFlags = BIF_EDITBOX | BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    browse.lpfn = browseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&start);
    PIDLIST_ABSOLUTE picked = ::SHBrowseForFolderW(&browse);
    if (!picked) return std::nullopt;
    const std::wstring path = pathOfItem(picked);
    ::CoTaskMemFree(picked);
    if (path.empty()) return std::nullopt;
    return utf8(path);
}

}  // namespace win32ui
