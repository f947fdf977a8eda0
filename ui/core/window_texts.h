#pragma once
// Every text the window shows, in one place so that each toolkit's view uses the same words.
// Line breaks inside a caption are CR LF, as the window's own texts hold them.
#include <string_view>

namespace texts {

inline constexpr std::string_view kWindowTitle = "星禾批名宝 V3.1 作者：星禾工作室";

inline constexpr std::string_view kPageFileList = "文件列表";
inline constexpr std::string_view kPageRename = "文件更名";
inline constexpr std::string_view kPageDelete = "删除文件";
inline constexpr std::string_view kPageHelp = "软件说明";

inline constexpr std::string_view kDirectoryLabel = "目录：";
inline constexpr std::string_view kBrowseButton = "浏览...";
inline constexpr std::string_view kAddButton = "添加";
inline constexpr std::string_view kRemoveButton = "删除";
inline constexpr std::string_view kClearButton = "清空";

inline constexpr std::string_view kByExtensionRadio = "按后缀";
inline constexpr std::string_view kExtensionLabel = "后缀：";
inline constexpr std::string_view kByNumberRadio = "按序号";
inline constexpr std::string_view kPrefixLabel = "前缀：";
inline constexpr std::string_view kStartNumberLabel = "起始序号：";
inline constexpr std::string_view kRenameButton = "开始更名";

inline constexpr std::string_view kDeleteListLabel = "需要删除的文件名(每行一个)：";
inline constexpr std::string_view kCleanButton = "开始删除";

inline constexpr std::string_view kColumnNumber = "序号";
inline constexpr std::string_view kColumnPath = "文件路径";
inline constexpr std::string_view kColumnResult = "结果";

// The "结果" cell of a row of 超级列表框_文件: what the last job did with the archive.
inline constexpr std::string_view kResultRenamedTo = "已更名为 ";        // + the new file name
inline constexpr std::string_view kResultNotRenamed = "未更名：";        // + why
inline constexpr std::string_view kResultTrashed = "已移到回收站";
inline constexpr std::string_view kResultNameTaken = "已存在";           // after the new file name
inline constexpr std::string_view kResultDeletedBefore = "已删除 ";       // + count
inline constexpr std::string_view kResultDeletedAfter = " 个文件";
inline constexpr std::string_view kResultDeletedUncounted = "已删除文件";
inline constexpr std::string_view kResultWouldDeleteBefore = "将删除 ";  // + count + kResultDeletedAfter
inline constexpr std::string_view kResultNothingToDelete = "没有要删除的文件";
inline constexpr std::string_view kResultDeleteFailed = "删除失败";      // + "：" + why, when known
inline constexpr std::string_view kResultEmptiedToTrash = "已清空，原压缩包已移到回收站";
inline constexpr std::string_view kResultEmptiedKept = "已清空，保留为不含文件的压缩包";
inline constexpr std::string_view kResultWouldTrash = "，清空后将移到回收站";  // after the count
inline constexpr std::string_view kResultVolumeOfBefore = "属于";      // + the first volume's name
inline constexpr std::string_view kResultVolumeOfAfter = "分卷组";

inline constexpr std::string_view kAddFilesTitle = "请选择需要添加的文件";
inline constexpr std::string_view kAddFilesFilterName = "Rar压缩包";
inline constexpr std::string_view kAddFilesFilterPattern = "*.rar";
inline constexpr std::string_view kBrowseTitle = "选择目录：";

// The caption of 标签3: 20 lines, leading spaces and full-width punctuation as written.
inline constexpr std::string_view kHelpText =
    "软件功能及示例说明：\r\n"
    "\r\n"
    "1、两种RAR更名方式：\r\n"
    "   1）按压缩包内指定后缀的文件名 更换RAR名称\r\n"
    "      例：设置后缀为exe\r\n"
    "          压缩包内包含 【文件1.txt, 文件2.exe, 文件3.pdf】\r\n"
    "          压缩包将被更名为 【文件2.rar】\r\n"
    "\r\n"
    "   2）按指定序号更换\r\n"
    "       例： 设置前缀为 “示例”，起始序号为：00005\r\n"
    "            文件数量为3个\r\n"
    "            压缩包将分别更名为： 【示例00005，示例00006，示例00007】\r\n"
    "\r\n"
    "2、删除压缩包内指定文件\r\n"
    "   例：压缩包内包含 【文件1.txt, 文件2.exe, 文件3.pdf】\r\n"
    "       设置 删除文件为 【文件1.txt】\r\n"
    "       压缩包将剩下 【文件2.exe, 文件3.pdf】  2个文件\r\n"
    "\r\n"
    "\r\n"
    "*注：需要提前在【文件列表】选项卡中添加需要操作的RAR文件。";

}  // namespace texts
