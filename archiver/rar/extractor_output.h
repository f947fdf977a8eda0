#pragma once
// Writing extracted entries to disk without ever passing through a symbolic link: the
// folders below the destination are created one by one and each must be a real folder,
// and an existing file at the target is replaced (never written through).
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "platform/status.h"

namespace rar {

// Creates (as needed) root/components[0]/components[1]/... and returns that folder.
// Fails when one of them exists as anything but a folder, a link to one included.
platform::Result<std::filesystem::path> makeFoldersBelow(const std::filesystem::path& root,
                                                         const std::vector<std::string>& components);

enum class TargetState { Absent, File, Folder, Link, Other };
TargetState targetState(const std::filesystem::path& path);

// Removes a file or link at `path` (never a folder) so that a new one can be created.
platform::Status removeForReplace(const std::filesystem::path& path);

class OutputFile {
public:
    // Creates a new file; fails when anything exists under the name.
    static platform::Result<OutputFile> createNew(const std::filesystem::path& path);
    OutputFile(OutputFile&&) noexcept;
    OutputFile& operator=(OutputFile&&) noexcept;
    ~OutputFile();

    platform::Status write(std::span<const std::uint8_t> bytes);
    platform::Status close();
    // Closes and deletes the file (after a failed check, so no damaged file is left).
    void discard();
    const std::filesystem::path& path() const { return path_; }

private:
    OutputFile(std::filesystem::path path, std::intptr_t handle) : path_(std::move(path)), handle_(handle) {}
    std::filesystem::path path_;
    std::intptr_t handle_ = -1;
};

// A symbolic link at `path` (which must not exist) pointing to `target` as stored,
// separators turned into the platform's own.
platform::Status createSymbolicLink(const std::filesystem::path& path, const std::string& targetUtf8, bool toFolder);

}  // namespace rar
