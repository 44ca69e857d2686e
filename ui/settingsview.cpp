#include "settingsview.h"

#include "controllerset.h"
#include "filedialogs.h"
#include "indicator.h"
#include "pagekit.h"
#include "settingscontroller.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QStackedWidget>
#include <QStringListModel>
#include <QToolButton>

using namespace VaruPageKit;

VaruSettingsView::VaruSettingsView(QWidget *parent)
    : QFrame(parent),
      mController(VaruControllerSet::instance()->controller<VaruSettingsController>())
{
    setObjectName(QStringLiteral("settingsView"));
    buildSectionPage(this,
        {QStringLiteral("基础设置"), QStringLiteral("签名设置"), QStringLiteral("多渠道设置")},
        &mSectionList, &mSectionStack);

    QToolButton *save = nullptr;
    QToolButton *folder = nullptr;
    QFormLayout *basic = addSection(mSectionStack, QStringLiteral("保存"), &save, false);
    mOutputDir = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruSettingsView::onOpenOutputDir);
    mWexly = toggleButton();
    mRovan = toggleButton();
    basic->addRow(label(QStringLiteral("加固包输出路径：")), mOutputDir);
    basic->addRow(label(QStringLiteral("wexly质量跟踪：")), mWexly);
    basic->addRow(label(QStringLiteral("ROVAN运营分析：")), mRovan);
    connect(save, &QToolButton::clicked, this, &VaruSettingsView::onSaveBasicSettings);

    QFormLayout *sign = addSection(mSectionStack, QStringLiteral("保存"), &save, true);
    mKeyStorePath = pathEdit(&folder);
    connect(folder, &QToolButton::clicked, this, &VaruSettingsView::onOpenKeyStorePath);
    mKeyStorePassword = passwordEdit();
    mAlias = VaruPageKit::aliasCombo();
    mAlias->setModel(mController->aliasModel());
    mAliasPassword = passwordEdit();
    mAutoSign = toggleButton();
    sign->addRow(label(QStringLiteral("Keystore路径：")), mKeyStorePath);
    sign->addRow(label(QStringLiteral("Keystore密码：")), mKeyStorePassword);
    sign->addRow(label(QStringLiteral("Keystore别名：")), mAlias);
    sign->addRow(label(QStringLiteral("别名密码：")), mAliasPassword);
    sign->addRow(label(QStringLiteral("自动签名：")), mAutoSign);
    connect(save, &QToolButton::clicked, this, &VaruSettingsView::onSaveSignSettings);

    QFormLayout *pack = addSection(mSectionStack, QStringLiteral("保存"), &save, true);
    mAndroidName = new QLineEdit;
    mPackParams = new QLineEdit;
    mAutoPack = toggleButton();
    pack->addRow(label(QStringLiteral("Android Name：")), mAndroidName);
    pack->addRow(label(QStringLiteral("配置参数：")), channelRow(mPackParams));
    pack->addRow(label(QStringLiteral("自动多渠道打包：")), mAutoPack);
    connect(save, &QToolButton::clicked, this, &VaruSettingsView::onSavePackSettings);

    setStyleSheet(pageStyleSheet());

    connect(mKeyStorePath, &QLineEdit::textChanged, this, &VaruSettingsView::onKeystorePathChanged);
    connect(mKeyStorePassword, &QLineEdit::textChanged, this,
        &VaruSettingsView::onKeystorePasswordChanged);
    connect(mController->aliasModel(), &QAbstractItemModel::modelReset, this,
        &VaruSettingsView::onAliasListChanged);
    connect(mController, &VaruBaseController::sigLoadUi, this, &VaruSettingsView::onLoadUi);
    connect(mController, &VaruBaseController::sigUnloadUi, this, &VaruSettingsView::onUnloadUi);
    connect(
        mController, &VaruSettingsController::sigReloadData, this, &VaruSettingsView::onReloadData);
    connect(mController, &VaruSettingsController::sigFlushResult, this,
        &VaruSettingsView::onSettingsFlushResult);
    mController->loadUiIfLoggedIn();
}

void VaruSettingsView::fillFromStore()
{
    mOutputDir->setText(mController->outputDir());
    mOutputDir->setReadOnly(true);
    mRovan->setChecked(mController->useRovan());
    mWexly->setChecked(mController->useWexly());
    mKeyStorePath->setText(mController->keyStorePath());
    mKeyStorePath->setReadOnly(true);
    mKeyStorePassword->setText(mController->keyStorePassword());
    mAliasPassword->setText(mController->keyStoreAliasPassword());
    mAutoSign->setChecked(mController->autoSign());
    mAndroidName->setText(mController->androidName());
    mPackParams->setText(mController->packParams());
    mAutoPack->setChecked(mController->autoPack());
}

void VaruSettingsView::onLoadUi()
{
    fillFromStore();
}

void VaruSettingsView::onReloadData()
{
    fillFromStore();
}

void VaruSettingsView::showEvent(QShowEvent *event)
{
    // Unsaved edits give way to the stored values whenever the page is shown.
    fillFromStore();
    mKeyStorePath->setReadOnly(false);
    QFrame::showEvent(event);
}

void VaruSettingsView::onUnloadUi()
{
    for (QLineEdit *edit :
        {mOutputDir, mKeyStorePath, mKeyStorePassword, mAliasPassword, mAndroidName, mPackParams})
        edit->clear();
    for (QToolButton *toggle : {mRovan, mWexly, mAutoSign, mAutoPack})
        toggle->setChecked(true);
}

void VaruSettingsView::onOpenOutputDir()
{
    const QString dir = VaruFileDialogs::existingDirectory(
        this, QStringLiteral("打开加固包输出目录"), mController->outputDir());
    if (dir.isEmpty())
        return;
    mController->setOutputDir(dir);
    mOutputDir->setText(dir);
}

void VaruSettingsView::onOpenKeyStorePath()
{
    const QString path = VaruFileDialogs::keystoreFile(this, mController->keyStorePath());
    if (path.isEmpty())
        return;
    mController->setKeyStorePath(path);
    mKeyStorePath->setText(path);
}

void VaruSettingsView::onKeystorePathChanged(const QString &path)
{
    mController->setKeyStorePath(path);
    mController->refreshAliases();
}

void VaruSettingsView::onKeystorePasswordChanged(const QString &password)
{
    mController->setKeyStorePassword(password);
    mController->refreshAliases();
}

void VaruSettingsView::onAliasListChanged()
{
    selectAlias(mAlias, mController->aliasModel()->stringList(), mController->keyStoreAlias());
}

void VaruSettingsView::onSaveBasicSettings()
{
    mController->setOutputDir(mOutputDir->text());
    mController->setUseRovan(mRovan->isChecked());
    mController->setUseWexly(mWexly->isChecked());
    mController->saveSettings(VaruSettingsController::SettingsBasic);
}

void VaruSettingsView::onSaveSignSettings()
{
    mController->setKeyStorePath(mKeyStorePath->text());
    mController->setKeyStorePassword(mKeyStorePassword->text());
    mController->setKeyStoreAlias(mAlias->currentText());
    mController->setKeyStoreAliasPassword(mAliasPassword->text());
    mController->setAutoSign(mAutoSign->isChecked());
    mController->saveSettings(VaruSettingsController::SettingsSign);
}

void VaruSettingsView::onSavePackSettings()
{
    mController->setAndroidName(mAndroidName->text());
    mController->setPackParams(mPackParams->text());
    mController->setAutoPack(mAutoPack->isChecked());
    mController->saveSettings(VaruSettingsController::SettingsPack);
}

void VaruSettingsView::onSettingsFlushResult(bool, const QString &tip)
{
    if (!isHidden())
        VaruIndicator::showMessage(this, tip);
}
