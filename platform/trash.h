#pragma once
// The desktop's trash: a file put there can be brought back, by the desktop or by
// restoreFromTrash. On Linux this is the freedesktop.org trash: the home trash
// ($XDG_DATA_HOME/Trash, with files/ and info/*.trashinfo) for files on its device, the
// trash at the top of the file's own mount otherwise. A file is only ever renamed into
// a trash, never copied, so a failure leaves it where it was, and is reported.
#include <filesystem>

#include "platform/status.h"

namespace platform {

struct TrashedFile {
    std::filesystem::path file;  // where the file now lies
    std::filesystem::path info;  // its record of the original place (.trashinfo)
};

// $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when that is unset or not absolute.
std::filesystem::path homeTrashDirectory();

Result<TrashedFile> moveToTrash(const std::filesystem::path& file);
// Same, with the given home trash in place of homeTrashDirectory().
Result<TrashedFile> moveToTrash(const std::filesystem::path& file, const std::filesystem::path& homeTrash);

// The record that goes with a file lying in the trash at `trashedFile`, as moveToTrash
// returned it: for a caller that learnt only where the file went (from another process's
// output, say) and wants to journal it for restoreFromTrash. On Linux the .trashinfo in
// the trash's info/ folder; in the Windows recycle bin the $I file beside the $R file.
TrashedFile trashRecordOf(const std::filesystem::path& trashedFile);

// Puts a trashed file back at `original` (never over an existing file) and drops its record.
Status restoreFromTrash(const TrashedFile& trashed, const std::filesystem::path& original);

}  // namespace platform
