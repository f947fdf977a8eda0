#pragma once
// One entry of a verbose listing: its marker (' ' stored plainly, '*' encrypted data)
// and its path inside the archive, folders separated by a backslash (UTF-8).
#include <string>

struct ListingEntry {
    char marker = ' ';
    std::string path;

    bool encrypted() const { return marker == '*'; }
    friend bool operator==(const ListingEntry&, const ListingEntry&) = default;
};
