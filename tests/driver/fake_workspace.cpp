#include "tests/driver/fake_workspace.h"

#include <gtest/gtest.h>

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"

namespace drivertest {

std::string utf8(const std::filesystem::path& path) { return platform::utf8FromPath(path); }

std::filesystem::path under(const std::filesystem::path& folder, std::string_view utf8Name) {
    return folder / platform::pathFromUtf8(utf8Name);
}

std::filesystem::path fakeArchiverPath() { return FAKE_ARCHIVER_PATH; }

std::span<const unsigned char> fakeArchiverBytes() {
    static const std::string bytes = [] {
        auto read = platform::readWholeFile(fakeArchiverPath());
        return read ? *read : std::string();
    }();
    return {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()};
}

std::filesystem::path dataPath(std::string_view name) {
    return std::filesystem::path(DRIVER_TEST_DATA_DIR) / std::string(name);
}

std::string dataFile(std::string_view name) {
    auto read = platform::readWholeFile(dataPath(name));
    if (!read) ADD_FAILURE() << read.message();
    return read ? *read : std::string();
}

StatusSink RecordingSink::sink() {
    return [this](const std::string& text) { texts.push_back(text); };
}

FakeWorkspace::FakeWorkspace() : runner_(temp_.path(), fakeArchiverBytes()) {
    if (fakeArchiverBytes().empty()) ADD_FAILURE() << "fake archiver not found at " << fakeArchiverPath();
    if (auto s = runner_.writePayload(); !s) ADD_FAILURE() << s.message();
}

void FakeWorkspace::script(std::string_view actions) const { temp_.write("fake-archiver.script", actions); }

std::string FakeWorkspace::read(std::string_view name) const {
    auto read = platform::readWholeFile(*this / name);
    return read ? *read : std::string();
}

bool FakeWorkspace::has(std::string_view name) const {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(*this / name, ec));
}

namespace {

std::string unescaped(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            out += line[i];
            continue;
        }
        const char next = line[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace

std::vector<std::vector<std::string>> FakeWorkspace::calls() const {
    std::vector<std::vector<std::string>> out;
    std::vector<std::string> current;
    std::string log = read("fake-archiver.calls");
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        std::string line = log.substr(start, end - start);
        start = end + 1;
        if (line == "<end>") {
            out.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(unescaped(line));
        }
    }
    return out;
}

}  // namespace drivertest
