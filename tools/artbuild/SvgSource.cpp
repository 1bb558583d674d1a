// SVG rendering through Qt Svg with per-render element visibility.
#include "SvgSource.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <set>
#include <stdexcept>

namespace {

// Copies the SVG, setting display="none" or display="inline" on the elements
// named in `display`; fills `seen` with the ids it found.
QByteArray ApplyDisplay(const QByteArray& in, const std::map<QString, bool>& display,
                        std::set<QString>& seen) {
    QByteArray out;
    QXmlStreamReader reader(in);
    QXmlStreamWriter writer(&out);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            QXmlStreamAttributes attrs = reader.attributes();
            const QString id = attrs.value(QStringLiteral("id")).toString();
            auto it = display.find(id);
            if (!id.isEmpty() && it != display.end()) {
                seen.insert(id);
                QXmlStreamAttributes kept;
                for (const auto& a : attrs)
                    if (a.qualifiedName() != QStringLiteral("display"))
                        kept.append(a);
                kept.append(QStringLiteral("display"),
                            it->second ? QStringLiteral("inline") : QStringLiteral("none"));
                attrs = kept;
            }
            writer.writeStartElement(reader.namespaceUri().toString(), reader.name().toString());
            for (const auto& ns : reader.namespaceDeclarations())
                writer.writeNamespace(ns.namespaceUri().toString(), ns.prefix().toString());
            writer.writeAttributes(attrs);
        } else if (!reader.isStartDocument() && !reader.isDTD()) {
            writer.writeCurrentToken(reader);
        }
    }
    if (reader.hasError())
        throw std::runtime_error(reader.errorString().toStdString());
    return out;
}

} // namespace

TSvgSource::TSvgSource(const std::string& path) : path_(path) {
    QFile f(QString::fromStdString(path));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(path + ": cannot read");
    bytes_ = f.readAll();
}

QImage TSvgSource::Render(int width, int height, const std::map<QString, bool>& display) const {
    QByteArray doc = bytes_;
    if (!display.empty()) {
        std::set<QString> seen;
        try {
            doc = ApplyDisplay(bytes_, display, seen);
        } catch (const std::exception& e) {
            throw std::runtime_error(path_ + ": " + e.what());
        }
        for (const auto& [id, shown] : display)
            if (!seen.count(id))
                throw std::runtime_error(path_ + ": no element with id \"" + id.toStdString() +
                                         "\"");
    }
    QSvgRenderer renderer(doc);
    if (!renderer.isValid())
        throw std::runtime_error(path_ + ": not a valid SVG drawing");
    QImage img(width, height, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    renderer.render(&painter, QRectF(0, 0, width, height));
    painter.end();
    return img;
}
