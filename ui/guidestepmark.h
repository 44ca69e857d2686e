#pragma once

#include <QColor>
#include <QLabel>
#include <QMap>

// The numbered circle of a step in the guide's header; a tick once the step is done.
class VaruGuideStepMark : public QLabel
{
    Q_OBJECT

public:
    enum State { Unprocess = 0, Processing = 1, Finish = 2 };

    explicit VaruGuideStepMark(const QString &number, QWidget *parent = nullptr);

    void setState(int state);
    int state() const { return mState; }
    int fontPixelSize() const { return mFontSize; }
    QColor color(int state) const { return mColors.value(state); }
    static QString stateName(int state);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateStyle();

    QString mNumber;
    int mState = Unprocess;
    QMap<int, QColor> mColors;
    int mFontSize = 16;
};
