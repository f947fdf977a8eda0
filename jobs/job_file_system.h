#pragma once
// The file operations the rename jobs and undo use, on UTF-8 paths. The real one works on
// disk; a dry run puts an overlay in front of it that only pretends; tests add fakes.
#include <optional>
#include <string>

#include "platform/file_identity.h"
#include "platform/file_move.h"
#include "platform/status.h"
#include "platform/trash.h"

namespace jobs {

class JobFileSystem {
public:
    virtual ~JobFileSystem() = default;

    // Whether anything (a file, a folder, a link) has this name.
    virtual bool exists(const std::string& path) = 0;
    virtual std::optional<platform::FileIdentity> identity(const std::string& path) = 0;
    // Never replaces an existing file.
    virtual platform::MoveOutcome move(const std::string& from, const std::string& to) = 0;
    virtual platform::Result<platform::TrashedFile> trash(const std::string& path) = 0;
    virtual platform::Status restore(const platform::TrashedFile& trashed, const std::string& original) = 0;
    // The trash's record of a file that another program (the archiver) put into it, so that
    // restore can bring it back.
    virtual platform::TrashedFile trashRecordOf(const std::string& trashedFile);
    // Removes the temporary files that an archiver killed while it wrote left in `folder`
    // (those whose process is gone). Nothing, where nothing may change.
    virtual void removeStaleTemporaryFiles(const std::string& folder) { (void)folder; }
};

// Both paths name one existing file (equal paths, hard links, case variants where the
// file system ignores case).
bool namesSameFile(JobFileSystem& files, const std::string& a, const std::string& b);

}  // namespace jobs
