#include "archiver/console/command_line.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace console {
namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Applies one switch (without its leading character); false when it is unknown.
bool applySwitch(const std::string& body, CommandLine& line) {
    const std::string name = lower(body);
    if (name == "y") {
        line.assumeYes = true;
    } else if (name == "ed") {
        line.noEmptyFolders = true;
    } else if (name == "ep1") {
        line.excludeBaseFolder = true;
    } else if (name == "dry") {
        line.dryRun = true;
    } else if (name == "?" || name == "h" || name == "-help") {
        line.help = true;
    } else if (!name.empty() && name[0] == 'p') {
        // The password keeps its letter case; we never ask for one on the console.
        const std::string password = body.substr(1);
        if (password.empty() || password == "-") line.password.reset();
        else line.password = password;
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool slashStartsSwitch() { return std::filesystem::path::preferred_separator == '\\'; }

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments, bool slashSwitches) {
    ParsedCommandLine parsed;
    CommandLine& line = parsed.line;
    if (arguments.empty()) {
        line.help = true;
        return parsed;
    }
    bool switchesEnded = false;
    bool haveCommand = false;
    bool haveArchive = false;
    for (const std::string& arg : arguments) {
        if (!switchesEnded) {
            if (arg == "--") {
                switchesEnded = true;
                continue;
            }
            if (arg.size() > 1 && (arg[0] == '-' || (slashSwitches && arg[0] == '/'))) {
                if (!applySwitch(arg.substr(1), line) && !parsed.error)
                    parsed.error = CommandLineError{CommandLineError::Kind::UnknownSwitch, arg};
                continue;
            }
        }
        if (!haveCommand) {
            line.command = lower(arg);
            haveCommand = true;
        } else if (!haveArchive) {
            line.archive = arg;
            haveArchive = true;
        } else if (!switchesEnded && arg.size() > 1 && arg[0] == '@') {
            line.names.push_back(NameArgument{arg.substr(1), true});
        } else {
            line.names.push_back(NameArgument{arg, false});
        }
    }
    if (!haveCommand && !line.help && !parsed.error)
        parsed.error = CommandLineError{CommandLineError::Kind::MissingCommand, {}};
    return parsed;
}

}  // namespace console
