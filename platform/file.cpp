// The parts of the file layer that are the same on every platform.
#include "platform/file.h"

namespace platform {

AtomicFileWriter::AtomicFileWriter(AtomicFileWriter&& other) noexcept
    : target_(std::move(other.target_)),
      tempPath_(std::move(other.tempPath_)),
      handle_(other.handle_),
      written_(other.written_),
      committed_(other.committed_) {
    other.handle_ = -1;
    other.committed_ = true;
}

AtomicFileWriter& AtomicFileWriter::operator=(AtomicFileWriter&& other) noexcept {
    if (this != &other) {
        abort();
        target_ = std::move(other.target_);
        tempPath_ = std::move(other.tempPath_);
        handle_ = other.handle_;
        written_ = other.written_;
        committed_ = other.committed_;
        other.handle_ = -1;
        other.committed_ = true;
    }
    return *this;
}

AtomicFileWriter::~AtomicFileWriter() { abort(); }

Status AtomicFileWriter::append(std::string_view bytes) {
    return append(std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

Result<std::string> readWholeFile(const std::filesystem::path& path) {
    auto file = ReadableFile::open(path);
    if (!file) return file.status();
    std::string bytes(static_cast<size_t>(file->size()), '\0');
    auto got = file->readAt(0, std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
    if (!got) return got.status();
    bytes.resize(*got);
    return bytes;
}

Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    auto writer = AtomicFileWriter::create(path);
    if (!writer) return writer.status();
    if (auto s = writer->append(bytes); !s) return s;
    return writer->commit();
}

bool isTemporaryFileName(const std::string& fileName) {
    const std::string suffix = kTemporaryFileSuffix;
    return fileName.size() > suffix.size() + 1 && fileName[0] == '.' &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace platform
