#include "service/apkscanner.h"
#include "service/request.h"
#include "service/requestqueue.h"
#include "tasks/apkinfo.h"
#include "tasks/apkrecords.h"
#include "tests/fixtures/records.h"
#include "tests/fixtures/simfixture.h"
#include "tests/ui/uitest.h"
#include "ui/reinforcecontroller.h"
#include "ui/reinforceview.h"
#include "ui/waitingspinnerwidget.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTableView>
#include <QToolButton>
#include <QtTest>

using namespace VaruUiTest;

class TestReinforcePage : public QObject
{
    Q_OBJECT

private:
    VaruFixtures::SimFixture mFixture;
    Answers mAnswers;
    int mApks = 0;
    VaruApkRecords *records() { return VaruUserModel::instance()->apkRecords(); }

    QString newApk()
    {
        VaruFixtures::ApkSpec shape;
        shape.versionName = QStringLiteral("2.%1").arg(++mApks);
        return VaruFixtures::makeApk(
            mFixture.home.path(), QStringLiteral("app%1.apk").arg(mApks), shape);
    }
    // Adds through the page's own button and file choice; waits for the reading to end.
    void add(VaruReinforceView &view, const QString &path)
    {
        mAnswers.file = path;
        QSignalSpy finished(view.controller(), &VaruReinforceController::sigAddApkFinish);
        view.onAdd();
        if (finished.isEmpty())
            QVERIFY(finished.wait(60000));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFixture.start());
        mFixture.sim.setSignOutput(false);
        VaruApkScanner::instance()->setTickMillisecondsForTesting(50);
        mAnswers.install();
    }
    void init()
    {
        if (!VaruUserModel::instance()->isLoggedIn()) {
            VaruUserModel::instance()->login(QStringLiteral("10086"), QStringLiteral("@session"));
            VaruUserModel::instance()->setOutputDir(mFixture.outputDir);
        }
        mFixture.sim.setPollsUntilDone(2);
    }

    void addingApks()
    {
        VaruReinforceView view;
        view.resize(1000, 600);
        view.show();
        const QString apk = newApk();
        mAnswers.file = apk;
        QSignalSpy finished(view.controller(), &VaruReinforceController::sigAddApkFinish);
        view.onAdd();
        QVERIFY(!view.addButton()->isEnabled()); // one reading at a time
        QVERIFY(view.spinner()->isSpinning());
        QVERIFY(finished.wait(60000));
        QVERIFY(view.addButton()->isEnabled());
        QCOMPARE(records()->rowCount(), 1);
        QCOMPARE(records()->recordAt(0)->filePath(), apk);

        add(view, apk);
        QCOMPARE(messages(view.table()), QStringList{"请勿重复添加应用"});
        QCOMPARE(records()->rowCount(), 1);

        add(view, mFixture.home.filePath(QStringLiteral("gone.apk")));
        QVERIFY(messages(view.table()).contains(QStringLiteral("Apk路径不存在")));
        QFile junk(mFixture.home.filePath(QStringLiteral("junk.apk")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not an apk");
        junk.close();
        add(view, junk.fileName());
        QVERIFY(messages(view.table()).contains(QStringLiteral("Apk解析失败")));
        QCOMPARE(records()->rowCount(), 1);

        // A cancelled dialog changes nothing.
        mAnswers.file.clear();
        view.onAdd();
        QVERIFY(view.addButton()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(
            records()->recordAt(0)->taskState() == VaruApkInfo::TaskCompleted, 120000);
    }

    void selectionStates_data()
    {
        QTest::addColumn<int>("taskState");
        QTest::addColumn<int>("fileState");
        QTest::addColumn<bool>("autoSign");
        QTest::addColumn<int>("state");
        QTest::newRow("queued") << 1 << 1 << false << 1;
        QTest::newRow("running") << 2 << 10 << false << 1;
        QTest::newRow("paused") << 3 << 10 << false << 0;
        QTest::newRow("failed") << -1 << 20 << false << 0;
        QTest::newRow("downloaded, signing off") << 4 << 30 << false << 2;
        QTest::newRow("downloaded, signing on") << 4 << 30 << true << 0;
        QTest::newRow("uploaded") << 4 << 10 << false << 0;
    }
    void selectionStates()
    {
        QFETCH(int, taskState);
        QFETCH(int, fileState);
        QFETCH(bool, autoSign);
        QFETCH(int, state);
        VaruUserModel::instance()->setAutoSign(autoSign);
        QCOMPARE(VaruReinforceController::selectionState(taskState, fileState), state);
        VaruUserModel::instance()->setAutoSign(false);
    }

    // Double-clicking a running task pauses it, double-clicking again resumes it; a click
    // below the rows leaves no current task.
    void startPauseAndSelection()
    {
        mFixture.sim.setPollsUntilDone(1000000);
        VaruReinforceView view;
        view.resize(1000, 600);
        view.show();
        add(view, newApk());
        const int row = records()->rowCount() - 1;
        QSharedPointer<VaruApkInfo> task = records()->recordAt(row);
        QTRY_COMPARE_WITH_TIMEOUT(task->fileState(), 10, 60000);
        view.onItemClicked(records()->index(row, 0));
        QCOMPARE(view.pauseButton()->text(), QStringLiteral("暂停"));
        view.onItemDoubleClicked(records()->index(row, 0));
        QCOMPARE(view.pauseButton()->text(), QStringLiteral("开始"));
        QCOMPARE(task->taskState(), int(VaruApkInfo::TaskPaused));
        view.onItemDoubleClicked(records()->index(row, 0));
        QCOMPARE(view.pauseButton()->text(), QStringLiteral("暂停"));
        QCOMPARE(task->taskState(), int(VaruApkInfo::TaskRunning));

        QWidget *viewport = view.table()->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 5));
        QCOMPARE(view.controller()->currentRow(), -1);
        const int rows = records()->rowCount();
        view.onDelete(); // nothing current: nothing deleted
        QCOMPARE(records()->rowCount(), rows);

        // Signing out stops the work; the table is empty until the next sign-in.
        VaruUserModel::instance()->logout();
        QCOMPARE(view.controller()->queue()->runningCount(), 0);
        QCOMPARE(records()->rowCount(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(VaruRequest::liveCount(), 0, 10000);
    }

    void deleteAlsoOnTheService()
    {
        VaruReinforceView view;
        view.show();
        add(view, newApk());
        const int row = records()->rowCount() - 1;
        const QString md5 = records()->recordAt(row)->md5();
        view.onItemClicked(records()->index(row, 0));
        mFixture.sim.clearExchanges();
        view.onDelete();
        QCOMPARE(view.controller()->currentRow(), -1);
        auto deletedOnService = [&] {
            for (const auto &exchange : mFixture.sim.exchanges()) {
                if (exchange.fields.size() == 2 && exchange.fields[0].second == "appDel"
                    && exchange.fields[1].second == md5.toStdString())
                    return true;
            }
            return false;
        };
        QTRY_VERIFY_WITH_TIMEOUT(deletedOnService(), 10000);
        for (int r = 0; r < records()->rowCount(); ++r)
            QVERIFY(records()->recordAt(r)->md5() != md5);
    }

    // Every row is drawn, not only the first (a header style once limited the rows drawn).
    void allRowsDrawn()
    {
        for (int i = 0; i < 4; ++i)
            records()->updateRecord(
                VaruFixtures::makeRecord(QStringLiteral("ROW%1").arg(i), 100 + i));
        VaruReinforceView view;
        view.resize(1000, 600);
        view.show();
        QTableView *table = view.table();
        const int last = records()->rowCount() - 1;
        const QRect rect = table->visualRect(records()->index(last, 0));
        const QImage image = table->viewport()->grab(rect).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 3, "the last row is blank");
    }

    void columnWidths()
    {
        VaruReinforceView view;
        view.show();
        view.table()->resize(1000, 400);
        QTRY_COMPARE(view.table()->columnWidth(0), 210);
        QCOMPARE(view.table()->columnWidth(1), 210);
        QCOMPARE(view.table()->columnWidth(2), 70);
        QCOMPARE(view.table()->columnWidth(3), 80);
        QCOMPARE(view.table()->columnWidth(4), 150);
        QCOMPARE(view.table()->horizontalHeader()->sectionSize(5) >= 280, true);
    }
};

QTEST_MAIN(TestReinforcePage)
#include "tst_reinforcepage.moc"
