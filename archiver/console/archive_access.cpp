#include "archiver/console/archive_access.h"

#include <filesystem>
#include <system_error>

#include "archiver/console/messages.h"
#include "platform/paths.h"

namespace console {

ExitCode reportReadProblem(const std::string& path, const rar::ReadProblem& problem, ConsoleIo& io) {
    switch (problem.kind) {
        case rar::ProblemKind::CannotOpen:
            io.line(msg::cannotOpen(path, problem.detail));
            return ExitCode::FileError;
        case rar::ProblemKind::NotArchive:
            io.line(msg::notRarArchive(path));
            return ExitCode::BadArchive;
        case rar::ProblemKind::PasswordRequired:
            io.line(msg::passwordRequired(path));
            return ExitCode::WrongPassword;
        case rar::ProblemKind::WrongPassword:
            io.line(msg::wrongPassword(path));
            return ExitCode::WrongPassword;
        case rar::ProblemKind::Truncated:
            io.line(msg::archiveTruncated(path, problem.offset));
            return ExitCode::BadArchive;
        case rar::ProblemKind::HeaderCrc:
            io.line(msg::archiveHeaderCrc(path, problem.offset));
            return ExitCode::BadArchive;
        case rar::ProblemKind::BadHeader:
            break;
    }
    io.line(msg::archiveHeaderDamaged(path, problem.offset));
    return ExitCode::BadArchive;
}

ArchiveAccess openArchive(const std::string& path, const rar::ReadOptions& options, ConsoleIo& io,
                          rar::ArchiveVisitor* visitor) {
    ArchiveAccess access;
    const std::filesystem::path nativePath = platform::pathFromUtf8(path);
    std::error_code ec;
    const auto status = std::filesystem::status(nativePath, ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        std::error_code linkError;
        const bool danglingLink = std::filesystem::is_symlink(std::filesystem::symlink_status(nativePath, linkError));
        io.line(danglingLink ? msg::archiveDanglingLink(path) : msg::archiveNotFound(path));
        access.failure = ExitCode::FileError;
        return access;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        io.line(msg::archiveIsFolder(path));
        access.failure = ExitCode::FileError;
        return access;
    }
    auto source = rar::FileByteSource::open(nativePath);
    if (!source) {
        io.line(msg::cannotOpen(path, source.message()));
        access.failure = ExitCode::FileError;
        return access;
    }
    access.source = std::move(*source);
    access.result = visitor ? rar::readArchive(*access.source, options, *visitor) : rar::readArchive(*access.source, options);
    if (const auto& problem = access.result.problem) {
        const bool unusable = !access.result.isRar || problem->kind == rar::ProblemKind::CannotOpen ||
                              problem->kind == rar::ProblemKind::PasswordRequired ||
                              problem->kind == rar::ProblemKind::WrongPassword;
        if (unusable) access.failure = reportReadProblem(path, *problem, io);
    }
    return access;
}

bool archiveWritable(const std::filesystem::path& archive) {
    std::error_code ec;
    const auto permissions = std::filesystem::status(archive, ec).permissions();
    if (ec) return true;  // the write itself will tell
    using std::filesystem::perms;
    return (permissions & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

}  // namespace console
