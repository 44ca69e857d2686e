#include "guideview.h"

#include "controllerset.h"
#include "filedialogs.h"
#include "guidesteparrow.h"
#include "guidesteplabel.h"
#include "indicator.h"
#include "pagekit.h"
#include "settingscontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QStringListModel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QLabel *styledLabel(const QString &text, const char *objectName)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(objectName));
    return label;
}

// A form row label of the guide: 90 px wide.
QLabel *rowLabel(const QString &text)
{
    QLabel *label = styledLabel(text, "rowLabel");
    label->setFixedWidth(90);
    return label;
}

QFormLayout *form()
{
    auto *layout = new QFormLayout;
    layout->setSpacing(15);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    return layout;
}

QToolButton *button(const QString &text, const char *objectName)
{
    auto *b = new QToolButton;
    b->setObjectName(QString::fromLatin1(objectName));
    b->setText(text);
    b->setFixedSize(120, 40);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

const QString kInvitationStyle = QStringLiteral(
    "#invitation { background: transparent; }"
    "#firstTipTitle { font-size: 24px; color: #333333; background: transparent; }"
    "#firstTipSubTitle { font-size: 12px; color: #999999; background: transparent; }"
    "#configButton { background-color: #0070cc; color: white; font-size: 14px; border: none; "
    "border-radius: 2px; }"
    "#configButton:hover { background-color: #0064b6; }");

const QString kGuideStyle
    = QStringLiteral("VaruGuideView { background-color: #fafafa; }"
                     "QStackedWidget, QStackedWidget > QWidget { background: transparent; }"
                     "#largeTitle { font-size: 24px; color: #333333; }"
                     "#title { font-size: 16px; color: #333333; }"
                     "#rowLabel { font-size: 12px; color: #666666; }"
                     "#tip { font-size: 12px; color: #999999; }"
                     "QCheckBox { font-size: 12px; color: #999999; background: transparent; }"
                     "QCheckBox:hover { color: #666666; }"
                     "QCheckBox::indicator { width: 12px; height: 12px; background: white; border: "
                     "1px solid #999999;"
                     " border-radius: 2px; }"
                     "QCheckBox::indicator:checked { image: url(:/icon/checkbox); }"
                     "#prevStepButton { background-color: white; border: 1px solid #999999; color: "
                     "#0070cc; font-size: 14px;"
                     " border-radius: 2px; }"
                     "#prevStepButton:hover { background-color: #fafafa; color: #0064b6; }"
                     "#nextStepButton, #finishButton { background-color: #0070cc; color: white; "
                     "font-size: 14px; border: none;"
                     " border-radius: 2px; }"
                     "#nextStepButton:hover, #finishButton:hover { background-color: #0064b6; }");

} // namespace

VaruGuideView::VaruGuideView(QWidget *parent)
    : QFrame(parent),
      mController(VaruControllerSet::instance()->controller<VaruSettingsController>())
{
    setObjectName(QStringLiteral("guideView"));
    mInvitation = new QWidget(this);
    mInvitation->setObjectName(QStringLiteral("invitation"));
    auto *column = new QVBoxLayout(mInvitation);
    column->addStretch();
    QLabel *title = styledLabel(QStringLiteral("首次使用请先配置签名等相关信息"), "firstTipTitle");
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    column->addSpacing(15);
    QLabel *subtitle = styledLabel(
        QStringLiteral(
            "首次加固应用需配置加固包输出路径、签名等信息，\n否则无法完成自动加固和签名"),
        "firstTipSubTitle");
    subtitle->setAlignment(Qt::AlignCenter);
    column->addWidget(subtitle);
    column->addSpacing(40);
    QToolButton *configure = button(QStringLiteral("立即配置"), "configButton");
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(configure);
    row->addStretch();
    column->addLayout(row);
    column->addStretch();
    mInvitation->setStyleSheet(kInvitationStyle);
    setStyleSheet(QStringLiteral("VaruGuideView { background-color: #fafafa; }"));

    connect(configure, &QToolButton::clicked, this, &VaruGuideView::onStartConfigure);
    connect(mController, &VaruBaseController::sigLoadUi, this, &VaruGuideView::onLoadUi);
    connect(mController, &VaruBaseController::sigUnloadUi, this, &VaruGuideView::onUnloadUi);
    connect(mController, &VaruSettingsController::sigFlushResult, this,
        &VaruGuideView::onSettingsFlushResult);
}

void VaruGuideView::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    if (mInvitation)
        mInvitation->setGeometry(0, 0, width(), height());
}

QWidget *VaruGuideView::buildPathPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(15);
    column->addWidget(styledLabel(QStringLiteral("路径设置"), "title"));
    QFormLayout *rows = form();
    QToolButton *folder = nullptr;
    mOutputDir = VaruPageKit::pathEdit(&folder);
    mOutputDir->setText(mController->outputDir());
    connect(folder, &QToolButton::clicked, this, &VaruGuideView::onOpenOutputDir);
    rows->addRow(rowLabel(QStringLiteral("加固包输出路径：")), mOutputDir);
    column->addLayout(rows);
    column->addWidget(styledLabel(QStringLiteral("服务设置"), "title"));
    QFormLayout *services = form();
    auto *basic = new QHBoxLayout;
    basic->setSpacing(40);
    for (const QString &name : {QStringLiteral("反破解"), QStringLiteral("Dex加固"),
             QStringLiteral("64位兼容"), QStringLiteral("兼容Android P")}) {
        auto *box = new QCheckBox(name);
        box->setChecked(true);
        box->setEnabled(false);
        basic->addWidget(box);
    }
    basic->addStretch();
    services->addRow(rowLabel(QStringLiteral("基础服务：")), basic);
    auto *data = new QHBoxLayout;
    data->setSpacing(40);
    mWexly = new QCheckBox(QStringLiteral("wexly质量跟踪"));
    mRovan = new QCheckBox(QStringLiteral("ROVAN运营分析"));
    data->addWidget(mWexly);
    data->addWidget(mRovan);
    data->addStretch();
    services->addRow(rowLabel(QStringLiteral("数据服务：")), data);
    column->addLayout(services);
    column->addStretch();
    return page;
}

QWidget *VaruGuideView::buildSignPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(15);
    column->addWidget(styledLabel(
        QStringLiteral("* 所有的配置信息（包括签名、密码等）仅存储在本地，不会被上传。"), "tip"));
    QFormLayout *rows = form();
    QToolButton *folder = nullptr;
    mKeyStorePath = VaruPageKit::pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruGuideView::onOpenKeyStorePath);
    mKeyStorePassword = VaruPageKit::passwordEdit();
    mAlias = VaruPageKit::aliasCombo();
    mAlias->setEditable(false);
    mAlias->setModel(mController->aliasModel());
    mAliasPassword = VaruPageKit::passwordEdit();
    rows->addRow(rowLabel(QStringLiteral("Keystore路径：")), mKeyStorePath);
    rows->addRow(rowLabel(QStringLiteral("Keystore密码：")), mKeyStorePassword);
    rows->addRow(rowLabel(QStringLiteral("Keystore别名：")), mAlias);
    rows->addRow(rowLabel(QStringLiteral("别名密码：")), mAliasPassword);
    column->addLayout(rows);
    column->addStretch();
    connect(mKeyStorePath, &QLineEdit::textChanged, this, &VaruGuideView::onKeystorePathChanged);
    connect(mKeyStorePassword, &QLineEdit::textChanged, this,
        &VaruGuideView::onKeystorePasswordChanged);
    connect(mController->aliasModel(), &QAbstractItemModel::modelReset, this,
        &VaruGuideView::onAliasListChanged);
    mKeyStorePath->setText(mController->keyStorePath());
    mKeyStorePassword->setText(mController->keyStorePassword());
    mAliasPassword->setText(mController->keyStoreAliasPassword());
    return page;
}

QWidget *VaruGuideView::buildPackPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(15);
    column->addWidget(styledLabel(QStringLiteral("* 不需要多渠道打包可跳过此步骤。"), "tip"));
    QFormLayout *rows = form();
    mAndroidName = new QLineEdit(mController->androidName());
    mPackParams = new QLineEdit(mController->packParams());
    rows->addRow(rowLabel(QStringLiteral("Android Name：")), mAndroidName);
    rows->addRow(rowLabel(QStringLiteral("配置参数：")), mPackParams);
    rows->addRow(
        new QWidget, styledLabel(QStringLiteral("参考示例：kestrin;xiaomi;baidu;"), "tip"));
    column->addLayout(rows);
    column->addStretch();
    return page;
}

QWidget *VaruGuideView::buildDonePage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(15);
    column->addStretch();
    QLabel *title = styledLabel(QStringLiteral("设置完成！"), "largeTitle");
    title->setAlignment(Qt::AlignCenter);
    column->addWidget(title);
    QLabel *tip = styledLabel(QStringLiteral("如需更改配置参数，可至设置栏目重新修改。"), "tip");
    tip->setAlignment(Qt::AlignCenter);
    column->addWidget(tip);
    column->addSpacing(30);
    mFinish = button(QStringLiteral("前往加固"), "finishButton");
    connect(mFinish, &QToolButton::clicked, this, &VaruGuideView::sigGuideFinish);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(mFinish);
    row->addStretch();
    column->addLayout(row);
    column->addStretch();
    return page;
}

void VaruGuideView::onStartConfigure()
{
    if (!mInvitation)
        return;
    mInvitation->hide();
    mInvitation->deleteLater();
    mInvitation = nullptr;

    auto *header = new QHBoxLayout;
    header->setSpacing(0);
    header->setContentsMargins(0, 0, 0, 0);
    const QStringList captions = {QStringLiteral("基础设置"), QStringLiteral("签名设置"),
        QStringLiteral("多渠道设置"), QStringLiteral("完成")};
    for (int i = 0; i < captions.size(); ++i) {
        if (i > 0)
            header->addWidget(new VaruGuideStepArrow, 1);
        auto *step = new VaruGuideStepLabel(QString::number(i + 1), captions[i]);
        mSteps << step;
        header->addWidget(step);
    }

    mStack = new QStackedWidget(this);
    mStack->addWidget(buildPathPage());
    mStack->addWidget(buildSignPage());
    mStack->addWidget(buildPackPage());
    mStack->addWidget(buildDonePage());
    connect(mStack, &QStackedWidget::currentChanged, this, &VaruGuideView::onCurrentPageChanged);
    mStack->setCurrentIndex(0);

    mPrev = button(QStringLiteral("上一步"), "prevStepButton");
    mNext = button(QStringLiteral("下一步"), "nextStepButton");
    connect(mPrev, &QToolButton::clicked, this, &VaruGuideView::onPrevStep);
    connect(mNext, &QToolButton::clicked, this, &VaruGuideView::onNextStep);
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(30);
    buttons->addStretch();
    buttons->addWidget(mPrev);
    buttons->addWidget(mNext);
    buttons->addStretch();

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(180, 80, 180, 80);
    outer->setSpacing(0);
    outer->addLayout(header);
    outer->addSpacing(60);
    outer->addWidget(mStack, 1);
    outer->addSpacing(30);
    outer->addLayout(buttons);
    setStyleSheet(kGuideStyle + VaruPageKit::pageStyleSheet());
    onCurrentPageChanged(0);
}

void VaruGuideView::onNextStep()
{
    if (!mStack)
        return;
    const int index = mStack->currentIndex();
    if (index > 3)
        return;
    if (!mController) {
        mStack->setCurrentIndex(index + 1);
        return;
    }
    int category = 0;
    switch (index) {
    case 0:
        mController->setOutputDir(mOutputDir->text());
        mController->setUseRovan(mRovan->isChecked());
        mController->setUseWexly(mWexly->isChecked());
        category = VaruSettingsController::SettingsBasic;
        break;
    case 1:
        mController->setKeyStorePath(mKeyStorePath->text());
        mController->setKeyStorePassword(mKeyStorePassword->text());
        mController->setKeyStoreAlias(mAlias->currentText());
        mController->setKeyStoreAliasPassword(mAliasPassword->text());
        mController->setAutoSign(true);
        category = VaruSettingsController::SettingsSign;
        break;
    case 2:
        mController->setAndroidName(mAndroidName->text());
        mController->setPackParams(mPackParams->text());
        mController->setAutoPack(false);
        category = VaruSettingsController::SettingsPack;
        break;
    default:
        return; // there is no page after the last
    }
    if (mController->saveSettings(category))
        mStack->setCurrentIndex(index + 1);
}

void VaruGuideView::onPrevStep()
{
    if (mStack && mStack->currentIndex() != 0)
        mStack->setCurrentIndex(mStack->currentIndex() - 1);
}

void VaruGuideView::onCurrentPageChanged(int index)
{
    mPrev->setVisible(index == 1 || index == 2);
    mNext->setVisible(index != 3);
    for (int i = 0; i < mSteps.size(); ++i)
        mSteps[i]->setState(i < index ? 2 : (i == index ? 1 : 0));
}

void VaruGuideView::onSettingsFlushResult(bool succeed, const QString &tip)
{
    if (!succeed && !isHidden())
        VaruIndicator::showMessage(this, tip);
}

void VaruGuideView::onOpenOutputDir()
{
    const QString dir = VaruFileDialogs::existingDirectory(
        this, QStringLiteral("打开加固包输出目录"), mController->workingOutputDir());
    if (dir.isEmpty())
        return;
    mController->setOutputDir(dir);
    mOutputDir->setText(dir);
}

void VaruGuideView::onOpenKeyStorePath()
{
    const QString path = VaruFileDialogs::keystoreFile(this, mController->keyStorePath());
    if (path.isEmpty())
        return;
    mController->setKeyStorePath(path);
    mKeyStorePath->setText(path);
}

void VaruGuideView::onKeystorePathChanged(const QString &path)
{
    mController->setKeyStorePath(path);
    mController->refreshAliases();
}

void VaruGuideView::onKeystorePasswordChanged(const QString &password)
{
    mController->setKeyStorePassword(password);
    mController->refreshAliases();
}

void VaruGuideView::onAliasListChanged()
{
    VaruPageKit::selectAlias(
        mAlias, mController->aliasModel()->stringList(), mController->keyStoreAlias());
}

void VaruGuideView::onLoadUi()
{
    if (!mStack)
        return;
    mOutputDir->setText(mController->outputDir());
    mOutputDir->setReadOnly(true);
    mKeyStorePath->setText(mController->keyStorePath());
    mKeyStorePath->setReadOnly(true);
    mKeyStorePassword->setText(mController->keyStorePassword());
    mAliasPassword->setText(mController->keyStoreAliasPassword());
    mAndroidName->setText(mController->androidName());
    mPackParams->setText(mController->packParams());
}

void VaruGuideView::onUnloadUi()
{
    if (!mStack)
        return;
    mStack->setCurrentIndex(0);
    for (QLineEdit *edit :
        {mOutputDir, mKeyStorePath, mKeyStorePassword, mAliasPassword, mAndroidName, mPackParams})
        edit->clear();
}
