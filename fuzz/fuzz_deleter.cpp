// Deletes every other entry from arbitrary input that reads as a sound archive, writes
// the result through the atomic writer and reads it back. Beyond crashes, it checks the
// deleter's promise: the result reads without a problem and holds exactly the kept
// entries, in order.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/archive_reader.h"
#include "platform/file.h"

namespace {

std::filesystem::path scratchFile() {
    const char* dir = std::getenv("TMPDIR");
    return std::filesystem::path(dir ? dir : "/tmp") / ("pimingbao-fuzz-" + std::to_string(::getpid()) + ".rar");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path path = scratchFile();
    if (auto s = platform::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(data), size)); !s)
        return 0;
    auto source = rar::FileByteSource::open(path);
    if (!source) return 0;
    const rar::ReadResult before = rar::readArchive(**source, rar::ReadOptions{.password = {}, .readComments = false});
    if (before.problem || before.archive.entries.size() < 2) return 0;

    std::vector<bool> removed(before.archive.entries.size());
    for (std::size_t i = 0; i < removed.size(); i += 2) removed[i] = true;
    const rar::DeletionPlan plan = rar::planDeletion(before.archive, removed);
    if (plan.check != rar::DeleteCheck::Allowed) return 0;
    auto layout = rar::layoutWithoutRemoved(**source, before.archive, plan, {});
    if (!layout) return 0;
    if (!rar::writeLayout(rar::FileByteSource::releaseFile(std::move(*source)), *layout, path)) return 0;

    const rar::ReadResult after = rar::readArchive(path, rar::ReadOptions{.password = {}, .readComments = false});
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < before.archive.entries.size(); ++i)
        if (!removed[i]) expected.push_back(before.archive.entries[i].path);
    std::vector<std::string> got;
    for (const auto& e : after.archive.entries) got.push_back(e.path);
    if (after.problem || got != expected) {
        std::fprintf(stderr, "deleter broke a sound archive: %s\n", after.problem ? after.problem->detail.c_str() : "entries differ");
        std::abort();
    }
    return 0;
}
