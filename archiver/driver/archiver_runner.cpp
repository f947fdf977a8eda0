#include "archiver/driver/archiver_runner.h"

#include <algorithm>
#include <system_error>

#include "archiver/driver/command_lines.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/process.h"
#include "platform/system_error_text.h"

namespace {

bool sameBytes(std::string_view file, std::span<const unsigned char> payload) {
    return file.size() == payload.size() &&
           std::equal(payload.begin(), payload.end(), file.begin(),
                      [](unsigned char p, char f) { return p == static_cast<unsigned char>(f); });
}

}  // namespace

ArchiverRunner::ArchiverRunner(std::filesystem::path workingDirectory, std::span<const unsigned char> payload)
    : workingDirectory_(std::move(workingDirectory)), payload_(payload) {}

std::filesystem::path ArchiverRunner::workingDirectory() const {
    if (!workingDirectory_.empty()) return workingDirectory_;
    std::error_code ec;
    return std::filesystem::current_path(ec);
}

std::filesystem::path ArchiverRunner::fileInWorkingDirectory(std::string_view name) const {
    return workingDirectory() / platform::pathFromUtf8(name);
}

platform::Status ArchiverRunner::writePayload() const {
    const auto target = fileInWorkingDirectory(commandlines::kArchiverFileName);
    if (payload_.empty()) {
        return platform::Status::failure("这个版本没有附带压缩程序，无法写出 " + platform::utf8FromPath(target));
    }
    std::error_code ec;
    const auto status = std::filesystem::symlink_status(target, ec);
    if (!ec && std::filesystem::is_regular_file(status) &&
        (status.permissions() & std::filesystem::perms::owner_exec) != std::filesystem::perms::none) {
        auto existing = platform::readWholeFile(target);
        if (existing && sameBytes(*existing, payload_)) return platform::Status::success();
    }

    platform::removeStaleTemporaryFiles(target);
    // A link planted as myrar.exe is replaced in the one rename, never written through:
    // the payload must not land wherever it points.
    auto writer = platform::AtomicFileWriter::create(target, platform::AtomicFileWriter::Links::ReplaceLink);
    if (!writer) return writer.status();
    if (auto s = writer->append(payload_); !s) return s;
    if (writer->bytesWritten() != payload_.size()) {
        return platform::Status::failure("无法完整写出 " + platform::utf8FromPath(target));
    }
    if (auto s = writer->commit(); !s) return s;
    // The rename keeps whatever mode the replaced file had; the archiver needs exactly this.
    std::filesystem::permissions(target,
                                 std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                                     std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::replace, ec);
    if (ec) return platform::Status::failure("无法让 " + platform::utf8FromPath(target) + " 可以运行：" + platform::describeSystemError(ec));
    return platform::Status::success();
}

ArchiverRun ArchiverRunner::run(const ArchiverCommand& command) const {
    ArchiverRun result;
    // Only the working directory's own myrar.exe: never one found on a search path.
    const auto program = fileInWorkingDirectory(commandlines::kArchiverFileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(program, ec))) {
        result.problem = "工作目录中没有压缩程序：" + platform::utf8FromPath(program);
        return result;
    }

    platform::ProcessRequest request;
    request.program = program;
    request.programName = std::string(commandlines::kArchiverFileName);
    request.arguments = command.arguments;
    request.workingDirectory = workingDirectory();
    if (!command.outputFile.empty()) request.outputFile = fileInWorkingDirectory(command.outputFile);
    request.appendToOutputFile = command.append;

    auto outcome = platform::runProcess(request);
    if (!outcome) {
        result.problem = "无法运行压缩程序：" + outcome.message();
        return result;
    }
    result.started = true;
    result.exitCode = outcome->exitCode;
    result.output = std::move(outcome->output);
    return result;
}
