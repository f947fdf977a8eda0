#pragma once
// The pipes a started child writes into, and their reading until the child has ended.
// Included by *_win32.cpp only.
#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/status.h"
#include "platform/windows_api.h"

namespace platform::win32 {

// One pipe: the child gets the writing end (inheritable), this process keeps the reading
// end, which is read overlapped, so that a read can be given up once the child has ended.
struct ChildPipe {
    Handle readEnd;
    Handle writeEnd;
    // Set when a read of the reading end completes.
    Handle readDone;
};

Result<ChildPipe> createChildPipe(const std::filesystem::path& program);

// Reads the pipes until each reports its end, or, once the child has ended, until each is
// empty: a process the child started may hold a writing end far longer than the child
// lives, and its end is no sign of anything the caller waits for. (Under Wine the console
// host of the child and the desktop process, which the first program to ask for a window
// starts, both get the child's standard handles.)
class ChildOutputReader {
public:
    using Sink = std::function<void(std::string_view)>;

    explicit ChildOutputReader(HANDLE child) : child_(child) {}
    ChildOutputReader(const ChildOutputReader&) = delete;
    ChildOutputReader& operator=(const ChildOutputReader&) = delete;
    ~ChildOutputReader();

    // Bytes read from `pipe` go to `sink`, in order.
    void add(const ChildPipe& pipe, Sink sink);
    void readAll();

private:
    static constexpr DWORD kBufferSize = 4096;
    struct Stream {
        HANDLE readEnd;
        HANDLE readDone;
        Sink sink;
        OVERLAPPED overlapped{};
        bool pending = false;
        bool open = true;
        // Small on purpose: output crosses several reads, and nothing about the result
        // may depend on where the seams fall.
        std::array<char, kBufferSize> buffer{};
    };

    void start(Stream& s);
    void finish(Stream& s, BOOL wait);
    void giveUp(Stream& s);
    void drain(Stream& s);

    HANDLE child_;
    std::vector<std::unique_ptr<Stream>> streams_;
};

}  // namespace platform::win32
