// TLettersPart: the cover's choice between the classic and the easy-read
// letters and of bigger letters, kept in the settings.
#include "book/forms/LettersPart.h"

#include <QImage>
#include <QPainter>
#include <QScreen>
#include <memory>

#include <QSignalBlocker>

#include "book/BookGeometry.h"
#include "book/forms/BookAccess.h"
#include "book/forms/BookGroupAccessible.h"
#include "book/forms/BookHost.h"
#include "book/forms/BookRadioAccessible.h"
#include "book/qt/QtBookBox.h"
#include "platform/qt/QtCanvas.h"
#include "ui/ButtonGroupTab.h"

namespace {

QFont Face(const char* family, int pixels) {
    QFont f(family);
    f.setPixelSize(pixels);
    return f;
}

} // namespace

TLettersPart::TLettersPart(TBookHost& host, QWidget& window)
    : pnlLetters(&window), sbClassicLetters(&pnlLetters), sbEasyLetters(&pnlLetters),
      sbBigLetters(&pnlLetters), grpLetters(&window), host_(host), window_(window) {
    // For screen readers the two faces are one choice of radio buttons in
    // the group "Letters", bigger letters a check box; their actions press
    // them as a click does.
    TBookAccess::Register(
        pnlLetters, [](QWidget* w) { return std::make_unique<TBookGroupAccessible>(w).release(); });
    for (QToolButton* b : {&sbClassicLetters, &sbEasyLetters, &sbBigLetters})
        TBookAccess::Register(*b, [big = b == &sbBigLetters](QWidget* w) {
            return std::make_unique<TBookRadioAccessible>(qobject_cast<QAbstractButton*>(w),
                                                          big ? QAccessible::CheckBox
                                                              : QAccessible::RadioButton)
                .release();
        });
    setParent(&window);
    setObjectName("LettersPart");
    // Three toggles in one row, in the twist panel's style: each face's
    // button shows its name in that face. Three pixels apart, so that a
    // button's focus ring stays off its neighbour.
    pnlLetters.setObjectName("pnlLetters");
    pnlLetters.setFrameStyle(QFrame::Panel | QFrame::Raised);
    pnlLetters.setLineWidth(2);
    pnlLetters.resize(169, 30);
    pnlLetters.setAccessibleName("Letters");
    struct LettersButton {
        QToolButton* b;
        const char* name;
        const char* text;
        const char* accessible;
        QFont font;
        int left, width;
    };
    for (const LettersButton& l :
         {LettersButton{&sbClassicLetters, "sbClassicLetters", "Classic", "Classic letters",
                        Face(TBookLetters::kClassicFamily, 14), 4, 48},
          LettersButton{&sbEasyLetters, "sbEasyLetters", "Easy-read", "Easy-read letters",
                        Face(TBookLetters::kEasyReadFamily, 12), 55, 65},
          LettersButton{&sbBigLetters, "sbBigLetters", "Bigger", "Bigger letters",
                        Face("Arial", 12), 123, 43}}) {
        l.b->setObjectName(l.name);
        l.b->setText(l.text);
        l.b->setAccessibleName(l.accessible);
        l.b->setToolTip(l.accessible);
        l.b->setCheckable(true);
        l.b->setFont(l.font);
        l.b->setGeometry(l.left, 3, l.width, 24);
        connect(l.b, &QToolButton::clicked, this, [this] { sbLettersClick(); });
    }
    grpLetters.addButton(&sbClassicLetters, 0);
    grpLetters.addButton(&sbEasyLetters, 1);
    grpLetters.setExclusive(true);
    TabStopOnChecked(grpLetters);
    pnlLetters.setStyleSheet(
        "QToolButton { background: #fffaf0; color: #59361d; border: 1px solid #a08a62;"
        " border-radius: 3px; padding: 0px; }"
        "QToolButton:hover { border-color: #59361d; }"
        "QToolButton:checked { background: #f7c843; border: 2px solid #59361d; }"
        "QToolButton:focus { outline: none; }");
    pnlLetters.hide();

    const plat::Settings& settings = host_.Settings();
    letters_ = TBookLetters::FromSettings(settings.Get(TBookLetters::kLettersKey, "0"),
                                          settings.Get(TBookLetters::kBigLettersKey, "0"));
    ShowChoice();
    for (QWidget* w : TabStops())
        host_.RingControl(*w);
    ScreenArea = [this] {
        const QScreen* s = window_.screen();
        return s ? s->availableGeometry() : QRect();
    };
}

void TLettersPart::Show(const TBookSpread::Controls& controls) {
    pnlLetters.setVisible(controls.twistAndNewStory);
}

std::vector<QWidget*> TLettersPart::TabStops() {
    return {&sbClassicLetters, &sbEasyLetters, &sbBigLetters};
}

void TLettersPart::GrowWindow() {
    if (!letters_.big || window_.isMaximized() || window_.isFullScreen() || !ScreenArea)
        return;
    QRect area = ScreenArea();
    if (area.isEmpty())
        return;
    QImage scratch = plat::QtCanvas::MeasureImage(96);
    QPainter painter(&scratch);
    plat::QtCanvas canvas(painter, letters_.Family(), letters_.Points());
    // The window's first size is its smallest.
    const TBookBox need = TBookGeometry::ClientForLine(
        letters_.LineNeeded(canvas), window_.minimumWidth(), window_.minimumHeight());
    // The area the client may take: the screen's less the window's frame.
    const QRect frame = window_.frameGeometry(), client = window_.geometry();
    area.adjust(client.left() - frame.left(), client.top() - frame.top(),
                -(frame.right() - client.right()), -(frame.bottom() - client.bottom()));
    const TBookBox now{client.x(), client.y(), client.width(), client.height()};
    const TBookBox grown = TBookGeometry::GrowWithin(
        now, need.width, need.height, {area.x(), area.y(), area.width(), area.height()});
    if (!(grown == now))
        window_.setGeometry(ToQRect(grown));
}

void TLettersPart::ShowChoice() {
    const QSignalBlocker block(grpLetters);
    (letters_.face == TBookLetters::Face::EasyRead ? sbEasyLetters : sbClassicLetters)
        .setChecked(true);
    sbBigLetters.setChecked(letters_.big);
}

void TLettersPart::sbLettersClick() {
    TBookLetters chosen;
    chosen.face =
        sbEasyLetters.isChecked() ? TBookLetters::Face::EasyRead : TBookLetters::Face::Classic;
    chosen.big = sbBigLetters.isChecked();
    SetLetters(chosen);
}

void TLettersPart::SetLetters(const TBookLetters& letters) {
    host_.Settings().Set(TBookLetters::kLettersKey, letters.LettersValue());
    host_.Settings().Set(TBookLetters::kBigLettersKey, letters.BigLettersValue());
    const bool changed = !(letters == letters_);
    letters_ = letters;
    ShowChoice();
    if (changed)
        host_.Relayout();
}
