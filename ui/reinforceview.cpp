#include "reinforceview.h"

#include "filedialogs.h"
#include "indicator.h"
#include "pagekit.h"
#include "reinforcecontroller.h"
#include "service/serviceurl.h"
#include "tasks/apkrecords.h"
#include "waitingspinnerwidget.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableView>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kPageStyle = QStringLiteral(
    "VaruReinforceView { background-color: #fafafa; border: none; }"
    "#buttonBanner { background-color: #f0f0f0; }"
    "#whiteStyleButton { background-color: white; border: 1px solid #999999; border-radius: 2px; "
    "color: #0070cc;"
    " font-size: 14px; }"
    "#whiteStyleButton:hover { background-color: #fafafa; color: #0064b6; }"
    "#whiteStyleButton:disabled { color: #999999; }"
    "#blueStyleButton { background-color: #0070cc; border: none; border-radius: 2px; color: white; "
    "font-size: 14px; }"
    "#blueStyleButton:hover { background-color: #0064b6; }"
    "#blueStyleButton:disabled { background-color: #7fb7e5; }"
    "#tipLabelTitle1, #tipLabelTitle2, #tipLabelTitle3 { color: #999999; font-size: 12px; }"
    "#tipButton1 {background: transparent; color: #0070cc; }"
    "#tipButton2 {background: transparent; color: #0070cc; }");

const QString kTableStyle = QStringLiteral(
    "QHeaderView::section { background-color: #fafcfc; color: black; font-size: 14px; border: none;"
    " border-top: 1px solid #e5e8ee; border-bottom: 1px solid #e5e8ee; }"
    "QTableView { background-color: #fafafa; color: #333333; font-size: 12px; border: none; "
    "outline: none; }"
    "QTableView::item { border-bottom: 1px solid #e5e8ee; padding-left: 8px; padding-right: 8px; }"
    "QTableView::item:selected { background-color: #f5f9ff; color: #333333; }");

QToolButton *button(const QString &text, const char *objectName, QSize size)
{
    auto *b = new QToolButton;
    b->setObjectName(QString::fromLatin1(objectName));
    b->setText(text);
    b->setFixedSize(size);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

QLabel *tipLabel(const QString &text, const char *objectName)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QToolButton *linkButton(const QString &text, const char *objectName)
{
    auto *b = new QToolButton;
    b->setObjectName(QString::fromLatin1(objectName));
    b->setText(text);
    b->setAutoRaise(true);
    b->setCursor(Qt::PointingHandCursor);
    QFont font = b->font();
    font.setUnderline(true);
    font.setPixelSize(12);
    b->setFont(font);
    return b;
}

} // namespace

VaruReinforceView::VaruReinforceView(QWidget *parent) : QFrame(parent)
{
    VaruPageKit::initResources();
    mAdd = button(QStringLiteral("添加应用"), "blueStyleButton", QSize(100, 28));
    mPause = button(QStringLiteral("暂停"), "whiteStyleButton", QSize(80, 24));
    mPause->setToolTip(QStringLiteral("开始/暂停(双击表单项同效)"));
    mDelete = button(QStringLiteral("删除"), "whiteStyleButton", QSize(80, 24));

    auto *banner = new QFrame;
    banner->setObjectName(QStringLiteral("buttonBanner"));
    banner->setFixedHeight(80);
    auto *bannerRow = new QHBoxLayout(banner);
    bannerRow->setContentsMargins(30, 0, 30, 0);
    bannerRow->setSpacing(0);
    bannerRow->addWidget(mAdd);
    bannerRow->addSpacing(20);
    bannerRow->addWidget(mPause);
    bannerRow->addSpacing(8);
    bannerRow->addWidget(mDelete);
    bannerRow->addStretch();

    mTable = new QTableView;
    mTable->setShowGrid(false);
    mTable->setSortingEnabled(false);
    mTable->setCornerButtonEnabled(false);
    mTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    mTable->setSelectionMode(QAbstractItemView::SingleSelection);
    mTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mTable->verticalHeader()->hide();
    mTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mTable->verticalHeader()->setDefaultSectionSize(40);
    mTable->horizontalHeader()->setHighlightSections(false);
    mTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    mTable->horizontalHeader()->setStretchLastSection(true);
    mTable->horizontalHeader()->setFixedHeight(28);
    mTable->setStyleSheet(kTableStyle);
    auto *tableArea = new QFrame;
    auto *tableBox = new QVBoxLayout(tableArea);
    tableBox->setContentsMargins(30, 20, 30, 20);
    tableBox->setSpacing(0);
    tableBox->addWidget(mTable);

    auto *tips = new QHBoxLayout;
    tips->setContentsMargins(0, 0, 0, 20);
    tips->addStretch();
    tips->addWidget(tipLabel(QStringLiteral("更改专业版加固策略，需在"), "tipLabelTitle1"));
    QToolButton *console = linkButton(QStringLiteral("官网控制台"), "tipButton1");
    tips->addWidget(console);
    tips->addWidget(
        tipLabel(QStringLiteral("重新加固，加固工具会自动同步最新配置，此处"), "tipLabelTitle2"));
    QToolButton *details = linkButton(QStringLiteral("了解详情"), "tipButton2");
    tips->addWidget(details);
    tips->addWidget(tipLabel(QStringLiteral("!"), "tipLabelTitle3"));
    tips->addStretch();

    auto *page = new QVBoxLayout(this);
    page->setSpacing(0);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(banner);
    page->addWidget(tableArea, 1);
    page->addLayout(tips);
    setStyleSheet(kPageStyle);

    mController = new VaruReinforceController(this);
    mSpinner = WaitingSpinnerWidget::createForPage(mTable);

    mTable->installEventFilter(this);
    mTable->viewport()->installEventFilter(this);
    connect(mController, &VaruBaseController::sigLoadUi, this, &VaruReinforceView::onLoadUi);
    connect(mController, &VaruReinforceController::sigAddApkFinish, this,
        &VaruReinforceView::onAddApkFinish);
    connect(mController, &VaruReinforceController::sigCurSelStateChanged, this,
        &VaruReinforceView::onCurselItemStateChanged);
    connect(mTable, &QTableView::clicked, this, &VaruReinforceView::onItemClicked);
    connect(mTable, &QTableView::doubleClicked, this, &VaruReinforceView::onItemDoubleClicked);
    connect(mAdd, &QToolButton::clicked, this, &VaruReinforceView::onAdd);
    connect(mPause, &QToolButton::clicked, this, &VaruReinforceView::onPause);
    connect(mDelete, &QToolButton::clicked, this, &VaruReinforceView::onDelete);
    connect(console, &QToolButton::clicked, this, &VaruReinforceView::onOpenOfficialWebsiteLink);
    connect(details, &QToolButton::clicked, this, &VaruReinforceView::onOpenDetailsLink);
    mController->loadUiIfLoggedIn();
}

void VaruReinforceView::onLoadUi()
{
    mTable->setModel(mController->apkRecords());
}

void VaruReinforceView::onAdd()
{
    const QString last = mController->lastApkPath();
    const QString start = last.isEmpty() ? QStringLiteral(".") : QFileInfo(last).absolutePath();
    const QString path = VaruFileDialogs::openFileName(
        this, QStringLiteral("打开APK文件"), start, QStringLiteral("Apk Files(*.apk)"));
    if (path.isEmpty())
        return;
    mSpinner->start();
    mAdd->setEnabled(false);
    mController->addApk(path);
}

void VaruReinforceView::onPause()
{
    mController->toggleCurrentTask();
}

void VaruReinforceView::onDelete()
{
    mController->deleteCurrentTask();
}

void VaruReinforceView::onAddApkFinish(bool succeed, const QString &tip)
{
    mSpinner->stop();
    mAdd->setEnabled(true);
    if (!succeed)
        VaruIndicator::showMessage(mTable, tip);
}

void VaruReinforceView::onOpenOfficialWebsiteLink()
{
    QDesktopServices::openUrl(portalUrl(QStringLiteral("/ms/reinforce/list")));
}

void VaruReinforceView::onOpenDetailsLink()
{
    QDesktopServices::openUrl(portalUrl(QStringLiteral("/developer/article/1154610")));
}

void VaruReinforceView::onItemClicked(const QModelIndex &index)
{
    mController->setCurrentRow(index.row());
}

void VaruReinforceView::onItemDoubleClicked(const QModelIndex &index)
{
    mController->toggleTask(index.row());
}

void VaruReinforceView::onCurselItemStateChanged(int state)
{
    switch (state) {
    case VaruReinforceController::Startable:
        mPause->setText(QStringLiteral("开始"));
        mPause->setEnabled(true);
        mDelete->setEnabled(true);
        break;
    case VaruReinforceController::Busy:
        mPause->setText(QStringLiteral("暂停"));
        mPause->setEnabled(true);
        mDelete->setEnabled(true);
        break;
    case VaruReinforceController::Done:
        mPause->setEnabled(false);
        mDelete->setEnabled(true);
        break;
    default:
        break;
    }
}

bool VaruReinforceView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mTable && event->type() == QEvent::Resize) {
        const int a = (mTable->width() - 300) / 10;
        const int widths[] = {3 * a, 3 * a, 70, 80, 150, 4 * a};
        for (int column = 0; column < 6; ++column)
            mTable->setColumnWidth(column, widths[column]);
    } else if (watched == mTable->viewport() && event->type() == QEvent::MouseButtonPress) {
        if (static_cast<QMouseEvent *>(event)->buttons() == Qt::LeftButton)
            mController->setCurrentRow(-1);
    }
    return false;
}
