#include "tests/jobs/fake_archive_commands.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "archiver/rar/name_matcher.h"
#include "platform/file.h"
#include "platform/paths.h"
#include "platform/trash.h"

namespace testsupport {
namespace {

const std::string kMagic = "FAKE-RAR\n";

struct Parsed {
    bool archive = false;
    std::vector<ListingEntry> entries;
    std::string failure;  // "! fails" text
};

Parsed parse(const std::string& text) {
    Parsed p;
    if (text.rfind(kMagic, 0) != 0) return p;
    p.archive = true;
    std::istringstream in(text.substr(kMagic.size()));
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        if (line[0] == '#') continue;  // a tag that tells equal archives apart
        if (line.rfind("! fails ", 0) == 0) {
            p.failure = line.substr(8);
        } else {
            p.entries.push_back(ListingEntry{line[0], line.substr(1)});
        }
    }
    return p;
}

}  // namespace

FakeArchiveCommands::FakeArchiveCommands(const std::filesystem::path& dataFile) {
    std::ifstream in(dataFile);
    if (!in) throw std::runtime_error("cannot read " + dataFile.string());
    std::string line, current;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            archives_[current] = kMagic;
        } else if (!current.empty()) {
            archives_[current] += line + "\n";
        }
    }
}

void FakeArchiveCommands::writeArchive(const std::filesystem::path& path, const std::string& name,
                                       const std::string& tag) const {
    auto it = archives_.find(name);
    if (it == archives_.end()) throw std::runtime_error("no fake archive " + name);
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << it->second << (tag.empty() ? "" : "#" + tag + "\n");
}

std::string FakeArchiveCommands::tagOf(const std::filesystem::path& path) {
    auto text = platform::readWholeFile(path);
    if (!text) return {};
    auto at = text->find("\n#");
    if (at == std::string::npos) return {};
    auto end = text->find('\n', at + 2);
    return text->substr(at + 2, end - at - 2);
}

std::vector<std::string> FakeArchiveCommands::entriesOf(const std::filesystem::path& path) {
    std::vector<std::string> out;
    auto text = platform::readWholeFile(path);
    if (!text) return out;
    for (const auto& e : parse(*text).entries) out.push_back(e.path);
    return out;
}

Listing FakeArchiveCommands::listArchive(const std::string& archivePath, const std::string& password) {
    calls.push_back("list " + archivePath);
    passwords.push_back(password);
    auto text = platform::readWholeFile(platform::pathFromUtf8(archivePath));
    if (!text) return Listing{{}, false, "找不到压缩包"};
    Parsed p = parse(*text);
    if (!p.archive) return Listing{{}, false, archivePath + " 不是 RAR 压缩包"};
    return Listing{p.entries, true, {}};
}

bool FakeArchiveCommands::canPassName(const std::string& entryName) const {
    if (entryName.empty()) return false;
    for (char c : entryName) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || u < 0x20 || u == 0x7F) return false;
    }
    return true;
}

struct FakeArchiveCommands::Plan {
    DeleteOutcome outcome;
    Parsed archive;
    std::vector<bool> gone;  // per entry of `archive`
};

// What a delete of these names does, found the same way for the plan and the real delete,
// as the archiver promises.
FakeArchiveCommands::Plan FakeArchiveCommands::plan(const std::string& archivePath,
                                                    const std::vector<std::string>& entryNames) const {
    Plan plan;
    DeleteOutcome& o = plan.outcome;
    for (const auto& name : entryNames) {
        if (!canPassName(name)) {
            o.detail = "名称含有双引号或控制字符，不能交给压缩程序：" + name;
            return plan;
        }
    }
    auto text = platform::readWholeFile(platform::pathFromUtf8(archivePath));
    plan.archive = text ? parse(*text) : Parsed{};
    const Parsed& p = plan.archive;
    if (!p.archive || !p.failure.empty()) {
        o.detail = p.archive ? p.failure : "无法打开压缩包";
        o.exitCode = p.archive ? 3 : 2;
        return plan;
    }
    const rar::NameMatcher matcher(entryNames);
    plan.gone.assign(p.entries.size(), false);
    for (std::size_t i = 0; i < p.entries.size(); ++i) {
        if (!matcher.matches(p.entries[i].path)) continue;
        plan.gone[i] = true;
        o.removedEntries.push_back(p.entries[i].path);
    }
    if (o.removedEntries.empty()) {
        o.kind = DeleteOutcome::Kind::NothingMatched;
        o.exitCode = 1;
        return plan;
    }
    o.kind = DeleteOutcome::Kind::Deleted;
    o.exitCode = 0;
    if (o.removedEntries.size() == p.entries.size()) o.emptied = DeleteOutcome::Emptied::MovedToTrash;
    return plan;
}

DeleteOutcome FakeArchiveCommands::deleteFromArchive(const std::string& archivePath,
                                                     const std::vector<std::string>& entryNames,
                                                     const StatusSink& sink) {
    std::string call = "delete " + archivePath + ":";
    for (std::size_t i = 0; i < entryNames.size(); ++i) call += (i ? "|" : " ") + entryNames[i];
    calls.push_back(call);
    sink("正在删除中……");
    Plan planned = plan(archivePath, entryNames);
    DeleteOutcome& outcome = planned.outcome;
    if (outcome.kind == DeleteOutcome::Kind::Failed) {
        sink("删除失败！");
        return outcome;
    }
    if (outcome.kind == DeleteOutcome::Kind::NothingMatched) {
        sink("没有要文件的删除");
        return outcome;
    }
    const auto archive = platform::pathFromUtf8(archivePath);
    const std::vector<ListingEntry>& entries = planned.archive.entries;
    std::string kept = kMagic;
    if (auto tag = tagOf(archive); !tag.empty()) kept += "#" + tag + "\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!planned.gone[i]) kept += std::string(1, entries[i].marker) + entries[i].path + "\n";
    }
    bool rewrite = true;
    if (outcome.emptied != DeleteOutcome::Emptied::No) {
        // The original, untouched, goes to the trash; where none takes it, the archive is
        // kept without entries.
        auto trashed = trash ? platform::moveToTrash(archive, *trash)
                             : platform::Result<platform::TrashedFile>(platform::Status::failure("no trash"));
        if (trashed) {
            if (trashTellsWhere) outcome.trashedFile = platform::utf8FromPath(trashed->file);
            rewrite = false;
        } else {
            outcome.emptied = DeleteOutcome::Emptied::KeptEmpty;
        }
    }
    if (rewrite) {
        // Written anew beside it and put in its place, as the archiver does: the file
        // keeps its name but not its identity.
        const auto fresh = platform::pathFromUtf8(archivePath + ".new");
        std::ofstream(fresh, std::ios::binary | std::ios::trunc) << kept;
        std::filesystem::rename(fresh, archive);
    }
    sink("删除成功！");
    return outcome;
}

DeleteOutcome FakeArchiveCommands::planDelete(const std::string& archivePath,
                                              const std::vector<std::string>& entryNames) {
    std::string call = "plan " + archivePath + ":";
    for (std::size_t i = 0; i < entryNames.size(); ++i) call += (i ? "|" : " ") + entryNames[i];
    calls.push_back(call);
    return plan(archivePath, entryNames).outcome;
}

}  // namespace testsupport
