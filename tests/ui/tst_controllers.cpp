#include "core/usermodel.h"
#include "tests/fixtures/fixtures.h"
#include "ui/basecontroller.h"
#include "ui/controllerset.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Records the order of hooks and signals.
class RecordingController : public VaruBaseController
{
    Q_OBJECT

public:
    explicit RecordingController(QObject *parent = nullptr) : VaruBaseController(parent)
    {
        connect(this, &VaruBaseController::sigLoadUi, this,
            [this] { steps << QStringLiteral("load"); });
        connect(this, &VaruBaseController::sigUnloadUi, this,
            [this] { steps << QStringLiteral("unload"); });
    }
    QStringList steps;

protected:
    void beforeLoadUi() override { steps << QStringLiteral("beforeLoad"); }
    void afterLoadUi() override { steps << QStringLiteral("afterLoad"); }
    void beforeUnloadUi() override { steps << QStringLiteral("beforeUnload"); }
    void afterUnloadUi() override { steps << QStringLiteral("afterUnload"); }
};

class OtherController : public VaruBaseController
{
    Q_OBJECT

public:
    explicit OtherController(QObject *parent = nullptr) : VaruBaseController(parent) { }
};

} // namespace

class TestControllers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir mHome;

private slots:
    void initTestCase() { VaruFixtures::isolateUserFolders(mHome); }

    void setOwnsOneOfEachKind()
    {
        VaruControllerSet *set = VaruControllerSet::instance();
        QObject owner;
        auto *recording = set->controller<RecordingController>();
        QCOMPARE(set->controller<RecordingController>(), recording);
        auto *other = new OtherController(&owner);
        QCOMPARE(other->parent(), set);
        QCOMPARE(recording->parent(), set);
        QCOMPARE(set->controller<OtherController>(), other);
        set->add(other);
        set->add(nullptr);
        QCOMPARE(set->controllers().count(other), 1);
    }

    void loadAndUnloadFollowTheUser()
    {
        VaruControllerSet *set = VaruControllerSet::instance();
        auto *recording = set->controller<RecordingController>();
        auto *other = set->controller<OtherController>();
        QSignalSpy otherLoads(other, &VaruBaseController::sigLoadUi);
        QSignalSpy otherUnloads(other, &VaruBaseController::sigUnloadUi);

        recording->loadUiIfLoggedIn(); // signed out: nothing
        QCOMPARE(recording->steps, QStringList());

        VaruUserModel::instance()->login(QStringLiteral("1"), QStringLiteral("k"));
        QCOMPARE(recording->steps, (QStringList{"beforeLoad", "load", "afterLoad"}));
        QVERIFY(recording->isLoaded());
        recording->loadUiIfLoggedIn(); // already loaded
        QCOMPARE(recording->steps.size(), 3);

        // A second sign-in reloads every page.
        VaruUserModel::instance()->login(QStringLiteral("2"), QStringLiteral("k"));
        QCOMPARE(recording->steps.size(), 6);
        QCOMPARE(otherLoads.count(), 2);

        recording->steps.clear();
        VaruUserModel::instance()->logout();
        QCOMPARE(recording->steps, (QStringList{"beforeUnload", "unload", "afterUnload"}));
        QVERIFY(!recording->isLoaded());
        VaruUserModel::instance()->logout(); // unloaded again, loaded or not
        QCOMPARE(otherUnloads.count(), 2);
    }

    // A page created after the sign-in loads once through its own call.
    void lateViewLoadsOnce()
    {
        VaruUserModel::instance()->login(QStringLiteral("3"), QStringLiteral("k"));
        auto *late = new RecordingController;
        QSignalSpy loads(late, &VaruBaseController::sigLoadUi);
        late->loadUiIfLoggedIn();
        late->loadUiIfLoggedIn();
        QCOMPARE(loads.count(), 1);
        VaruUserModel::instance()->logout();
    }
};

QTEST_GUILESS_MAIN(TestControllers)
#include "tst_controllers.moc"
