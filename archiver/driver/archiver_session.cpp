#include "archiver/driver/archiver_session.h"

platform::Result<ArchiverSession> ArchiverSession::begin(const ArchiverRunner& runner,
                                                         const std::function<void()>& onWait) {
    auto lock = platform::FileLock::acquire(runner.fileInWorkingDirectory(kLockFileName), onWait);
    if (!lock) return lock.status();
    if (auto s = runner.writePayload(); !s) return s;
    return ArchiverSession(std::move(*lock));
}
