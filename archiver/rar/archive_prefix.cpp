#include "archiver/rar/archive_prefix.h"

#include <algorithm>
#include <array>

namespace rar {

ArchivePrefix prefixOf(const ByteSource& source, const Archive& archive) {
    if (archive.signatureOffset == 0) return ArchivePrefix::None;
    std::array<std::uint8_t, 4> head{};
    auto got = source.readAt(0, head);
    if (!got || *got < 2) return ArchivePrefix::ForeignContainer;
    if (head[0] == 'M' && head[1] == 'Z') return ArchivePrefix::SelfExtractor;
    constexpr std::array<std::uint8_t, 4> kElf = {0x7F, 'E', 'L', 'F'};
    if (*got == head.size() && std::equal(head.begin(), head.end(), kElf.begin())) return ArchivePrefix::SelfExtractor;
    return ArchivePrefix::ForeignContainer;
}

}  // namespace rar
