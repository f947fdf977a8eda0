#pragma once
// pimingbao-cli from its arguments to its exit code: 0 when every archive succeeded or
// needed nothing, 1 when some archive failed (or the run could not start), 2 for a bad
// command line. Status texts go to `out` one per line as the job reaches them, then one
// line per archive, then a summary; problems that are not an archive's go to `err`.
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli_environment.h"

namespace cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitBadCommandLine = 2;

int runCliProgram(const std::vector<std::string>& args, CliEnvironment& environment, std::ostream& out,
                  std::ostream& err);

}  // namespace cli
