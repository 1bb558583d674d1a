// TFormShelf: the shelf's window, its wiring, and opening and binning cards.
#include "shelf/forms/FormShelf.h"

#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <stdexcept>

#include "image/LibraryImage.h"
#include "image/RL8Library.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/Trash.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/LocalPath.h"
#include "shelf/StoryVoice.h"
#include "shelf/forms/ShelfCard.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/TileBG.h"

namespace {

constexpr int kMargin = 12, kBarHeight = 30, kButtonWidth = 132, kButtonHeight = 29;
// The filter holds the longest tale's title; the note's line above the cards.
constexpr int kFilterWidth = 230, kNoteHeight = 20;

// What the player calls a card's file: its title, else its file name.
std::string NameOf(const TStoryShelf::Item& item) {
    return item.readable && !item.title.empty() ? plat::Utf8ToLatin1(item.title)
                                                : plat::PathText(item.fileName);
}

} // namespace

TFormShelf::TFormShelf(const std::string& folder, int tale, TRL8Library& library, QWidget* parent)
    : QDialog(parent), lblTitle(this), cboTale(this), lblNote(this), lstStories(this),
      cmdOpen(this), cmdBin(this), cmdUndo(this), cmdClose(this) {
    model_ = std::make_unique<TShelfModel>(folder);
    model_->Thumbnail = [this](int n) { return Thumbnail(n); };
    model_->SetTale(TTaleTable::IsTale(tale) ? tale : 0);
    // A tale with no stories of its own shows them all, and says so.
    if (model_->Tale() != 0 && model_->rowCount() == 0 && !model_->Shelf().Items().empty()) {
        emptyTale_ = model_->Tale();
        model_->SetTale(0);
    }
    cards_ = std::make_unique<TShelfCard>();
    OpenDocument = TShowInFolder::OpenDocument;
    MoveToTrash = [](const std::string& path, std::string& inTrash) {
        QString trashed;
        const bool moved = QFile::moveToTrash(PathToQString(path), &trashed);
        inTrash = moved ? PathFromQString(trashed) : std::string();
        return moved;
    };
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    tiles_ = std::make_unique<TileBG::TTileBG>(this, library, "booktile");
    Build();
    {
        const QSignalBlocker quiet(cboTale); // the player has chosen nothing yet
        cboTale.setCurrentIndex(model_->Tale());
    }
    if (model_->rowCount() > 0)
        Choose({}, 0);
    UpdateButtons();
    ShowNote();
    // Last: nothing after this can fail.
    library_.Reset(&library);
}

TFormShelf::~TFormShelf() {
    lstStories.setModel(nullptr);
}

std::optional<TFormShelf::Choice>
TFormShelf::Pick(const std::string& folder, int tale, TRL8Library& library, QWidget* parent,
                 const ErrorSink& errors,
                 const std::function<bool(const std::string&)>& openDocument,
                 const std::function<void(TFormShelf&)>& exec) {
    std::optional<Choice> chosen;
    TFormShelf shelf(folder, tale, library, parent);
    shelf.ShowError = errors;
    shelf.OpenStory = [&chosen](int t, const std::string& path) { chosen = Choice{t, path}; };
    if (openDocument)
        shelf.OpenDocument = openDocument;
    exec(shelf);
    if (chosen && !TTaleTable::IsTale(chosen->tale))
        chosen.reset();
    return chosen;
}

void TFormShelf::Build() {
    setObjectName("FormShelf");
    setWindowTitle("My stories");
    QFont font("Arial");
    font.setPixelSize(12);
    setFont(font);
    setMinimumSize(400, 300);
    resize(592, 418);

    lblTitle.setObjectName("lblTitle");
    lblTitle.setText("My stories");
    QFont big("Arial");
    big.setPixelSize(20);
    big.setBold(true);
    lblTitle.setFont(big);
    QPalette ink = lblTitle.palette();
    ink.setColor(QPalette::WindowText, QColor(0x59, 0x36, 0x1d));
    lblTitle.setPalette(ink);

    cboTale.setObjectName("cboTale");
    cboTale.setAccessibleName("Which stories");
    cboTale.addItem("All tales");
    for (int n = 1; n <= TTaleTable::kCount; ++n)
        cboTale.addItem(ToQString(TTaleTable::Title(n)));
    connect(&cboTale, &QComboBox::currentIndexChanged, this,
            [this] { RunHandler(ShowError, [this] { cboTaleChange(); }); });

    lblNote.setObjectName("lblNote");
    lblNote.setWordWrap(true);
    lblNote.setTextFormat(Qt::PlainText);
    lblNote.setPalette(ink);
    QFont noteFont("Arial");
    noteFont.setPixelSize(14);
    lblNote.setFont(noteFont);
    lblNote.hide();

    lstStories.setObjectName("lstStories");
    lstStories.setAccessibleName("My stories");
    lstStories.setViewMode(QListView::IconMode);
    lstStories.setMovement(QListView::Static);
    lstStories.setResizeMode(QListView::Adjust);
    lstStories.setFlow(QListView::LeftToRight);
    lstStories.setWrapping(true);
    lstStories.setUniformItemSizes(true);
    lstStories.setSpacing(4);
    // The cards wrap into rows: the list only ever scrolls down.
    lstStories.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lstStories.setSelectionMode(QAbstractItemView::SingleSelection);
    lstStories.setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstStories.setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    lstStories.setFrameShape(QFrame::NoFrame);
    lstStories.setItemDelegate(cards_.get());
    lstStories.setModel(model_.get());
    // The book's tiles show between the cards.
    lstStories.setAutoFillBackground(false);
    lstStories.viewport()->setAutoFillBackground(false);
    lstStories.setStyleSheet("QListView { background: transparent; }");
    lstStories.installEventFilter(this);
    connect(&lstStories, &QListView::doubleClicked, this,
            [this] { RunHandler(ShowError, [this] { cmdOpenClick(); }); });
    connect(lstStories.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& now) {
                if (const TStoryShelf::Item* i = model_->ItemAt(now.row()))
                    chosen_ = i->fileName;
                UpdateButtons();
            });
    // A list made again keeps the card chosen, or the one in its place.
    connect(model_.get(), &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (const TStoryShelf::Item* i = model_->ItemAt(CurrentRow()))
            chosen_ = i->fileName;
    });
    connect(model_.get(), &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { rowBefore_ = CurrentRow(); });
    connect(model_.get(), &QAbstractItemModel::modelReset, this, [this] {
        Choose(chosen_, rowBefore_);
        UpdateButtons();
        ShowNote();
    });

    struct Button {
        QPushButton& b;
        const char* name;
        const char* text;
        const char* glyph;
        void (TFormShelf::*click)();
    };
    for (const Button& b :
         {Button{cmdOpen, "cmdOpen", "Open", "readsave", &TFormShelf::cmdOpenClick},
          Button{cmdBin, "cmdBin", "Put in the bin", "", &TFormShelf::cmdBinClick},
          Button{cmdUndo, "cmdUndo", "Undo", "", &TFormShelf::cmdUndoClick},
          Button{cmdClose, "cmdClose", "Close", "", nullptr}}) {
        b.b.setObjectName(b.name);
        b.b.setText(b.text);
        b.b.setAutoDefault(false);
        StyleCommand(b.b, b.glyph);
        if (b.click)
            connect(&b.b, &QPushButton::clicked, this, [this, click = b.click] {
                RunHandler(ShowError, [this, click] { (this->*click)(); });
            });
    }
    connect(&cmdClose, &QPushButton::clicked, this, [this] { reject(); });
    cmdUndo.setShortcut(QKeySequence::Undo);
    cmdUndo.setToolTip("Put back the last story put in the bin (Ctrl+Z)");
    cmdUndo.hide();
    setTabOrder(&lstStories, &cmdOpen);
    setTabOrder(&cmdOpen, &cmdBin);
    setTabOrder(&cmdBin, &cmdUndo);
    setTabOrder(&cmdUndo, &cmdClose);
    setTabOrder(&cmdClose, &cboTale);
    lstStories.setFocus();
}

void TFormShelf::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    const int filter = std::min(kFilterWidth, w / 2);
    cboTale.setGeometry(w - kMargin - filter, kMargin + 2, filter, kBarHeight - 4);
    lblTitle.setGeometry(kMargin, kMargin, w - 3 * kMargin - filter, kBarHeight);
    const int foot = h - kMargin - kButtonHeight;
    cmdOpen.setGeometry(kMargin, foot, kButtonWidth, kButtonHeight);
    cmdBin.setGeometry(kMargin + kButtonWidth + 8, foot, kButtonWidth, kButtonHeight);
    cmdUndo.setGeometry(kMargin + 2 * (kButtonWidth + 8), foot, 80, kButtonHeight);
    cmdClose.setGeometry(w - kMargin - 100, foot, 100, kButtonHeight);
    ShowNote();
}

void TFormShelf::ShowNote() {
    const int w = width(), h = height();
    const int top = kMargin + kBarHeight + 6;
    const int bottom = h - kMargin - kButtonHeight - 8;
    std::string note;
    const bool noCards = model_->rowCount() == 0;
    if (model_->Shelf().Items().empty())
        note = "No stories here yet. Click a tale in the scene, make a story, and on its last "
               "page press \"Save story\" or \"Make a picture book\": it will wait for you "
               "here.";
    else if (model_->Tale() != 0 && noCards)
        note = "No stories of " + TTaleTable::Title(model_->Tale()) + " yet.";
    else if (model_->Tale() == 0 && emptyTale_ != 0)
        note = "No stories of " + TTaleTable::Title(emptyTale_) + " yet: here are all your stories";
    lblNote.setText(ToQString(note));
    lblNote.setVisible(!note.empty());
    // Screen readers hear the note with the list.
    lstStories.setAccessibleDescription(lblNote.text());
    // Without cards the note stands where they would, in the middle; with
    // them, on a line above them.
    int listTop = top;
    if (!note.empty() && noCards) {
        lblNote.setAlignment(Qt::AlignCenter);
        lblNote.setGeometry(kMargin * 3, top, w - 6 * kMargin, bottom - top);
    } else if (!note.empty()) {
        lblNote.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        lblNote.setGeometry(kMargin, top, w - 2 * kMargin, kNoteHeight);
        listTop = top + kNoteHeight + 4;
    }
    lstStories.setGeometry(kMargin, listTop, w - 2 * kMargin, bottom - listTop);
    // The cards wrap to the new width now, not after the list's own delay.
    lstStories.doItemsLayout();
}

QPixmap TFormShelf::Thumbnail(int tale) {
    const auto have = thumbnails_.find(tale);
    if (have != thumbnails_.end())
        return have->second;
    TRL8Library* library = library_.Get();
    if (!library)
        return {}; // before the window is made, or after the library went
    QPixmap pixmap;
    if (TTaleTable::IsTale(tale)) {
        ++thumbnailLoads_;
        try {
            TLibraryImage picture(*library, TTaleTable::ShortName(tale),
                                  TLibraryImage::SurfaceNeed::Optional);
            if (TRL8ImageData* surface = picture.Surface()) {
                const int side = TTaleTable::kPictureSide;
                pixmap = QPixmap::fromImage(QtPictureBook::PictureImage(
                    *surface, TRect{0, 0, side, side}, library->GetHPal()));
            }
        } catch (const std::exception&) {
            // A tale without its picture shows a plain card.
        }
    }
    thumbnails_.emplace(tale, pixmap);
    return pixmap;
}

int TFormShelf::CurrentRow() const {
    const QModelIndex i = lstStories.currentIndex();
    return i.isValid() ? i.row() : -1;
}

void TFormShelf::Choose(const std::string& name, int row) {
    const int count = model_->rowCount();
    int r = name.empty() ? -1 : model_->RowOf(name);
    if (r < 0)
        r = std::min(row, count - 1);
    if (r < 0 && count > 0)
        r = 0;
    if (r < 0)
        return;
    const QModelIndex index = model_->index(r);
    lstStories.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lstStories.scrollTo(index);
}

void TFormShelf::UpdateButtons() {
    const bool any = CurrentRow() >= 0;
    cmdOpen.setEnabled(any);
    cmdBin.setEnabled(any);
    cmdUndo.setVisible(!binned_.empty());
}

void TFormShelf::cboTaleChange() {
    emptyTale_ = 0; // the player has chosen which stories
    model_->SetTale(cboTale.currentIndex());
    ShowNote();
}

void TFormShelf::cmdOpenClick() {
    const TStoryShelf::Item* item = model_->ItemAt(CurrentRow());
    if (!item)
        return;
    const std::string path = model_->Shelf().PathOf(*item);
    if (!item->readable || !plat::FileExists(path, plat::Lookup::Exact))
        throw std::runtime_error("\"" + plat::PathText(item->fileName) +
                                 "\" cannot be read, so it cannot be opened. It may have been "
                                 "moved, or be a file the game did not make.");
    if (item->kind == TStoryShelf::Kind::Book) {
        if (!OpenDocument(path))
            Folders.NoProgramOpens(path, "picture book");
        return;
    }
    const int tale = item->tale;
    if (OpenStory)
        OpenStory(tale, path);
    accept();
}

void TFormShelf::cmdBinClick() {
    const int row = CurrentRow();
    const TStoryShelf::Item* item = model_->ItemAt(row);
    if (!item)
        return;
    // The card's item may go while a question is up (the folder is
    // followed): what is needed of it is taken first.
    const std::string path = model_->Shelf().PathOf(*item);
    const std::string shown = NameOf(*item);
    if (plat::ShowMessage(plat::MsgKind::Question, "Put \"" + shown + "\" in the bin?",
                          plat::MsgButtons::YesNo, "My stories") != plat::MsgAnswer::Yes)
        return;
    // Only the file on the card goes: a link that leads nowhere, which no
    // bin takes, is removed itself (nothing is lost with it); anything else
    // the bin refuses goes for good only when the player says so.
    std::string inTrash;
    const std::string voice = TStoryVoice::FolderOf(path);
    const std::string voiceFolder = voice.substr(0, voice.size() - 1);
    const bool hasVoice = plat::KindAt(voiceFolder) == plat::EntryKind::Folder;
    if (MoveToTrash(path, inTrash)) {
        binned_ = inTrash;
        // The story's voice goes with it; where the bin refuses the folder,
        // it stays beside the story's place and is found again by the story
        // when it comes back.
        binnedVoice_.clear();
        if (hasVoice && !MoveToTrash(voiceFolder, binnedVoice_))
            binnedVoice_.clear();
    } else {
        if (plat::KindAt(path) != plat::EntryKind::Dangling &&
            plat::ShowMessage(plat::MsgKind::Question,
                              "There is no bin on this computer to put \"" + shown +
                                  "\" in. Throw it away for good?",
                              plat::MsgButtons::YesNo, "My stories") != plat::MsgAnswer::Yes)
            return;
        if (!plat::DeleteFile(path))
            throw std::runtime_error("Bin: cannot remove " + plat::PathText(path));
        if (hasVoice)
            plat::RemoveFolder(voiceFolder);
        binned_.clear(); // what went for good cannot come back
        binnedVoice_.clear();
    }
    chosen_.clear();
    model_->Refresh();
    Choose({}, row);
    UpdateButtons();
    lstStories.setFocus();
}

void TFormShelf::cmdUndoClick() {
    if (binned_.empty())
        return;
    const std::string inTrash = binned_;
    const std::string voiceInTrash = binnedVoice_;
    binned_.clear();
    binnedVoice_.clear();
    UpdateButtons();
    std::string place, why;
    const plat::TrashRestore restored = plat::RestoreFromTrash(inTrash, &place, &why);
    // The story's voice comes back with it (where its place is free).
    if (restored == plat::TrashRestore::Restored && !voiceInTrash.empty())
        plat::RestoreFromTrash(voiceInTrash);
    const std::string name = place.substr(plat::ExtractFilePath(place).size());
    switch (restored) {
    case plat::TrashRestore::Restored:
        break;
    case plat::TrashRestore::Gone:
        throw std::runtime_error("Undo: the story is no longer in the bin.");
    case plat::TrashRestore::Taken:
        throw std::runtime_error("Undo: there is another file called \"" + plat::PathText(name) +
                                 "\" where the story was, so it stays in the bin.");
    case plat::TrashRestore::Failed:
        throw std::runtime_error("Undo: the story cannot be taken out of the bin: " + why);
    }
    model_->Refresh();
    // The story back on the shelf is chosen, even where another tale is shown.
    if (model_->RowOf(name) < 0 && model_->Tale() != 0)
        cboTale.setCurrentIndex(0);
    Choose(name, CurrentRow());
    lstStories.setFocus();
}

void TFormShelf::PageBy(int direction) {
    const int count = model_->rowCount();
    const int row = CurrentRow();
    if (count == 0 || row < 0)
        return;
    // The cards stand in rows as wide as the list: a screen holds as many
    // rows as the list's height takes whole (one at least).
    const QRect first = lstStories.visualRect(model_->index(0));
    int columns = 1;
    while (columns < count && lstStories.visualRect(model_->index(columns)).top() == first.top())
        ++columns;
    const int pitch = columns < count
                          ? lstStories.visualRect(model_->index(columns)).top() - first.top()
                          : first.height();
    const int rows = std::max(1, lstStories.viewport()->height() / std::max(1, pitch));
    const int to = std::clamp(row + direction * rows * columns, 0, count - 1);
    QScrollBar* bar = lstStories.verticalScrollBar();
    bar->setValue(bar->value() + direction * rows * pitch);
    const QModelIndex index = model_->index(to);
    lstStories.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lstStories.scrollTo(index);
}

bool TFormShelf::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &lstStories && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QDialog::eventFilter(watched, event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RunHandler(ShowError, [this] { cmdOpenClick(); });
            return true;
        case Qt::Key_Delete:
            RunHandler(ShowError, [this] { cmdBinClick(); });
            return true;
        case Qt::Key_PageUp:
            PageBy(-1);
            return true;
        case Qt::Key_PageDown:
            PageBy(1);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TFormShelf::keyPressEvent(QKeyEvent* event) {
    // Enter presses the button that has the focus, as Space does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button && button->isEnabled()) {
            button->click();
            return;
        }
    QDialog::keyPressEvent(event);
}
