#pragma once
// The progress and result texts the archive commands hand to their status sink, and the
// archiver's own lines they read its outcome from (UTF-8).
#include <string_view>

namespace archivertexts {

inline constexpr std::string_view kAdding = "正在压缩中……";
inline constexpr std::string_view kAdded = "压缩成功！";
inline constexpr std::string_view kAddFailed = "压缩失败！";

inline constexpr std::string_view kExtracting = "正在解压缩中……";
inline constexpr std::string_view kExtracted = "解压缩成功！";
inline constexpr std::string_view kExtractFailed = "解压缩失败！";

inline constexpr std::string_view kDeleting = "正在删除中……";
inline constexpr std::string_view kDeleted = "删除成功！";
inline constexpr std::string_view kDeleteFailed = "删除失败！";

// The archiver's lines that tell how a command ended, and what a delete did on the way
// (each line's fixed start; the rest is a path or an entry name).
inline constexpr std::string_view kDoneLine = "完成";
inline constexpr std::string_view kExtractDoneLine = "全部OK";
inline constexpr std::string_view kDeleteNothingLine = "没有要文件的删除";
inline constexpr std::string_view kDeletingFromStart = "正在从 ";
inline constexpr std::string_view kDeletingEntryStart = "正在删除 ";
inline constexpr std::string_view kEmptyArchiveErasedStart = "擦除空的压缩包 ";
// Without the path when the system did not say where the file went.
inline constexpr std::string_view kMovedToTrashLine = "已移到回收站";
inline constexpr std::string_view kMovedToTrashStart = "已移到回收站 ";
inline constexpr std::string_view kKeptEmptyStart = "回收站无法接收，已保留为不含文件的压缩包 ";

// A delete that matched no entry changed nothing and did not fail; the archiver's own
// words for it are shown, since "删除成功！" would claim a change that did not happen.
inline constexpr std::string_view kNothingToDelete = kDeleteNothingLine;

// For the status line while another copy of the program holds the archiver.
inline constexpr std::string_view kWaitingForOtherCopy = "正在等待另一个星禾批名宝使用完压缩程序……";

}  // namespace archivertexts
