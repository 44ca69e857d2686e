#include "assistantview.h"

#include "assistantcontroller.h"
#include "controllerset.h"
#include "filedialogs.h"
#include "indicator.h"
#include "pagekit.h"
#include "settingscontroller.h"
#include "waitingspinnerwidget.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStringListModel>
#include <QToolButton>

using namespace VaruPageKit;

namespace {

// The two radio buttons of a panel in their own row: first, 30 px, second, stretch.
QHBoxLayout *radioRow(QRadioButton *first, QRadioButton *second)
{
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    row->addWidget(first);
    row->addSpacing(30);
    row->addWidget(second);
    row->addStretch();
    auto *group = new QButtonGroup(first);
    group->addButton(first);
    group->addButton(second);
    return row;
}

QString folderOf(const QString &path)
{
    return path.isEmpty() ? QStringLiteral(".") : QFileInfo(path).absolutePath();
}

VaruSettingsController *settings()
{
    return VaruControllerSet::instance()->controller<VaruSettingsController>();
}

} // namespace

VaruAssistantView::VaruAssistantView(QWidget *parent)
    : QFrame(parent),
      mController(VaruControllerSet::instance()->controller<VaruAssistantController>())
{
    setObjectName(QStringLiteral("assistantView"));
    buildSectionPage(this, {QStringLiteral("签名"), QStringLiteral("多渠道打包")}, &mSectionList,
        &mSectionStack);

    QToolButton *folder = nullptr;
    QFormLayout *sign = addSection(mSectionStack, QStringLiteral("立即签名"), &mSignButton, true);
    mSignPanel = mSectionStack->widget(0);
    mSignApk = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruAssistantView::onOpenSignedOriginalApk);
    mSignOutput = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruAssistantView::onOpenSignedOutputDir);
    mSignStored = new QRadioButton(QStringLiteral("默认签名配置"));
    mSignOwn = new QRadioButton(QStringLiteral("指定签名配置"));
    mKeyStorePath = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruAssistantView::onOpenKeyStorePath);
    mKeyStorePassword = passwordEdit();
    mAlias = VaruPageKit::aliasCombo();
    mAliasPassword = passwordEdit();
    sign->addRow(label(QStringLiteral("APK加固包：")), mSignApk);
    sign->addRow(label(QStringLiteral("输出路径：")), mSignOutput);
    sign->addRow(radioRow(mSignStored, mSignOwn));
    sign->addRow(label(QStringLiteral("Keystore路径：")), mKeyStorePath);
    sign->addRow(label(QStringLiteral("Keystore密码：")), mKeyStorePassword);
    sign->addRow(label(QStringLiteral("Keystore别名：")), mAlias);
    sign->addRow(label(QStringLiteral("别名密码：")), mAliasPassword);

    QFormLayout *pack = addSection(mSectionStack, QStringLiteral("立即打包"), &mPackButton, true);
    mPackPanel = mSectionStack->widget(1);
    mPackApk = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruAssistantView::onOpenPackedOriginalApk);
    mPackOutput = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruAssistantView::onOpenPackedOutputDir);
    mPackStored = new QRadioButton(QStringLiteral("默认打包配置"));
    mPackOwn = new QRadioButton(QStringLiteral("指定打包配置"));
    mAndroidName = new QLineEdit;
    mPackParams = new QLineEdit;
    pack->addRow(label(QStringLiteral("APK加固包：")), mPackApk);
    pack->addRow(label(QStringLiteral("输出路径：")), mPackOutput);
    pack->addRow(radioRow(mPackStored, mPackOwn));
    pack->addRow(label(QStringLiteral("Android Name：")), mAndroidName);
    pack->addRow(label(QStringLiteral("配置参数：")), channelRow(mPackParams));

    mSignSpinner = WaitingSpinnerWidget::createForPage(mSignPanel);
    mPackSpinner = WaitingSpinnerWidget::createForPage(mPackPanel);
    setStyleSheet(pageStyleSheet());

    mSignStored->setChecked(true);
    mPackStored->setChecked(true);
    onSignRadioButtonToggled(true);
    onPackRadioButtonToggled(true);

    connect(mController, &VaruBaseController::sigLoadUi, this, &VaruAssistantView::onLoadUi);
    connect(mController, &VaruBaseController::sigUnloadUi, this, &VaruAssistantView::onUnloadUi);
    connect(mController, &VaruAssistantController::sigReloadDefaultData, this,
        &VaruAssistantView::onReloadDefaultData);
    connect(mController, &VaruAssistantController::sigSignStateChanged, this,
        &VaruAssistantView::onSignStateChanged);
    connect(mController, &VaruAssistantController::sigPackStateChanged, this,
        &VaruAssistantView::onPackStateChanged);
    for (QRadioButton *radio : {mSignStored, mSignOwn})
        connect(radio, &QRadioButton::toggled, this, &VaruAssistantView::onSignRadioButtonToggled);
    for (QRadioButton *radio : {mPackStored, mPackOwn})
        connect(radio, &QRadioButton::toggled, this, &VaruAssistantView::onPackRadioButtonToggled);
    connect(
        mKeyStorePath, &QLineEdit::textChanged, this, &VaruAssistantView::onKeystorePathChanged);
    connect(mKeyStorePassword, &QLineEdit::textChanged, this,
        &VaruAssistantView::onKeystorePasswordChanged);
    connect(
        mAliasPassword, &QLineEdit::textChanged, this, &VaruAssistantView::onAliasPasswordChanged);
    connect(mAndroidName, &QLineEdit::textChanged, this, &VaruAssistantView::onAndroidNameChanged);
    connect(mPackParams, &QLineEdit::textChanged, this, &VaruAssistantView::onParamsChanged);
    connect(mAlias, &QComboBox::currentTextChanged, this,
        &VaruAssistantView::onCurrentAliasTextChanged);
    connect(mController->aliasModel(), &QAbstractItemModel::modelReset, this,
        &VaruAssistantView::onAliasListChanged);
    connect(settings()->aliasModel(), &QAbstractItemModel::modelReset, this,
        &VaruAssistantView::onDefaultAliasListChanged);
    connect(mSignButton, &QToolButton::clicked, this, &VaruAssistantView::onStartSign);
    connect(mPackButton, &QToolButton::clicked, this, &VaruAssistantView::onStartPack);
    mController->loadUiIfLoggedIn();
}

void VaruAssistantView::refreshSignPanel()
{
    const bool stored = mSignStored->isChecked();
    VaruSettingsController *store = settings();
    // The editors change under the page's own hands: their change slots see the stored
    // values only while the stored values are chosen, and then leave the working ones.
    mKeyStorePath->setText(stored ? store->keyStorePath() : mController->keyStorePath());
    mKeyStorePassword->setText(
        stored ? store->keyStorePassword() : mController->keyStorePassword());
    mAliasPassword->setText(
        stored ? store->keyStoreAliasPassword() : mController->keyStoreAliasPassword());
    {
        const QSignalBlocker blocker(mAlias); // switching models is no choice of the user's
        mAlias->setModel(stored ? store->aliasModel() : mController->aliasModel());
    }
    const QStringList aliases
        = stored ? store->aliasModel()->stringList() : mController->aliasModel()->stringList();
    VaruPageKit::selectAlias(
        mAlias, aliases, stored ? store->keyStoreAlias() : mController->keyStoreAlias());
    mController->refreshAliases(mKeyStorePath->text(), mKeyStorePassword->text());
}

void VaruAssistantView::refreshPackPanel()
{
    const bool stored = mPackStored->isChecked();
    mAndroidName->setText(stored ? settings()->androidName() : mController->androidName());
    mPackParams->setText(stored ? settings()->packParams() : mController->packParams());
}

void VaruAssistantView::onLoadUi()
{
    refreshSignPanel();
    refreshPackPanel();
}

void VaruAssistantView::onReloadDefaultData()
{
    onLoadUi();
}

void VaruAssistantView::onUnloadUi()
{
    for (QLineEdit *edit :
        {mKeyStorePath, mKeyStorePassword, mAliasPassword, mAndroidName, mPackParams})
        edit->clear();
}

void VaruAssistantView::onSignRadioButtonToggled(bool)
{
    const bool own = !mSignStored->isChecked();
    for (QWidget *widget :
        std::initializer_list<QWidget *>{mKeyStorePath, mKeyStorePassword, mAlias, mAliasPassword})
        widget->setEnabled(own);
    refreshSignPanel();
}

void VaruAssistantView::onPackRadioButtonToggled(bool)
{
    const bool own = !mPackStored->isChecked();
    mAndroidName->setEnabled(own);
    mPackParams->setEnabled(own);
    refreshPackPanel();
}

void VaruAssistantView::onKeystorePathChanged(const QString &path)
{
    if (mSignStored->isChecked())
        return;
    mController->setKeyStorePath(path);
    mController->refreshAliases(mController->keyStorePath(), mController->keyStorePassword());
}

void VaruAssistantView::onKeystorePasswordChanged(const QString &password)
{
    if (mSignStored->isChecked())
        return;
    mController->setKeyStorePassword(password);
    mController->refreshAliases(mController->keyStorePath(), mController->keyStorePassword());
}

void VaruAssistantView::onCurrentAliasTextChanged(const QString &alias)
{
    if (!mSignStored->isChecked())
        mController->setKeyStoreAlias(alias);
}

void VaruAssistantView::onAliasPasswordChanged(const QString &password)
{
    if (!mSignStored->isChecked())
        mController->setKeyStoreAliasPassword(password);
}

void VaruAssistantView::onAndroidNameChanged(const QString &androidName)
{
    if (!mPackStored->isChecked())
        mController->setAndroidName(androidName);
}

void VaruAssistantView::onParamsChanged(const QString &params)
{
    if (!mPackStored->isChecked())
        mController->setPackParams(params);
}

void VaruAssistantView::onAliasListChanged()
{
    if (mAlias->model() == mController->aliasModel())
        VaruPageKit::selectAlias(
            mAlias, mController->aliasModel()->stringList(), mController->keyStoreAlias());
}

void VaruAssistantView::onDefaultAliasListChanged()
{
    if (mAlias->model() == settings()->aliasModel())
        VaruPageKit::selectAlias(
            mAlias, settings()->aliasModel()->stringList(), settings()->keyStoreAlias());
}

void VaruAssistantView::onOpenSignedOriginalApk()
{
    const QString path = VaruFileDialogs::openFileName(this, QStringLiteral("打开待签名Apk原包"),
        folderOf(mController->signApkPath()), QStringLiteral("Apk Files(*.apk)"));
    if (path.isEmpty())
        return;
    mController->setSignApkPath(path);
    mSignApk->setText(path);
}

void VaruAssistantView::onOpenSignedOutputDir()
{
    const QString dir = VaruFileDialogs::existingDirectory(
        this, QStringLiteral("打开签名输出目录"), mController->signOutputDir());
    if (dir.isEmpty())
        return;
    mController->setSignOutputDir(dir);
    mSignOutput->setText(dir);
}

void VaruAssistantView::onOpenKeyStorePath()
{
    const QString path = VaruFileDialogs::keystoreFile(this, mController->keyStorePath());
    if (path.isEmpty())
        return;
    mController->setKeyStorePath(path);
    mKeyStorePath->setText(path);
}

void VaruAssistantView::onOpenPackedOriginalApk()
{
    const QString path = VaruFileDialogs::openFileName(this, QStringLiteral("打开待打包Apk原包"),
        folderOf(mController->packApkPath()), QStringLiteral("Apk Files(*.apk)"));
    if (path.isEmpty())
        return;
    mController->setPackApkPath(path);
    mPackApk->setText(path);
}

void VaruAssistantView::onOpenPackedOutputDir()
{
    const QString dir = VaruFileDialogs::existingDirectory(
        this, QStringLiteral("打开打包输出目录"), mController->packOutputDir());
    if (dir.isEmpty())
        return;
    mController->setPackOutputDir(dir);
    mPackOutput->setText(dir);
}

void VaruAssistantView::onStartSign()
{
    mSignSpinner->start();
    mController->startSign(mSignStored->isChecked());
}

void VaruAssistantView::onStartPack()
{
    mPackSpinner->start();
    mController->startPack(mPackStored->isChecked());
}

void VaruAssistantView::onSignStateChanged(bool, const QString &tip)
{
    mSignSpinner->stop();
    if (!tip.isEmpty())
        VaruIndicator::showMessage(this, tip);
}

void VaruAssistantView::onPackStateChanged(bool succeed, const QString &tip)
{
    mPackSpinner->stop();
    if (!succeed && !tip.isEmpty())
        VaruIndicator::showMessage(this, tip);
}
