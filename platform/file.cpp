// The parts of the file layer that are the same on every platform.
#include "platform/file.h"

#include <cstdio>
#include <system_error>

#include "platform/paths.h"
#include "platform/system_error_text.h"

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

namespace {

constexpr char kTemporaryFilePrefix[] = ".pmb-";

bool allOf(const std::string& text, const char* digits) {
    return !text.empty() && text.find_first_not_of(digits) == std::string::npos;
}

}  // namespace

std::string temporaryFileName(std::uint64_t processId, unsigned counter) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%08llx-%04x%s", kTemporaryFilePrefix,
                  static_cast<unsigned long long>(processId & 0xFFFFFFFFull), counter & 0xFFFFu, kTemporaryFileSuffix);
    return name;
}

std::optional<std::uint64_t> temporaryFileProcess(const std::string& fileName) {
    const std::string suffix = kTemporaryFileSuffix;
    if (!isTemporaryFileName(fileName)) return std::nullopt;
    const std::string middle = fileName.substr(0, fileName.size() - suffix.size());
    const std::string prefix = kTemporaryFilePrefix;
    if (middle.size() == prefix.size() + 13 && middle.compare(0, prefix.size(), prefix) == 0 && middle[prefix.size() + 8] == '-') {
        const std::string pid = middle.substr(prefix.size(), 8);
        const std::string n = middle.substr(prefix.size() + 9);
        if (allOf(pid, "0123456789abcdef") && allOf(n, "0123456789abcdef")) return std::stoull(pid, nullptr, 16);
    }
    // The earlier form: the process id in decimal after the last dot, perhaps "-<n>" after it.
    const auto dot = middle.rfind('.');
    if (dot == std::string::npos || dot == 0) return std::nullopt;
    const std::string tail = middle.substr(dot + 1);
    const std::string pid = tail.substr(0, tail.find('-'));
    if (!allOf(pid, "0123456789") || pid.size() > 10) return std::nullopt;
    return std::stoull(pid);
}

bool isTemporaryFileName(const std::string& fileName) {
    const std::string suffix = kTemporaryFileSuffix;
    return fileName.size() > suffix.size() + 1 && fileName[0] == '.' &&
           fileName.compare(fileName.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void removeStaleTemporaryFiles(const std::filesystem::path& target) {
    auto dir = target.parent_path();
    removeStaleTemporaryFilesIn(dir.empty() ? std::filesystem::path(".") : dir);
}

Result<std::filesystem::path> fileBehindLinks(const std::filesystem::path& path) {
    namespace fs = std::filesystem;
    fs::path current = path;
    // The system's own limit on a chain of links is of this order; beyond it, a loop.
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        const fs::file_status status = fs::symlink_status(current, ec);
        if (!fs::is_symlink(status)) {
            if (depth > 0 && !fs::exists(status)) {
                return Status::failure("符号链接 " + utf8FromPath(path) + " 指向的 " + utf8FromPath(current) + " 不存在");
            }
            return current;
        }
        const fs::path next = fs::read_symlink(current, ec);
        if (ec) return Status::failure("无法读取符号链接 " + utf8FromPath(current) + "：" + describeSystemError(ec));
        current = next.is_absolute() ? next : current.parent_path() / next;
    }
    return Status::failure("符号链接 " + utf8FromPath(path) + " " + describeSystemError(std::make_error_code(std::errc::too_many_symbolic_link_levels)));
}

}  // namespace platform
