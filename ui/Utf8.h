// The engine's texts (UTF-8 in std::string) as Qt strings.
#pragma once

#include <QString>
#include <string_view>

namespace bendwise {

inline QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace bendwise
