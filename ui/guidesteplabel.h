#pragma once

#include <QFrame>

class QLabel;
class VaruGuideStepMark;

// One step of the guide's header: its mark and its caption.
class VaruGuideStepLabel : public QFrame
{
    Q_OBJECT

public:
    VaruGuideStepLabel(const QString &number, const QString &caption, QWidget *parent = nullptr);

    void setState(int state);
    VaruGuideStepMark *mark() const { return mMark; }
    QLabel *caption() const { return mCaption; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateStyle();

    VaruGuideStepMark *mMark;
    QLabel *mCaption;
};
