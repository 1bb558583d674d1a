// TShelfCard: how a card of the shelf ("My stories") is drawn: a sheet of
// the book's paper with the tale's picture at a whole-pixel scale, the title
// in two lines at most, then the tale's title and the date a line each; a
// picture book carries a band saying so, as does a story read in a grown-up's
// own recorded voice ("Own voice"), a file that cannot be read is faded and
// says so, and the card chosen stands out golden.
#pragma once
#include <QStyledItemDelegate>

class TShelfCard : public QStyledItemDelegate {
public:
    static constexpr int kWidth = 172, kHeight = 236;
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
