// TLettersPart: the cover's choice between the classic and the easy-read
// letters and of bigger letters, kept in the settings.
#include "book/forms/LettersPart.h"

#include <QSignalBlocker>

#include "book/forms/BookHost.h"
#include "data/InitGame.h"
#include "platform/PrivateProfile.h"
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
      sbBigLetters(&pnlLetters), grpLetters(&window), host_(host) {
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

    if (!SettingsFileName.empty())
        letters_ = TBookLetters::FromSettings(
            plat::GetProfileString(TBookLetters::kSection, TBookLetters::kLettersKey, "0",
                                   SettingsFileName),
            plat::GetProfileString(TBookLetters::kSection, TBookLetters::kBigLettersKey, "0",
                                   SettingsFileName));
    ShowChoice();
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
    if (!SettingsFileName.empty()) {
        plat::WriteProfileString(TBookLetters::kSection, TBookLetters::kLettersKey,
                                 letters.LettersValue(), SettingsFileName);
        plat::WriteProfileString(TBookLetters::kSection, TBookLetters::kBigLettersKey,
                                 letters.BigLettersValue(), SettingsFileName);
    }
    const bool changed = !(letters == letters_);
    letters_ = letters;
    ShowChoice();
    if (changed)
        host_.Relayout();
}
