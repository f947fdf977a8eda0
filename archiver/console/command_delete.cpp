// d: deletes the entries the names match (rule in name_matcher.h). Nothing is written
// when nothing matches, so the archive keeps its bytes and its time stamp; otherwise the
// file is cut short in place when only entries at its end go (tail_cut.h), or the new
// archive replaces the old one in one rename, or the file goes when nothing is left. The
// headers are read once, and of each entry only what the deletion needs is kept.
#include <filesystem>
#include <optional>

#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/archive_editor.h"
#include "archiver/rar/tail_cut.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace console {

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
    const rar::NameMatcher matcher(inv.names);
    std::optional<rar::DeletionScan> scan;
    ArchiveAccess access;
    for (int attempt = 0;; ++attempt) {
        scan.emplace(matcher);
        access = openArchive(path, options, io, &*scan);
        if (access.failure) return *access.failure;
        if (access.result.problem) {
            const ExitCode code = reportReadProblem(path, *access.result.problem, io);
            io.line(msg::damagedNotChanged(path));
            return code;
        }
        // A cut in place of an earlier run that was killed half-way is finished first
        // (quietly, like the temporary files above); the archive is then read anew.
        const auto interrupted = rar::interruptedCut(*access.source, access.result.archive);
        if (!interrupted || attempt > 0) break;
        auto finished = rar::finishInterruptedCut(access.source->file(), *interrupted);
        if (!finished || !*finished) break;
    }
    const rar::Archive& archive = access.result.archive;

    io.line();
    io.line(msg::deletingFrom(path));
    const rar::DeletionPlan plan = scan->plan(archive);
    switch (plan.check) {
        case rar::DeleteCheck::Locked:
            io.line(msg::archiveLocked(path));
            return ExitCode::Locked;
        case rar::DeleteCheck::Volume:
            io.line(msg::archiveIsVolume(path));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::SolidDependency:
            if (!plan.nothingMatched()) {
                io.line(msg::solidDependency(path, plan.dependentPath, plan.neededPath));
                return ExitCode::Unsupported;
            }
            break;
        case rar::DeleteCheck::LinkTarget:
            io.line(msg::linkTargetDependency(path, plan.dependentPath, plan.neededPath));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::Allowed:
            break;
    }
    if (plan.nothingMatched()) {
        io.line(msg::nothingToDelete());
        return ExitCode::NothingMatched;
    }
    if (!archiveWritable(nativePath)) {
        io.line(msg::archiveReadOnly(path));
        return ExitCode::FileError;
    }

    for (const std::string& removed : plan.removedPaths) io.line(msg::deletingEntry(removed));

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

    auto layout = scan->layout(*access.source, archive, options.password);
    if (!layout) {
        io.line(msg::cannotWriteArchive(path, layout.message()));
        return ExitCode::BadArchive;
    }
    if (const auto cut = rar::tailCutOf(*access.source, archive, *layout)) {
        auto done = rar::cutInPlace(access.source->file(), *cut);
        if (!done) {
            io.line(msg::cannotCutArchive(path, done.message()));
            return ExitCode::FileError;
        }
        if (*done) {
            io.text(msg::done());
            return ExitCode::Success;
        }
    }
    if (auto s = rar::writeLayout(rar::FileByteSource::releaseFile(std::move(access.source)), *layout, nativePath); !s) {
        io.line(msg::cannotWriteArchive(path, s.message()));
        return ExitCode::FileError;
    }
    io.text(msg::done());
    return ExitCode::Success;
}

}  // namespace console
