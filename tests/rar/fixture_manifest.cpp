#include "tests/rar/fixture_manifest.h"

#include <cstdlib>

#include "platform/file.h"
#include "tests/rar/json_value.h"
#include "tests/support/fixtures.h"

namespace testsupport {

bool ManifestArchive::hasFeature(const std::string& f) const {
    for (const auto& x : features)
        if (x == f) return true;
    return false;
}

bool ManifestArchive::readerSucceeded(const std::string& reader) const {
    auto it = readers.find(reader);
    return it != readers.end() && it->second.rfind("rc=0", 0) == 0;
}

std::vector<ManifestArchive> loadManifest() {
    std::vector<ManifestArchive> out;
    if (!fixturesAvailable()) return out;
    auto text = platform::readWholeFile(fixture("manifest.json"));
    if (!text) return out;
    const testjson::Value doc = testjson::Value::parse(*text);
    for (const testjson::Value& a : doc["archives"].asArray()) {
        ManifestArchive m;
        m.file = a["file"].asString();
        const std::string format = a.stringOr("format", "");
        m.rar5 = format == "RAR5";
        m.isRar = format.rfind("RAR", 0) == 0;
        m.volume = a.boolOr("is_volume_flag", false);
        m.solid = a.boolOr("solid", false);
        m.locked = a.boolOr("locked", false);
        m.encryptedHeaders = a.boolOr("encrypted_headers", false);
        m.password = a.stringOr("password", "");
        if (a["comment"].kind() == testjson::Value::Kind::String) m.comment = a["comment"].asString();
        if (a["sfx_or_prefix_offset"].kind() == testjson::Value::Kind::Number)
            m.sfxOffset = static_cast<std::uint64_t>(a["sfx_or_prefix_offset"].asNumber());
        for (const auto& f : a["features"].asArray()) m.features.push_back(f.asString());
        if (a["readers"].kind() == testjson::Value::Kind::Object)
            for (const char* r : {"lsar", "bsdtar", "7z"}) m.readers[r] = a["readers"].stringOr(r, "");
        for (const testjson::Value& e : a["entries"].asArray()) {
            ManifestEntry me;
            me.path = e["path"].asString();
            me.size = static_cast<std::uint64_t>(e["size"].kind() == testjson::Value::Kind::Number ? e["size"].asNumber() : 0);
            std::string crc = e.stringOr("crc32", e.stringOr("crc32_field", ""));
            if (!crc.empty()) me.crc32 = static_cast<std::uint32_t>(std::strtoul(crc.c_str(), nullptr, 16));
            me.isDir = e.boolOr("is_dir", false);
            me.encrypted = e.boolOr("encrypted", false);
            me.isLink = e.boolOr("is_link", false);
            me.splitBefore = e.boolOr("split_before", false);
            me.splitAfter = e.boolOr("split_after", false);
            me.crcIsMac = e.boolOr("crc_is_mac", false);
            me.fileCommentPresent = e.boolOr("file_comment_present", false);
            if (e["file_comment"].kind() == testjson::Value::Kind::String) me.fileComment = e["file_comment"].asString();
            m.entries.push_back(std::move(me));
        }
        out.push_back(std::move(m));
    }
    return out;
}

const ManifestArchive* findInManifest(const std::vector<ManifestArchive>& all, const std::string& file) {
    for (const auto& a : all)
        if (a.file == file) return &a;
    return nullptr;
}

}  // namespace testsupport
