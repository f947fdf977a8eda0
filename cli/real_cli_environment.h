#pragma once
// The real surroundings: the working directory chosen as the window chooses it, and a job
// session there (myrar.exe written out, the archiver's lock held until the program ends,
// the desktop trash, the journal).
#include <memory>

#include "cli/cli_environment.h"
#include "jobs/job_session.h"

namespace cli {

class RealCliEnvironment final : public CliEnvironment {
public:
    platform::Status begin(const StatusSink& status) override;
    ArchiveCommands& commands() override { return session_->commands(); }
    jobs::JobFileSystem& files() override { return session_->files(); }
    std::filesystem::path journalFile() override { return session_->journalFile(); }

private:
    std::unique_ptr<jobs::JobSession> session_;
};

}  // namespace cli
