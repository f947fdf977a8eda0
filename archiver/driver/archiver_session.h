#pragma once
// One job's hold on the archiver. The archiver's exchange files have fixed names in the
// working directory, so two copies of the program sharing that folder (or two jobs in one
// copy) must never run commands at the same time: a job takes a session when it starts and
// keeps it until its last command is done. Taking it also writes out the archiver, so for
// the whole job myrar.exe is this program's own.
#include <functional>
#include <string_view>

#include "archiver/driver/archiver_runner.h"
#include "platform/file_lock.h"
#include "platform/status.h"

class ArchiverSession {
public:
    static constexpr std::string_view kLockFileName = "myrar.lock";

    // Waits while another session on the same working directory is open, calling `onWait`
    // once first (the jobs put archivertexts::kWaitingForOtherCopy into the status line),
    // then writes the payload. Fails when the lock file or the archiver cannot be written.
    static platform::Result<ArchiverSession> begin(const ArchiverRunner& runner,
                                                   const std::function<void()>& onWait = {});

private:
    explicit ArchiverSession(platform::FileLock lock) : lock_(std::move(lock)) {}
    platform::FileLock lock_;
};
