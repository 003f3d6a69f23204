// Just enough XML and JSON reading to tell whether a document is well formed, so the tests
// need no parser library. Both return an empty text when the document is well formed, or
// the first fault and its byte offset.
#pragma once

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace bendwise::test {

// XML 1.0 well-formedness, for documents without a DTD: an optional declaration, comments,
// exactly one root element, every element closed in order, attribute values quoted with
// no '<' and no attribute twice, and '&' only in the five named or numeric references.
inline std::string CheckXml(std::string_view doc) {
    std::size_t i = 0;
    std::vector<std::string> open;
    int roots = 0;
    auto fault = [&](const std::string& what) { return what + " at byte " + std::to_string(i); };
    auto isNameStart = [](char c) {
        return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == ':';
    };
    auto isNameChar = [&](char c) {
        return isNameStart(c) || std::isdigit(static_cast<unsigned char>(c)) || c == '-' ||
               c == '.';
    };
    auto name = [&]() {
        const std::size_t start = i;
        if (i < doc.size() && isNameStart(doc[i])) {
            while (i < doc.size() && isNameChar(doc[i])) ++i;
        }
        return std::string(doc.substr(start, i - start));
    };
    auto skipBlanks = [&]() {
        while (i < doc.size() && std::isspace(static_cast<unsigned char>(doc[i]))) ++i;
    };
    auto reference = [&]() -> bool {  // at '&'
        const std::size_t end = doc.find(';', i);
        if (end == std::string_view::npos) return false;
        const std::string_view ref = doc.substr(i + 1, end - i - 1);
        bool ok = ref == "amp" || ref == "lt" || ref == "gt" || ref == "quot" || ref == "apos";
        if (!ok && ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string_view digits = ref.substr(hex ? 2 : 1);
            ok = !digits.empty();
            for (char c : digits) {
                ok = ok && (hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0
                                : std::isdigit(static_cast<unsigned char>(c)) != 0);
            }
        }
        i = end + 1;
        return ok;
    };

    if (doc.substr(0, 5) == "<?xml") {
        const std::size_t end = doc.find("?>");
        if (end == std::string_view::npos) return fault("unclosed declaration");
        i = end + 2;
    }
    while (i < doc.size()) {
        if (doc[i] != '<') {
            if (open.empty() && !std::isspace(static_cast<unsigned char>(doc[i]))) {
                return fault("text outside the root element");
            }
            if (doc[i] == '&') {
                if (!reference()) return fault("bad reference");
                continue;
            }
            ++i;
            continue;
        }
        if (doc.substr(i, 4) == "<!--") {
            const std::size_t end = doc.find("-->", i + 4);
            if (end == std::string_view::npos) return fault("unclosed comment");
            i = end + 3;
            continue;
        }
        if (doc.substr(i, 2) == "</") {
            i += 2;
            const std::string closing = name();
            skipBlanks();
            if (i >= doc.size() || doc[i] != '>') return fault("bad end tag");
            if (open.empty() || open.back() != closing)
                return fault("end tag </" + closing + "> out of order");
            open.pop_back();
            ++i;
            continue;
        }
        ++i;
        const std::string element = name();
        if (element.empty()) return fault("bad element name");
        if (open.empty() && ++roots > 1) return fault("second root element");
        std::set<std::string> attributes;
        for (;;) {
            const std::size_t before = i;
            skipBlanks();
            if (i >= doc.size()) return fault("unclosed start tag");
            if (doc[i] == '>') {
                open.push_back(element);
                ++i;
                break;
            }
            if (doc.substr(i, 2) == "/>") {
                i += 2;
                break;
            }
            if (i == before) return fault("no blank before attribute");
            const std::string attribute = name();
            if (attribute.empty()) return fault("bad attribute name");
            if (!attributes.insert(attribute).second)
                return fault("attribute " + attribute + " twice");
            skipBlanks();
            if (i >= doc.size() || doc[i] != '=') return fault("attribute without '='");
            ++i;
            skipBlanks();
            if (i >= doc.size() || (doc[i] != '"' && doc[i] != '\''))
                return fault("unquoted attribute");
            const char quote = doc[i++];
            while (i < doc.size() && doc[i] != quote) {
                if (doc[i] == '<') return fault("'<' in attribute value");
                if (doc[i] == '&') {
                    if (!reference()) return fault("bad reference");
                } else {
                    ++i;
                }
            }
            if (i >= doc.size()) return fault("unclosed attribute value");
            ++i;
        }
    }
    if (!open.empty()) return fault("element <" + open.back() + "> not closed");
    if (roots != 1) return fault("no root element");
    return {};
}

// RFC 8259 JSON: one value, then only white space.
class JsonChecker {
  public:
    explicit JsonChecker(std::string_view text) : m_text(text) {}

    std::string Check() {
        Blanks();
        if (!Value()) return Fault();
        Blanks();
        if (m_at != m_text.size()) return "text after the value at byte " + std::to_string(m_at);
        return {};
    }

  private:
    std::string Fault() const { return "bad JSON at byte " + std::to_string(m_at); }
    bool More() const { return m_at < m_text.size(); }
    char Peek() const { return More() ? m_text[m_at] : '\0'; }
    void Blanks() {
        while (More() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++m_at;
    }
    bool Literal(std::string_view word) {
        if (m_text.substr(m_at, word.size()) != word) return false;
        m_at += word.size();
        return true;
    }
    bool Digits() {
        const std::size_t start = m_at;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) ++m_at;
        return m_at > start;
    }
    bool Number() {
        if (Peek() == '-') ++m_at;
        if (Peek() == '0') {
            ++m_at;
        } else if (!Digits()) {
            return false;
        }
        if (Peek() == '.') {
            ++m_at;
            if (!Digits()) return false;
        }
        if (Peek() == 'e' || Peek() == 'E') {
            ++m_at;
            if (Peek() == '+' || Peek() == '-') ++m_at;
            if (!Digits()) return false;
        }
        return true;
    }
    bool String() {
        if (Peek() != '"') return false;
        ++m_at;
        while (More() && Peek() != '"') {
            const unsigned char c = static_cast<unsigned char>(Peek());
            if (c < 0x20) return false;
            ++m_at;
            if (c != '\\') continue;
            const char e = Peek();
            ++m_at;
            if (e == 'u') {
                for (int k = 0; k < 4; ++k, ++m_at) {
                    if (!std::isxdigit(static_cast<unsigned char>(Peek()))) return false;
                }
            } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                return false;
            }
        }
        if (!More()) return false;
        ++m_at;
        return true;
    }
    bool Members(char close, bool object) {
        ++m_at;
        Blanks();
        if (Peek() == close) {
            ++m_at;
            return true;
        }
        for (;;) {
            Blanks();
            if (object) {
                if (!String()) return false;
                Blanks();
                if (Peek() != ':') return false;
                ++m_at;
                Blanks();
            }
            if (!Value()) return false;
            Blanks();
            if (Peek() == ',') {
                ++m_at;
                continue;
            }
            if (Peek() != close) return false;
            ++m_at;
            return true;
        }
    }
    bool Value() {
        switch (Peek()) {
            case '{':
                return Members('}', true);
            case '[':
                return Members(']', false);
            case '"':
                return String();
            case 't':
                return Literal("true");
            case 'f':
                return Literal("false");
            case 'n':
                return Literal("null");
            default:
                return Number();
        }
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

inline std::string CheckJson(std::string_view text) {
    return JsonChecker(text).Check();
}

}  // namespace bendwise::test
