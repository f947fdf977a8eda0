#pragma once
// The archiver and its exchange files are named relative to the working directory, so a
// dialog that moves it (the open-file dialog does, OFN_NOCHANGEDIR notwithstanding) must
// not leave it moved.
#include <windows.h>

#include <string>

namespace win32ui {

class WorkingDirectoryGuard {
public:
    WorkingDirectoryGuard() {
        const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
        saved_.resize(size);
        const DWORD copied = ::GetCurrentDirectoryW(size, saved_.data());
        saved_.resize(copied < size ? copied : 0);
    }
    ~WorkingDirectoryGuard() {
        if (!saved_.empty()) ::SetCurrentDirectoryW(saved_.c_str());
    }
    WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
    WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;

private:
    std::wstring saved_;
};

}  // namespace win32ui
