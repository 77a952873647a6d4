#include "support/ring_model.h"
#include "support/tarvelo_window.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QStyleFactory>
#include <QTest>

#include <memory>
#include <set>

using platform::qt::PictureBox;

namespace {

// The rings' common centre in the inner area's pixels.
const QPointF RingCentre(1327.5 / 15, 1147.5 / 15);

using Window = TarveloWindow;

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void frame();
    void font();
    void icon();
    void drawingAreaAndTimer();
    void idlePictureBeforeFirstShow();
    void firstPaintShowsIdlePicture();
    void coveringKeepsThePicture();
    void nothingMovesWithoutAClick();
    void missingElementsRaise_data();
    void missingElementsRaise();
};

void tst_MainWindow::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
}

void tst_MainWindow::frame()
{
    Window window;
    QCOMPARE(window.form.objectName(), QStringLiteral("Tarvelo"));
    QCOMPARE(window.form.windowTitle(), QStringLiteral("https://example.org/tarvelo Tarvelo"));
    QCOMPARE(window.form.size(), QSize(461, 345));
    QCOMPARE(window.form.minimumSize(), QSize(461, 345));
    QCOMPARE(window.form.maximumSize(), QSize(461, 345));
    const Qt::WindowFlags flags = window.form.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QCOMPARE(window.form.palette().color(QPalette::Window), QColor(192, 192, 255));
    QVERIFY(window.form.autoFillBackground());
    QCOMPARE(QString::fromStdString(shell::TarveloDescription().version), QStringLiteral("1.00"));
}

void tst_MainWindow::font()
{
    Window window;
    const QFont font = window.form.font();
    QCOMPARE(font.family(), QStringLiteral("Times New Roman"));
    QCOMPARE(font.pointSizeF(), 12.0);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic() && !font.underline() && !font.strikeOut());
}

void tst_MainWindow::icon()
{
    Window window;
    const QIcon icon = window.form.windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image =
        icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    std::set<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() <= 256, qPrintable(QString::number(colours.size())));
    // The hamburger as it was drawn and looked at; a change to any pixel must be
    // looked at again and this digest renewed.
    const QByteArrayView pixels(image.constBits(), image.sizeInBytes());
    QCOMPARE(QCryptographicHash::hash(pixels, QCryptographicHash::Sha256).toHex(),
             QByteArray("3ee88f64b3b305d073932f5b157c768145a8ad61ea18da2d1f556a9c7ce35080"));
}

void tst_MainWindow::drawingAreaAndTimer()
{
    Window window;
    PictureBox &picture = window.picture();
    QCOMPARE(picture.geometry(), QRect(32, 48, 177, 153));
    QCOMPARE(picture.frameShadow(), QFrame::Sunken);
    QCOMPARE(picture.Width(), 2655.f);
    QCOMPARE(picture.Height(), 2295.f);
    const auto &timer = window.form.Item<platform::Timer>("Timer1", 0);
    QVERIFY(!timer.Enabled());
    QCOMPARE(timer.Interval(), 500);
}

void tst_MainWindow::idlePictureBeforeFirstShow()
{
    Window window;
    QVERIFY(window.form.Load());
    QVERIFY(!window.form.isVisible());
    const QString fault = IdlePictureFault(window.picture().persistentImage(), RingCentre);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(window.step(), std::optional<int>(0));
}

void tst_MainWindow::firstPaintShowsIdlePicture()
{
    Window window;
    QVERIFY(window.Open());
    // On screen the inner area starts inside the 2-pixel frame.
    const QString fault =
        IdlePictureFault(window.picture().grab().toImage(), RingCentre + QPointF(2, 2));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void tst_MainWindow::coveringKeepsThePicture()
{
    Window window;
    QVERIFY(window.Open());
    const QImage before = window.picture().grab().toImage();
    window.form.hide();
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    QCOMPARE(window.picture().grab().toImage(), before);
}

void tst_MainWindow::nothingMovesWithoutAClick()
{
    Window window;
    QVERIFY(window.Open());
    const QImage before = window.picture().persistentImage();
    // Longer than two timer periods: a running timer would have drawn by now.
    QTest::qWait(1100);
    QCOMPARE(window.picture().persistentImage(), before);
    QCOMPARE(window.step(), std::optional<int>(0));
}

void tst_MainWindow::missingElementsRaise_data()
{
    QTest::addColumn<QString>("array");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("number");
    QTest::newRow("no such array")
        << QStringLiteral("Picture2") << 0 << int(platform::RuntimeError::NoSuchControlCode);
    QTest::newRow("no such element")
        << QStringLiteral("Picture1") << 1 << int(platform::RuntimeError::NoSuchControlCode);
    QTest::newRow("a picture is not a timer")
        << QStringLiteral("Picture1") << 0 << int(platform::RuntimeError::WrongControlKindCode);
}

void tst_MainWindow::missingElementsRaise()
{
    QFETCH(QString, array);
    QFETCH(int, index);
    QFETCH(int, number);
    Window window;
    try {
        window.form.Item<platform::Timer>(array.toStdString(), std::int16_t(index));
        QFAIL("no run-time error was raised");
    } catch (const platform::RuntimeError &error) {
        QCOMPARE(error.Number(), number);
    }
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
