#pragma once
// What the fault tests share: the built programs, archives made with the real myrar a,
// byte-level comparisons and the temporary files a killed writer leaves behind.
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/faults/child_process.h"

namespace testfaults {

std::filesystem::path myrarProgram();
std::filesystem::path cliProgram();

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);
// Bytes that no two calls with different seeds share, so entries cannot be confused.
std::string randomBytes(std::size_t size, std::uint32_t seed);

using FileList = std::vector<std::pair<std::string, std::string>>;  // name, content

// Builds `archive` with `myrar a -ep1` from the files, in the order given (names in UTF-8);
// throws when myrar fails, so that a test cannot go on with a missing archive.
void buildArchive(const std::filesystem::path& archive, const FileList& files);

// The entry paths of an archive as our own reader sees them (folders separated by '\').
std::vector<std::string> entryPaths(const std::filesystem::path& archive);

// Names of the writer's temporary files (".<name>.<pid>.pmbtmp") in a folder.
std::vector<std::string> temporaryFilesIn(const std::filesystem::path& folder);

// Copies pimingbao-cli into `folder` (created if need be) and returns the copy. The
// program works in its own folder: the archiver, its exchange files and its journal go
// there, so each test gets a folder of its own.
std::filesystem::path installCli(const std::filesystem::path& folder);

// Copies myrar into `folder`, for runs as another user, who may not reach the build folder.
std::filesystem::path installMyrar(const std::filesystem::path& folder);

// An environment for pimingbao-cli whose trash and state folders lie inside `home`.
std::map<std::string, std::string> cliEnvironment(const std::filesystem::path& home);

}  // namespace testfaults
