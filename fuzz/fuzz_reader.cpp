// Feeds arbitrary bytes to the reader and to everything the listing does with what it
// read: the listing columns, the matcher and the deletion layout.
#include <cstddef>
#include <cstdint>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_reader.h"
#include "archiver/rar/listing.h"
#include "archiver/rar/name_matcher.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    rar::MemoryByteSource source(std::span<const std::uint8_t>(data, size));
    // No password: key derivation costs tens of milliseconds per salt, which would
    // starve the search; the encrypted paths stop at "password required".
    const rar::ReadResult r = rar::readArchive(source, rar::ReadOptions{});
    rar::ListingTotals totals;
    for (const rar::Entry& e : r.archive.entries) {
        (void)rar::listingNameLine(e);
        (void)rar::listingDetailsLine(e);
        if (e.comment) (void)rar::commentLines(*e.comment);
        totals.add(e);
    }
    (void)rar::listingTotalsLine(totals);
    if (r.archive.comment) (void)rar::commentLines(*r.archive.comment);
    if (r.problem) return 0;
    const rar::DeletionPlan plan = rar::planDeletion(r.archive, rar::NameMatcher({"*a*", "sub\\?"}));
    if (plan.check == rar::DeleteCheck::Allowed && !plan.nothingMatched())
        (void)rar::layoutWithoutRemoved(source, r.archive, plan, {});
    return 0;
}
