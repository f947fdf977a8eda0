#include "tests/jobs/fake_archive_commands.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "jobs/delete_list.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace testsupport {

namespace {
DeleteOutcome outcomeOf(DeleteOutcome::Kind kind, std::string detail) {
    DeleteOutcome outcome;
    outcome.kind = kind;
    outcome.detail = std::move(detail);
    return outcome;
}
}  // namespace
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

DeleteOutcome FakeArchiveCommands::deleteFromArchive(const std::string& archivePath,
                                                     const std::vector<std::string>& entryNames,
                                                     const StatusSink& sink) {
    std::string call = "delete " + archivePath + ":";
    for (std::size_t i = 0; i < entryNames.size(); ++i) call += (i ? "|" : " ") + entryNames[i];
    calls.push_back(call);
    sink("正在删除中……");
    const auto archive = platform::pathFromUtf8(archivePath);
    auto text = platform::readWholeFile(archive);
    Parsed p = text ? parse(*text) : Parsed{};
    if (!p.archive || !p.failure.empty()) {
        sink("删除失败！");
        return outcomeOf(DeleteOutcome::Kind::Failed, p.archive ? p.failure : "无法打开压缩包");
    }
    auto removed = jobs::entriesRemovedBy(p.entries, entryNames);
    if (removed.empty()) {
        sink("没有要文件的删除");
        return outcomeOf(DeleteOutcome::Kind::NothingMatched, {});
    }
    std::vector<bool> gone(p.entries.size(), false);
    for (auto i : removed) gone[i] = true;
    std::string kept = kMagic;
    if (auto tag = tagOf(archive); !tag.empty()) kept += "#" + tag + "\n";
    std::size_t left = 0;
    for (std::size_t i = 0; i < p.entries.size(); ++i) {
        if (gone[i]) continue;
        kept += std::string(1, p.entries[i].marker) + p.entries[i].path + "\n";
        ++left;
    }
    if (left == 0) {
        std::filesystem::remove(archive);
    } else {
        // Written anew beside it and put in its place, as the archiver does: the file
        // keeps its name but not its identity.
        const auto fresh = platform::pathFromUtf8(archivePath + ".new");
        std::ofstream(fresh, std::ios::binary | std::ios::trunc) << kept;
        std::filesystem::rename(fresh, archive);
    }
    sink("删除成功！");
    return outcomeOf(DeleteOutcome::Kind::Deleted, {});
}

DeleteOutcome FakeArchiveCommands::planDelete(const std::string& archivePath,
                                              const std::vector<std::string>& entryNames) {
    std::string call = "plan " + archivePath + ":";
    for (std::size_t i = 0; i < entryNames.size(); ++i) call += (i ? "|" : " ") + entryNames[i];
    calls.push_back(call);
    auto text = platform::readWholeFile(platform::pathFromUtf8(archivePath));
    Parsed p = text ? parse(*text) : Parsed{};
    if (!p.archive || !p.failure.empty()) {
        return outcomeOf(DeleteOutcome::Kind::Failed, p.archive ? p.failure : "无法打开压缩包");
    }
    auto removed = jobs::entriesRemovedBy(p.entries, entryNames);
    if (removed.empty()) return outcomeOf(DeleteOutcome::Kind::NothingMatched, {});
    DeleteOutcome outcome = outcomeOf(DeleteOutcome::Kind::Deleted, {});
    outcome.exitCode = 0;
    for (auto i : removed) outcome.removedEntries.push_back(p.entries[i].path);
    if (removed.size() == p.entries.size()) outcome.emptied = DeleteOutcome::Emptied::MovedToTrash;
    return outcome;
}

}  // namespace testsupport
