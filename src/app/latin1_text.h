#pragma once

#include <QString>
#include <string>

namespace tarvik {

// The toolkit's texts are 8-bit; windows show them as Latin-1, byte for byte.
inline QString Latin1(const std::string& text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
inline std::string Bytes(const QString& text) {
    return text.toLatin1().toStdString();
}

} // namespace tarvik
