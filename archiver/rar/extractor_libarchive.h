#pragma once
// Decompression through libarchive, the one part of reading RAR data we do not write
// ourselves. Entries are reached in archive order; where libarchive cannot be loaded
// every open fails with a message saying so.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "platform/status.h"

namespace rar {

// Hands out the bytes of a made-up archive piece by piece; an empty span ends it.
using ArchiveBytePump = std::function<platform::Result<std::span<const std::uint8_t>>()>;

class LibarchiveReader {
public:
    static bool available();
    static platform::Result<std::unique_ptr<LibarchiveReader>> openFile(const std::filesystem::path& path);
    static platform::Result<std::unique_ptr<LibarchiveReader>> openPump(ArchiveBytePump pump);
    ~LibarchiveReader();

    // Moves to the entry with this position among libarchive's headers (0 first; never
    // backwards) and returns the path it reports there, '/' between folders ("" when it
    // has no UTF-8 form).
    platform::Result<std::string> seek(std::size_t ordinal);
    // The current entry's data; 0 at its end.
    platform::Result<std::size_t> read(std::span<std::uint8_t> out);

    struct State;  // defined where libarchive is included

private:
    explicit LibarchiveReader(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace rar
