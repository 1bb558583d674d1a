// Conversion between the engine's single-byte Latin-1 strings and QString.
#pragma once
#include <QString>
#include <string>

inline QString ToQString(const std::string& s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Characters outside Latin-1 become "?".
inline std::string FromQString(const QString& s) {
    QByteArray bytes = s.toLatin1();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
