#include "tests/rar/archive_builder.h"

#include "archiver/rar/crc32.h"

namespace testrar {
namespace {

void le16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void le32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }
void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

Bytes rar4Marker() { return {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00}; }

Bytes rar4Main(std::uint16_t flags) { return rar4Block(0x73, flags, Bytes(6, 0)); }

Bytes rar4Block(std::uint8_t type, std::uint16_t flags, const Bytes& body, const Bytes& data) {
    Bytes h = {0, 0, type};
    le16(h, flags);
    const std::size_t size = 7 + ((flags & 0x8000) ? 4 : 0) + body.size();
    le16(h, static_cast<std::uint16_t>(size));
    if (flags & 0x8000) le32(h, static_cast<std::uint32_t>(data.size()));
    append(h, body);
    const std::uint16_t crc = rar::crc16(std::span<const std::uint8_t>(h).subspan(2));
    h[0] = static_cast<std::uint8_t>(crc);
    h[1] = static_cast<std::uint8_t>(crc >> 8);
    append(h, data);
    return h;
}

Bytes rar4FileBlock(const Rar4File& f, std::uint8_t type) {
    // PACK_SIZE is written by rar4Block from the data; the body starts at UNP_SIZE.
    Bytes body;
    le32(body, f.unpackedSize == 0xFFFFFFFF ? static_cast<std::uint32_t>(f.data.size()) : f.unpackedSize);
    body.push_back(f.hostOs);
    le32(body, f.crc ? f.crc : rar::crc32(f.data));
    le32(body, 0x58A63905);
    body.push_back(f.unpVer);
    body.push_back(f.method);
    le16(body, static_cast<std::uint16_t>(f.name.size()));
    le32(body, f.attributes);
    append(body, bytesOf(f.name));
    return rar4Block(type, static_cast<std::uint16_t>(f.flags | 0x8000), body, f.data);
}

Bytes rar4End() { return {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00}; }

Bytes rar4Archive(const std::vector<Bytes>& blocks, std::uint16_t mainFlags, bool endBlock) {
    Bytes out = rar4Marker();
    append(out, rar4Main(mainFlags));
    for (const auto& b : blocks) append(out, b);
    if (endBlock) append(out, rar4End());
    return out;
}

Bytes vint(std::uint64_t value) {
    Bytes out;
    do {
        std::uint8_t b = value & 0x7F;
        value >>= 7;
        if (value) b |= 0x80;
        out.push_back(b);
    } while (value);
    return out;
}

Bytes rar5Signature() { return {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00}; }

Bytes rar5Block(std::uint64_t type, std::uint64_t flags, const Bytes& fields, const Bytes& extra, const Bytes& data) {
    if (!extra.empty()) flags |= 0x0001;
    if (!data.empty()) flags |= 0x0002;
    Bytes body = vint(type);
    append(body, vint(flags));
    if (flags & 0x0001) append(body, vint(extra.size()));
    if (flags & 0x0002) append(body, vint(data.size()));
    append(body, fields);
    append(body, extra);
    Bytes sized = vint(body.size());
    append(sized, body);
    Bytes out;
    le32(out, rar::crc32(sized));
    append(out, sized);
    append(out, data);
    return out;
}

Bytes rar5Main(std::uint64_t archiveFlags, const Bytes& extra) { return rar5Block(1, 0x0004, vint(archiveFlags), extra); }

Bytes rar5FileBlock(const Rar5File& f, std::uint64_t type) {
    Bytes fields = vint(f.directory ? 0x0001 : 0x0004);
    append(fields, vint(f.data.size()));
    append(fields, vint(f.directory ? 0x10 : 0x20));
    if (!f.directory) le32(fields, rar::crc32(f.data));
    append(fields, vint(f.compressionInfo));
    append(fields, vint(0));
    append(fields, vint(f.name.size()));
    append(fields, bytesOf(f.name));
    return rar5Block(type, f.headerFlags, fields, f.extra, f.data);
}

Bytes rar5End() { return rar5Block(5, 0x0004, vint(0)); }

Bytes rar5Archive(const std::vector<Bytes>& blocks, std::uint64_t archiveFlags) {
    Bytes out = rar5Signature();
    append(out, rar5Main(archiveFlags));
    for (const auto& b : blocks) append(out, b);
    append(out, rar5End());
    return out;
}

}  // namespace testrar
