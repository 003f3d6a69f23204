#include "survey/JsonWriter.h"

#include <cmath>

#include "text/CharConv.h"

namespace bendwise {

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    // to_chars is locale-independent and prints what printf("%.17g") prints in the C
    // locale: the exact binary value rounded to 17 significant digits.
    char buf[64];
    const auto result = ToChars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
    return std::string(buf, static_cast<std::size_t>(result.ptr - buf));
}

std::string JsonString(std::string_view text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
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
    m_text.append(JsonString(key)).push_back(':');
    m_afterKey = true;
}

void JsonWriter::String(std::string_view text) {
    BeforeValue();
    m_text.append(JsonString(text));
}

void JsonWriter::Number(double value) {
    BeforeValue();
    m_text.append(JsonNumber(value));
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
