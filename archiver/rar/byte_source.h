#pragma once
// Where the reader takes archive bytes from: a file on disk (read by position, with a
// small read-ahead so that walking many small headers costs few system calls) or a
// block of memory (tests, the fuzzer).
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/status.h"

namespace rar {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads up to out.size() bytes at offset; fewer only at the end of the source.
    virtual platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) const = 0;

    // Exactly `length` bytes at `offset`, or a failure when the source ends first.
    platform::Result<std::vector<std::uint8_t>> readExact(std::uint64_t offset, std::size_t length) const;
};

class FileByteSource : public ByteSource {
public:
    static platform::Result<std::unique_ptr<FileByteSource>> open(const std::filesystem::path& path);

    std::uint64_t size() const override { return file_.size(); }
    platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;
    const platform::ReadableFile& file() const { return file_; }
    // Ends the source and hands back its open file, for a writer that must close the
    // archive itself before replacing it.
    static platform::ReadableFile releaseFile(std::unique_ptr<FileByteSource> source) {
        return std::move(source->file_);
    }

private:
    explicit FileByteSource(platform::ReadableFile file) : file_(std::move(file)) {}

    platform::ReadableFile file_;
    // Read-ahead window; headers are small and close together, data areas are skipped.
    mutable std::vector<std::uint8_t> window_;
    mutable std::uint64_t windowOffset_ = 0;
};

class MemoryByteSource : public ByteSource {
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    platform::Result<std::size_t> readAt(std::uint64_t offset, std::span<std::uint8_t> out) const override;

private:
    std::span<const std::uint8_t> bytes_;
};

}  // namespace rar
