#pragma once
// What a delete's output (GB18030, CR LF) says it did, or with the planning switch would
// do: the entries it takes out, and what became of an archive left without entries.
// The archiver writes a line feed inside a name as a line end, so a line that begins with
// none of its known openings continues the name of the line before.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DeleteReport {
    std::vector<std::string> removedEntries;  // "正在删除 <entry>", in order (UTF-8)
    bool erased = false;                      // "擦除空的压缩包 <archive>": no entry is left
    std::optional<std::string> trashedFile;   // "已移到回收站 <path>": where the original went (empty: not said)
    bool keptEmpty = false;                   // no trash took it; kept as an archive without entries
};

DeleteReport readDeleteOutput(std::string_view gb18030);
