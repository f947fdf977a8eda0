#pragma once
// A job starter that starts no job of its own: it records what the presenter handed over,
// so that a test can play the job's part (status texts, outcomes, the end) by hand.
#include <optional>
#include <vector>

#include "ui/core/job_starter.h"

class RecordingJobStarter : public JobStarter {
public:
    bool busyFlag = false;
    std::vector<RenameRequest> renames;
    std::vector<std::string> cleans;
    ArchiveRows* rows = nullptr;
    StatusSink status;
    JobReport report;
    std::function<void()> onWait;  // runs inside waitUntilIdle(), if set

    bool busy() const override { return busyFlag; }
    void startRename(const RenameRequest& request, ArchiveRows& r, StatusSink s, JobReport rep) override {
        renames.push_back(request);
        keep(r, std::move(s), std::move(rep));
    }
    void startClean(const std::string& deleteList, ArchiveRows& r, StatusSink s, JobReport rep) override {
        cleans.push_back(deleteList);
        keep(r, std::move(s), std::move(rep));
    }
    void waitUntilIdle() override {
        ++waits;
        if (onWait) onWait();
    }
    int waits = 0;

private:
    void keep(ArchiveRows& r, StatusSink s, JobReport rep) {
        rows = &r;
        status = std::move(s);
        report = std::move(rep);
    }
};
