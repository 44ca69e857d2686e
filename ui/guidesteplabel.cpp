#include "guidesteplabel.h"

#include "guidestepmark.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVariant>

VaruGuideStepLabel::VaruGuideStepLabel(
    const QString &number, const QString &caption, QWidget *parent)
    : QFrame(parent), mMark(new VaruGuideStepMark(number, this)),
      mCaption(new QLabel(caption, this))
{
    mMark->setFixedSize(30, 30);
    mCaption->setObjectName(QStringLiteral("textLabel"));
    auto *row = new QHBoxLayout(this);
    row->setSpacing(16);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(mMark);
    row->addWidget(mCaption);
    updateStyle();
    setState(VaruGuideStepMark::Unprocess);
}

void VaruGuideStepLabel::updateStyle()
{
    setStyleSheet(QStringLiteral(
        "#textLabel {background: transparent; border: none; color: #ccd0d5; font-size: %1px;} "
        "#textLabel[state='unprocess'] {color: %2;} #textLabel[state='processing'] {color: %3;} "
        "#textLabel[state='finish'] {color: %4;}")
                      .arg(mMark->fontPixelSize())
                      .arg(mMark->color(VaruGuideStepMark::Unprocess).name(),
                          mMark->color(VaruGuideStepMark::Processing).name(),
                          mMark->color(VaruGuideStepMark::Finish).name()));
}

void VaruGuideStepLabel::setState(int state)
{
    mCaption->setProperty("state", VaruGuideStepMark::stateName(state));
    mMark->setState(state);
    mCaption->style()->unpolish(mCaption);
    mCaption->style()->polish(mCaption);
    update();
}

void VaruGuideStepLabel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    updateStyle();
}
