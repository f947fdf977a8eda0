#include "archiver/console/messages.h"

#include <string>

namespace console::msg {
namespace {

std::string cat(std::initializer_list<std::string_view> parts) {
    std::string s;
    for (auto p : parts) s += p;
    return s;
}

}  // namespace

std::string bannerProgramLine() { return "myrar 1.00  星禾批名宝的 RAR 控制台工具  2026-12-09"; }
std::string bannerHelpLine() { return "用 myrar -? 查看命令、开关和退出代码的说明"; }

std::string usageCallForm() { return "用法:  myrar <命令> -<开关 1> -<开关 N> <压缩包> <文件...> <@列表文件...>"; }
std::string usageCommandsTitle() { return "<命令>"; }
std::string usageSwitchesTitle() { return "<开关>"; }

std::string usageCommandLine(std::string_view name, std::string_view description) {
    std::string padded(name);
    if (padded.size() < 8) padded.resize(8, ' ');
    return cat({"  ", padded, description});
}

std::string usageSwitches() {
    return "  p<密码>   设置密码\n"
           "  y         对所有询问都回答“是”\n"
           "  ed        添加时不添加空文件夹\n"
           "  ep1       添加时名称中不含基本文件夹\n"
           "  dry       删除时只列出会做的事 (同样的检查、同样的输出和退出代码)，不写入也不移动任何文件\n"
           "  --        此后的参数都是名称，不再是开关或列表文件";
}

std::string usageListFileLine() {
    return "@<列表文件> 从文件中读取名称，每行一个 (GB18030 编码，或带字节顺序标记的 UTF-8)";
}

std::string usageMatchingRule() {
    return "删除时名称的匹配: 不分字母大小写，\\ 与 / 相同；* 代表任意多个字符，? 代表一个字符，\n"
           "  都不跨越文件夹分隔符。不含文件夹的名称匹配每个文件夹中同名的文件；含文件夹的名称\n"
           "  从压缩包的根开始匹配；名称匹配到文件夹时，删除这个文件夹和其中的一切。";
}

std::string usageExitCodes() {
    return "退出代码:\n"
           "  0  成功\n"
           "  1  没有与名称匹配的文件\n"
           "  2  密码错误或缺少密码\n"
           "  3  压缩包已锁定\n"
           "  4  压缩包已损坏，或不是 RAR 压缩包\n"
           "  5  无法打开、读取、写入或删除文件\n"
           "  6  命令行有误\n"
           "  7  用户拒绝 (或没有回答)\n"
           "  8  压缩包不能这样处理 (分卷、固实压缩包中的依赖、无法解压的注释、装在另一种文件中)\n"
           "  9  内部错误";
}

std::string unknownCommand(std::string_view command) { return cat({"未知的命令: ", command}); }
std::string unknownSwitch(std::string_view argument) { return cat({"未知的开关: ", argument}); }
std::string missingCommand() { return "没有给出命令"; }
std::string missingArchive() { return "没有给出压缩包"; }
std::string missingNames() { return "没有给出要删除的文件名称"; }
std::string cannotReadListFile(std::string_view path, std::string_view detail) {
    return cat({"无法读取列表文件 ", path, " (", detail, ")"});
}

std::string archiveNotFound(std::string_view path) { return cat({"找不到压缩包 ", path}); }
std::string archiveIsFolder(std::string_view path) { return cat({path, " 是文件夹，不是压缩包"}); }
std::string archiveDanglingLink(std::string_view path) {
    return cat({"压缩包 ", path, " 是符号链接，它指向的文件不存在"});
}
std::string cannotOpen(std::string_view path, std::string_view detail) {
    return cat({"无法打开 ", path, " (", detail, ")"});
}
std::string notRarArchive(std::string_view path) { return cat({path, " 不是 RAR 压缩包"}); }
std::string passwordRequired(std::string_view path) {
    return cat({path, " 的文件头已加密，需要用 -p<密码> 给出密码"});
}
std::string wrongPassword(std::string_view path) { return cat({"密码错误，无法打开 ", path, " 的加密文件头"}); }
std::string archiveTruncated(std::string_view path, std::uint64_t offset) {
    return cat({"压缩包 ", path, " 已损坏: 在位置 ", std::to_string(offset), " 处意外结束"});
}
std::string archiveHeaderDamaged(std::string_view path, std::uint64_t offset) {
    return cat({"压缩包 ", path, " 已损坏: 位置 ", std::to_string(offset), " 处的块头无法解读"});
}
std::string archiveHeaderCrc(std::string_view path, std::uint64_t offset) {
    return cat({"压缩包 ", path, " 已损坏: 位置 ", std::to_string(offset), " 处的块头校验和错误"});
}
std::string internalError(std::string_view detail) { return cat({"内部错误: ", detail}); }

std::string listingArchiveLine(std::string_view path) { return cat({"压缩包 ", path}); }
std::string listingTitleLine() { return "路径名称/注释"; }
std::string listingColumnsLine() {
    return "                  大小     压缩  比率  日期   时间     属性      CRC   方法版本";
}
std::string listingSeparator() { return std::string(79, '-'); }
std::string listingNoEntries() { return "  0 文件"; }
std::string listingEntryComment(std::string_view line) { return cat({"注释: ", line}); }

std::string noComment() { return "没有备注"; }
std::string commentUnreadable(std::string_view path) {
    return cat({path, " 的注释是压缩存放的，无法解压"});
}
std::string askOverwrite(std::string_view path) { return cat({"文件 ", path, " 已经存在，要覆盖吗? [Y]是 [N]否 "}); }
std::string notOverwritten(std::string_view path) { return cat({"没有覆盖 ", path}); }
std::string cannotWriteFile(std::string_view path, std::string_view detail) {
    return cat({"无法写入 ", path, " (", detail, ")"});
}

std::string deletingFrom(std::string_view archive) { return cat({"正在从 ", archive, " 删除"}); }
std::string deletingEntry(std::string_view entry) { return cat({"正在删除 ", entry}); }
std::string erasingEmptyArchive(std::string_view archive) { return cat({"擦除空的压缩包 ", archive}); }
std::string nothingToDelete() { return "没有要文件的删除"; }
std::string done() { return "完成"; }
std::string archiveLocked(std::string_view archive) { return cat({"压缩包 ", archive, " 已锁定，不能修改"}); }
std::string archiveIsVolume(std::string_view archive) {
    return cat({archive, " 是分卷压缩包的一卷，不能从中删除文件"});
}
std::string solidDependency(std::string_view archive, std::string_view kept, std::string_view removed) {
    return cat({archive, " 是固实压缩包: 保留的 ", kept, " 要用到删除的 ", removed, " 的数据才能解压，所以不能删除"});
}
std::string linkTargetDependency(std::string_view archive, std::string_view kept, std::string_view removed) {
    return cat({archive, ": 保留的 ", kept, " 是删除的 ", removed, " 的链接，要用到它的数据，所以不能删除"});
}
std::string archiveReadOnly(std::string_view archive) { return cat({"压缩包 ", archive, " 是只读的，不能修改"}); }
std::string cannotWriteArchive(std::string_view archive, std::string_view detail) {
    return cat({"无法写入压缩包 ", archive, "，原文件没有改动 (", detail, ")"});
}
std::string cannotCutArchive(std::string_view archive, std::string_view detail) {
    return cat({"无法截短压缩包 ", archive, "，压缩包仍然完整 (", detail, ")"});
}
std::string cannotEraseArchive(std::string_view archive, std::string_view detail) {
    return cat({"无法删除空的压缩包 ", archive, " (", detail, ")"});
}
std::string movedToTrash(std::string_view trashedFile) {
    return trashedFile.empty() ? std::string("已移到回收站") : cat({"已移到回收站 ", trashedFile});
}
std::string keptAsEmptyArchive(std::string_view archive) {
    return cat({"回收站无法接收，已保留为不含文件的压缩包 ", archive});
}
std::string foreignPrefix(std::string_view archive, std::uint64_t offset) {
    return cat({archive, " 中的 RAR 压缩包从第 ", std::to_string(offset),
                " 字节开始，前面不是自解压程序，而是装着它的另一种文件: 修改会损坏外层的文件，所以不能修改"});
}
std::string dryRunOnlyForDelete() { return "开关 -dry 只能用于命令 d"; }
std::string damagedNotChanged(std::string_view archive) { return cat({"压缩包 ", archive, " 已损坏，没有改动"}); }

std::string missingFilesToAdd() { return "没有给出要添加的文件"; }
std::string cannotFindFileToAdd(std::string_view path) { return cat({"找不到 ", path}); }
std::string addFailedUnchanged(std::string_view archive) { return cat({"没有添加任何文件，压缩包 ", archive, " 没有改动"}); }
std::string skippedNotAFile(std::string_view path) { return cat({"跳过 ", path, " (既不是文件也不是文件夹)"}); }
std::string creatingArchive(std::string_view archive) { return cat({"正在创建压缩包 ", archive}); }
std::string updatingArchive(std::string_view archive) { return cat({"正在更新压缩包 ", archive}); }
std::string addingEntry(std::string_view entry) { return cat({"正在添加  ", entry}); }
std::string replacingEntry(std::string_view entry) { return cat({"正在替换 ", entry}); }
std::string entryOk() { return "OK  "; }
std::string cannotAddToRar5(std::string_view archive) {
    return cat({archive, " 是 RAR 5.0 格式的压缩包: 只能向 RAR 1.5-4.x 格式的压缩包添加文件"});
}
std::string cannotAddToVolume(std::string_view archive) {
    return cat({archive, " 是分卷压缩包的一卷，不能向其中添加文件"});
}
std::string cannotAddToEncryptedHeaders(std::string_view archive) {
    return cat({archive, " 的文件头已加密，不能向其中添加文件"});
}

std::string cannotCreateDestination(std::string_view folder) { return cat({"无法创建目标文件夹 ", folder}); }
std::string extractingFrom(std::string_view archive) { return cat({"正在从 ", archive, " 解压"}); }
std::string extractingEntry(std::string_view entry) { return cat({"正在解压  ", entry}); }
std::string extractedOk() { return "  OK"; }
std::string extractUnsafePath(std::string_view entry, std::string_view detail) {
    return cat({entry, ": 会写到目标文件夹之外，没有解压 (", detail, ")"});
}
std::string extractNotOverwritten(std::string_view entry) { return cat({entry, ": 文件已经存在，没有覆盖"}); }
std::string extractNeedsPassword(std::string_view entry) {
    return cat({entry, ": 文件已加密，需要用 -p<密码> 给出密码"});
}
std::string extractWrongPassword(std::string_view entry) { return cat({entry, ": 密码错误"}); }
std::string extractBadCrc(std::string_view entry, bool encrypted) {
    return cat({entry, encrypted ? ": CRC 校验失败，密码错误?" : ": CRC 校验失败，文件已损坏"});
}
std::string extractUnsupportedCompression(std::string_view entry, std::string_view detail) {
    return cat({entry, ": 不支持的压缩方式 (", detail, ")"});
}
std::string extractUnsupported(std::string_view entry, std::string_view detail) {
    return cat({entry, ": 无法解压 (", detail, ")"});
}
std::string extractReadError(std::string_view entry, std::string_view detail) {
    return cat({entry, ": 读取出错 (", detail, ")"});
}
std::string extractWriteError(std::string_view entry, std::string_view detail) {
    return cat({entry, ": 无法写入 (", detail, ")"});
}
std::string nothingToExtract() { return "没有与名称匹配的文件"; }
std::string extractErrorCount(std::size_t failures) { return cat({"共有 ", std::to_string(failures), " 个错误"}); }
std::string allOk() { return "全部OK"; }

}  // namespace console::msg
