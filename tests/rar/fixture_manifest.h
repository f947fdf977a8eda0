#pragma once
// The fixture catalogue (manifest.json beside the fixtures), read into plain structs.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct ManifestEntry {
    std::string path;  // '/' separators
    std::uint64_t size = 0;
    std::optional<std::uint32_t> crc32;  // as the header declares it (this part's for split parts)
    bool isDir = false;
    bool encrypted = false;
    bool isLink = false;
    bool splitBefore = false;
    bool splitAfter = false;
    bool crcIsMac = false;
    bool fileCommentPresent = false;
    std::optional<std::string> fileComment;
};

struct ManifestArchive {
    std::string file;
    bool rar5 = false;
    bool isRar = true;
    bool volume = false;
    bool solid = false;
    bool locked = false;
    bool encryptedHeaders = false;
    std::string password;
    std::optional<std::string> comment;
    std::optional<std::uint64_t> sfxOffset;
    std::vector<std::string> features;
    std::map<std::string, std::string> readers;  // reader name -> outcome text
    std::vector<ManifestEntry> entries;

    bool hasFeature(const std::string& f) const;
    bool damaged() const { return hasFeature("damaged-or-truncated"); }
    // Whether a reader listed the original without error ("rc=0").
    bool readerSucceeded(const std::string& reader) const;
};

// Empty when the fixtures are missing.
std::vector<ManifestArchive> loadManifest();
const ManifestArchive* findInManifest(const std::vector<ManifestArchive>& all, const std::string& file);

}  // namespace testsupport
