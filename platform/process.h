#pragma once
// Starts one program directly (never through a shell, never searched for on PATH), waits
// for it to end and hands back what it printed, byte for byte. Its standard input is the
// null device, so a question it asks reads end-of-file instead of blocking the caller.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/status.h"

namespace platform {

struct ProcessRequest {
    // The executable itself, by full path.
    std::filesystem::path program;
    // What the child sees as its own name (argv[0] on POSIX); the program's file name if empty.
    std::string programName;
    // The arguments after the program name, each handed over as one argument, unchanged.
    std::vector<std::string> arguments;
    // The folder the child starts in; this process's working directory if empty.
    std::filesystem::path workingDirectory;
    // Where the child's standard output goes: into the pipe when empty, else into this file,
    // created if missing and emptied first unless `appendToOutputFile`. A relative name is
    // taken in `workingDirectory`. A symbolic link in its place is refused, not followed.
    std::filesystem::path outputFile;
    bool appendToOutputFile = false;
};

struct ProcessOutcome {
    // Every byte the child wrote to its console: its standard output (unless that went into
    // `outputFile`) and its standard error, in the order written.
    std::string output;
    // The child's exit code when it ended by itself; -1 when a signal ended it.
    int exitCode = -1;
    int terminatingSignal = 0;
};

// Fails, with what failed and on which file, only when the child could not be started;
// once it has started, the call returns after it has ended and its output is read to the
// last byte it wrote. A process the child started may hold the output open long after
// (under Wine the desktop process and the console host do), and that is no reason to wait.
Result<ProcessOutcome> runProcess(const ProcessRequest& request);

}  // namespace platform
