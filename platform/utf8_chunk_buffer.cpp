#include "platform/utf8_chunk_buffer.h"

#include "platform/utf8.h"

namespace platform {

std::size_t completeUtf8Prefix(std::string_view text) {
    // Look back at most three bytes for the lead byte of the last sequence.
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        const std::size_t length = utf8SequenceLength(byte);
        if (length == 0 && (byte & 0xC0) == 0x80) continue;  // a continuation byte: keep looking
        return back < length ? size - back : size;
    }
    // Only continuation bytes at the end (or none): nothing there can be completed.
    return size;
}

Utf8ChunkBuffer::~Utf8ChunkBuffer() { finish(); }

void Utf8ChunkBuffer::finish() { handOn(true); }

Utf8ChunkBuffer::int_type Utf8ChunkBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof())) return traits_type::not_eof(ch);
    pending_.push_back(traits_type::to_char_type(ch));
    if (ch == '\n' && !handOn(false)) return traits_type::eof();
    return ch;
}

std::streamsize Utf8ChunkBuffer::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<std::size_t>(count));
    // A line goes out as soon as it is complete, as on a terminal.
    if (std::string_view(text, static_cast<std::size_t>(count)).find('\n') != std::string_view::npos && !handOn(false))
        return 0;
    return count;
}

int Utf8ChunkBuffer::sync() { return handOn(false) ? 0 : -1; }

bool Utf8ChunkBuffer::handOn(bool everything) {
    const std::size_t ready = everything ? pending_.size() : completeUtf8Prefix(pending_);
    if (ready == 0) return true;
    const bool written = writer_(std::string_view(pending_).substr(0, ready));
    pending_.erase(0, ready);
    return written;
}

}  // namespace platform
