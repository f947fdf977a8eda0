#include "archiver/driver/archiver_command_set.h"
#include "archiver/driver/archiver_session.h"
#include "archiver/driver/archiver_texts.h"
#include "jobs/job_session.h"
#include "jobs/real_job_file_system.h"
#include "jobs/rename_journal.h"

namespace jobs {
namespace {

class ArchiverJobSession final : public JobSession {
public:
    ArchiverJobSession(std::filesystem::path workingDirectory, ArchiverRunner runner, ArchiverSession session)
        : workingDirectory_(std::move(workingDirectory)), session_(std::move(session)), commands_(std::move(runner)) {}

    ArchiveCommands& commands() override { return commands_; }
    JobFileSystem& files() override { return files_; }
    std::filesystem::path journalFile() const override { return workingDirectory_ / std::string(kRenameJournalName); }

private:
    std::filesystem::path workingDirectory_;
    ArchiverSession session_;
    ArchiverCommandSet commands_;
    RealJobFileSystem files_;
};

}  // namespace

platform::Result<std::unique_ptr<JobSession>> openArchiverJobSession(const std::filesystem::path& workingDirectory,
                                                                     const StatusSink& status) {
    ArchiverRunner runner(workingDirectory);
    auto session = ArchiverSession::begin(runner, [&] {
        if (status) status(std::string(archivertexts::kWaitingForOtherCopy));
    });
    if (!session) return session.status();
    std::unique_ptr<JobSession> open =
        std::make_unique<ArchiverJobSession>(workingDirectory, std::move(runner), std::move(*session));
    return open;
}

}  // namespace jobs
