#include "archiver/rar/byte_source.h"

#include <algorithm>
#include <cstring>

namespace rar {
namespace {
constexpr std::size_t kWindowSize = 64 * 1024;
// After a jump over a data area only a little is read ahead: the next header is small,
// and reading a whole window behind every large entry would cost more than the headers.
constexpr std::size_t kJumpReadAhead = 4 * 1024;
}

platform::Result<std::vector<std::uint8_t>> ByteSource::readExact(std::uint64_t offset, std::size_t length) const {
    std::vector<std::uint8_t> bytes(length);
    auto got = readAt(offset, bytes);
    if (!got) return got.status();
    if (*got != length) return platform::Status::failure("数据意外结束");
    return bytes;
}

platform::Result<std::unique_ptr<FileByteSource>> FileByteSource::open(const std::filesystem::path& path) {
    auto file = platform::ReadableFile::open(path);
    if (!file) return file.status();
    return std::unique_ptr<FileByteSource>(new FileByteSource(std::move(*file)));
}

platform::Result<std::size_t> FileByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (offset >= file_.size() || out.empty()) return std::size_t{0};
    if (out.size() >= kWindowSize) return file_.readAt(offset, out);
    const bool inside = offset >= windowOffset_ && offset - windowOffset_ + out.size() <= window_.size();
    if (!inside) {
        const bool continues = !window_.empty() && offset >= windowOffset_ && offset <= windowOffset_ + window_.size();
        window_.resize(std::max(out.size(), continues ? kWindowSize : kJumpReadAhead));
        auto got = file_.readAt(offset, window_);
        if (!got) {
            window_.clear();
            return got.status();
        }
        window_.resize(*got);
        windowOffset_ = offset;
    }
    const std::size_t start = static_cast<std::size_t>(offset - windowOffset_);
    const std::size_t n = std::min(out.size(), window_.size() - start);
    std::memcpy(out.data(), window_.data() + start, n);
    return n;
}

platform::Result<std::size_t> MemoryByteSource::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    if (offset >= bytes_.size()) return std::size_t{0};
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), bytes_.size() - offset));
    if (n > 0) std::memcpy(out.data(), bytes_.data() + offset, n);
    return n;
}

}  // namespace rar
