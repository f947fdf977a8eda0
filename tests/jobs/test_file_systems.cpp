#include "tests/jobs/test_file_systems.h"

#include <system_error>

#include "jobs/naming_rules.h"
#include "platform/paths.h"

namespace testsupport {

std::optional<std::string> CaseBlindFileSystem::actual(const std::string& path) const {
    const std::filesystem::path p = platform::pathFromUtf8(path);
    std::error_code ec;
    const std::string wanted = jobs::foldedAsciiCase(platform::utf8FromPath(p.filename()));
    for (const auto& entry : std::filesystem::directory_iterator(p.parent_path(), ec)) {
        if (jobs::foldedAsciiCase(platform::utf8FromPath(entry.path().filename())) == wanted) return platform::utf8FromPath(entry.path());
    }
    return std::nullopt;
}

std::optional<platform::FileIdentity> CaseBlindFileSystem::identity(const std::string& path) {
    auto a = actual(path);
    return a ? disk_.identity(*a) : std::nullopt;
}

platform::MoveOutcome CaseBlindFileSystem::move(const std::string& from, const std::string& to) {
    auto source = actual(from);
    if (!source) return {platform::MoveOutcome::Kind::Failed, "no such file: " + from};
    if (auto target = actual(to)) {
        if (*target != *source) return {platform::MoveOutcome::Kind::TargetExists, "exists: " + to};
    }
    return disk_.move(*source, to);
}

platform::Result<platform::TrashedFile> CaseBlindFileSystem::trash(const std::string& path) {
    auto a = actual(path);
    return disk_.trash(a ? *a : path);
}

platform::Status CaseBlindFileSystem::restore(const platform::TrashedFile& trashed, const std::string& original) {
    if (actual(original)) return platform::Status::failure("exists: " + original);
    return disk_.restore(trashed, original);
}

platform::Result<platform::TrashedFile> UntoldTrashFileSystem::trash(const std::string& path) {
    std::error_code ec;
    std::filesystem::create_directories(bin_, ec);
    const auto file = platform::pathFromUtf8(path);
    std::filesystem::rename(file, bin_ / file.filename(), ec);
    if (ec) return platform::Status::failure("cannot recycle " + path + ": " + ec.message());
    return platform::TrashedFile{};
}

}  // namespace testsupport
