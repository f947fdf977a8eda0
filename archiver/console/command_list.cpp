// v: the verbose listing. Reads headers only; the layout is what the driver's listing
// parser expects (the separator after the column titles, two lines per entry, comment
// lines beginning with "注释: ").
#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/listing.h"
#include "archiver/rar/name_matcher.h"

namespace console {

ExitCode runListCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    rar::ReadOptions options;
    options.password = inv.line.password.value_or("");
    ArchiveAccess access = openArchive(inv.line.archive, options, io);
    if (access.failure) return *access.failure;
    const rar::Archive& archive = access.result.archive;

    if (archive.comment) {
        for (const std::string& l : rar::commentLines(*archive.comment)) io.line(l);
    }
    io.line();
    io.line(msg::listingArchiveLine(inv.line.archive));
    io.line();

    const rar::NameMatcher filter(inv.names);
    std::vector<const rar::Entry*> shown;
    for (const rar::Entry& e : archive.entries)
        if (filter.empty() || filter.matches(e.path)) shown.push_back(&e);

    if (shown.empty()) {
        io.line(msg::listingNoEntries());
    } else {
        io.line(msg::listingTitleLine());
        io.line(msg::listingColumnsLine());
        io.line(msg::listingSeparator());
        rar::ListingTotals totals;
        for (const rar::Entry* e : shown) {
            io.line(rar::listingNameLine(*e));
            io.line(rar::listingDetailsLine(*e));
            if (e->comment)
                for (const std::string& l : rar::commentLines(*e->comment)) io.line(msg::listingEntryComment(l));
            totals.add(*e);
        }
        io.line(msg::listingSeparator());
        io.line(rar::listingTotalsLine(totals));
    }
    if (access.result.problem) return reportReadProblem(inv.line.archive, *access.result.problem, io);
    return ExitCode::Success;
}

}  // namespace console
