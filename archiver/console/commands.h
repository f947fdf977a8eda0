#pragma once
// The commands of myrar. Each lives in its own file (command_<what>.cpp) and is entered
// once in the table of command_table.cpp.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/console/command_line.h"
#include "archiver/console/console_io.h"
#include "archiver/console/exit_code.h"

namespace console {

// What a command runs with: the parsed line, the names with list files already read,
// and the console.
struct Invocation {
    const CommandLine& line;
    std::vector<std::string> names;
    ConsoleIo& io;
};

using CommandRunner = ExitCode (*)(const Invocation&);

struct Command {
    std::string_view name;
    std::string_view description;  // for the usage text
    CommandRunner run;
};

std::span<const Command> commandTable();
const Command* findCommand(std::string_view name);

ExitCode runListCommand(const Invocation& invocation);          // v
ExitCode runWriteCommentCommand(const Invocation& invocation);  // cw
ExitCode runDeleteCommand(const Invocation& invocation);        // d
ExitCode runAddCommand(const Invocation& invocation);           // a
ExitCode runExtractFlatCommand(const Invocation& invocation);   // e
ExitCode runExtractWithPathsCommand(const Invocation& invocation);  // x

}  // namespace console
