#pragma once
// What an update of an existing RAR 1.5-4.x archive keeps: the byte ranges to copy
// unchanged, in order, and how the main header changes. New entries and a fresh end
// block go after the kept ranges.
#include <cstdint>
#include <string>
#include <vector>

#include "archiver/rar/archive.h"
#include "platform/status.h"

namespace rar {

struct ByteRange {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct Rar4UpdatePlan {
    // Everything before the main header (an executable stub and the marker).
    ByteRange lead;
    ByteRange mainHeader;
    // Main header flag bits to clear: a recovery record or authenticity data computed
    // over the old bytes is dropped with the blocks that hold it.
    std::uint16_t clearMainFlags = 0;
    bool zeroAvPosition = false;
    // The blocks after the main header that stay, neighbours merged.
    std::vector<ByteRange> kept;
    std::vector<std::string> replacedEntries;  // stored names whose old entries are dropped
};

// `archivePath` only names the file in messages. Fails for archives that must not be
// changed: volumes, locked archives, encrypted headers, RAR5, and replacing a
// compressed entry that a solid entry after it depends on.
platform::Result<Rar4UpdatePlan> planRar4Update(const Archive& archive, const std::vector<std::string>& newNames,
                                                const std::string& archivePath);

// The rewritten main header for a plan that clears flags (bytes as read from disk).
std::vector<std::uint8_t> rewriteRar4MainHeader(std::vector<std::uint8_t> header, const Rar4UpdatePlan& plan);

// Whether two stored names name the same entry: '/' and '\' are one separator, and
// letter case is ignored.
bool sameStoredName(const std::string& a, const std::string& b);
// The form in which stored names are compared (equal forms: the same entry).
std::u32string storedNameKey(const std::string& name);

}  // namespace rar
