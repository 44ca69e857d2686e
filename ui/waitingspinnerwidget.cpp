#include "waitingspinnerwidget.h"

#include <QPainter>
#include <QTimer>

#include <cmath>

WaitingSpinnerWidget::WaitingSpinnerWidget(
    QWidget *parent, bool centerOnParent, bool disableParentWhenSpinning)
    : QWidget(parent), mCenterOnParent(centerOnParent),
      mDisableParentWhenSpinning(disableParentWhenSpinning), mTimer(new QTimer(this))
{
    connect(mTimer, &QTimer::timeout, this, &WaitingSpinnerWidget::rotate);
    updateSize();
    updateTimer();
    hide();
}

WaitingSpinnerWidget *WaitingSpinnerWidget::createForPage(QWidget *parent)
{
    auto *spinner = new WaitingSpinnerWidget(parent, true, true);
    spinner->setLineWidth(2);
    spinner->setLineLength(6);
    spinner->setInnerRadius(6);
    spinner->setCornerRoundness(50.0);
    spinner->setLineCount(8);
    spinner->setMinTrailOpacity(10.0);
    spinner->setTrailFadePercent(30.0);
    spinner->setLineColor(QColor(QStringLiteral("#2174e5")));
    return spinner;
}

void WaitingSpinnerWidget::setCornerRoundness(qreal roundness)
{
    mRoundness = qBound<qreal>(0.0, roundness, 100.0);
}

void WaitingSpinnerWidget::setLineCount(int count)
{
    mLineCount = count;
    mCounter = 0;
    updateTimer();
}

void WaitingSpinnerWidget::setLineLength(int length)
{
    mLineLength = length;
    updateSize();
}

void WaitingSpinnerWidget::setLineWidth(int width)
{
    mLineWidth = width;
    updateSize();
}

void WaitingSpinnerWidget::setInnerRadius(int radius)
{
    mInnerRadius = radius;
    updateSize();
}

int WaitingSpinnerWidget::interval() const
{
    return static_cast<int>(1000.0 / (mLineCount * mTurnsPerSecond));
}

void WaitingSpinnerWidget::updateSize()
{
    const int side = (mInnerRadius + mLineLength) * 2;
    setFixedSize(side, side);
}

void WaitingSpinnerWidget::updateTimer()
{
    mTimer->setInterval(interval());
}

void WaitingSpinnerWidget::updatePosition()
{
    if (parentWidget() && mCenterOnParent)
        move(
            parentWidget()->width() / 2 - width() / 2, parentWidget()->height() / 2 - height() / 2);
}

void WaitingSpinnerWidget::start()
{
    updatePosition();
    mSpinning = true;
    show();
    raise();
    if (parentWidget() && mDisableParentWhenSpinning)
        parentWidget()->setEnabled(false);
    if (!mTimer->isActive()) {
        mTimer->start();
        mCounter = 0;
    }
}

void WaitingSpinnerWidget::stop()
{
    mSpinning = false;
    hide();
    if (parentWidget() && mDisableParentWhenSpinning)
        parentWidget()->setEnabled(true);
    if (mTimer->isActive()) {
        mTimer->stop();
        mCounter = 0;
    }
}

void WaitingSpinnerWidget::rotate()
{
    ++mCounter;
    if (mCounter >= mLineCount)
        mCounter = 0;
    update();
}

QColor WaitingSpinnerWidget::barColor(int distance) const
{
    QColor color = mColor;
    if (distance == 0)
        return color;
    const qreal minAlpha = mMinTrailOpacity / 100.0;
    const int threshold = static_cast<int>(std::ceil((mLineCount - 1) * mTrailFadePercent / 100.0));
    if (distance > threshold) {
        color.setAlphaF(minAlpha);
        return color;
    }
    const qreal step = (color.alphaF() - minAlpha) / (threshold + 1);
    color.setAlphaF(qBound<qreal>(0.0, color.alphaF() - step * distance, 1.0));
    return color;
}

void WaitingSpinnerWidget::paintEvent(QPaintEvent *)
{
    updatePosition();
    QPainter painter(this);
    painter.fillRect(rect(), Qt::transparent);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (mCounter >= mLineCount)
        mCounter = 0;
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < mLineCount; ++i) {
        painter.save();
        painter.translate(mInnerRadius + mLineLength, mInnerRadius + mLineLength);
        painter.rotate(360.0 * i / mLineCount);
        painter.translate(mInnerRadius, 0);
        int distance = mCounter - i;
        if (distance < 0)
            distance += mLineCount;
        painter.setBrush(barColor(distance));
        painter.drawRoundedRect(QRect(0, -(mLineWidth / 2), mLineLength, mLineWidth), mRoundness,
            mRoundness, Qt::RelativeSize);
        painter.restore();
    }
}
