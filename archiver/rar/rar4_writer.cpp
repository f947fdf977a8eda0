#include "archiver/rar/rar4_writer.h"

#include <algorithm>
#include <optional>
#include <set>
#include <system_error>
#include <vector>

#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/file_stamp.h"
#include "archiver/rar/rar4_name_encoder.h"
#include "archiver/rar/rar4_writer_existing.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "archiver/rar/rar4_writer_plan.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/system_error_text.h"
#include "platform/system_random.h"

namespace rar {
namespace {

using platform::Result;
using platform::Status;

// A multiple of the AES block, so every chunk but the last encrypts without padding.
constexpr std::size_t kChunk = 1 << 20;

class Progress {
public:
    Progress(Rar4AddObserver* observer, std::uint64_t total) : observer_(observer), total_(total) {}
    void advance(std::uint64_t bytes) {
        done_ += bytes;
        report(total_ ? static_cast<int>(std::min<std::uint64_t>(100, done_ * 100 / total_)) : 0);
    }
    void finish() { report(100); }

private:
    void report(int percent) {
        if (observer_ && percent > last_) {
            last_ = percent;
            observer_->progress(percent);
        }
    }
    Rar4AddObserver* observer_;
    std::uint64_t total_;
    std::uint64_t done_ = 0;
    int last_ = -1;
};

struct PreparedItem {
    const Rar4AddItem* item = nullptr;
    Rar4EncodedName name;
    FileStamp stamp;
    std::uint64_t size = 0;
};

std::string describe(const std::filesystem::path& p) { return platform::utf8FromPath(p); }

// First pass over a file: its size and CRC, which the header in front of the data needs.
Result<std::uint32_t> checksumFile(const platform::ReadableFile& file, std::vector<std::uint8_t>& buffer,
                                   Progress& progress) {
    std::uint32_t crc = 0;
    std::uint64_t offset = 0;
    while (offset < file.size()) {
        auto n = file.readAt(offset, std::span(buffer).first(
                                         static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), file.size() - offset))));
        if (!n) return n.status();
        if (*n == 0) return Status::failure(describe(file.path()) + " 在添加过程中变短了");
        crc = crc32(crc, std::span(buffer).first(*n));
        offset += *n;
        progress.advance(*n);
    }
    return crc;
}

// Second pass: the data itself, checked against the first pass so that a file changed
// in between never leaves an entry whose CRC does not match its data.
Status copyFileData(const platform::ReadableFile& file, std::uint32_t expectedCrc, AesCbc* aes,
                    platform::AtomicFileWriter& out, std::vector<std::uint8_t>& buffer, Progress& progress) {
    std::uint32_t crc = 0;
    std::uint64_t offset = 0;
    while (offset < file.size()) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), file.size() - offset));
        auto n = file.readAt(offset, std::span(buffer).first(want));
        if (!n) return n.status();
        if (*n != want) return Status::failure(describe(file.path()) + " 在添加过程中变短了");
        crc = crc32(crc, std::span(buffer).first(*n));
        std::size_t length = *n;
        if (aes) {
            // RAR pads the last block with zeros; readers stop at the unpacked size.
            const std::size_t padded = (length + 15) / 16 * 16;
            std::fill(buffer.begin() + static_cast<std::ptrdiff_t>(length),
                      buffer.begin() + static_cast<std::ptrdiff_t>(padded), std::uint8_t{0});
            length = padded;
            aes->encrypt(std::span(buffer).first(length));
        }
        if (auto s = out.append(std::span<const std::uint8_t>(buffer).first(length)); !s) return s;
        offset += *n;
        progress.advance(*n);
    }
    if (crc != expectedCrc) return Status::failure(describe(file.path()) + " 在添加过程中被改动了");
    return Status::success();
}

}  // namespace

Status addToRar4Archive(const std::filesystem::path& archivePath, std::span<const Rar4AddItem> items,
                        const Rar4AddOptions& options, Rar4AddObserver* observer) {
    const std::string archiveName = describe(archivePath);

    // A later item with the same stored name wins, as it would replace the earlier one.
    std::vector<const Rar4AddItem*> unique;
    {
        std::set<std::u32string> seen;
        for (std::size_t i = items.size(); i-- > 0;)
            if (seen.insert(storedNameKey(items[i].storedName)).second) unique.push_back(&items[i]);
        std::reverse(unique.begin(), unique.end());
    }

    std::vector<PreparedItem> prepared;
    std::uint64_t totalWork = 0;
    for (const Rar4AddItem* item : unique) {
        PreparedItem p;
        p.item = item;
        // RAR 1.5-4.x keeps '\' between folders whatever the system.
        std::string stored = item->storedName;
        std::replace(stored.begin(), stored.end(), '/', '\\');
        auto name = encodeRar4Name(stored);
        if (!name) return Status::failure(describe(item->source) + ": " + name.message());
        p.name = std::move(*name);
        auto stamp = readFileStamp(item->source);
        if (!stamp) return stamp.status();
        p.stamp = *stamp;
        if (!item->directory) {
            std::error_code ec;
            p.size = std::filesystem::file_size(item->source, ec);
            if (ec) return Status::failure("无法读取 " + describe(item->source) + "：" + platform::describeSystemError(ec));
            totalWork += 2 * p.size;  // checksum pass and copy pass
        }
        prepared.push_back(std::move(p));
    }

    platform::removeStaleTemporaryFiles(archivePath);
    std::optional<ExistingRar4Archive> existing;
    {
        std::error_code ec;
        if (std::filesystem::exists(archivePath, ec)) {
            auto e = readExistingRar4Archive(archivePath);
            if (!e) return e.status();
            existing = std::move(*e);
        }
    }
    std::optional<Rar4UpdatePlan> plan;
    if (existing) {
        std::vector<std::string> names;
        for (const auto& p : prepared) names.push_back(p.item->storedName);
        auto pl = planRar4Update(existing->archive, names, archiveName);
        if (!pl) return pl.status();
        plan = std::move(*pl);
    }

    auto writer = platform::AtomicFileWriter::create(archivePath, platform::LinkHandling::WriteThroughLink);
    if (!writer) return writer.status();
    platform::AtomicFileWriter& out = *writer;

    if (plan) {
        const platform::ReadableFile& src = existing->file;
        if (plan->lead.length)
            if (auto s = out.appendRange(src, plan->lead.offset, plan->lead.length); !s) return s;
        if (plan->clearMainFlags || plan->zeroAvPosition) {
            std::vector<std::uint8_t> header(static_cast<std::size_t>(plan->mainHeader.length));
            auto n = src.readAt(plan->mainHeader.offset, header);
            if (!n) return n.status();
            if (*n != header.size()) return Status::failure(archiveName + "：主文件头不完整");
            if (auto s = out.append(std::span<const std::uint8_t>(rewriteRar4MainHeader(header, *plan))); !s) return s;
        } else if (auto s = out.appendRange(src, plan->mainHeader.offset, plan->mainHeader.length); !s) {
            return s;
        }
        for (const ByteRange& r : plan->kept)
            if (auto s = out.appendRange(src, r.offset, r.length); !s) return s;
        if (observer)
            for (const auto& name : plan->replacedEntries) observer->entryReplaced(name);
    } else {
        if (auto s = out.append(std::span<const std::uint8_t>(kRar4Marker)); !s) return s;
        if (auto s = out.append(std::span<const std::uint8_t>(kRar4PlainMainHeader)); !s) return s;
    }

    // One salt, and so one key derivation, for the whole operation, as RAR does.
    std::optional<std::array<std::uint8_t, 8>> salt;
    std::optional<Rar3Key> key;
    if (!options.password.empty()) {
        salt.emplace();
        if (auto s = platform::fillWithSystemRandom(*salt); !s) return s;
        key = deriveRar3Key(options.password, *salt);
    }

    Progress progress(observer, totalWork);
    std::vector<std::uint8_t> buffer(kChunk);
    for (const PreparedItem& p : prepared) {
        if (observer) observer->itemStarted(*p.item);
        Rar4StoredEntry entry;
        entry.name = p.name;
        entry.directory = p.item->directory;
        entry.mtime = rar4MtimeFromUnix(p.stamp.unixSeconds, p.stamp.nanoseconds);
        entry.attributes = p.item->directory ? (p.stamp.windowsAttributes | kWindowsAttrDirectory)
                                             : (p.stamp.windowsAttributes & ~kWindowsAttrDirectory);
        if (p.item->directory) {
            if (auto s = out.append(std::span<const std::uint8_t>(encodeRar4FileHeader(entry))); !s) return s;
            if (observer) observer->itemFinished(*p.item);
            continue;
        }
        auto file = platform::ReadableFile::open(p.item->source);
        if (!file) return file.status();
        if (file->size() != p.size)
            return Status::failure(describe(p.item->source) + " 在添加过程中被改动了");
        auto crc = checksumFile(*file, buffer, progress);
        if (!crc) return crc.status();
        entry.unpackedSize = p.size;
        entry.crc = *crc;
        std::optional<AesCbc> aes;
        if (key) {
            entry.salt = salt;
            entry.packedSize = (p.size + 15) / 16 * 16;
            auto a = AesCbc::create(key->key, key->iv);  // the chain starts afresh per file
            if (!a) return a.status();
            aes.emplace(std::move(*a));
        } else {
            entry.packedSize = p.size;
        }
        if (auto s = out.append(std::span<const std::uint8_t>(encodeRar4FileHeader(entry))); !s) return s;
        if (auto s = copyFileData(*file, *crc, aes ? &*aes : nullptr, out, buffer, progress); !s) return s;
        if (observer) observer->itemFinished(*p.item);
    }
    if (auto s = out.append(std::span<const std::uint8_t>(kRar4EndBlock)); !s) return s;
    existing.reset();  // Windows refuses to replace a file that is still open
    if (auto s = out.commit(); !s) return s;
    progress.finish();
    return Status::success();
}

}  // namespace rar
