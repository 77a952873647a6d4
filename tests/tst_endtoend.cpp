#include "support/ring_model.h"
#include "support/x_session.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

namespace {

// The rings' centre in client coordinates: the drawing area at (32, 48), its
// 2-pixel frame, then half its outer size. It sits right of and below the inner
// area's centre by the frame's thickness.
const QPointF RingCentre(32 + 2 + 1327.5 / 15, 48 + 2 + 1147.5 / 15);
const QPoint StartButton(240 + 129 / 2, 64 + 33 / 2);
const QPoint StopButton(312 + 129 / 2, 136 + 33 / 2);
const QRect DrawingArea(32, 48, 177, 153);

bool ShowsIdleRings(const QImage &shot, QPointF centre)
{
    return IdlePictureFault(shot, centre).isEmpty();
}

} // namespace

class tst_EndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void idleWindow();
    void startAnimatesAndStopRestores();
    void belowScaleOneTheRingsKeepTheirPlace();
    void completeWindowLayout_data();
    void completeWindowLayout();
    void faultReachesTheUser_data();
    void faultReachesTheUser();
};

namespace {

// Waits for the first frame, which may take a moment to reach the server.
QImage WaitForIdleRings(const LaunchedWindow &window)
{
    const QPointF centre = RingCentre + window.Geometry().topLeft();
    QImage shot;
    const QDeadlineTimer deadline(5000);
    do {
        shot = window.Screenshot();
    } while (!ShowsIdleRings(shot, centre) && !deadline.hasExpired());
    return shot;
}

} // namespace

namespace {

// The binary under test: the build's own, or another one named in TARVELO_BINARY
// (an unpacked package, say).
QString Binary()
{
    const QString named = qEnvironmentVariable("TARVELO_BINARY");
    return named.isEmpty() ? QStringLiteral(TARVELO_BINARY) : named;
}

} // namespace

void tst_EndToEnd::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QFAIL("needs an X server: run it under xvfb-run, as ctest does");
}

void tst_EndToEnd::idleWindow()
{
    LaunchedWindow window;
    const QString failure = window.Launch(Binary());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    QCOMPARE(window.Geometry().size(), QSize(461, 345));

    const QString hints = window.Property(QStringLiteral("WM_NORMAL_HINTS"));
    QVERIFY2(hints.contains(QStringLiteral("minimum size: 461 by 345")), qPrintable(hints));
    QVERIFY2(hints.contains(QStringLiteral("maximum size: 461 by 345")), qPrintable(hints));
    // For window managers that read Motif hints: functions move and close only;
    // decorations border, title and menu, with no resize handle.
    const QString motif = window.Property(QStringLiteral("_MOTIF_WM_HINTS"));
    QVERIFY2(motif.contains(QStringLiteral("= 0x3, 0x24, 0x1a, 0x0, 0x0")), qPrintable(motif));

    const QImage shot = WaitForIdleRings(window);
    QVERIFY2(ShowsIdleRings(shot, RingCentre + window.Geometry().topLeft()),
             "no idle rings on screen within 5 s");
    // The window's own background around the drawing area.
    QCOMPARE(QColor(shot.pixel(window.Geometry().topLeft() + QPoint(10, 10))),
             QColor(192, 192, 255));

    window.RequestClose();
    QCOMPARE(window.WaitForExit(5000), 0);
}

void tst_EndToEnd::startAnimatesAndStopRestores()
{
    LaunchedWindow window;
    const QString failure = window.Launch(Binary());
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    const QPointF centre = RingCentre + window.Geometry().topLeft();
    QVERIFY(ShowsIdleRings(WaitForIdleRings(window), centre));

    // Watch the cycle go round after a real click on Start.
    window.Click(StartButton);
    QElapsedTimer clock;
    clock.start();
    QList<int> seen{0};
    qint64 firstRed = -1;
    while (clock.elapsed() < 6000 && seen.size() < 8) {
        const int step = StepShown(window.Screenshot(), centre);
        if (step >= 0 && step != seen.last()) {
            seen.append(step);
            if (step == 1 && firstRed < 0)
                firstRed = clock.elapsed();
        }
    }
    QCOMPARE(seen, (QList<int>{0, 1, 2, 3, 4, 5, 6, 0}));
    qInfo("red quarter after %lld ms, whole cycle seen after %lld ms", firstRed, clock.elapsed());
    QVERIFY2(firstRed >= 400 && firstRed <= 1200, qPrintable(QString::number(firstRed)));
    QVERIFY(clock.elapsed() <= 5500);

    // Stop: the idle picture at once, and then nothing moves.
    window.Click(StopButton);
    clock.restart();
    QImage idle;
    do {
        idle = window.Screenshot();
    } while (StepShown(idle, centre) != 0 && clock.elapsed() < 2000);
    QVERIFY2(ShowsIdleRings(idle, centre), "no idle picture after Stop");
    qInfo("idle picture %lld ms after Stop", clock.elapsed());
    const QRect area = DrawingArea.translated(window.Geometry().topLeft());
    clock.restart();
    while (clock.elapsed() < 2000)
        QCOMPARE(window.Screenshot().copy(area), idle.copy(area));

    window.RequestClose();
    QCOMPARE(window.WaitForExit(5000), 0);
}

// Below a scale of 1 the rings keep the size and place the geometry gives
// them, and the window's background shows around the drawing area, never
// black. (Qt 6.4 itself leaves the other controls painted only in part.)
void tst_EndToEnd::belowScaleOneTheRingsKeepTheirPlace()
{
    constexpr qreal Scale = 0.8;
    qputenv("QT_SCALE_FACTOR", QByteArray::number(Scale));
    LaunchedWindow window;
    const QString failure = window.Launch(Binary());
    qunsetenv("QT_SCALE_FACTOR");
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    // Read in logical pixels, as the program lays them out.
    const auto shot = [&] {
        QImage image = window.Screenshot();
        image.setDevicePixelRatio(Scale);
        return image;
    };
    const QPointF origin = QPointF(window.Geometry().topLeft()) / Scale;
    QTRY_VERIFY_WITH_TIMEOUT(ShowsIdleRings(shot(), RingCentre + origin), 5000);
    // Right of and below the drawing area, clear of every control.
    const QPoint corner = ((origin + QPointF(220, 208)) * Scale).toPoint();
    QCOMPARE(QColor(window.Screenshot().pixel(corner)), QColor(192, 192, 255));
    window.RequestClose();
    QCOMPARE(window.WaitForExit(5000), 0);
}

void tst_EndToEnd::completeWindowLayout_data()
{
    QTest::addColumn<QRect>("control");
    QTest::newRow("Label1(0)") << QRect(64, 0, 305, 25);
    QTest::newRow("Picture1(0)") << QRect(32, 48, 177, 153);
    QTest::newRow("Command1(0)") << QRect(240, 64, 129, 33);
    QTest::newRow("Command1(1)") << QRect(312, 136, 129, 33);
    QTest::newRow("Text1(0)") << QRect(8, 216, 449, 121);
}

void tst_EndToEnd::completeWindowLayout()
{
    QFETCH(QRect, control);
    static QImage client;
    if (client.isNull()) {
        LaunchedWindow window;
        const QString failure = window.Launch(Binary());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        client = WaitForIdleRings(window).copy(window.Geometry());
        client.save(QStringLiteral("window.png"));
        window.RequestClose();
        QCOMPARE(window.WaitForExit(5000), 0);
    }
    const QColor background(192, 192, 255);
    auto isBackground = [&](QPoint at) { return QColor(client.pixel(at)) == background; };
    // Each corner pixel belongs to the control, the pixel diagonally outside to the window.
    const QPoint corners[] = {control.topLeft(), control.topRight(), control.bottomLeft(),
                              control.bottomRight()};
    const QPoint outward[] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};
    for (int i = 0; i < 4; ++i) {
        QVERIFY2(
            !isBackground(corners[i]),
            qPrintable(QStringLiteral("corner %1,%2").arg(corners[i].x()).arg(corners[i].y())));
        const QPoint outside = corners[i] + outward[i];
        if (client.rect().contains(outside))
            QVERIFY2(isBackground(outside),
                     qPrintable(QStringLiteral("outside %1,%2").arg(outside.x()).arg(outside.y())));
    }
    if (QByteArray(QTest::currentDataTag()) == "Label1(0)") {
        QCOMPARE(QColor(client.pixel(70, 12)), QColor(255, 192, 128));
    } else if (QByteArray(QTest::currentDataTag()) == "Text1(0)") {
        // Dark glyph pixels in the text area.
        int dark = 0;
        for (int y = control.top() + 4; y < control.bottom() - 4; ++y)
            for (int x = control.left() + 4; x < control.right() - 24; ++x)
                dark += qGray(client.pixel(x, y)) < 96;
        QVERIFY2(dark > 1000, qPrintable(QString::number(dark)));
        // The hidden aphorism box, below the description box, is not drawn.
        QVERIFY(isBackground(QPoint(300, 341)));
    }
}

void tst_EndToEnd::faultReachesTheUser_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("in load") << "load";
    QTest::newRow("in a click") << "click";
    QTest::newRow("in a tick") << "tick";
    QTest::newRow("out of memory in a tick") << "memory";
    QTest::newRow("out of memory in Qt's own code") << "qt-memory";
}

void tst_EndToEnd::faultReachesTheUser()
{
    QFETCH(QString, where);
    LaunchedWindow program;
    QString failure;
    if (where == QLatin1String("load") || where.endsWith(QLatin1String("memory"))) {
        failure = program.Start(QStringLiteral(FAULT_APP_BINARY), {where});
    } else {
        failure = program.Launch(QStringLiteral(FAULT_APP_BINARY), {where});
        if (where == QLatin1String("click"))
            program.Click(StartButton);
    }
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
    if (where.endsWith(QLatin1String("memory"))) { // one line, and no box that would need memory
        QCOMPARE(program.WaitForExit(5000), 1);
        QVERIFY2(QRegularExpression(QStringLiteral("(^|\n)fault_app: out of memory\n$"))
                     .match(program.StandardError())
                     .hasMatch(),
                 qPrintable(program.StandardError()));
        return;
    }

    // A message box titled with the program's name, and the same report on stderr.
    const QString box = program.FindWindow(QStringLiteral("^Tarvelo$"), 10000);
    QVERIFY2(!box.isEmpty(), qPrintable(program.StandardError()));
    QTRY_VERIFY_WITH_TIMEOUT(
        program.StandardError().contains(QStringLiteral(
            "fault_app: a value is out of range (DrawWidth must be from 1 to 32767, not 0); "
            "Tarvelo will close\n")),
        5000);
    // Still there a while later: the program waits for the user, not crashing on.
    QTest::qWait(600);
    QCOMPARE(program.FindWindow(QStringLiteral("^Tarvelo$"), 1000), box);
    QCOMPARE(program.StandardError().count(QStringLiteral("will close")), 1);

    program.PressKey(box, QStringLiteral("Return"));
    QCOMPARE(program.WaitForExit(5000), 1);
}

QTEST_GUILESS_MAIN(tst_EndToEnd)
#include "tst_endtoend.moc"
