// TShelfModel: the stories folder's rows, and the watch that keeps them.
#include "shelf/forms/ShelfModel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSet>

#include "platform/qt/Latin1.h"
#include "platform/qt/LocalPath.h"
#include "story/TaleTable.h"

namespace {

// How long the folder is quiet before it is listed again: a save is a few
// reports (the temporary file, the rename).
constexpr int kQuietMs = 100;

} // namespace

TShelfModel::TShelfModel(const std::string& folder, QObject* parent)
    : QAbstractListModel(parent), tmrRefresh(this), shelf_(folder), watcher_(this) {
    tmrRefresh.setObjectName("tmrRefresh");
    tmrRefresh.setSingleShot(true);
    tmrRefresh.setInterval(kQuietMs);
    connect(&tmrRefresh, &QTimer::timeout, this, [this] { Refresh(); });
    const auto later = [this] { tmrRefresh.start(); };
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, later);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, later);
    shelf_.Refresh();
    Show();
    Watch();
}

void TShelfModel::Watch() {
    // The folder, or while it is not made the nearest folder above it, and
    // every file on the shelf (an edit in place reports only to the file).
    QString folder = PathToQString(shelf_.Folder());
    while (!QFileInfo(folder).isDir()) {
        const QString up = QFileInfo(QDir::cleanPath(folder)).path();
        if (up == folder || up.isEmpty())
            break;
        folder = up;
    }
    // Sets, not lists: a folder of thousands of stories is watched in linear
    // time.
    QSet<QString> wanted{QDir::cleanPath(folder)};
    wanted.reserve(static_cast<qsizetype>(shelf_.Items().size()) + 1);
    for (const TStoryShelf::Item& i : shelf_.Items())
        if (i.readable) // a link to nothing has nothing to watch
            wanted.insert(PathToQString(shelf_.PathOf(i)));
    QStringList gone;
    QSet<QString> have;
    for (const QString& p : watcher_.directories() + watcher_.files()) {
        if (wanted.contains(p))
            have.insert(p);
        else
            gone.append(p);
    }
    if (!gone.isEmpty())
        watcher_.removePaths(gone);
    QStringList add;
    for (const QString& p : wanted)
        if (!have.contains(p))
            add.append(p);
    if (!add.isEmpty())
        watcher_.addPaths(add);
}

void TShelfModel::Show() {
    rows_ = shelf_.Filter(tale_);
}

void TShelfModel::SetTale(int tale) {
    if (tale == tale_)
        return;
    beginResetModel();
    tale_ = tale;
    Show();
    endResetModel();
}

void TShelfModel::Refresh() {
    tmrRefresh.stop();
    beginResetModel();
    shelf_.Refresh();
    Show();
    endResetModel();
    Watch();
}

const TStoryShelf::Item* TShelfModel::ItemAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)]
                                                            : nullptr;
}

int TShelfModel::RowOf(const std::string& name) const {
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (rows_[r]->fileName == name)
            return static_cast<int>(r);
    return -1;
}

QString TShelfModel::TitleOf(const TStoryShelf::Item& item) {
    if (!item.readable)
        return "This file cannot be read";
    if (!item.title.empty())
        return QString::fromUtf8(item.title.data(), static_cast<qsizetype>(item.title.size()));
    switch (item.kind) {
    case TStoryShelf::Kind::Book:
        return "A picture book";
    case TStoryShelf::Kind::TalkingBook:
        return "A talking book";
    case TStoryShelf::Kind::Story:
        break;
    }
    return "A story with no title";
}

QString TShelfModel::DateOf(const TStoryShelf::Item& item) {
    const QDateTime when = QDateTime::fromMSecsSinceEpoch(item.modTime / 1000000);
    return QLocale::system().toString(when, QLocale::ShortFormat);
}

int TShelfModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant TShelfModel::data(const QModelIndex& index, int role) const {
    const TStoryShelf::Item* item = ItemAt(index.row());
    if (!item || index.column() != 0)
        return {};
    const char* kind = item->kind == TStoryShelf::Kind::Book          ? "Picture book: "
                       : item->kind == TStoryShelf::Kind::TalkingBook ? "Talking book: "
                       : item->voice ? "Story with a recorded voice: "
                                     : "Story: ";
    switch (role) {
    case Qt::DisplayRole:
        return TitleOf(*item);
    case Qt::DecorationRole:
        return Thumbnail ? Thumbnail(item->tale) : QPixmap();
    case Qt::ToolTipRole:
        return PathToQString(item->fileName);
    case Qt::AccessibleTextRole:
        return kind + TitleOf(*item) + ", " + ToQString(TTaleTable::Title(item->tale)) + ", " +
               DateOf(*item);
    case KindRole:
        return static_cast<int>(item->kind);
    case TaleRole:
        return item->tale;
    case PathRole:
        return PathToQString(shelf_.PathOf(*item));
    case ReadableRole:
        return item->readable;
    case DateRole:
        return DateOf(*item);
    case TaleNameRole:
        return ToQString(TTaleTable::Title(item->tale));
    case VoiceRole:
        return item->voice;
    default:
        return {};
    }
}
