// Row colours of the launcher's two gradient labels, with the stops they are
// drawn with, and labels too low to hold a gradient.

#include "core/gradient.h"

#include <QTest>

#include <array>

using tarnelo::Rgb;

Q_DECLARE_METATYPE(tarnelo::Rgb)

namespace tarnelo {

char *toString(const Rgb &c)
{
    return QTest::toString(QByteArray::number(c.red) + ',' + QByteArray::number(c.green) + ','
                           + QByteArray::number(c.blue));
}

} // namespace tarnelo

namespace {

// 标签2, 32 rows high.
constexpr std::array<Rgb, 3> titleStops{{{0, 0, 0}, {0, 0, 0}, {128, 128, 128}}};
// 标签1, 40 rows high.
constexpr std::array<Rgb, 3> footerStops{{{236, 236, 236}, {0, 0, 0}, {0, 75, 151}}};

} // namespace

class TestGradient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void titleLabel_data();
    void titleLabel();
    void footerLabel_data();
    void footerLabel();
    void lastStopNeverReachedInside_data();
    void lastStopNeverReachedInside();
    void lowLabels_data();
    void lowLabels();
};

void TestGradient::titleLabel_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<Rgb>("colour");
    QTest::newRow("row 0 black") << 0 << Rgb{0, 0, 0};
    QTest::newRow("row 8 black") << 8 << Rgb{0, 0, 0};
    QTest::newRow("row 15 black") << 15 << Rgb{0, 0, 0};
    QTest::newRow("row 16 start of second segment") << 16 << Rgb{0, 0, 0};
    QTest::newRow("row 17 first step") << 17 << Rgb{8, 8, 8};
    QTest::newRow("row 24 halfway") << 24 << Rgb{64, 64, 64};
    QTest::newRow("row 31 last row") << 31 << Rgb{120, 120, 120};
    QTest::newRow("row 32 below the label") << 32 << Rgb{128, 128, 128};
    QTest::newRow("row 1000 far below") << 1000 << Rgb{128, 128, 128};
}

void TestGradient::titleLabel()
{
    QFETCH(int, y);
    QFETCH(Rgb, colour);
    QCOMPARE(tarnelo::gradientRow(titleStops, 32, y), colour);
}

void TestGradient::footerLabel_data()
{
    QTest::addColumn<int>("y");
    QTest::addColumn<Rgb>("colour");
    QTest::newRow("row 0 first stop") << 0 << Rgb{236, 236, 236};
    // 236 + trunc(0.05 * -236) = 236 - 11: toward zero, not down to -12.
    QTest::newRow("row 1 negative step truncated toward zero") << 1 << Rgb{225, 225, 225};
    QTest::newRow("row 10 halfway down") << 10 << Rgb{118, 118, 118};
    // 236 + trunc(0.95 * -236) = 236 - 224.
    QTest::newRow("row 19 end of first segment") << 19 << Rgb{12, 12, 12};
    QTest::newRow("row 20 middle stop") << 20 << Rgb{0, 0, 0};
    QTest::newRow("row 21 first step up") << 21 << Rgb{0, 3, 7};
    QTest::newRow("row 39 last row") << 39 << Rgb{0, 71, 143};
    QTest::newRow("row 40 below the label") << 40 << Rgb{0, 75, 151};
}

void TestGradient::footerLabel()
{
    QFETCH(int, y);
    QFETCH(Rgb, colour);
    QCOMPARE(tarnelo::gradientRow(footerStops, 40, y), colour);
}

void TestGradient::lastStopNeverReachedInside_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("height");
    QTest::newRow("标签2") << 2 << 32;
    QTest::newRow("标签1") << 1 << 40;
}

void TestGradient::lastStopNeverReachedInside()
{
    QFETCH(int, which);
    QFETCH(int, height);
    const std::span<const Rgb> stops = which == 1 ? std::span<const Rgb>(footerStops) : std::span<const Rgb>(titleStops);
    for (int y = 0; y < height; ++y)
        QVERIFY2(tarnelo::gradientRow(stops, height, y) != stops.back(), QByteArray::number(y).constData());
}

void TestGradient::lowLabels_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("y");
    QTest::newRow("height 0 row 0") << 0 << 0;
    QTest::newRow("height 1 row 0") << 1 << 0;
    QTest::newRow("height 1 row 1") << 1 << 1;
}

// Any colour between the stops will do; only no division by zero.
void TestGradient::lowLabels()
{
    QFETCH(int, height);
    QFETCH(int, y);
    const Rgb c = tarnelo::gradientRow(footerStops, height, y);
    for (int channel : {c.red, c.green, c.blue})
        QVERIFY(channel >= 0 && channel <= 255);
}

QTEST_GUILESS_MAIN(TestGradient)
#include "tst_gradient.moc"
