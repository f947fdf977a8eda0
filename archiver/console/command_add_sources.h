#pragma once
// What `a` puts into the archive for the names it is given: each file as it is, each
// folder with everything below it, and the name each gets inside the archive.
#include <filesystem>
#include <string>
#include <vector>

#include "archiver/rar/rar4_writer.h"

namespace console {

struct AddSourceOptions {
    bool excludeBaseFolder = false;  // -ep1: names start at the file or folder given
    bool noFolderEntries = false;    // -ed: folders get no entries of their own
    std::filesystem::path archive;   // never added to itself
};

struct AddSources {
    std::vector<rar::Rar4AddItem> items;
    std::vector<std::string> missing;  // names given that match nothing (UTF-8)
    std::vector<std::string> skipped;  // neither file nor folder (devices, sockets, ...)
};

// A name whose last part holds '*' or '?' stands for the matching files and folders of
// its folder. Without -ep1 a name is stored as given, minus drive, root and "." / ".."
// parts; folders are walked in name order, links to folders are not followed (they are
// stored as empty folders), links to files are stored as the files.
AddSources collectAddSources(const std::vector<std::string>& namesUtf8, const AddSourceOptions& options);

// The stored form of a path as given: '\' separators, no drive, root, "." or "..".
std::string storedNameFor(const std::filesystem::path& given, bool excludeBaseFolder);

}  // namespace console
