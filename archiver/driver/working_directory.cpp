#include "archiver/driver/working_directory.h"

#include <system_error>

#include "platform/paths.h"
#include "platform/system_error_text.h"

std::filesystem::path chooseWorkingDirectory(const std::filesystem::path& programDirectory,
                                             const std::function<bool(const std::filesystem::path&)>& isWritable,
                                             const std::function<std::filesystem::path()>& userStateDirectory) {
    if (!programDirectory.empty() && isWritable(programDirectory)) return programDirectory;
    return userStateDirectory();
}

platform::Result<std::filesystem::path> enterWorkingDirectory() {
    auto dir = chooseWorkingDirectory(platform::programDirectory(), platform::isDirectoryWritable,
                                      platform::userStateDirectory);
    std::error_code ec;
    std::filesystem::current_path(dir, ec);
    if (ec) {
        return platform::Status::failure("无法进入工作目录 " + platform::utf8FromPath(dir) + "：" + platform::describeSystemError(ec));
    }
    return dir;
}
