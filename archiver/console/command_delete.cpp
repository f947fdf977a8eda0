// d: deletes the entries the names match (rule in name_matcher.h). Nothing is written
// when nothing matches, so the archive keeps its bytes and its time stamp; otherwise the
// new archive replaces the old one in one rename, or the file goes when nothing is left.
#include <filesystem>

#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/archive_editor.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace console {
namespace {

bool writable(const std::filesystem::path& path) {
    std::error_code ec;
    const auto perms = std::filesystem::status(path, ec).permissions();
    if (ec) return true;  // the write itself will tell
    using std::filesystem::perms;
    return (perms & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
}

}  // namespace

ExitCode runDeleteCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    const std::string& path = inv.line.archive;
    if (inv.names.empty()) {
        io.line(msg::missingNames());
        return ExitCode::BadCommandLine;
    }
    const std::filesystem::path nativePath = platform::pathFromUtf8(path);
    // Temporary files of an earlier run that was killed are of no use to anyone.
    platform::removeStaleTemporaryFiles(nativePath);

    rar::ReadOptions options;
    options.password = inv.line.password.value_or("");
    options.readComments = false;
    ArchiveAccess access = openArchive(path, options, io);
    if (access.failure) return *access.failure;
    if (access.result.problem) {
        const ExitCode code = reportReadProblem(path, *access.result.problem, io);
        io.line(msg::damagedNotChanged(path));
        return code;
    }
    const rar::Archive& archive = access.result.archive;

    io.line();
    io.line(msg::deletingFrom(path));
    const rar::DeletionPlan plan = rar::planDeletion(archive, rar::NameMatcher(inv.names));
    switch (plan.check) {
        case rar::DeleteCheck::Locked:
            io.line(msg::archiveLocked(path));
            return ExitCode::Locked;
        case rar::DeleteCheck::Volume:
            io.line(msg::archiveIsVolume(path));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::SolidDependency:
            if (!plan.nothingMatched()) {
                io.line(msg::solidDependency(path, archive.entries[*plan.dependentEntry].path,
                                             archive.entries[*plan.neededEntry].path));
                return ExitCode::Unsupported;
            }
            break;
        case rar::DeleteCheck::LinkTarget:
            io.line(msg::linkTargetDependency(path, archive.entries[*plan.dependentEntry].path,
                                              archive.entries[*plan.neededEntry].path));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::Allowed:
            break;
    }
    if (plan.nothingMatched()) {
        io.line(msg::nothingToDelete());
        return ExitCode::NothingMatched;
    }
    if (!writable(nativePath)) {
        io.line(msg::archiveReadOnly(path));
        return ExitCode::FileError;
    }

    for (std::size_t i : plan.removedEntries) io.line(msg::deletingEntry(archive.entries[i].path));

    if (plan.removesEverything()) {
        access.source.reset();
        std::error_code ec;
        if (!std::filesystem::remove(nativePath, ec)) {
            io.line(msg::cannotEraseArchive(path, ec.message()));
            return ExitCode::FileError;
        }
        io.line(msg::erasingEmptyArchive(path));
        io.text(msg::done());
        return ExitCode::Success;
    }

    auto layout = rar::layoutWithoutRemoved(*access.source, archive, plan, options.password);
    if (!layout) {
        io.line(msg::cannotWriteArchive(path, layout.message()));
        return ExitCode::BadArchive;
    }
    if (auto s = rar::writeLayout(rar::FileByteSource::releaseFile(std::move(access.source)), *layout, nativePath); !s) {
        io.line(msg::cannotWriteArchive(path, s.message()));
        return ExitCode::FileError;
    }
    io.text(msg::done());
    return ExitCode::Success;
}

}  // namespace console
