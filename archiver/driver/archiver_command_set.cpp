#include "archiver/driver/archiver_command_set.h"

#include <system_error>

#include "archiver/driver/archiver_output.h"
#include "archiver/driver/archiver_texts.h"
#include "archiver/driver/command_lines.h"
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

std::string decoded(std::string_view gb18030) {
    if (auto exact = platform::gb18030ToUtf8(gb18030)) return *exact;
    return platform::decodeGb18030Lossy(gb18030);
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

    auto line = commandlines::listingCommandLine(archivePath, password);
    if (!line) {
        failed.problem = line.message();
        return failed;
    }
    ArchiverRun run = runner_.run(*line);
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
    auto line = commandlines::commentCommandLine(archivePath, password);
    if (!line) return {};
    ArchiverRun run = runner_.run(*line);
    if (!run.started) return {};
    auto bytes = platform::readWholeFile(commentFile);
    if (!bytes) return {};
    return decoded(*bytes);
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
        // One path per line: a path holding a line end would become two names.
        if (file.empty() || !commandlines::isPassable(file)) return fail();
        auto encoded = platform::utf8ToGb18030(file);
        if (!encoded) return fail();
        list += *encoded;
        list += "\r\n";
    }
    auto line = commandlines::addCommandLine(archivePath);
    if (!line) return fail();
    if (!platform::writeFileAtomically(runner_.fileInWorkingDirectory(commandlines::kAddListFileName), list)) return fail();

    const auto archive = platform::pathFromUtf8(archivePath);
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::symlink_status(archive, ec))) {
        std::string_view image(reinterpret_cast<const char*>(EmptyArchiveImage.data()), EmptyArchiveImage.size());
        if (!platform::writeFileAtomically(archive, image)) return fail();
    }

    tell(sink, archivertexts::kAdding);
    ArchiverRun run = runner_.run(*line);
    bool ok = endedWith(run, archivertexts::kAddDoneLine);
    tell(sink, ok ? archivertexts::kAdded : archivertexts::kAddFailed);
    return ok;
}

bool ArchiverCommandSet::extractArchive(const std::string& archivePath, bool withPaths, const StatusSink& sink) {
    const auto destination = extractionFolderFor(platform::pathFromUtf8(archivePath));
    std::string folder = platform::utf8FromPath(destination);
    folder += static_cast<char>(std::filesystem::path::preferred_separator);
    auto line = commandlines::extractCommandLine(archivePath, withPaths, folder);
    if (!line) {
        tell(sink, archivertexts::kExtractFailed);
        return false;
    }
    tell(sink, archivertexts::kExtracting);
    ArchiverRun run = runner_.run(*line);
    bool ok = endedWith(run, archivertexts::kExtractDoneLine);
    tell(sink, ok ? archivertexts::kExtracted : archivertexts::kExtractFailed);
    return ok;
}

DeleteOutcome ArchiverCommandSet::deleteFromArchive(const std::string& archivePath,
                                                    const std::vector<std::string>& entryNames,
                                                    const StatusSink& sink) {
    DeleteOutcome outcome;
    std::vector<std::string> names;
    for (const auto& name : entryNames) {
        if (!name.empty()) names.push_back(name);
    }
    // A delete command naming no entry never reaches the archiver.
    if (names.empty()) {
        outcome.kind = DeleteOutcome::Kind::NothingMatched;
        tell(sink, archivertexts::kNothingToDelete);
        return outcome;
    }
    auto line = commandlines::deleteCommandLine(archivePath, names);
    if (!line) {
        outcome.kind = DeleteOutcome::Kind::Failed;
        outcome.detail = line.message();
        tell(sink, archivertexts::kDeleteFailed);
        return outcome;
    }

    tell(sink, archivertexts::kDeleting);
    ArchiverRun run = runner_.run(*line);
    const std::string last = run.started ? archiveroutput::lastLine(run.output) : std::string();
    if (run.exitedCleanly() && (last == archivertexts::kDeleteDoneLine ||
                                last.rfind(archivertexts::kEmptyArchiveErasedStart, 0) == 0)) {
        outcome.kind = DeleteOutcome::Kind::Deleted;
        tell(sink, archivertexts::kDeleted);
    } else if (run.started && last == archivertexts::kDeleteNothingLine) {
        outcome.kind = DeleteOutcome::Kind::NothingMatched;
        tell(sink, archivertexts::kNothingToDelete);
    } else {
        outcome.kind = DeleteOutcome::Kind::Failed;
        outcome.detail = failureDetail(run);
        tell(sink, archivertexts::kDeleteFailed);
    }
    return outcome;
}

DeleteOutcome ArchiverCommandSet::planDelete(const std::string&, const std::vector<std::string>&) {
    DeleteOutcome outcome;
    outcome.detail = "压缩程序尚不能预先列出删除计划";
    return outcome;
}

bool ArchiverCommandSet::canPassName(const std::string& entryName) const {
    return !entryName.empty() && commandlines::isPassable(entryName);
}
