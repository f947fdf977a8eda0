#include "jobs/job_texts.h"

namespace jobs::texts {

std::string renameProgress(std::size_t ordinal) { return "正在修改第" + std::to_string(ordinal) + "个文件名称。"; }

std::string cleanProgress(std::size_t ordinal) { return "正在打扫第" + std::to_string(ordinal) + "个文件。。。"; }

std::string noEntryWithExtension(std::string_view extension) {
    return "未更名：压缩包内没有后缀为“" + std::string(extension) + "”的文件";
}

std::string cannotList(std::string_view problem) {
    std::string text = "无法读取压缩包内容";
    if (!problem.empty()) text += "：" + std::string(problem);
    return text;
}

std::string nameRefused(std::string_view name, std::string_view reason) {
    return "未更名：新名称“" + std::string(name) + "”不可用：" + std::string(reason);
}

std::string sameArchiveAs(std::size_t ordinal) {
    return "未更名：与第" + std::to_string(ordinal) + "个是同一个文件";
}

std::string heldByListedArchive(std::size_t ordinal) {
    return "未更名：新名称仍被第" + std::to_string(ordinal) + "个压缩包占用";
}

std::string moveFailed(std::string_view problem) { return "未更名：" + std::string(problem); }

std::string clashTrashed(std::string_view newPath, std::string_view trashPath) {
    // The older recycle-bin interface of Windows does not say where the file went.
    std::string text = "文件已存在：" + std::string(newPath) + "；本压缩包已移到回收站";
    if (!trashPath.empty()) text += "：" + std::string(trashPath);
    return text;
}

std::string clashKept(std::string_view newPath, std::string_view problem) {
    return "文件已存在：" + std::string(newPath) + "；回收站无法接收，本压缩包保留未动：" + std::string(problem);
}

std::string clashWouldTrash(std::string_view newPath) {
    return "文件已存在：" + std::string(newPath) + "；本压缩包将移到回收站";
}

std::string keptUnderTemporaryName(std::string_view path) {
    return "，压缩包现在的名称是 " + std::string(path);
}

std::string volumeOfSet(std::size_t ordinal) {
    return "分卷压缩包的一卷，与第" + std::to_string(ordinal) + "个一同处理";
}

std::string volumeMissing(std::string_view missingVolume) {
    return "未更名：分卷压缩包缺少分卷 " + std::string(missingVolume) + "，各卷都保留原名";
}

std::string setClashKept(std::string_view newPath) {
    // A set is never split: no single volume goes to the trash.
    return "文件已存在：" + std::string(newPath) + "；分卷压缩包的各卷都保留原名";
}

std::string setMoveFailed(std::string_view problem, bool allBack) {
    return "未更名：" + std::string(problem) +
           (allBack ? "；已改名的分卷都已改回原名" : "；有的分卷未能改回原名");
}

std::string forbiddenCharacter(std::string_view character) {
    return "名称含有不允许的字符“" + std::string(character) + "”";
}

std::string reservedName(std::string_view name) { return "“" + std::string(name) + "”是系统保留的名称"; }

std::string nameSkipped(std::string_view name) {
    std::string shown;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            constexpr char kHex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += kHex[u >> 4];
            shown += kHex[u & 0xF];
        } else {
            shown += c;
        }
    }
    return "已跳过删除列表中的名称“" + shown + "”：压缩程序无法接收这个名称，其他名称照常删除";
}

std::string archiverReason(std::string_view detail) {
    // Its progress lines ("正在从 %s 删除", "正在删除 %s") say nothing about why; the rest is joined.
    std::string text;
    while (!detail.empty()) {
        auto end = detail.find('\n');
        std::string_view line = detail.substr(0, end);
        detail = end == std::string_view::npos ? std::string_view() : detail.substr(end + 1);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
        if (line.empty() || line.rfind("正在从 ", 0) == 0 || line.rfind("正在删除 ", 0) == 0) continue;
        if (!text.empty()) text += "；";
        text += line;
    }
    return text;
}

std::string deleteFailed(std::string_view detail) { return "删除失败！" + archiverReason(detail); }

std::string emptiedAndTrashed(std::string_view trashPath) {
    std::string text = "删除成功，压缩包已空，已移到回收站";
    if (!trashPath.empty()) text += "：" + std::string(trashPath);
    return text;
}

std::string wouldDelete(std::size_t count) { return "将删除 " + std::to_string(count) + " 个文件"; }

std::string wouldEmpty(std::size_t count) { return wouldDelete(count) + "，删除后压缩包为空，将移到回收站"; }

std::string wouldFail(std::string_view reason) {
    std::string text = "将无法删除";
    if (!reason.empty()) text += "：" + std::string(reason);
    return text;
}

std::string volumeSetCannotBeCleaned(std::string_view volume) {
    return "分卷压缩包的分卷 " + std::string(volume) + " 中有要删除的文件，但压缩程序不能改写分卷，整组保持原样";
}

std::string volumeSetIncomplete(std::string_view missingVolume) {
    return "分卷压缩包缺少分卷 " + std::string(missingVolume) + "，无法确认其中没有要删除的文件";
}

}  // namespace jobs::texts
