#include "survey/JsonWriter.h"

#include <cmath>

#include "text/CharConv.h"

namespace bendwise {
namespace {

// Length of the well-formed UTF-8 sequence starting at text[i], 0 when there is none
// (the table of well-formed byte sequences of the Unicode standard, section 3.9).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned char lead = at(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong form
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // no overlong form
        if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
        return 0;
    }
    if (i + length > text.size() || at(1) < low || at(1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k) {
        if ((at(k) & 0xC0) != 0x80) return 0;
    }
    return length;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8Length(text, i);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

namespace {

// JsonNumber and JsonString appended to `out`: a table of 10,000 stakes writes some
// 300,000 of them, and a string of its own for each would cost more than the digits.
void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    // to_chars is locale-independent and prints what printf("%.17g") prints in the C
    // locale: the exact binary value rounded to 17 significant digits.
    char buf[64];
    const auto result = ToChars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    out.append(buf, static_cast<std::size_t>(result.ptr - buf));
}

void AppendJsonString(std::string& out, std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    out.push_back('"');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const unsigned char u = static_cast<unsigned char>(c);
        if (u >= 0x80) {
            const std::size_t length = Utf8Length(text, i);
            if (length == 0) {
                out.append("\\ufffd");
            } else {
                out.append(text.substr(i, length));
                i += length - 1;
            }
            continue;
        }
        switch (c) {
            case '"':
                out.append("\\\"");
                break;
            case '\\':
                out.append("\\\\");
                break;
            case '\n':
                out.append("\\n");
                break;
            case '\r':
                out.append("\\r");
                break;
            case '\t':
                out.append("\\t");
                break;
            default:
                if (u < 0x20) {
                    out.append("\\u00");
                    out.push_back(kHex[u >> 4]);
                    out.push_back(kHex[u & 15]);
                } else {
                    out.push_back(c);
                }
        }
    }
    out.push_back('"');
}

}  // namespace

std::string JsonNumber(double value) {
    std::string out;
    AppendJsonNumber(out, value);
    return out;
}

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

void JsonWriter::BeforeValue() {
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) m_text.push_back(',');
        m_first.back() = false;
    }
}

void JsonWriter::BeginObject() {
    BeforeValue();
    m_text.push_back('{');
    m_first.push_back(true);
}

void JsonWriter::EndObject() {
    m_text.push_back('}');
    m_first.pop_back();
}

void JsonWriter::BeginArray() {
    BeforeValue();
    m_text.push_back('[');
    m_first.push_back(true);
}

void JsonWriter::EndArray() {
    m_text.push_back(']');
    m_first.pop_back();
}

void JsonWriter::Key(std::string_view key) {
    BeforeValue();
    AppendJsonString(m_text, key);
    m_text.push_back(':');
    m_afterKey = true;
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    AppendJsonString(m_text, text);
}

void JsonWriter::Number(double value) {
    BeforeValue();
    AppendJsonNumber(m_text, value);
}

void JsonWriter::Bool(bool value) {
    BeforeValue();
    m_text.append(value ? "true" : "false");
}

void JsonWriter::Null() {
    BeforeValue();
    m_text.append("null");
}

}  // namespace bendwise
