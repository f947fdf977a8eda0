#include "platform/process.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "platform/child_output_win32.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

using win32::Handle;

std::string describe(const std::string& what, const std::filesystem::path& path, DWORD error) {
    return what + " " + utf8FromPath(path) + "：" + describeSystemError(std::error_code(static_cast<int>(error), std::system_category()));
}

// The child inherits exactly these handles and no other that happens to be inheritable
// in this process at the moment (another thread may be starting a child of its own).
class InheritedHandles {
public:
    explicit InheritedHandles(std::vector<HANDLE> handles) : handles_(std::move(handles)) {
        std::sort(handles_.begin(), handles_.end());
        handles_.erase(std::unique(handles_.begin(), handles_.end()), handles_.end());
    }
    InheritedHandles(const InheritedHandles&) = delete;
    InheritedHandles& operator=(const InheritedHandles&) = delete;
    ~InheritedHandles() {
        if (list_) ::DeleteProcThreadAttributeList(list_);
    }

    DWORD prepare() {
        SIZE_T size = 0;
        ::InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
        storage_ = std::make_unique<unsigned char[]>(size);
        auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(storage_.get());
        if (!::InitializeProcThreadAttributeList(list, 1, 0, &size)) return ::GetLastError();
        list_ = list;
        if (!::UpdateProcThreadAttribute(list_, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles_.data(),
                                         handles_.size() * sizeof(HANDLE), nullptr, nullptr))
            return ::GetLastError();
        return ERROR_SUCCESS;
    }
    LPPROC_THREAD_ATTRIBUTE_LIST list() const { return list_; }

private:
    std::vector<HANDLE> handles_;
    std::unique_ptr<unsigned char[]> storage_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

SECURITY_ATTRIBUTES inheritable() {
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    return sa;
}

// The file is written here, with what the child writes to its standard output, and never
// handed to the child: a helper the child starts could inherit it from there and hold it
// open after the child has ended (under Wine its console host does, and a name removed
// meanwhile would take the next command's file with it).
Result<Handle> openOutputFile(const std::filesystem::path& target, bool append) {
    // Append access alone makes every write land at the end. The name is opened as itself:
    // a link in its place is refused, so nothing is written through it.
    const DWORD access = append ? (FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE) : (GENERIC_WRITE | FILE_READ_ATTRIBUTES);
    Handle file(::CreateFileW(target.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return Status::failure(describe("无法打开输出文件", target, ::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return Status::failure(describe("无法打开输出文件", target, ::GetLastError()));
    }
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
        return Status::failure("无法打开输出文件 " + utf8FromPath(target) + "：不是普通文件");
    }
    if (!append && !::SetEndOfFile(file.get())) {
        return Status::failure(describe("无法清空输出文件", target, ::GetLastError()));
    }
    return file;
}

}  // namespace

Result<ProcessOutcome> runProcess(const ProcessRequest& request) {
    if (request.program.empty()) return Status::failure("无法启动程序：没有程序名");

    // Standard error, and standard output unless it goes into a file.
    auto consolePipe = win32::createChildPipe(request.program);
    if (!consolePipe) return consolePipe.status();
    // Standard output when it goes into a file.
    std::optional<win32::ChildPipe> outputPipe;

    SECURITY_ATTRIBUTES sa = inheritable();
    Handle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr));
    if (!input.valid()) return Status::failure(describe("无法打开空设备以启动", request.program, ::GetLastError()));

    Handle outputFile;
    std::filesystem::path outputTarget;
    if (!request.outputFile.empty()) {
        outputTarget = request.outputFile;
        if (outputTarget.is_relative() && !request.workingDirectory.empty()) outputTarget = request.workingDirectory / outputTarget;
        auto opened = openOutputFile(outputTarget, request.appendToOutputFile);
        if (!opened) return opened.status();
        outputFile = std::move(*opened);
        auto pipe = win32::createChildPipe(request.program);
        if (!pipe) return pipe.status();
        outputPipe = std::move(*pipe);
    }
    HANDLE standardError = consolePipe->writeEnd.get();
    HANDLE standardOutput = outputFile.valid() ? outputPipe->writeEnd.get() : standardError;

    InheritedHandles inherited({input.get(), standardOutput, standardError});
    if (DWORD e = inherited.prepare(); e != ERROR_SUCCESS) {
        return Status::failure(describe("无法准备启动", request.program, e));
    }

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.get();
    startup.StartupInfo.hStdOutput = standardOutput;
    startup.StartupInfo.hStdError = standardError;
    startup.lpAttributeList = inherited.list();

    // The program by its full path as the application name: no search on PATH, no command
    // interpreter, so no %VAR%, ^ or & in a file name ever means anything.
    const std::wstring name =
        request.programName.empty() ? request.program.filename().native() : win32::wideFromUtf8(request.programName);
    std::wstring commandLine;
    win32::appendQuotedArgument(commandLine, name);
    for (const auto& argument : request.arguments) {
        commandLine += L' ';
        win32::appendQuotedArgument(commandLine, win32::wideFromUtf8(argument));
    }

    // The system's own separators: "/" is not one in every part of the system.
    std::filesystem::path program = request.program;
    program.make_preferred();
    std::filesystem::path workingDirectory = request.workingDirectory;
    workingDirectory.make_preferred();

    PROCESS_INFORMATION process{};
    const wchar_t* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    // A console program started from a window gets no console window of its own.
    if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                          CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT | CREATE_UNICODE_ENVIRONMENT, nullptr, directory,
                          &startup.StartupInfo, &process)) {
        const DWORD error = ::GetLastError();
        std::string where = request.workingDirectory.empty() ? std::string() : "（工作目录 " + utf8FromPath(request.workingDirectory) + "）";
        return Status::failure(describe("无法启动", request.program, error) + where);
    }
    Handle child(process.hProcess);
    ::CloseHandle(process.hThread);

    // A pipe reports its end only once no process holds its writing end any more.
    consolePipe->writeEnd.reset();
    if (outputFile.valid()) outputPipe->writeEnd.reset();
    input.reset();

    ProcessOutcome outcome;
    std::string fileProblem;
    {
        win32::ChildOutputReader reader(child.get());
        reader.add(*consolePipe, [&](std::string_view bytes) { outcome.output += bytes; });
        if (outputFile.valid()) {
            reader.add(*outputPipe, [&](std::string_view bytes) {
                // After a failed write the child's output is still read, or the child would
                // wait for room in the pipe for ever.
                if (!fileProblem.empty()) return;
                DWORD written = 0;
                if (!::WriteFile(outputFile.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
                    fileProblem = describe("无法写入输出文件", outputTarget, ::GetLastError());
                } else if (written != bytes.size()) {
                    fileProblem = describe("无法写入输出文件", outputTarget, ERROR_DISK_FULL);
                }
            });
        }
        reader.readAll();
    }
    // What the child would have been told had it written the file itself.
    if (!fileProblem.empty()) outcome.output += fileProblem + "\r\n";

    ::WaitForSingleObject(child.get(), INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(child.get(), &code)) outcome.exitCode = static_cast<int>(code);
    return outcome;
}

}  // namespace platform
