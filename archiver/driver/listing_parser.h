#pragma once
// Cuts the archiver's verbose listing into entries. Fed one line at a time (UTF-8, without
// its line end); the entries are those between the separator that follows the column-title
// line and the next line beginning with "-", two lines per entry, an entry's own comment
// lines skipped. When a line like the column titles comes again later, the table that
// follows it replaces the one before: an archive comment, printed above the real table,
// may hold lines that look like a table, but nothing the archive's author wrote comes after it.
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/listing_entry.h"

class ListingParser {
public:
    enum class State {
        SeekingTitles,       // before the column-title line
        ExpectingSeparator,  // the column titles were seen, the separator must follow
        ExpectingName,       // right after the separator: an entry's name line or the closing separator
        ExpectingDetails,    // after a name line: its details line
        AfterEntry,          // after a details line: a comment line, the next name or the closing separator
        TableClosed,         // the closing separator was seen
        EmptyArchive,        // the archiver said the archive holds no entries
        Malformed,           // a table began but broke off in a way the archiver never writes
    };

    void feedLine(std::string_view line);

    State state() const { return state_; }
    const std::vector<ListingEntry>& entries() const { return entries_; }
    // What the archiver wrote after the totals line (or after "no entries"): it prints the
    // entries as it reads them, so a read error further on follows a complete-looking table.
    const std::vector<std::string>& afterTable() const { return afterTable_; }

private:
    void startTable();
    void acceptName(std::string_view line);

    State state_ = State::SeekingTitles;
    std::vector<ListingEntry> entries_;
    bool totalsSeen_ = false;
    std::vector<std::string> afterTable_;
};

// The whole listing file (GB18030 bytes as the archiver wrote them) turned into a Listing:
// listed with its entries when the table was complete or the archive is empty and nothing
// followed; otherwise not listed, with the archiver's own message lines as the problem
// where it wrote any (a damaged archive: the entries before the damage, then the reason).
Listing listingFromOutput(std::string_view gb18030Listing);
