#include "archiver/driver/delete_output.h"

#include "archiver/driver/archiver_output.h"
#include "archiver/driver/archiver_texts.h"

namespace {

using namespace archivertexts;

// Lines end in CR LF only: a lone CR or LF is part of a name. Neither byte occurs inside a
// GB18030 character, so the raw bytes can be cut before decoding.
std::vector<std::string> crLfLines(std::string_view gb18030) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < gb18030.size()) {
        std::size_t end = gb18030.find("\r\n", start);
        if (end == std::string_view::npos) end = gb18030.size();
        out.push_back(archiveroutput::decoded(gb18030.substr(start, end - start)));
        start = end + 2;
    }
    return out;
}

enum class Record { None, DeletingFrom, Entry, Erased, Trashed, KeptEmpty, Other };

// The line's record and, for a record that carries a path or a name, where that begins.
Record recordOf(std::string_view line, std::size_t& nameAt) {
    struct Opening {
        std::string_view text;
        Record record;
    };
    static constexpr Opening kOpenings[] = {
        {kDeletingFromStart, Record::DeletingFrom}, {kDeletingEntryStart, Record::Entry},
        {kEmptyArchiveErasedStart, Record::Erased}, {kMovedToTrashStart, Record::Trashed},
        {kKeptEmptyStart, Record::KeptEmpty},
    };
    for (const auto& o : kOpenings) {
        if (line.starts_with(o.text)) {
            nameAt = o.text.size();
            return o.record;
        }
    }
    if (line == kMovedToTrashLine) {
        nameAt = line.size();
        return Record::Trashed;
    }
    if (line == kDoneLine || line == kDeleteNothingLine) return Record::Other;
    return Record::None;
}

}  // namespace

DeleteReport readDeleteOutput(std::string_view gb18030) {
    DeleteReport report;
    // The name a line without an opening continues: none before the first record (the
    // banner) and none after a record whose path is not kept.
    std::string* name = nullptr;
    for (const std::string& line : crLfLines(gb18030)) {
        std::size_t nameAt = 0;
        const Record record = recordOf(line, nameAt);
        if (record == Record::None) {
            if (name) {
                *name += '\n';
                *name += line;
            }
            continue;
        }
        name = nullptr;
        std::string text = line.substr(nameAt);
        switch (record) {
            case Record::Entry:
                report.removedEntries.push_back(std::move(text));
                name = &report.removedEntries.back();
                break;
            case Record::Erased:
                report.erased = true;
                break;
            case Record::Trashed:
                report.trashedFile = std::move(text);
                name = &*report.trashedFile;
                break;
            case Record::KeptEmpty:
                report.keptEmpty = true;
                break;
            case Record::DeletingFrom:
            case Record::Other:
            case Record::None:
                break;
        }
    }
    return report;
}
