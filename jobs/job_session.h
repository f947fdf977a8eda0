#pragma once
// What one job works with from its start to its end: the archive commands, with the
// archiver's lock held throughout so that no other job (here or in another copy of the
// program) runs archiver commands meanwhile; the file operations; the rename journal.
#include <filesystem>
#include <memory>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/status_sink.h"
#include "jobs/job_file_system.h"
#include "platform/status.h"

namespace jobs {

class JobSession {
public:
    virtual ~JobSession() = default;
    virtual ArchiveCommands& commands() = 0;
    virtual JobFileSystem& files() = 0;
    virtual std::filesystem::path journalFile() const = 0;
};

// The real session in `workingDirectory`: waits for the archiver's lock (telling `status`
// once when another copy holds it), writes myrar.exe out, and drives it; archives go to
// the desktop trash; the journal lies in the working directory.
platform::Result<std::unique_ptr<JobSession>> openArchiverJobSession(const std::filesystem::path& workingDirectory,
                                                                     const StatusSink& status);

}  // namespace jobs
