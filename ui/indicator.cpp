#include "indicator.h"

#include <QApplication>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPropertyAnimation>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

namespace {
QPointer<VaruIndicator> gCurrentTopLevel;
constexpr int kMessageTimeout = 2000;
constexpr int kFadeMs = 250;
} // namespace

VaruIndicator *VaruIndicator::showMessage(QWidget *target, const QString &text)
{
    auto *indicator = new VaruIndicator(0, target);
    indicator->setTimeout(kMessageTimeout);
    indicator->setText(text);
    indicator->show();
    return indicator;
}

VaruIndicator::VaruIndicator(int level, QWidget *parent) : QFrame(parent), mLevel(level)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    if (parent)
        parent->installEventFilter(this);
    if (mLevel == 0) {
        setProperty("level", QStringLiteral("HUD"));
        auto *effect = new QGraphicsOpacityEffect(this);
        effect->setOpacity(1.0);
        setGraphicsEffect(effect);
    }
    mCentral = new QFrame(this);
    mCentral->setObjectName(QStringLiteral("central"));
    auto *outer = new QHBoxLayout(this);
    outer->setSpacing(0);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(mCentral);
    auto *inner = new QVBoxLayout(mCentral);
    inner->setSpacing(0);
    inner->setContentsMargins(15, 15, 15, 15);
    mLabel = new QLabel(mCentral);
    mLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    mLabel->setAlignment(Qt::AlignCenter);
    mLabel->hide();
    inner->addWidget(mLabel);
    setAttribute(Qt::WA_TranslucentBackground);
    setStyleSheet(
        QStringLiteral("#central { background-color: rgba(0,0,0,200); border-radius: 4px; }"
                       "QLabel { color: white; font-size: 14px; }"));
}

VaruIndicator::~VaruIndicator()
{
    if (gCurrentTopLevel == this)
        gCurrentTopLevel = nullptr;
    if (mTimer) {
        mTimer->stop();
        mTimer->deleteLater();
        mTimer = nullptr;
    }
}

void VaruIndicator::setText(const QString &text)
{
    mText = text;
    mLabel->setText(text);
    mLabel->show();
    adjustSize();
    updatePosition();
}

void VaruIndicator::updatePosition()
{
    QWidget *parent = parentWidget();
    if (!parent)
        return;
    QRect area = parent->rect();
    if (isWindow())
        area.moveTopLeft(parent->mapToGlobal(QPoint(0, 0)));
    const QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), area);
    move(placed.topLeft());
    raise();
}

bool VaruIndicator::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        updatePosition();
    return false;
}

void VaruIndicator::showEvent(QShowEvent *event)
{
    if (!parentWidget()) {
        if (gCurrentTopLevel && gCurrentTopLevel != this && gCurrentTopLevel->level() > mLevel) {
            close();
            return;
        }
        if (gCurrentTopLevel && gCurrentTopLevel != this)
            gCurrentTopLevel->close();
        gCurrentTopLevel = this;
    }
    if (mLevel == 0 && !mTimer && mTimeout > 0) {
        mTimer = new QTimer;
        mTimer->setSingleShot(true);
        mTimer->setInterval(mTimeout);
        connect(mTimer, &QTimer::timeout, this, &VaruIndicator::fadeOut);
        mTimer->start();
    }
    QFrame::showEvent(event);
    updatePosition();
}

void VaruIndicator::fadeOut()
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(graphicsEffect());
    if (!effect) {
        close();
        return;
    }
    auto *animation = new QPropertyAnimation(effect, "opacity", this);
    animation->setStartValue(1.0);
    animation->setEndValue(0.0);
    animation->setEasingCurve(QEasingCurve::Linear);
    animation->setDuration(kFadeMs);
    connect(animation, &QPropertyAnimation::finished, this, &QWidget::close);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}
