#include "jobs/rename_journal.h"

#include <chrono>
#include <cstdio>
#include <iterator>
#include <random>
#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"

namespace jobs {
namespace {

using platform::Result;
using platform::Status;

// Older jobs are dropped once the journal passes this size; undo only ever needs the last.
constexpr std::uintmax_t kCompactAbove = 1u << 20;
constexpr std::size_t kJobsKept = 20;

std::string utcTimeText() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss<seconds> time{now - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld:%02ld UTC", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()));
    return text;
}

std::string newJobId() {
    std::random_device random;
    std::uniform_int_distribution<unsigned> hex(0, 15);
    std::string id = std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(
                                        std::chrono::system_clock::now().time_since_epoch())
                                        .count()) +
                     "-";
    for (int i = 0; i < 8; ++i) id += "0123456789abcdef"[hex(random)];
    return id;
}

std::string identityText(const platform::FileIdentity& id) {
    return std::to_string(id.device) + ":" + std::to_string(id.file);
}

std::optional<platform::FileIdentity> parseIdentity(std::string_view text) {
    auto colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    try {
        std::size_t used = 0;
        std::string device(text.substr(0, colon)), file(text.substr(colon + 1));
        platform::FileIdentity id{std::stoull(device, &used), 0};
        if (used != device.size()) return std::nullopt;
        id.file = std::stoull(file, &used);
        if (used != file.size()) return std::nullopt;
        return id;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    while (true) {
        auto tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) break;
        line.remove_prefix(tab + 1);
    }
    return fields;
}

void compactIfLarge(const std::filesystem::path& file) {
    std::error_code ec;
    auto size = std::filesystem::file_size(file, ec);
    if (ec || size <= kCompactAbove) return;
    auto text = platform::readWholeFile(file);
    if (!text) return;
    std::vector<std::size_t> begins;
    for (std::size_t at = 0; at < text->size();) {
        if (text->compare(at, 6, "begin\t") == 0) begins.push_back(at);
        auto nl = text->find('\n', at);
        if (nl == std::string::npos) break;
        at = nl + 1;
    }
    if (begins.size() <= kJobsKept) return;
    (void)platform::writeFileAtomically(file, std::string_view(*text).substr(begins[begins.size() - kJobsKept]));
}

}  // namespace

std::string escapeJournalField(std::string_view field) {
    std::string out;
    for (char c : field) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            default: out += c;
        }
    }
    return out;
}

std::optional<std::string> unescapeJournalField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\') {
            out += field[i];
            continue;
        }
        if (++i == field.size()) return std::nullopt;
        switch (field[i]) {
            case '\\': out += '\\'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'n': out += '\n'; break;
            default: return std::nullopt;
        }
    }
    return out;
}

Result<RenameJournal> RenameJournal::open(const std::filesystem::path& file) {
    compactIfLarge(file);
    auto appender = platform::AppendFile::open(file);
    if (!appender) return appender.status();
    return RenameJournal(std::move(*appender));
}

Status RenameJournal::write(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) line += '\t';
        line += escapeJournalField(fields[i]);
    }
    line += '\n';
    return file_.append(line);
}

Status RenameJournal::begin(std::string_view description, JournalJobKind kind) {
    jobId_ = newJobId();
    return write({kind == JournalJobKind::Clean ? "begin-clean" : "begin", jobId_, utcTimeText(), std::string(description)});
}

Status RenameJournal::recordMove(const platform::FileIdentity& id, const std::string& from, const std::string& to) {
    return write({"move", identityText(id), from, to});
}

Status RenameJournal::recordUnmoved(const platform::FileIdentity& id, const std::string& from, const std::string& to) {
    return write({"unmoved", identityText(id), from, to});
}

Status RenameJournal::recordTrash(const platform::FileIdentity& id, const std::string& from,
                                  const platform::TrashedFile& trashed) {
    return write({"trash", identityText(id), from, platform::utf8FromPath(trashed.file),
                  platform::utf8FromPath(trashed.info)});
}

Status RenameJournal::end() { return write({"end", jobId_}); }

Status RenameJournal::recordRewrite(const platform::FileIdentity& before, const platform::FileIdentity& after,
                                    const std::string& path) {
    return write({"rewritten", identityText(before), identityText(after), path});
}

Result<JournalContents> readRenameJournal(const std::filesystem::path& file) {
    JournalContents contents;
    auto& jobs = contents.jobs;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) return contents;
    auto text = platform::readWholeFile(file);
    if (!text) return text.status();

    std::string_view rest = *text;
    std::size_t lineNumber = 0;
    while (!rest.empty()) {
        ++lineNumber;
        auto nl = rest.find('\n');
        // A last line without its line end was cut short by a crash while it was written.
        if (nl == std::string_view::npos) break;
        std::string_view line = rest.substr(0, nl);
        rest.remove_prefix(nl + 1);

        std::vector<std::string> fields;
        bool readable = true;
        for (auto raw : splitFields(line)) {
            auto f = unescapeJournalField(raw);
            if (!f) {
                readable = false;
                break;
            }
            fields.push_back(std::move(*f));
        }
        if (!readable || fields.empty()) continue;
        const std::string& kind = fields[0];
        if ((kind == "begin" || kind == "begin-clean") && fields.size() == 4) {
            jobs.push_back(JournalJob{lineNumber, fields[1], fields[2], fields[3], false, false, {},
                                      kind == "begin" ? JournalJobKind::Rename : JournalJobKind::Clean});
        } else if (kind == "end" && fields.size() == 2) {
            if (!jobs.empty() && jobs.back().id == fields[1]) jobs.back().ended = true;
        } else if (kind == "undone" && fields.size() == 2) {
            for (auto& job : jobs) {
                if (job.id == fields[1]) job.undone = true;
            }
        } else if (kind == "move" && fields.size() == 4 && !jobs.empty()) {
            auto id = parseIdentity(fields[1]);
            if (!id) continue;
            jobs.back().records.push_back(JournalRecord{JournalRecord::Kind::Move, *id, fields[2], fields[3], {}});
        } else if (kind == "unmoved" && fields.size() == 4 && !jobs.empty()) {
            // The move recorded just before it did not happen.
            auto& records = jobs.back().records;
            for (auto it = records.rbegin(); it != records.rend(); ++it) {
                if (it->kind == JournalRecord::Kind::Move && it->from == fields[2] && it->to == fields[3]) {
                    records.erase(std::next(it).base());
                    break;
                }
            }
        } else if (kind == "rewritten" && fields.size() == 4) {
            auto before = parseIdentity(fields[1]);
            auto after = parseIdentity(fields[2]);
            if (before && after) contents.rewrites.push_back(JournalRewrite{lineNumber, *before, *after, fields[3]});
        } else if (kind == "trash" && fields.size() == 5 && !jobs.empty()) {
            auto id = parseIdentity(fields[1]);
            if (!id) continue;
            jobs.back().records.push_back(JournalRecord{JournalRecord::Kind::Trash, *id, fields[2], fields[3], fields[4]});
        }
    }
    return contents;
}

Status markJobUndone(const std::filesystem::path& file, const std::string& jobId) {
    auto appender = platform::AppendFile::open(file);
    if (!appender) return appender.status();
    return appender->append("undone\t" + escapeJournalField(jobId) + "\n");
}

}  // namespace jobs
