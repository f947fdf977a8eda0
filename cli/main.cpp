// pimingbao-cli: the rename and clean jobs from a terminal, and undo of the last rename.
#include <string>
#include <vector>

#include "cli/cli_program.h"
#include "cli/real_cli_environment.h"
#include "platform/program_arguments.h"
#include "platform/terminal_output.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args = platform::programArguments(argc, argv);
    cli::RealCliEnvironment environment;
    const int code = cli::runCliProgram(args, environment, platform::terminalOut(), platform::terminalErr());
    platform::terminalOut().flush();
    platform::terminalErr().flush();
    return code;
}
