#pragma once
// A fresh folder for one test, removed with everything in it afterwards.
#include <filesystem>
#include <string_view>

#include "platform/paths.h"

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Names are UTF-8, as everywhere in the program, on Windows too, and "/" separates
    // folders in them; the path uses the system's own separator, as the program's do.
    std::filesystem::path operator/(std::string_view name) const { return (path_ / platform::pathFromUtf8(name)).make_preferred(); }
    // Writes `bytes` to a file under the folder (creating parent folders) and returns its path.
    std::filesystem::path write(std::string_view relativePath, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// Removes a file or folder tree, trying for up to two seconds while it is busy on Windows:
// what a program used stays busy for a moment after it has ended (under Wine its console
// host, which got the program's handles and working folder, lives a little longer).
void removeWhenFree(const std::filesystem::path& path);

}  // namespace testsupport
