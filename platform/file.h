#pragma once
// Files read by position and files written through a temporary file that replaces the
// target atomically: a crash, a full disk or a kill never leaves a half-written file
// under the target's name.
#include <cstdint>
#include <filesystem>
#include <memory>
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
    // Creates a temporary file beside `target`. Nothing touches `target` until commit().
    static Result<AtomicFileWriter> create(const std::filesystem::path& target);
    AtomicFileWriter(AtomicFileWriter&&) noexcept;
    AtomicFileWriter& operator=(AtomicFileWriter&&) noexcept;
    // Removes the temporary file unless commit() succeeded.
    ~AtomicFileWriter();

    Status append(std::string_view bytes);
    Status append(std::span<const std::uint8_t> bytes);
    // Copies a byte range of `source` to the end of the new file (kernel copy where offered).
    Status appendRange(const ReadableFile& source, std::uint64_t offset, std::uint64_t length);
    std::uint64_t bytesWritten() const { return written_; }

    // Flushes the data to disk, gives the new file the permissions of the file it replaces
    // (if any) and renames it over the target in one step.
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

// The temporary files that AtomicFileWriter leaves beside `target` when its process was
// killed are named ".<target name>.<pid>.pmbtmp"; this removes those whose process is gone.
void removeStaleTemporaryFiles(const std::filesystem::path& target);
bool isTemporaryFileName(const std::string& fileName);

}  // namespace platform
