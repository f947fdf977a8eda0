#pragma once
// The folder the archiver and its exchange files live in, chosen once at start: the
// program's own folder, or, where that cannot be written (an installed copy), the per-user
// state folder. Nothing else changes the process's working directory afterwards.
#include <filesystem>
#include <functional>

#include "platform/status.h"

std::filesystem::path chooseWorkingDirectory(const std::filesystem::path& programDirectory,
                                             const std::function<bool(const std::filesystem::path&)>& isWritable,
                                             const std::function<std::filesystem::path()>& userStateDirectory);

// Makes the chosen folder the process's working directory and returns it.
platform::Result<std::filesystem::path> enterWorkingDirectory();
