#include "support/ring_model.h"

#include <QApplication>
#include <QDir>
#include <QStyleFactory>
#include <QTest>

#include <array>
#include <cmath>

namespace {

const QPointF RingCentre(1327.5 / 15, 1147.5 / 15);

QString Where(int step, int ring, int quarter)
{
    return QStringLiteral("step %1, ring %2, quarter at %3°").arg(step).arg(ring).arg(quarter);
}

} // namespace

class tst_RingPicture : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyStepOnTheQtSurface();
    void closedRingsHaveNoSeams();
};

void tst_RingPicture::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_RingPicture::everyStepOnTheQtSurface()
{
    const std::array<QImage, 8> pictures = CanonicalPictures();
    // The frames of one cycle, to look at.
    const QDir frames(QCoreApplication::applicationDirPath() + QStringLiteral("/cycle"));
    QVERIFY(frames.mkpath(QStringLiteral(".")));

    for (int step = 0; step < 8; ++step) {
        const QImage &image = pictures[std::size_t(step)];
        QVERIFY(image.save(frames.filePath(QStringLiteral("step-%1.png").arg(step))));

        for (int ring = 0; ring < 3; ++ring) {
            const double radius = IdleRadii[std::size_t(ring)];
            for (const int quarter : Quarters) {
                const Ink ink = ExpectedInk(step, ring, quarter);
                if (ink == Ink::Dark) {
                    // Dash-dot: dark with gaps, and no colour anywhere in the quarter.
                    const double dark =
                        Coverage(image, RingCentre, radius, quarter - 40, quarter + 40, Ink::Dark);
                    QVERIFY2(dark > 0.2 && dark < 0.95,
                             qPrintable(Where(step, ring, quarter) +
                                        QStringLiteral(": dark coverage %1").arg(dark)));
                    for (const Ink colour : {Ink::Red, Ink::Green, Ink::Blue})
                        QVERIFY2(Coverage(image, RingCentre, radius, quarter - 44, quarter + 44,
                                          colour) == 0,
                                 qPrintable(Where(step, ring, quarter) + QStringLiteral(": ") +
                                            InkName(colour)));
                } else {
                    QVERIFY2(Coverage(image, RingCentre, radius, quarter - 40, quarter + 40, ink) ==
                                 1.0,
                             qPrintable(Where(step, ring, quarter) + QStringLiteral(": not ") +
                                        InkName(ink)));
                }
            }
        }
        // Between, inside and outside the rings: background only, so no arc touches another.
        for (const double gap : {20.0, 39.0, 54.5, 70.0})
            QVERIFY2(Coverage(image, RingCentre, gap, 0, 360, Ink::Background) == 1.0,
                     qPrintable(QStringLiteral("step %1, radius %2").arg(step).arg(gap)));
    }
}

void tst_RingPicture::closedRingsHaveNoSeams()
{
    const QImage image = CanonicalPictures()[6];
    const double arcRadii[] = {473.75 / 15, 703.25 / 15, 932.75 / 15};
    const QColor colours[] = {QColor(200, 0, 0), QColor(0, 200, 0), QColor(0, 0, 200)};
    // Along the middle of each 5-pixel ring, joins included, the colour is pure.
    for (int ring = 0; ring < 3; ++ring) {
        for (double degrees = 0; degrees < 360; degrees += 0.25) {
            const double radians = qDegreesToRadians(degrees);
            const QPointF at =
                RingCentre + arcRadii[ring] * QPointF(std::cos(radians), -std::sin(radians));
            const QPoint pixel = (at * image.devicePixelRatio()).toPoint();
            QVERIFY2(image.pixelColor(pixel) == colours[ring],
                     qPrintable(QStringLiteral("ring %1 at %2°").arg(ring).arg(degrees)));
        }
    }
}

QTEST_MAIN(tst_RingPicture)
#include "tst_ringpicture.moc"
