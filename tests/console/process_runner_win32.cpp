#include "tests/console/process_runner.h"

#include "platform/paths.h"
#include "tests/support/windows_child.h"

namespace testconsole {

ProcessResult runProcess(const std::vector<std::string>& argv, const std::filesystem::path& workingDir,
                         const std::optional<std::string>& input) {
    ProcessResult result;
    if (argv.empty()) return result;
    // A bare name is looked for on PATH, as the shell would.
    std::filesystem::path program = platform::pathFromUtf8(argv[0]);
    if (!program.has_parent_path()) {
        auto found = testsupport::findOnPath(argv[0]);
        if (!found) return result;
        program = *found;
    }
    const auto child = testsupport::runWindowsChild(
        {program, std::vector<std::string>(argv.begin() + 1, argv.end()), {{"TZ", "UTC"}}, workingDir, input});
    result.exitCode = child.exitCode;
    result.out = child.out;
    result.err = child.err;
    return result;
}

bool programAvailable(const std::string& name) { return testsupport::findOnPath(name).has_value(); }

}  // namespace testconsole
