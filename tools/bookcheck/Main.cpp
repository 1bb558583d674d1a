// bookcheck: renders art sources for review and assembles the storybook book.
//   bookcheck render SVG W H OUT.png [--palette FILE] [--scale N]
//   bookcheck book SHEET.png W H OUT.png [--back] [--forward] [--cover PIC.png LEVEL]
//   bookcheck tile TILE.png W H OUT.png
#include <QGuiApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

#include "BookAssembler.h"
#include "PaletteMapper.h"

namespace {

int Fail(const char* msg) {
    std::fprintf(stderr, "bookcheck: %s\n", msg);
    return 1;
}

QString Option(QStringList& args, const QString& name) {
    const int i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return {};
    const QString v = args[i + 1];
    args.remove(i, 2);
    return v;
}

bool Flag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

int Render(QStringList args) {
    const QString palette = Option(args, "--palette");
    const int scale = std::max(1, Option(args, "--scale").toInt());
    if (args.size() != 4)
        return Fail("usage: render SVG W H OUT.png [--palette FILE] [--scale N]");
    QSvgRenderer svg(args[0]);
    if (!svg.isValid())
        return Fail("cannot read the SVG");
    QImage img(args[1].toInt(), args[2].toInt(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter p(&img);
        svg.render(&p);
    }
    if (!palette.isEmpty()) {
        PaletteMapper mapper;
        if (!mapper.Load(palette))
            return Fail("cannot read the palette");
        img = mapper.Map(img);
    }
    if (scale > 1)
        img = img.scaled(img.width() * scale, img.height() * scale);
    return img.save(args[3]) ? 0 : Fail("cannot write the PNG");
}

int Book(QStringList args) {
    const bool back = Flag(args, "--back");
    const bool forward = Flag(args, "--forward");
    const QString cover = Option(args, "--cover");
    const int level = cover.isEmpty() ? 0 : args.takeLast().toInt();
    if (args.size() != 4)
        return Fail("usage: book SHEET.png W H OUT.png [--back] [--forward] [--cover PIC LEVEL]");
    const QImage sheet(args[0]);
    if (sheet.size() != QSize(500, 300))
        return Fail("the book sheet must be 500 x 300");
    const int w = args[1].toInt();
    const int h = args[2].toInt();
    QImage img = BookAssembler::Assemble(sheet, w, h, back, forward);
    if (!cover.isEmpty()) {
        // The cover picture where the cover page puts it for a page area of
        // the left page's size with margins 8.
        const QImage pic(cover);
        const int pw = w / 2 - 80;
        const int ph = h - 98;
        const int b = 5 * 150 <= 2 * ph ? ph * 3 / 5 : ph - 150 - 8;
        QPainter p(&img);
        p.drawImage(QPoint(60 + (pw - 150) / 2, 49 + b - 8 - 4), pic,
                    QRect(0, level * 150, 150, 150));
        p.setPen(Qt::black);
        p.drawRect(60 + 8, 49 + 8, pw - 17, ph - 17);
        p.drawRect(60 + 11, 49 + 11, pw - 23, ph - 23);
    }
    return img.save(args[3]) ? 0 : Fail("cannot write the PNG");
}

int Tile(QStringList args) {
    if (args.size() != 4)
        return Fail("usage: tile TILE.png W H OUT.png");
    const QImage tile(args[0]);
    if (tile.isNull())
        return Fail("cannot read the tile");
    QImage img(args[1].toInt(), args[2].toInt(), QImage::Format_RGB32);
    QPainter p(&img);
    for (int y = 0; y < img.height(); y += tile.height())
        for (int x = 0; x < img.width(); x += tile.width())
            p.drawImage(x, y, tile);
    p.end();
    return img.save(args[3]) ? 0 : Fail("cannot write the PNG");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return Fail("usage: bookcheck render|book|tile ...");
    const QString cmd = args.takeFirst();
    if (cmd == "render")
        return Render(args);
    if (cmd == "book")
        return Book(args);
    if (cmd == "tile")
        return Tile(args);
    return Fail("unknown command");
}
