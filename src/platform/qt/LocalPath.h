// Paths between Qt and the file layer. A path is bytes in the system's own
// encoding from end to end: it crosses to and from QString only through
// QFile's file-name encoding, never as Latin-1 text.
#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

inline QString PathToQString(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

inline std::string PathFromQString(const QString& path) {
    const QByteArray bytes = QFile::encodeName(path);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
