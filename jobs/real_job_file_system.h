#pragma once
// The jobs' file operations on disk; archives go to the desktop trash.
#include <filesystem>
#include <optional>

#include "jobs/job_file_system.h"

namespace jobs {

class RealJobFileSystem final : public JobFileSystem {
public:
    // `homeTrash` replaces the user's home trash (tests keep their trash to themselves).
    explicit RealJobFileSystem(std::optional<std::filesystem::path> homeTrash = std::nullopt);

    bool exists(const std::string& path) override;
    std::optional<platform::FileIdentity> identity(const std::string& path) override;
    platform::MoveOutcome move(const std::string& from, const std::string& to) override;
    platform::Result<platform::TrashedFile> trash(const std::string& path) override;
    platform::Status restore(const platform::TrashedFile& trashed, const std::string& original) override;
    void removeStaleTemporaryFiles(const std::string& folder) override;

private:
    std::optional<std::filesystem::path> homeTrash_;
};

}  // namespace jobs
