#pragma once
// The JobStarter of the real window: every job runs on a worker thread while the window's
// thread goes on; status texts and results go through the presenter's sink and report,
// which only queue them for the window, so each reaches the window as the job reaches it.
// A job first opens its session (the archiver's lock, held to the job's end) and a rename
// job records what it does in the journal, so that pimingbao-cli undo can revert it.
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "jobs/job_session.h"
#include "platform/status.h"
#include "ui/core/job_starter.h"

class WorkerJobStarter final : public JobStarter {
public:
    using SessionOpener = std::function<platform::Result<std::unique_ptr<jobs::JobSession>>(const StatusSink&)>;

    explicit WorkerJobStarter(SessionOpener open);
    // The archiver's sessions in `workingDirectory`, or `problem` for every job when the
    // program found no working directory.
    static SessionOpener archiverSessions(platform::Result<std::filesystem::path> workingDirectory);
    // Waits as waitUntilIdle() does.
    ~WorkerJobStarter() override;

    bool busy() const override { return busy_; }
    void startRename(const RenameRequest& request, ArchiveRows& rows, StatusSink status, JobReport report) override;
    void startClean(const std::string& deleteList, ArchiveRows& rows, StatusSink status, JobReport report) override;
    // Asks the running job to stop after the archive it is working on and waits for it:
    // the window is closing, and an archiver rewrite is never cut off half-way.
    void waitUntilIdle() override;

private:
    using Work = std::function<void(jobs::JobSession&, const StatusSink&, const JobReport&, std::stop_token)>;
    void start(Work work, StatusSink status, JobReport report);

    SessionOpener open_;
    std::atomic<bool> busy_{false};
    std::jthread worker_;
};
