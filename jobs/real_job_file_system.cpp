#include "jobs/real_job_file_system.h"

#include <set>
#include <string>
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
    // A temporary file ".<archive name>.<pid>.pmbtmp" names the archive it was to replace;
    // the platform clears those of each such archive whose writer is gone.
    const std::filesystem::path dir = platform::pathFromUtf8(folder);
    const std::size_t suffix = std::char_traits<char>::length(platform::kTemporaryFileSuffix);
    std::set<std::filesystem::path> targets;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        const std::string name = platform::utf8FromPath(entry.path().filename());
        if (!platform::isTemporaryFileName(name)) continue;
        const auto dot = name.rfind('.', name.size() - suffix - 1);
        if (dot == std::string::npos || dot <= 1) continue;
        targets.insert(dir / platform::pathFromUtf8(name.substr(1, dot - 1)));
    }
    for (const auto& target : targets) platform::removeStaleTemporaryFiles(target);
}

}  // namespace jobs
