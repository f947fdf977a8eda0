// A child for the process runner's tests: does what its first argument says and prints
// its other arguments as it received them, UTF-8, one a line.
//   args A B ...     prints A, B, ... each followed by "\n"
//   exit N           ends with exit code N
//   stdin            prints how many bytes its standard input gave before its end
//   touch NAME       creates NAME in its working directory
//   flood N          prints N bytes of a fixed pattern
//   stderr TEXT      prints TEXT to its standard error
//   wait-for FILE    waits (at most a minute) until FILE exists, removes it and prints
//                    "released"
//   leave-behind FILE  leaves a process running that holds its standard output and error
//                      and does wait-for FILE (in the system's temporary folder), then
//                      prints "left"
// and on Windows only:
//   write-handle H     writes "leaked" through the handle numbered H; ends with 4 when
//                      there is no such handle
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
std::wstring wideFromUtf8(const std::string& utf8) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n - 1 : 0), L'\0');
    if (n > 1) ::MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide;
}

// Leaves a process behind that holds this one's standard output and error, as a program
// that starts a helper of its own (and not with care) does.
int leaveBehind(const std::string& releaseFile) {
    wchar_t self[MAX_PATH];
    if (::GetModuleFileNameW(nullptr, self, MAX_PATH) == 0) return 3;
    std::wstring commandLine = L"process_child wait-for \"" + wideFromUtf8(releaseFile) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    // Elsewhere than this process's folder, which the test removes while the copy waits.
    const std::wstring folder = std::filesystem::temp_directory_path().wstring();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, folder.c_str(),
                          &startup, &process))
        return 3;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    std::printf("left\n");
    return 0;
}

int writeThroughHandle(const std::string& number) {
    const auto handle = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(std::strtoull(number.c_str(), nullptr, 10)));
    DWORD flags = 0;
    if (!::GetHandleInformation(handle, &flags)) return 4;
    DWORD written = 0;
    return ::WriteFile(handle, "leaked", 6, &written, nullptr) ? 0 : 4;
}
#endif

std::filesystem::path pathOf(const std::string& utf8) {
#ifdef _WIN32
    return std::filesystem::path(wideFromUtf8(utf8));
#else
    return std::filesystem::path(utf8);
#endif
}

void waitFor(const std::string& releaseFile) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::error_code ec;
    while (!std::filesystem::exists(pathOf(releaseFile), ec) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    std::filesystem::remove(pathOf(releaseFile), ec);
    std::printf("released\n");
    std::fflush(stdout);
}

#ifndef _WIN32
int leaveBehind(const std::string& releaseFile) {
    std::fflush(stdout);
    const pid_t helper = ::fork();
    if (helper < 0) return 3;
    if (helper == 0) {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        waitFor(releaseFile);
        ::_exit(0);
    }
    std::printf("left\n");
    return 0;
}
#endif

int run(const std::vector<std::string>& args) {
    if (args.empty()) return 2;
    const std::string& command = args[0];
    if (command == "args") {
        for (std::size_t i = 1; i < args.size(); ++i) std::printf("%s\n", args[i].c_str());
    } else if (command == "exit" && args.size() == 2) {
        return std::atoi(args[1].c_str());
    } else if (command == "stdin") {
        std::size_t n = 0;
        while (std::getchar() != EOF) ++n;
        std::printf("%zu\n", n);
    } else if (command == "touch" && args.size() == 2) {
        FILE* f = std::fopen(args[1].c_str(), "wb");
        if (!f) return 3;
        std::fclose(f);
    } else if (command == "flood" && args.size() == 2) {
        const long total = std::atol(args[1].c_str());
        for (long i = 0; i < total; ++i) std::putchar(static_cast<char>((i * 7 + i / 251) & 0xFF));
    } else if (command == "stderr" && args.size() == 2) {
        std::fprintf(stderr, "%s\n", args[1].c_str());
    } else if (command == "wait-for" && args.size() == 2) {
        waitFor(args[1]);
    } else if (command == "leave-behind" && args.size() == 2) {
        return leaveBehind(args[1]);
#ifdef _WIN32
    } else if (command == "write-handle" && args.size() == 2) {
        return writeThroughHandle(args[1]);
#endif
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace

#ifdef _WIN32
// The wide entry point: the C runtime splits the command line into UTF-16 arguments, as
// it does for every program the runner starts.
int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        std::string utf8(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
        if (n > 1) ::WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, utf8.data(), n, nullptr, nullptr);
        args.push_back(utf8);
    }
    return run(args);
}
#else
int main(int argc, char** argv) { return run(std::vector<std::string>(argv + 1, argv + argc)); }
#endif
