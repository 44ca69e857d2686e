#pragma once

#include <QFrame>
#include <QModelIndex>

class QTableView;
class QToolButton;
class VaruReinforceController;
class WaitingSpinnerWidget;

// The hardening page: the task table with Add, Start/Pause and Delete.
class VaruReinforceView : public QFrame
{
    Q_OBJECT

public:
    explicit VaruReinforceView(QWidget *parent = nullptr);

    VaruReinforceController *controller() const { return mController; }
    QToolButton *addButton() const { return mAdd; }
    QToolButton *pauseButton() const { return mPause; }
    QToolButton *deleteButton() const { return mDelete; }
    QTableView *table() const { return mTable; }
    WaitingSpinnerWidget *spinner() const { return mSpinner; }

public slots:
    void onLoadUi();
    void onAdd();
    void onPause();
    void onDelete();
    void onAddApkFinish(bool succeed, const QString &tip);
    void onOpenOfficialWebsiteLink();
    void onOpenDetailsLink();
    void onItemClicked(const QModelIndex &index);
    void onItemDoubleClicked(const QModelIndex &index);
    void onCurselItemStateChanged(int state);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QToolButton *mAdd;
    QToolButton *mPause;
    QToolButton *mDelete;
    QTableView *mTable;
    VaruReinforceController *mController;
    WaitingSpinnerWidget *mSpinner;
};
