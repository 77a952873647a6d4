#include "platform/qt/event_boundary.h"
#include "support/ring_model.h"
#include "support/tarvelo_window.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QRawFont>
#include <QStyleFactory>
#include <QTest>

#include <memory>
#include <set>

using platform::qt::PictureBox;
using platform::qt::QtForm;

namespace {

// The rings' common centre in the inner area's pixels.
const QPointF RingCentre(1327.5 / 15, 1147.5 / 15);

using Window = TarveloWindow;

class FailingModule final : public platform::FormModule
{
public:
    int clicks = 0;
    void Load() override { throw platform::RuntimeError::Overflow("test"); }
    void Click(std::string_view, std::int16_t) override { ++clicks; }
    void Tick(std::string_view, std::int16_t) override {}
};

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
    void loadErrorIsReportedOnce();
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
    // What the font resolves to here must be metric-compatible and carry Cyrillic.
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(resolved == QStringLiteral("Times New Roman") ||
                 resolved == QStringLiteral("Liberation Serif"),
             qPrintable(resolved));
    QVERIFY(QRawFont::fromFont(font).supportsCharacter(QChar(0x0416)));
}

void tst_MainWindow::icon()
{
    Window window;
    const QIcon icon = window.form.windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    std::set<QRgb> colours;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            colours.insert(image.pixel(x, y));
    QVERIFY2(colours.size() <= 256, qPrintable(QString::number(colours.size())));
    for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    QCOMPARE(qAlpha(image.pixel(16, 16)), 255);
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
    QVERIFY(window.picture().persistentImage().isNull() ||
            IsUniform(window.picture().persistentImage(), Qt::white));
    QVERIFY(window.form.Load());
    QVERIFY(!window.form.isVisible());
    const QString fault = IdlePictureFault(window.picture().persistentImage(), RingCentre);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    QCOMPARE(window.step(), std::optional<int>(0));
}

void tst_MainWindow::firstPaintShowsIdlePicture()
{
    Window window;
    QVERIFY(window.form.Load());
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    // On screen the inner area starts inside the 2-pixel frame.
    const QString fault =
        IdlePictureFault(window.picture().grab().toImage(), RingCentre + QPointF(2, 2));
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
}

void tst_MainWindow::coveringKeepsThePicture()
{
    Window window;
    QVERIFY(window.form.Load());
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    const QImage before = window.picture().grab().toImage();
    window.form.hide();
    window.form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window.form));
    QCOMPARE(window.picture().grab().toImage(), before);
}

void tst_MainWindow::nothingMovesWithoutAClick()
{
    Window window;
    QVERIFY(window.form.Load());
    window.form.show();
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

void tst_MainWindow::loadErrorIsReportedOnce()
{
    std::vector<int> reported;
    const auto previous = platform::qt::SetErrorReporter(
        [&](const platform::RuntimeError &error) { reported.push_back(error.Number()); });
    QtForm form(shell::TarveloDescription());
    FailingModule module;
    form.Bind(&module);
    QVERIFY(!form.Load());
    QVERIFY(form.Failed());
    QVERIFY(!form.Load());
    QCOMPARE(reported, std::vector<int>{platform::RuntimeError::OverflowCode});
    platform::qt::SetErrorReporter(previous);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
