#pragma once
// A command set that serves archives described in a small data file. An archive on disk
// is a text file holding its own entries, so it keeps them when a job renames it, and a
// delete writes it anew, as the archiver would. Which entries a name takes is the
// archiver's own rule, from its own matcher. An archive left without entries goes to the
// trash, or stays as an archive without entries where no trash takes it.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "archiver/driver/archive_commands.h"

namespace testsupport {

class FakeArchiveCommands final : public ArchiveCommands {
public:
    explicit FakeArchiveCommands(const std::filesystem::path& dataFile);

    // Writes the archive called `name` in the data file to `path`; the tag, kept through
    // renames and deletes, tells archives of equal contents apart.
    void writeArchive(const std::filesystem::path& path, const std::string& name, const std::string& tag = {}) const;
    static std::string tagOf(const std::filesystem::path& path);
    // The entry paths an archive file now holds.
    static std::vector<std::string> entriesOf(const std::filesystem::path& path);

    Listing listArchive(const std::string& archivePath, const std::string& password) override;
    std::string readArchiveComment(const std::string&, const std::string&) override { return {}; }
    bool addToArchive(const std::string&, const std::vector<std::string>&, const StatusSink&) override { return false; }
    bool extractArchive(const std::string&, bool, const StatusSink&) override { return false; }
    DeleteOutcome deleteFromArchive(const std::string& archivePath, const std::vector<std::string>& entryNames,
                                    const StatusSink& sink) override;
    DeleteOutcome planDelete(const std::string& archivePath, const std::vector<std::string>& entryNames) override;
    // As the archiver's command line: no double quote, no control character, not empty.
    bool canPassName(const std::string& entryName) const override;

    // The home trash an emptied archive goes to; without one it is kept without entries.
    std::optional<std::filesystem::path> trash;
    // Off: the trash takes the archive without saying where (the older recycle-bin interface).
    bool trashTellsWhere = true;
    // Every call, as "list PATH", "delete PATH: NAME|NAME" or "plan PATH: NAME|NAME".
    std::vector<std::string> calls;
    std::vector<std::string> passwords;

private:
    struct Plan;
    Plan plan(const std::string& archivePath, const std::vector<std::string>& entryNames) const;

    std::map<std::string, std::string> archives_;  // name -> file text
};

}  // namespace testsupport
