#pragma once
// One archiver command as the runner starts it: myrar.exe in the working directory with
// these arguments, each handed over as it is. Nothing ever reads a command back from text,
// so a path or an entry name may hold quotes, blanks, line ends or a shell's syntax.
#include <string>
#include <vector>

struct ArchiverCommand {
    std::vector<std::string> arguments;  // after the program name
    std::string outputFile;              // a file of the working directory for the standard output; empty: none
    bool append = false;                 // add to outputFile rather than empty it first

    bool operator==(const ArchiverCommand&) const = default;
};
