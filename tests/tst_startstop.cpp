#include "platform/qt/event_boundary.h"
#include "support/ring_model.h"
#include "support/tarvelo_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>

namespace {

std::array<QImage, 8> Canonical;

// The rings' common centre in the inner area's pixels.
const QPointF RingCentre(1327.5 / 15, 1147.5 / 15);

// The program's own tick, raised by its real timer object without waiting for it.
void RaiseTick(TarveloWindow &window)
{
    auto *timer = window.form.findChild<QTimer *>();
    QVERIFY(timer);
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

// The drawing area's inner part as it stands in the window's backing store: what
// is really on screen, stale pixels included, unlike a fresh grab().
QImage OnScreen(TarveloWindow &window)
{
    platform::qt::PictureBox &picture = window.picture();
    const QRect inner = picture.contentsRect().translated(picture.pos());
    return window.form.screen()
        ->grabWindow(window.form.winId(), inner.x(), inner.y(), inner.width(), inner.height())
        .toImage()
        .convertToFormat(Canonical[0].format());
}

// S: click Start, P: click Stop, T: wait for the real timer's next tick.
void Play(TarveloWindow &window, const QString &events)
{
    for (const QChar event : events) {
        if (event == QLatin1Char('S')) {
            QTest::mouseClick(window.button(0), Qt::LeftButton);
        } else if (event == QLatin1Char('P')) {
            QTest::mouseClick(window.button(1), Qt::LeftButton);
        } else {
            const int next = (window.step().value() + 1) % 8;
            QTRY_COMPARE_WITH_TIMEOUT(window.step(), std::optional<int>(next), 1500);
        }
    }
}

} // namespace

class tst_StartStop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void buttons_data();
    void buttons();
    void buttonShowsItsColour_data();
    void buttonShowsItsColour();
    void stateTable_data();
    void stateTable();
    void firstTickComesAPeriodAfterStart_data();
    void firstTickComesAPeriodAfterStart();
    void otherIndexesDoNothing_data();
    void otherIndexesDoNothing();
    void keyOnFocusedButtonClicks_data();
    void keyOnFocusedButtonClicks();
    void randomSequencesAgainstModel();
};

void tst_StartStop::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    Canonical = CanonicalPictures();
    // Wiped and freshly loaded idle pictures are one and the same, and every
    // picture shows what the independent model expects of its step.
    QCOMPARE(Canonical[7], Canonical[0]);
    for (int step = 0; step < 8; ++step)
        QCOMPARE(Signature(Canonical[std::size_t(step)], RingCentre), ExpectedSignature(step));
}

void tst_StartStop::buttons_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QColor>("colour");
    QTest::newRow("Start") << 0 << QRect(240, 64, 129, 33) << QStringLiteral("Стартирай")
                           << QColor(128, 255, 128);
    QTest::newRow("Stop") << 1 << QRect(312, 136, 129, 33) << QStringLiteral("Спри")
                          << QColor(255, 128, 128);
}

void tst_StartStop::buttons()
{
    QFETCH(int, index);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QFETCH(QColor, colour);
    TarveloWindow window;
    QAbstractButton *button = window.button(std::int16_t(index));
    QCOMPARE(button->geometry(), geometry);
    QCOMPARE(button->text(), caption);
    QCOMPARE(button->palette().color(QPalette::Button), colour);
    QCOMPARE(button->focusPolicy(), Qt::StrongFocus);
}

void tst_StartStop::buttonShowsItsColour_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("down");
    QTest::addColumn<QColor>("colour");
    for (const QString &style : QStyleFactory::keys()) {
        for (const bool down : {false, true}) {
            const char *look = down ? "pressed" : "raised";
            QTest::addRow("%s, Start, %s", qPrintable(style), look)
                << style << 0 << down << QColor(128, 255, 128);
            QTest::addRow("%s, Stop, %s", qPrintable(style), look)
                << style << 1 << down << QColor(255, 128, 128);
        }
    }
}

void tst_StartStop::buttonShowsItsColour()
{
    QFETCH(QString, style);
    QFETCH(int, index);
    QFETCH(bool, down);
    QFETCH(QColor, colour);
    TarveloWindow window;
    QAbstractButton *button = window.button(std::int16_t(index));
    const std::unique_ptr<QStyle> theStyle(QStyleFactory::create(style));
    button->setStyle(theStyle.get());
    button->setDown(down);
    const QImage image = button->grab().toImage();
    // Left of the caption, inside the frame.
    const QColor seen = image.pixelColor(image.width() / 8, image.height() / 2);
    QVERIFY2(Distance(seen, colour) < 48, qPrintable(seen.name()));
    // Raised, the top-left edge is lit; pressed, it is in shadow.
    const int edge = qGray(image.pixel(0, 0)), face = qGray(colour.rgb());
    QVERIFY2(down ? edge < face / 2 : edge >= face, qPrintable(QString::number(edge)));
    button->setStyle(nullptr);
}

void tst_StartStop::stateTable_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("event");
    QTest::addColumn<bool>("timerOn");
    QTest::addColumn<int>("step");
    QTest::newRow("idle, Start: running") << ""
                                          << "S" << true << 0;
    QTest::newRow("idle, Stop: idle again") << ""
                                            << "P" << false << 0;
    QTest::newRow("running, tick: step 1") << "S"
                                           << "T" << true << 1;
    QTest::newRow("running, Start: nothing drawn") << "S"
                                                   << "S" << true << 0;
    QTest::newRow("running, Start after a tick: no advance") << "ST"
                                                             << "S" << true << 1;
    QTest::newRow("running, Stop: idle") << "ST"
                                         << "P" << false << 0;
    QTest::newRow("Stop just after step 6") << "STTTTTT"
                                            << "P" << false << 0;
    QTest::newRow("Start after that begins at step 1") << "STTTTTTPS"
                                                       << "T" << true << 1;
}

void tst_StartStop::stateTable()
{
    QFETCH(QString, before);
    QFETCH(QString, event);
    QFETCH(bool, timerOn);
    QFETCH(int, step);
    TarveloWindow window;
    QVERIFY(window.Open());
    Play(window, before);
    Play(window, event);
    QCOMPARE(window.timer().Enabled(), timerOn);
    QCOMPARE(window.step(), std::optional<int>(step));
    QCOMPARE(window.picture().persistentImage(), Canonical[std::size_t(step)]);
    // What the user sees is the persistent image, once the repaint is through.
    QTRY_COMPARE_WITH_TIMEOUT(OnScreen(window), Canonical[std::size_t(step)], 1000);
    if (!timerOn) {
        QTest::qWait(700);
        QCOMPARE(window.step(), std::optional<int>(step));
    }
}

void tst_StartStop::firstTickComesAPeriodAfterStart_data()
{
    QTest::addColumn<int>("againAfter");
    QTest::newRow("one click") << -1;
    // A running timer keeps its rhythm: clicking Start again does not put the tick off.
    QTest::newRow("Start again 400 ms later") << 400;
}

void tst_StartStop::firstTickComesAPeriodAfterStart()
{
    QFETCH(int, againAfter);
    TarveloWindow window;
    QVERIFY(window.Open());
    QElapsedTimer clock;
    qint64 ticked = -1;
    connect(window.form.findChild<QTimer *>(), &QTimer::timeout, this, [&] {
        if (ticked < 0)
            ticked = clock.elapsed();
    });
    clock.start();
    QTest::mouseClick(window.button(0), Qt::LeftButton);
    if (againAfter >= 0) {
        QTest::qWait(againAfter);
        QTest::mouseClick(window.button(0), Qt::LeftButton);
    }
    QTRY_COMPARE_WITH_TIMEOUT(window.step(), std::optional<int>(1), 2000);
    QVERIFY2(ticked >= 490 && ticked < 700, qPrintable(QString::number(ticked)));
}

void tst_StartStop::otherIndexesDoNothing_data()
{
    QTest::addColumn<bool>("click");
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("index");
    QTest::newRow("Command1 element 2") << true << "Command1" << 2;
    QTest::newRow("Command1 element -1") << true << "Command1" << -1;
    QTest::newRow("Command1 element 32767") << true << "Command1" << 32767;
    QTest::newRow("a tick of Timer1 element 1") << false << "Timer1" << 1;
    QTest::newRow("a tick of Timer1 element -32768") << false << "Timer1" << -32768;
}

void tst_StartStop::otherIndexesDoNothing()
{
    QFETCH(bool, click);
    QFETCH(QString, array);
    QFETCH(int, index);
    TarveloWindow window;
    QVERIFY(window.form.Load());
    QTest::mouseClick(window.button(0), Qt::LeftButton);
    RaiseTick(window);
    const QImage before = window.picture().persistentImage();
    if (click)
        window.module.Click(array.toStdString(), std::int16_t(index));
    else
        window.module.Tick(array.toStdString(), std::int16_t(index));
    QVERIFY(window.timer().Enabled());
    QCOMPARE(window.step(), std::optional<int>(1));
    QCOMPARE(window.picture().persistentImage(), before);
}

void tst_StartStop::keyOnFocusedButtonClicks_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier);
    QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
    QTest::newRow("Enter") << int(Qt::Key_Enter) << int(Qt::NoModifier);
    // As a keypad's Enter really arrives.
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << int(Qt::KeypadModifier);
}

void tst_StartStop::keyOnFocusedButtonClicks()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    TarveloWindow window;
    QVERIFY(window.Open());
    window.button(0)->setFocus();
    QTest::keyClick(window.button(0), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(window.timer().Enabled());
    window.button(1)->setFocus();
    QTest::keyClick(window.button(1), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!window.timer().Enabled());
}

void tst_StartStop::randomSequencesAgainstModel()
{
    struct Model
    {
        bool timerOn = false;
        int step = 0;
    };
    TarveloWindow window;
    QVERIFY(window.Open());
    // Ticks come only when the test raises them; the real period plays no part here.
    window.timer().SetInterval(65535);

    int events = 0;
    for (quint32 seed = 1; seed <= 1500; ++seed) {
        QRandomGenerator random(seed);
        // Every sequence starts from a stopped window; Stop gets it there.
        QTest::mouseClick(window.button(1), Qt::LeftButton);
        Model model;
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i, ++events) {
            const int choice = random.bounded(10);
            if (choice < 2) {
                QTest::mouseClick(window.button(0), Qt::LeftButton);
                model.timerOn = true;
            } else if (choice < 3) {
                QTest::mouseClick(window.button(1), Qt::LeftButton);
                model = Model{};
            } else if (model.timerOn) {
                // A stopped timer raises no tick, so none is raised then.
                RaiseTick(window);
                model.step = (model.step + 1) % 8;
            }
            if (window.timer().Enabled() != model.timerOn ||
                window.step() != std::optional<int>(model.step) ||
                window.picture().persistentImage() != Canonical[std::size_t(model.step)])
                QFAIL(qPrintable(QStringLiteral("seed %1, event %2: expected timer %3, step %4")
                                     .arg(seed)
                                     .arg(i)
                                     .arg(model.timerOn)
                                     .arg(model.step)));
        }
    }
    qInfo("%d events checked", events);
}

QTEST_MAIN(tst_StartStop)
#include "tst_startstop.moc"
