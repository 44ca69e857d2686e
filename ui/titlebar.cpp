#include "titlebar.h"

#include "pagekit.h"
#include "service/serviceurl.h"

#include <QAction>
#include <QActionGroup>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QUrl>

namespace {

const QString kStyle = QStringLiteral(
    "VaruTitleBar { background-color: #2e3946; border: none; }"
    "VaruTitleBar QToolButton { background-color: transparent; border: none; }"
    "QLabel { background-color: transparent; border: none; color: #ffffff; font-size: 14px; }"
    "#tabButton { background-color: #2e3946; border: none; }"
    "#tabButton:hover { background-color: #313d4c; border: none; }"
    "#tabButton:checked { background-color: #2174e5; border: none; }"
    "QToolButton { background-color: transparent; border: none; color: #979ca3; font-size: 12px; }"
    "#uinLabel { background-color: transparent; border: none; color: #979ca3; font-size: 12px; }"
    "#line { background-color: #59606b; border: none; }"
    "#minimizeButton { background: url(':/icon/minimize') center no-repeat; border: none; }"
    "#maximizeButton { background: url(':/icon/maximize') center no-repeat; border: none; }"
    "#closeButton { background: url(':/icon/close') center no-repeat; border: none; }"
    "#minimizeButton:hover, #maximizeButton:hover, #closeButton:hover { background-color: #2174e5; "
    "}"
    "#minimizeButton:pressed, #maximizeButton:pressed { background-color: #1968d3; }"
    "#closeButton:pressed { background-color: #cc3428; }");

QToolButton *windowButton(const char *objectName)
{
    auto *button = new QToolButton;
    button->setObjectName(QString::fromLatin1(objectName));
    button->setFixedSize(20, 20);
    return button;
}

} // namespace

VaruTitleBar::VaruTitleBar(QWidget *parent) : QFrame(parent), mTabs(new QActionGroup(this))
{
    VaruPageKit::initResources();
    if (parent)
        parent->setWindowFlags(parent->windowFlags() | Qt::FramelessWindowHint);
    mTabs->setExclusive(true);
    connect(mTabs, &QActionGroup::triggered, this, &VaruTitleBar::onTabActionTriggered);

    auto *row = new QHBoxLayout(this);
    row->setSpacing(0);
    row->setContentsMargins(15, 0, 15, 0);

    auto *logoArea = new QWidget;
    logoArea->setFixedWidth(260);
    auto *logoRow = new QHBoxLayout(logoArea);
    logoRow->setSpacing(0);
    logoRow->setContentsMargins(0, 10, 0, 0);
    auto *logo = new QLabel;
    logo->setPixmap(QPixmap(QStringLiteral(":/icon/logo")));
    logo->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    logoRow->addWidget(logo);
    logoRow->addStretch();
    row->addWidget(logoArea);
    row->addStretch();

    const QList<QPair<QString, QString>> tabs
        = {{QStringLiteral("加固"), QStringLiteral(":/icon/reinforce")},
            {QStringLiteral("辅助工具"), QStringLiteral(":/icon/assistant")},
            {QStringLiteral("设置"), QStringLiteral(":/icon/settings")}};
    for (int i = 0; i < tabs.size(); ++i) {
        auto *action = new QAction(this);
        action->setCheckable(true);
        action->setData(i);
        action->setChecked(i == 0);
        mTabs->addAction(action);
        auto *tab = new QToolButton;
        tab->setObjectName(QStringLiteral("tabButton"));
        tab->setDefaultAction(action);
        tab->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        tab->setMinimumWidth(120);
        auto *inner = new QHBoxLayout(tab);
        inner->setSpacing(0);
        inner->setContentsMargins(0, 0, 0, 0);
        auto *icon = new QLabel;
        icon->setPixmap(QPixmap(tabs[i].second));
        icon->setAlignment(Qt::AlignCenter);
        auto *text = new QLabel(tabs[i].first);
        text->setAlignment(Qt::AlignCenter);
        inner->addStretch();
        inner->addWidget(icon);
        inner->addSpacing(10);
        inner->addWidget(text);
        inner->addStretch();
        mTabButtons << tab;
        row->addWidget(tab);
    }
    row->addStretch();

    auto *rightArea = new QWidget;
    rightArea->setFixedWidth(260);
    auto *right = new QHBoxLayout(rightArea);
    right->setSpacing(0);
    right->setContentsMargins(0, 0, 0, 0);
    right->addStretch();
    mUin = new QLabel;
    mUin->setObjectName(QStringLiteral("uinLabel"));
    right->addWidget(mUin);
    right->addSpacing(4);
    mLogin = new QToolButton;
    mLogin->setText(QStringLiteral("登录"));
    mLogin->setCursor(Qt::PointingHandCursor);
    right->addWidget(mLogin);
    auto *help = new QToolButton;
    help->setText(QStringLiteral("帮助"));
    help->setCursor(Qt::PointingHandCursor);
    connect(help, &QToolButton::clicked, this, &VaruTitleBar::onOpenHelpLink);
    right->addWidget(help);
    right->addSpacing(10);
    auto *line = new QFrame;
    line->setObjectName(QStringLiteral("line"));
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setFixedSize(1, 12);
    right->addWidget(line);
    right->addSpacing(10);
    QToolButton *minimize = windowButton("minimizeButton");
    connect(minimize, &QToolButton::clicked, this, &VaruTitleBar::showSmall);
    right->addWidget(minimize);
    right->addSpacing(5);
    QToolButton *maximize = windowButton("maximizeButton");
    connect(maximize, &QToolButton::clicked, this, &VaruTitleBar::showMaxRestore);
    right->addWidget(maximize);
    right->addSpacing(5);
    QToolButton *close = windowButton("closeButton");
    connect(close, &QToolButton::clicked, this, [this] {
        if (window())
            window()->close();
    });
    right->addWidget(close);
    row->addWidget(rightArea);

    setStyleSheet(kStyle);
    setTabsVisible(false);
}

void VaruTitleBar::setTabsVisible(bool visible)
{
    for (QToolButton *tab : qAsConst(mTabButtons))
        tab->setVisible(visible);
}

void VaruTitleBar::setCurrentTab(int index)
{
    for (QAction *action : mTabs->actions()) {
        if (action->data().toInt() == index) {
            action->setChecked(true);
            return;
        }
    }
}

void VaruTitleBar::setUin(const QString &uin)
{
    mUin->setText(uin);
}

void VaruTitleBar::setLoginAction(QAction *action)
{
    if (mLogin && action)
        mLogin->setDefaultAction(action);
}

void VaruTitleBar::onTabActionTriggered(QAction *action)
{
    emit sigCurSelTabChanged(action->data().toInt());
}

void VaruTitleBar::onOpenHelpLink()
{
    QDesktopServices::openUrl(portalUrl(QStringLiteral("/developer/user/1228367")));
}

void VaruTitleBar::showSmall()
{
    if (window())
        window()->showMinimized();
}

void VaruTitleBar::showMaxRestore()
{
    QWidget *w = window();
    if (!w)
        return;
    if (w->isMaximized() || w->isFullScreen())
        w->showNormal();
    else
        w->showMaximized();
}

void VaruTitleBar::mousePressEvent(QMouseEvent *event)
{
    QFrame::mousePressEvent(event);
    if (!window() || event->button() != Qt::LeftButton)
        return;
    mDragging = true;
    mDragOffset = event->globalPos() - window()->frameGeometry().topLeft();
}

void VaruTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    QFrame::mouseMoveEvent(event);
    QWidget *w = window();
    if (!w || !mDragging || w->isMaximized() || w->isFullScreen())
        return;
    w->move(event->globalPos() - mDragOffset);
}

void VaruTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (!window() || event->button() != Qt::LeftButton)
        return;
    mDragging = false;
    mDragOffset = QPoint(-1, -1);
}

void VaruTitleBar::mouseDoubleClickEvent(QMouseEvent *event)
{
    QFrame::mouseDoubleClickEvent(event);
    if (!window())
        return;
    mDragging = false;
    if (event->button() == Qt::LeftButton)
        showMaxRestore();
}
