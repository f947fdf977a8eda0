#pragma once
// Starts a Windows program for a test as a user's shell would, with its standard output
// and error caught apart, and waits for it. Included by *_win32.cpp only.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct WindowsChildRequest {
    std::filesystem::path program;
    // After the program's name, each handed over as one argument (UTF-8).
    std::vector<std::string> arguments;
    // Over this process's environment.
    std::map<std::string, std::string> environment;
    std::filesystem::path workingDirectory;
    // Its standard input; end of input at once without it.
    std::optional<std::string> input;
    // Standard error into `out` too, in the order written, as "2>&1" in a shell.
    bool errorsIntoOutput = false;
};

struct WindowsChildRun {
    bool started = false;
    int exitCode = -1;
    std::string out;
    std::string err;  // why it did not start, when it did not
};

WindowsChildRun runWindowsChild(const WindowsChildRequest& request);

// This process's environment with `env` over it, as CreateProcessW takes it: NAME=value
// strings sorted by name, each ended by a zero, and a zero after the last.
std::wstring environmentBlock(const std::map<std::string, std::string>& env);

// The full name of `name` (".exe" added when it has no extension) in a folder of PATH.
std::optional<std::filesystem::path> findOnPath(const std::string& name);

}  // namespace testsupport
