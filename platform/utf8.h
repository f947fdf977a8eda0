#pragma once
// The program's one reading and writing of UTF-8 code points. Every layer that takes text
// apart into characters goes through these, so that all of them agree on what is valid:
// no overlong forms, no surrogates, nothing past U+10FFFF.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;  // 0: no valid character starts at that byte
};

Utf8Char decodeUtf8(std::string_view text, std::size_t at);

// How long the sequence a byte leads is meant to be: 1 for ASCII, 2 to 4 for a lead byte,
// 0 for a continuation byte or one that leads nothing.
std::size_t utf8SequenceLength(unsigned char lead);

void appendUtf8(std::string& out, char32_t codePoint);

}  // namespace platform
