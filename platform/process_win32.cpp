#include "platform/process.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <memory>

#include "platform/paths.h"
#include "platform/windows_api.h"

namespace platform {
namespace {

using win32::Handle;

// Small on purpose: the archiver's output crosses several reads, and nothing about the
// result may depend on where the seams fall.
constexpr DWORD kReadBufferSize = 4096;

std::string describe(const std::string& what, const std::filesystem::path& path, DWORD error) {
    return what + " " + utf8FromPath(path) + ": " + win32::errorText(error);
}

// One argument as the C runtime of the child splits its command line back into argv
// (the rules of CommandLineToArgvW): quotes only where needed, a quote inside escaped,
// and backslashes doubled only where they stand before a quote.
void appendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(backslashes * 2 + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
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

Result<Handle> openOutputFile(const std::filesystem::path& target, bool append) {
    SECURITY_ATTRIBUTES sa = inheritable();
    // Append access alone makes every write of the child land at the end. The name is
    // opened as itself: a link in its place is refused, so nothing is written through it.
    const DWORD access = append ? (FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE) : (GENERIC_WRITE | FILE_READ_ATTRIBUTES);
    Handle file(::CreateFileW(target.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) return Status::failure(describe("cannot open the output file", target, ::GetLastError()));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) {
        return Status::failure(describe("cannot open the output file", target, ::GetLastError()));
    }
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) {
        return Status::failure("cannot open the output file " + utf8FromPath(target) + ": not a plain file");
    }
    if (!append && !::SetEndOfFile(file.get())) {
        return Status::failure(describe("cannot empty the output file", target, ::GetLastError()));
    }
    return file;
}

}  // namespace

Result<ProcessOutcome> runProcess(const ProcessRequest& request) {
    if (request.program.empty()) return Status::failure("cannot start a program without a name");

    SECURITY_ATTRIBUTES sa = inheritable();
    HANDLE readRaw = nullptr;
    HANDLE writeRaw = nullptr;
    if (!::CreatePipe(&readRaw, &writeRaw, &sa, 0)) {
        return Status::failure(describe("cannot create a pipe for", request.program, ::GetLastError()));
    }
    Handle readEnd(readRaw);
    Handle writeEnd(writeRaw);
    ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    Handle input(::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr));
    if (!input.valid()) return Status::failure(describe("cannot open the null device for", request.program, ::GetLastError()));

    Handle outputFile;
    if (!request.outputFile.empty()) {
        auto target = request.outputFile;
        if (target.is_relative() && !request.workingDirectory.empty()) target = request.workingDirectory / target;
        auto opened = openOutputFile(target, request.appendToOutputFile);
        if (!opened) return opened.status();
        outputFile = std::move(*opened);
    }
    HANDLE standardOutput = outputFile.valid() ? outputFile.get() : writeEnd.get();

    InheritedHandles inherited({input.get(), standardOutput, writeEnd.get()});
    if (DWORD e = inherited.prepare(); e != ERROR_SUCCESS) {
        return Status::failure(describe("cannot prepare the start of", request.program, e));
    }

    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    startup.StartupInfo.hStdInput = input.get();
    startup.StartupInfo.hStdOutput = standardOutput;
    startup.StartupInfo.hStdError = writeEnd.get();
    startup.lpAttributeList = inherited.list();

    // The program by its full path as the application name: no search on PATH, no command
    // interpreter, so no %VAR%, ^ or & in a file name ever means anything.
    const std::wstring name =
        request.programName.empty() ? request.program.filename().native() : win32::wideFromUtf8(request.programName);
    std::wstring commandLine;
    appendQuoted(commandLine, name);
    for (const auto& argument : request.arguments) {
        commandLine += L' ';
        appendQuoted(commandLine, win32::wideFromUtf8(argument));
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
        std::string where = request.workingDirectory.empty() ? std::string() : " in " + utf8FromPath(request.workingDirectory);
        return Status::failure(describe("cannot start", request.program, error) + where);
    }
    Handle child(process.hProcess);
    ::CloseHandle(process.hThread);

    // The pipe reports its end only once no process holds its write end any more.
    writeEnd.reset();
    outputFile.reset();
    input.reset();

    ProcessOutcome outcome;
    std::array<char, kReadBufferSize> buffer;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(readEnd.get(), buffer.data(), kReadBufferSize, &got, nullptr)) break;  // ERROR_BROKEN_PIPE: the end
        outcome.output.append(buffer.data(), got);
    }
    readEnd.reset();

    ::WaitForSingleObject(child.get(), INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(child.get(), &code)) outcome.exitCode = static_cast<int>(code);
    return outcome;
}

}  // namespace platform
