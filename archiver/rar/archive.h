#pragma once
// What the reader learns about one archive file: its format and archive-level flags, the
// entries in stored order with every header field that listing, deleting and extracting
// need, and the on-disk block layout that the deleter copies from.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rar {

enum class Format { Rar4, Rar5 };

// The per-file AES-256 parameters of a RAR5 encryption record (also the archive-wide
// ones of a header-encrypted archive).
struct Rar5Encryption {
    std::uint64_t version = 0;
    std::uint64_t flags = 0;  // 0x0001 check value present, 0x0002 checksums are MACs
    unsigned log2Count = 0;
    std::array<std::uint8_t, 16> salt{};
    std::array<std::uint8_t, 16> iv{};  // absent (zero) in the archive encryption header
    std::array<std::uint8_t, 12> checkValue{};
    bool hasCheckValue() const { return (flags & 0x0001) != 0; }
    bool checksumsAreMacs() const { return (flags & 0x0002) != 0; }
};

struct EntryTime {
    enum class Kind { None, DosLocal, UnixUtc };
    Kind kind = Kind::None;
    std::uint32_t dos = 0;          // MS-DOS date and time, local time of the archiving machine
    std::int64_t unixSeconds = 0;   // seconds since 1970, UTC
};

enum class LinkKind { None, UnixSymlink, WindowsSymlink, Junction, HardLink, FileCopy };

struct Entry {
    Format format = Format::Rar4;
    std::string path;  // UTF-8, folders separated by '\' whatever the format stores
    bool isDirectory = false;
    bool encrypted = false;  // the data area is encrypted (the listing marks it '*')
    bool splitBefore = false;
    bool splitAfter = false;
    bool solid = false;  // decompression continues the state left by the entry before it
    LinkKind link = LinkKind::None;
    std::string linkTarget;  // RAR5 redirection target (UTF-8); RAR4 keeps it in the data

    std::uint64_t unpackedSize = 0;
    bool unpackedSizeKnown = true;
    std::uint64_t packedSize = 0;  // the data area's length on disk
    std::optional<std::uint32_t> crc32;
    bool crcIsMac = false;  // RAR5 encrypted entry whose stored CRC is keyed by the password
    std::optional<std::array<std::uint8_t, 32>> blake2;
    EntryTime mtime;
    std::uint64_t attributes = 0;  // Windows attribute bits or a Unix st_mode, see hostOs
    unsigned hostOs = 0;           // RAR4: 0 DOS, 1 OS/2, 2 Win32, 3 Unix, 4 Mac, 5 BeOS; RAR5: 0 Windows, 1 Unix
    unsigned method = 0;           // 0 stored .. 5 best
    unsigned dictionaryCode = 0;   // RAR4: (HEAD_FLAGS >> 5) & 7; RAR5: dictionary exponent
    unsigned version = 0;          // RAR4: UNP_VER; RAR5: algorithm version (0 = 5.0)

    std::uint64_t headerFlags = 0;      // RAR4 HEAD_FLAGS or RAR5 header flags
    std::uint64_t fileFlags = 0;        // RAR5 file flags
    std::uint64_t compressionInfo = 0;  // RAR5 compression information
    unsigned rawMethod = 0;             // RAR4 METHOD byte (0x30..0x35)

    std::uint64_t blockOffset = 0;  // first byte of its block (the salt or IV of an encrypted header)
    std::uint64_t dataOffset = 0;   // first byte of the data area
    bool hasSalt = false;           // RAR 3.x data salt (HEAD_FLAGS 0x0400)
    std::array<std::uint8_t, 8> salt{};
    std::optional<Rar5Encryption> rar5Encryption;

    bool hasComment = false;             // an own comment exists
    std::optional<std::string> comment;  // its text, when it could be read (UTF-8)

    bool unixHost() const { return format == Format::Rar5 ? hostOs == 1 : (hostOs == 3 || hostOs == 5); }
};

enum class BlockKind {
    Marker,
    Main,
    EncryptionHeader,  // RAR5 archive encryption header
    File,
    Service,  // RAR4 0x7A, RAR5 type 3
    End,
    OldComment,   // RAR4 0x75
    OldAv,        // RAR4 0x76
    OldSub,       // RAR4 0x77
    OldProtect,   // RAR4 0x78 (old recovery record)
    OldSign,      // RAR4 0x79
    Unknown,
};

// One block as it lies on disk: header (with salt / IV and padding when encrypted) and
// data area.
struct Block {
    BlockKind kind = BlockKind::Unknown;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::uint64_t type = 0;         // the raw header type
    std::uint64_t headerFlags = 0;
    std::string serviceName;        // service headers: CMT, RR, QO, AV, ACL, STM, ...
    int entry = -1;                 // file blocks: index into Archive::entries
    bool skipIfUnknown = false;     // may be dropped when the archive is rewritten
};

struct Archive {
    Format format = Format::Rar4;
    std::uint64_t signatureOffset = 0;  // > 0 after an executable stub
    std::uint64_t archiveFlags = 0;     // RAR4 main HEAD_FLAGS or RAR5 archive flags
    bool volume = false;
    bool firstVolume = false;
    bool moreVolumes = false;  // the end block says another volume follows
    std::optional<std::uint64_t> volumeNumber;
    bool solid = false;
    bool locked = false;
    bool recoveryRecord = false;
    bool headersEncrypted = false;
    bool hasEndBlock = false;

    std::uint64_t mainHeaderOffset = 0;
    std::uint64_t mainHeaderSize = 0;  // on disk
    // RAR5 locator record in the main header (offsets relative to the main header).
    std::optional<std::uint64_t> quickOpenOffset;
    std::optional<std::uint64_t> recoveryOffset;
    std::optional<Rar5Encryption> headerEncryption;  // RAR5 archive encryption header

    bool hasComment = false;
    std::optional<std::string> comment;  // UTF-8, when it could be read

    // The end block, when there is one; its flags are RAR4 HEAD_FLAGS or the RAR5 end of
    // archive flags.
    std::uint64_t endBlockOffset = 0;
    std::uint64_t endBlockFlags = 0;
    std::uint64_t endOffset = 0;  // first byte after the last block read

    // Filled only when the archive is read whole (readArchive without a visitor).
    std::vector<Entry> entries;
    std::vector<Block> blocks;
};

enum class ProblemKind {
    CannotOpen,        // the file cannot be opened or read
    NotArchive,        // no RAR signature
    Truncated,         // a header or a data area runs past the end of the file
    BadHeader,         // a header that cannot be decoded
    HeaderCrc,         // a header whose checksum does not match
    PasswordRequired,  // headers are encrypted and no password was given
    WrongPassword,     // headers are encrypted and the password does not open them
};

struct ReadProblem {
    ProblemKind kind = ProblemKind::BadHeader;
    std::uint64_t offset = 0;  // where in the file it was found
    std::string detail;        // technical detail (English), for the message
};

}  // namespace rar
