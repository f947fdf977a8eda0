#pragma once
// File systems for the job tests, over a real temporary folder: one that ignores letter
// case the way FAT and NTFS do, one whose trash takes nothing, and one whose trash takes
// files without saying where they went (the older recycle-bin interface of Windows).
#include <filesystem>
#include <optional>
#include <string>

#include "jobs/real_job_file_system.h"

namespace testsupport {

// Letter case of ASCII names ignored, kept as written when a file is made.
class CaseBlindFileSystem final : public jobs::JobFileSystem {
public:
    explicit CaseBlindFileSystem(std::filesystem::path homeTrash) : disk_(std::move(homeTrash)) {}

    bool exists(const std::string& path) override { return actual(path).has_value(); }
    std::optional<platform::FileIdentity> identity(const std::string& path) override;
    platform::MoveOutcome move(const std::string& from, const std::string& to) override;
    platform::Result<platform::TrashedFile> trash(const std::string& path) override;
    platform::Status restore(const platform::TrashedFile& trashed, const std::string& original) override;

private:
    // The name on disk that `path` reaches, whatever its case.
    std::optional<std::string> actual(const std::string& path) const;
    jobs::RealJobFileSystem disk_;
};

// The real file system with a trash of the test's own: the subclasses say what it does.
class OwnTrashFileSystem : public jobs::JobFileSystem {
public:
    bool exists(const std::string& path) override { return disk_.exists(path); }
    std::optional<platform::FileIdentity> identity(const std::string& path) override { return disk_.identity(path); }
    platform::MoveOutcome move(const std::string& from, const std::string& to) override { return disk_.move(from, to); }

private:
    jobs::RealJobFileSystem disk_;
};

// No trash can take a file.
class NoTrashFileSystem final : public OwnTrashFileSystem {
public:
    platform::Result<platform::TrashedFile> trash(const std::string& path) override {
        return platform::Status::failure("no trash can take files of " + path);
    }
    platform::Status restore(const platform::TrashedFile&, const std::string& original) override {
        return platform::Status::failure("no trash: " + original);
    }
};

// The trash moves a file into `bin` and does not say where it went.
class UntoldTrashFileSystem final : public OwnTrashFileSystem {
public:
    explicit UntoldTrashFileSystem(std::filesystem::path bin) : bin_(std::move(bin)) {}

    platform::Result<platform::TrashedFile> trash(const std::string& path) override;
    platform::Status restore(const platform::TrashedFile&, const std::string& original) override {
        return platform::Status::failure("cannot bring back " + original + " from an untold place");
    }

private:
    std::filesystem::path bin_;
};

}  // namespace testsupport
