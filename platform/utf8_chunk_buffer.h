#pragma once
// A stream buffer that hands its text on in whole UTF-8 characters: a character split
// between two writes waits in the buffer for its remaining bytes, so a receiver that
// converts each piece on its own (to UTF-16 for a console window) never sees half of one.
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace platform {

class Utf8ChunkBuffer final : public std::streambuf {
public:
    using Writer = std::function<bool(std::string_view)>;

    explicit Utf8ChunkBuffer(Writer writer) : writer_(std::move(writer)) {}
    Utf8ChunkBuffer(const Utf8ChunkBuffer&) = delete;
    Utf8ChunkBuffer& operator=(const Utf8ChunkBuffer&) = delete;
    ~Utf8ChunkBuffer() override;

    // Hands on what is still held, an unfinished character included.
    void finish();

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    bool handOn(bool everything);

    Writer writer_;
    std::string pending_;
};

// How many leading bytes of `text` end on a character boundary: all of them unless the
// text stops inside a multi-byte sequence that could still be completed.
std::size_t completeUtf8Prefix(std::string_view text);

}  // namespace platform
