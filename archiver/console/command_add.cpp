// a: adds files and folders to an archive in the RAR 1.5-4.x format, stored, the data
// optionally encrypted (-p). A new archive is created; an existing one is updated and
// entries of the same name are replaced. The archive is replaced in one rename at the
// end, so a failed or killed run leaves it as it was.
#include <cstdio>
#include <filesystem>

#include "archiver/console/archive_access.h"
#include "archiver/console/command_add_sources.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/archive_prefix.h"
#include "archiver/rar/rar4_writer.h"
#include "platform/paths.h"

namespace console {
namespace {

// Per item: its name, then the job's share done, each new value drawn over the last one
// (four backspaces), then "OK" on the same line.
class AddOutput : public rar::Rar4AddObserver {
public:
    explicit AddOutput(ConsoleIo& io) : io_(io) {}

    void entryReplaced(const std::string& name) override { io_.line(msg::replacingEntry(name)); }
    void itemStarted(const rar::Rar4AddItem& item) override {
        io_.text(msg::addingEntry(item.storedName));
        io_.text(" ");
        inItem_ = true;
        draw();
    }
    void progress(int percent) override {
        percent_ = percent;
        if (inItem_) draw();
    }
    void itemFinished(const rar::Rar4AddItem&) override {
        io_.text("\b\b\b\b");
        io_.line(msg::entryOk());
        inItem_ = false;
        shown_ = false;
    }

private:
    void draw() {
        char text[8];
        std::snprintf(text, sizeof text, "%3d%%", percent_);
        if (shown_) io_.text("\b\b\b\b");
        io_.text(text);
        io_.flush();
        shown_ = true;
    }

    ConsoleIo& io_;
    int percent_ = 0;
    bool inItem_ = false;
    bool shown_ = false;
};

}  // namespace

ExitCode runAddCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    const std::string& path = inv.line.archive;
    if (inv.names.empty()) {
        io.line(msg::missingFilesToAdd());
        return ExitCode::BadCommandLine;
    }
    const std::filesystem::path nativePath = platform::pathFromUtf8(path);
    platform::removeStaleTemporaryFiles(nativePath);

    std::error_code ec;
    const bool exists = std::filesystem::exists(nativePath, ec);
    if (exists) {
        // Refusals in the archiver's words before any work is done.
        rar::ReadOptions options;
        options.readComments = false;
        ArchiveAccess access = openArchive(path, options, io);
        if (access.failure) {
            // Encrypted headers are no reason to stop here; they are refused below.
            if (!access.result.archive.headersEncrypted) return *access.failure;
        } else if (access.result.problem) {
            const ExitCode code = reportReadProblem(path, *access.result.problem, io);
            io.line(msg::damagedNotChanged(path));
            return code;
        }
        const rar::Archive& a = access.result.archive;
        if (access.source && !rar::mayBeRewritten(rar::prefixOf(*access.source, a))) {
            io.line(msg::foreignPrefix(path, a.signatureOffset));
            return ExitCode::Unsupported;
        }
        if (a.format == rar::Format::Rar5) {
            io.line(msg::cannotAddToRar5(path));
            return ExitCode::Unsupported;
        }
        if (a.volume) {
            io.line(msg::cannotAddToVolume(path));
            return ExitCode::Unsupported;
        }
        if (a.locked) {
            io.line(msg::archiveLocked(path));
            return ExitCode::Locked;
        }
        if (a.headersEncrypted) {
            io.line(msg::cannotAddToEncryptedHeaders(path));
            return ExitCode::Unsupported;
        }
        if (!archiveWritable(nativePath)) {
            io.line(msg::archiveReadOnly(path));
            return ExitCode::FileError;
        }
    }

    AddSourceOptions sourceOptions;
    sourceOptions.excludeBaseFolder = inv.line.excludeBaseFolder;
    sourceOptions.noFolderEntries = inv.line.noEmptyFolders;
    sourceOptions.archive = nativePath;
    const AddSources sources = collectAddSources(inv.names, sourceOptions);
    for (const auto& m : sources.missing) io.line(msg::cannotFindFileToAdd(m));
    if (!sources.missing.empty()) {
        io.line(msg::addFailedUnchanged(path));
        return ExitCode::FileError;
    }
    for (const auto& s : sources.skipped) io.line(msg::skippedNotAFile(s));

    io.line();
    io.line(exists ? msg::updatingArchive(path) : msg::creatingArchive(path));
    io.line();

    rar::Rar4AddOptions options;
    options.password = inv.line.password.value_or("");
    AddOutput output(io);
    const platform::Status status = rar::addToRar4Archive(nativePath, sources.items, options, &output);
    if (!status) {
        io.line();
        io.line(msg::cannotWriteArchive(path, status.message()));
        return ExitCode::FileError;
    }
    io.text(msg::done());
    return ExitCode::Success;
}

}  // namespace console
