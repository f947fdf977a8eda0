#pragma once
// Crafted archives and a failure recorder for the extractor tests.
#include <map>
#include <string>

#include "archiver/rar/crc32.h"
#include "archiver/rar/extractor.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "hex.h"
#include "tests/support/temp_dir.h"
#include "write_test_support.h"

namespace rarwritetest {

// A RAR 1.5-4.x archive built entry by entry, for names and links our writer would
// never produce.
class CraftedArchive {
public:
    CraftedArchive() {
        bytes_.assign(rar::kRar4Marker.begin(), rar::kRar4Marker.end());
        bytes_.insert(bytes_.end(), rar::kRar4PlainMainHeader.begin(), rar::kRar4PlainMainHeader.end());
    }
    // hostOs 3 with a link mode stores a Unix symbolic link whose data is the target.
    CraftedArchive& add(const std::string& name, const std::string& data, std::uint8_t hostOs = 2,
                        std::uint32_t attributes = 0x20) {
        rar::Rar4RawFileFields f;
        f.packedSize = f.unpackedSize = data.size();
        f.hostOs = hostOs;
        f.crc = rar::crc32(bytesOf(data));
        f.dosTime = 0x58A63905;
        f.attributes = attributes;
        f.nameField.assign(name.begin(), name.end());
        const auto h = rar::encodeRar4RawFileHeader(f);
        bytes_.insert(bytes_.end(), h.begin(), h.end());
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        return *this;
    }
    std::filesystem::path writeTo(const testsupport::TempDir& dir, const std::string& name) {
        auto all = bytes_;
        all.insert(all.end(), rar::kRar4EndBlock.begin(), rar::kRar4EndBlock.end());
        return dir.write(name, std::string(all.begin(), all.end()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Failures : rar::ExtractObserver {
    std::map<std::string, rar::EntryFailure> byEntry;
    void entryFinished(const rar::Entry& e, const rar::EntryOutcome& o) override {
        if (!o.ok()) byEntry[e.path] = o.failure;
    }
};

inline rar::ExtractOptions into(const std::filesystem::path& dest, bool keepFolders = true, std::string password = {}) {
    rar::ExtractOptions o;
    o.destination = dest;
    o.keepFolders = keepFolders;
    o.overwrite = true;
    o.password = std::move(password);
    return o;
}

}  // namespace rarwritetest
