// TShelfModel: the stories folder as a Qt list model, over TStoryShelf: one
// row for each story and picture book of the tale chosen (or of all tales),
// newest first. It follows the folder: a QFileSystemWatcher on the folder
// (or, until it is made, the nearest folder above it) and on the shelf's
// files reports changes, and tmrRefresh lists the folder again once the
// reports stop for a moment; the rows are then reset.
//
// Rows give their title (DisplayRole), the tale's thumbnail
// (DecorationRole, from Thumbnail), their file name (ToolTipRole) and, for
// screen readers, the title, the tale's title and the date in the desktop's
// short format (AccessibleTextRole; a story with a recorded voice says so).
#pragma once
#include <QAbstractListModel>
#include <QFileSystemWatcher>
#include <QPixmap>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "shelf/StoryShelf.h"

class TShelfModel : public QAbstractListModel {
public:
    enum Role {
        KindRole = Qt::UserRole + 1, // TStoryShelf::Kind as int
        TaleRole,                    // 1..10
        PathRole,                    // QString
        ReadableRole,                // bool
        DateRole,                    // QString, the desktop's short format
        TaleNameRole,                // QString, the tale's title
        VoiceRole,                   // bool: a story with a recorded voice
    };
    // Folder ends with a separator; it need not exist. Lists it at once.
    explicit TShelfModel(const std::string& folder, QObject* parent = nullptr);

    // Shows Tale's rows (1..10), or all for 0.
    void SetTale(int tale);
    int Tale() const { return tale_; }
    // Lists the folder again now; resets the rows when the shelf changed.
    void Refresh();
    const TStoryShelf::Item* ItemAt(int row) const;
    // The row of the file named Name; -1 when it is not shown.
    int RowOf(const std::string& name) const;
    const TStoryShelf& Shelf() const { return shelf_; }

    // The picture of tale N (1..10); the null pixmap when unset.
    std::function<QPixmap(int tale)> Thumbnail;
    // The card's text for an item: its title, or what stands for it.
    static QString TitleOf(const TStoryShelf::Item& item);
    static QString DateOf(const TStoryShelf::Item& item);

    QTimer tmrRefresh;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    void Watch();
    void Show();

    TStoryShelf shelf_;
    int tale_ = 0;
    std::vector<const TStoryShelf::Item*> rows_;
    QFileSystemWatcher watcher_;
};
