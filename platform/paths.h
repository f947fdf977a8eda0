#pragma once
// Paths in the platform's Unicode form, converted from and to the program's UTF-8 text,
// and the folders the program keeps its own files in.
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path pathFromUtf8(std::string_view utf8);
std::string utf8FromPath(const std::filesystem::path& path);

// The folder holding the running executable.
std::filesystem::path programDirectory();

// Whether a new file can be created in `dir` (checked by creating and removing one).
bool isDirectoryWritable(const std::filesystem::path& dir);

// Per-user folders, created on demand: state ($XDG_STATE_HOME/pimingbao or
// %LOCALAPPDATA%\pimingbao) and configuration ($XDG_CONFIG_HOME/pimingbao or
// %APPDATA%\pimingbao).
std::filesystem::path userStateDirectory();
std::filesystem::path userConfigDirectory();

}  // namespace platform
