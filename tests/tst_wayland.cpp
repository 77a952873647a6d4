#include "support/ring_model.h"
#include "support/wayland_session.h"

#include <QDeadlineTimer>
#include <QTest>

// The real binary on a real headless Wayland compositor: its size, the idle
// picture, and the animation started and stopped from the keyboard, all read
// from the compositor's own screenshots.
class tst_Wayland : public QObject
{
    Q_OBJECT

private slots:
    void runsNatively_data();
    void runsNatively();
};

namespace {

// The rings' centre in client coordinates: the drawing area at (32, 48), its
// 2-pixel frame, then half its outer size.
const QPointF RingCentre(32 + 2 + 1327.5 / 15, 48 + 2 + 1147.5 / 15);

// Screenshots until one shows `step`; the time it took, or -1.
qint64 WaitForStep(const WaylandSession &session, QPointF centre, int step, int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        if (StepShown(session.Screenshot(), centre) == step)
            return clock.elapsed();
    return -1;
}

} // namespace

void tst_Wayland::runsNatively_data()
{
    QTest::addColumn<double>("scale");
    QTest::newRow("output scale 1") << 1.0;
    QTest::newRow("output scale 2") << 2.0;
}

void tst_Wayland::runsNatively()
{
    QFETCH(double, scale);
    WaylandSession session;
    QString failure = session.Start(scale);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    failure = session.Launch(QStringLiteral(TARVELO_BINARY));
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(session.Geometry().size(), QSize(461, 345));

    const QPointF centre = RingCentre + session.Geometry().topLeft();
    QVERIFY2(WaitForStep(session, centre, 0, 5000) >= 0, "no idle rings within 5 s");
    const QString fault = IdlePictureFault(session.Screenshot(), centre);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));

    // Focus starts in the description: Tab, Tab to Start, Space runs the sign.
    session.Keys({QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")});
    QVERIFY2(WaitForStep(session, centre, 1, 3000) >= 0, "no red quarter after Start");
    QVERIFY2(WaitForStep(session, centre, 2, 3000) >= 0, "the animation did not go on");
    // Tab to Stop, Return presses it: the idle picture again.
    session.Keys({QStringLiteral("Tab"), QStringLiteral("Return")});
    QVERIFY2(WaitForStep(session, centre, 0, 3000) >= 0, "no idle picture after Stop");

    session.RequestClose();
    QCOMPARE(session.WaitForExit(5000), 0);
}

QTEST_GUILESS_MAIN(tst_Wayland)
#include "tst_wayland.moc"
