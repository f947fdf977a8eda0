#include "jobs/real_job_file_system.h"

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"

namespace jobs {

RealJobFileSystem::RealJobFileSystem(std::optional<std::filesystem::path> homeTrash)
    : homeTrash_(std::move(homeTrash)) {}

bool RealJobFileSystem::exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(platform::pathFromUtf8(path), ec));
}

std::optional<platform::FileIdentity> RealJobFileSystem::identity(const std::string& path) {
    auto id = platform::fileIdentity(platform::pathFromUtf8(path));
    if (!id) return std::nullopt;
    return *id;
}

platform::MoveOutcome RealJobFileSystem::move(const std::string& from, const std::string& to) {
    return platform::moveWithoutReplacing(platform::pathFromUtf8(from), platform::pathFromUtf8(to));
}

platform::Result<platform::TrashedFile> RealJobFileSystem::trash(const std::string& path) {
    if (homeTrash_) return platform::moveToTrash(platform::pathFromUtf8(path), *homeTrash_);
    return platform::moveToTrash(platform::pathFromUtf8(path));
}

platform::Status RealJobFileSystem::restore(const platform::TrashedFile& trashed, const std::string& original) {
    return platform::restoreFromTrash(trashed, platform::pathFromUtf8(original));
}

void RealJobFileSystem::removeStaleTemporaryFiles(const std::string& folder) {
    platform::removeStaleTemporaryFilesIn(platform::pathFromUtf8(folder));
}

}  // namespace jobs
