// Renders every page of the client in its states into PNG files, for a person to look at:
//   screenshots OUTPUT_FOLDER
#include "app/startup.h"
#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "ui/assistantview.h"
#include "ui/guideview.h"
#include "ui/indicator.h"
#include "ui/settingsview.h"
#include "ui/waitingspinnerwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

QString gFolder;

void shoot(QWidget *widget, const QString &name)
{
    QTest::qWait(50);
    widget->grab().save(QDir(gFolder).filePath(name + QStringLiteral(".png")));
    printf("%s\n", qPrintable(name));
}

void waitFor(const std::function<bool()> &condition)
{
    for (int i = 0; i < 200 && !condition(); ++i)
        QTest::qWait(50);
}

} // namespace

int main(int argc, char *argv[])
{
    setApplicationAttributes();
    QApplication app(argc, argv);
    installApplicationFont();
    gFolder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(gFolder);
    QTemporaryDir home;
    VaruFixtures::isolateUserFolders(home);
    const QString keystore = VaruFixtures::makeKeystore(
        home.filePath(QStringLiteral("release.jks")), QStringLiteral("storepass1"),
        {{QStringLiteral("release"), QStringLiteral("keypass1")},
            {QStringLiteral("upload"), QStringLiteral("keypass2")}});
    VaruUserModel *user = VaruUserModel::instance();
    user->login(QStringLiteral("o123456789"), QStringLiteral("@key"));
    user->setOutputDir(home.path());
    user->setKeyStorePath(keystore);
    user->setKeyStorePassword(QStringLiteral("storepass1"));
    user->setKeyStoreAlias(QStringLiteral("upload"));
    user->setKeyStoreAliasPassword(QStringLiteral("keypass2"));
    user->setAutoSign(true);
    user->setAndroidName(QStringLiteral("UMENG_CHANNEL"));
    user->setPackParams(QStringLiteral("kestrin;xiaomi;baidu;"));
    user->logout();
    user->login(QStringLiteral("o123456789"), QStringLiteral("@key"));

    const QSize pageSize(1000, 620);

    VaruSettingsView settings;
    settings.resize(pageSize);
    settings.show();
    waitFor([&] { return settings.aliasCombo()->count() > 0; });
    for (int section = 0; section < 3; ++section) {
        settings.sectionList()->setCurrentRow(section);
        shoot(&settings, QStringLiteral("settings-%1").arg(section + 1));
    }
    settings.sectionList()->setCurrentRow(1);
    VaruIndicator::showMessage(&settings, QStringLiteral("Keystore密码不合法"));
    shoot(&settings, QStringLiteral("settings-message"));
    settings.hide();

    VaruAssistantView tools;
    tools.resize(pageSize);
    tools.show();
    waitFor([&] { return tools.aliasCombo()->count() > 0; });
    shoot(&tools, QStringLiteral("tools-sign-stored"));
    tools.signOwnRadio()->setChecked(true);
    tools.keyStorePathEdit()->setText(keystore);
    tools.keyStorePasswordEdit()->setText(QStringLiteral("storepass1"));
    waitFor([&] { return tools.aliasCombo()->count() > 0; });
    shoot(&tools, QStringLiteral("tools-sign-own"));
    tools.signSpinner()->start();
    QTest::qWait(200);
    shoot(&tools, QStringLiteral("tools-sign-spinner"));
    tools.signSpinner()->stop();
    tools.sectionList()->setCurrentRow(1);
    shoot(&tools, QStringLiteral("tools-pack-stored"));
    tools.packOwnRadio()->setChecked(true);
    tools.androidNameEdit()->setText(QStringLiteral("CHANNEL"));
    shoot(&tools, QStringLiteral("tools-pack-own"));
    tools.hide();

    VaruGuideView guide;
    guide.resize(pageSize);
    guide.show();
    shoot(&guide, QStringLiteral("guide-invitation"));
    guide.onStartConfigure();
    for (int page = 0; page < 4; ++page) {
        guide.pageStack()->setCurrentIndex(page);
        shoot(&guide, QStringLiteral("guide-page-%1").arg(page + 1));
    }
    return 0;
}
