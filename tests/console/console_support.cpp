#include "tests/console/console_support.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "archiver/rar/archive_editor.h"
#include "archiver/rar/tail_cut.h"
#include "platform/file.h"
#include "platform/text_codec.h"
#include "tests/support/fixtures.h"

namespace testconsole {
namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string l;
    while (std::getline(in, l)) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        out.push_back(l);
    }
    return out;
}

std::string withoutTrailingSlash(std::string s) {
    while (!s.empty() && s.back() == '/') s.pop_back();
    return s;
}

}  // namespace

MyrarRun runMyrar(const std::vector<std::string>& args, const std::filesystem::path& workingDir,
                  const std::optional<std::string>& input) {
    std::vector<std::string> argv = {MYRAR_PATH};
    argv.insert(argv.end(), args.begin(), args.end());
    const ProcessResult p = runProcess(argv, workingDir, input);
    // Every caller expects myrar to end with one of its exit codes; a start that failed or
    // a crash says why here rather than as an empty output later.
    if (p.exitCode == -1) ADD_FAILURE() << "myrar did not end normally: " << p.err;
    MyrarRun run;
    run.exitCode = p.exitCode;
    run.raw = p.out;
    run.text = platform::decodeGb18030Lossy(p.out);
    return run;
}

std::filesystem::path copyFixture(const testsupport::TempDir& dir, const std::string& name) {
    const auto target = dir / name;
    std::filesystem::copy_file(testsupport::fixture(name), target);
    std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    return target;
}

namespace {

void setVariable(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
    ::_putenv_s(name, value ? value->c_str() : "");
#else
    if (value) ::setenv(name, value->c_str(), 1);
    else ::unsetenv(name);
#endif
}

}  // namespace

ScopedDataHome::ScopedDataHome(const std::filesystem::path& folder) {
    if (const char* was = std::getenv("XDG_DATA_HOME")) previous_ = was;
    setVariable("XDG_DATA_HOME", folder.string());
}

ScopedDataHome::~ScopedDataHome() { setVariable("XDG_DATA_HOME", previous_); }

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::optional<std::vector<std::string>> bsdtarNames(const std::filesystem::path& archive) {
    if (!programAvailable("bsdtar")) return std::nullopt;
    const auto p = runProcess({"bsdtar", "-tf", archive.filename().string()}, archive.parent_path());
    if (p.exitCode != 0) return std::nullopt;
    std::vector<std::string> out;
    for (const auto& l : lines(p.out)) out.push_back(withoutTrailingSlash(l));
    return out;
}

std::optional<std::vector<std::string>> lsarNames(const std::filesystem::path& archive, const std::string& password) {
    if (!programAvailable("lsar")) return std::nullopt;
    std::vector<std::string> argv = {"lsar"};
    if (!password.empty()) argv.push_back("-p" + password);
    argv.push_back(archive.filename().string());
    const auto p = runProcess(argv, archive.parent_path());
    if (p.exitCode != 0) return std::nullopt;
    auto all = lines(p.out);
    if (all.empty()) return std::nullopt;
    std::vector<std::string> out;
    for (std::size_t i = 1; i < all.size(); ++i) out.push_back(withoutTrailingSlash(all[i]));
    return out;
}

std::optional<std::vector<std::string>> sevenZipNames(const std::filesystem::path& archive, const std::string& password) {
    if (!programAvailable("7z")) return std::nullopt;
    const auto p = runProcess({"7z", "l", "-slt", "-p" + password, archive.filename().string()}, archive.parent_path());
    if (p.exitCode != 0) return std::nullopt;
    std::vector<std::string> out;
    bool inEntries = false;
    for (const auto& l : lines(p.out)) {
        if (l == "----------") inEntries = true;
        else if (inEntries && l.rfind("Path = ", 0) == 0) out.push_back(withoutTrailingSlash(l.substr(7)));
    }
    return out;
}

bool bsdtarExtract(const std::filesystem::path& archive, const std::filesystem::path& into) {
    std::filesystem::create_directories(into);
    const auto p = runProcess({"bsdtar", "-xf", std::filesystem::absolute(archive).string()}, into);
    return p.exitCode == 0;
}

bool leaveCutHalfWay(const std::filesystem::path& archive, const std::vector<std::string>& names,
                     const std::string& password) {
    std::optional<rar::TailCut> cut;
    {
        auto source = rar::FileByteSource::open(archive);
        if (!source) return false;
        rar::ReadOptions options;
        options.password = password;
        const auto read = rar::readArchive(**source, options);
        if (read.problem) return false;
        const auto plan = rar::planDeletion(read.archive, rar::NameMatcher(names));
        auto layout = rar::layoutWithoutRemoved(**source, read.archive, plan, password);
        if (plan.check != rar::DeleteCheck::Allowed || plan.nothingMatched() || !layout) return false;
        cut = rar::tailCutOf(**source, read.archive, *layout);
    }
    if (!cut) return false;
    std::string bytes = readFile(archive);
    const auto first = cut->firstWrite();
    if (bytes.size() < cut->offset + first.size()) bytes.resize(cut->offset + first.size());
    std::copy(first.begin(), first.end(), bytes.begin() + static_cast<std::ptrdiff_t>(cut->offset));
    std::ofstream out(archive, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace testconsole
