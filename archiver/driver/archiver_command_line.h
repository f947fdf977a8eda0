#pragma once
// Reads an archiver command line the way the Windows command interpreter and the program's
// C runtime would, without ever handing it to a shell: the interpreter prefixes are removed,
// the arguments split by the Windows quoting rules, and one `>` or `>>` redirection is
// taken out. Nothing is expanded (`%VAR%`, `$(...)`, backticks and `^` are plain text), and a
// line that would need a shell for anything else (`|`, `&`, `<` outside quotes) is refused.
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

struct ArchiverCommandLine {
    std::vector<std::string> arguments;  // arguments[0] names the program
    std::string outputFile;              // empty: no redirection
    bool appendOutput = false;           // `>>` rather than `>`
};

// Removes any number of leading "cmd.exe /c ", "cmd /c " and "command.exe /c " (any case).
std::string_view stripInterpreterPrefixes(std::string_view line);

platform::Result<ArchiverCommandLine> parseArchiverCommandLine(std::string_view line);
