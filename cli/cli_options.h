#pragma once
// The command line of pimingbao-cli, read into what is to be done:
//   rename --ext EXT [--dry-run] PATH...
//   rename --prefix TEXT --start DIGITS [--dry-run] PATH...
//   clean [--name NAME]... [--names-file FILE]... [--dry-run] PATH...
//   undo
// Options also take the form --opt=VALUE; "--" ends the options. --help or -h anywhere
// asks for the help text.
#include <string>
#include <vector>

#include "platform/status.h"

namespace cli {

struct CliOptions {
    enum class Command { Help, RenameByExtension, RenameByNumber, Clean, Undo };
    Command command = Command::Help;
    std::string extension;
    std::string prefix;
    std::string startNumber;
    std::vector<std::string> names;       // --name, in order
    std::vector<std::string> namesFiles;  // --names-file, in order
    bool dryRun = false;
    std::vector<std::string> paths;       // archives and folders, as given
};

// A bad command line gives a failure whose message says what is wrong (Chinese, then English).
platform::Result<CliOptions> parseCliOptions(const std::vector<std::string>& args);

// The text of a --names-file, in whichever encoding it was saved (UTF-8 with or without a
// mark, UTF-16 with one, GBK as the window's 删除.txt); a file that fits none is refused
// with a message naming it, rather than matching nothing.
platform::Result<std::string> readNamesFile(const std::string& file);

}  // namespace cli
