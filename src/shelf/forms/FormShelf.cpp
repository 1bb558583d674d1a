// TFormShelf: the shelf's window, its wiring, and opening and binning cards.
#include "shelf/forms/FormShelf.h"

#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QUrl>
#include <stdexcept>

#include "image/LibraryImage.h"
#include "image/RL8Library.h"
#include "keepsake/qt/QtPictureBook.h"
#include "platform/Files.h"
#include "platform/MessageBox.h"
#include "platform/TextCodec.h"
#include "platform/qt/Latin1.h"
#include "platform/qt/LocalPath.h"
#include "shelf/forms/ShelfCard.h"
#include "story/TaleTable.h"
#include "ui/CommandGlyph.h"
#include "ui/TileBG.h"

namespace {

constexpr int kMargin = 12, kBarHeight = 30, kButtonWidth = 132, kButtonHeight = 29;

} // namespace

TFormShelf::TFormShelf(const std::string& folder, int tale, TRL8Library& library, QWidget* parent)
    : QDialog(parent), lblTitle(this), cboTale(this), lstStories(this), cmdOpen(this), cmdBin(this),
      cmdClose(this) {
    model_ = std::make_unique<TShelfModel>(folder);
    model_->Thumbnail = [this](int n) { return Thumbnail(n); };
    model_->SetTale(TTaleTable::IsTale(tale) ? tale : 0);
    cards_ = std::make_unique<TShelfCard>();
    OpenDocument = [](const std::string& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(path)));
    };
    MoveToTrash = [](const std::string& path) { return QFile::moveToTrash(PathToQString(path)); };
    ShowError = [](const std::string& m) { plat::ShowMessage(plat::MsgKind::Error, m); };
    tiles_ = std::make_unique<TileBG::TTileBG>(this, library, "booktile");
    Build();
    cboTale.setCurrentIndex(model_->Tale());
    if (model_->rowCount() > 0)
        Choose({}, 0);
    UpdateButtons();
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
        cboTale.addItem(ToQString(TTaleTable::ShortName(n)));
    connect(&cboTale, &QComboBox::currentIndexChanged, this,
            [this] { RunHandler(ShowError, [this] { cboTaleChange(); }); });

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
    setTabOrder(&lstStories, &cmdOpen);
    setTabOrder(&cmdOpen, &cmdBin);
    setTabOrder(&cmdBin, &cmdClose);
    setTabOrder(&cmdClose, &cboTale);
    lstStories.setFocus();
}

void TFormShelf::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int w = width(), h = height();
    lblTitle.setGeometry(kMargin, kMargin, w / 2, kBarHeight);
    cboTale.setGeometry(w - kMargin - 160, kMargin + 2, 160, kBarHeight - 4);
    const int top = kMargin + kBarHeight + 6;
    const int foot = h - kMargin - kButtonHeight;
    lstStories.setGeometry(kMargin, top, w - 2 * kMargin, foot - 8 - top);
    // The cards wrap to the new width now, not after the list's own delay.
    lstStories.doItemsLayout();
    cmdOpen.setGeometry(kMargin, foot, kButtonWidth, kButtonHeight);
    cmdBin.setGeometry(kMargin + kButtonWidth + 8, foot, kButtonWidth, kButtonHeight);
    cmdClose.setGeometry(w - kMargin - 100, foot, 100, kButtonHeight);
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
}

void TFormShelf::cboTaleChange() {
    model_->SetTale(cboTale.currentIndex());
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
    if (item->kind != TStoryShelf::Kind::Story) {
        if (!OpenDocument(path))
            throw std::runtime_error(
                std::string("No program was found to open the ") +
                (item->kind == TStoryShelf::Kind::Book ? "picture book " : "talking book ") +
                plat::PathText(path));
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
    const std::string path = model_->Shelf().PathOf(*item);
    const std::string name = item->fileName;
    // Only the file on the card goes: a link that leads nowhere, which no
    // bin takes, is removed itself (nothing is lost with it); anything else
    // the bin refuses goes for good only when the player says so.
    if (!MoveToTrash(path)) {
        if (plat::KindAt(path) != plat::EntryKind::Dangling &&
            plat::ShowMessage(plat::MsgKind::Question,
                              "There is no bin on this computer to put \"" + plat::PathText(name) +
                                  "\" in. Throw it away for good?",
                              plat::MsgButtons::YesNo, "My stories") != plat::MsgAnswer::Yes)
            return;
        if (!plat::DeleteFile(path))
            throw std::runtime_error("Bin: cannot remove " + plat::PathText(path));
    }
    chosen_.clear();
    model_->Refresh();
    Choose({}, row);
    lstStories.setFocus();
}

bool TFormShelf::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &lstStories && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            RunHandler(ShowError, [this] { cmdOpenClick(); });
            return true;
        case Qt::Key_Delete:
            RunHandler(ShowError, [this] { cmdBinClick(); });
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
