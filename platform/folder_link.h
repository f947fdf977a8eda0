#pragma once
// A link in place of a folder: a symbolic link to a folder, or on Windows a junction too.
// A walk through folders must not go through one, or it may go round in circles or leave
// the tree it was given. (The standard library of the Windows build sees neither.)
#include <filesystem>

namespace platform {

// False for a plain folder, a file and a name that does not exist.
bool isFolderLink(const std::filesystem::path& path);

}  // namespace platform
