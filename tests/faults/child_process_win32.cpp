#include "tests/faults/child_process.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/paths.h"
#include "platform/text_codec.h"
#include "platform/windows_api.h"
#include "tests/support/redirected_output.h"
#include "tests/support/temp_dir.h"
#include "tests/support/windows_child.h"

namespace testfaults {
namespace {

std::wstring wide(const std::string& utf8) { return platform::pathFromUtf8(utf8).native(); }

std::filesystem::path newOutputFile() {
    static std::atomic<unsigned> counter{0};
    return std::filesystem::temp_directory_path() /
           (L"pimingbao-fault-output-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(counter++));
}

HANDLE inheritable(const std::filesystem::path& path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

Child Child::start(const std::vector<std::string>& argv, const ChildOptions& options) {
    if (argv.empty()) throw std::invalid_argument("no program to start");
    auto output = newOutputFile();
    HANDLE out = inheritable(output, GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE in = inheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    if (out == INVALID_HANDLE_VALUE || in == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open the child's output file");
    std::wstring commandLine;
    for (const auto& a : argv) {
        if (!commandLine.empty()) commandLine += L' ';
        platform::win32::appendQuotedArgument(commandLine, wide(a));
    }
    std::wstring environment = testsupport::environmentBlock(options.environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = out;
    PROCESS_INFORMATION process{};
    std::filesystem::path program = platform::pathFromUtf8(argv[0]);
    program.make_preferred();
    const wchar_t* folder = options.workingDirectory.empty() ? nullptr : options.workingDirectory.c_str();
    // Under a loaded Wine a start now and then fails at once with an internal error (1359) and
    // goes through when tried again, as the shared child helper in tests/support does too.
    BOOL started = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) ::Sleep(200);
        std::wstring line = commandLine;  // CreateProcessW may write into it
        started = ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                   CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, environment.data(), folder, &startup,
                                   &process);
        if (!started) error = ::GetLastError();
    }
    ::CloseHandle(out);
    ::CloseHandle(in);
    if (!started) throw std::runtime_error("cannot start " + argv[0] + ": error " + std::to_string(error));
    ::CloseHandle(process.hThread);
    return Child(process.hProcess, output);
}

Child::Child(Child&& other) noexcept
    : process_(other.process_), terminated_(other.terminated_), outputFile_(std::move(other.outputFile_)) {
    other.process_ = nullptr;
}

Child::~Child() {
    if (process_) {
        kill();
        (void)wait();
    }
}

// The counterpart of SIGKILL: the process ends at once, wherever it is, without running
// any code of its own.
void Child::kill() {
    if (process_ && ::TerminateProcess(static_cast<HANDLE>(process_), 137)) terminated_ = true;
}

ChildExit Child::wait() {
    ChildExit exit;
    if (!process_) return exit;
    HANDLE h = static_cast<HANDLE>(process_);
    ::WaitForSingleObject(h, INFINITE);
    DWORD code = 0;
    if (::GetExitCodeProcess(h, &code)) exit.exitCode = static_cast<int>(code);
    ::CloseHandle(h);
    process_ = nullptr;
    if (terminated_) {
        exit.terminated = true;
        exit.exitCode = -1;
    }
    std::ifstream in(outputFile_, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    in.close();
    exit.output = text.str();
    testsupport::removeWhenFree(outputFile_);
    return exit;
}

ChildExit run(const std::vector<std::string>& argv, const ChildOptions& options) {
    return Child::start(argv, options).wait();
}

ChildOptions withEnvironment(std::map<std::string, std::string> environment) {
    ChildOptions options;
    options.environment = std::move(environment);
    return options;
}

std::string utf8(const std::string& gb18030) { return platform::decodeGb18030Lossy(gb18030); }

std::string cliText(const std::string& output) { return testsupport::utf8FromRedirectedOutput(output); }

// Windows keeps no root that permission bits do not stop: the tests run as they are.
std::optional<UserId> unprivilegedUser() { return std::nullopt; }

void giveTo(const std::filesystem::path&, std::optional<UserId>) {}

}  // namespace testfaults
