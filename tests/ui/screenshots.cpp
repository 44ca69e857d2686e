// Renders every page of the client in its states into PNG files, for a person to look at:
//   screenshots OUTPUT_FOLDER
#include "app/startup.h"
#include "core/usermodel.h"
#include "tasks/apkinfo.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/fixtures.h"
#include "tests/fixtures/records.h"
#include "ui/assistantview.h"
#include "ui/guideview.h"
#include "ui/indicator.h"
#include "ui/loginview.h"
#include "ui/mainwindow.h"
#include "ui/reinforceview.h"
#include "ui/settingsview.h"
#include "ui/waitingspinnerwidget.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWebEngineView>

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
    guide.hide();

    // The hardening page with tasks in several states.
    VaruApkRecords *records = user->apkRecords();
    const struct {
        const char *md5;
        int fileState;
        int taskState;
        const char *text;
    } tasks[] = {{"A1", 1, 2, "上传中...(45.3%) 速度: 1.20 MB/s"}, {"B2", 10, 2, ""},
        {"C3", 20, -1, "文件下载失败"}, {"D4", 40, 4, ""}, {"E5", 1, 3, ""}, {"F6", 1, 1, ""}};
    qint64 time = 1765400000000;
    for (const auto &t : tasks) {
        auto record = VaruFixtures::makeRecord(QString::fromLatin1(t.md5), time += 60000,
            QStringLiteral("com.example.game%1").arg(QLatin1String(t.md5)));
        record->setFileState(t.fileState);
        record->setTaskState(t.taskState, QString::fromUtf8(t.text));
        records->updateRecord(record);
    }
    VaruMainWindow window;
    window.onLoginStateChanged(1, QStringLiteral("123456789"), false);
    window.resize(1000, 680);
    window.show();
    printf("row1 %s viewport %d\n", qPrintable(records->data(records->index(1, 0)).toString()),
        window.reinforceView()->table()->viewport()->height());
    shoot(&window, QStringLiteral("main-hardening"));
    window.reinforceView()->onItemClicked(records->index(2, 0));
    window.reinforceView()->table()->selectRow(2);
    shoot(&window, QStringLiteral("main-hardening-selected"));
    window.showMaximized();
    QTest::qWait(300);
    shoot(&window, QStringLiteral("main-maximised"));
    window.showNormal();
    window.onLoginStateChanged(2, QString(), false);
    window.loginView()->webView()->stop();
    window.resize(1000, 680);
    shoot(&window, QStringLiteral("main-login-web"));
    VaruMainWindow fresh;
    fresh.resize(1000, 680);
    fresh.show();
    shoot(&fresh, QStringLiteral("main-login"));
    return 0;
}
