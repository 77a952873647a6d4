#include "platform/runtime_error.h"
#include "rings/geometry.h"

#include <QRandomGenerator>
#include <QTest>

#include <bit>
#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>

// The geometry against a second, plain formulation of the same rules, over more
// than a million drawing-area sizes: exact results where they exist, the
// program's own run-time error where they do not, and never anything undefined
// (the sanitizer build runs this too).

namespace {

using Sizes = std::function<void(const std::function<void(float, float)> &)>;

// Round half to even through the floating-point environment, where the program
// spells it out by hand.
std::optional<int> ReferenceRound(float value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(double(value));
    if (rounded < -32768 || rounded > 32767)
        return std::nullopt;
    return int(rounded);
}

std::optional<float> ReferenceSingle(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
        return std::nullopt;
    return float(value);
}

const double Factors[] = {0.5, 0.7, 0.9};

struct Tally
{
    long long sizes = 0;
    long long raised = 0;
};

QString Describe(float width, float height)
{
    return QStringLiteral("%1 x %2").arg(double(width), 0, 'g', 9).arg(double(height), 0, 'g', 9);
}

// Compares one size; returns an empty string when all agrees.
QString Check(float width, float height, Tally &tally)
{
    ++tally.sizes;
    const float centreX = width / 2;
    const float centreY = height / 2;
    std::optional<int> base = ReferenceRound(centreX);
    if (base && centreY < float(*base))
        base = ReferenceRound(centreY);

    rings::Geometry geometry{};
    try {
        geometry = rings::ComputeGeometry(width, height);
    } catch (const platform::RuntimeError &) {
        ++tally.raised;
        return base ? QStringLiteral("raised for %1").arg(Describe(width, height)) : QString();
    }
    if (!base)
        return QStringLiteral("no error for %1").arg(Describe(width, height));
    if (geometry.BaseRadius != *base ||
        std::bit_cast<quint32>(geometry.CenterX) != std::bit_cast<quint32>(centreX))
        return QStringLiteral("%1: base radius %2, expected %3")
            .arg(Describe(width, height))
            .arg(geometry.BaseRadius)
            .arg(*base);

    for (const double factor : Factors) {
        if (rings::IdleCircleRadius(geometry, factor) != float(*base * factor - 100))
            return QStringLiteral("%1: circle radius for %2")
                .arg(Describe(width, height))
                .arg(factor);
        const std::optional<float> arc = ReferenceSingle(double(centreY) * factor - 100);
        try {
            const float radius = rings::ArcRadius(geometry, factor);
            if (!arc || std::bit_cast<quint32>(radius) != std::bit_cast<quint32>(*arc))
                return QStringLiteral("%1: arc radius for %2")
                    .arg(Describe(width, height))
                    .arg(factor);
        } catch (const platform::RuntimeError &) {
            ++tally.raised;
            if (arc)
                return QStringLiteral("%1: arc raised for %2")
                    .arg(Describe(width, height))
                    .arg(factor);
        }
    }
    return {};
}

const float Special[] = {0.f,
                         -0.f,
                         1.f,
                         2001.f,
                         2003.f,
                         2655.f,
                         2295.f,
                         65533.f,
                         65534.f,
                         65535.f,
                         65536.f,
                         -65536.f,
                         -65537.f,
                         -65538.f,
                         -65539.f,
                         1e9f,
                         -1e9f,
                         FLT_MAX,
                         -FLT_MAX,
                         FLT_MIN,
                         std::numeric_limits<float>::denorm_min(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(),
                         std::numeric_limits<float>::quiet_NaN()};

} // namespace

Q_DECLARE_METATYPE(Sizes)

class tst_GeometryProperties : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithReference_data();
    void agreesWithReference();
    void cleanupTestCase();

private:
    long long total_ = 0;
};

void tst_GeometryProperties::agreesWithReference_data()
{
    QTest::addColumn<Sizes>("sizes");
    QTest::addColumn<long long>("count");

    QTest::newRow("any bit pattern, NaN and infinities included") << Sizes([](const auto &check) {
        QRandomGenerator random(20261208);
        for (int i = 0; i < 400000; ++i)
            check(std::bit_cast<float>(random.generate()), std::bit_cast<float>(random.generate()));
    }) << 400000LL;
    QTest::newRow("sizes in quarter steps, halves at .5 included") << Sizes([](const auto &check) {
        QRandomGenerator random(1);
        for (int i = 0; i < 400000; ++i)
            check(float(random.bounded(-280000, 280000)) / 4,
                  float(random.bounded(-280000, 280000)) / 4);
    }) << 400000LL;
    QTest::newRow("around the 16-bit boundary") << Sizes([](const auto &check) {
        for (float width = 65500; width <= 65600; width += 0.25f)
            for (float height = -65600; height <= -65500; height += 0.5f)
                check(width, -height), check(-width, height), check(width, width);
    }) << 0LL;
    QTest::newRow("special values against each other") << Sizes([](const auto &check) {
        for (const float width : Special)
            for (const float height : Special)
                check(width, height);
    }) << 0LL;
}

void tst_GeometryProperties::agreesWithReference()
{
    QFETCH(Sizes, sizes);
    QFETCH(long long, count);
    Tally tally;
    QString failure;
    sizes([&](float width, float height) {
        if (failure.isEmpty())
            failure = Check(width, height, tally);
    });
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    if (count > 0)
        QCOMPARE(tally.sizes, count);
    total_ += tally.sizes;
    qInfo("%lld sizes, %lld raised a run-time error", tally.sizes, tally.raised);
}

void tst_GeometryProperties::cleanupTestCase()
{
    QVERIFY2(total_ >= 1000000, qPrintable(QString::number(total_)));
}

QTEST_APPLESS_MAIN(tst_GeometryProperties)
#include "tst_geometryproperties.moc"
