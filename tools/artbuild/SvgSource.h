// One SVG drawing loaded for rendering. Elements can be shown or hidden by id
// before a render (the scene keeps every pose of a character as a group and
// picks the poses per picture).
#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>
#include <map>
#include <string>

class TSvgSource {
public:
    // Raises std::runtime_error when the file cannot be read.
    explicit TSvgSource(const std::string& path);

    // Renders the whole drawing scaled to width x height into a premultiplied
    // ARGB image that starts fully transparent. `display` maps element ids to
    // shown (true) or hidden (false); other elements keep their own setting.
    // Raises std::runtime_error when the drawing is not valid SVG or an id in
    // `display` does not exist.
    QImage Render(int width, int height, const std::map<QString, bool>& display = {}) const;

private:
    std::string path_;
    QByteArray bytes_;
};
