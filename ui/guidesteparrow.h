#pragma once

#include <QFrame>

// The ">" between two steps of the guide's header.
class VaruGuideStepArrow : public QFrame
{
    Q_OBJECT

public:
    explicit VaruGuideStepArrow(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
