#pragma once

#include <QFrame>

// The single top-level window: frameless, with its own title bar and pages.
// For now it is the bare frame that start-up shows; the pages come later.
class VaruMainWindow : public QFrame
{
    Q_OBJECT

public:
    explicit VaruMainWindow(QWidget *parent = nullptr);
};
