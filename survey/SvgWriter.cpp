#include "survey/SvgWriter.h"

#include <cmath>

#include "math/Trig.h"
#include "text/CharConv.h"

namespace bendwise::svg {

double Norm(Vec a) {
    return math::Hypot(a.x, a.y);
}
bool Finite(Vec a) {
    return std::isfinite(a.x) && std::isfinite(a.y);
}

Vec Unit(Vec v, Vec fallback) {
    const double n = Norm(v);
    return n > 1e-9 && std::isfinite(n) ? (1 / n) * v : fallback;
}

std::string Number(double v) {
    char buf[64];
    if (!std::isfinite(v)) v = 0;  // canvas coordinates only, bounded by the fit
    const auto result = ToChars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    return std::string(buf, static_cast<std::size_t>(result.ptr - buf));
}

std::string Escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&':
                out.append("&amp;");
                break;
            case '<':
                out.append("&lt;");
                break;
            case '>':
                out.append("&gt;");
                break;
            case '"':
                out.append("&quot;");
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

double TextWidth(std::string_view content, double size) {
    double em = 0;
    for (char c : content) {
        const auto u = static_cast<unsigned char>(c);
        if ((u & 0xC0) == 0x80) continue;
        if (c >= '0' && c <= '9') {
            em += 0.636;
        } else if (c >= 'A' && c <= 'Z') {
            em += 0.72;
        } else if (c == ' ' || c == '.' || c == ',') {
            em += 0.318;
        } else if (c == '-') {
            em += 0.361;
        } else if (c == '+') {
            em += 0.838;
        } else {
            em += 0.62;
        }
    }
    return em * size;
}

std::vector<std::string> Wrap(std::string_view note, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t start = 0;
    while (start < note.size()) {
        std::size_t end = note.find(' ', start);
        if (end == std::string_view::npos) end = note.size();
        const std::string_view word = note.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            lines.push_back(line);
            line.clear();
        }
        if (!line.empty()) line.push_back(' ');
        line.append(word);
        start = end + 1;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

}  // namespace bendwise::svg
