// d: deletes the entries the names match (rule in name_matcher.h). Nothing is written
// when nothing matches, so the archive keeps its bytes and its time stamp; otherwise the
// file is cut short in place when only entries at its end go (tail_cut.h), or the new
// archive replaces the old one in one rename. An archive that would be left without
// entries is never destroyed: the original goes to the trash, or, where no trash takes
// it, stays as an archive without entries (its main header and comment kept). The
// headers are read once, and of each entry only what the deletion needs is kept.
//
// With -dry the same reading, matching and checks run and the same lines come out, but
// nothing on disk changes: no temporary file, no cut, no trash, no clearing of what
// earlier runs left behind.
#include <filesystem>
#include <optional>

#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_prefix.h"
#include "archiver/rar/tail_cut.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/trash.h"

namespace console {
namespace {

// The check that stops a deletion, with its message written; none when it may go on.
std::optional<ExitCode> refusal(const rar::DeletionPlan& plan, const std::string& path, ConsoleIo& io) {
    switch (plan.check) {
        case rar::DeleteCheck::Locked:
            io.line(msg::archiveLocked(path));
            return ExitCode::Locked;
        case rar::DeleteCheck::Volume:
            // A volume in which no name occurs has nothing to delete, which is no failure.
            if (plan.nothingMatched()) return std::nullopt;
            io.line(msg::archiveIsVolume(path));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::SolidDependency:
            if (plan.nothingMatched()) return std::nullopt;
            io.line(msg::solidDependency(path, plan.dependentPath, plan.neededPath));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::LinkTarget:
            io.line(msg::linkTargetDependency(path, plan.dependentPath, plan.neededPath));
            return ExitCode::Unsupported;
        case rar::DeleteCheck::Allowed:
            break;
    }
    return std::nullopt;
}

}  // namespace

ExitCode runDeleteCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    const std::string& path = inv.line.archive;
    const bool dryRun = inv.line.dryRun;
    if (inv.names.empty()) {
        io.line(msg::missingNames());
        return ExitCode::BadCommandLine;
    }
    const std::filesystem::path nativePath = platform::pathFromUtf8(path);
    // Through a symbolic link the file behind it is the archive, the one changed and the
    // one whose neighbours may be temporary files of ours.
    const auto behindLinks = platform::fileBehindLinks(nativePath);
    const std::filesystem::path archiveFile = behindLinks ? *behindLinks : nativePath;
    // Temporary files of an earlier run that was killed are of no use to anyone.
    if (!dryRun) platform::removeStaleTemporaryFiles(archiveFile);

    rar::ReadOptions options;
    options.password = inv.line.password.value_or("");
    options.readComments = false;
    const rar::NameMatcher matcher(inv.names);
    std::optional<rar::DeletionScan> scan;
    ArchiveAccess access;
    rar::ArchivePrefix prefix = rar::ArchivePrefix::None;
    for (int attempt = 0;; ++attempt) {
        scan.emplace(matcher);
        access = openArchive(path, options, io, &*scan);
        if (access.failure) return *access.failure;
        if (access.result.problem) {
            const ExitCode code = reportReadProblem(path, *access.result.problem, io);
            io.line(msg::damagedNotChanged(path));
            return code;
        }
        prefix = rar::prefixOf(*access.source, access.result.archive);
        // A cut in place of an earlier run that was killed half-way is finished first
        // (quietly, like the temporary files above); the archive is then read anew. A dry
        // run reads the same entries without it: the archive already ends where the cut
        // goes.
        if (dryRun || !rar::mayBeRewritten(prefix)) break;
        const auto interrupted = rar::interruptedCut(*access.source, access.result.archive);
        if (!interrupted || attempt > 0) break;
        auto finished = rar::finishInterruptedCut(access.source->file(), *interrupted);
        if (!finished || !*finished) break;
    }
    const rar::Archive& archive = access.result.archive;

    io.line();
    io.line(msg::deletingFrom(path));
    const rar::DeletionPlan plan = scan->plan(archive);
    if (const auto refused = refusal(plan, path, io)) return *refused;
    if (plan.nothingMatched()) {
        io.line(msg::nothingToDelete());
        return ExitCode::NothingMatched;
    }
    if (!rar::mayBeRewritten(prefix)) {
        io.line(msg::foreignPrefix(path, archive.signatureOffset));
        return ExitCode::Unsupported;
    }
    if (!archiveWritable(nativePath)) {
        io.line(msg::archiveReadOnly(path));
        return ExitCode::FileError;
    }

    for (const std::string& removed : plan.removedPaths) io.line(msg::deletingEntry(removed));

    // Laid out before anything moves: an emptied archive that no trash takes is written
    // from it too (main header, comment, no entries).
    auto layout = scan->layout(*access.source, archive, options.password);
    if (!layout && !plan.removesEverything()) {
        io.line(msg::cannotWriteArchive(path, layout.message()));
        return ExitCode::BadArchive;
    }

    if (plan.removesEverything()) {
        io.line(msg::erasingEmptyArchive(path));
        if (dryRun) {
            io.text(msg::done());
            return ExitCode::Success;
        }
        // The reader's handle lets others rename the file, so it stays open: should the
        // trash refuse, the archive is rewritten from the bytes that were read.
        if (auto trashed = platform::moveToTrash(archiveFile)) {
            io.line(msg::movedToTrash(trashed->file.empty() ? std::string() : platform::utf8FromPath(trashed->file)));
            io.text(msg::done());
            return ExitCode::Success;
        }
        if (!layout) {
            io.line(msg::cannotWriteArchive(path, layout.message()));
            return ExitCode::BadArchive;
        }
        if (auto s = rar::writeLayout(rar::FileByteSource::releaseFile(std::move(access.source)), *layout, archiveFile); !s) {
            io.line(msg::cannotWriteArchive(path, s.message()));
            return ExitCode::FileError;
        }
        io.line(msg::keptAsEmptyArchive(path));
        io.text(msg::done());
        return ExitCode::Success;
    }

    if (dryRun) {
        io.text(msg::done());
        return ExitCode::Success;
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
    if (auto s = rar::writeLayout(rar::FileByteSource::releaseFile(std::move(access.source)), *layout, archiveFile); !s) {
        io.line(msg::cannotWriteArchive(path, s.message()));
        return ExitCode::FileError;
    }
    io.text(msg::done());
    return ExitCode::Success;
}

}  // namespace console
