// TShelfCard: drawing one card of the shelf.
#include "shelf/forms/ShelfCard.h"

#include <QPainter>
#include <QPixmap>

#include "shelf/StoryShelf.h"
#include "shelf/forms/ShelfModel.h"
#include "story/TaleTable.h"

namespace {

const QColor kPaper(0xff, 0xfa, 0xf0), kInk(0x59, 0x36, 0x1d), kEdge(0xa0, 0x8a, 0x62),
    kChosen(0xf7, 0xc8, 0x43), kFocus(0x2f, 0x6f, 0xb0);

} // namespace

QSize TShelfCard::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {kWidth, kHeight};
}

void TShelfCard::paint(QPainter* painter, const QStyleOptionViewItem& option,
                       const QModelIndex& index) const {
    painter->save();
    const QRect card = option.rect.adjusted(1, 1, -1, -1);
    const bool chosen = option.state & QStyle::State_Selected;
    const bool readable = index.data(TShelfModel::ReadableRole).toBool();
    const auto kind = static_cast<TStoryShelf::Kind>(index.data(TShelfModel::KindRole).toInt());
    const bool book = kind != TStoryShelf::Kind::Story;
    const bool voice = index.data(TShelfModel::VoiceRole).toBool();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(chosen ? kInk : kEdge, chosen ? 2 : 1));
    painter->setBrush(chosen ? kChosen : kPaper);
    painter->drawRect(card.adjusted(0, 0, -1, -1));

    // The picture at the largest whole-pixel scale that fits (1 at least).
    const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
    const QRect frame(card.left() + (card.width() - TTaleTable::kPictureSide) / 2, card.top() + 8,
                      TTaleTable::kPictureSide, TTaleTable::kPictureSide);
    if (!picture.isNull()) {
        painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
        if (!readable)
            painter->setOpacity(0.35);
        painter->drawPixmap(frame, picture);
        painter->setOpacity(1.0);
    } else {
        painter->fillRect(frame, kEdge.lighter(150));
    }
    painter->setPen(kEdge);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(frame.adjusted(-1, -1, 0, 0));
    QFont small = option.font;
    small.setPixelSize(11);
    if (book || !readable || voice) {
        const QRect band(frame.left(), frame.bottom() - 17, frame.width(), 18);
        painter->fillRect(band, !readable ? QColor(0xb0, 0, 0)
                                : book    ? QColor(0x59, 0x36, 0x1d, 200)
                                          : QColor(0x2e, 0x5a, 0x2a, 200));
        painter->setPen(Qt::white);
        QFont bold = small;
        bold.setBold(true);
        painter->setFont(bold);
        painter->drawText(band, Qt::AlignCenter,
                          !readable                                ? "Cannot be read"
                          : kind == TStoryShelf::Kind::TalkingBook ? "Talking book"
                          : book                                   ? "Picture book"
                                                                   : "Own voice");
    }

    // The title, two lines at most, then the tale and the date.
    QFont titleFont = option.font;
    titleFont.setPixelSize(13);
    titleFont.setBold(true);
    painter->setFont(titleFont);
    painter->setPen(kInk);
    const QFontMetrics fm(titleFont);
    const int textLeft = card.left() + 6, textWidth = card.width() - 12;
    // Two lines hold far fewer letters than this.
    const QString title = index.data(Qt::DisplayRole).toString().left(160);
    int y = frame.bottom() + 5;
    QString first = title;
    int cut = title.size();
    while (cut > 0 && fm.horizontalAdvance(title.left(cut)) > textWidth) {
        const int space = title.lastIndexOf(' ', cut - 1);
        cut = space > 0 ? space : cut - 1;
    }
    first = title.left(cut);
    painter->drawText(QRect(textLeft, y, textWidth, fm.height()), Qt::AlignHCenter, first);
    const QString rest = title.mid(cut).trimmed();
    if (!rest.isEmpty())
        painter->drawText(QRect(textLeft, y + fm.height(), textWidth, fm.height()),
                          Qt::AlignHCenter, fm.elidedText(rest, Qt::ElideRight, textWidth));
    // The tale's title and the date, a line each.
    painter->setFont(small);
    painter->setPen(chosen ? kInk : kEdge.darker(130));
    const QFontMetrics sm(small);
    const QString tale = index.data(TShelfModel::TaleNameRole).toString();
    painter->drawText(QRect(textLeft, card.bottom() - 30, textWidth, 14), Qt::AlignHCenter,
                      sm.elidedText(tale, Qt::ElideRight, textWidth));
    painter->drawText(
        QRect(textLeft, card.bottom() - 16, textWidth, 14), Qt::AlignHCenter,
        sm.elidedText(index.data(TShelfModel::DateRole).toString(), Qt::ElideRight, textWidth));
    if (option.state & QStyle::State_HasFocus) {
        painter->setPen(QPen(kFocus, 1, Qt::DotLine));
        painter->drawRect(card.adjusted(3, 3, -4, -4));
    }
    painter->restore();
}
