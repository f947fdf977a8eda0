#pragma once
// Runs a program as a child process and collects what it wrote and how it ended.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testconsole {

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;    // standard output, bytes as written
    std::string err;
};

// `input` is fed to standard input; without it the child reads end of input at once.
// TZ is UTC so that listed RAR5 times do not depend on the machine.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& workingDir,
                         const std::optional<std::string>& input = std::nullopt);

// Whether a program can be found on PATH.
bool programAvailable(const std::string& name);

}  // namespace testconsole
