#pragma once
// Opening the archive a command names, with every failure told in the archiver's words:
// a missing file, a folder, a file that is no RAR archive, encrypted headers without the
// right password, and damage found while reading the headers.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "archiver/console/console_io.h"
#include "archiver/console/exit_code.h"
#include "archiver/rar/archive_reader.h"

namespace console {

struct ArchiveAccess {
    std::unique_ptr<rar::FileByteSource> source;
    rar::ReadResult result;
    // Set, with the message already written, when the archive cannot be used at all. Damage
    // found after some headers were read is left in result.problem for the command.
    std::optional<ExitCode> failure;
};

// With a visitor the entries and blocks go to it as they are read, and result.archive
// keeps only the archive-level fields.
ArchiveAccess openArchive(const std::string& pathUtf8, const rar::ReadOptions& options, ConsoleIo& io,
                          rar::ArchiveVisitor* visitor = nullptr);

// Writes the message for a problem met while reading `pathUtf8` and returns its exit code.
ExitCode reportReadProblem(const std::string& pathUtf8, const rar::ReadProblem& problem, ConsoleIo& io);

// False when the archive file is marked read-only (no write permission, or the read-only
// attribute on Windows): the user has said it must not change, so no command rewrites it.
bool archiveWritable(const std::filesystem::path& archive);

}  // namespace console
