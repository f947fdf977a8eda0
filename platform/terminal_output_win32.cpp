#include "platform/terminal_output.h"

#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string>

#include "platform/utf8_chunk_buffer.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

bool writeToConsole(HANDLE console, std::string_view utf8) {
    const std::wstring wide = win32::wideFromUtf8(utf8);
    const wchar_t* next = wide.data();
    std::size_t left = wide.size();
    while (left > 0) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(left, 16 * 1024));
        // Never half of a surrogate pair: the console would show each half as a box.
        if (chunk < left && IS_HIGH_SURROGATE(next[chunk - 1])) --chunk;
        DWORD written = 0;
        if (!::WriteConsoleW(console, next, chunk, &written, nullptr) || written == 0) return false;
        next += written;
        left -= written;
    }
    return true;
}

// Redirected text in the code page the console shows; without a console, the system's
// ANSI code page, which is the one a Chinese system's editors assume as well.
std::string encodeForRedirection(std::string_view utf8, UINT codePage) {
    if (auto known = encodeForCodePage(utf8, codePage)) return std::move(*known);
    const std::wstring wide = win32::wideFromUtf8(utf8);
    if (wide.empty()) return {};
    const int size = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string(utf8);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

// A console stream for the handle when it is a console window, else one that writes the
// console's code page through the C++ stream that writes bytes.
std::ostream& streamFor(DWORD which, std::ostream& bytes) {
    const HANDLE handle = ::GetStdHandle(which);
    // Never destroyed: static objects may still print while the program ends.
    static_cast<void>(bytes.flush());
    Utf8ChunkBuffer* buffer = nullptr;
    if (isConsole(handle)) {
        buffer = new Utf8ChunkBuffer([handle](std::string_view text) { return writeToConsole(handle, text); });
    } else {
        UINT codePage = ::GetConsoleOutputCP();
        if (codePage == 0) codePage = ::GetACP();
        if (codePage == CP_UTF8) return bytes;
        buffer = new Utf8ChunkBuffer([&bytes, codePage](std::string_view text) {
            const std::string encoded = encodeForRedirection(text, codePage);
            return static_cast<bool>(bytes.write(encoded.data(), static_cast<std::streamsize>(encoded.size())).flush());
        });
    }
    auto* stream = new std::ostream(buffer);
    if (which == STD_ERROR_HANDLE) stream->setf(std::ios::unitbuf);
    return *stream;
}

}  // namespace

std::ostream& terminalOut() {
    static std::ostream& stream = streamFor(STD_OUTPUT_HANDLE, std::cout);
    return stream;
}

std::ostream& terminalErr() {
    static std::ostream& stream = streamFor(STD_ERROR_HANDLE, std::cerr);
    return stream;
}

}  // namespace platform
