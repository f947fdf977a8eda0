#pragma once
// Every text myrar writes, in one place (UTF-8; the console writes GB18030). The texts
// that callers look for in the output ("完成", "没有要文件的删除", the listing titles ...)
// must stay exactly as they are.
#include <cstdint>
#include <string>
#include <string_view>

namespace console::msg {

// Banner and usage.
std::string bannerProgramLine();
std::string bannerHelpLine();
std::string usageCallForm();
std::string usageCommandsTitle();
std::string usageSwitchesTitle();
std::string usageCommandLine(std::string_view name, std::string_view description);
std::string usageListFileLine();
std::string usageMatchingRule();
std::string usageExitCodes();

// Descriptions of the commands and switches, for the usage text.
inline constexpr std::string_view kCommandList = "详细列出压缩包的内容";
inline constexpr std::string_view kCommandWriteComment = "把压缩包的注释写入文件";
inline constexpr std::string_view kCommandDelete = "从压缩包中删除文件";
inline constexpr std::string_view kCommandAdd = "添加文件到压缩包";
inline constexpr std::string_view kCommandExtractFlat = "解压文件到当前文件夹 (不含路径)";
inline constexpr std::string_view kCommandExtractWithPaths = "解压文件，保留完整路径";
std::string usageSwitches();

// Command line.
std::string unknownCommand(std::string_view command);
std::string unknownSwitch(std::string_view argument);
std::string missingCommand();
std::string missingArchive();
std::string missingNames();
std::string cannotReadListFile(std::string_view path, std::string_view detail);

// Opening an archive.
std::string archiveNotFound(std::string_view path);
std::string archiveIsFolder(std::string_view path);
std::string archiveDanglingLink(std::string_view path);
std::string cannotOpen(std::string_view path, std::string_view detail);
std::string notRarArchive(std::string_view path);  // "%s 不是 RAR 压缩包"
std::string passwordRequired(std::string_view path);
std::string wrongPassword(std::string_view path);
std::string archiveTruncated(std::string_view path, std::uint64_t offset);
std::string archiveHeaderDamaged(std::string_view path, std::uint64_t offset);
std::string archiveHeaderCrc(std::string_view path, std::uint64_t offset);
std::string internalError(std::string_view detail);

// The verbose listing.
std::string listingArchiveLine(std::string_view path);  // "压缩包 %s"
std::string listingTitleLine();                          // "路径名称/注释"
std::string listingColumnsLine();                        // ends in "方法版本"
std::string listingSeparator();                          // 79 "-"
std::string listingNoEntries();                          // "  0 文件"
std::string listingEntryComment(std::string_view line);  // "注释: " + line

// The comment command.
std::string noComment();  // "没有备注"
std::string commentUnreadable(std::string_view path);
std::string askOverwrite(std::string_view path);
std::string notOverwritten(std::string_view path);
std::string cannotWriteFile(std::string_view path, std::string_view detail);

// The delete command.
std::string deletingFrom(std::string_view archive);   // "正在从 %s 删除"
std::string deletingEntry(std::string_view entry);    // "正在删除 %s"
std::string erasingEmptyArchive(std::string_view archive);  // "擦除空的压缩包 %s"
std::string nothingToDelete();                        // "没有要文件的删除"
std::string done();                                   // "完成"
std::string archiveLocked(std::string_view archive);
std::string archiveIsVolume(std::string_view archive);
std::string solidDependency(std::string_view archive, std::string_view kept, std::string_view removed);
std::string linkTargetDependency(std::string_view archive, std::string_view kept, std::string_view removed);
std::string archiveReadOnly(std::string_view archive);
std::string cannotWriteArchive(std::string_view archive, std::string_view detail);
// A cut in place that failed part-way: the archive is whole, of the original entries or
// of the kept ones.
std::string cannotCutArchive(std::string_view archive, std::string_view detail);
std::string cannotEraseArchive(std::string_view archive, std::string_view detail);
// After erasingEmptyArchive: where the original went ("已移到回收站 %s"; without a path
// when the system did not say), or that it stays as an archive without entries.
std::string movedToTrash(std::string_view trashedFile);
std::string keptAsEmptyArchive(std::string_view archive);
std::string foreignPrefix(std::string_view archive, std::uint64_t offset);
std::string dryRunOnlyForDelete();
std::string damagedNotChanged(std::string_view archive);

// The add command.
std::string missingFilesToAdd();
std::string cannotFindFileToAdd(std::string_view path);
std::string addFailedUnchanged(std::string_view archive);
std::string skippedNotAFile(std::string_view path);
std::string creatingArchive(std::string_view archive);  // "正在创建压缩包 %s"
std::string updatingArchive(std::string_view archive);  // "正在更新压缩包 %s"
std::string addingEntry(std::string_view entry);        // "正在添加  %s"
std::string replacingEntry(std::string_view entry);     // "正在替换 %s"
std::string entryOk();                                  // overwrites the 4 columns of "%3d%%"
std::string cannotAddToRar5(std::string_view archive);
std::string cannotAddToVolume(std::string_view archive);
std::string cannotAddToEncryptedHeaders(std::string_view archive);

// The extract commands.
std::string cannotCreateDestination(std::string_view folder);
std::string extractingFrom(std::string_view archive);  // "正在从 %s 解压"
std::string extractingEntry(std::string_view entry);   // "正在解压  %s"
std::string extractedOk();                             // "  OK"
std::string extractUnsafePath(std::string_view entry, std::string_view detail);
std::string extractNotOverwritten(std::string_view entry);
std::string extractNeedsPassword(std::string_view entry);
std::string extractWrongPassword(std::string_view entry);
std::string extractBadCrc(std::string_view entry, bool encrypted);
std::string extractUnsupportedCompression(std::string_view entry, std::string_view detail);
std::string extractUnsupported(std::string_view entry, std::string_view detail);
std::string extractReadError(std::string_view entry, std::string_view detail);
std::string extractWriteError(std::string_view entry, std::string_view detail);
std::string nothingToExtract();
std::string extractErrorCount(std::size_t failures);
std::string allOk();  // "全部OK"

}  // namespace console::msg
