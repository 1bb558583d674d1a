// TFormBook's letters: the cover spread's choice between the classic and the
// easy-read letters and of bigger letters, kept in the settings, and the
// faces the pages are drawn in.
#include "book/forms/FormBook.h"

#include <QSignalBlocker>

#include "data/InitGame.h"
#include "platform/PrivateProfile.h"

namespace {

QFont Face(const char* family, int pixels) {
    QFont f(family);
    f.setPixelSize(pixels);
    return f;
}

} // namespace

void TFormBook::BuildLetters() {
    // Three toggles in one row, in the twist panel's style: each face's
    // button shows its name in that face.
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
                        Face(TBookLetters::kEasyReadFamily, 12), 54, 66},
          LettersButton{&sbBigLetters, "sbBigLetters", "Bigger", "Bigger letters",
                        Face("Arial", 12), 122, 43}}) {
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
    pnlLetters.setStyleSheet(
        "QToolButton { background: #fffaf0; color: #59361d; border: 1px solid #a08a62;"
        " border-radius: 3px; padding: 0px; }"
        "QToolButton:hover { border-color: #59361d; }"
        "QToolButton:checked { background: #f7c843; border: 2px solid #59361d; }"
        "QToolButton:focus { outline: none; border-color: #2f6fb0; }");
    pnlLetters.hide();

    const TBookLetters kept =
        SettingsFileName.empty()
            ? TBookLetters{}
            : TBookLetters::FromSettings(
                  plat::GetProfileString(TBookLetters::kSection, TBookLetters::kLettersKey, "0",
                                         SettingsFileName),
                  plat::GetProfileString(TBookLetters::kSection, TBookLetters::kBigLettersKey, "0",
                                         SettingsFileName));
    letters_ = kept;
    const QSignalBlocker block(grpLetters);
    (kept.face == TBookLetters::Face::EasyRead ? sbEasyLetters : sbClassicLetters).setChecked(true);
    sbBigLetters.setChecked(kept.big);
    const QFont font = Face(letters_.Family(), letters_.Points() * 4 / 3);
    pbxLeftPage.setFont(font);
    pbxRightPage.setFont(font);
}

void TFormBook::sbLettersClick() {
    TBookLetters chosen;
    chosen.face =
        sbEasyLetters.isChecked() ? TBookLetters::Face::EasyRead : TBookLetters::Face::Classic;
    chosen.big = sbBigLetters.isChecked();
    SetLetters(chosen);
}

void TFormBook::SetLetters(const TBookLetters& letters) {
    {
        const QSignalBlocker block(grpLetters);
        (letters.face == TBookLetters::Face::EasyRead ? sbEasyLetters : sbClassicLetters)
            .setChecked(true);
        sbBigLetters.setChecked(letters.big);
    }
    if (!SettingsFileName.empty()) {
        plat::WriteProfileString(TBookLetters::kSection, TBookLetters::kLettersKey,
                                 letters.LettersValue(), SettingsFileName);
        plat::WriteProfileString(TBookLetters::kSection, TBookLetters::kBigLettersKey,
                                 letters.BigLettersValue(), SettingsFileName);
    }
    if (letters == letters_)
        return;
    StopReading();
    letters_ = letters;
    const QFont font = Face(letters_.Family(), letters_.Points() * 4 / 3);
    pbxLeftPage.setFont(font);
    pbxRightPage.setFont(font);
    Layout();
    if (currentPage_ > 0 && book_.PageCount() + 1 < currentPage_)
        ShowPages(TBookSpread::CommandsSpread(book_.PageCount()));
    else
        ShowPages(currentPage_);
}

QString TFormBook::PageFamily(int page) const {
    return page == 0 ? QString(kPageFont) : QString(letters_.Family());
}

int TFormBook::PageSize(int page) const {
    return page == 0 ? kPagePoints : pagePoints_;
}
