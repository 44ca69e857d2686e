#pragma once

#include <QAbstractTableModel>
#include <QSharedPointer>
#include <QVector>

class VaruApkInfo;
class VaruDataCenter;

// The task table: one row per task record of the signed-in account, oldest first, six
// columns. The status column is repainted once a second while an account is attached.
class VaruApkRecords : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column {
        PackageColumn,
        FileNameColumn,
        EditionColumn,
        SizeColumn,
        DateColumn,
        StatusColumn
    };
    static constexpr int kColumnCount = 6;

    explicit VaruApkRecords(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void setDataCenter(VaruDataCenter *store);
    void clear();
    bool containsFilePath(const QString &path) const;
    QSharedPointer<VaruApkInfo> recordAt(int row) const;
    QSharedPointer<VaruApkInfo> takeRecordAt(int row);
    void updateRecord(const QSharedPointer<VaruApkInfo> &record);

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void reloadRows();

    QVector<QSharedPointer<VaruApkInfo>> mRows;
    VaruDataCenter *mStore = nullptr;
    int mRefreshTimer = 0;
};
