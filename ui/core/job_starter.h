#pragma once
// The seam between the window's two start buttons and the batch jobs. The presenter reads
// the inputs at the moment of the click and hands them over with the archive list and a
// status sink; an implementation runs the job (on a worker thread in the real program) and
// reports back through the callbacks.
//
// Contract:
// - busy(), startRename(), startClean() and waitUntilIdle() are called on the window's
//   thread. The presenter never starts a job while busy() is true.
// - The status sink and the JobReport callbacks may be called on any thread, one call at a
//   time, in the order things happen. The presenter's sink and callbacks only queue work
//   for the window's thread and never block on it, so waitUntilIdle() cannot deadlock.
// - While a job runs it may use rows.count(), pathAt() and setPathAt(); the presenter
//   changes no row of the list until `finished` has arrived.
// - `finished` is called exactly once for every started job, as its last call, also when
//   the job ends early.
#include <cstddef>
#include <functional>
#include <string>

#include "archiver/driver/status_sink.h"
#include "jobs/archive_rows.h"
#include "jobs/clean_job.h"
#include "jobs/rename_result.h"

// What 按钮2 ("开始更名") reads at the click.
struct RenameRequest {
    bool byNumber = false;    // 单选框_按序号 selected, else 单选框_按后缀
    std::string extension;    // 编辑框_后缀
    std::string prefix;       // 编辑框_前缀
    std::string startNumber;  // 编辑框_序号, as typed (its length is the number's width)
};

// What a job did with each archive, as it goes: the window shows it in the row's "结果"
// (and a rename job's also in 超级列表框_更名). A result's ordinal is its row position + 1.
struct JobReport {
    std::function<void(const jobs::RenameResult&)> renameResult;  // rename jobs
    std::function<void(const jobs::CleanResult&)> cleanResult;    // clean jobs
    std::function<void()> finished;
};

class JobStarter {
public:
    virtual ~JobStarter() = default;

    virtual bool busy() const = 0;
    virtual void startRename(const RenameRequest& request, ArchiveRows& rows, StatusSink status, JobReport report) = 0;
    // `deleteList` is the text of 编辑框1: entry names, one per line, lines separated by CR LF.
    virtual void startClean(const std::string& deleteList, ArchiveRows& rows, StatusSink status, JobReport report) = 0;
    // Blocks until no job runs; the window calls it when it closes.
    virtual void waitUntilIdle() = 0;
};

// Starts nothing: every job ends at once, touching no archive and writing no status text.
// Stands in until the real jobs are plugged in.
class IdleJobStarter : public JobStarter {
public:
    bool busy() const override { return false; }
    void startRename(const RenameRequest&, ArchiveRows&, StatusSink, JobReport report) override { finish(report); }
    void startClean(const std::string&, ArchiveRows&, StatusSink, JobReport report) override { finish(report); }
    void waitUntilIdle() override {}

private:
    static void finish(const JobReport& report) {
        if (report.finished) report.finished();
    }
};
