#include "guidestepmark.h"

#include <QPainter>
#include <QStyle>
#include <QVariant>

VaruGuideStepMark::VaruGuideStepMark(const QString &number, QWidget *parent)
    : QLabel(parent), mNumber(number)
{
    mColors = {{Unprocess, QColor(QStringLiteral("#ccd0d5"))},
        {Processing, QColor(QStringLiteral("#06bf8e"))},
        {Finish, QColor(QStringLiteral("#06bf8e"))}};
    setAlignment(Qt::AlignCenter);
    setText(number);
    updateStyle();
    setState(Unprocess);
}

QString VaruGuideStepMark::stateName(int state)
{
    switch (state) {
    case Processing:
        return QStringLiteral("processing");
    case Finish:
        return QStringLiteral("finish");
    default:
        return QStringLiteral("unprocess");
    }
}

void VaruGuideStepMark::updateStyle()
{
    const int side = qMin(width(), height());
    mFontSize = side / 2;
    if (mFontSize % 2 == 1)
        ++mFontSize;
    setStyleSheet(
        QStringLiteral(
            "QLabel {background: transparent; border: none; color: #ccd0d5; font-size: %1px; "
            "font-weight: bold;} QLabel[state='unprocess'] {color: %2;} "
            "QLabel[state='processing'] {color: %3;} QLabel[state='finish'] {color: %4;}")
            .arg(mFontSize)
            .arg(mColors[Unprocess].name(), mColors[Processing].name(), mColors[Finish].name()));
}

void VaruGuideStepMark::setState(int state)
{
    mState = state;
    setProperty("state", stateName(state));
    setText(state == Finish ? QString() : mNumber);
    style()->unpolish(this);
    style()->polish(this);
    update();
}

void VaruGuideStepMark::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    updateStyle();
}

void VaruGuideStepMark::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(mColors.value(mState), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.drawEllipse(QRect(1, 1, width() - 2, height() - 2));
    if (mState == Finish) {
        const int d = height();
        painter.drawLine(d / 4, d / 2, d / 2, 3 * d / 4);
        painter.drawLine(d / 2, 3 * d / 4, 3 * d / 4, d / 4);
    }
}
