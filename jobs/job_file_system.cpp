#include "jobs/job_file_system.h"

#include <system_error>

#include "platform/paths.h"

namespace jobs {

platform::TrashedFile JobFileSystem::trashRecordOf(const std::string& trashedFile) {
    // A freedesktop.org trash keeps files/<name> beside its record info/<name>.trashinfo.
    const std::filesystem::path file = platform::pathFromUtf8(trashedFile);
    platform::TrashedFile record{file, {}};
    if (file.parent_path().filename() == "files") {
        std::filesystem::path info = file.parent_path().parent_path() / "info" / file.filename();
        info += ".trashinfo";
        std::error_code ec;
        if (std::filesystem::is_regular_file(info, ec)) record.info = info;
    }
    return record;
}

bool namesSameFile(JobFileSystem& files, const std::string& a, const std::string& b) {
    if (a == b) return files.exists(a);
    auto ia = files.identity(a);
    if (!ia) return false;
    auto ib = files.identity(b);
    return ib && *ia == *ib;
}

}  // namespace jobs
