#pragma once
// The archive commands carried out by the myrar archiver: each operation builds one command
// (command_lines.h), runs it through the ArchiverRunner and reads what came back. The caller holds an
// ArchiverSession around a job, so that the fixed-name exchange files are its own.
#include <filesystem>
#include <string>
#include <vector>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/archiver_runner.h"

class ArchiverCommandSet : public ArchiveCommands {
public:
    explicit ArchiverCommandSet(ArchiverRunner runner = ArchiverRunner());

    // An empty password is replaced by the fixed one, so the archiver never asks for one.
    // filelist.txt is removed first: a command that writes nothing can never hand back the
    // listing of the archive before.
    Listing listArchive(const std::string& archivePath, const std::string& password) override;
    // mycomm.txt is removed first, for the same reason and because the archiver would ask
    // before overwriting it. An archive without a comment gives an empty text.
    std::string readArchiveComment(const std::string& archivePath, const std::string& password) override;
    // Writes mylist.lst anew, starts the archive from EmptyArchiveImage only when no file
    // of that name exists. Success: the archiver ended with exit code 0 and the line "完成".
    // A path that one line of the list cannot hold whole fails before anything runs.
    bool addToArchive(const std::string& archivePath, const std::vector<std::string>& files,
                      const StatusSink& sink) override;
    // Extracts into extractionFolderFor(archivePath), with the entries' folders or without.
    // Success: exit code 0 and the last line "全部OK".
    bool extractArchive(const std::string& archivePath, bool withPaths, const StatusSink& sink) override;
    // Empty names are dropped; no names left means nothing is run. A name that cannot be
    // passed whole (see canPassName) fails before anything runs. The outcome carries the
    // archiver's exit code, the entries it took out and where an emptied archive went.
    DeleteOutcome deleteFromArchive(const std::string& archivePath, const std::vector<std::string>& entryNames,
                                    const StatusSink& sink) override;
    // The same delete with the archiver's planning switch: the archiver's own matching and
    // checks, nothing written. Says nothing to a sink.
    DeleteOutcome planDelete(const std::string& archivePath, const std::vector<std::string>& entryNames) override;
    // Anything but an empty name and what no process start can carry (a NUL; on Windows, a
    // text that is not UTF-8): quotes, line ends and a shell's syntax arrive as they are.
    bool canPassName(const std::string& entryName) const override;

    // The folder beside the archive named after it without its extension ("a.rar" -> "a");
    // "<name>_files" when the archive's name has no extension to drop.
    static std::filesystem::path extractionFolderFor(const std::filesystem::path& archivePath);

    const ArchiverRunner& runner() const { return runner_; }

private:
    ArchiverRunner runner_;
};
