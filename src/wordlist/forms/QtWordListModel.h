// The word-list editor's list as a Qt item model: one row per entry of the
// editor's list, showing its text. It follows the editor through the
// observer calls, so a change costs one row, not the whole list.
#pragma once
#include <QAbstractListModel>

#include "wordlist/WordListObserver.h"

class TWordListEditor;

class QtWordListModel : public QAbstractListModel, public TWordListObserver {
    Q_OBJECT
public:
    // Editor outlives the model; the model registers itself as its observer.
    // ItemHeight: the height of every row in pixels.
    QtWordListModel(TWordListEditor& editor, int itemHeight, QObject* parent = nullptr);
    ~QtWordListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void ListResetting() override { beginResetModel(); }
    void ListReset() override { endResetModel(); }
    void EntryInserting(int index) override { beginInsertRows(QModelIndex(), index, index); }
    void EntryInserted(int) override { endInsertRows(); }
    void EntryRemoving(int index) override { beginRemoveRows(QModelIndex(), index, index); }
    void EntryRemoved(int) override { endRemoveRows(); }

private:
    TWordListEditor& editor_;
    int itemHeight_;
};
