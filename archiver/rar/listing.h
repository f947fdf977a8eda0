#pragma once
// The columns of the verbose listing: the name line and the details line of one entry
// and the totals line, 79 columns wide (UTF-8; the console converts to GB18030, where a
// Chinese character takes two columns, as the Chinese titles assume).
#include <cstdint>
#include <string>
#include <vector>

#include "archiver/rar/archive.h"

namespace rar {

// The marker (' ' plain, '*' encrypted data) and the path, folders separated by '\'.
// Control characters, which would break the line structure, are shown as '?'.
std::string listingNameLine(const Entry& entry);
// 13 blanks, size, packed size, ratio, date, time, attributes, CRC, method, version.
std::string listingDetailsLine(const Entry& entry);

struct ListingTotals {
    std::uint64_t count = 0;  // entries, continuation parts excluded
    std::uint64_t unpacked = 0;
    std::uint64_t packed = 0;
    void add(const Entry& entry);
};
std::string listingTotalsLine(const ListingTotals& totals);

// Parts of the details line, exposed for tests.
std::string listingRatio(const Entry& entry);
std::string listingDateTime(const EntryTime& time);
std::string listingAttributes(const Entry& entry);
std::string listingMethod(const Entry& entry);
std::string listingVersion(const Entry& entry);

// A comment's lines, without their line ends; control characters other than tabs become '?'.
std::vector<std::string> commentLines(const std::string& text);

}  // namespace rar
