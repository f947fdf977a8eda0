#include "archiver/rar/comment_unpacker.h"

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/crc32.h"

#if PIMINGBAO_HAVE_LIBARCHIVE
#include "archiver/rar/libarchive_api.h"
#endif

namespace rar {

std::vector<std::uint8_t> wrapInRar4Archive(std::span<const std::uint8_t> packed, unsigned unpVer, unsigned method,
                                            std::uint32_t unpackedSize, std::uint32_t crc32Value) {
    std::vector<std::uint8_t> out = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00,
                                     0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D, 0x00, 0, 0, 0, 0, 0, 0};
    // File header: a long block with a one-letter name. No back reference can reach
    // further than the text is long, so the smallest dictionary that holds the whole
    // text is enough, and it spares libarchive a large window.
    unsigned dictionaryCode = 0;
    while (dictionaryCode < 6 && (std::uint64_t{64 * 1024} << dictionaryCode) < unpackedSize) ++dictionaryCode;
    std::uint8_t h[33] = {};
    h[2] = 0x74;
    putLe16(h + 3, static_cast<std::uint16_t>(0x8000 | dictionaryCode << 5));
    putLe16(h + 5, sizeof h);
    putLe32(h + 7, static_cast<std::uint32_t>(packed.size()));
    putLe32(h + 11, unpackedSize);
    h[15] = 2;
    putLe32(h + 16, crc32Value);
    putLe32(h + 20, 0x58A63905);
    h[24] = static_cast<std::uint8_t>(unpVer);
    h[25] = static_cast<std::uint8_t>(method);
    putLe16(h + 26, 1);
    putLe32(h + 28, 0x20);
    h[32] = 'c';
    putLe16(h, crc16(std::span<const std::uint8_t>(h + 2, sizeof h - 2)));
    out.insert(out.end(), h, h + sizeof h);
    out.insert(out.end(), packed.begin(), packed.end());
    const std::uint8_t end[] = {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00};
    out.insert(out.end(), end, end + sizeof end);
    return out;
}

std::optional<std::vector<std::uint8_t>> unpackRar4Data(std::span<const std::uint8_t> packed, unsigned unpVer,
                                                        unsigned method, std::uint64_t unpackedSize,
                                                        std::optional<std::uint32_t> crc32Value) {
    if (unpackedSize > kMaxCommentSize || packed.size() > kMaxCommentSize) return std::nullopt;
#if PIMINGBAO_HAVE_LIBARCHIVE
    const LibarchiveApi* la = libarchiveApi();
    if (!la) return std::nullopt;
    const auto image = wrapInRar4Archive(packed, unpVer, method, static_cast<std::uint32_t>(unpackedSize),
                                         crc32Value.value_or(0));
    struct archive* a = la->read_new();
    if (!a) return std::nullopt;
    la->read_support_format_rar(a);
    std::optional<std::vector<std::uint8_t>> result;
    struct archive_entry* entry = nullptr;
    if (la->read_open_memory(a, image.data(), image.size()) == ARCHIVE_OK &&
        la->read_next_header(a, &entry) == ARCHIVE_OK) {
        std::vector<std::uint8_t> text(static_cast<std::size_t>(unpackedSize));
        std::size_t got = 0;
        bool failed = false;
        while (got < text.size()) {
            la_ssize_t n = la->read_data(a, text.data() + got, text.size() - got);
            if (n <= 0) {
                failed = n < 0 || got != text.size();
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        // libarchive reports a checksum mismatch only at the end; we check our own copy.
        if (!failed && got == text.size() && (!crc32Value || crc32(text) == *crc32Value)) result = std::move(text);
    }
    la->read_free(a);
    return result;
#else
    (void)packed;
    (void)unpVer;
    (void)method;
    (void)crc32Value;
    return std::nullopt;
#endif
}

}  // namespace rar
