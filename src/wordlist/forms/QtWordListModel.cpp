// The editor's list as rows of a Qt list view.
#include "wordlist/forms/QtWordListModel.h"

#include <QSize>

#include "platform/qt/Latin1.h"
#include "wordlist/WordListEditor.h"

QtWordListModel::QtWordListModel(TWordListEditor& editor, int itemHeight, QObject* parent)
    : QAbstractListModel(parent), editor_(editor), itemHeight_(itemHeight) {
    editor_.SetObserver(this);
}

QtWordListModel::~QtWordListModel() {
    editor_.SetObserver(nullptr);
}

int QtWordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : editor_.Count();
}

QVariant QtWordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= editor_.Count())
        return {};
    if (role == Qt::DisplayRole)
        return ToQString(editor_.Entry(index.row()).Text);
    if (role == Qt::SizeHintRole)
        return QSize(0, itemHeight_);
    return {};
}
