#include "tests/support/windows_child.h"

#include <windows.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <system_error>

#include "platform/paths.h"
#include "platform/windows_api.h"
#include "tests/support/temp_dir.h"

namespace testsupport {
namespace {

std::wstring wide(const std::string& utf8) { return platform::pathFromUtf8(utf8).native(); }

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class InheritableFile {
public:
    InheritableFile(const std::filesystem::path& path, DWORD access, DWORD disposition) {
        SECURITY_ATTRIBUTES sa{};
        sa.nLength = sizeof sa;
        sa.bInheritHandle = TRUE;
        h_ = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &sa, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    InheritableFile(const InheritableFile&) = delete;
    InheritableFile& operator=(const InheritableFile&) = delete;
    ~InheritableFile() {
        if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
    }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

struct ChildFiles {
    std::filesystem::path in, out, err;
};

// Files no other run can hold: Wine gives a later process the id of an ended one, and the
// console host of that one's child may still hold its files for a moment, so a name that
// is taken is passed over.
std::optional<ChildFiles> reserveChildFiles(std::string& why) {
    static std::atomic<unsigned> runs{0};
    std::error_code ec;
    const auto folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        why = "no folder for temporary files: " + ec.message();
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 50; ++attempt) {
        const std::wstring base = (folder / (L"pimingbao-child-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                             std::to_wstring(++runs)))
                                      .native();
        ChildFiles files{base + L".in", base + L".out", base + L".err"};
        std::vector<const std::filesystem::path*> made;
        for (const auto* f : {&files.in, &files.out, &files.err}) {
            const HANDLE h = ::CreateFileW(f->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h == INVALID_HANDLE_VALUE) {
                why = "cannot create " + platform::utf8FromPath(*f) + ": error " + std::to_string(::GetLastError());
                break;
            }
            ::CloseHandle(h);
            made.push_back(f);
        }
        if (made.size() == 3) return files;
        for (const auto* f : made) ::DeleteFileW(f->c_str());
    }
    return std::nullopt;
}

}  // namespace

WindowsChildRun runWindowsChild(const WindowsChildRequest& request) {
    // Files of their own for each run, outside the working directory the test looks at:
    // under Wine the console host of the child holds them for a moment after it has ended.
    WindowsChildRun run;
    const auto files = reserveChildFiles(run.err);
    if (!files) return run;
    if (request.input) {
        std::ofstream(files->in, std::ios::binary) << *request.input;
    }
    {
        InheritableFile input(request.input ? files->in : std::filesystem::path(L"NUL"), GENERIC_READ, OPEN_EXISTING);
        InheritableFile output(files->out, GENERIC_WRITE, TRUNCATE_EXISTING);
        InheritableFile error(files->err, GENERIC_WRITE, TRUNCATE_EXISTING);
        std::wstring commandLine;
        platform::win32::appendQuotedArgument(commandLine, request.program.native());
        for (const auto& a : request.arguments) {
            commandLine += L' ';
            platform::win32::appendQuotedArgument(commandLine, wide(a));
        }
        std::wstring environment = environmentBlock(request.environment);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input.get();
        startup.hStdOutput = output.get();
        startup.hStdError = request.errorsIntoOutput ? output.get() : error.get();
        std::filesystem::path program = request.program;
        program.make_preferred();
        const wchar_t* folder = request.workingDirectory.empty() ? nullptr : request.workingDirectory.c_str();
        if (input.get() == INVALID_HANDLE_VALUE || output.get() == INVALID_HANDLE_VALUE ||
            error.get() == INVALID_HANDLE_VALUE) {
            run.err = "cannot open the standard files of the child: error " + std::to_string(::GetLastError());
        } else {
            // A start that fails has run nothing, so it is tried again: under load Wine
            // now and then refuses one.
            PROCESS_INFORMATION process{};
            std::string failures;
            for (int attempt = 0; attempt < 3 && !run.started; ++attempt) {
                if (attempt > 0) ::Sleep(200);
                std::wstring line = commandLine;  // CreateProcessW may write into it
                if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                                      CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, environment.data(), folder, &startup,
                                      &process)) {
                    failures += (failures.empty() ? "" : ", ") + std::string("error ") + std::to_string(::GetLastError());
                    continue;
                }
                ::CloseHandle(process.hThread);
                ::WaitForSingleObject(process.hProcess, INFINITE);
                DWORD code = 0;
                if (::GetExitCodeProcess(process.hProcess, &code)) run.exitCode = static_cast<int>(code);
                ::CloseHandle(process.hProcess);
                run.started = true;
            }
            if (!run.started) run.err = "cannot start " + platform::utf8FromPath(request.program) + ": " + failures;
        }
    }
    if (run.started) {
        run.out = slurp(files->out);
        run.err = slurp(files->err);
    }
    for (const auto* f : {&files->in, &files->out, &files->err}) removeWhenFree(*f);
    return run;
}

std::optional<std::filesystem::path> findOnPath(const std::string& name) {
    std::wstring file = wide(name);
    if (std::filesystem::path(file).extension().empty()) file += L".exe";
    const DWORD n = ::SearchPathW(nullptr, file.c_str(), nullptr, 0, nullptr, nullptr);
    if (n == 0) return std::nullopt;
    std::wstring found(n, L'\0');
    const DWORD written = ::SearchPathW(nullptr, file.c_str(), nullptr, n, found.data(), nullptr);
    if (written == 0 || written >= n) return std::nullopt;
    found.resize(written);
    return std::filesystem::path(found);
}

// This process's environment with `env` over it, as CreateProcessW takes it: NAME=value
// strings sorted by name, each ended by a zero, and a zero after the last.
std::wstring environmentBlock(const std::map<std::string, std::string>& env) {
    std::map<std::wstring, std::wstring> merged;
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        for (const wchar_t* e = strings; *e; e += wcslen(e) + 1) {
            const std::wstring kv(e);
            // Names starting with "=" are the per-drive folders of cmd.exe.
            const auto eq = kv.find(L'=', 1);
            if (eq != std::wstring::npos) merged[kv.substr(0, eq)] = kv.substr(eq + 1);
        }
        ::FreeEnvironmentStringsW(strings);
    }
    for (const auto& [k, v] : env) merged[wide(k)] = wide(v);
    std::wstring block;
    for (const auto& [k, v] : merged) block += k + L"=" + v + L'\0';
    block += L'\0';
    return block;
}

}  // namespace testsupport
