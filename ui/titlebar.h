#pragma once

#include <QFrame>
#include <QPoint>

class QAction;
class QActionGroup;
class QLabel;
class QToolButton;

// The frameless window's own title bar: logo, page tabs, account, sign-in/out, help and
// the window buttons; dragging it moves the window.
class VaruTitleBar : public QFrame
{
    Q_OBJECT

public:
    explicit VaruTitleBar(QWidget *parent = nullptr);

    void setTabsVisible(bool visible);
    void setCurrentTab(int index);
    void setUin(const QString &uin);
    void setLoginAction(QAction *action);

    QList<QToolButton *> tabButtons() const { return mTabButtons; }
    QLabel *uinLabel() const { return mUin; }
    QToolButton *loginButton() const { return mLogin; }

signals:
    void sigCurSelTabChanged(int index);

public slots:
    void onTabActionTriggered(QAction *action);
    void onOpenHelpLink();
    void showSmall();
    void showMaxRestore();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QActionGroup *mTabs;
    QList<QToolButton *> mTabButtons;
    QLabel *mUin;
    QToolButton *mLogin;
    bool mDragging = false;
    QPoint mDragOffset{-1, -1};
};
