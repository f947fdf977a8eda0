#include "archiver/rar/rar4_writer_existing.h"

#include "archiver/rar/archive_reader.h"
#include "platform/paths.h"

namespace rar {

platform::Result<ExistingRar4Archive> readExistingRar4Archive(const std::filesystem::path& path) {
    const std::string name = platform::utf8FromPath(path);
    auto file = platform::ReadableFile::open(path);
    if (!file) return file.status();
    ReadOptions options;
    options.readComments = false;  // copied as blocks, never looked into
    ReadResult read = readArchive(path, options);
    if (!read.isRar) return platform::Status::failure(name + " 不是 RAR 压缩包");
    if (read.problem) {
        // Headers are encrypted: refused by the update plan with its own message.
        if (read.problem->kind == ProblemKind::PasswordRequired && read.archive.headersEncrypted)
            return ExistingRar4Archive{std::move(read.archive), std::move(*file)};
        return platform::Status::failure(name + "：压缩包已损坏 (位置 " + std::to_string(read.problem->offset) + "，" +
                                         read.problem->detail + ")");
    }
    return ExistingRar4Archive{std::move(read.archive), std::move(*file)};
}

}  // namespace rar
