#pragma once
// Every text the jobs show: the status-line texts, used exactly as the product has
// them, and the reasons given beside an archive in the rename results.
#include <cstddef>
#include <string>
#include <string_view>

namespace jobs::texts {

std::string renameProgress(std::size_t ordinal);  // 正在修改第n个文件名称。
inline constexpr std::string_view kRenameClash = "文件已存在！该文件被删除！";
inline constexpr std::string_view kRenameDone = "RAR文件名称修改完毕！";
std::string cleanProgress(std::size_t ordinal);  // 正在打扫第n个文件。。。
inline constexpr std::string_view kCleanDone = "文件打扫完毕！";

// Reasons an archive keeps its name, and what became of it.
inline constexpr std::string_view kNoExtensionTyped = "未更名：没有填写后缀";
inline constexpr std::string_view kNoStartNumberTyped = "未更名：没有填写起始序号";
inline constexpr std::string_view kStartNumberNotDigits = "未更名：起始序号只能由数字0到9组成";
inline constexpr std::string_view kAlreadyNamed = "名称已是新名称，未改动";
inline constexpr std::string_view kMissing = "未更名：文件不存在";
std::string noEntryWithExtension(std::string_view extension);
std::string cannotList(std::string_view problem);  // without "未更名：", the clean job says it too
inline constexpr std::string_view kNotRenamed = "未更名：";
std::string nameRefused(std::string_view name, std::string_view reason);
std::string sameArchiveAs(std::size_t ordinal);
std::string heldByListedArchive(std::size_t ordinal);
std::string moveFailed(std::string_view problem);
std::string clashTrashed(std::string_view newPath, std::string_view trashPath);
std::string clashKept(std::string_view newPath, std::string_view problem);
std::string clashWouldTrash(std::string_view newPath);
std::string keptUnderTemporaryName(std::string_view path);
// Volume sets.
std::string volumeOfSet(std::size_t ordinal);
std::string volumeMissing(std::string_view missingVolume);
std::string setClashKept(std::string_view newPath);
std::string setMoveFailed(std::string_view problem, bool allBack);

// Why a name is refused.
std::string forbiddenCharacter(std::string_view character);
inline constexpr std::string_view kControlCharacter = "名称含有控制字符";
std::string reservedName(std::string_view name);
inline constexpr std::string_view kTrailingDotOrBlank = "名称以点或空格结尾";
inline constexpr std::string_view kEmptyName = "名称为空";
inline constexpr std::string_view kNameTooLong = "名称太长（超过255个字符或字节）";
inline constexpr std::string_view kPathTooLong = "路径太长（超过4095个字节）";

// Clean results.
inline constexpr std::string_view kDeleteListEmpty = "未改动：删除列表为空";
inline constexpr std::string_view kNoNameLeft = "未改动：删除列表中没有可以交给压缩程序的名称";
std::string nameSkipped(std::string_view name);  // control characters shown as \xNN
inline constexpr std::string_view kDeleted = "删除成功";
std::string emptiedAndTrashed(std::string_view trashPath);
inline constexpr std::string_view kEmptiedAndKept = "删除成功，压缩包已空；回收站无法接收，已保留为不含文件的压缩包";
inline constexpr std::string_view kNothingMatched = "未改动：压缩包内没有要删除的文件";
// The archiver's reason on one line, whatever it wrote around it.
std::string archiverReason(std::string_view detail);
std::string deleteFailed(std::string_view detail);  // 删除失败！ and the reason
// What a dry run foresees.
std::string wouldDelete(std::size_t count);
std::string wouldEmpty(std::size_t count);
std::string wouldFail(std::string_view reason);
// Volume sets in a clean: the status texts of the delete command, and why a set is refused.
inline constexpr std::string_view kDeletingStatus = "正在删除中……";
inline constexpr std::string_view kNothingToDeleteStatus = "没有要文件的删除";
inline constexpr std::string_view kDeleteFailedStatus = "删除失败！";
std::string volumeSetCannotBeCleaned(std::string_view volume);
std::string volumeSetIncomplete(std::string_view missingVolume);

}  // namespace jobs::texts
