// cw: writes the archive comment into a file (GB18030), or to the console when no file
// is named. An existing file is overwritten only after a yes, or with -y.
#include <filesystem>

#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec.h"

namespace console {
namespace {

bool isYes(const std::string& answer) {
    return answer == "y" || answer == "Y" || answer == "a" || answer == "A" || answer == "是";
}

}  // namespace

ExitCode runWriteCommentCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    rar::ReadOptions options;
    options.password = inv.line.password.value_or("");
    ArchiveAccess access = openArchive(inv.line.archive, options, io);
    if (access.failure) return *access.failure;
    const rar::Archive& archive = access.result.archive;

    if (!archive.comment) {
        if (access.result.problem) return reportReadProblem(inv.line.archive, *access.result.problem, io);
        if (archive.hasComment) {
            io.line(msg::commentUnreadable(inv.line.archive));
            return ExitCode::Unsupported;
        }
        io.line(msg::noComment());
        return ExitCode::Success;
    }
    const std::string bytes = platform::encodeGb18030Lossy(*archive.comment);
    if (inv.names.empty()) {
        io.raw(bytes);
        io.line();
        return ExitCode::Success;
    }
    const std::string& target = inv.names.front();
    const std::filesystem::path targetPath = platform::pathFromUtf8(target);
    std::error_code ec;
    if (std::filesystem::exists(targetPath, ec) && !inv.line.assumeYes) {
        io.text(msg::askOverwrite(target));
        auto answer = io.readAnswer();
        if (!answer) io.line();
        if (!answer || !isYes(*answer)) {
            io.line(msg::notOverwritten(target));
            return ExitCode::UserRefused;
        }
    }
    if (auto s = platform::writeFileAtomically(targetPath, bytes); !s) {
        io.line(msg::cannotWriteFile(target, s.message()));
        return ExitCode::FileError;
    }
    if (access.result.problem) return reportReadProblem(inv.line.archive, *access.result.problem, io);
    return ExitCode::Success;
}

}  // namespace console
