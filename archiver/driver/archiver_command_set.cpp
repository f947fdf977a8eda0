#include "archiver/driver/archiver_command_set.h"

#include <system_error>

#include "archiver/driver/archiver_output.h"
#include "archiver/driver/archiver_texts.h"
#include "archiver/driver/command_lines.h"
#include "archiver/driver/delete_output.h"
#include "archiver/driver/empty_archive_image.h"
#include "archiver/driver/listing_parser.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/text_codec.h"

namespace {

void tell(const StatusSink& sink, std::string_view text) {
    if (sink) sink(std::string(text));
}

// Removes an exchange file left by an earlier command; false when one is still there.
bool removeExchangeFile(const std::filesystem::path& file, std::string& problem) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
    if (ec) {
        problem = "无法删除旧的交换文件 " + platform::utf8FromPath(file) + "：" + platform::describeSystemError(ec);
        return false;
    }
    return true;
}

// Why a finished command did not succeed, in the archiver's own words where it gave any.
std::string failureDetail(const ArchiverRun& run) {
    if (!run.started) return run.problem;
    std::string detail = archiveroutput::joinedMessages(run.output);
    if (run.exitCode != 0) {
        std::string code = run.exitCode < 0 ? std::string("压缩程序被异常终止")
                                            : "压缩程序以退出码 " + std::to_string(run.exitCode) + " 结束";
        detail = detail.empty() ? code : detail + "\n" + code;
    }
    if (detail.empty()) detail = "压缩程序没有报告结果";
    return detail;
}

bool endedWith(const ArchiverRun& run, std::string_view doneLine) {
    return run.exitedCleanly() && archiveroutput::lastLine(run.output) == doneLine;
}

// The archiver reads its list file a name a line and trims blanks around each: a path
// holding a line end would become two names, blanks at its ends would be lost.
bool fitsOneListLine(std::string_view path) {
    constexpr std::string_view kLineEnds("\r\n\0", 3);
    constexpr std::string_view kTrimmed = " \t\v\f";
    return !path.empty() && path.find_first_of(kLineEnds) == std::string_view::npos &&
           kTrimmed.find(path.front()) == std::string_view::npos && kTrimmed.find(path.back()) == std::string_view::npos;
}

std::vector<std::string> namesToDelete(const std::vector<std::string>& entryNames) {
    std::vector<std::string> names;
    for (const auto& name : entryNames) {
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

enum class Deletion { Real, Planned };

// A delete, or its plan, succeeded when the archiver ended cleanly with "完成" (or, as an
// archiver before the trash did, with the line that it erased the emptied archive).
DeleteOutcome deleteOutcomeOf(const ArchiverRun& run, Deletion deletion) {
    DeleteOutcome outcome;
    outcome.exitCode = run.started ? run.exitCode : -1;
    const std::string last = run.started ? archiveroutput::lastLine(run.output) : std::string();
    if (run.exitedCleanly() &&
        (last == archivertexts::kDoneLine || last.starts_with(archivertexts::kEmptyArchiveErasedStart))) {
        outcome.kind = DeleteOutcome::Kind::Deleted;
        DeleteReport report = readDeleteOutput(run.output);
        outcome.removedEntries = std::move(report.removedEntries);
        if (deletion == Deletion::Planned) {
            // A plan moves nothing: that the archive would be left without entries is all it says.
            if (report.erased) outcome.emptied = DeleteOutcome::Emptied::MovedToTrash;
        } else if (report.trashedFile) {
            outcome.emptied = DeleteOutcome::Emptied::MovedToTrash;
            outcome.trashedFile = std::move(*report.trashedFile);
        } else if (report.keptEmpty) {
            outcome.emptied = DeleteOutcome::Emptied::KeptEmpty;
        }
    } else if (run.started && last == archivertexts::kDeleteNothingLine) {
        outcome.kind = DeleteOutcome::Kind::NothingMatched;
    } else {
        outcome.kind = DeleteOutcome::Kind::Failed;
        outcome.detail = failureDetail(run);
    }
    return outcome;
}

}  // namespace

ArchiverCommandSet::ArchiverCommandSet(ArchiverRunner runner) : runner_(std::move(runner)) {}

std::filesystem::path ArchiverCommandSet::extractionFolderFor(const std::filesystem::path& archivePath) {
    auto name = archivePath.filename();
    auto stem = name.stem();
    if (stem.empty() || stem == name) {
        stem = name;  // kept in the path's own form: a narrow string cannot hold every name on Windows
        stem += "_files";
    }
    return archivePath.parent_path() / stem;
}

Listing ArchiverCommandSet::listArchive(const std::string& archivePath, const std::string& password) {
    Listing failed;
    failed.listed = false;
    const auto listingFile = runner_.fileInWorkingDirectory(commandlines::kListingFileName);
    if (!removeExchangeFile(listingFile, failed.problem)) return failed;

    auto command = commandlines::listingCommand(archivePath, password);
    if (!command) {
        failed.problem = command.message();
        return failed;
    }
    ArchiverRun run = runner_.run(*command);
    if (!run.started) {
        failed.problem = run.problem;
        return failed;
    }
    auto bytes = platform::readWholeFile(listingFile);
    if (!bytes) {
        std::error_code ec;
        failed.problem = std::filesystem::exists(listingFile, ec)
                             ? "无法读取列表文件：" + bytes.message()
                             : "压缩程序没有写出列表文件 " + std::string(commandlines::kListingFileName);
        if (auto said = archiveroutput::joinedMessages(run.output); !said.empty()) failed.problem += "\n" + said;
        return failed;
    }
    Listing listing = listingFromOutput(*bytes);
    // What the archiver wrote to its error output did not go into the file.
    if (!listing.listed) {
        if (auto said = archiveroutput::joinedMessages(run.output); !said.empty()) listing.problem += "\n" + said;
    }
    return listing;
}

std::string ArchiverCommandSet::readArchiveComment(const std::string& archivePath, const std::string& password) {
    const auto commentFile = runner_.fileInWorkingDirectory(commandlines::kCommentFileName);
    std::string problem;
    if (!removeExchangeFile(commentFile, problem)) return {};
    auto command = commandlines::commentCommand(archivePath, password);
    if (!command) return {};
    ArchiverRun run = runner_.run(*command);
    if (!run.started) return {};
    auto bytes = platform::readWholeFile(commentFile);
    if (!bytes) return {};
    return archiveroutput::decoded(*bytes);
}

bool ArchiverCommandSet::addToArchive(const std::string& archivePath, const std::vector<std::string>& files,
                                      const StatusSink& sink) {
    auto fail = [&] {
        tell(sink, archivertexts::kAddFailed);
        return false;
    };
    if (files.empty()) return fail();
    std::string list;
    for (const auto& file : files) {
        if (!fitsOneListLine(file)) return fail();
        auto encoded = platform::utf8ToGb18030(file);
        if (!encoded) return fail();
        list += *encoded;
        list += "\r\n";
    }
    auto command = commandlines::addCommand(archivePath);
    if (!command) return fail();
    // Removed first: a write would go through a link planted under the list's name.
    const auto listFile = runner_.fileInWorkingDirectory(commandlines::kAddListFileName);
    std::string problem;
    if (!removeExchangeFile(listFile, problem) || !platform::writeFileAtomically(listFile, list)) return fail();

    const auto archive = platform::pathFromUtf8(archivePath);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(archive, ec))) {
        std::string_view image(reinterpret_cast<const char*>(EmptyArchiveImage.data()), EmptyArchiveImage.size());
        if (!platform::writeFileAtomically(archive, image)) return fail();
    }

    tell(sink, archivertexts::kAdding);
    ArchiverRun run = runner_.run(*command);
    bool ok = endedWith(run, archivertexts::kDoneLine);
    tell(sink, ok ? archivertexts::kAdded : archivertexts::kAddFailed);
    return ok;
}

bool ArchiverCommandSet::extractArchive(const std::string& archivePath, bool withPaths, const StatusSink& sink) {
    const auto destination = extractionFolderFor(platform::pathFromUtf8(archivePath));
    std::string folder = platform::utf8FromPath(destination);
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
    auto command = commandlines::extractCommand(archivePath, withPaths, folder);
    if (!command) {
        tell(sink, archivertexts::kExtractFailed);
        return false;
    }
    tell(sink, archivertexts::kExtracting);
    ArchiverRun run = runner_.run(*command);
    bool ok = endedWith(run, archivertexts::kExtractDoneLine);
    tell(sink, ok ? archivertexts::kExtracted : archivertexts::kExtractFailed);
    return ok;
}

DeleteOutcome ArchiverCommandSet::deleteFromArchive(const std::string& archivePath,
                                                    const std::vector<std::string>& entryNames,
                                                    const StatusSink& sink) {
    const std::vector<std::string> names = namesToDelete(entryNames);
    // A delete command naming no entry never reaches the archiver.
    if (names.empty()) {
        DeleteOutcome outcome;
        outcome.kind = DeleteOutcome::Kind::NothingMatched;
        tell(sink, archivertexts::kNothingToDelete);
        return outcome;
    }
    auto command = commandlines::deleteCommand(archivePath, names);
    if (!command) {
        DeleteOutcome outcome;
        outcome.detail = command.message();
        tell(sink, archivertexts::kDeleteFailed);
        return outcome;
    }

    tell(sink, archivertexts::kDeleting);
    DeleteOutcome outcome = deleteOutcomeOf(runner_.run(*command), Deletion::Real);
    switch (outcome.kind) {
        case DeleteOutcome::Kind::Deleted: tell(sink, archivertexts::kDeleted); break;
        case DeleteOutcome::Kind::NothingMatched: tell(sink, archivertexts::kNothingToDelete); break;
        case DeleteOutcome::Kind::Failed: tell(sink, archivertexts::kDeleteFailed); break;
    }
    return outcome;
}

DeleteOutcome ArchiverCommandSet::planDelete(const std::string& archivePath, const std::vector<std::string>& entryNames) {
    const std::vector<std::string> names = namesToDelete(entryNames);
    if (names.empty()) {
        DeleteOutcome outcome;
        outcome.kind = DeleteOutcome::Kind::NothingMatched;
        return outcome;
    }
    auto command = commandlines::planDeleteCommand(archivePath, names);
    if (!command) {
        DeleteOutcome outcome;
        outcome.detail = command.message();
        return outcome;
    }
    return deleteOutcomeOf(runner_.run(*command), Deletion::Planned);
}

bool ArchiverCommandSet::canPassName(const std::string& entryName) const {
    return !entryName.empty() && commandlines::isPassable(entryName);
}
