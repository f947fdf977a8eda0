#pragma once
// Files read by position and files written through a temporary file that replaces the
// target atomically: a crash, a full disk or a kill never leaves a half-written file
// under the target's name.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace platform {

class ReadableFile {
public:
    static Result<ReadableFile> open(const std::filesystem::path& path);
    ReadableFile(ReadableFile&&) noexcept;
    ReadableFile& operator=(ReadableFile&&) noexcept;
    ~ReadableFile();

    std::uint64_t size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }
    // Reads up to buffer.size() bytes at offset; returns the count read (short at the end).
    Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> buffer) const;
    // Native handle (a file descriptor on POSIX) for the copy fast path.
    std::intptr_t nativeHandle() const { return handle_; }

private:
    ReadableFile(std::filesystem::path path, std::intptr_t handle, std::uint64_t size);
    std::filesystem::path path_;
    std::intptr_t handle_ = -1;
    std::uint64_t size_ = 0;
};

class AtomicFileWriter {
public:
    // Creates a temporary file beside `target` (beside the file it links to, when it is a
    // symbolic link). Nothing touches `target` until commit().
    // With ReplaceLink, a symbolic link at `target` is itself replaced by the new file.
    enum class Links { WriteThroughLinks, ReplaceLink };
    static Result<AtomicFileWriter> create(const std::filesystem::path& target, Links links = Links::WriteThroughLinks);
    AtomicFileWriter(AtomicFileWriter&&) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&&) noexcept;
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFileWriter();

    Status append(std::string_view bytes);
    Status append(std::span<const std::uint8_t> bytes);
    // Copies a byte range of `source` to the end of the new file (kernel copy where offered).
    Status appendRange(const ReadableFile& source, std::uint64_t offset, std::uint64_t length);
    std::uint64_t bytesWritten() const { return written_; }

    // Flushes the data to disk, gives the new file the permissions, owner and group of the
    // file it replaces (if any; owner and group where the process may set them) and renames
    // it over the target in one step.
    Status commit();
    // Drops the temporary file; the target stays as it was.
    void abort();

    const std::filesystem::path& temporaryPath() const { return tempPath_; }

private:
    AtomicFileWriter(std::filesystem::path target, std::filesystem::path temp, std::intptr_t handle);
    std::filesystem::path target_;
    std::filesystem::path tempPath_;
    std::intptr_t handle_ = -1;
    std::uint64_t written_ = 0;
    bool committed_ = false;
};

// Shortens `file` in place, without a temporary file: writes `bytes` at `offset`, flushes
// them to disk, then cuts the file at `newSize` and flushes again, each step done before
// the next starts. True when done. False, with nothing touched, when the file cannot
// safely be changed in place: its name no longer leads to the file `file` reads or the
// file has changed size since, another name links to it (a rewrite would part the two),
// another process holds it locked or shut for writing, or it cannot be opened for writing.
Result<bool> cutFileInPlace(const ReadableFile& file, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                            std::uint64_t newSize);

// Whole-file helpers.
Result<std::string> readWholeFile(const std::filesystem::path& path);
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Every temporary file of AtomicFileWriter ends in this.
inline constexpr char kTemporaryFileSuffix[] = ".pmbtmp";

// AtomicFileWriter's temporary files are named ".pmb-<pid>-<n>.pmbtmp" (process id and a
// running number in fixed-width hexadecimal), the same length whatever the target's name:
// a target whose name takes all 255 bytes a name may have can still be rewritten. Earlier
// versions named them ".<target name>.<pid>[-<n>].pmbtmp"; those are recognised too.
std::string temporaryFileName(std::uint64_t processId, unsigned counter);
// The process that made a temporary file of ours, from its name; none for other names.
std::optional<std::uint64_t> temporaryFileProcess(const std::string& fileName);
bool isTemporaryFileName(const std::string& fileName);

// Removes every temporary file of ours in `folder` whose process is gone (a run that was
// killed); those of live processes, this one included, may still be written and stay.
void removeStaleTemporaryFilesIn(const std::filesystem::path& folder);
// The same for the folder that holds `target`.
void removeStaleTemporaryFiles(const std::filesystem::path& target);

// The file that a write to `path` must replace: `path` itself, or, when it is a symbolic
// link, the file at the end of its chain of links, so that the link stays a link and its
// target gets the new bytes. A link whose target does not exist is refused with a message
// that says so, rather than replaced by a file of its own.
Result<std::filesystem::path> fileBehindLinks(const std::filesystem::path& path);

}  // namespace platform
