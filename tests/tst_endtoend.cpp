#include "support/ring_probe.h"
#include "support/x_session.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

// The rings' centre in client coordinates: the drawing area at (32, 48), its
// 2-pixel frame, then half its outer size. It sits right of and below the inner
// area's centre by the frame's thickness.
const QPointF RingCentre(32 + 2 + 1327.5 / 15, 48 + 2 + 1147.5 / 15);
const double IdleRadii[] = {474 / 15.0, 703.6 / 15.0, 933.2 / 15.0};

bool ShowsIdleRings(const QImage &shot, QPointF centre)
{
    for (const double radius : IdleRadii) {
        const double coverage = Coverage(shot, centre, radius, 0, 360, Ink::Dark);
        if (coverage < 0.35 || coverage > 0.9)
            return false;
    }
    for (const double between : {20.0, 39.0, 54.5, 68.0})
        if (Coverage(shot, centre, between, 0, 360, Ink::Background) < 1.0)
            return false;
    return true;
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void idleWindow();
};

void tst_EndToEnd::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QFAIL("needs an X server: run it under xvfb-run, as ctest does");
}

void tst_EndToEnd::idleWindow()
{
    LaunchedWindow window;
    const QString failure = window.Launch(QStringLiteral(TARVELO_BINARY));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(window.Geometry().size(), QSize(461, 345));

    const QString hints = window.Property(QStringLiteral("WM_NORMAL_HINTS"));
    QVERIFY2(hints.contains(QStringLiteral("minimum size: 461 by 345")), qPrintable(hints));
    QVERIFY2(hints.contains(QStringLiteral("maximum size: 461 by 345")), qPrintable(hints));

    // The first frame may take a moment to reach the server.
    const QPointF centre = RingCentre + window.Geometry().topLeft();
    QImage shot;
    const QDeadlineTimer deadline(5000);
    do {
        shot = window.Screenshot();
    } while (!ShowsIdleRings(shot, centre) && !deadline.hasExpired());
    QVERIFY2(ShowsIdleRings(shot, centre), "no idle rings on screen within 5 s");
    // The window's own background around the drawing area.
    QCOMPARE(QColor(shot.pixel(window.Geometry().topLeft() + QPoint(10, 10))),
             QColor(192, 192, 255));

    window.RequestClose();
    QCOMPARE(window.WaitForExit(5000), 0);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
