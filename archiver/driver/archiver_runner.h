#pragma once
// The lowest layer under the command set: writes the carried archiver out as myrar.exe in
// the working directory and runs archiver commands as child processes. A command is a list
// of arguments (archiver_command.h) handed to myrar.exe as they are; no shell and no search
// path ever takes part, so the only program that can start is the working directory's own.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "archiver/driver/archiver_command.h"
#include "archiver/driver/archiver_payload.h"
#include "platform/status.h"

struct ArchiverRun {
    bool started = false;
    int exitCode = -1;    // -1 when it did not start or a signal ended it
    std::string output;   // every byte it printed (but what went into the output file), exactly as printed
    std::string problem;  // why it did not start (UTF-8)

    bool exitedCleanly() const { return started && exitCode == 0; }
};

class ArchiverRunner {
public:
    // Works in `workingDirectory`, or, when that is empty, in whatever the process's working
    // directory is at each call (so a runner made before the start-up has chosen the folder
    // still finds it), and writes out `payload` as the archiver.
    explicit ArchiverRunner(std::filesystem::path workingDirectory = {},
                            std::span<const unsigned char> payload = archiverPayload());

    std::filesystem::path workingDirectory() const;
    std::filesystem::path fileInWorkingDirectory(std::string_view name) const;

    // Makes myrar.exe in the working directory exactly the payload, runnable. A file that
    // is already byte for byte the payload is kept; anything else under that name (an older
    // archiver, a planted program, a link) is replaced through a temporary file and a rename,
    // so no other program is ever started in its place and no half-written one either.
    platform::Status writePayload() const;

    // Runs myrar.exe of the working directory with the command's arguments, its standard
    // output into the command's output file when it names one (emptied first unless
    // appending), and returns after the archiver has ended and closed its output. When the
    // archiver is missing or cannot start, `started` is false and `output` empty.
    ArchiverRun run(const ArchiverCommand& command) const;

private:
    std::filesystem::path workingDirectory_;
    std::span<const unsigned char> payload_;
};
