#include "jobs/dry_run_file_system.h"

namespace jobs {

std::optional<std::string> DryRunFileSystem::onDisk(const std::string& path) {
    auto it = changed_.find(path);
    if (it != changed_.end()) return it->second;
    if (!disk_.exists(path)) return std::nullopt;
    return path;
}

bool DryRunFileSystem::exists(const std::string& path) { return onDisk(path).has_value(); }

std::optional<platform::FileIdentity> DryRunFileSystem::identity(const std::string& path) {
    auto real = onDisk(path);
    if (!real) return std::nullopt;
    return disk_.identity(*real);
}

platform::MoveOutcome DryRunFileSystem::move(const std::string& from, const std::string& to) {
    auto source = onDisk(from);
    if (!source) return {platform::MoveOutcome::Kind::Failed, "无法更名 " + from + "：找不到文件"};
    if (exists(to)) return {platform::MoveOutcome::Kind::TargetExists, "已有同名文件：" + to};
    changed_[to] = *source;
    changed_[from] = std::nullopt;
    return {platform::MoveOutcome::Kind::Moved, {}};
}

platform::Result<platform::TrashedFile> DryRunFileSystem::trash(const std::string& path) {
    if (!exists(path)) return platform::Status::failure("无法移到回收站：" + path + "：找不到文件");
    changed_[path] = std::nullopt;
    return platform::TrashedFile{};
}

platform::Status DryRunFileSystem::restore(const platform::TrashedFile&, const std::string& original) {
    return platform::Status::failure("试运行不还原任何文件：" + original);
}

}  // namespace jobs
