#include "tests/cli/cli_process.h"

#include "tests/support/redirected_output.h"
#include "tests/support/windows_child.h"

namespace testsupport {

ProcessRun runProcess(const std::filesystem::path& program, const std::vector<std::string>& args,
                      const std::map<std::string, std::string>& env, const std::filesystem::path& cwd) {
    const WindowsChildRun child = runWindowsChild({program, args, env, cwd, std::nullopt});
    return ProcessRun{child.exitCode, utf8FromRedirectedOutput(child.out), utf8FromRedirectedOutput(child.err)};
}

}  // namespace testsupport
