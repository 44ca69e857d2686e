#include "ui/indicator.h"
#include "ui/waitingspinnerwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QtTest>

class TestIndicators : public QObject
{
    Q_OBJECT

private slots:
    // Two seconds shown, a quarter second of fading, then gone.
    void messageClosesItself()
    {
        QWidget page;
        page.resize(400, 300);
        page.show();
        QElapsedTimer clock;
        clock.start();
        QPointer<VaruIndicator> message
            = VaruIndicator::showMessage(&page, QStringLiteral("保存成功"));
        QVERIFY(message->isVisible());
        QCOMPARE(message->text(), QStringLiteral("保存成功"));
        QCOMPARE(message->property("level").toString(), QStringLiteral("HUD"));
        QTRY_VERIFY_WITH_TIMEOUT(message.isNull(), 10000);
        QVERIFY2(clock.elapsed() >= 1900, qPrintable(QString::number(clock.elapsed())));
    }

    void staysCentred()
    {
        QWidget page;
        page.resize(400, 300);
        page.show();
        VaruIndicator *message
            = VaruIndicator::showMessage(&page, QStringLiteral("Keystore密码不合法"));
        QVERIFY(qAbs(message->geometry().center().x() - page.rect().center().x()) <= 1);
        QVERIFY(qAbs(message->geometry().center().y() - page.rect().center().y()) <= 1);
        page.resize(900, 700);
        QTRY_VERIFY(qAbs(message->geometry().center().x() - page.rect().center().x()) <= 1);
        QVERIFY(qAbs(message->geometry().center().y() - page.rect().center().y()) <= 1);
    }

    void barAlphas_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<double>("alpha");
        QTest::newRow("brightest") << 0 << 1.0;
        QTest::newRow("1") << 1 << 1 - 0.225;
        QTest::newRow("2") << 2 << 1 - 0.45;
        QTest::newRow("3") << 3 << 1 - 0.675;
        for (int d = 4; d <= 7; ++d)
            QTest::addRow("%d", d) << d << 0.1;
    }
    void barAlphas()
    {
        QFETCH(int, distance);
        QFETCH(double, alpha);
        QWidget page;
        WaitingSpinnerWidget *spinner = WaitingSpinnerWidget::createForPage(&page);
        QVERIFY(qAbs(spinner->barColor(distance).alphaF() - alpha) < 0.005);
        QCOMPARE(spinner->barColor(distance).rgb(), QColor(QStringLiteral("#2174e5")).rgb());
    }

    void spinnerSetUp()
    {
        QWidget page;
        page.resize(200, 100);
        page.show();
        WaitingSpinnerWidget *spinner = WaitingSpinnerWidget::createForPage(&page);
        QCOMPARE(spinner->size(), QSize(24, 24));
        QCOMPARE(spinner->interval(), 79);
        QVERIFY(spinner->isHidden());
        spinner->setCornerRoundness(150);
        QCOMPARE(spinner->roundness(), 100.0);
        spinner->setCornerRoundness(-5);
        QCOMPARE(spinner->roundness(), 0.0);

        spinner->start();
        QVERIFY(spinner->isSpinning());
        QVERIFY(!page.isEnabled());
        QCOMPARE(spinner->pos(), QPoint(100 - 12, 50 - 12));
        QTRY_VERIFY(spinner->counter() > 0);
        spinner->stop();
        QVERIFY(page.isEnabled());
        QVERIFY(spinner->isHidden());
        QCOMPARE(spinner->counter(), 0);
    }
};

QTEST_MAIN(TestIndicators)
#include "tst_indicators.moc"
