#include "tests/faults/fault_workspace.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "archiver/rar/archive_reader.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace testfaults {

std::filesystem::path myrarProgram() { return std::filesystem::path(MYRAR_PATH).make_preferred(); }
std::filesystem::path cliProgram() { return std::filesystem::path(PIMINGBAO_CLI_PROGRAM).make_preferred(); }

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string randomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes) b = static_cast<char>(random() & 0xff);
    return bytes;
}

void buildArchive(const std::filesystem::path& archive, const FileList& files) {
    const auto stage = archive.parent_path() / ("." + archive.filename().string() + ".stage");
    std::filesystem::create_directories(stage);
    std::vector<std::string> argv = {myrarProgram().string(), "a", "-ep1", platform::utf8FromPath(archive)};
    for (const auto& [name, content] : files) {
        const auto file = stage / platform::pathFromUtf8(name);
        writeBytes(file, content);
        argv.push_back(platform::utf8FromPath(file));
    }
    const ChildExit done = run(argv);
    std::filesystem::remove_all(stage);
    if (done.exitCode != 0) throw std::runtime_error("myrar a failed on " + archive.string() + ": " + utf8(done.output));
}

std::vector<std::string> entryPaths(const std::filesystem::path& archive) {
    const rar::ReadResult read = rar::readArchive(archive, rar::ReadOptions{});
    std::vector<std::string> paths;
    for (const auto& e : read.archive.entries) paths.push_back(e.path);
    return paths;
}

std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (platform::isTemporaryFileName(name)) names.push_back(name);
    }
    return names;
}

std::filesystem::path installCli(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto copy = folder / cliProgram().filename();  // with its ".exe" on Windows
    std::filesystem::copy_file(cliProgram(), copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

std::filesystem::path installMyrar(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    const auto copy = folder / myrarProgram().filename();
    std::filesystem::copy_file(myrarProgram(), copy, std::filesystem::copy_options::overwrite_existing);
    return copy;
}

std::map<std::string, std::string> cliEnvironment(const std::filesystem::path& home) {
#ifdef _WIN32
    // The recycle bin is the system's own (under Wine its XDG trash, which
    // scripts/wine-run.sh keeps inside the Wine prefix); nothing to point elsewhere.
    (void)home;
    return {};
#else
    return {{"HOME", home.string()},
            {"XDG_DATA_HOME", (home / "data").string()},
            {"XDG_STATE_HOME", (home / "state").string()}};
#endif
}

}  // namespace testfaults
