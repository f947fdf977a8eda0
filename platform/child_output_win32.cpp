#include "platform/child_output_win32.h"

#include <atomic>
#include <string>

#include "platform/paths.h"
#include "platform/system_error_text.h"

namespace platform::win32 {

namespace {

std::string pipeProblem(const std::filesystem::path& program, DWORD error) {
    return "无法创建管道以启动 " + utf8FromPath(program) + "：" +
           describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

}  // namespace

Result<ChildPipe> createChildPipe(const std::filesystem::path& program) {
    // CreatePipe makes pipes that only read synchronously; a named pipe of this process's
    // own is what it makes underneath anyway.
    static std::atomic<unsigned long> serial{0};
    constexpr DWORD kPipeBufferSize = 64 * 1024;
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::wstring name = L"\\\\.\\pipe\\pimingbao-child-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(++serial) + L"-" + std::to_wstring(::GetTickCount64());
        // One instance, made by this call and no earlier one: nobody else is at the other end.
        Handle readEnd(::CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                          PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT, 1, 0, kPipeBufferSize, 0, nullptr));
        if (!readEnd.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_ACCESS_DENIED || error == ERROR_PIPE_BUSY) continue;  // the name is taken
            return Status::failure(pipeProblem(program, error));
        }
        SECURITY_ATTRIBUTES sa{};
        sa.nLength = sizeof sa;
        sa.bInheritHandle = TRUE;
        Handle writeEnd(::CreateFileW(name.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES, 0, &sa, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!writeEnd.valid()) return Status::failure(pipeProblem(program, ::GetLastError()));
        Handle readDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
        if (!readDone.valid()) return Status::failure(pipeProblem(program, ::GetLastError()));
        return ChildPipe{std::move(readEnd), std::move(writeEnd), std::move(readDone)};
    }
    return Status::failure("无法创建管道以启动 " + utf8FromPath(program) + "：没有空闲的管道名");
}

ChildOutputReader::~ChildOutputReader() {
    // No read may outlive the buffer it fills.
    for (auto& s : streams_) giveUp(*s);
}

void ChildOutputReader::add(const ChildPipe& pipe, Sink sink) {
    auto s = std::make_unique<Stream>();
    s->readEnd = pipe.readEnd.get();
    s->readDone = pipe.readDone.get();
    s->sink = std::move(sink);
    streams_.push_back(std::move(s));
}

void ChildOutputReader::start(Stream& s) {
    s.overlapped = OVERLAPPED{};
    s.overlapped.hEvent = s.readDone;
    ::ResetEvent(s.readDone);
    // A read that completes at once still sets the event and leaves its result.
    if (::ReadFile(s.readEnd, s.buffer.data(), kBufferSize, nullptr, &s.overlapped) || ::GetLastError() == ERROR_IO_PENDING) {
        s.pending = true;
    } else {
        s.open = false;  // ERROR_BROKEN_PIPE: the end
    }
}

void ChildOutputReader::finish(Stream& s, BOOL wait) {
    DWORD got = 0;
    if (::GetOverlappedResult(s.readEnd, &s.overlapped, &got, wait)) {
        s.pending = false;
        if (got > 0) s.sink(std::string_view(s.buffer.data(), got));
        return;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_IO_INCOMPLETE) return;
    s.pending = false;
    if (error != ERROR_OPERATION_ABORTED) s.open = false;
}

void ChildOutputReader::giveUp(Stream& s) {
    if (!s.pending) return;
    ::CancelIoEx(s.readEnd, &s.overlapped);
    finish(s, TRUE);
}

void ChildOutputReader::drain(Stream& s) {
    // Only while bytes wait in the pipe: such a read completes by itself.
    for (;;) {
        DWORD available = 0;
        if (!s.open || !::PeekNamedPipe(s.readEnd, nullptr, 0, nullptr, &available, nullptr) || available == 0) return;
        start(s);
        if (s.pending) finish(s, TRUE);
    }
}

void ChildOutputReader::readAll() {
    for (;;) {
        std::vector<Stream*> reading;
        std::vector<HANDLE> events;
        for (auto& s : streams_) {
            if (s->open && !s->pending) start(*s);
            if (s->pending) {
                reading.push_back(s.get());
                events.push_back(s->readDone);
            }
        }
        if (reading.empty()) return;
        // The child last: when a read and its end are ready together, the bytes are taken first.
        events.push_back(child_);
        const DWORD woke = ::WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, INFINITE);
        if (woke < WAIT_OBJECT_0 + reading.size()) {
            finish(*reading[woke - WAIT_OBJECT_0], TRUE);
            continue;
        }
        if (woke == WAIT_OBJECT_0 + reading.size()) {
            // All the child wrote is in a read already or still in its pipe: the reads are
            // given up, and what is left is taken by reads that cannot wait.
            for (auto& s : streams_) giveUp(*s);
            for (auto& s : streams_) drain(*s);
        }
        return;
    }
}

}  // namespace platform::win32
