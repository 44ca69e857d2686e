#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "tests/ui/uitest.h"
#include "ui/guidesteplabel.h"
#include "ui/guidestepmark.h"
#include "ui/guideview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace VaruUiTest;

class TestGuide : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;
    QString mKeystore;
    VaruUserModel *user() { return VaruUserModel::instance(); }

private slots:
    void initTestCase()
    {
        VaruFixtures::isolateUserFolders(mHome);
        mKeystore = VaruFixtures::makeKeystore(mHome.filePath(QStringLiteral("k.jks")),
            QStringLiteral("storepass1"),
            {{QStringLiteral("release"), QStringLiteral("keypass1")}});
        QVERIFY(!mKeystore.isEmpty());
    }

    void walkThrough()
    {
        user()->login(QStringLiteral("40001"), QStringLiteral("k"));
        user()->setAutoPack(true);
        user()->setAutoSign(false);
        VaruGuideView guide;
        guide.resize(1000, 620);
        guide.show();
        QVERIFY(guide.invitation()->isVisible());
        QVERIFY(!guide.hasWizard());
        guide.onStartConfigure();
        QVERIFY(guide.hasWizard());
        QCOMPARE(guide.pageStack()->currentIndex(), 0);
        QVERIFY(!guide.prevButton()->isVisible() && guide.nextButton()->isVisible());

        // Page 0: a folder that does not exist is refused, with the reason over the guide.
        guide.outputDirEdit()->setText(mHome.filePath(QStringLiteral("missing")));
        guide.onNextStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 0);
        QCOMPARE(messages(&guide), QStringList{"加固包输出目录不存在"});
        guide.outputDirEdit()->setText(mHome.path());
        guide.rovanBox()->setChecked(true);
        guide.onNextStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 1);
        QCOMPARE(user()->outputDir(), mHome.path() + QLatin1Char('/'));
        QVERIFY(user()->useRovan());
        QVERIFY(!user()->useWexly());

        // Page 1: a 5-character password is refused; the real keystore's alias is chosen.
        QVERIFY(guide.prevButton()->isVisible() && guide.nextButton()->isVisible());
        guide.keyStorePathEdit()->setText(mKeystore);
        type(guide.keyStorePasswordEdit(), QStringLiteral("store"));
        guide.onNextStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 1);
        QVERIFY(messages(&guide).contains(QStringLiteral("Keystore密码不合法")));
        type(guide.keyStorePasswordEdit(), QStringLiteral("storepass1"));
        QTRY_COMPARE_WITH_TIMEOUT(
            guide.aliasCombo()->currentText(), QStringLiteral("release"), 60000);
        type(guide.aliasPasswordEdit(), QStringLiteral("keypass1"));
        guide.onNextStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 2);

        // The header on page 2: two done, the third in progress, the last waiting.
        const QList<VaruGuideStepLabel *> steps = guide.stepLabels();
        QCOMPARE(steps[0]->mark()->state(), 2);
        QCOMPARE(steps[1]->mark()->state(), 2);
        QCOMPARE(steps[2]->mark()->state(), 1);
        QCOMPARE(steps[3]->mark()->state(), 0);
        QCOMPARE(steps[0]->mark()->text(), QString()); // a tick instead of the number
        QCOMPARE(steps[2]->mark()->text(), QStringLiteral("3"));
        QCOMPARE(steps[2]->caption()->property("state").toString(), QStringLiteral("processing"));

        // Back and forth saves nothing; page 2 may be left empty.
        guide.onPrevStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 1);
        guide.onNextStep();
        guide.onNextStep();
        QCOMPARE(guide.pageStack()->currentIndex(), 3);
        QVERIFY(!guide.prevButton()->isVisible() && !guide.nextButton()->isVisible());
        QVERIFY(guide.finishButton()->isVisible());
        QVERIFY(user()->autoSign());
        QVERIFY(!user()->autoPack());
        QCOMPARE(user()->keyStoreAlias(), QStringLiteral("release"));

        QSignalSpy finished(&guide, &VaruGuideView::sigGuideFinish);
        guide.finishButton()->click();
        QCOMPARE(finished.count(), 1);

        // Signing out sends the wizard back to its first page with empty editors.
        user()->logout();
        QCOMPARE(guide.pageStack()->currentIndex(), 0);
        QCOMPARE(guide.keyStorePathEdit()->text(), QString());
        user()->login(QStringLiteral("40001"), QStringLiteral("k"));
        QCOMPARE(guide.keyStorePathEdit()->text(), mKeystore);
        QVERIFY(guide.keyStorePathEdit()->isReadOnly());
    }

    void markSizes()
    {
        VaruGuideStepLabel label(QStringLiteral("1"), QStringLiteral("基础设置"));
        label.show();
        QCOMPARE(label.mark()->size(), QSize(30, 30));
        QCOMPARE(label.mark()->fontPixelSize(), 16);
    }
};

QTEST_MAIN(TestGuide)
#include "tst_guide.moc"
