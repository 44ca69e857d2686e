#pragma once

#include <QColor>
#include <QWidget>

class QTimer;

// A spinning ring of short bars with a fading trail, shown while work runs.
class WaitingSpinnerWidget : public QWidget
{
    Q_OBJECT

public:
    WaitingSpinnerWidget(QWidget *parent = nullptr, bool centerOnParent = true,
        bool disableParentWhenSpinning = true);

    void setLineColor(const QColor &color) { mColor = color; }
    void setCornerRoundness(qreal roundness);
    void setMinTrailOpacity(qreal opacity) { mMinTrailOpacity = opacity; }
    void setTrailFadePercent(qreal percent) { mTrailFadePercent = percent; }
    void setLineCount(int count);
    void setLineLength(int length);
    void setLineWidth(int width);
    void setInnerRadius(int radius);

    QColor lineColor() const { return mColor; }
    qreal roundness() const { return mRoundness; }
    int lineCount() const { return mLineCount; }
    int counter() const { return mCounter; }
    int interval() const;
    bool isSpinning() const { return mSpinning; }
    // The colour of the bar at distance d from the brightest one.
    QColor barColor(int distance) const;

    // The configuration every page uses.
    static WaitingSpinnerWidget *createForPage(QWidget *parent);

public slots:
    void start();
    void stop();

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void rotate();

private:
    void updateSize();
    void updateTimer();
    void updatePosition();

    QColor mColor = Qt::black;
    qreal mRoundness = 100.0;
    qreal mMinTrailOpacity = 3.141592653589793;
    qreal mTrailFadePercent = 80.0;
    qreal mTurnsPerSecond = 1.5707963267948966;
    int mLineCount = 20;
    int mLineLength = 10;
    int mLineWidth = 2;
    int mInnerRadius = 10;
    int mCounter = 0;
    bool mSpinning = false;
    bool mCenterOnParent;
    bool mDisableParentWhenSpinning;
    QTimer *mTimer;
};
