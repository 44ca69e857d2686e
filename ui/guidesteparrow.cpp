#include "guidesteparrow.h"

#include <QPainter>

namespace {
const QSize kArrow(12, 22);
}

VaruGuideStepArrow::VaruGuideStepArrow(QWidget *parent) : QFrame(parent)
{
    setMinimumSize(kArrow);
}

void VaruGuideStepArrow::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(
        QPen(QColor(QStringLiteral("#ccd0d5")), 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    QRect box(QPoint(0, 0), kArrow);
    box.moveCenter(rect().center());
    const QPoint tip(box.right(), box.center().y());
    painter.drawLine(box.topLeft(), tip);
    painter.drawLine(tip, box.bottomLeft());
}
