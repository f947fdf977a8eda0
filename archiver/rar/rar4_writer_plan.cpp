#include "archiver/rar/rar4_writer_plan.h"

#include <algorithm>
#include <set>

#include "archiver/rar/crc32.h"
#include "archiver/rar/name_matcher.h"

namespace rar {
namespace {

constexpr std::uint16_t kMainAv = 0x0020;
constexpr std::uint16_t kMainProtect = 0x0040;
constexpr std::uint16_t kMainOldComment = 0x0002;

// Letter case is ignored as by the delete command: on Windows, where the archives are
// made and unpacked, two names that differ only in case are one file.
std::u32string normalized(const std::string& name) {
    std::string n = name;
    std::replace(n.begin(), n.end(), '/', '\\');
    return NameMatcher::fold(n);
}

void keep(std::vector<ByteRange>& kept, const Block& b) {
    if (!kept.empty() && kept.back().offset + kept.back().length == b.offset)
        kept.back().length += b.size;
    else
        kept.push_back({b.offset, b.size});
}

}  // namespace

bool sameStoredName(const std::string& a, const std::string& b) { return normalized(a) == normalized(b); }
std::u32string storedNameKey(const std::string& name) { return normalized(name); }

platform::Result<Rar4UpdatePlan> planRar4Update(const Archive& archive, const std::vector<std::string>& newNames,
                                                const std::string& archivePath) {
    using platform::Status;
    if (archive.format != Format::Rar4)
        return Status::failure(archivePath + "：只能向 RAR 1.5-4.x 格式的压缩包添加文件");
    if (archive.volume) return Status::failure(archivePath + "：不能向分卷压缩包的一卷添加文件");
    if (archive.locked) return Status::failure(archivePath + "：压缩包已锁定");
    if (archive.headersEncrypted)
        return Status::failure(archivePath + "：不能向文件头已加密的压缩包添加文件");

    std::set<std::u32string> replaced;
    for (const auto& n : newNames) replaced.insert(normalized(n));

    Rar4UpdatePlan plan;
    plan.lead = {0, archive.mainHeaderOffset};
    plan.mainHeader = {archive.mainHeaderOffset, archive.mainHeaderSize};

    bool seenFile = false;
    bool dropping = false;          // inside the group of a replaced entry
    bool droppedCompressed = false; // a dropped entry whose decompression state others may use
    for (const Block& b : archive.blocks) {
        if (b.offset < archive.mainHeaderOffset + archive.mainHeaderSize) continue;  // marker, main
        switch (b.kind) {
            case BlockKind::End:
                continue;  // a fresh one closes the new archive
            case BlockKind::OldProtect:
                plan.clearMainFlags |= kMainProtect;
                continue;
            case BlockKind::OldAv:
            case BlockKind::OldSign:
                plan.clearMainFlags |= kMainAv;
                plan.zeroAvPosition = true;
                continue;
            case BlockKind::Service:
                if (b.serviceName == "RR") {
                    plan.clearMainFlags |= kMainProtect;
                    continue;
                }
                if (b.serviceName == "AV") {
                    plan.clearMainFlags |= kMainAv;
                    plan.zeroAvPosition = true;
                    continue;
                }
                if (seenFile && dropping) continue;  // belongs to the replaced entry
                keep(plan.kept, b);
                continue;
            case BlockKind::OldSub:
                if (seenFile && dropping) continue;
                keep(plan.kept, b);
                continue;
            case BlockKind::File: {
                seenFile = true;
                const Entry* e = (b.entry >= 0 && static_cast<std::size_t>(b.entry) < archive.entries.size())
                                     ? &archive.entries[static_cast<std::size_t>(b.entry)]
                                     : nullptr;
                if (e && replaced.count(normalized(e->path))) {
                    dropping = true;
                    if (e->method != 0) droppedCompressed = true;
                    if (std::find(plan.replacedEntries.begin(), plan.replacedEntries.end(), e->path) ==
                        plan.replacedEntries.end())
                        plan.replacedEntries.push_back(e->path);
                    continue;
                }
                dropping = false;
                if (e && e->solid && droppedCompressed)
                    return Status::failure(archivePath + "：不能替换这个固实压缩包中的文件，" + e->path +
                                           " 要用到它的压缩数据");
                // A stored entry in between resets nothing, so the dependence carries on
                // only while later entries are solid.
                if (e && !e->solid) droppedCompressed = false;
                keep(plan.kept, b);
                continue;
            }
            default:
                // Unknown blocks are kept where they are: their meaning is not ours to judge.
                dropping = false;
                keep(plan.kept, b);
                continue;
        }
    }
    return plan;
}

std::vector<std::uint8_t> rewriteRar4MainHeader(std::vector<std::uint8_t> header, const Rar4UpdatePlan& plan) {
    if (header.size() < 13 || (plan.clearMainFlags == 0 && !plan.zeroAvPosition)) return header;
    std::uint16_t flags = static_cast<std::uint16_t>(header[3] | header[4] << 8);
    flags = static_cast<std::uint16_t>(flags & ~plan.clearMainFlags);
    header[3] = static_cast<std::uint8_t>(flags);
    header[4] = static_cast<std::uint8_t>(flags >> 8);
    if (plan.zeroAvPosition) std::fill(header.begin() + 7, header.begin() + 13, std::uint8_t{0});
    // With an old embedded comment the checksum covers the fixed fields only.
    const std::size_t end = (flags & kMainOldComment) ? 13 : header.size();
    const std::uint16_t crc = crc16(std::span(header).subspan(2, end - 2));
    header[0] = static_cast<std::uint8_t>(crc);
    header[1] = static_cast<std::uint8_t>(crc >> 8);
    return header;
}

}  // namespace rar
