#pragma once
// Runs a built program as the user would, with its output caught in files.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

struct ProcessRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Starts `program` with `args` (argv[0] is added), the caller's environment plus `env`,
// in the working directory `cwd`; waits for it to end.
ProcessRun runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env, const std::filesystem::path& cwd);

}  // namespace testsupport
