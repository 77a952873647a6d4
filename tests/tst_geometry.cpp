#include "platform/conversions.h"
#include "platform/runtime_error.h"
#include "rings/geometry.h"
#include "support/ring_probe.h"

#include <QTest>

#include <cmath>
#include <limits>

class tst_Geometry : public QObject
{
    Q_OBJECT

private slots:
    void roundToInt16_data();
    void roundToInt16();
    void conversionsRaise_data();
    void conversionsRaise();
    void baseRadius_data();
    void baseRadius();
    void idleRadii();
    void geometryRaises_data();
    void geometryRaises();
};

void tst_Geometry::roundToInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("half to even, down") << 1000.5 << 1000;
    QTest::newRow("half to even, up") << 1001.5 << 1002;
    QTest::newRow("negative half to even") << -2.5 << -2;
    QTest::newRow("negative half, odd below") << -3.5 << -4;
    QTest::newRow("just below a half") << 1000.4999 << 1000;
    QTest::newRow("just above a half") << 1000.5001 << 1001;
    QTest::newRow("largest") << 32767.0 << 32767;
    QTest::newRow("rounds down onto the largest") << 32767.4 << 32767;
    QTest::newRow("half below the largest, to even") << 32766.5 << 32766;
    QTest::newRow("smallest") << -32768.0 << -32768;
    QTest::newRow("half beyond the smallest, to even") << -32768.5 << -32768;
    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("negative zero") << -0.0 << 0;
}

void tst_Geometry::roundToInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(platform::RoundToInt16(value)), expected);
}

void tst_Geometry::conversionsRaise_data()
{
    QTest::addColumn<bool>("toInteger");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("number");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const int overflow = platform::RuntimeError::OverflowCode;
    const int invalid = platform::RuntimeError::InvalidArgumentCode;
    QTest::newRow("half above the largest rounds to 32768") << true << 32767.5 << overflow;
    QTest::newRow("below the smallest") << true << -32769.0 << overflow;
    QTest::newRow("far beyond") << true << 1e300 << overflow;
    QTest::newRow("infinity") << true << inf << overflow;
    QTest::newRow("minus infinity") << true << -inf << overflow;
    QTest::newRow("not a number") << true << nan << invalid;
    QTest::newRow("single: beyond the largest float") << false << 3.5e38 << overflow;
    QTest::newRow("single: infinity") << false << inf << overflow;
    QTest::newRow("single: not a number") << false << nan << invalid;
}

void tst_Geometry::conversionsRaise()
{
    QFETCH(bool, toInteger);
    QFETCH(double, value);
    QFETCH(int, number);
    try {
        if (toInteger)
            platform::RoundToInt16(value);
        else
            platform::ToSingle(value);
        QFAIL("no run-time error was raised");
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.Number(), number);
    }
}

void tst_Geometry::baseRadius_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<QString>("centre");
    QTest::addColumn<int>("baseRadius");
    QTest::newRow("the window's area") << 2655.f << 2295.f << "1327.5 1147.5" << 1148;
    QTest::newRow("the same area on its side") << 2295.f << 2655.f << "1147.5 1327.5" << 1148;
    QTest::newRow("square") << 2000.f << 2000.f << "1000 1000" << 1000;
    QTest::newRow("half-width 1000.5 rounds to even") << 2001.f << 3000.f << "1000.5 1500" << 1000;
    QTest::newRow("half-width 1001.5 rounds to even") << 2003.f << 3000.f << "1001.5 1500" << 1002;
    QTest::newRow("half-height 1000.5 decides") << 3000.f << 2001.f << "1500 1000.5" << 1000;
    QTest::newRow("half-height 1001.5 decides") << 3000.f << 2003.f << "1500 1001.5" << 1002;
    // The width's 1001.5 rounds up to 1002 first; the height's 1001.25 is then smaller.
    QTest::newRow("height decides after the width is rounded")
        << 2003.f << 2002.5f << "1001.5 1001.25" << 1001;
    QTest::newRow("equal halves of 1000.5") << 2001.f << 2001.f << "1000.5 1000.5" << 1000;
    QTest::newRow("widest that fits") << 65534.f << 70000.f << "32767 35000" << 32767;
    QTest::newRow("very tall area") << 1000.f << 1e9f << "500 500000000" << 500;
    QTest::newRow("an odd half in single precision")
        << 33.3f << 20.1f << "16.6499996 10.0500002" << 10;
    QTest::newRow("zero") << 0.f << 0.f << "0 0" << 0;
    QTest::newRow("negative") << -300.f << 300.f << "-150 150" << -150;
}

void tst_Geometry::baseRadius()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(QString, centre);
    QFETCH(int, baseRadius);
    const rings::Geometry geometry = rings::ComputeGeometry(width, height);
    QCOMPARE(ExactText(geometry.CenterX) + QLatin1Char(' ') + ExactText(geometry.CenterY), centre);
    QCOMPARE(int(geometry.BaseRadius), baseRadius);
}

void tst_Geometry::idleRadii()
{
    const rings::Geometry geometry = rings::ComputeGeometry(2655, 2295);
    QCOMPARE(ExactText(geometry.CenterX), QStringLiteral("1327.5"));
    QCOMPARE(ExactText(geometry.CenterY), QStringLiteral("1147.5"));
    const float expected[] = {474.f, 703.6f, 933.2f};
    for (int ring = 0; ring < 3; ++ring)
        QCOMPARE(ExactText(rings::IdleCircleRadius(geometry, rings::RingFactor[ring])),
                 ExactText(expected[ring]));
}

void tst_Geometry::geometryRaises_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("number");
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const int overflow = platform::RuntimeError::OverflowCode;
    QTest::newRow("width 65535: half rounds to 32768") << 65535.f << 70000.f << overflow;
    QTest::newRow("width too wide even when height decides") << 70000.f << 1000.f << overflow;
    QTest::newRow("height decides and is too low") << 1000.f << -70000.f << overflow;
    QTest::newRow("width not a number")
        << nan << 1000.f << int(platform::RuntimeError::InvalidArgumentCode);
    QTest::newRow("infinite width") << std::numeric_limits<float>::infinity() << 1000.f << overflow;
}

void tst_Geometry::geometryRaises()
{
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, number);
    try {
        rings::ComputeGeometry(width, height);
        QFAIL("no run-time error was raised");
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.Number(), number);
    }
}

QTEST_APPLESS_MAIN(tst_Geometry)
#include "tst_geometry.moc"
