#include "cli/real_cli_environment.h"

#include "archiver/driver/working_directory.h"

namespace cli {

platform::Status RealCliEnvironment::begin(const StatusSink& status) {
    auto dir = enterWorkingDirectory();
    if (!dir) return dir.status();
    auto session = jobs::openArchiverJobSession(*dir, status);
    if (!session) return session.status();
    session_ = std::move(*session);
    return platform::Status::success();
}

}  // namespace cli
