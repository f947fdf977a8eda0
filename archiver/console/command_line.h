#pragma once
// The call form "myrar <command> -<switch 1> -<switch N> <archive> <names...>": every
// argument that begins with '-' (or '/' where that is the switch character, see below)
// is a switch wherever it stands, until an argument "--"; the first other argument is the
// command, the next the archive, the rest names, where "@file" names a list file.
#include <optional>
#include <string>
#include <vector>

namespace console {

struct NameArgument {
    std::string text;       // UTF-8
    bool listFile = false;  // "@file" before "--": read names from that file
};

struct CommandLine {
    std::string command;  // lower case
    std::string archive;  // UTF-8, as given
    std::vector<NameArgument> names;
    std::optional<std::string> password;  // -p<password>; "-p" alone or "-p-" give none
    bool assumeYes = false;               // -y
    bool noEmptyFolders = false;          // -ed
    bool excludeBaseFolder = false;       // -ep1
    bool dryRun = false;                  // -dry: d only plans, writes nothing
    bool help = false;                    // -? or no arguments at all
};

struct CommandLineError {
    enum class Kind { UnknownSwitch, MissingCommand };
    Kind kind = Kind::UnknownSwitch;
    std::string argument;
};

struct ParsedCommandLine {
    CommandLine line;
    std::optional<CommandLineError> error;
};

// Whether '/' starts a switch. On Windows it does; on POSIX systems absolute paths begin
// with '/', so there only '-' starts a switch.
bool slashStartsSwitch();

// `arguments` without the program name, UTF-8.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, bool slashSwitches = slashStartsSwitch());

}  // namespace console
