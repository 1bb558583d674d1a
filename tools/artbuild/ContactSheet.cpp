// Composition of the review contact sheet.
#include "ContactSheet.h"

#include <QFont>
#include <QPainter>
#include <QString>

#include "SceneLayout.h"
#include "book/BookPieces.h"
#include "book/qt/QtBookPieces.h"
#include "story/TaleTable.h"

namespace {

QImage Load(const std::string& dir, const char* name) {
    QImage img(QString::fromStdString(dir) + QLatin1Char('/') + QLatin1String(name) +
               QStringLiteral(".png"));
    return img.isNull() ? img : img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void Label(QPainter& p, int x, int y, const QString& text) {
    p.setPen(QColor(40, 30, 20));
    p.drawText(x, y, text);
}

void Missing(QPainter& p, int x, int y, int w, int h, const QString& name) {
    p.fillRect(x, y, w, h, QColor(230, 200, 200));
    Label(p, x + 4, y + 16, name + QStringLiteral(" missing"));
}

} // namespace

QImage TContactSheet::AssembleBook(const QImage& book, int W, int H) {
    QImage out(W, H, QImage::Format_ARGB32_Premultiplied);
    out.fill(QColor(255, 0, 255)); // anything left unpainted shows loudly
    QPainter p(&out);
    QtBookPieces::Paint(p, book, W, H, true, true);
    return out;
}

QImage TContactSheet::Render(const std::string& artDir, const std::string& cursorDir) {
    using L = TSceneLayout;
    const std::string yarns = artDir + "/yarns";
    const std::string start = artDir + "/fbwstart";
    QImage sheet(1640, 1930, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(250, 246, 236));
    QPainter p(&sheet);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);

    // The scene at rest, and with every animation in frame 1 and every balloon.
    const QImage main = Load(yarns, "main");
    const QImage frames = Load(yarns, "animsrc");
    const QImage speech = Load(yarns, "speech");
    Label(p, 10, 20, QStringLiteral("main (rest)"));
    Label(p, 580, 20, QStringLiteral("frame 1 of every animation, every balloon"));
    Label(p, 1150, 20, QStringLiteral("animsrc, speech"));
    if (main.isNull() || frames.isNull() || speech.isNull()) {
        Missing(p, 10, 30, 550, 370, QStringLiteral("main/animsrc/speech"));
    } else {
        p.drawImage(10, 30, main);
        QImage busy = main.copy();
        {
            QPainter q(&busy);
            for (const auto& a : L::Anims)
                q.drawImage(QPoint(a.sceneX, a.sceneY), frames,
                            QRect(a.frame1X, a.frame1Y, a.width, a.height));
            for (const auto& b : L::Balloons)
                q.drawImage(QPoint(b.sceneX, b.sceneY), speech,
                            QRect(b.srcX, b.srcY, b.width, b.height));
        }
        p.drawImage(580, 30, busy);
        p.drawImage(1150, 30, frames);
        p.fillRect(1150, 225, speech.width(), speech.height(), QColor(120, 160, 110));
        p.drawImage(1150, 225, speech);
    }

    // The storybook at its smallest client size and at a larger one.
    const QImage book = Load(yarns, "book");
    Label(p, 10, 680, QStringLiteral("book at 592 x 418 and 900 x 560"));
    if (book.isNull()) {
        Missing(p, 10, 690, 592, 418, QStringLiteral("book"));
    } else {
        p.drawImage(10, 690, AssembleBook(book, 592, 418));
        p.drawImage(620, 690, AssembleBook(book, 900, 560));
    }

    // The tale pictures, three twist levels each.
    Label(p, 10, 1275, QStringLiteral("tale pictures: plain, half, full"));
    for (int i = 0; i < TTaleTable::kCount; ++i) {
        const std::string name = TTaleTable::ShortName(i + 1);
        const QImage tale = Load(yarns, name.c_str());
        const int x = 10 + i * 162;
        if (tale.isNull())
            Missing(p, x, 1285, 150, 450, QString::fromLatin1(name.c_str()));
        else
            p.drawImage(x, 1285, tale);
    }

    // Tiles tiled, the loading icon on the button face, the cursors.
    static const char* const tiles[] = {"grntile", "bktile3", "booktile"};
    Label(p, 10, 1760, QStringLiteral("tiles, loading icon, cursors"));
    for (int i = 0; i < 3; ++i) {
        const QImage tile = Load(yarns, tiles[i]);
        const int x = 10 + i * 170;
        if (tile.isNull())
            Missing(p, x, 1770, 160, 150, QString::fromLatin1(tiles[i]));
        else
            p.fillRect(x, 1770, 160, 150, QBrush(tile));
    }
    const QImage icon = Load(start, "rh2_icon");
    p.fillRect(530, 1770, 100, 150, QColor(212, 208, 200));
    if (icon.isNull())
        Missing(p, 549, 1790, 62, 103, QStringLiteral("rh2_icon"));
    else
        p.drawImage(549, 1790, icon);
    static const char* const cursors[] = {"ACTIVATE", "ARR_RT", "ARR_LT", "ARROW_1", "ARROW_2"};
    for (int i = 0; i < 5; ++i) {
        const QImage cur = Load(cursorDir, cursors[i]);
        const int x = 660 + i * 90;
        p.fillRect(x, 1770, 80, 80, QColor(255, 255, 255));
        p.fillRect(x, 1850, 80, 70, QColor(90, 140, 80));
        if (cur.isNull()) {
            Missing(p, x, 1770, 80, 80, QString::fromLatin1(cursors[i]));
        } else {
            p.drawImage(QRect(x + 8, 1778, 64, 64), cur);
            p.drawImage(x + 24, 1870, cur);
        }
    }
    p.end();
    return sheet;
}
