#pragma once
// Adds files and folders to a RAR 1.5-4.x archive as stored entries, optionally with
// the file data encrypted in the RAR 3.x scheme. A new archive is created, an existing
// one (the 20-byte empty archive included) updated: entries with a name being added are
// replaced. The result is written to a temporary file, flushed and renamed over the
// archive, so the archive is either the old one or the complete new one. Memory use does
// not grow with file sizes.
#include <filesystem>
#include <functional>
#include <span>
#include <string>

#include "platform/status.h"

namespace rar {

struct Rar4AddItem {
    std::filesystem::path source;  // the file or folder on disk
    std::string storedName;        // UTF-8, '\' between folders, no leading '\'
    bool directory = false;
};

struct Rar4AddOptions {
    std::string password;  // UTF-8; empty: data stored plainly
};

class Rar4AddObserver {
public:
    virtual ~Rar4AddObserver() = default;
    virtual void itemStarted(const Rar4AddItem&) {}
    virtual void itemFinished(const Rar4AddItem&) {}
    // The share of the whole job done, 0..100, each time it grows.
    virtual void progress(int /*percent*/) {}
    // An old entry of the archive that a new one replaces (its stored name).
    virtual void entryReplaced(const std::string& /*storedName*/) {}
};

platform::Status addToRar4Archive(const std::filesystem::path& archivePath, std::span<const Rar4AddItem> items,
                                  const Rar4AddOptions& options, Rar4AddObserver* observer = nullptr);

}  // namespace rar
