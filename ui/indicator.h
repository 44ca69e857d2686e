#pragma once

#include <QFrame>
#include <QPointer>

class QLabel;
class QTimer;

// A short-lived message over a page: white text in a dark rounded box, centred on its
// target, fading away after two seconds.
class VaruIndicator : public QFrame
{
    Q_OBJECT

public:
    // Shows text over target for 2000 ms, then fades it out over 250 ms.
    static VaruIndicator *showMessage(QWidget *target, const QString &text);

    VaruIndicator(int level, QWidget *parent);
    ~VaruIndicator() override;

    virtual int level() const { return mLevel; }
    virtual void setText(const QString &text);
    virtual void setTimeout(int ms) { mTimeout = ms; }
    virtual void updatePosition();

    QString text() const { return mText; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void fadeOut();

    int mLevel;
    QString mText;
    QLabel *mLabel;
    int mTimeout = 0;
    QTimer *mTimer = nullptr;
    QFrame *mCentral;
};
