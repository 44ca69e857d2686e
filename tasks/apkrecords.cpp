#include "apkrecords.h"

#include "apkinfo.h"
#include "core/datacenter.h"

#include <QTimerEvent>

namespace {
constexpr int kRefreshMs = 1000;
const Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignVCenter;
const Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;
} // namespace

VaruApkRecords::VaruApkRecords(QObject *parent) : QAbstractTableModel(parent) { }

int VaruApkRecords::rowCount(const QModelIndex &) const
{
    return mRows.size();
}

int VaruApkRecords::columnCount(const QModelIndex &) const
{
    return kColumnCount;
}

QVariant VaruApkRecords::data(const QModelIndex &index, int role) const
{
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant(int(column >= EditionColumn && column <= StatusColumn ? kCentred : kLeft));
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return QVariant();
    if (index.row() < 0 || index.row() >= mRows.size() || !mRows[index.row()])
        return QVariant();
    const VaruApkInfo &task = *mRows[index.row()];
    switch (column) {
    case PackageColumn:
        return task.packageName();
    case FileNameColumn:
        return task.fileName();
    case EditionColumn:
        return task.edition();
    case SizeColumn:
        return task.sizeText();
    case DateColumn:
        return task.timeText();
    case StatusColumn:
        return task.displayStateText();
    default:
        return QVariant();
    }
}

QVariant VaruApkRecords::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return QVariant(int(kCentred));
    if (role != Qt::DisplayRole)
        return QVariant();
    static const char *const headers[kColumnCount]
        = {"包名", "文件名", "版本", "大小", "日期", "状态"};
    if (section < 0 || section >= kColumnCount)
        return QVariant();
    return QString::fromUtf8(headers[section]);
}

void VaruApkRecords::reloadRows()
{
    const QList<QSharedPointer<VaruApkInfo>> records = mStore->records();
    mRows = QVector<QSharedPointer<VaruApkInfo>>(records.cbegin(), records.cend());
}

void VaruApkRecords::setDataCenter(VaruDataCenter *store)
{
    mStore = store;
    beginResetModel();
    mRows.clear();
    if (mStore)
        reloadRows();
    endResetModel();
    if (mRefreshTimer == 0)
        mRefreshTimer = startTimer(kRefreshMs, Qt::CoarseTimer);
}

void VaruApkRecords::clear()
{
    mStore = nullptr;
    beginResetModel();
    mRows.clear();
    if (mRefreshTimer != 0) {
        killTimer(mRefreshTimer);
        mRefreshTimer = 0;
    }
    endResetModel();
}

bool VaruApkRecords::containsFilePath(const QString &path) const
{
    for (const QSharedPointer<VaruApkInfo> &task : mRows) {
        if (task && task->filePath() == path)
            return true;
    }
    return false;
}

QSharedPointer<VaruApkInfo> VaruApkRecords::recordAt(int row) const
{
    if (row < 0 || row >= mRows.size())
        return {};
    return mRows[row];
}

QSharedPointer<VaruApkInfo> VaruApkRecords::takeRecordAt(int row)
{
    if (row < 0 || row >= mRows.size())
        return {};
    beginResetModel();
    const QSharedPointer<VaruApkInfo> task = mRows.takeAt(row);
    if (mStore && task)
        mStore->removeRecord(task->md5());
    endResetModel();
    return task;
}

void VaruApkRecords::updateRecord(const QSharedPointer<VaruApkInfo> &record)
{
    if (!mStore || !mStore->addRecord(record))
        return;
    beginResetModel();
    reloadRows();
    endResetModel();
}

void VaruApkRecords::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != mRefreshTimer || mRefreshTimer == 0) {
        QAbstractTableModel::timerEvent(event);
        return;
    }
    if (!mRows.isEmpty())
        emit dataChanged(index(0, StatusColumn), index(mRows.size() - 1, StatusColumn), {});
}
