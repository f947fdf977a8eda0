#pragma once
// What the Windows platform files share: UTF-8 <-> UTF-16 for the wide-character API, the
// system's text for an error code, and an owned handle. Included by *_win32.cpp only.
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace platform::win32 {

// Invalid UTF-8 (or a lone surrogate the other way) becomes U+FFFD.
std::wstring wideFromUtf8(std::string_view utf8);
std::string utf8FromWide(std::wstring_view wide);

// The system's text for `error` (a GetLastError() code), without its line end.
std::string errorText(DWORD error);
// "<what> <path>: <system text>"
std::string describe(std::string_view what, const std::filesystem::path& path, DWORD error);

// Closes its handle; null and INVALID_HANDLE_VALUE both mean none.
class Handle {
public:
    Handle() = default;
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(Handle&& other) noexcept : h_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    HANDLE get() const { return h_; }
    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE release() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (valid()) ::CloseHandle(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

// Appends one argument to a command line so that the child's C runtime splits it back into
// exactly that argv entry (the rules of CommandLineToArgvW).
void appendQuotedArgument(std::wstring& line, const std::wstring& argument);

}  // namespace platform::win32
