#pragma once
// What pimingbao-cli needs from the world besides its command line: the archiver, the file
// operations, the journal's place. The real one enters the working directory and holds the
// archiver for the whole run; tests put fakes in.
#include <filesystem>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/status_sink.h"
#include "jobs/job_file_system.h"
#include "platform/status.h"

namespace cli {

class CliEnvironment {
public:
    virtual ~CliEnvironment() = default;

    // Called once, after the command line and the archives are known and before any job:
    // prepares the archiver; a wait for another copy of the program is told to `status`.
    virtual platform::Status begin(const StatusSink& status) = 0;
    virtual ArchiveCommands& commands() = 0;
    virtual jobs::JobFileSystem& files() = 0;
    virtual std::filesystem::path journalFile() = 0;
};

}  // namespace cli
