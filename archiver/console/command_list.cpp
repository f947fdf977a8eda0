// v: the verbose listing. Reads headers only; the layout is what the driver's listing
// parser expects (the separator after the column titles, two lines per entry, comment
// lines beginning with "注释: "). Each entry is printed as it is read and then forgotten,
// so the memory a listing takes does not grow with the number of entries.
#include "archiver/console/archive_access.h"
#include "archiver/console/commands.h"
#include "archiver/console/messages.h"
#include "archiver/rar/listing.h"
#include "archiver/rar/name_matcher.h"

namespace console {
namespace {

class ListingPrinter : public rar::ArchiveVisitor {
public:
    ListingPrinter(ConsoleIo& io, const std::string& archivePath, const rar::NameMatcher& filter)
        : io_(io), archivePath_(archivePath), filter_(filter) {}

    // The archive comment comes before the first entry, so the heading can wait for it.
    void entry(const rar::Archive& archive, rar::Entry&& e) override {
        if (!filter_.empty() && !filter_.matches(e.path)) return;
        if (!started_) {
            heading(archive);
            io_.line(msg::listingTitleLine());
            io_.line(msg::listingColumnsLine());
            io_.line(msg::listingSeparator());
            started_ = true;
        }
        io_.line(rar::listingNameLine(e));
        io_.line(rar::listingDetailsLine(e));
        if (e.comment)
            for (const std::string& l : rar::commentLines(*e.comment)) io_.line(msg::listingEntryComment(l));
        totals_.add(e);
    }
    void block(const rar::Archive&, const rar::Block&) override {}

    // After the last entry read: the totals, or the heading and "no entries".
    void finish(const rar::Archive& archive) {
        if (!started_) {
            heading(archive);
            io_.line(msg::listingNoEntries());
            return;
        }
        io_.line(msg::listingSeparator());
        io_.line(rar::listingTotalsLine(totals_));
    }

private:
    void heading(const rar::Archive& archive) {
        if (archive.comment) {
            for (const std::string& l : rar::commentLines(*archive.comment)) io_.line(l);
        }
        io_.line();
        io_.line(msg::listingArchiveLine(archivePath_));
        io_.line();
    }

    ConsoleIo& io_;
    const std::string& archivePath_;
    const rar::NameMatcher& filter_;
    rar::ListingTotals totals_;
    bool started_ = false;
};

}  // namespace

ExitCode runListCommand(const Invocation& inv) {
    ConsoleIo& io = inv.io;
    rar::ReadOptions options;
    options.password = inv.line.password.value_or("");
    const rar::NameMatcher filter(inv.names);
    ListingPrinter printer(io, inv.line.archive, filter);
    // A file that cannot be used at all (no archive, a wrong password) fails before its
    // first entry; only a read error further on follows entries already printed.
    ArchiveAccess access = openArchive(inv.line.archive, options, io, &printer);
    if (access.failure) return *access.failure;
    printer.finish(access.result.archive);
    if (access.result.problem) return reportReadProblem(inv.line.archive, *access.result.problem, io);
    return ExitCode::Success;
}

}  // namespace console
