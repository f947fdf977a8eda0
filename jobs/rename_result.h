#pragma once
// What the rename job did with one archive: shown beside its ordinal in the rename
// results list of the window, and printed by the command-line front end.
#include <cstddef>
#include <functional>
#include <string>

namespace jobs {

struct RenameResult {
    enum class Outcome {
        Renamed,           // now at newPath
        AlreadyNamed,      // its path already is its new path; left alone
        NoMatchingEntry,   // no entry with the extension (also an empty archive)
        NothingTyped,      // no extension or no start number was typed
        CannotList,        // the archiver could not list it (missing, damaged, not an archive)
        NameRefused,       // the new name cannot be given to a file
        BadStartNumber,    // the start number is not all digits
        Missing,           // no file at its path
        SameAsEarlierRow,  // an earlier row names the same file
        MoveFailed,        // the rename itself failed; the archive is where it was
        Trashed,           // its new path was taken: the archive went to the trash
        ClashKept,         // its new path was taken and no trash could take it: kept
        VolumeOfSet,       // a volume of a set whose first listed row speaks for it; moved with it
        VolumeMissing,     // a volume set with a gap or without its first volume: left alone
    };
    enum class Category { Renamed, Unchanged, Failed };

    std::size_t ordinal = 0;  // 1 for the first row
    Outcome outcome = Outcome::MoveFailed;
    std::string oldPath;
    std::string newPath;      // the path it was given or would have had; empty when none was formed
    std::string currentPath;  // where the archive lies now; empty when it went to the trash
    std::string detail;       // the reason shown, in the window's language
    bool dryRun = false;

    Category category() const;
    bool changedPath() const { return currentPath != oldPath; }
};

// The text of the "文件路径" column of the results list: the new path, or the archive's
// path and why it kept its name.
std::string resultListText(const RenameResult& result);

using RenameResultSink = std::function<void(const RenameResult&)>;

}  // namespace jobs
