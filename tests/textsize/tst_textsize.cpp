// The browser box's five text sizes and the zoom each stands for.

#include "core/textsize.h"

#include <QTest>

#include <climits>

class TestTextSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mediumIsThePagesOwnSize();
    void clampTextSize_data();
    void clampTextSize();
    void zoomAscends();
};

void TestTextSize::mediumIsThePagesOwnSize()
{
    QCOMPARE(tarnelo::mediumTextSize, 2);
    QCOMPARE(tarnelo::zoomForTextSize(2), 1.0);
}

void TestTextSize::clampTextSize_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("clamped");
    QTest::newRow("INT_MIN") << INT_MIN << 0;
    QTest::newRow("-1") << -1 << 0;
    QTest::newRow("0 smallest") << 0 << 0;
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("2 medium") << 2 << 2;
    QTest::newRow("3") << 3 << 3;
    QTest::newRow("4 largest") << 4 << 4;
    QTest::newRow("5") << 5 << 4;
    QTest::newRow("INT_MAX") << INT_MAX << 4;
}

// An out-of-range level is brought to the nearer end, for the zoom too.
void TestTextSize::clampTextSize()
{
    QFETCH(int, level);
    QFETCH(int, clamped);
    QCOMPARE(tarnelo::clampTextSize(level), clamped);
    QCOMPARE(tarnelo::zoomForTextSize(level), tarnelo::zoomForTextSize(clamped));
}

void TestTextSize::zoomAscends()
{
    QVERIFY(tarnelo::zoomForTextSize(0) > 0.0);
    for (int level = 0; level < 4; ++level) {
        QVERIFY2(tarnelo::zoomForTextSize(level) < tarnelo::zoomForTextSize(level + 1),
                 QByteArray::number(level).constData());
    }
}

QTEST_GUILESS_MAIN(TestTextSize)
#include "tst_textsize.moc"
