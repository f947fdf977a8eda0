#include "ui/core/worker_job_starter.h"

#include <optional>

#include "jobs/clean_job.h"
#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "jobs/undo_rename.h"

namespace {

constexpr std::string_view kCannotStart = "无法启动压缩程序：";

jobs::RenameRequest jobRequest(const RenameRequest& clicked) {
    jobs::RenameRequest request;
    request.mode = clicked.byNumber ? jobs::RenameMode::ByNumber : jobs::RenameMode::ByExtension;
    request.extension = clicked.extension;
    request.prefix = clicked.prefix;
    request.startNumber = clicked.startNumber;
    return request;
}

}  // namespace

WorkerJobStarter::WorkerJobStarter(SessionOpener open) : open_(std::move(open)) {}

WorkerJobStarter::SessionOpener WorkerJobStarter::archiverSessions(platform::Result<std::filesystem::path> workingDirectory) {
    return [workingDirectory](const StatusSink& status) -> platform::Result<std::unique_ptr<jobs::JobSession>> {
        if (!workingDirectory) return workingDirectory.status();
        return jobs::openArchiverJobSession(*workingDirectory, status);
    };
}

WorkerJobStarter::~WorkerJobStarter() { waitUntilIdle(); }

void WorkerJobStarter::waitUntilIdle() {
    if (!worker_.joinable()) return;
    worker_.request_stop();
    worker_.join();
}

void WorkerJobStarter::start(Work work, StatusSink status, JobReport report) {
    // The presenter never asks while busy; should it, nothing starts and the job ends at once.
    if (busy_.exchange(true)) {
        if (report.finished) report.finished();
        return;
    }
    // The last job has ended; its thread may still be on its way out.
    if (worker_.joinable()) worker_.join();
    worker_ = std::jthread([this, work = std::move(work), status = std::move(status),
                            report = std::move(report)](std::stop_token stop) {
        {
            auto session = open_(status);
            if (session) {
                // A numbering run killed half-way left archives hidden; they come back first.
                (void)jobs::finishInterruptedRenames((*session)->journalFile(), (*session)->files(), status);
                work(**session, status, report, stop);
            } else if (status) {
                status(std::string(kCannotStart) + session.message());
            }
        }  // the archiver's lock goes before the next job may start
        busy_ = false;
        if (report.finished) report.finished();
    });
}

void WorkerJobStarter::startRename(const RenameRequest& clicked, ArchiveRows& rows, StatusSink status,
                                   JobReport report) {
    const jobs::RenameRequest request = jobRequest(clicked);
    ArchiveRows* list = &rows;
    start(
        [request, list](jobs::JobSession& session, const StatusSink& sink, const JobReport& reports,
                        std::stop_token stop) {
            jobs::RenameJob job(session.commands(), session.files());
            // Without a journal the renames still go on; they only cannot be undone.
            std::optional<jobs::RenameJournal> journal;
            if (auto opened = jobs::RenameJournal::open(session.journalFile())) {
                journal.emplace(std::move(*opened));
                job.setJournal(&*journal);
            }
            job.run(request, *list, sink, reports.renameResult, stop);
        },
        std::move(status), std::move(report));
}

void WorkerJobStarter::startClean(const std::string& deleteList, ArchiveRows& rows, StatusSink status,
                                  JobReport report) {
    ArchiveRows* list = &rows;
    start(
        [deleteList, list](jobs::JobSession& session, const StatusSink& sink, const JobReport& reports,
                           std::stop_token stop) {
            jobs::CleanJob job(session.commands(), session.files());
            std::optional<jobs::RenameJournal> journal;
            if (auto opened = jobs::RenameJournal::open(session.journalFile())) {
                journal.emplace(std::move(*opened));
                job.setJournal(&*journal, &session.files());
            }
            job.run(jobs::CleanRequest{deleteList, false}, *list, sink, reports.cleanResult, stop);
        },
        std::move(status), std::move(report));
}
