#pragma once
// An overlay that lets a job run without changing anything: moves and trashing are only
// remembered, and every later look sees the files where the job would have put them.
#include <map>
#include <optional>
#include <string>

#include "jobs/job_file_system.h"

namespace jobs {

class DryRunFileSystem final : public JobFileSystem {
public:
    explicit DryRunFileSystem(JobFileSystem& disk) : disk_(disk) {}

    bool exists(const std::string& path) override;
    std::optional<platform::FileIdentity> identity(const std::string& path) override;
    platform::MoveOutcome move(const std::string& from, const std::string& to) override;
    platform::Result<platform::TrashedFile> trash(const std::string& path) override;
    platform::Status restore(const platform::TrashedFile& trashed, const std::string& original) override;

private:
    // The disk path whose file would now lie at `path`, or nothing when it would be gone.
    std::optional<std::string> onDisk(const std::string& path);

    JobFileSystem& disk_;
    std::map<std::string, std::optional<std::string>> changed_;
};

}  // namespace jobs
