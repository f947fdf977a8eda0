// x and e: extract the entries the names select (all when none are given, the matching
// rule of d otherwise) into the destination folder (a last name ending in a separator)
// or the current folder. x keeps the stored folders, e puts every file into the
// destination itself. "全部OK" ends the output only when every selected entry was
// written and its checksum matched; each failure is named.
#include <algorithm>
#include <filesystem>
#include <optional>

#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/extractor.h"
#include "archiver/rar/name_matcher.h"
#include "platform/paths.h"

namespace console {
namespace {

class ExtractOutput : public rar::ExtractObserver {
public:
    explicit ExtractOutput(ConsoleIo& io) : io_(io) {}

    void entryStarted(const rar::Entry& e, const std::filesystem::path&) override {
        io_.text(msg::extractingEntry(e.path));
        io_.flush();
    }
    void entryFinished(const rar::Entry& e, const rar::EntryOutcome& o) override {
        if (o.ok()) {
            io_.line(msg::extractedOk());
            return;
        }
        io_.line();
        io_.line(failureText(e, o));
    }
    static ExitCode exitCodeFor(rar::EntryFailure f) {
        switch (f) {
            case rar::EntryFailure::PasswordMissing:
            case rar::EntryFailure::WrongPassword:
                return ExitCode::WrongPassword;
            case rar::EntryFailure::BadChecksum:
            case rar::EntryFailure::ReadError:
                return ExitCode::BadArchive;
            case rar::EntryFailure::UnsupportedCompression:
            case rar::EntryFailure::Unsupported:
            case rar::EntryFailure::UnsafePath:
                return ExitCode::Unsupported;
            case rar::EntryFailure::Exists:
                return ExitCode::UserRefused;
            case rar::EntryFailure::WriteError:
            case rar::EntryFailure::None:
                break;
        }
        return ExitCode::FileError;
    }

private:
    static std::string failureText(const rar::Entry& e, const rar::EntryOutcome& o) {
        switch (o.failure) {
            case rar::EntryFailure::UnsafePath:
                return msg::extractUnsafePath(e.path, o.detail);
            case rar::EntryFailure::Exists:
                return msg::extractNotOverwritten(e.path);
            case rar::EntryFailure::PasswordMissing:
                return msg::extractNeedsPassword(e.path);
            case rar::EntryFailure::WrongPassword:
                return msg::extractWrongPassword(e.path);
            case rar::EntryFailure::BadChecksum:
                return msg::extractBadCrc(e.path, e.encrypted);
            case rar::EntryFailure::UnsupportedCompression:
                return msg::extractUnsupportedCompression(e.path, o.detail);
            case rar::EntryFailure::Unsupported:
                return msg::extractUnsupported(e.path, o.detail);
            case rar::EntryFailure::ReadError:
                return msg::extractReadError(e.path, o.detail);
            case rar::EntryFailure::WriteError:
            case rar::EntryFailure::None:
                break;
        }
        return msg::extractWriteError(e.path, o.detail);
    }

    ConsoleIo& io_;
};

bool endsInSeparator(const std::string& s) { return !s.empty() && (s.back() == '\\' || s.back() == '/'); }

// Both separators name folders here, as in stored names; on POSIX systems a '\\' would
// otherwise become part of a folder's name.
std::filesystem::path destinationFolder(std::string text) {
    if (std::filesystem::path::preferred_separator == '/') std::replace(text.begin(), text.end(), '\\', '/');
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\')) text.pop_back();
    return platform::pathFromUtf8(text);
}

ExitCode runExtract(const Invocation& inv, bool keepFolders) {
    ConsoleIo& io = inv.io;
    const std::string& path = inv.line.archive;

    std::vector<std::string> names = inv.names;
    std::filesystem::path destination = std::filesystem::current_path();
    if (!names.empty() && endsInSeparator(names.back())) {
        destination = destinationFolder(names.back());
        names.pop_back();
    }

    rar::ReadOptions readOptions;
    readOptions.password = inv.line.password.value_or("");
    readOptions.readComments = false;
    ArchiveAccess access = openArchive(path, readOptions, io);
    if (access.failure) return *access.failure;
    const rar::Archive& archive = access.result.archive;

    std::error_code ec;
    std::filesystem::create_directories(destination, ec);
    if (!std::filesystem::is_directory(destination, ec)) {
        io.line(msg::cannotCreateDestination(platform::utf8FromPath(destination)));
        return ExitCode::FileError;
    }

    io.line();
    io.line(msg::extractingFrom(path));
    io.line();

    const rar::NameMatcher matcher(names);
    rar::ExtractOptions options;
    options.destination = destination;
    options.keepFolders = keepFolders;
    options.overwrite = inv.line.assumeYes;
    options.password = readOptions.password;
    if (!matcher.empty()) options.select = [&matcher](const rar::Entry& e) { return matcher.matches(e.path); };
    options.confirmOverwrite = [&io](const std::filesystem::path& target) {
        io.line();
        io.text(msg::askOverwrite(platform::utf8FromPath(target)));
        const auto answer = io.readAnswer();
        return answer && !answer->empty() && (answer->front() == 'y' || answer->front() == 'Y');
    };

    ExtractOutput output(io);
    const rar::ExtractSummary summary = rar::extractEntries(platform::pathFromUtf8(path), archive, options, &output);

    std::optional<ExitCode> code;
    for (const auto& [entry, outcome] : summary.failures) {
        const ExitCode c = ExtractOutput::exitCodeFor(outcome.failure);
        if (!code) code = c;
    }
    // Damage found after the entries that could be read: those were extracted, but the
    // run is not complete.
    if (access.result.problem) {
        const ExitCode c = reportReadProblem(path, *access.result.problem, io);
        if (!code) code = c;
    }
    if (!matcher.empty() && summary.selected == 0) {
        io.line(msg::nothingToExtract());
        return code.value_or(ExitCode::NothingMatched);
    }
    if (code) {
        io.line(msg::extractErrorCount(summary.failures.size() + (access.result.problem ? 1 : 0)));
        return *code;
    }
    io.text(msg::allOk());
    return ExitCode::Success;
}

}  // namespace

ExitCode runExtractWithPathsCommand(const Invocation& inv) { return runExtract(inv, true); }
ExitCode runExtractFlatCommand(const Invocation& inv) { return runExtract(inv, false); }

}  // namespace console
