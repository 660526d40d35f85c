// Centring the windows on the screen and bounding the browser's height.

#include "core/geometry.h"

#include <QTest>

#include <climits>

using tarnelo::OuterRect;

Q_DECLARE_METATYPE(tarnelo::OuterRect)

namespace tarnelo {

char *toString(const OuterRect &r)
{
    return QTest::toString(QByteArray::number(r.left) + ',' + QByteArray::number(r.top) + ' '
                           + QByteArray::number(r.width) + 'x' + QByteArray::number(r.height));
}

} // namespace tarnelo

class TestGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void centredOrigin_data();
    void centredOrigin();
    void centredOuterRect_data();
    void centredOuterRect();
    void clampBrowserHeight_data();
    void clampBrowserHeight();
};

void TestGeometry::centredOrigin_data()
{
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("window");
    QTest::addColumn<int>("origin");
    QTest::newRow("launcher across 1024") << 1024 << 363 << 330;
    QTest::newRow("launcher down 768") << 768 << 517 << 125;
    QTest::newRow("browser across 1024") << 1024 << 716 << 154;
    QTest::newRow("browser down 768") << 768 << 636 << 66;
    QTest::newRow("same size") << 800 << 800 << 0;
    QTest::newRow("odd difference truncates") << 1025 << 362 << 331;
    QTest::newRow("launcher wider than 320 truncates toward zero") << 320 << 363 << -21;
    QTest::newRow("one too wide gives zero, not -1") << 99 << 100 << 0;
    QTest::newRow("three too wide gives -1, not -2") << 97 << 100 << -1;
}

void TestGeometry::centredOrigin()
{
    QFETCH(int, screen);
    QFETCH(int, window);
    QFETCH(int, origin);
    QCOMPARE(tarnelo::centredOrigin(screen, window), origin);
}

void TestGeometry::centredOuterRect_data()
{
    QTest::addColumn<int>("screenWidth");
    QTest::addColumn<int>("screenHeight");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<OuterRect>("rect");
    QTest::newRow("launcher on 1024x768") << 1024 << 768 << 363 << 517 << OuterRect{330, 125, 363, 517};
    QTest::newRow("browser on 1024x768") << 1024 << 768 << 716 << 636 << OuterRect{154, 66, 716, 636};
    QTest::newRow("launcher on 320x240") << 320 << 240 << 363 << 517 << OuterRect{-21, -138, 363, 517};
    QTest::newRow("revealed browser on 1024x768") << 1024 << 768 << 716 << 700 << OuterRect{154, 34, 716, 700};
}

void TestGeometry::centredOuterRect()
{
    QFETCH(int, screenWidth);
    QFETCH(int, screenHeight);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(OuterRect, rect);
    QCOMPARE(tarnelo::centredOuterRect(screenWidth, screenHeight, width, height), rect);
}

void TestGeometry::clampBrowserHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("clamped");
    QTest::newRow("INT_MIN") << INT_MIN << 0;
    QTest::newRow("negative") << -5 << 0;
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("revealed height") << 700 << 700;
    QTest::newRow("maximum") << 32627 << 32627;
    QTest::newRow("one above maximum") << 32628 << 32627;
    QTest::newRow("INT_MAX") << INT_MAX << 32627;
}

void TestGeometry::clampBrowserHeight()
{
    QFETCH(int, height);
    QFETCH(int, clamped);
    QCOMPARE(tarnelo::clampBrowserHeight(height), clamped);
}

QTEST_GUILESS_MAIN(TestGeometry)
#include "tst_geometry.moc"
