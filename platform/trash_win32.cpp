#include "platform/trash.h"

#include <windows.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <cstdio>
#include <string>
#include <system_error>

#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

// On Windows the trash is the recycle bin. A caller that names a trash folder of its own
// (the tests do) gets the folder layout of the Linux build instead, so that nothing of
// theirs lands in the user's recycle bin.
namespace platform {
namespace {

namespace fs = std::filesystem;

Status trashFailure(const fs::path& file, const std::string& why) {
    return Status::failure("无法把 " + utf8FromPath(file) + " 移到回收站：" + why);
}

std::string reasonOf(DWORD error) {
    return describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

// Hears from the shell where each deleted item went, and stops any item the shell would
// destroy instead of recycling (a file too big for the bin, a drive without one).
class DeleteWatcher final : public IFileOperationProgressSink {
public:
    fs::path recycled;
    bool refused = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (riid == IID_IUnknown || riid == IID_IFileOperationProgressSink) {
            *object = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the caller's stack

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem*) override {
        if (flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) return S_OK;
        refused = true;
        return E_ABORT;
    }
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem*, HRESULT result, IShellItem* created) override {
        if (SUCCEEDED(result) && created) {
            wchar_t* path = nullptr;
            if (SUCCEEDED(created->GetDisplayName(SIGDN_FILESYSPATH, &path)) && path) recycled = path;
            ::CoTaskMemFree(path);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

private:
    ULONG references_ = 1;
};

class ComApartment {
public:
    ComApartment() : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

template <class T>
class ComPointer {
public:
    ComPointer() = default;
    ComPointer(const ComPointer&) = delete;
    ComPointer& operator=(const ComPointer&) = delete;
    ~ComPointer() {
        if (p_) p_->Release();
    }
    T** out() { return &p_; }
    T* operator->() const { return p_; }
    T* get() const { return p_; }

private:
    T* p_ = nullptr;
};

enum class ShellOutcome { Recycled, Unavailable, Failed };

// The recycle bin through IFileOperation, which says where the file went. Unavailable
// where the shell does not offer it (Wine); Failed when it ran and the file stayed.
ShellOutcome recycleWithFileOperation(const fs::path& file, fs::path& recycled, std::string& why) {
    ComApartment apartment;  // a thread already in a multi-threaded apartment keeps it
    ComPointer<IFileOperation> operation;
    if (FAILED(::CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                  reinterpret_cast<void**>(operation.out()))))
        return ShellOutcome::Unavailable;
    const DWORD flags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_NOCONFIRMMKDIR | FOF_ALLOWUNDO | FOFX_RECYCLEONDELETE;
    if (FAILED(operation->SetOperationFlags(flags))) return ShellOutcome::Unavailable;
    ComPointer<IShellItem> item;
    HRESULT hr = ::SHCreateItemFromParsingName(file.c_str(), nullptr, IID_IShellItem, reinterpret_cast<void**>(item.out()));
    if (FAILED(hr)) {
        why = reasonOf(static_cast<DWORD>(hr));
        return ShellOutcome::Failed;
    }
    DeleteWatcher watcher;
    if (FAILED(operation->DeleteItem(item.get(), &watcher))) return ShellOutcome::Unavailable;
    hr = operation->PerformOperations();
    if (hr == E_NOTIMPL) return ShellOutcome::Unavailable;
    if (watcher.refused) {
        why = "这个磁盘没有能接收它的回收站";
        return ShellOutcome::Failed;
    }
    BOOL aborted = FALSE;
    operation->GetAnyOperationsAborted(&aborted);
    if (FAILED(hr) || aborted || ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
        why = FAILED(hr) ? reasonOf(static_cast<DWORD>(hr)) : "系统把它留在了原处";
        return ShellOutcome::Failed;
    }
    recycled = watcher.recycled;
    return ShellOutcome::Recycled;
}

Result<TrashedFile> moveToRecycleBin(const fs::path& file) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec).lexically_normal();
    if (ec) return trashFailure(file, describeSystemError(ec));
    if (::GetFileAttributesW(absolute.c_str()) == INVALID_FILE_ATTRIBUTES) return trashFailure(file, reasonOf(::GetLastError()));

    fs::path recycled;
    std::string why;
    switch (recycleWithFileOperation(absolute, recycled, why)) {
        case ShellOutcome::Recycled:
            return trashRecordOf(recycled);
        case ShellOutcome::Failed:
            return trashFailure(file, why);
        case ShellOutcome::Unavailable:
            break;
    }

    // The older interface recycles as well but does not tell where to: such a file can be
    // brought back from the recycle bin by the user, not by restoreFromTrash.
    std::wstring from = absolute.native();
    from.push_back(L'\0');  // the list ends with an empty name
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
    const int result = ::SHFileOperationW(&operation);
    if (result != 0 || operation.fAnyOperationsAborted || ::GetFileAttributesW(absolute.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return trashFailure(file, result != 0 ? "系统报告错误 " + std::to_string(result) : "系统把它留在了原处");
    }
    return TrashedFile{};
}

std::string percentEncoded(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                     c == '-' || c == '_' || c == '.' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string deletionDate() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                  now.wSecond);
    return text;
}

std::wstring candidateName(const fs::path& original, int attempt) {
    if (attempt == 1) return original.filename().native();
    return original.stem().native() + L"." + std::to_wstring(attempt) + original.extension().native();
}

Result<TrashedFile> moveToTrashFolder(const fs::path& file, const fs::path& trash) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(file, ec).lexically_normal();
    if (ec) return trashFailure(file, describeSystemError(ec));
    if (::GetFileAttributesW(absolute.c_str()) == INVALID_FILE_ATTRIBUTES) return trashFailure(file, reasonOf(::GetLastError()));
    fs::create_directories(trash / L"files", ec);
    if (!ec) fs::create_directories(trash / L"info", ec);
    if (ec) return trashFailure(file, "无法创建 " + utf8FromPath(trash) + "：" + describeSystemError(ec));

    std::string recorded = utf8FromPath(absolute);
    for (char& c : recorded) {
        if (c == '\\') c = '/';
    }
    const std::string record = "[Trash Info]\nPath=" + percentEncoded(recorded) + "\nDeletionDate=" + deletionDate() + "\n";
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::wstring name = candidateName(absolute, attempt);
        const fs::path infoPath = trash / L"info" / (name + L".trashinfo");
        HANDLE h = ::CreateFileW(infoPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return Status::failure("无法创建 " + utf8FromPath(infoPath) + "：" + reasonOf(error));
        }
        DWORD written = 0;
        const bool ok = ::WriteFile(h, record.data(), static_cast<DWORD>(record.size()), &written, nullptr) &&
                        written == record.size() && ::FlushFileBuffers(h);
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        if (!ok) {
            ::DeleteFileW(infoPath.c_str());
            return Status::failure("无法写入 " + utf8FromPath(infoPath) + "：" + reasonOf(error));
        }
        const fs::path target = trash / L"files" / name;
        MoveOutcome moved = moveWithoutReplacing(absolute, target);
        if (moved.moved()) return TrashedFile{target, infoPath};
        ::DeleteFileW(infoPath.c_str());
        // A file left in files/ without its record still owns its name.
        if (moved.kind == MoveOutcome::Kind::TargetExists) continue;
        return trashFailure(file, moved.message);
    }
    return trashFailure(file, utf8FromPath(trash) + " 中没有空闲的名称");
}

}  // namespace

// The recycle bin is no folder of the program's choosing.
fs::path homeTrashDirectory() { return {}; }

Result<TrashedFile> moveToTrash(const fs::path& file) { return moveToRecycleBin(file); }

Result<TrashedFile> moveToTrash(const fs::path& file, const fs::path& homeTrash) {
    if (homeTrash.empty()) return moveToRecycleBin(file);
    return moveToTrashFolder(file, homeTrash);
}

TrashedFile trashRecordOf(const fs::path& trashedFile) {
    // The bin keeps the file as $R... and its record of the original place as $I... beside
    // it; a trash folder of the caller's own has the Linux layout.
    std::wstring name = trashedFile.filename().native();
    if (name.size() > 2 && name[0] == L'$' && (name[1] == L'R' || name[1] == L'r')) {
        name[1] = L'I';
        return TrashedFile{trashedFile, trashedFile.parent_path() / name};
    }
    const fs::path files = trashedFile.parent_path();
    if (files.filename() == L"files") return TrashedFile{trashedFile, files.parent_path() / L"info" / (name + L".trashinfo")};
    return TrashedFile{trashedFile, {}};
}

Status restoreFromTrash(const TrashedFile& trashed, const fs::path& original) {
    if (trashed.file.empty()) {
        return Status::failure("无法把 " + utf8FromPath(original) +
                               " 放回原处：系统没有说明它在回收站中的位置，请从回收站中还原");
    }
    MoveOutcome moved = moveWithoutReplacing(trashed.file, original);
    if (!moved.moved()) return Status::failure(moved.message);
    if (!trashed.info.empty()) ::DeleteFileW(trashed.info.c_str());
    return Status::success();
}

}  // namespace platform
