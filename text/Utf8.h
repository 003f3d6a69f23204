// UTF-8 as the fields hold it: what counts as one character.
#pragma once

#include <cstddef>
#include <string_view>

namespace bendwise {

// The length of the well-formed UTF-8 sequence that starts at `at`, or 1 for a byte that
// starts none (ASCII, or a stray byte such as a Latin-1 degree sign, which is then one
// character of its own).
inline std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
    }
    if (at + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[at + k]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// Characters of a text, each well-formed sequence one and every other byte one.
inline std::size_t Utf8Characters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) i += Utf8SequenceLength(text, i);
    return count;
}

}  // namespace bendwise
