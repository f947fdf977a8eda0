#include "jobs/job_file_system.h"

#include "platform/paths.h"

namespace jobs {

platform::TrashedFile JobFileSystem::trashRecordOf(const std::string& trashedFile) {
    return platform::trashRecordOf(platform::pathFromUtf8(trashedFile));
}

bool namesSameFile(JobFileSystem& files, const std::string& a, const std::string& b) {
    if (a == b) return files.exists(a);
    auto ia = files.identity(a);
    if (!ia) return false;
    auto ib = files.identity(b);
    return ib && *ia == *ib;
}

}  // namespace jobs
